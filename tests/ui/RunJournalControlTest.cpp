#include "run/JournalStore.h"
#include "run/RunJournal.h"
#include "run/SystemClock.h"
#include "support/SimulatedStirrer.h"
#include "ui/RunControl.h"
#include "UiTestSupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <atomic>

namespace {

// The machine's clocks, moved ahead by hand where a test needs silence.
class CShiftedClock : public IRunClock
{
public:
    qint64 MonotonicNs() const override { return m_system.MonotonicNs() + m_nShiftNs; }
    SWallTime WallNow() const override
    {
        SWallTime t = m_system.WallNow();
        t.nMsSinceEpoch += m_nShiftNs / 1'000'000;
        return t;
    }
    std::atomic<qint64> m_nShiftNs{0};

private:
    CSystemClock m_system;
};

class RunJournalControlTest : public SimulatedStirrerTest
{
protected:
    SimSettings Settings() const override { return ExactSettings(); }
    bool OpenPortInSetUp() const override { return false; }

    void Enable(CRunControl& run)
    {
        CRunControl::SJournalOptions options;
        options.bEnabled = true;
        options.strDir = dir.path();
        options.strOperator = "Ana";
        options.strNote = "batch 7";
        run.SetJournalOptions(options);
    }

    QTemporaryDir dir;
};

TEST_F(RunJournalControlTest, EventsGoToTheJournalAndOutAsSignalsInOrder)
{
    CRunControl run;
    Enable(run);
    QSignalSpy events(&run, &CRunControl::eventRecorded);
    ASSERT_TRUE(run.Connect());
    EXPECT_TRUE(run.Mark("before the run").isEmpty());
    int speed = 400;
    ASSERT_EQ(run.Start(speed), CRunControl::EStart::Started);
    const QString path = run.Journal().Path();
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(CJournalStore::IsHeld(path));
    ASSERT_TRUE(WaitFor([&] { return run.Record().GetCount() >= 2; }));
    EXPECT_EQ(run.NextMarkText(), "Mark 1");
    EXPECT_EQ(run.Mark(""), "Mark 1");
    EXPECT_EQ(run.Mark("  stirred in  "), "stirred in");
    EXPECT_EQ(run.NextMarkText(), "Mark 3");
    const int marked = run.Record().GetCount();
    ASSERT_TRUE(run.Stop());
    run.Shutdown();
    EXPECT_FALSE(CJournalStore::IsHeld(path));

    const CRunJournal journal = CRunJournal::Load(path);
    EXPECT_EQ(journal.Header("operator"), "Ana");
    EXPECT_EQ(journal.Header("note"), "batch 7");
    EXPECT_EQ(journal.Header("setpoint_rpm"), "400");
    EXPECT_TRUE(journal.IsFinished());
    EXPECT_TRUE(journal.EndText().endsWith(" stopped"));
    QStringList texts;
    for (const SJournalEvent& e : journal.Events()) texts << e.strText;
    EXPECT_EQ(texts, (QStringList{"Start", "Mark 1", "stirred in", "Stop"}));
    EXPECT_EQ(journal.Events()[1].nAfterSamples, marked);
    // Every sample of the record is in the journal, with the set-point.
    ASSERT_EQ(journal.SampleCount(), run.Record().GetCount());
    for (int i = 0; i < journal.SampleCount(); ++i) {
        EXPECT_EQ(journal.Samples()[i].nNumber, i + 1);
        EXPECT_EQ(journal.Samples()[i].nSpeed, int(run.Record().SpeedSamples()[i]));
        EXPECT_EQ(journal.Samples()[i].nSetPoint, 400);
    }
    ASSERT_EQ(events.size(), 4);
    EXPECT_EQ(events[1][0].toInt(), marked);
    EXPECT_EQ(events[1][1].value<CRunControl::EEvent>(), CRunControl::EEvent::Mark);
}

TEST_F(RunJournalControlTest, SilenceOverThreeSecondsAndTheLineBackAreRecorded)
{
    CShiftedClock clock;
    CRunControl run;
    run.SetClock(&clock);
    Enable(run);
    ASSERT_TRUE(run.Connect());
    int speed = 300;
    ASSERT_EQ(run.Start(speed), CRunControl::EStart::Started);
    ASSERT_TRUE(WaitFor([&] { return run.Record().GetCount() >= 1; }));
    QSignalSpy events(&run, &CRunControl::eventRecorded);
    // Four seconds pass at once: the next check finds the line silent.
    clock.m_nShiftNs += 4'000'000'000;
    ASSERT_TRUE(WaitFor([&] { return events.size() >= 1; }, 5000));
    EXPECT_EQ(events[0][2].toString(), "no valid reply for 3 s");
    EXPECT_GE(run.SilenceMs(), 4000);
    ASSERT_TRUE(WaitFor([&] { return events.size() >= 2; }, 5000));
    EXPECT_EQ(events[1][2].toString(), "line back");
    EXPECT_LT(run.SilenceMs(), 3000);
    run.Stop();
    run.Shutdown();
    const CRunJournal journal = CRunJournal::Load(run.Journal().Path());
    QStringList texts;
    for (const SJournalEvent& e : journal.Events()) texts << e.strText;
    EXPECT_EQ(texts, (QStringList{"Start", "no valid reply for 3 s", "line back", "Stop"}));
}

TEST_F(RunJournalControlTest, AJournalThatCannotBeOpenedWarnsOnceAndTheRunGoesOn)
{
    CRunControl run;
    CRunControl::SJournalOptions options;
    options.bEnabled = true;
    options.strDir = "/proc/no-such-place";
    run.SetJournalOptions(options);
    QSignalSpy warnings(&run, &CRunControl::journalWarning);
    ASSERT_TRUE(run.Connect());
    int speed = 300;
    ASSERT_EQ(run.Start(speed), CRunControl::EStart::Started);
    ASSERT_TRUE(WaitFor([&] { return run.Record().GetCount() >= 2; }));
    EXPECT_EQ(warnings.size(), 1);
    EXPECT_TRUE(run.Stop());
}

TEST_F(RunJournalControlTest, ClosingDuringARunEndsTheJournalAsWindowClosed)
{
    CRunControl run;
    Enable(run);
    ASSERT_TRUE(run.Connect());
    int speed = 300;
    ASSERT_EQ(run.Start(speed), CRunControl::EStart::Started);
    ASSERT_TRUE(WaitFor([&] { return run.Record().GetCount() >= 1; }));
    const QString path = run.Journal().Path();
    run.Shutdown();
    const CRunJournal journal = CRunJournal::Load(path);
    EXPECT_TRUE(journal.EndText().endsWith(" window closed")) << journal.EndText().toStdString();
    EXPECT_EQ(journal.SampleCount(), run.Record().GetCount());
}

}  // namespace
