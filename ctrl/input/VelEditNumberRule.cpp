#include "input/VelEditNumberRule.h"

#include <QByteArray>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

CVelEditNumberRule::eVerdict CVelEditNumberRule::Judge(const plat::CString& strText, plat::UINT nPrecision,
                                                       double dMin, double dMax)
{
    const plat::CString& s = strText;
    if (s.isEmpty() || s == QLatin1String("-")) return Empty;
    if (s.indexOf(QLatin1Char('-'), 1) >= 0 || s.startsWith(QLatin1Char('.'))) return Malformed;
    if (s.size() > 1) {
        if (s.startsWith(QLatin1Char('-'))) {
            if (s[1] == QLatin1Char('.')) return Malformed;
            if (s.size() > 2 && s[1] == QLatin1Char('0') && s[2] == QLatin1Char('0')) return Malformed;
        } else if (s[0] == QLatin1Char('0') && s[1] == QLatin1Char('0')) {
            return Malformed;
        }
    }
    const int nDot = s.indexOf(QLatin1Char('.'));
    if (nDot >= 0 && static_cast<long long>(s.size() - nDot) > static_cast<long long>(nPrecision) + 1)
        return TooManyDecimals;
    const double dValue = LeadingDouble(s);
    if (dValue - dMax > kTolerance) return AboveMaximum;
    if (dMin - dValue > kTolerance) return BelowMinimum;
    return Accepted;
}

namespace {

// The leading number of the text: blanks, a sign, digits, a fraction and an
// exponent, as far as they form a number. Read by hand rather than by
// strtod, whose decimal point follows the user's locale.
QByteArray LeadingNumber(const plat::CString& strText, bool bFraction)
{
    const QByteArray s = strText.toLatin1();
    int i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    const int nStart = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    auto digits = [&s](int& k) {
        const int nFrom = k;
        while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k;
        return k - nFrom;
    };
    int nDigits = digits(i);
    if (bFraction && i < s.size() && s[i] == '.') {
        int k = i + 1;
        const int nFraction = digits(k);
        if (nDigits + nFraction > 0) {
            nDigits += nFraction;
            i = k;
        }
    }
    if (nDigits == 0) return QByteArray();
    if (bFraction && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        int k = i + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        if (digits(k) > 0) i = k;
    }
    return s.mid(nStart, i - nStart);
}

}  // namespace

double CVelEditNumberRule::LeadingDouble(const plat::CString& strText)
{
    const QByteArray number = LeadingNumber(strText, true);
    if (number.isEmpty()) return 0.0;
    bool bOk = false;
    const double dValue = number.toDouble(&bOk);
    if (bOk) return dValue;
    // A magnitude beyond the double range reads as infinity, as strtod's would.
    return number.trimmed().startsWith('-') ? -std::numeric_limits<double>::infinity()
                                            : std::numeric_limits<double>::infinity();
}

long CVelEditNumberRule::LeadingLong(const plat::CString& strText)
{
    const QByteArray number = LeadingNumber(strText, false);
    if (number.isEmpty()) return 0;
    bool bOk = false;
    const long long nValue = number.toLongLong(&bOk);
    if (!bOk) return number.trimmed().startsWith('-') ? LONG_MIN : LONG_MAX;
    if (nValue < LONG_MIN) return LONG_MIN;
    if (nValue > LONG_MAX) return LONG_MAX;
    return static_cast<long>(nValue);
}

plat::CString CVelEditNumberRule::Format(double dValue, plat::UINT nPrecision)
{
    // Beyond this many decimals a double has nothing more to show.
    constexpr plat::UINT kMaxDecimals = 340;
    const int nDecimals = static_cast<int>(nPrecision > kMaxDecimals ? kMaxDecimals : nPrecision);
    // printf's rounding (ties of exact binary values to even), with a point
    // whatever the locale's decimal separator is.
    const int nSize = std::snprintf(nullptr, 0, "%.*f", nDecimals, dValue);
    if (nSize <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(nSize) + 1);
    std::snprintf(buffer.data(), buffer.size(), "%.*f", nDecimals, dValue);
    QString strText = QString::fromLatin1(buffer.data(), nSize);
    const char* pPoint = std::localeconv()->decimal_point;
    if (pPoint && *pPoint && std::strcmp(pPoint, ".") != 0)
        strText.replace(QString::fromLocal8Bit(pPoint), QStringLiteral("."));
    return strText;
}
