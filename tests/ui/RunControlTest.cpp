#include "support/SimulatedStirrer.h"
#include "ui/RunControl.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

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

int StatusQueries(const CStirrerSimulator& sim)
{
    int n = 0;
    for (const SimFrame& f : sim.Frames())
        n += f.bytes[1] == 0xA2;
    return n;
}

class RunControlRestart : public SimulatedStirrerTest
{
protected:
    SimSettings Settings() const override
    {
        SimSettings s;
        s.timeConstantS = 0;  // measured speed is the set-point at once
        s.noiseRpm = 0;
        s.replyDelayMs = 400;  // keeps a status query on the line while Stop runs
        return s;
    }
    bool OpenPortInSetUp() const override { return false; }
};

// The previous run's worker may hand over one last sample after the stop
// request; it must never be recorded as the first sample of the next run.
TEST_F(RunControlRestart, LastSampleOfTheStoppedRunNeverEntersTheNextRun)
{
    CRunControl run;
    ASSERT_TRUE(run.Connect());
    int speed = 300;
    ASSERT_EQ(run.Start(speed), CRunControl::EStart::Started);
    ASSERT_TRUE(ProcessUntil([&] { return run.Record().GetCount() >= 1; }, 15000));

    // Stop while the worker's next status query waits for its reply.
    const int queries = StatusQueries(*sim);
    ASSERT_TRUE(ProcessUntil([&] { return StatusQueries(*sim) > queries; }, 5000));
    ASSERT_TRUE(run.Stop());
    speed = 1500;
    ASSERT_EQ(run.Start(speed), CRunControl::EStart::Started);

    ASSERT_TRUE(ProcessUntil([&] { return run.Record().GetCount() >= 1; }, 15000));
    for (int i = 0; i < run.Record().GetCount(); ++i)
        EXPECT_GT(run.Record().SpeedSamples()[i], 1000u) << "sample " << i << " belongs to the stopped run";
    run.Stop();
}

}  // namespace
