#include "ui/JournalCommands.h"

#include "run/JournalStore.h"
#include "run/RunJournal.h"
#include "ui/RunExport.h"
#include "ui/RunRecord.h"

#include <QIODevice>

int CJournalCommands::List(const QString& dir, QIODevice& out)
{
    const CJournalStore store(dir);
    for (const QString& path : store.Journals()) {
        try {
            const CRunJournal journal = CRunJournal::Summary(path);
            const char* state = journal.IsFinished()         ? "finished"
                                : CJournalStore::IsHeld(path) ? "running"
                                                              : "unfinished";
            out.write(QStringLiteral("%1\t%2\t%3\t%4\n")
                          .arg(path, journal.Header(QStringLiteral("start")))
                          .arg(journal.SampleCount())
                          .arg(QLatin1String(state))
                          .toUtf8());
        } catch (const CJournalError&) {
            // Not a journal: not listed.
        }
    }
    return kExitDone;
}

QByteArray CJournalCommands::ExportBytes(const CRunJournal& journal)
{
    CRunRecord record;
    for (const SJournalSample& s : journal.Samples()) record.Append(s.nSpeed, s.nTorque);
    return CRunExport::Format(record);
}

int CJournalCommands::Export(const QString& journalPath, const QString& outPath, QIODevice& err)
{
    QByteArray bytes;
    try {
        bytes = ExportBytes(CRunJournal::Load(journalPath));
    } catch (const CJournalError& e) {
        err.write(QByteArray("vantoc: ") + e.what() + '\n');
        return kExitNotAJournal;
    }
    QString reason;
    if (!CRunExport::Write(outPath, bytes, &reason)) {
        err.write(CRunExport::FailureMessage(outPath, reason).toLocal8Bit() + '\n');
        return kExitWriteFailed;
    }
    return kExitDone;
}
