#pragma once

#include "run/JournalHeader.h"
#include "run/RunClock.h"

#include <QByteArray>
#include <QString>

// One parsed line of a journal's body.
struct SJournalLine {
    enum class EKind { Invalid, Sample, Event };
    EKind eKind = EKind::Invalid;
    int nNumber = 0;       // samples only, from 1
    qint64 nElapsedMs = 0;
    SWallTime wall;
    int nSetPoint = 0;     // rpm
    int nSpeed = 0;        // rpm, samples only
    int nTorque = 0;       // Ncm, samples only
    QString strEvent;      // events only
};

// The text of a run journal, both ways. A journal is UTF-8, LF line ends:
// "# key: value" header lines, the column line, then one tab-separated row
// per sample or event, and "# end: <time> <reason>" when the run finished.
// Rows are written so that parsing and formatting again gives the same bytes;
// the reader relies on that to accept only rows exactly as written.
class CJournalFormat
{
public:
    static constexpr int kMaxLine = 1024;        // bytes, line feed included
    static constexpr int kMaxEventChars = 200;   // longer notes are cut
    static constexpr int kWallTimeLength = 29;   // 2026-12-07T13:16:45.123+01:00
    static const char* const kFormatLine;        // first line of every journal
    static const char* const kColumnLine;
    static const char* const kEndPrefix;         // "# end: "

    // Writes the time into buf (at least kWallTimeLength + 1 bytes).
    static int WallTimeText(const SWallTime& t, char* buf);
    static QByteArray WallTime(const SWallTime& t);
    // Local start time as a file name stem: YYYYMMDD-HHMMSS.
    static QString FileStem(const SWallTime& t);

    // A sample row into buf (kMaxLine bytes); returns its length with the
    // line feed. Formats into a caller's buffer so a sample costs no
    // allocation.
    static int SampleLine(char* buf, int number, qint64 elapsedMs, const SWallTime& wall, int setPoint, int speed,
                          int torque);
    static QByteArray EventLine(qint64 elapsedMs, const SWallTime& wall, int setPoint, const QString& text);
    static QByteArray HeaderLines(const SJournalHeader& header, const SWallTime& start);
    static QByteArray EndLine(const SWallTime& t, const QString& reason);

    // A text made safe for one cell or header value: tabs and line breaks
    // become spaces, '#' (a comment to readers) the full-width sign, and
    // it is cut to maxChars.
    static QString CleanText(const QString& text, int maxChars = kMaxEventChars);

    // One body line without its line feed. Invalid unless it is exactly a
    // line SampleLine or EventLine writes.
    static SJournalLine ParseRow(const char* line, int length);
    static bool ParseWallTime(const char* p, int length, SWallTime* t);
};
