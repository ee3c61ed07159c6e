#pragma once

#include "platform/Font.h"
#include "platform/LogFont.h"
#include "platform/QuindleExport.h"

#include <cstring>
#include <memory>

// The font of a LOGFONT, made once and kept until the LOGFONT changes.
// Making a font resolves its face against the installed fonts, which costs
// far more than a whole chart paint; the paint routines therefore keep
// their fonts instead of making them on every paint. Copies share the font.
class CFontCache {
public:
    plat::CFont* Get(const plat::LOGFONT& lf)
    {
        if (!m_pFont || std::memcmp(&m_lf, &lf, sizeof lf) != 0) {
            m_pFont = std::make_shared<plat::CFont>();
            m_pFont->CreateFontIndirect(&lf);
            m_lf = lf;
        }
        return m_pFont.get();
    }

private:
    std::shared_ptr<plat::CFont> m_pFont;
    plat::LOGFONT m_lf;
};
