#include "platform/Font.h"

#include "platform/FontMapper.h"

#include <QGuiApplication>
#include <cmath>

namespace plat {

BOOL CFont::CreateFontIndirect(const LOGFONT* lf)
{
    if (!lf) return FALSE;
    LOGFONT copy = *lf;
    copy.lfFaceName[sizeof copy.lfFaceName - 1] = '\0';
    auto handle = std::make_shared<GdiHandle>();
    handle->data = GdiFontData{copy, QFontFromLogFont(copy), std::make_shared<CTextMeasures>()};
    AttachHandle(std::move(handle), true);
    return TRUE;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* faceName)
{
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = outPrecision;
    lf.lfClipPrecision = clipPrecision;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    lf.SetFaceName(faceName);
    return CreateFontIndirect(&lf);
}

BOOL CFont::CreatePointFont(int pointSize, const char* faceName, CDC*)
{
    LOGFONT lf;
    lf.lfHeight = -int(std::lround(pointSize * 96.0 / 720.0));
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.SetFaceName(faceName);
    return CreateFontIndirect(&lf);
}

BOOL CFont::CreateFromQFont(const QFont& font)
{
    const LOGFONT lf = LogFontFromQFont(font);
    if (!CreateFontIndirect(&lf)) return FALSE;
    // Keep the exact Qt font (its family list and hinting), not a round trip.
    auto& data = std::get<GdiFontData>(m_handle->data);
    data.font = font;
    if (font.pixelSize() <= 0) data.font.setPixelSize(-lf.lfHeight);
    data.measures = std::make_shared<CTextMeasures>();
    return TRUE;
}

const LOGFONT* CFont::Log() const
{
    if (!m_handle) return nullptr;
    auto* font = std::get_if<GdiFontData>(&m_handle->data);
    return font ? &font->log : nullptr;
}

QFont CFont::GetQFont() const
{
    if (m_handle)
        if (auto* font = std::get_if<GdiFontData>(&m_handle->data)) return font->font;
    return QGuiApplication::font();
}

CFont* CFont::Stock(int index)
{
    auto make = [](int height, int weight, const char* face) {
        auto* font = new CFont;
        LOGFONT lf;
        lf.lfHeight = height;
        lf.lfWeight = weight;
        lf.SetFaceName(face);
        font->CreateFontIndirect(&lf);
        font->m_handle->stock = true;
        return font;
    };
    static CFont* const system = make(16, FW_BOLD, "System");
    static CFont* const gui = make(-11, FW_NORMAL, "MS Shell Dlg");
    switch (index) {
    case SYSTEM_FONT: return system;
    case DEFAULT_GUI_FONT:
    case ANSI_VAR_FONT: return gui;
    default: return nullptr;
    }
}

}  // namespace plat
