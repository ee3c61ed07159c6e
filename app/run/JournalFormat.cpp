#include "run/JournalFormat.h"

#include <QStringList>
#include <cstdio>
#include <cstring>
#include <limits>

const char* const CJournalFormat::kFormatLine = "# format: vantoc-journal 1";
const char* const CJournalFormat::kColumnLine =
    "sample\telapsed_s\ttime\tsetpoint_rpm\tspeed_rpm\ttorque_Ncm\tevent";
const char* const CJournalFormat::kEndPrefix = "# end: ";

namespace {

constexpr qint64 kMsPerDay = 86'400'000;
// Offsets as far as real zones go (UTC-12 to UTC+14) with room to spare.
constexpr int kMaxOffsetS = 18 * 3600;

struct SCivil {
    int y, m, d;
};

// Proleptic Gregorian calendar from days since 1970-01-01 and back.
SCivil CivilFromDays(qint64 z)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const int d = int(doy - (153 * mp + 2) / 5 + 1);
    const int m = int(mp < 10 ? mp + 3 : mp - 9);
    return {int(yoe + era * 400 + (m <= 2)), m, d};
}

qint64 DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

qint64 FloorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Digits only, no sign unless allowed, no leading zeros beyond "0" itself.
bool ParseInt(const char* p, const char* end, qint64 min, qint64 max, qint64* value)
{
    bool negative = false;
    if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    if (p == end || end - p > 18) return false;
    if (*p == '0' && end - p > 1) return false;
    qint64 v = 0;
    for (; p < end; ++p) {
        if (*p < '0' || *p > '9') return false;
        v = v * 10 + (*p - '0');
    }
    if (negative) {
        if (v == 0) return false;
        v = -v;
    }
    if (v < min || v > max) return false;
    *value = v;
    return true;
}

bool Digits(const char* p, int count, int* value)
{
    int v = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9') return false;
        v = v * 10 + (p[i] - '0');
    }
    *value = v;
    return true;
}

// The cells of a row; false unless there are exactly seven.
bool SplitCells(const char* line, int length, const char* (&begin)[7], const char* (&end)[7])
{
    int cell = 0;
    begin[0] = line;
    for (int i = 0; i < length; ++i) {
        if (line[i] != '\t') continue;
        if (cell == 6) return false;
        end[cell] = line + i;
        begin[++cell] = line + i + 1;
    }
    if (cell != 6) return false;
    end[6] = line + length;
    return true;
}

bool ParseElapsed(const char* p, const char* end, qint64* ms)
{
    const char* dot = static_cast<const char*>(std::memchr(p, '.', size_t(end - p)));
    if (!dot || end - dot != 4) return false;
    qint64 whole = 0;
    int frac = 0;
    if (!ParseInt(p, dot, 0, std::numeric_limits<qint64>::max() / 1000 - 1, &whole)) return false;
    if (!Digits(dot + 1, 3, &frac)) return false;
    *ms = whole * 1000 + frac;
    return true;
}

}  // namespace

int CJournalFormat::WallTimeText(const SWallTime& t, char* buf)
{
    const qint64 local = t.nMsSinceEpoch + qint64(t.nUtcOffsetS) * 1000;
    const qint64 days = FloorDiv(local, kMsPerDay);
    const qint64 msOfDay = local - days * kMsPerDay;
    const SCivil c = CivilFromDays(days);
    const int offsetMin = (t.nUtcOffsetS < 0 ? -t.nUtcOffsetS : t.nUtcOffsetS) / 60;
    return std::snprintf(buf, kWallTimeLength + 1, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", c.y % 10000,
                         c.m, c.d, int(msOfDay / 3'600'000), int(msOfDay / 60'000 % 60), int(msOfDay / 1000 % 60),
                         int(msOfDay % 1000), t.nUtcOffsetS < 0 ? '-' : '+', offsetMin / 60 % 100, offsetMin % 60);
}

QByteArray CJournalFormat::WallTime(const SWallTime& t)
{
    char buf[kWallTimeLength + 1];
    const int n = WallTimeText(t, buf);
    return QByteArray(buf, n);
}

QString CJournalFormat::FileStem(const SWallTime& t)
{
    const QByteArray text = WallTime(t);
    // 2026-12-07T13:16:45 -> 20261207-131645
    QByteArray stem = text.left(4) + text.mid(5, 2) + text.mid(8, 2) + '-' + text.mid(11, 2) + text.mid(14, 2)
        + text.mid(17, 2);
    return QString::fromLatin1(stem);
}

int CJournalFormat::SampleLine(char* buf, int number, qint64 elapsedMs, const SWallTime& wall, int setPoint,
                               int speed, int torque)
{
    char time[kWallTimeLength + 1];
    WallTimeText(wall, time);
    if (elapsedMs < 0) elapsedMs = 0;
    const int n = std::snprintf(buf, kMaxLine, "%d\t%lld.%03d\t%s\t%d\t%d\t%d\t\n", number,
                                static_cast<long long>(elapsedMs / 1000), int(elapsedMs % 1000), time, setPoint,
                                speed, torque);
    return n < kMaxLine ? n : kMaxLine - 1;
}

QByteArray CJournalFormat::EventLine(qint64 elapsedMs, const SWallTime& wall, int setPoint, const QString& text)
{
    if (elapsedMs < 0) elapsedMs = 0;
    char head[128];
    const int n = std::snprintf(head, sizeof head, "\t%lld.%03d\t%s\t%d\t\t\t", static_cast<long long>(elapsedMs / 1000),
                                int(elapsedMs % 1000), WallTime(wall).constData(), setPoint);
    return QByteArray(head, n) + CleanText(text).toUtf8() + '\n';
}

QString CJournalFormat::CleanText(const QString& text, int maxChars)
{
    QString clean = text.left(maxChars);
    for (QChar& c : clean) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
        else if (c == QLatin1Char('#'))
            c = QChar(0xFF03);
    }
    // A cut must not leave half of a surrogate pair.
    if (!clean.isEmpty() && clean.back().isHighSurrogate()) clean.chop(1);
    return clean;
}

