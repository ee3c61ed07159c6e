#pragma once

#include "platform/WinDef.h"

#include <cstring>

namespace plat {

// A font description with the fields and meaning of the Windows LOGFONT:
// a negative height is the character height, a positive one the cell height;
// escapement is in tenths of a degree.
struct LOGFONT {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[32] = {};  // UTF-8, always terminated

    // Copies a face name, cutting it to the 31 bytes the record holds.
    void SetFaceName(const char* face)
    {
        std::memset(lfFaceName, 0, sizeof lfFaceName);
        if (face) std::strncpy(lfFaceName, face, sizeof lfFaceName - 1);
    }
};

inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_SEMIBOLD = 600;
inline constexpr LONG FW_BOLD = 700;

}  // namespace plat

namespace plat {

inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_THIN = 100;
inline constexpr LONG FW_LIGHT = 300;
inline constexpr LONG FW_MEDIUM = 500;
inline constexpr LONG FW_EXTRABOLD = 800;
inline constexpr LONG FW_HEAVY = 900;

inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE GB2312_CHARSET = 134;

}  // namespace plat
