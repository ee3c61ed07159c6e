// CDC: text output and measurement.
#include "platform/DC.h"

#include "platform/ColorRef.h"
#include "platform/SysColor.h"
#include "platform/TextLayout.h"

#include <QFontMetrics>

namespace plat {

CSize CDC::GetTextExtent(const CString& text) const
{
    const QFont font = Font();
    return {Measures().Advance(font, text), Measures().Metrics(font).height()};
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const
{
    if (!tm) return FALSE;
    const QFont font = Font();
    const QFontMetrics fm(font);
    const LOGFONT& log = std::get<GdiFontData>(m_state.font->data).log;
    tm->tmHeight = fm.height();
    tm->tmAscent = fm.ascent();
    tm->tmDescent = fm.descent();
    tm->tmInternalLeading = std::max(0, fm.height() - font.pixelSize());
    tm->tmExternalLeading = std::max(0, fm.leading());
    tm->tmAveCharWidth = fm.averageCharWidth();
    tm->tmMaxCharWidth = fm.maxWidth();
    tm->tmWeight = log.lfWeight == 0 ? FW_NORMAL : log.lfWeight;
    return TRUE;
}

// Draws one line whose cell's top-left lies at offset from origin, in the
// frame turned by the font's escapement around origin.
void CDC::DrawTextAt(QPoint origin, QPoint offset, const QString& text, int mnemonic, COLORREF color, bool opaque)
{
    const QFont font = Font();
    const QFontMetrics fm = Measures().Metrics(font);
    m_painter->save();
    m_painter->translate(origin);
    if (const int escapement = FontEscapement()) m_painter->rotate(-escapement / 10.0);
    m_painter->translate(offset);
    if (opaque)
        m_painter->fillRect(QRect(0, 0, Measures().Advance(font, text), fm.height()), ToQColor(m_state.bkColor));
    m_painter->setFont(font);
    m_painter->setPen(ToQColor(color));
    m_painter->drawText(0, fm.ascent(), text);
    if (mnemonic >= 0 && mnemonic < text.size()) {
        const int x = fm.horizontalAdvance(text.left(mnemonic));
        const int w = fm.horizontalAdvance(text.mid(mnemonic, 1));
        m_painter->fillRect(QRect(x, fm.ascent() + fm.underlinePos(), w, std::max(1, int(fm.lineWidth()))),
                            ToQColor(color));
    }
    m_painter->restore();
}

BOOL CDC::TextOut(int x, int y, const CString& text)
{
    const QFont font = Font();
    const QFontMetrics fm = Measures().Metrics(font);
    const UINT align = m_state.textAlign;
    if (align & TA_UPDATECP) x = m_state.position.x, y = m_state.position.y;
    const int width = Measures().Advance(font, text);
    QPoint offset;
    if ((align & TA_CENTER) == TA_CENTER) offset.setX(-width / 2);
    else if (align & TA_RIGHT) offset.setX(-width);
    if ((align & TA_BASELINE) == TA_BASELINE) offset.setY(-fm.ascent());
    else if (align & TA_BOTTOM) offset.setY(-fm.height());
    if (align & TA_UPDATECP) m_state.position.x += width;
    if (!m_painter) return FALSE;
    DrawTextAt(QPoint(x, y), offset, text, -1, m_state.textColor, m_state.bkMode == OPAQUE);
    return TRUE;
}

int CDC::DrawText(const CString& text, const CRect& rect, UINT format)
{
    CRect r = rect;
    return DrawText(text, &r, format);
}

int CDC::DrawText(const CString& text, CRect* rect, UINT format)
{
    if (!rect) return 0;
    const QFontMetrics fm(Font());
    const CTextLayout layout(text, *rect, format, fm);
    if (format & DT_CALCRECT) {
        *rect = layout.CalcRect();
        return rect->Height();
    }
    if (!m_painter) return layout.ResultHeight();
    m_painter->save();
    if (!(format & DT_NOCLIP)) m_painter->setClipRect(rect->toQRect(), Qt::IntersectClip);
    for (const CTextLayout::Line& line : layout.Lines())
        DrawTextAt(QPoint(line.x, line.y), QPoint(), line.text, line.mnemonic, m_state.textColor,
                   m_state.bkMode == OPAQUE);
    m_painter->restore();
    return layout.ResultHeight();
}

BOOL CDC::DrawState(CPoint p, CSize size, const CString& text, UINT flags, BOOL prefixText, int length, CBrush*)
{
    if (!m_painter) return FALSE;
    QString shown = length > 0 ? text.left(length) : text;
    int mnemonic = -1;
    const UINT type = flags & 0x0F;
    if (prefixText || type == DST_PREFIXTEXT) shown = CTextLayout::StripPrefix(shown, &mnemonic);
    m_painter->save();
    if (size.cx > 0 && size.cy > 0) m_painter->setClipRect(QRect(p.x, p.y, size.cx, size.cy), Qt::IntersectClip);
    if (flags & DSS_DISABLED) {
        DrawTextAt(QPoint(p.x + 1, p.y + 1), QPoint(), shown, mnemonic, GetSysColor(COLOR_3DHILIGHT), false);
        DrawTextAt(QPoint(p.x, p.y), QPoint(), shown, mnemonic, GetSysColor(COLOR_3DSHADOW), false);
    } else {
        DrawTextAt(QPoint(p.x, p.y), QPoint(), shown, mnemonic, m_state.textColor, false);
    }
    m_painter->restore();
    return TRUE;
}

}  // namespace plat
