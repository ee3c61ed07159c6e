#include "platform/TextLayout.h"

#include "platform/GdiDefs.h"

#include <QStringList>
#include <algorithm>

namespace plat {

QString CTextLayout::StripPrefix(const QString& text, int* mnemonic)
{
    QString out;
    out.reserve(text.size());
    if (mnemonic) *mnemonic = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out += text[i];
            continue;
        }
        if (i + 1 >= text.size()) break;  // a lone trailing '&' shows nothing
        if (text[i + 1] == u'&') {
            out += u'&';
            ++i;
            continue;
        }
        if (mnemonic && *mnemonic < 0) *mnemonic = int(out.size());
    }
    return out;
}

CTextLayout::CTextLayout(const QString& text, const CRect& rect, UINT format, const QFontMetrics& metrics)
    : m_format(format), m_metrics(metrics)
{
    m_lineHeight = metrics.height() + ((format & DT_EXTERNALLEADING) ? metrics.leading() : 0);
    const bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    for (const QString& paragraph : Paragraphs(text)) {
        int mnemonic = -1;
        const QString shown = (format & DT_NOPREFIX) ? paragraph : StripPrefix(paragraph, &mnemonic);
        if (wrap) Wrap(shown, mnemonic, rect.Width());
        else m_lines.push_back({shown, 0, 0, 0, mnemonic});
    }
    if (format & DT_HIDEPREFIX)
        for (Line& line : m_lines) line.mnemonic = -1;

    int widest = 0;
    for (Line& line : m_lines) {
        if (format & DT_END_ELLIPSIS) line.text = Ellipsize(line.text, rect.Width());
        if (line.mnemonic >= line.text.size()) line.mnemonic = -1;
        line.width = metrics.horizontalAdvance(line.text);
        widest = std::max(widest, line.width);
    }

    const int total = m_lineHeight * int(m_lines.size());
    int y = rect.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) y = rect.top + (rect.Height() - total) / 2;
        else if (format & DT_BOTTOM) y = rect.bottom - total;
    }
    for (Line& line : m_lines) {
        if (format & DT_CENTER) line.x = rect.left + (rect.Width() - line.width) / 2;
        else if (format & DT_RIGHT) line.x = rect.right - line.width;
        else line.x = rect.left;
        line.y = y;
        y += m_lineHeight;
    }
    m_calc = CRect(rect.left, rect.top, rect.left + widest, rect.top + total);
    const bool shifted = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM));
    m_result = shifted && !m_lines.empty() ? y - rect.top : total;
}

std::vector<QString> CTextLayout::Paragraphs(const QString& text) const
{
    QString t = text;
    if (m_format & DT_EXPANDTABS) t.replace(u'\t', QStringLiteral("        "));
    if (m_format & DT_SINGLELINE) {
        t.remove(u'\r');
        t.remove(u'\n');
        return {t};
    }
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    const QStringList parts = t.split(u'\n');
    return {parts.begin(), parts.end()};
}

void CTextLayout::Wrap(const QString& paragraph, int mnemonic, int width)
{
    // Greedy: as many words as fit; a word wider than the rectangle stands
    // alone on its line. Spaces at a break are dropped.
    qsizetype start = 0;
    while (true) {
        qsizetype end = start;
        qsizetype lastFit = -1;
        while (end <= paragraph.size()) {
            if (end == paragraph.size() || paragraph[end] == u' ') {
                if (m_metrics.horizontalAdvance(paragraph.mid(start, end - start)) <= width || lastFit < 0)
                    lastFit = end;
                else
                    break;
                if (end == paragraph.size()) break;
            }
            ++end;
        }
        const QString piece = paragraph.mid(start, lastFit - start);
        const int m = (mnemonic >= start && mnemonic < lastFit) ? int(mnemonic - start) : -1;
        m_lines.push_back({piece, 0, 0, 0, m});
        if (lastFit >= paragraph.size()) break;
        start = lastFit;
        while (start < paragraph.size() && paragraph[start] == u' ') ++start;
        if (start >= paragraph.size()) break;
    }
}

QString CTextLayout::Ellipsize(const QString& line, int width) const
{
    if (m_metrics.horizontalAdvance(line) <= width) return line;
    const QString dots = QStringLiteral("...");
    QString cut = line;
    while (!cut.isEmpty() && m_metrics.horizontalAdvance(cut + dots) > width) cut.chop(1);
    return cut + dots;
}

}  // namespace plat
