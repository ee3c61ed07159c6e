#include "ui/RunAutomation.h"

#include "HeadlessTestSupport.h"
#include "run/FakeClock.h"
#include "support/SimulatedStirrer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace headless_test;

namespace {

bool ProcessUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The rpm of every set-speed frame on the wire, in order.
std::vector<int> SpeedCommands(const CStirrerSimulator& sim)
{
    std::vector<int> rpm;
    for (const SimFrame& f : sim.Frames())
        if (f.bytes[1] == 0xB1) rpm.push_back(f.bytes[2] << 8 | f.bytes[3]);
    return rpm;
}

struct SEvent {
    CRunControl::EEvent kind;
    QString text;
};

// A run control on the simulator whose clock moves by a set step at every
// sample (before the automation sees it), so minutes of a program pass in
// seconds of test.
class RunAutomationTest : public SimulatedStirrerTest
{
protected:
    SimSettings Settings() const override
    {
        SimSettings s = ExactSettings();
        // A reply this late shows any frame written into a pending exchange.
        s.replyDelayMs = 150;
        return s;
    }
    bool OpenPortInSetUp() const override { return false; }

    void SetUp() override
    {
        SimulatedStirrerTest::SetUp();
        control = std::make_unique<CRunControl>();
        control->SetClock(&clock);
        QObject::connect(control.get(), &CRunControl::sampleArrived, control.get(),
                         [this](int, int) { clock.Advance(stepMs); });
        QObject::connect(control.get(), &CRunControl::eventRecorded, control.get(),
                         [this](int, CRunControl::EEvent kind, const QString& text) { events.push_back({kind, text}); });
        automation = std::make_unique<CRunAutomation>(*control);
        ASSERT_TRUE(control->Connect());
    }

    void TearDown() override
    {
        automation.reset();
        control.reset();
        SimulatedStirrerTest::TearDown();
    }

    CRunControl::EStart Start(int plainRpm)
    {
        int speed = automation->StartRpm(plainRpm);
        return control->Start(speed);
    }

    QStringList Texts(CRunControl::EEvent kind) const
    {
        QStringList texts;
        for (const SEvent& e : events)
            if (e.kind == kind) texts << e.text;
        return texts;
    }

    CFakeClock clock;
    qint64 stepMs = 1000;
    std::unique_ptr<CRunControl> control;
    std::unique_ptr<CRunAutomation> automation;
    std::vector<SEvent> events;
};

TEST_F(RunAutomationTest, ProgramRunsInOrderBetweenPollsAndStopsAtItsEnd)
{
    automation->SetProgram(CSpeedProgram::Parse("hold 200 4\nramp 400 4\nhold 400 2\n"));
    ASSERT_TRUE(automation->HasProgram());
    EXPECT_EQ(automation->StartRpm(900), 200);
    stepMs = 2000;
    QSignalSpy ended(automation.get(), &CRunAutomation::runEnded);
    QSignalSpy changed(automation.get(), &CRunAutomation::setPointChanged);
    ASSERT_EQ(Start(900), CRunControl::EStart::Started);
    ASSERT_TRUE(ProcessUntil([&] { return !ended.isEmpty(); }, 30000));

    EXPECT_EQ(ended.first().at(0).value<CRunAutomation::EEnd>(), CRunAutomation::EEnd::ProgramFinished);
    EXPECT_FALSE(control->IsRunning());
    EXPECT_FALSE(control->IsMotorRunning());
    EXPECT_EQ(SpeedCommands(*sim), (std::vector<int>{200, 300, 400, 0}));
    EXPECT_EQ(sim->SetPoint(), 0);
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[0].at(0).toInt(), 300);
    EXPECT_EQ(changed[1].at(0).toInt(), 400);
    EXPECT_EQ(Texts(CRunControl::EEvent::SetPoint), (QStringList{"set-point 300 rpm", "set-point 400 rpm"}));

    // Every request waits for the reply of the one before: nothing lands
    // inside a status exchange.
    const std::vector<SimFrame> frames = sim->Frames();
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_GE(frames[i].firstByte - frames[i - 1].lastByte, std::chrono::milliseconds(140)) << "frame " << i;
}

