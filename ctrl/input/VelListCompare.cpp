// The editable list's comparison functions and its sorting.
#include "input/VelInComboBox.h"
#include "input/VelInEdit.h"
#include "input/VelListCtrl.h"

#include <algorithm>
#include <numeric>

using namespace plat;

namespace {

int Sign(long long v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// The leading whole number of a text as the C library's atoi reads it:
// leading white space and a sign, then digits up to the first other
// character. Saturates instead of overflowing.
long long LeadingInteger(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace()) ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) negative = text[i++] == QLatin1Char('-');
    long long value = 0;
    constexpr long long kLimit = 100'000'000'000'000'000LL;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        if (value < kLimit) value = value * 10 + (text[i].unicode() - '0');
    return negative ? -value : value;
}

// A slice of a text read as a whole number; the caller has checked the digits.
int Field(const QString& text, int from, int count)
{
    return text.mid(from, count).toInt();
}

}  // namespace

int CVelListCtrl::CompareFunction(LPARAM, LPARAM, LPARAM)
{
    return 1;
}

bool CVelListCtrl::IsNumber(const CString& strText)
{
    return std::all_of(strText.begin(), strText.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

int CVelListCtrl::NumberCompare(const CString& strText1, const CString& strText2)
{
    return Sign(LeadingInteger(strText1) - LeadingInteger(strText2));
}

bool CVelListCtrl::IsDate(const CString& strText)
{
    if (strText.size() != 10) return false;
    for (int i = 0; i < 10; ++i) {
        const QChar c = strText[i];
        const bool bSlash = i == 2 || i == 5;
        if (bSlash ? c != QLatin1Char('/') : (c < QLatin1Char('0') || c > QLatin1Char('9'))) return false;
    }
    return true;
}

int CVelListCtrl::DateCompare(const CString& strDate1, const CString& strDate2)
{
    // dd/mm/yyyy: year, then month, then day.
    const int fields[][2] = {{6, 4}, {3, 2}, {0, 2}};
    for (const auto& f : fields) {
        const int a = Field(strDate1, f[0], f[1]), b = Field(strDate2, f[0], f[1]);
        if (a != b) return a < b ? -1 : 1;
    }
    return 0;
}

void CVelListCtrl::SortItems(int nColumn, bool bAscending)
{
    if (nColumn < 0 || nColumn >= columnCount() || rowCount() < 2) return;
    EndEditors();
    const int nRows = rowCount();
    QStringList texts;
    for (int r = 0; r < nRows; ++r) texts << GetItemText(r, nColumn);
    const bool bDates = std::all_of(texts.begin(), texts.end(), [](const QString& t) { return t.isEmpty() || IsDate(t); });
    const bool bNumbers = std::all_of(texts.begin(), texts.end(), [](const QString& t) { return IsNumber(t); });
    auto compare = [&](const QString& a, const QString& b) {
        if (bDates) {
            if (a.isEmpty() || b.isEmpty()) return int(b.isEmpty()) - int(a.isEmpty());
            return DateCompare(a, b);
        }
        if (bNumbers) return NumberCompare(a, b);
        return Sign(QString::localeAwareCompare(a, b));
    };
    std::vector<int> order(nRows);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = compare(texts[a], texts[b]);
        return bAscending ? c < 0 : c > 0;
    });

    // Move the cells row by row into their new places.
    const int nCurrent = currentRow(), nCurrentCol = currentColumn();
    const int nCols = columnCount();
    std::vector<std::vector<QTableWidgetItem*>> cells(nRows, std::vector<QTableWidgetItem*>(nCols));
    for (int r = 0; r < nRows; ++r)
        for (int c = 0; c < nCols; ++c) cells[r][c] = takeItem(r, c);
    std::vector<int> newRow(nRows);
    for (int r = 0; r < nRows; ++r) {
        newRow[order[r]] = r;
        for (int c = 0; c < nCols; ++c) setItem(r, c, cells[order[r]][c]);
    }
    for (sListColAttribute& attr : m_attributes)
        if (attr.nItem >= 0 && attr.nItem < nRows) attr.nItem = newRow[attr.nItem];
    // The selected row stays selected where it went.
    if (nCurrent >= 0) setCurrentCell(newRow[nCurrent], nCurrentCol);
}

void CVelListCtrl::OnHeaderClicked(int nColumn)
{
    if (!m_bHeaderSort) return;
    m_pHeader->SetSortColumn(nColumn, true);
    SortItems(nColumn, m_pHeader->IsAscending() != FALSE);
}
