#include "ui/HeadlessRun.h"

#include "HeadlessTestSupport.h"
#include "support/SimulatedStirrer.h"
#include "ui/SignalPipe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

using namespace headless_test;
using namespace std::chrono_literals;

namespace {

class HeadlessRunTest : public SimulatedStirrerTest
{
protected:
    bool OpenPortInSetUp() const override { return false; }

    CHeadlessRun::SSettings RunSettings(int speed, int samples) const
    {
        CHeadlessRun::SSettings settings;
        settings.strPort = QString::fromStdString(sim->SlavePath());
        settings.nSpeed = speed;
        settings.nSamples = samples;
        return settings;
    }

    int Run(const CHeadlessRun::SSettings& settings)
    {
        CHeadlessRun run(settings, &out, &err);
        return run.Exec();
    }

    QString SavePath() const { return files.filePath("run.xls"); }
    QList<SRow> Rows() const { return ParseRows(out.m_data); }
    QString Err() const { return QString::fromLocal8Bit(err.m_data); }

    CCaptureDevice out;
    CCaptureDevice err;
    QTemporaryDir files;
};

TEST_F(HeadlessRunTest, WholeRunOnTheWirePrintedAndSaved)
{
    CHeadlessRun::SSettings settings = RunSettings(200, 3);
    settings.strSavePath = SavePath();
    ASSERT_EQ(Run(settings), CHeadlessRun::kExitDone) << Err().toStdString();

    const std::vector<SimFrame> frames = sim->Frames();
    const std::vector<Frame> bytes = FrameBytes(*sim);
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(bytes[0], kHandshake);
    EXPECT_EQ(bytes[1], (Frame{0xFE, 0xB1, 0x00, 0xC8, 0x00, 0x79}));
    EXPECT_EQ(bytes.back(), kSpeedZero);
    EXPECT_EQ(Count(bytes, kSpeedZero), 1);
    // Three polls for three samples, and at most one more already on the line.
    const int polls = Count(bytes, kStatus);
    EXPECT_GE(polls, 3);
    EXPECT_LE(polls, 4);
    EXPECT_EQ(polls + 3, static_cast<int>(bytes.size()));
    EXPECT_EQ(sim->SetPoint(), 0);

    // About one poll per second: none closer than the paced frame allows,
    // and none of the gaps of an idle second.
    std::vector<double> gaps;
    for (std::size_t i = 3; i + 1 < frames.size(); ++i)
        gaps.push_back(std::chrono::duration<double>(frames[i].firstByte - frames[i - 1].firstByte).count());
    for (double gap : gaps) {
        EXPECT_GE(gap, 0.55);
        EXPECT_LE(gap, 1.7);
    }

    const QList<SRow> rows = Rows();
    ASSERT_EQ(rows.size(), 3) << out.m_data.toStdString();
    for (const SRow& row : rows) {
        EXPECT_GE(row.nSpeed, 0);
        EXPECT_LE(row.nSpeed, 260);
        EXPECT_GE(row.nTorque, 0);
    }
    EXPECT_EQ(ReadFile(SavePath()), kHeader + out.m_data);
    EXPECT_TRUE(Err().contains("Saved 3 samples")) << Err().toStdString();
}

TEST_F(HeadlessRunTest, DurationEndsTheRunAndTopSpeedIsSentAs2199)
{
    CHeadlessRun::SSettings settings = RunSettings(2200, 0);
    settings.nDurationMs = 2500;
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(Run(settings), CHeadlessRun::kExitDone) << Err().toStdString();
    EXPECT_GE(clock.elapsed(), 2500);

    const std::vector<Frame> bytes = FrameBytes(*sim);
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[1], (Frame{0xFE, 0xB1, 0x08, 0x97, 0x00, 0x50}));
    EXPECT_EQ(bytes.back(), kSpeedZero);
    const int rows = static_cast<int>(Rows().size());
    EXPECT_GE(rows, 1) << out.m_data.toStdString();
    EXPECT_LE(rows, 4);
    EXPECT_LE(rows, Count(bytes, kStatus));
    EXPECT_TRUE(err.m_data.isEmpty()) << Err().toStdString();
}

TEST_F(HeadlessRunTest, NoInstrumentGivesString102AndStatus2)
{
    CHeadlessRun::SSettings settings = RunSettings(200, 3);
    settings.strSavePath = SavePath();
    settings.strPort = files.filePath("no-such-tty");
    EXPECT_EQ(Run(settings), 2);
    // String 102, then why on a line of its own.
    EXPECT_EQ(err.m_data, "Failed to connect the instrument\n" + QFile::encodeName(settings.strPort)
                              + ": no such device. Is the stirrer or its USB adapter plugged in? "
                                "\"vantoc --list-ports\" lists the serial devices present.\n");

    // A device that refuses the handshake is no instrument either.
    err.m_data.clear();
    sim->InjectNext(kFaultRefuse);
    settings.strPort = QString::fromStdString(sim->SlavePath());
    EXPECT_EQ(Run(settings), 2);
    EXPECT_EQ(err.m_data, "Failed to connect the instrument\n" + QFile::encodeName(settings.strPort)
                              + ": a wrong reply to the handshake. Is the device on this port the stirrer, "
                                "and set to 9600 baud?\n");
    EXPECT_EQ(FrameBytes(*sim), std::vector<Frame>{kHandshake});

    EXPECT_TRUE(out.m_data.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(SavePath()));
}

