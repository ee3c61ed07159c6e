// The real vantoc program in headless mode, as a script runs it. Built only
// when the program target exists (VANTOC_PROGRAM is its path).
#ifdef VANTOC_PROGRAM

#include "HeadlessTestSupport.h"
#include "support/SimulatedStirrer.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

using namespace headless_test;

namespace {

class HeadlessProgramTest : public SimulatedStirrerTest
{
protected:
    bool OpenPortInSetUp() const override { return false; }

    // No display at all: a headless run must not need one.
    void Prepare(QProcess& process, const QStringList& args) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("VANTOC_LOG_DIR", logDir.path());
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

    QString Port() const { return QString::fromStdString(sim->SlavePath()); }

    QTemporaryDir files;
};

TEST_F(HeadlessProgramTest, SigintMidRunStopsTheMotorSavesAndExits130)
{
    const QString save = files.filePath("run.xls");
    QProcess process;
    Prepare(process, {"--headless", "--port", Port(), "--speed", "300", "--samples", "1000", "--save", save});
    process.start();
    ASSERT_TRUE(process.waitForStarted(10000));
    QByteArray out;
    while (ParseRows(out).size() < 2 && process.waitForReadyRead(15000)) out += process.readAllStandardOutput();
    ASSERT_EQ(ParseRows(out).size(), 2) << out.toStdString() << process.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(30000));
    out += process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();

    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 130) << err.toStdString();
    EXPECT_GE(ParseRows(out).size(), 2);
    EXPECT_EQ(ReadFile(save), kHeader + out);
    const std::vector<Frame> frames = FrameBytes(*sim);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), kHandshake);
    EXPECT_EQ(frames.back(), kSpeedZero);
    EXPECT_EQ(sim->SetPoint(), 0);
    EXPECT_TRUE(err.contains("Interrupted")) << err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(LogPath()));
}

TEST_F(HeadlessProgramTest, HelpVersionAndEarlyExitStatuses)
{
    const SResult help = Run({"--help"});
    EXPECT_EQ(help.nExit, 0);
    EXPECT_TRUE(help.out.contains("--headless")) << help.out.toStdString();

    const SResult version = Run({"--version"});
    EXPECT_EQ(version.nExit, 0);
    EXPECT_TRUE(version.out.startsWith("vantoc ")) << version.out.toStdString();

    const SResult usage = Run({"--headless", "--port", Port(), "--speed", "200"});
    EXPECT_EQ(usage.nExit, 64);
    EXPECT_TRUE(usage.err.contains("--duration")) << usage.err.toStdString();

    const SResult badSpeed = Run({"--headless", "--port", Port(), "--speed", "2201", "--samples", "2"});
    EXPECT_EQ(badSpeed.nExit, 2);
    EXPECT_EQ(badSpeed.err, "The speed value must be between 50 to 2200, please reset\n");

    const SResult noDevice = Run({"--headless", "--port", files.filePath("none"), "--speed", "200", "--samples", "2"});
    EXPECT_EQ(noDevice.nExit, 2);
    // String 102, then why on a line of its own.
    EXPECT_EQ(noDevice.err, "Failed to connect the instrument\n" + QFile::encodeName(files.filePath("none"))
                                + ": no such device. Is the stirrer or its USB adapter plugged in? "
                                  "\"vantoc --list-ports\" lists the serial devices present.\n");

    EXPECT_TRUE(sim->Frames().empty());
}

}  // namespace

#endif
