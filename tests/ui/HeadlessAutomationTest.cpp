#include "ui/HeadlessRun.h"

#include "HeadlessTestSupport.h"
#include "run/RunJournal.h"
#include "support/SimulatedStirrer.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace headless_test;

namespace {

std::vector<int> SpeedCommands(const std::vector<Frame>& frames)
{
    std::vector<int> rpm;
    for (const Frame& f : frames)
        if (f[1] == 0xB1) rpm.push_back(f[2] << 8 | f[3]);
    return rpm;
}

// Headless runs with a program, limits and end-point rules on the
// in-process simulator.
class HeadlessAutomationTest : public SimulatedStirrerTest
{
protected:
    SimSettings Settings() const override
    {
        SimSettings s = ExactSettings();
        s.replyDelayMs = 150;  // a frame inside an exchange would show
        return s;
    }
    bool OpenPortInSetUp() const override { return false; }

    CHeadlessRun::SSettings RunSettings() const
    {
        CHeadlessRun::SSettings settings;
        settings.strPort = QString::fromStdString(sim->SlavePath());
        return settings;
    }

    QString WriteProgram(const QByteArray& text)
    {
        const QString path = files.filePath("run.program");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }

    int Run(const CHeadlessRun::SSettings& settings)
    {
        CHeadlessRun run(settings, &out, &err);
        const int status = run.Exec();
        journalPath = run.Control().Journal().Path();
        return status;
    }

    QString Err() const { return QString::fromLocal8Bit(err.m_data); }

    CCaptureDevice out;
    CCaptureDevice err;
    QTemporaryDir files;
    QString journalPath;
};

TEST_F(HeadlessAutomationTest, ProgramSetPointsGoOutInOrderBetweenPollsAndEndWithTheStop)
{
    CHeadlessRun::SSettings settings = RunSettings();
    settings.automation.strProgram = WriteProgram("# a short recipe\nhold 200 2\nramp 400 4\nhold 400 2\n");
    ASSERT_EQ(Run(settings), CHeadlessRun::kExitDone) << Err().toStdString();

    const std::vector<Frame> bytes = FrameBytes(*sim);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.front(), kHandshake);
    EXPECT_EQ(SpeedCommands(bytes), (std::vector<int>{200, 300, 400, 0}));
    EXPECT_EQ(bytes.back(), kSpeedZero);
    EXPECT_EQ(sim->SetPoint(), 0);
    // Eight seconds of program: one sample a second, give or take the ends.
    const int rows = static_cast<int>(ParseRows(out.m_data).size());
    EXPECT_GE(rows, 6) << out.m_data.toStdString();
    EXPECT_LE(rows, 10);

    const std::vector<SimFrame> frames = sim->Frames();
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_GE(frames[i].firstByte - frames[i - 1].lastByte, std::chrono::milliseconds(140)) << "frame " << i;
}

TEST_F(HeadlessAutomationTest, SamplesStillEndAProgramEarly)
{
    CHeadlessRun::SSettings settings = RunSettings();
    settings.automation.strProgram = WriteProgram("hold 300 1:00\n");
    settings.nSamples = 2;
    ASSERT_EQ(Run(settings), CHeadlessRun::kExitDone) << Err().toStdString();
    EXPECT_EQ(ParseRows(out.m_data).size(), 2);
    EXPECT_EQ(SpeedCommands(FrameBytes(*sim)), (std::vector<int>{300, 0}));
}

// 25 Ncm per 1000 rpm: 800 rpm gives 20 Ncm, then the medium turns thick.
TEST_F(HeadlessAutomationTest, TorqueLimitStopsWithinTwoSamplesAndExits6)
{
    CHeadlessRun::SSettings settings = RunSettings();
    settings.nSpeed = 800;
    settings.nSamples = 60;
    settings.automation.dMaxTorqueNcm = 50;
    out.m_onWrite = [this] {
        if (ParseRows(out.m_data).size() == 2) sim->SetViscosity(100);
    };
    ASSERT_EQ(Run(settings), CHeadlessRun::kExitTorqueLimit) << Err().toStdString();

    const QList<SRow> rows = ParseRows(out.m_data);
    int crossing = -1;
    for (int i = 0; i < rows.size() && crossing < 0; ++i)
        if (rows[i].nTorque >= 50) crossing = i + 1;
    ASSERT_GT(crossing, 2) << out.m_data.toStdString();
    EXPECT_LE(rows.size(), crossing + 2);
    EXPECT_TRUE(Err().contains(QStringLiteral("torque limit reached: 80 Ncm at sample %1").arg(crossing)))
        << Err().toStdString();
    const std::vector<Frame> bytes = FrameBytes(*sim);
    EXPECT_EQ(bytes.back(), kSpeedZero);
    EXPECT_EQ(sim->SetPoint(), 0);
    // The stop went out before the second poll after the crossing sample.
    EXPECT_LE(Count(bytes, kStatus), crossing + 2);
}

