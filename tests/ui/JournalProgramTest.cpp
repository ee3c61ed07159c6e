// The run journal of the real vantoc program: a run killed outright or cut
// short by a full disk keeps every sample it printed.
#ifdef VANTOC_PROGRAM

#include "HeadlessTestSupport.h"
#include "run/RunJournal.h"
#include "support/SimulatedStirrer.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace headless_test;

namespace {

class JournalProgramTest : public SimulatedStirrerTest
{
protected:
    bool OpenPortInSetUp() const override { return false; }
    SimSettings Settings() const override { return ExactSettings(); }

    void Prepare(QProcess& process, const QStringList& args) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("VANTOC_LOG_DIR", logDir.path());
        env.insert("XDG_DATA_HOME", files.filePath("data"));
        process.setProcessEnvironment(env);
        process.setProgram(QStringLiteral(VANTOC_PROGRAM));
        process.setArguments(args);
    }

    struct SResult {
        int nExit = -1;
        QByteArray out, err;
    };
    SResult Run(const QStringList& args) const
    {
        QProcess process;
        Prepare(process, args);
        process.start();
        SResult result;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return result;
        result.nExit = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    // Reads standard output until it holds n rows; false on a time-out.
    static bool WaitForRows(QProcess& process, QByteArray& out, int n)
    {
        while (ParseRows(out).size() < n && process.waitForReadyRead(20000)) out += process.readAllStandardOutput();
        return ParseRows(out).size() >= n;
    }

    QStringList Journals() const
    {
        const QDir dir(RunsDir());
        QStringList paths;
        for (const QString& name : dir.entryList({"*.vrun"}, QDir::Files)) paths << dir.filePath(name);
        return paths;
    }
    QString RunsDir() const { return files.filePath("data/vantoc/runs"); }
    QString Port() const { return QString::fromStdString(sim->SlavePath()); }

    QTemporaryDir files;
};

TEST_F(JournalProgramTest, KillNineKeepsEveryPrintedRowAndTheJournalExportsAsSaveWould)
{
    QProcess process;
    Prepare(process, {"--headless", "--port", Port(), "--speed", "400", "--samples", "1000", "--note", "kill test"});
    process.start();
    ASSERT_TRUE(process.waitForStarted(10000));
    QByteArray out;
    ASSERT_TRUE(WaitForRows(process, out, 3)) << out.toStdString() << process.readAllStandardError().toStdString();
    ::kill(pid_t(process.processId()), SIGKILL);
    ASSERT_TRUE(process.waitForFinished(10000));
    out += process.readAllStandardOutput();
    const QList<SRow> printed = ParseRows(out);
    ASSERT_GE(printed.size(), 3);

    const QStringList journals = Journals();
    ASSERT_EQ(journals.size(), 1);
    const CRunJournal journal = CRunJournal::Load(journals.front());
    EXPECT_FALSE(journal.IsFinished());
    EXPECT_EQ(journal.Header("note"), "kill test");
    EXPECT_EQ(journal.Header("setpoint_rpm"), "400");
    ASSERT_EQ(journal.SampleCount(), printed.size());
    for (int i = 0; i < printed.size(); ++i) {
        EXPECT_EQ(journal.Samples()[i].nNumber, printed[i].nNumber);
        EXPECT_EQ(journal.Samples()[i].nSpeed, printed[i].nSpeed);
        EXPECT_EQ(journal.Samples()[i].nTorque, printed[i].nTorque);
    }
    ASSERT_FALSE(journal.Events().empty());
    EXPECT_EQ(journal.Events().front().strText, "Start");

    const SResult list = Run({"--journals", "--journal-dir", RunsDir()});
    EXPECT_EQ(list.nExit, 0);
    EXPECT_EQ(list.out, (journals.front() + "\t" + journal.Header("start") + "\t" + QString::number(printed.size())
                         + "\tunfinished\n")
                            .toUtf8());

    const QString xls = files.filePath("recovered.xls");
    const SResult exported = Run({"--export-journal", journals.front(), "--out", xls});
    EXPECT_EQ(exported.nExit, 0) << exported.err.toStdString();
    EXPECT_EQ(ReadFile(xls), kHeader + out);
}

TEST_F(JournalProgramTest, AFinishedRunEndsItsJournalAndAMarkComesFromSigusr1)
{
    QProcess process;
    Prepare(process, {"--headless", "--port", Port(), "--speed", "300", "--samples", "4", "--save",
                      files.filePath("run.xls")});
    process.start();
    QByteArray out;
    ASSERT_TRUE(WaitForRows(process, out, 2));
    ::kill(pid_t(process.processId()), SIGUSR1);
    ASSERT_TRUE(process.waitForFinished(30000));
    out += process.readAllStandardOutput();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();

    const QStringList journals = Journals();
    ASSERT_EQ(journals.size(), 1);
    const CRunJournal journal = CRunJournal::Load(journals.front());
    EXPECT_TRUE(journal.IsFinished());
    EXPECT_TRUE(journal.EndText().endsWith(" stopped")) << journal.EndText().toStdString();
    QStringList texts;
    for (const SJournalEvent& e : journal.Events()) texts << e.strText;
    EXPECT_EQ(texts, (QStringList{"Start", "mark", "Stop"}));
    EXPECT_GE(journal.SampleCount(), 4);
    // The export of the journal's first rows is the saved file.
    EXPECT_EQ(ReadFile(files.filePath("run.xls")), kHeader + out);

    const SResult list = Run({"--journals", "--journal-dir", RunsDir()});
    EXPECT_TRUE(list.out.endsWith("\tfinished\n")) << list.out.toStdString();
}

TEST_F(JournalProgramTest, NoJournalWritesNoneAndABadJournalExitsWith65)
{
    const SResult run = Run({"--headless", "--port", Port(), "--speed", "300", "--samples", "1", "--no-journal"});
    EXPECT_EQ(run.nExit, 0) << run.err.toStdString();
    EXPECT_TRUE(Journals().isEmpty());

    QFile notJournal(files.filePath("run.xls"));
    ASSERT_TRUE(notJournal.open(QIODevice::WriteOnly));
    notJournal.write(kHeader + "1\t300\t7\r\n");
    notJournal.close();
    for (const QString& input : {notJournal.fileName(), files.filePath("missing.vrun")}) {
        const SResult bad = Run({"--export-journal", input, "--out", files.filePath("out.xls")});
        EXPECT_EQ(bad.nExit, 65);
        EXPECT_TRUE(bad.err.contains(input.toUtf8())) << bad.err.toStdString();
        EXPECT_FALSE(QFile::exists(files.filePath("out.xls")));
    }
}

TEST_F(JournalProgramTest, AFullDiskNeitherStopsTheRunNorLosesWhatFitted)
{
    const QString runs = files.filePath("runs");
    QProcess process;
    Prepare(process, {"--headless", "--port", Port(), "--speed", "300", "--samples", "8", "--journal-dir", runs});
    // Room for the header and a few rows: the limit falls mid-run.
    process.setChildProcessModifier([] {
        rlimit rl{500, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &rl);
    });
    process.start();
    ASSERT_TRUE(process.waitForFinished(60000));
    const QByteArray out = process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << err.toStdString();
    EXPECT_EQ(ParseRows(out).size(), 8) << out.toStdString();
    // The motor was stopped at the end as usual.
    const std::vector<Frame> frames = FrameBytes(*sim);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back(), kSpeedZero);
    EXPECT_EQ(err.count("could not be written"), 1) << err.toStdString();

    const QStringList journals = QDir(runs).entryList({"*.vrun"});
    ASSERT_EQ(journals.size(), 1);
    const CRunJournal journal = CRunJournal::Load(QDir(runs).filePath(journals.front()));
    EXPECT_EQ(journal.SkippedLines(), 0);
    ASSERT_GT(journal.SampleCount(), 0);
    ASSERT_LT(journal.SampleCount(), 8);
    const QList<SRow> printed = ParseRows(out);
    for (int i = 0; i < journal.SampleCount(); ++i) {
        EXPECT_EQ(journal.Samples()[i].nNumber, i + 1);
        EXPECT_EQ(journal.Samples()[i].nSpeed, printed[i].nSpeed);
    }
}

}  // namespace

#endif
