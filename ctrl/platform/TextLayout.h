#pragma once

#include "platform/Rect.h"
#include "platform/WinDef.h"

#include <QFontMetrics>
#include <vector>

namespace plat {

// Where DrawText puts each line of a text in a rectangle for its DT_ flags.
class CTextLayout {
public:
    struct Line {
        QString text;        // as drawn: prefixes resolved, ellipsis applied
        int x = 0;           // left of the text cell
        int y = 0;           // top of the text cell
        int width = 0;
        int mnemonic = -1;   // index of the underlined character, or -1
    };

    CTextLayout(const QString& text, const CRect& rect, UINT format, const QFontMetrics& metrics);

    const std::vector<Line>& Lines() const { return m_lines; }
    // The rectangle DT_CALCRECT reports: left/top kept, sized to the text.
    CRect CalcRect() const { return m_calc; }
    // DrawText's result: the height of the text, or with DT_VCENTER or
    // DT_BOTTOM the distance from the rectangle's top to the text's bottom.
    int ResultHeight() const { return m_result; }
    int LineHeight() const { return m_lineHeight; }

    // Removes mnemonic prefixes: "&&" shows one "&", "&x" shows x underlined.
    static QString StripPrefix(const QString& text, int* mnemonic);

private:
    std::vector<QString> Paragraphs(const QString& text) const;
    void Wrap(const QString& paragraph, int mnemonic, int width);
    QString Ellipsize(const QString& line, int width) const;

    UINT m_format;
    const QFontMetrics& m_metrics;
    std::vector<Line> m_lines;
    CRect m_calc;
    int m_lineHeight = 0;
    int m_result = 0;
};

}  // namespace plat
