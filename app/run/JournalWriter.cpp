#include "run/JournalWriter.h"

#include "run/JournalFormat.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

CJournalWriter::CJournalWriter(IRunClock& clock) : m_clock(clock) {}

CJournalWriter::~CJournalWriter()
{
    Abandon();
}

bool CJournalWriter::Open(const QString& dir, const SJournalHeader& header, QString* error)
{
    Abandon();
    const auto fail = [error](const QString& text) {
        if (error) *error = text;
        return false;
    };
    if (!QDir().mkpath(dir)) return fail(QStringLiteral("cannot make the folder %1").arg(dir));
    const SWallTime start = m_clock.WallNow();
    const QString stem = QDir(dir).filePath(CJournalFormat::FileStem(start));
    for (int i = 1; i <= kMaxNameTries && m_fd < 0; ++i) {
        const QString path = stem + (i == 1 ? QString() : QStringLiteral("-%1").arg(i)) + QStringLiteral(".vrun");
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC,
                              0644);
        if (fd >= 0) {
            m_fd = fd;
            m_strPath = path;
        } else if (errno != EEXIST) {
            return fail(QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        }
    }
    if (m_fd < 0) return fail(QStringLiteral("no free file name for %1 in %2").arg(CJournalFormat::FileStem(start), dir));
    // Ours alone from creation: nobody else has the new file open yet.
    flock(m_fd, LOCK_EX | LOCK_NB);
    m_nStartNs = m_clock.MonotonicNs();
    m_nLastSyncNs = m_nStartNs;
    m_nGoodSize = 0;
    m_nSetPoint = header.nSetPoint;
    m_bFailing = false;
    m_nGapSamples = m_nGapEvents = m_nGapFirst = m_nGapLast = 0;
    m_nLostSamplesTotal = m_nLostEventsTotal = 0;
    const QByteArray head = CJournalFormat::HeaderLines(header, start);
    if (!WriteLine(head.constData(), int(head.size()))) {
        const QString reason = m_strLastError;
        Close();
        QFile::remove(m_strPath);
        return fail(QStringLiteral("%1: %2").arg(m_strPath, reason));
    }
    Sync();
    return true;
}

bool CJournalWriter::WriteLine(const char* data, int length)
{
    int done = 0;
    int savedErrno = 0;
    while (done < length) {
        const ssize_t n = ::write(m_fd, data + done, size_t(length - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            savedErrno = n < 0 ? errno : EIO;
            break;
        }
        done += int(n);
    }
    if (done == length) {
        m_nGoodSize += length;
        m_bDirty = true;
        return true;
    }
    m_strLastError = QString::fromLocal8Bit(std::strerror(savedErrno));
    // A torn line would glue itself to the next one: cut it off again.
    if (done > 0 && ftruncate(m_fd, m_nGoodSize) != 0) {
        // The reader skips the torn line; the next one starts on its own.
        m_nGoodSize += done;
    }
    return false;
}

bool CJournalWriter::WriteGap()
{
    QString text = QStringLiteral("journal gap: %1 samples and %2 events not written").arg(m_nGapSamples).arg(m_nGapEvents);
    if (m_nGapFirst > 0) text += QStringLiteral(" (samples %1 to %2)").arg(m_nGapFirst).arg(m_nGapLast);
    const QByteArray line = CJournalFormat::EventLine(ElapsedMs(m_clock.MonotonicNs()), m_clock.WallNow(), m_nSetPoint, text);
    return WriteLine(line.constData(), int(line.size()));
}

CJournalWriter::EWrite CJournalWriter::Append(const char* data, int length, bool isSample, int number)
{
    if (m_fd < 0) return EWrite::NotOpen;
    const bool wasFailing = m_bFailing;
    if (!(wasFailing && !WriteGap()) && WriteLine(data, length)) {
        m_bFailing = false;
        m_nGapSamples = m_nGapEvents = m_nGapFirst = m_nGapLast = 0;
        SyncIfDue();
        return wasFailing ? EWrite::WrittenAgain : EWrite::Written;
    }
    m_bFailing = true;
    if (isSample) {
        ++m_nGapSamples;
        ++m_nLostSamplesTotal;
        if (m_nGapFirst == 0) m_nGapFirst = number;
        m_nGapLast = number;
    } else {
        ++m_nGapEvents;
        ++m_nLostEventsTotal;
    }
    return wasFailing ? EWrite::StillFailing : EWrite::FailedNow;
}

CJournalWriter::EWrite CJournalWriter::AppendSample(int number, int setPoint, int speed, int torque)
{
    m_nSetPoint = setPoint;
    char line[CJournalFormat::kMaxLine];
    const int n = CJournalFormat::SampleLine(line, number, ElapsedMs(m_clock.MonotonicNs()), m_clock.WallNow(),
                                             setPoint, speed, torque);
    return Append(line, n, true, number);
}

CJournalWriter::EWrite CJournalWriter::AppendEvent(const QString& text, int setPoint)
{
    m_nSetPoint = setPoint;
    const QByteArray line = CJournalFormat::EventLine(ElapsedMs(m_clock.MonotonicNs()), m_clock.WallNow(), setPoint, text);
    return Append(line.constData(), int(line.size()), false, 0);
}

CJournalWriter::EWrite CJournalWriter::Finish(const QString& reason)
{
    if (m_fd < 0) return EWrite::NotOpen;
    const QByteArray line = CJournalFormat::EndLine(m_clock.WallNow(), reason);
    const EWrite result = Append(line.constData(), int(line.size()), false, 0);
    Sync();
    Close();
    return result;
}

void CJournalWriter::Abandon()
{
    if (m_fd < 0) return;
    Sync();
    Close();
}

void CJournalWriter::SyncIfDue()
{
    if (m_fd < 0 || !m_bDirty) return;
    if (m_clock.MonotonicNs() - m_nLastSyncNs < kSyncIntervalNs) return;
    Sync();
}

void CJournalWriter::Sync()
{
    if (m_fd < 0 || !m_bDirty) return;
    fdatasync(m_fd);
    m_bDirty = false;
    m_nLastSyncNs = m_clock.MonotonicNs();
    ++m_nSyncs;
}

void CJournalWriter::Close()
{
    if (m_fd < 0) return;
    ::close(m_fd);  // releases the lock
    m_fd = -1;
}
