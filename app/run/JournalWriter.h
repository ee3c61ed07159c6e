#pragma once

#include "run/JournalHeader.h"
#include "run/RunClock.h"

#include <QByteArray>
#include <QString>

// Writes the journal of one run, line by line as the run goes: every line in
// one write() on a file opened for appending, data synced at most once per
// second (SyncIfDue, called by every append and by the owner's timer) and at
// the end. A failed write (disk full, file size limit) never throws and never
// blocks: the torn part is cut off again, the lost lines are counted, every
// later append retries, and the first line that fits is preceded by one gap
// event saying how many samples were lost. The open file holds an exclusive
// advisory lock (flock) until the end line is written or the writer goes,
// so other programs can tell a journal being written from an abandoned one.
// One thread; the clock is not owned and must outlive the writer.
class CJournalWriter
{
public:
    // What an append did, so the owner can warn once per failure episode.
    enum class EWrite {
        Written,
        FailedNow,       // this line failed after the previous one was written
        StillFailing,
        WrittenAgain,    // written after failures, with the gap event before it
        NotOpen,
    };
    static constexpr qint64 kSyncIntervalNs = 1'000'000'000;
    static constexpr int kMaxNameTries = 1000;

    explicit CJournalWriter(IRunClock& clock);
    // Closes without an end line: the journal stays unfinished.
    ~CJournalWriter();
    CJournalWriter(const CJournalWriter&) = delete;
    CJournalWriter& operator=(const CJournalWriter&) = delete;

    // Creates dir when needed and a new file in it named after the start
    // time (YYYYMMDD-HHMMSS.vrun, then -2, -3... when taken; never an
    // existing file), writes the header and takes the lock. Elapsed times
    // count from here. False with the reason in *error.
    bool Open(const QString& dir, const SJournalHeader& header, QString* error);
    bool IsOpen() const { return m_fd >= 0; }
    const QString& Path() const { return m_strPath; }

    EWrite AppendSample(int number, int setPoint, int speed, int torque);
    EWrite AppendEvent(const QString& text, int setPoint);
    // The end line, a sync, the lock released and the file closed.
    EWrite Finish(const QString& reason);
    // Closes without an end line (as a crash would leave it).
    void Abandon();

    // Syncs when data was written since the last sync and a second passed.
    void SyncIfDue();

    // Monotonic ns of Open; elapsed times are counted from it.
    qint64 StartNs() const { return m_nStartNs; }
    int SyncCount() const { return m_nSyncs; }
    // Samples and events lost to write failures since Open.
    int LostSamples() const { return m_nLostSamplesTotal; }
    int LostEvents() const { return m_nLostEventsTotal; }
    bool IsFailing() const { return m_bFailing; }
    // The text of the last write failure (strerror).
    const QString& LastError() const { return m_strLastError; }

private:
    qint64 ElapsedMs(qint64 nowNs) const { return (nowNs - m_nStartNs) / 1'000'000; }
    // Writes one line; false (file cut back to its last whole line) when it
    // did not go out whole.
    bool WriteLine(const char* data, int length);
    EWrite Append(const char* data, int length, bool isSample, int number);
    bool WriteGap();
    void Sync();
    void Close();

    IRunClock& m_clock;
    int m_fd = -1;
    QString m_strPath;
    qint64 m_nStartNs = 0;
    qint64 m_nLastSyncNs = 0;
    qint64 m_nGoodSize = 0;  // bytes of whole lines in the file
    bool m_bDirty = false;   // written since the last sync
    int m_nSyncs = 0;
    bool m_bFailing = false;
    int m_nGapSamples = 0;   // lost in the current failure episode
    int m_nGapEvents = 0;
    int m_nGapFirst = 0;     // first sample number lost in it, 0 none
    int m_nGapLast = 0;
    int m_nLostSamplesTotal = 0;
    int m_nLostEventsTotal = 0;
    int m_nSetPoint = 0;
    QString m_strLastError;
};
