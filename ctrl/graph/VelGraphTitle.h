#pragma once

#include "platform/LogFont.h"
#include "platform/QuindleExport.h"
#include "platform/Rect.h"
#include "platform/Size.h"
#include "platform/WinDef.h"
#include "render/FontCache.h"

namespace plat {
class CArchive;
class CDC;
}

// One text element of a chart: the main title or an axis title.
// The font is kept as its LOGFONT description, which is what the property
// file stores and the font dialog edits; painting builds the font from it.
class QUINDLE_EXPORT CVelGraphTitle {
public:
    CVelGraphTitle();
    // A title whose font has the given cell height, weight and rotation
    // (escapement in tenths of a degree; 900 runs the text upward).
    CVelGraphTitle(int nHeight, int nWeight, int nEscapement = 0);
    virtual ~CVelGraphTitle() = default;

    // A zeroed LOGFONT with only height, weight, face and rotation filled in.
    static plat::LOGFONT MakeLogFont(int nHeight, int nWeight, int nEscapement);

    const plat::LOGFONT& GetFont() const { return m_lfFont; }

    // The text's extent in the title font, 6 pixels more each way; along
    // the text for a rotated title (cx its length, cy its thickness).
    plat::CSize GetSize(plat::CDC* pDC) const;
    // The text at the top-left of m_rcBound shrunk by 3 pixels, transparent.
    void Draw(plat::CDC* pDC) const;
    void SetFont(const plat::LOGFONT& lf) { m_lfFont = lf; }

    // Writes or reads one title record: show flag, text, colour, the first
    // 28 bytes of the LOGFONT and the face name. Reading stores each value
    // as it arrives; the font changes only once its face name was read, and
    // not to a size or weight beyond any real font (a damaged file).
    // Throws plat::CArchiveException when the data ends early.
    virtual void Serialize(plat::CArchive& ar);

    int m_bShow = 0;
    plat::CString m_strText;
    plat::CRect m_rcBound;     // where the text goes; set by the layout
    plat::COLORREF m_crText = 0;
    plat::LOGFONT m_lfFont;
    int m_nMargin = 5;         // pixels around the text, used by the layout

private:
    mutable CFontCache m_Font;  // made from m_lfFont
};
