#include "FakeClock.h"
#include "run/JournalFormat.h"
#include "run/JournalWriter.h"
#include "run/RunJournal.h"

#include <QBuffer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

class RunJournalTest : public ::testing::Test
{
protected:
    // A finished journal of n samples with a Start, a mark after sample 5
    // and a Stop; returns its bytes.
    QByteArray MakeJournal(int n)
    {
        CJournalWriter writer(clock);
        SJournalHeader h;
        h.strProgram = "vantoc 1.0.0";
        h.strNote = "viscous";
        EXPECT_TRUE(writer.Open(dir.path(), h, nullptr));
        writer.AppendEvent("Start", 300);
        for (int i = 1; i <= n; ++i) {
            clock.Advance(1000);
            writer.AppendSample(i, 300, 290 + i, i % 7);
            if (i == 5) writer.AppendEvent("Mark 1", 300);
        }
        writer.AppendEvent("Stop", 300);
        writer.Finish("stopped");
        path = writer.Path();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    void Write(const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // Every row the reader returned, formatted again, is a whole line of
    // the file: the reader invents nothing.
    static void ExpectOnlyRowsOfTheFile(const CRunJournal& journal, const QByteArray& bytes, const char* what)
    {
        QSet<QByteArray> lines;
        for (const QByteArray& line : bytes.split('\n')) lines.insert(line + '\n');
        // The last piece has no line feed: it cannot be a row.
        if (!bytes.endsWith('\n')) lines.remove(bytes.mid(bytes.lastIndexOf('\n') + 1) + '\n');
        char buf[CJournalFormat::kMaxLine];
        for (const SJournalSample& s : journal.Samples()) {
            const int n = CJournalFormat::SampleLine(buf, s.nNumber, s.nElapsedMs, s.wall, s.nSetPoint, s.nSpeed,
                                                     s.nTorque);
            ASSERT_TRUE(lines.contains(QByteArray(buf, n))) << what << ": " << QByteArray(buf, n).toStdString();
        }
        for (const SJournalEvent& e : journal.Events())
            ASSERT_TRUE(lines.contains(CJournalFormat::EventLine(e.nElapsedMs, e.wall, e.nSetPoint, e.strText)))
                << what << ": " << e.strText.toStdString();
    }

    QTemporaryDir dir;
    CFakeClock clock;
    QString path;
};

TEST_F(RunJournalTest, ReadsBackHeaderSamplesEventsAndEnd)
{
    MakeJournal(8);
    const CRunJournal journal = CRunJournal::Load(path);
    EXPECT_EQ(journal.Header("note"), "viscous");
    EXPECT_EQ(journal.Header("start"), "2026-12-07T14:16:45.123+01:00");
    EXPECT_EQ(journal.Header("operator"), "");
    ASSERT_EQ(journal.SampleCount(), 8);
    EXPECT_EQ(journal.Samples()[4].nNumber, 5);
    EXPECT_EQ(journal.Samples()[4].nSpeed, 295);
    EXPECT_EQ(journal.Samples()[4].nTorque, 5);
    EXPECT_EQ(journal.Samples()[4].nElapsedMs, 5000);
    ASSERT_EQ(journal.Events().size(), 3u);
    EXPECT_EQ(journal.Events()[0].nAfterSamples, 0);
    EXPECT_EQ(journal.Events()[1].strText, "Mark 1");
    EXPECT_EQ(journal.Events()[1].nAfterSamples, 5);
    EXPECT_EQ(journal.Events()[2].nAfterSamples, 8);
    EXPECT_TRUE(journal.IsFinished());
    EXPECT_EQ(journal.EndText(), "2026-12-07T14:16:53.123+01:00 stopped");
    EXPECT_EQ(journal.SkippedLines(), 0);

    const CRunJournal summary = CRunJournal::Summary(path);
    EXPECT_EQ(summary.SampleCount(), 8);
    EXPECT_TRUE(summary.Samples().empty());
    EXPECT_TRUE(summary.IsFinished());
}

TEST_F(RunJournalTest, NotAJournalOrUnreadableThrows)
{
    MakeJournal(1);
    for (const QByteArray& bytes : {QByteArray(), QByteArray("Time(S)\tSpeed(rpm)\tTorque(Ncm)\r\n1\t2\t3\r\n"),
                                    QByteArray("# format: vantoc-journal 2\n"), QByteArray(4096, '\0')}) {
        Write(bytes);
        EXPECT_THROW(CRunJournal::Load(path), CJournalError) << bytes.left(30).toStdString();
    }
    EXPECT_THROW(CRunJournal::Load(dir.filePath("missing.vrun")), CJournalError);
}

TEST_F(RunJournalTest, EveryTruncationKeepsTheWholeRowsBeforeTheCut)
{
    const QByteArray full = MakeJournal(12);
    const int headerEnd = int(full.indexOf("event\n") + 6);
    for (int cut = headerEnd; cut <= full.size(); ++cut) {
        QByteArray part = full.left(cut);
        QBuffer buffer(&part);
        buffer.open(QIODevice::ReadOnly);
        const CRunJournal journal = CRunJournal::Load(buffer, "truncated");
        // Whole sample lines before the cut.
        const QByteArray whole = part.left(part.lastIndexOf('\n') + 1);
        int expected = 0;
        for (const QByteArray& line : whole.mid(headerEnd).split('\n'))
            if (!line.isEmpty() && line[0] != '\t' && line[0] != '#') ++expected;
        ASSERT_EQ(journal.SampleCount(), expected) << "cut at " << cut;
        EXPECT_EQ(journal.SkippedLines(), part.endsWith('\n') ? 0 : 1) << "cut at " << cut;
        EXPECT_EQ(journal.IsFinished(), cut == full.size());
        ExpectOnlyRowsOfTheFile(journal, part, "truncated");
    }
}

TEST_F(RunJournalTest, RandomMutationsNeverCrashAndYieldOnlyRowsOfTheFile)
{
    const QByteArray original = MakeJournal(30);
    std::mt19937 random(20261207);
    const auto pick = [&random](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(random)); };
    for (int round = 0; round < 10000; ++round) {
        QByteArray bytes = original;
        const int edits = 1 + pick(8);
        for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
            const int at = pick(int(bytes.size()));
            switch (pick(6)) {
            case 0: bytes[at] = char(pick(256)); break;
            case 1: bytes.remove(at, 1 + pick(40)); break;
            case 2: bytes.insert(at, QByteArray(1 + pick(3), "\t\n#-09."[pick(7)])); break;
            case 3: bytes.insert(at, bytes.mid(pick(int(bytes.size())), pick(200))); break;
            case 4: bytes.insert(at, QByteArray(CJournalFormat::kMaxLine + pick(3000), 'x')); break;
            default: bytes.truncate(at); break;
            }
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        try {
            const CRunJournal journal = CRunJournal::Load(buffer, "mutated");
            ASSERT_LE(journal.SampleCount() * 40, bytes.size()) << "round " << round;
            ExpectOnlyRowsOfTheFile(journal, bytes, "mutated");
        } catch (const CJournalError&) {
            // The format line itself was hit: refused as a whole, which is fine.
            ASSERT_FALSE(bytes.startsWith(QByteArray(CJournalFormat::kFormatLine) + '\n')) << "round " << round;
        }
    }
}

TEST_F(RunJournalTest, OverlongAndGarbageLinesAreSkippedAndCounted)
{
    QByteArray bytes = MakeJournal(3);
    const int afterFirstRow = int(bytes.indexOf("\n1\t") + 1);
    bytes.insert(afterFirstRow, QByteArray(100000, 'y') + "\n" + "1\t2\t3\r\n" + "\t\t\t\t\t\t\n");
    Write(bytes);
    const CRunJournal journal = CRunJournal::Load(path);
    EXPECT_EQ(journal.SampleCount(), 3);
    EXPECT_EQ(journal.SkippedLines(), 3);
    EXPECT_TRUE(journal.IsFinished());
}

}  // namespace

namespace {

TEST_F(RunJournalTest, EndsFinishedLooksAtTheLastLineOnly)
{
    const QByteArray full = MakeJournal(40);
    EXPECT_TRUE(CRunJournal::EndsFinished(path));
    Write(full.left(full.size() - 1));  // the end line torn
    EXPECT_FALSE(CRunJournal::EndsFinished(path));
    Write(full.left(full.lastIndexOf("# end")));
    EXPECT_FALSE(CRunJournal::EndsFinished(path));
    Write("# end: 2026-12-07T14:16:53.123+01:00 stopped\n");  // no format line
    EXPECT_FALSE(CRunJournal::EndsFinished(path));
    EXPECT_FALSE(CRunJournal::EndsFinished(dir.filePath("missing.vrun")));
}

}  // namespace