TEST_F(RunAutomationTest, RefusedSetPointIsReportedAndRetried)
{
    automation->SetProgram(CSpeedProgram::Parse("hold 200 2\nhold 700 30\n"));
    stepMs = 2000;
    QSignalSpy refused(automation.get(), &CRunAutomation::setPointRefused);
    QSignalSpy changed(automation.get(), &CRunAutomation::setPointChanged);
    ASSERT_EQ(Start(0), CRunControl::EStart::Started);
    SimFaults faults;
    faults.refuseShare = 1;
    sim->SetFaults(faults);
    ASSERT_TRUE(ProcessUntil([&] { return !refused.isEmpty(); }, 15000));
    sim->SetFaults(SimFaults());
    ASSERT_TRUE(ProcessUntil([&] { return !changed.isEmpty(); }, 15000));
    control->Stop();

    EXPECT_EQ(refused.first().at(0).toInt(), 700);
    EXPECT_EQ(changed.first().at(0).toInt(), 700);
    EXPECT_GE(automation->Runner()->RefusedCount(), 1);
    const std::vector<int> commands = SpeedCommands(*sim);
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands.front(), 200);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), 700), automation->Runner()->RefusedCount() + 1);
    EXPECT_TRUE(Texts(CRunControl::EEvent::SetPoint).contains("set-point 700 rpm refused"));
    EXPECT_TRUE(Texts(CRunControl::EEvent::SetPoint).contains("set-point 700 rpm"));
}

// 25 Ncm per 1000 rpm: 800 rpm gives 20 Ncm from the first sample.
TEST_F(RunAutomationTest, TorqueLimitAlarmOnlyKeepsRunningUntilAcknowledged)
{
    CSafetyLimits limits;
    limits.torqueLimitNcm = 15;
    limits.torqueAction = CSafetyLimits::TorqueAction::AlarmOnly;
    limits.linkLostSeconds = 0;
    automation->SetLimits(limits);
    QSignalSpy alarms(automation.get(), &CRunAutomation::alarmRaised);
    QSignalSpy cleared(automation.get(), &CRunAutomation::alarmCleared);
    ASSERT_EQ(Start(800), CRunControl::EStart::Started);
    ASSERT_TRUE(ProcessUntil([&] { return control->Record().GetCount() >= 3; }, 15000));

    ASSERT_EQ(alarms.size(), 1);  // once per crossing
    EXPECT_EQ(alarms.first().at(0).toString(), "torque limit reached: 20 Ncm at sample 1");
    EXPECT_EQ(alarms.first().at(1).toDateTime().toMSecsSinceEpoch(), clock.m_nWallMs - 1000 * control->Record().GetCount() + 1000);
    EXPECT_TRUE(control->IsRunning());
    EXPECT_TRUE(automation->IsAlarmStanding());
    EXPECT_EQ(Texts(CRunControl::EEvent::Alarm), QStringList{"torque limit reached: 20 Ncm at sample 1"});
    automation->AcknowledgeAlarm();
    EXPECT_FALSE(automation->IsAlarmStanding());
    EXPECT_EQ(cleared.size(), 1);
    control->Stop();
}

TEST_F(RunAutomationTest, TareThenThresholdChangesTheSpeedAndDropsTheProgram)
{
    automation->SetProgram(CSpeedProgram::Parse("hold 400 10m\nhold 1000 10m\n"));
    CEndPointRules rules;
    rules.thresholdOn = true;
    rules.thresholdNcm = 4;  // 400 rpm gives 10 Ncm: only Δ counts
    rules.thresholdAction = CEndPointRules::Action::ChangeSpeed;
    rules.changeSpeedRpm = 600;
    automation->SetEndPointRules(rules);
    automation->SetTareAtStart(true);
    QSignalSpy tared(automation.get(), &CRunAutomation::tared);
    QSignalSpy reached(automation.get(), &CRunAutomation::endPointReached);
    QSignalSpy changed(automation.get(), &CRunAutomation::setPointChanged);
    QSignalSpy trend(automation.get(), &CRunAutomation::trendUpdated);
    ASSERT_EQ(Start(0), CRunControl::EStart::Started);
    ASSERT_TRUE(ProcessUntil([&] { return tared.size() == 1; }, 20000));
    EXPECT_DOUBLE_EQ(tared.first().at(0).toDouble(), 10.0);
    // Raw torque before the tare, Δ from the tare's own sample on; the
    // default window of 60 s is not spanned yet.
    ASSERT_EQ(trend.size(), CTorqueEndPoint::kTareSamples);
    EXPECT_DOUBLE_EQ(trend[0].at(0).toDouble(), 10.0);
    EXPECT_DOUBLE_EQ(trend[4].at(0).toDouble(), 0.0);
    EXPECT_FALSE(trend[4].at(2).toBool());
    EXPECT_EQ(control->Record().GetCount(), CTorqueEndPoint::kTareSamples);
    EXPECT_TRUE(reached.isEmpty());

    // 500 rpm: Δ 2.5 Ncm, below; 800: Δ 10, at or above.
    ASSERT_EQ(control->ChangeSpeed(500), CRunControl::EChange::Taken);
    ASSERT_TRUE(ProcessUntil([&] { return control->Record().GetCount() >= 8; }, 15000));
    EXPECT_TRUE(reached.isEmpty());
    ASSERT_EQ(control->ChangeSpeed(800), CRunControl::EChange::Taken);
    ASSERT_TRUE(ProcessUntil([&] { return !changed.isEmpty(); }, 15000));
    EXPECT_EQ(changed.last().at(0).toInt(), 600);
    ASSERT_EQ(reached.size(), 1);
    const EndPointEvent event = reached.first().at(0).value<EndPointEvent>();
    EXPECT_EQ(event.rule, EndPointEvent::Rule::Threshold);
    EXPECT_DOUBLE_EQ(event.deltaNcm, 10.0);
    EXPECT_EQ(Texts(CRunControl::EEvent::Tare), QStringList{"tare 10.0 Ncm"});
    EXPECT_EQ(Texts(CRunControl::EEvent::EndPoint).size(), 1);

    // Past the program's second step (10 min later): the program is gone.
    stepMs = 120000;
    const int count = control->Record().GetCount();
    ASSERT_TRUE(ProcessUntil([&] { return control->Record().GetCount() >= count + 7; }, 20000));
    EXPECT_TRUE(control->IsRunning());
    EXPECT_EQ(control->SetPoint(), 600);
    EXPECT_EQ(SpeedCommands(*sim).back(), 600);
    control->Stop();
}

