#pragma once

#include "platform/LogFont.h"
#include "platform/WinDef.h"

// Vantoc's colours and label font.
namespace vantoc {

inline constexpr plat::COLORREF kBackground = 0x775649;  // slate blue
inline constexpr plat::COLORREF kLightText = 0xEAEAEA;
inline constexpr plat::COLORREF kWhite = 0xFFFFFF;
inline constexpr int kButtonFontHeight = -16;
inline constexpr int kButtonFontWeight = 700;

// Height 18, weight 600, face "宋体", every other attribute zero.
inline plat::LOGFONT LabelLogFont()
{
    plat::LOGFONT lf;
    lf.lfHeight = 18;
    lf.lfWeight = 600;
    lf.SetFaceName("宋体");
    return lf;
}

}  // namespace vantoc