TEST_F(HeadlessAutomationTest, SilentLineEndsWithStatus7AfterTheStopAttempts)
{
    CHeadlessRun::SSettings settings = RunSettings();
    settings.nSpeed = 300;
    settings.nSamples = 600;
    settings.automation.dLinkTimeoutS = 3;
    out.m_onWrite = [this] {
        if (ParseRows(out.m_data).size() == 2) sim->Disconnect();
    };
    EXPECT_EQ(Run(settings), CHeadlessRun::kExitLinkLost) << Err().toStdString();
    EXPECT_EQ(ParseRows(out.m_data).size(), 2);
    EXPECT_TRUE(Err().startsWith("no valid reply from the stirrer for 3 s\n")) << Err().toStdString();
    // The line is gone: the stop cannot have been taken, and the run says so.
    EXPECT_TRUE(Err().contains("did not acknowledge the stop command after 4 attempts")) << Err().toStdString();
}

class HeadlessThickeningTest : public HeadlessAutomationTest
{
protected:
    SimSettings Settings() const override
    {
        SimSettings s = ExactSettings();
        // 5 to 40 Ncm per 1000 rpm with a 2 s time constant: flat after ~10 s.
        s.thickening.on = true;
        s.thickening.fromNcm = 5;
        s.thickening.toNcm = 40;
        s.thickening.tauS = 2;
        return s;
    }
};

TEST_F(HeadlessThickeningTest, TaredRunEndsItselfOnThePlateau)
{
    CHeadlessRun::SSettings settings = RunSettings();
    settings.nSpeed = 1000;
    settings.nSamples = 120;
    settings.bJournal = true;
    settings.strJournalDir = files.filePath("runs");
    settings.automation.bTare = true;
    settings.automation.bPlateau = true;
    settings.automation.dPlateauRate = 5;
    settings.automation.dPlateauS = 3;
    settings.automation.dTrendWindowS = 3;
    settings.automation.dMinTimeS = 6;
    ASSERT_EQ(Run(settings), CHeadlessRun::kExitDone) << Err().toStdString();

    static const QRegularExpression message(
        QStringLiteral("\nTorque plateau reached after 0:00:(\\d\\d) \\(\u0394 (\\d+) Ncm\\)\n"));
    const QRegularExpressionMatch match = message.match(Err());
    ASSERT_TRUE(match.hasMatch()) << Err().toStdString();
    const QList<SRow> rows = ParseRows(out.m_data);
    EXPECT_LT(rows.size(), 40) << "the run did not end itself";
    EXPECT_GE(match.captured(1).toInt(), 6);  // not before the minimum time
    // Tared at the fifth sample: Δ is what the torque gained since.
    ASSERT_GE(rows.size(), 5);
    double tare = 0;
    for (int i = 0; i < 5; ++i) tare += rows[i].nTorque / 5.0;
    EXPECT_NEAR(match.captured(2).toInt(), rows.last().nTorque - tare, 1.0);
    EXPECT_GE(rows.last().nTorque, 39);
    const std::vector<Frame> bytes = FrameBytes(*sim);
    EXPECT_EQ(bytes.back(), kSpeedZero);

    const CRunJournal journal = CRunJournal::Load(journalPath);
    QStringList texts;
    for (const SJournalEvent& e : journal.Events()) texts << e.strText;
    EXPECT_TRUE(texts.contains(QStringLiteral("tare %1 Ncm").arg(QString::number(tare, 'f', 1)))) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.filter("Torque plateau reached after").size() == 1) << texts.join('|').toStdString();
    EXPECT_TRUE(journal.EndText().endsWith("end point")) << journal.EndText().toStdString();
}

TEST_F(HeadlessAutomationTest, ProgramsAndSpeedsBeyondTheLimitsSendNothing)
{
    struct SCase {
        QByteArray program;   // empty: a plain run at speed
        int speed;
        int maxSpeed;
        int status;
        const char* message;
    };
    const SCase cases[] = {
        {"hold 200 10\nhold 2500 10\n", 0, 0, CHeadlessRun::kExitBadProgram, ": line 2: speed 2500 is above 2200\n"},
        {"hold 200 10\nramp 1200 10\n", 0, 1000, CHeadlessRun::kExitBadProgram, ": line 2: "},
        {"# nothing\n", 0, 0, CHeadlessRun::kExitBadProgram, ": "},
        {"", 1200, 1000, CHeadlessRun::kExitBadSpeed,
         "The speed 1200 rpm is above the laboratory's maximum speed of 1000 rpm (Limits).\n"},
    };
    for (const SCase& c : cases) {
        err.m_data.clear();
        CHeadlessRun::SSettings settings = RunSettings();
        if (!c.program.isEmpty()) settings.automation.strProgram = WriteProgram(c.program);
        settings.nSpeed = c.speed;
        settings.nSamples = 3;
        settings.automation.nMaxSpeed = c.maxSpeed;
        EXPECT_EQ(Run(settings), c.status) << c.program.toStdString();
        EXPECT_TRUE(Err().contains(c.message)) << Err().toStdString();
    }
    // A file that is not there is refused the same way.
    CHeadlessRun::SSettings settings = RunSettings();
    settings.automation.strProgram = files.filePath("missing.program");
    EXPECT_EQ(Run(settings), CHeadlessRun::kExitBadProgram);
    EXPECT_TRUE(sim->Frames().empty());
    EXPECT_TRUE(out.m_data.isEmpty());
}

}  // namespace