TEST_F(RunAutomationTest, StartChecksTheMaximumSpeedOfPlainRunsAndPrograms)
{
    CSafetyLimits limits;
    limits.maxRpm = 1000;
    automation->SetLimits(limits);
    EXPECT_TRUE(automation->CheckStart(1000).isEmpty());
    EXPECT_EQ(automation->CheckStart(1001),
              "The speed 1001 rpm is above the laboratory's maximum speed of 1000 rpm (Limits).");
    automation->SetProgram(CSpeedProgram::Parse("hold 300 10\nramp 1200 10\nhold 500 5\n"));
    EXPECT_EQ(automation->CheckStart(200),
              "The speed 1200 rpm is above the laboratory's maximum speed of 1000 rpm (Limits).");
    automation->SetProgram(CSpeedProgram());
    EXPECT_FALSE(automation->HasProgram());
    EXPECT_EQ(automation->StartRpm(700), 700);
}

TEST_F(RunAutomationTest, StopAfterEndsAPlainRunAsStopDoes)
{
    automation->SetStopAfter(5);
    stepMs = 2000;
    QSignalSpy ended(automation.get(), &CRunAutomation::runEnded);
    ASSERT_EQ(Start(300), CRunControl::EStart::Started);
    ASSERT_TRUE(ProcessUntil([&] { return !ended.isEmpty(); }, 15000));
    EXPECT_EQ(ended.first().at(0).value<CRunAutomation::EEnd>(), CRunAutomation::EEnd::TimerElapsed);
    EXPECT_FALSE(control->IsRunning());
    EXPECT_EQ(SpeedCommands(*sim), (std::vector<int>{300, 0}));
    // Stopped at the third sample (6 s), not before.
    EXPECT_EQ(control->Record().GetCount(), 3);
}

// The line goes silent: the alarm, a stop the line does not take, and
// further attempts until it answers.
TEST_F(RunAutomationTest, LinkLostKeepsTryingToStopUntilTheLineAnswers)
{
    CSafetyLimits limits;
    limits.linkLostSeconds = 3;
    automation->SetLimits(limits);
    QSignalSpy ended(automation.get(), &CRunAutomation::runEnded);
    QSignalSpy acknowledged(automation.get(), &CRunAutomation::stopAcknowledged);
    ASSERT_EQ(Start(300), CRunControl::EStart::Started);
    ASSERT_TRUE(ProcessUntil([&] { return control->Record().GetCount() >= 1; }, 15000));
    SimFaults silent;
    silent.dropShare = 1;
    sim->SetFaults(silent);
    // Once a request goes unanswered no sample is on its way; then time passes.
    const size_t frames = sim->Frames().size();
    ASSERT_TRUE(ProcessUntil([&] { return sim->Frames().size() > frames; }, 15000));
    QCoreApplication::processEvents();
    clock.Advance(10000);
    ASSERT_TRUE(ProcessUntil([&] { return !ended.isEmpty(); }, 20000));
    EXPECT_EQ(ended.first().at(0).value<CRunAutomation::EEnd>(), CRunAutomation::EEnd::LinkLost);
    EXPECT_EQ(ended.first().at(1).toString(), "no valid reply from the stirrer for 3 s");
    EXPECT_TRUE(automation->IsAlarmStanding());
    EXPECT_TRUE(control->IsMotorRunning());
    EXPECT_TRUE(acknowledged.isEmpty());

    sim->SetFaults(SimFaults());
    ASSERT_TRUE(ProcessUntil([&] { return !acknowledged.isEmpty(); }, 20000));
    EXPECT_FALSE(control->IsMotorRunning());
    EXPECT_EQ(sim->SetPoint(), 0);
    EXPECT_EQ(SpeedCommands(*sim).back(), 0);
}

}  // namespace