QByteArray CJournalFormat::HeaderLines(const SJournalHeader& h, const SWallTime& start)
{
    const auto line = [](const char* key, const QString& value) {
        return QByteArray("# ") + key + ": " + CleanText(value, 200).toUtf8() + '\n';
    };
    QByteArray bytes = QByteArray(kFormatLine) + '\n';
    bytes += line("program", h.strProgram);
    bytes += QByteArray("# start: ") + WallTime(start) + '\n';
    bytes += line("host", h.strHost);
    bytes += line("user", h.strUser);
    bytes += line("port", h.strPort);
    bytes += line("baud", QString::number(h.nBaud));
    bytes += line("setpoint_rpm", QString::number(h.nSetPoint));
    bytes += line("operator", h.strOperator);
    bytes += line("sample", h.strSample);
    bytes += line("note", h.strNote);
    bytes += QByteArray(kColumnLine) + '\n';
    return bytes;
}

QByteArray CJournalFormat::EndLine(const SWallTime& t, const QString& reason)
{
    return QByteArray(kEndPrefix) + WallTime(t) + ' ' + CleanText(reason).toUtf8() + '\n';
}

bool CJournalFormat::ParseWallTime(const char* p, int length, SWallTime* t)
{
    if (length != kWallTimeLength) return false;
    int y, mo, d, h, mi, s, ms, oh, om;
    if (!Digits(p, 4, &y) || p[4] != '-' || !Digits(p + 5, 2, &mo) || p[7] != '-' || !Digits(p + 8, 2, &d)
        || p[10] != 'T' || !Digits(p + 11, 2, &h) || p[13] != ':' || !Digits(p + 14, 2, &mi) || p[16] != ':'
        || !Digits(p + 17, 2, &s) || p[19] != '.' || !Digits(p + 20, 3, &ms) || (p[23] != '+' && p[23] != '-')
        || !Digits(p + 24, 2, &oh) || p[26] != ':' || !Digits(p + 27, 2, &om))
        return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 || om > 59) return false;
    const int offset = (oh * 3600 + om * 60) * (p[23] == '-' ? -1 : 1);
    if (offset > kMaxOffsetS || offset < -kMaxOffsetS) return false;
    const qint64 local = DaysFromCivil(y, mo, d) * kMsPerDay + ((h * 60 + mi) * 60 + s) * qint64(1000) + ms;
    SWallTime parsed{local - qint64(offset) * 1000, offset};
    // 31 February and the like: only a date that prints back the same.
    char back[kWallTimeLength + 1];
    if (WallTimeText(parsed, back) != kWallTimeLength || std::memcmp(back, p, kWallTimeLength) != 0) return false;
    *t = parsed;
    return true;
}

SJournalLine CJournalFormat::ParseRow(const char* line, int length)
{
    SJournalLine row;
    const char* b[7];
    const char* e[7];
    if (length <= 0 || length >= kMaxLine || !SplitCells(line, length, b, e)) return row;
    qint64 setPoint = 0;
    if (!ParseElapsed(b[1], e[1], &row.nElapsedMs) || !ParseWallTime(b[2], int(e[2] - b[2]), &row.wall)
        || !ParseInt(b[3], e[3], std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), &setPoint))
        return row;
    row.nSetPoint = int(setPoint);
    if (b[0] == e[0]) {
        // An event: no number, no measurements, some text.
        if (b[4] != e[4] || b[5] != e[5] || b[6] == e[6]) return row;
        row.strEvent = QString::fromUtf8(b[6], int(e[6] - b[6]));
        if (CleanText(row.strEvent) != row.strEvent || row.strEvent.toUtf8() != QByteArray(b[6], int(e[6] - b[6])))
            return row;
        row.eKind = SJournalLine::EKind::Event;
        return row;
    }
    qint64 number = 0, speed = 0, torque = 0;
    if (b[6] != e[6] || !ParseInt(b[0], e[0], 1, std::numeric_limits<int>::max(), &number)
        || !ParseInt(b[4], e[4], std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), &speed)
        || !ParseInt(b[5], e[5], std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), &torque))
        return row;
    row.nNumber = int(number);
    row.nSpeed = int(speed);
    row.nTorque = int(torque);
    row.eKind = SJournalLine::EKind::Sample;
    return row;
}
