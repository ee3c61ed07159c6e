#pragma once

#include "run/BadLines.h"
#include "run/RunClock.h"

#include <QMap>

class QIODevice;
#include <QString>
#include <stdexcept>
#include <vector>

// A file that is not a run journal or cannot be read.
class CJournalError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One sample as the journal recorded it.
struct SJournalSample {
    int nNumber = 0;        // from 1
    int nSetPoint = 0;      // rpm
    int nSpeed = 0;         // displayed speed, rpm
    int nTorque = 0;        // Ncm
    qint64 nElapsedMs = 0;  // since Start, monotonic
    SWallTime wall;
};

// One event (Start, Stop, a mark...) and where it falls among the samples.
struct SJournalEvent {
    int nAfterSamples = 0;  // sample rows before it: its place on a chart's X axis
    qint64 nElapsedMs = 0;
    SWallTime wall;
    int nSetPoint = 0;
    QString strText;
};

// A run journal read back. Reads what it can: a torn last line, garbage,
// overlong lines and rows with bad numbers are skipped and counted, never
// thrown. Memory grows with the rows actually found, so it is bounded by
// the file's size whatever the file holds.
class CRunJournal
{
public:
    // Throws CJournalError when the file cannot be read or does not begin
    // with a journal's format line.
    static CRunJournal Load(const QString& path);
    // Only the header, the end line and a count of the rows: for listings.
    static CRunJournal Summary(const QString& path);
    // Whether the file is a journal whose last line is its end line; reads
    // only the first line and the tail, so a folder of long runs is quick.
    static bool EndsFinished(const QString& path);
    // The same from an open device; path only names it in messages.
    static CRunJournal Load(QIODevice& device, const QString& path);

    const QString& Path() const { return m_strPath; }
    // Header values by key ("start", "port", "note"...); empty when absent.
    QString Header(const QString& key) const { return m_header.value(key); }
    const QMap<QString, QString>& HeaderMap() const { return m_header; }
    const std::vector<SJournalSample>& Samples() const { return m_samples; }
    const std::vector<SJournalEvent>& Events() const { return m_events; }
    int SampleCount() const { return m_nSampleCount; }
    bool IsFinished() const { return !m_strEnd.isEmpty(); }
    // The end line's text after "# end: ": time and reason.
    const QString& EndText() const { return m_strEnd; }
    int SkippedLines() const { return int(m_badLines.Count()); }
    // The skipped lines with their numbers in the file.
    const CBadLines& BadLines() const { return m_badLines; }

private:
    static CRunJournal Read(const QString& path, bool keepRows);
    static CRunJournal Read(QIODevice& device, const QString& path, bool keepRows);
    void TakeLine(const char* line, int length, bool keepRows);
    void Skip() { m_badLines.Add(m_nLine); }

    QString m_strPath;
    QMap<QString, QString> m_header;
    std::vector<SJournalSample> m_samples;
    std::vector<SJournalEvent> m_events;
    int m_nSampleCount = 0;
    QString m_strEnd;
    CBadLines m_badLines;
    qint64 m_nLine = 1;  // the line being taken, from 1 (the format line)
    bool m_bInBody = false;
};
