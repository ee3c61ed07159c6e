#include "DurationText.h"

#include <QStringList>
#include <cmath>

namespace {

// A non-negative decimal number without sign, exponent or spaces.
std::optional<double> PlainNumber(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    int dots = 0;
    for (QChar c : text) {
        if (c == u'.')
            ++dots;
        else if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    if (dots > 1 || text == QStringLiteral("."))
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Two digits, 00 to 59.
std::optional<int> Sexagesimal(const QString& text)
{
    if (text.size() != 2 || !text[0].isDigit() || !text[1].isDigit())
        return std::nullopt;
    const int value = text.toInt();
    if (value > 59)
        return std::nullopt;
    return value;
}

std::optional<double> WithUnit(const QString& text)
{
    double scale = 1;
    QString number = text;
    const QChar last = text.isEmpty() ? QChar() : text.back();
    if (last == u's' || last == u'm' || last == u'h') {
        scale = last == u's' ? 1 : last == u'm' ? 60 : 3600;
        number.chop(1);
    }
    const std::optional<double> value = PlainNumber(number);
    if (!value)
        return std::nullopt;
    return *value * scale;
}

std::optional<double> Colons(const QStringList& parts)
{
    const bool whole = parts.size() == 3;
    bool ok = false;
    const qlonglong first = parts[0].toLongLong(&ok);
    if (!ok || parts[0].isEmpty() || !parts[0].at(0).isDigit() || first < 0)
        return std::nullopt;
    double seconds = 0;
    const std::optional<int> last = Sexagesimal(parts.back());
    if (!last)
        return std::nullopt;
    if (whole) {
        const std::optional<int> minutes = Sexagesimal(parts[1]);
        if (!minutes)
            return std::nullopt;
        seconds = double(first) * 3600 + *minutes * 60 + *last;
    } else {
        seconds = double(first) * 60 + *last;
    }
    return seconds;
}

}  // namespace

std::optional<double> CDurationText::Parse(const QString& text)
{
    const QString t = text.trimmed();
    const QStringList parts = t.split(u':');
    std::optional<double> seconds;
    if (parts.size() == 1)
        seconds = WithUnit(t);
    else if (parts.size() <= 3)
        seconds = Colons(parts);
    if (!seconds || *seconds > kMaxSeconds)
        return std::nullopt;
    return seconds;
}

QString CDurationText::Format(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    const long long total = std::llround(std::min(seconds, kMaxSeconds));
    return QStringLiteral("%1:%2:%3")
        .arg(total / 3600)
        .arg(total / 60 % 60, 2, 10, QChar(u'0'))
        .arg(total % 60, 2, 10, QChar(u'0'));
}

bool CDurationText::ParseRateAndDuration(const QString& text, double& rate, double& seconds)
{
    const QString t = text.trimmed();
    const qsizetype colon = t.indexOf(u':');
    if (colon <= 0)
        return false;
    const std::optional<double> r = PlainNumber(t.left(colon));
    const std::optional<double> d = Parse(t.mid(colon + 1));
    if (!r || !d || *d <= 0)
        return false;
    rate = *r;
    seconds = *d;
    return true;
}
