#pragma once

#include <QString>

class QIODevice;

// The journal commands of the program: listing the folder of journals and
// turning one journal into the export file Save writes.
class CJournalCommands
{
public:
    static constexpr int kExitDone = 0;
    static constexpr int kExitWriteFailed = 5;
    static constexpr int kExitNotAJournal = 65;

    // One line per journal in dir: path, start, samples and "finished",
    // "unfinished" or "running" (a program still writes it), tab-separated.
    // Files that are not journals are left out.
    static int List(const QString& dir, QIODevice& out);
    // Writes the export of the journal's samples (header, numbered rows,
    // CR LF) to outPath; messages go to err.
    static int Export(const QString& journalPath, const QString& outPath, QIODevice& err);
    // The export bytes of a journal's samples, exactly as Save writes them
    // for the same samples.
    static QByteArray ExportBytes(const class CRunJournal& journal);
};