TEST_F(HeadlessRunTest, SpeedOutsideTheRangeGivesString109AndSendsNothing)
{
    for (int speed : {49, 2201, 0, -200}) {
        err.m_data.clear();
        EXPECT_EQ(Run(RunSettings(speed, 3)), 2) << speed;
        EXPECT_EQ(err.m_data, "The speed value must be between 50 to 2200, please reset\n") << speed;
    }
    EXPECT_TRUE(sim->Frames().empty());
    EXPECT_TRUE(out.m_data.isEmpty());
}

TEST_F(HeadlessRunTest, RefusedSpeedGivesStatus3AndNoRun)
{
    sim->InjectNext(kFaultNone);
    sim->InjectNext(kFaultRefuse);
    CHeadlessRun::SSettings settings = RunSettings(500, 3);
    settings.strSavePath = SavePath();
    EXPECT_EQ(Run(settings), 3);
    EXPECT_TRUE(Err().contains("did not acknowledge the speed command (500 rpm)")) << Err().toStdString();
    // The refusal may still have been a lost command: speed 0 follows.
    EXPECT_EQ(FrameBytes(*sim), (std::vector<Frame>{kHandshake, {0xFE, 0xB1, 0x01, 0xF4, 0x00, 0xA6}, kSpeedZero}));
    EXPECT_TRUE(out.m_data.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(SavePath()));
}

TEST_F(HeadlessRunTest, StopNeverAcknowledgedSavesThenWarnsWithStatus4)
{
    SimFaults refuseAll;
    refuseAll.refuseShare = 1;
    out.m_onWrite = [&] {
        if (ParseRows(out.m_data).size() == 2) sim->SetFaults(refuseAll);
    };
    CHeadlessRun::SSettings settings = RunSettings(300, 2);
    settings.strSavePath = SavePath();
    EXPECT_EQ(Run(settings), 4);

    const std::vector<Frame> bytes = FrameBytes(*sim);
    EXPECT_EQ(Count(bytes, kSpeedZero), 4);
    EXPECT_EQ(bytes.back(), kSpeedZero);
    EXPECT_EQ(ReadFile(SavePath()), kHeader + out.m_data);
    EXPECT_EQ(Rows().size(), 2);
    const QStringList lines = Err().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << Err().toStdString();
    EXPECT_TRUE(lines[0].startsWith("Saved 2 samples"));
    EXPECT_TRUE(lines[1].contains("did not acknowledge the stop")) << Err().toStdString();
}

TEST_F(HeadlessRunTest, UnwritableSavePathStopsTheMotorAndGivesStatus5)
{
    // A folder that does not exist, and a folder where the file should go.
    ASSERT_TRUE(QDir(files.path()).mkdir("taken.xls"));
    for (const QString& name : {QStringLiteral("missing-folder/run.xls"), QStringLiteral("taken.xls")}) {
        out.m_data.clear();
        err.m_data.clear();
        CHeadlessRun::SSettings settings = RunSettings(300, 1);
        settings.strSavePath = files.filePath(name);
        EXPECT_EQ(Run(settings), 5) << name.toStdString();
        EXPECT_EQ(FrameBytes(*sim).back(), kSpeedZero);
        EXPECT_EQ(sim->SetPoint(), 0);
        EXPECT_EQ(Rows().size(), 1);
        EXPECT_TRUE(Err().contains("could not be saved")) << Err().toStdString();
    }
    EXPECT_EQ(QDir(files.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"taken.xls"});
    EXPECT_TRUE(QDir(files.filePath("taken.xls")).isEmpty());
}

TEST_F(HeadlessRunTest, SigintMidRunStopsTheMotorAndSavesTheSamplesSoFar)
{
    CSignalPipe interrupts({SIGINT});
    ASSERT_TRUE(interrupts.IsValid());
    out.m_onWrite = [&] {
        if (ParseRows(out.m_data).size() == 2) std::raise(SIGINT);
    };
    CHeadlessRun::SSettings settings = RunSettings(400, 1000);
    settings.strSavePath = SavePath();
    CHeadlessRun run(settings, &out, &err);
    QObject::connect(&interrupts, &CSignalPipe::signalled, &run, &CHeadlessRun::Interrupt);
    EXPECT_EQ(run.Exec(), 128 + SIGINT);

    // The sample of a poll already on the line may follow; nothing is lost.
    const int rows = static_cast<int>(Rows().size());
    EXPECT_GE(rows, 2);
    EXPECT_LE(rows, 3);
    EXPECT_EQ(run.SampleCount(), rows);
    EXPECT_EQ(ReadFile(SavePath()), kHeader + out.m_data);
    EXPECT_EQ(FrameBytes(*sim).back(), kSpeedZero);
    EXPECT_EQ(sim->SetPoint(), 0);
    EXPECT_TRUE(Err().startsWith("Interrupted: stopping the motor")) << Err().toStdString();
}

TEST_F(HeadlessRunTest, InterruptDuringTheHandshakeNeverStartsTheMotor)
{
    sim->SetReplyDelay(600);
    CSignalPipe interrupts({SIGTERM});
    ASSERT_TRUE(interrupts.IsValid());
    CHeadlessRun::SSettings settings = RunSettings(400, 3);
    settings.strSavePath = SavePath();
    CHeadlessRun run(settings, &out, &err);
    QObject::connect(&interrupts, &CSignalPipe::signalled, &run, &CHeadlessRun::Interrupt);
    std::thread sender([this] {
        if (sim->WaitForFrames(1, 10s)) kill(getpid(), SIGTERM);
    });
    const int status = run.Exec();
    sender.join();
    EXPECT_EQ(status, 128 + SIGTERM);
    EXPECT_EQ(FrameBytes(*sim), std::vector<Frame>{kHandshake});
    EXPECT_FALSE(QFileInfo::exists(SavePath()));
    EXPECT_TRUE(Err().contains("before the motor was started")) << Err().toStdString();
}

}  // namespace
