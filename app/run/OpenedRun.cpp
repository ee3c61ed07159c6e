#include "run/OpenedRun.h"

#include "run/JournalFormat.h"
#include "run/RunJournal.h"
#include "run/SaveFileReader.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

COpenedRun COpenedRun::Load(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir()) throw CRunFileError(QStringLiteral("%1 is a folder, not a run").arg(path).toStdString());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CRunFileError(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    // The first line tells the two formats apart without consuming it, so
    // the file is read once whichever it is.
    const QByteArray formatLine = QByteArray(CJournalFormat::kFormatLine) + '\n';
    if (file.peek(formatLine.size()) == formatLine) {
        try {
            return FromJournal(CRunJournal::Load(file, path));
        } catch (const CJournalError& e) {
            throw CRunFileError(e.what());
        }
    }
    return CSaveFileReader::Read(file, path);
}

COpenedRun COpenedRun::FromJournal(const CRunJournal& journal)
{
    COpenedRun run;
    run.m_eKind = EKind::Journal;
    run.m_strPath = journal.Path();
    run.m_header = journal.HeaderMap();
    run.m_badLines = journal.BadLines();
    run.m_strEnd = journal.EndText();
    run.m_samples.reserve(journal.Samples().size());
    for (const SJournalSample& s : journal.Samples()) run.m_samples.push_back({s.nSpeed, s.nTorque, s.nElapsedMs});
    run.m_events.reserve(journal.Events().size());
    for (const SJournalEvent& e : journal.Events())
        run.m_events.push_back({e.nAfterSamples, e.nElapsedMs, e.wall, e.strText});
    return run;
}

COpenedRun COpenedRun::FromSamples(const QString& name, std::vector<SRunSample> samples)
{
    COpenedRun run;
    run.m_eKind = EKind::SaveFile;
    run.m_strPath = name;
    run.m_samples = std::move(samples);
    return run;
}

QString COpenedRun::FileName() const
{
    return QFileInfo(m_strPath).fileName();
}

double COpenedRun::DurationSeconds() const
{
    qint64 last = -1;
    if (!m_samples.empty()) last = m_samples.back().nElapsedMs;
    for (const SRunEvent& e : m_events) last = std::max(last, e.nElapsedMs);
    if (m_eKind == EKind::SaveFile) return -1;
    return last < 0 ? 0.0 : double(last) / 1000.0;
}
