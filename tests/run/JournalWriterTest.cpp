#include "FakeClock.h"
#include "run/JournalFormat.h"
#include "run/JournalStore.h"
#include "run/JournalWriter.h"
#include "run/RunJournal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

SJournalHeader Header()
{
    SJournalHeader h;
    h.strProgram = "vantoc 1.0.0";
    h.strPort = "/dev/pts/9";
    h.nBaud = 9600;
    h.nSetPoint = 300;
    return h;
}

class JournalWriterTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    CFakeClock clock;
};

TEST_F(JournalWriterTest, WritesHeaderRowsEventsAndTheEndLine)
{
    CJournalWriter writer(clock);
    QString error;
    ASSERT_TRUE(writer.Open(dir.path() + "/runs", Header(), &error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(writer.Path()).fileName(), "20261207-141645.vrun");
    EXPECT_EQ(writer.AppendEvent("Start", 300), CJournalWriter::EWrite::Written);
    clock.Advance(1004);
    EXPECT_EQ(writer.AppendSample(1, 300, 280, 11), CJournalWriter::EWrite::Written);
    clock.Advance(999);
    writer.AppendSample(2, 300, 297, 12);
    writer.AppendEvent("Mark 1", 300);
    clock.Advance(10);
    writer.AppendEvent("Stop", 300);
    EXPECT_EQ(writer.Finish("stopped"), CJournalWriter::EWrite::Written);
    EXPECT_FALSE(writer.IsOpen());

    const QByteArray text = ReadAll(dir.path() + "/runs/20261207-141645.vrun");
    const QByteArray body = text.mid(text.indexOf("sample\telapsed_s"));
    EXPECT_TRUE(text.startsWith("# format: vantoc-journal 1\n# program: vantoc 1.0.0\n"
                                "# start: 2026-12-07T14:16:45.123+01:00\n"));
    EXPECT_EQ(body,
              "sample\telapsed_s\ttime\tsetpoint_rpm\tspeed_rpm\ttorque_Ncm\tevent\n"
              "\t0.000\t2026-12-07T14:16:45.123+01:00\t300\t\t\tStart\n"
              "1\t1.004\t2026-12-07T14:16:46.127+01:00\t300\t280\t11\t\n"
              "2\t2.003\t2026-12-07T14:16:47.126+01:00\t300\t297\t12\t\n"
              "\t2.003\t2026-12-07T14:16:47.126+01:00\t300\t\t\tMark 1\n"
              "\t2.013\t2026-12-07T14:16:47.136+01:00\t300\t\t\tStop\n"
              "# end: 2026-12-07T14:16:47.136+01:00 stopped\n");
}

TEST_F(JournalWriterTest, RunsStartedInTheSameSecondGetTheirOwnFiles)
{
    CJournalWriter a(clock), b(clock), c(clock);
    ASSERT_TRUE(a.Open(dir.path(), Header(), nullptr));
    clock.Advance(500);
    ASSERT_TRUE(b.Open(dir.path(), Header(), nullptr));
    ASSERT_TRUE(c.Open(dir.path(), Header(), nullptr));
    EXPECT_EQ(QFileInfo(a.Path()).fileName(), "20261207-141645.vrun");
    EXPECT_EQ(QFileInfo(b.Path()).fileName(), "20261207-141645-2.vrun");
    EXPECT_EQ(QFileInfo(c.Path()).fileName(), "20261207-141645-3.vrun");
    a.AppendSample(1, 300, 1, 1);
    EXPECT_EQ(CRunJournal::Load(a.Path()).SampleCount(), 1);
    EXPECT_EQ(CRunJournal::Load(b.Path()).SampleCount(), 0);
}

TEST_F(JournalWriterTest, SyncsAtMostOncePerSecondAndAtTheEnd)
{
    CJournalWriter writer(clock);
    ASSERT_TRUE(writer.Open(dir.path(), Header(), nullptr));
    const int afterOpen = writer.SyncCount();
    EXPECT_EQ(afterOpen, 1);  // the header
    // Ten samples within 900 ms: none is due yet.
    for (int i = 1; i <= 10; ++i) {
        clock.Advance(90);
        writer.AppendSample(i, 300, 300, 10);
    }
    EXPECT_EQ(writer.SyncCount(), afterOpen);
    clock.Advance(100);
    writer.SyncIfDue();
    EXPECT_EQ(writer.SyncCount(), afterOpen + 1);
    // Nothing new written: nothing to sync however long it waits.
    clock.Advance(5000);
    writer.SyncIfDue();
    EXPECT_EQ(writer.SyncCount(), afterOpen + 1);
    writer.AppendSample(11, 300, 300, 10);
    EXPECT_EQ(writer.SyncCount(), afterOpen + 2);
    clock.Advance(10);
    writer.AppendSample(12, 300, 300, 10);
    writer.Finish("stopped");
    EXPECT_EQ(writer.SyncCount(), afterOpen + 3);
}

TEST_F(JournalWriterTest, HoldsTheLockUntilFinishedOrAbandoned)
{
    CJournalWriter writer(clock);
    ASSERT_TRUE(writer.Open(dir.path(), Header(), nullptr));
    const QString first = writer.Path();
    EXPECT_TRUE(CJournalStore::IsHeld(first));
    writer.Finish("stopped");
    EXPECT_FALSE(CJournalStore::IsHeld(first));

    clock.Advance(2000);
    ASSERT_TRUE(writer.Open(dir.path(), Header(), nullptr));
    const QString second = writer.Path();
    EXPECT_TRUE(CJournalStore::IsHeld(second));
    writer.Abandon();
    EXPECT_FALSE(CJournalStore::IsHeld(second));
    EXPECT_FALSE(CRunJournal::Load(second).IsFinished());
}

TEST_F(JournalWriterTest, OpenFailsWithAReasonWhereNoFolderCanBeMade)
{
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CJournalWriter writer(clock);
    QString error;
    EXPECT_FALSE(writer.Open(dir.filePath("file/runs"), Header(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(writer.AppendSample(1, 300, 300, 1), CJournalWriter::EWrite::NotOpen);
}

// The file size limit stands in for a full disk. It is set in a child
// process, so the test program's own files are not limited.
TEST_F(JournalWriterTest, AFullDiskLosesOnlyWhatDidNotFitAndRecordsTheGap)
{
    const QString runs = dir.filePath("runs");
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        CJournalWriter writer(clock);
        if (!writer.Open(runs, Header(), nullptr)) _exit(10);
        const off_t limit = off_t(QFileInfo(writer.Path()).size()) + 3 * 56 + 20;
        rlimit rl{rlim_t(limit), RLIM_INFINITY};
        int code = 0;
        const auto expect = [&code](bool ok, int bit) {
            if (!ok) code |= bit;
        };
        int results[8];
        for (int i = 1; i <= 8; ++i) {
            if (i == 1) setrlimit(RLIMIT_FSIZE, &rl);
            clock.Advance(1000);
            if (i == 7) {
                // The disk has room again.
                rlimit open{RLIM_INFINITY, RLIM_INFINITY};
                setrlimit(RLIMIT_FSIZE, &open);
            }
            results[i - 1] = int(writer.AppendSample(i, 300, 300 + i, 10 + i));
        }
        using E = CJournalWriter::EWrite;
        expect(results[0] == int(E::Written) && results[2] == int(E::Written), 1);
        expect(results[3] == int(E::FailedNow), 2);
        expect(results[4] == int(E::StillFailing) && results[5] == int(E::StillFailing), 4);
        expect(results[6] == int(E::WrittenAgain) && results[7] == int(E::Written), 8);
        expect(writer.LostSamples() == 3, 16);
        writer.Finish("stopped");
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);

    const QStringList files = QDir(runs).entryList({"*.vrun"});
    ASSERT_EQ(files.size(), 1);
    const CRunJournal journal = CRunJournal::Load(QDir(runs).filePath(files.front()));
    EXPECT_EQ(journal.SkippedLines(), 0) << "a torn line was left behind";
    std::vector<int> numbers;
    for (const SJournalSample& s : journal.Samples()) numbers.push_back(s.nNumber);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 7, 8}));
    EXPECT_EQ(journal.Samples()[2].nSpeed, 303);
    ASSERT_EQ(journal.Events().size(), 1u);
    EXPECT_EQ(journal.Events()[0].strText, "journal gap: 3 samples and 0 events not written (samples 4 to 6)");
    EXPECT_EQ(journal.Events()[0].nAfterSamples, 3);
    EXPECT_TRUE(journal.IsFinished());
}

}  // namespace
