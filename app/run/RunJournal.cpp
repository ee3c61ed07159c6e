#include "run/RunJournal.h"

#include "run/JournalFormat.h"
#include "run/LineReader.h"

#include <QFile>
#include <algorithm>
#include <cstring>

namespace {
// The shortest sample row: "1\t0.000\t<29-byte time>\t0\t0\t0\t\n".
constexpr qint64 kShortestRow = 45;
}

CRunJournal CRunJournal::Load(const QString& path)
{
    return Read(path, true);
}

CRunJournal CRunJournal::Summary(const QString& path)
{
    return Read(path, false);
}

bool CRunJournal::EndsFinished(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    if (file.readLine(CJournalFormat::kMaxLine) != QByteArray(CJournalFormat::kFormatLine) + '\n') return false;
    const qint64 size = file.size();
    if (!file.seek(std::max<qint64>(0, size - CJournalFormat::kMaxLine))) return false;
    QByteArray tail = file.readAll();
    if (!tail.endsWith('\n')) return false;
    tail.chop(1);
    return tail.mid(tail.lastIndexOf('\n') + 1).startsWith(CJournalFormat::kEndPrefix);
}

CRunJournal CRunJournal::Load(QIODevice& device, const QString& path)
{
    return Read(device, path, true);
}

CRunJournal CRunJournal::Read(const QString& path, bool keepRows)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CJournalError(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    return Read(file, path, keepRows);
}

CRunJournal CRunJournal::Read(QIODevice& file, const QString& path, bool keepRows)
{
    const QByteArray first = file.readLine(CJournalFormat::kMaxLine);
    if (first != QByteArray(CJournalFormat::kFormatLine) + '\n')
        throw CJournalError(QStringLiteral("%1 is not a Vantoc run journal").arg(path).toStdString());

    CRunJournal journal;
    journal.m_strPath = path;
    journal.m_header.insert(QStringLiteral("format"), QStringLiteral("vantoc-journal 1"));
    // Room for as many rows as the file can hold, so the array never
    // doubles past the file's size.
    if (keepRows && !file.isSequential()) journal.m_samples.reserve(size_t(std::max<qint64>(0, file.size() / kShortestRow)));
    // Lines of kMaxLine bytes or more are dropped whole; a last line cut
    // off by a crash (no line feed) is dropped too.
    QString error;
    const bool read = CLineReader::Read(
        file, CJournalFormat::kMaxLine - 1,
        [&](const char* line, int length, bool overlong, bool complete) {
            ++journal.m_nLine;
            if (overlong || !complete) journal.Skip();
            else journal.TakeLine(line, length, keepRows);
        },
        &error);
    if (!read) throw CJournalError(QStringLiteral("%1: %2").arg(path, error).toStdString());
    return journal;
}

void CRunJournal::TakeLine(const char* line, int length, bool keepRows)
{
    if (length > 0 && line[0] == '#') {
        const QString text = QString::fromUtf8(line, length);
        if (text.startsWith(QLatin1String(CJournalFormat::kEndPrefix)) && m_bInBody) {
            m_strEnd = text.mid(int(std::strlen(CJournalFormat::kEndPrefix)));
            return;
        }
        const int colon = text.indexOf(QLatin1String(": "));
        if (!m_bInBody && colon > 2) m_header.insert(text.mid(2, colon - 2), text.mid(colon + 2));
        else if (!m_bInBody && text.endsWith(QLatin1Char(':'))) m_header.insert(text.mid(2, text.size() - 3), QString());
        else Skip();
        return;
    }
    if (!m_bInBody) {
        if (length == int(std::strlen(CJournalFormat::kColumnLine))
            && std::memcmp(line, CJournalFormat::kColumnLine, size_t(length)) == 0) {
            m_bInBody = true;
            return;
        }
        Skip();
        return;
    }
    // Nothing counts after the end line.
    if (!m_strEnd.isEmpty()) {
        Skip();
        return;
    }
    SJournalLine row = CJournalFormat::ParseRow(line, length);
    switch (row.eKind) {
    case SJournalLine::EKind::Invalid:
        Skip();
        return;
    case SJournalLine::EKind::Sample:
        ++m_nSampleCount;
        if (keepRows)
            m_samples.push_back({row.nNumber, row.nSetPoint, row.nSpeed, row.nTorque, row.nElapsedMs, row.wall});
        return;
    case SJournalLine::EKind::Event:
        if (keepRows)
            m_events.push_back({m_nSampleCount, row.nElapsedMs, row.wall, row.nSetPoint, std::move(row.strEvent)});
        return;
    }
}
