// Run journals as they come back from disk, torn or tampered with: a row
// the reader takes formats back to the very bytes it came from, and what
// a whole journal yields, written out again, reads back unchanged.
#include "run/JournalFormat.h"
#include "run/RunJournal.h"

#include <QBuffer>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

QByteArray SampleRow(const SJournalSample& s)
{
    char buf[CJournalFormat::kMaxLine];
    const int n = CJournalFormat::SampleLine(buf, s.nNumber, s.nElapsedMs, s.wall, s.nSetPoint, s.nSpeed, s.nTorque);
    return QByteArray(buf, n);
}

QByteArray EventRow(const SJournalEvent& e)
{
    return CJournalFormat::EventLine(e.nElapsedMs, e.wall, e.nSetPoint, e.strText);
}

// Every line on its own: accepted only as exactly what the writer produces.
void CheckRows(const QByteArray& bytes)
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype lf = bytes.indexOf('\n', from);
        if (lf < 0) break;
        const QByteArray line = bytes.mid(from, lf - from);
        from = lf + 1;
        const SJournalLine row = CJournalFormat::ParseRow(line.constData(), int(line.size()));
        if (row.eKind == SJournalLine::EKind::Sample) {
            if (row.nNumber < 1 || row.nElapsedMs < 0) std::abort();
            if (SampleRow({row.nNumber, row.nSetPoint, row.nSpeed, row.nTorque, row.nElapsedMs, row.wall})
                != line + '\n')
                std::abort();
        } else if (row.eKind == SJournalLine::EKind::Event) {
            if (row.strEvent.isEmpty() || row.strEvent.size() > CJournalFormat::kMaxEventChars) std::abort();
            if (CJournalFormat::EventLine(row.nElapsedMs, row.wall, row.nSetPoint, row.strEvent) != line + '\n')
                std::abort();
        }
    }
}

// The journal's rows in their order: events sit after the samples counted before them.
QByteArray Body(const CRunJournal& journal)
{
    QByteArray body;
    size_t event = 0;
    const auto& events = journal.Events();
    for (size_t i = 0; i <= journal.Samples().size(); ++i) {
        for (; event < events.size() && size_t(events[event].nAfterSamples) == i; ++event) body += EventRow(events[event]);
        if (i < journal.Samples().size()) body += SampleRow(journal.Samples()[i]);
    }
    if (event != events.size()) std::abort();
    return body;
}

CRunJournal LoadBytes(const QByteArray& bytes, bool* isJournal)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        *isJournal = true;
        return CRunJournal::Load(buffer, QStringLiteral("fuzz"));
    } catch (const CJournalError&) {
        *isJournal = false;
        return CRunJournal();
    }
}

bool SameRows(const CRunJournal& a, const CRunJournal& b)
{
    if (a.SampleCount() != b.SampleCount() || a.Events().size() != b.Events().size()) return false;
    for (size_t i = 0; i < a.Samples().size(); ++i)
        if (SampleRow(a.Samples()[i]) != SampleRow(b.Samples()[i])) return false;
    for (size_t i = 0; i < a.Events().size(); ++i)
        if (a.Events()[i].nAfterSamples != b.Events()[i].nAfterSamples || EventRow(a.Events()[i]) != EventRow(b.Events()[i]))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 256 * 1024) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckRows(bytes);

    bool isJournal = false;
    const CRunJournal journal = LoadBytes(bytes, &isJournal);
    if (isJournal != bytes.startsWith(QByteArray(CJournalFormat::kFormatLine) + '\n')) std::abort();
    if (!isJournal) return 0;

    // Rows are counted once and kept in the file's order; each row is a whole line of its own.
    if (journal.Samples().size() != size_t(journal.SampleCount())) std::abort();
    const qsizetype lines = bytes.count('\n') + (bytes.endsWith('\n') ? 0 : 1);
    if (journal.SampleCount() + qsizetype(journal.Events().size()) + journal.SkippedLines() > lines) std::abort();
    for (size_t i = 1; i < journal.Events().size(); ++i)
        if (journal.Events()[i].nAfterSamples < journal.Events()[i - 1].nAfterSamples) std::abort();
    if (!journal.Events().empty() && journal.Events().back().nAfterSamples > journal.SampleCount()) std::abort();

    // Written out again in the writer's format, it reads back the same, with nothing skipped.
    QByteArray again = QByteArray(CJournalFormat::kFormatLine) + '\n' + CJournalFormat::kColumnLine + '\n' + Body(journal);
    const QByteArray end = QByteArray(CJournalFormat::kEndPrefix) + journal.EndText().toUtf8() + '\n';
    const bool endFits = journal.IsFinished() && end.size() < CJournalFormat::kMaxLine;
    if (endFits) again += end;
    bool reread = false;
    const CRunJournal copy = LoadBytes(again, &reread);
    if (!reread || !SameRows(journal, copy) || copy.SkippedLines() != 0) std::abort();
    if (endFits && (!copy.IsFinished() || copy.EndText() != journal.EndText())) std::abort();
    return 0;
}
