// Faults of the line: late replies, garbage, two threads, a pulled device.
#include "support/SimulatedStirrer.h"

#include <atomic>
#include <chrono>
#include <sys/resource.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

class CommPortRobustness : public SimulatedStirrerTest
{
protected:
    void LateReplies(int lateMs)
    {
        SimFaults faults;
        faults.lateMs = lateMs;
        sim->SetFaults(faults);
    }
};

TEST_F(CommPortRobustness, LateReplyWaitingInTheQueueIsNotTakenForTheNextAnswer)
{
    LateReplies(3000);
    sim->InjectNext(kFaultLate | kFaultRefuse);
    EXPECT_FALSE(port->Handshake());
    ASSERT_TRUE(sim->WaitForRepliesSent(1, 5s));
    // The refusal still queued must not answer this command.
    EXPECT_TRUE(port->SetSpeed(200));
    EXPECT_TRUE(Log().contains("Discard:FE A0 01 00 00 A1 \r\nSend:FE B1 00 C8 00 79 \r\n"));
}

TEST_F(CommPortRobustness, LateReplyArrivingWhileTheNextFrameGoesOutIsDiscarded)
{
    // The handshake gives up about 2.1 s after the stirrer read it; the late
    // refusal comes 2.3 s after, while the next frame is still being sent.
    LateReplies(2300);
    sim->InjectNext(kFaultLate | kFaultRefuse);
    EXPECT_FALSE(port->Handshake());
    EXPECT_TRUE(port->SetSpeed(200));
    EXPECT_TRUE(Log().contains("Discard:FE A0 01 00 00 A1 \r\n"));
    EXPECT_TRUE(Log().endsWith("Receive:FE B1 00 00 C8 79 \r\n"));
}

TEST_F(CommPortRobustness, GarbageBetweenRepliesDoesNotSpoilTheExchanges)
{
    SimFaults faults;
    faults.garbageShare = 1.0;
    sim->SetFaults(faults);
    std::unique_ptr<CCommPort::BYTE[]> reply;
    int length = 0;
    EXPECT_TRUE(port->Handshake());
    EXPECT_TRUE(port->QueryStatus(reply, length));
    EXPECT_TRUE(port->SetSpeed(500));
    EXPECT_TRUE(port->QueryStatus(reply, length));
    EXPECT_EQ(Log().count("Discard:"), 3) << Log().toStdString();
}

TEST_F(CommPortRobustness, SpeedCommandsRacingStatusPollsNeverInterleave)
{
    std::atomic<bool> stop{false};
    std::atomic<int> polls{0};
    std::atomic<int> failedPolls{0};
    std::atomic<int> pollsBegun{0};
    std::thread poller([&] {
        while (!stop) {
            ++pollsBegun;
            std::unique_ptr<CCommPort::BYTE[]> reply;
            int length = 0;
            if (!port->QueryStatus(reply, length))
                ++failedPolls;
            ++polls;
        }
    });
    int failedCommands = 0;
    const int commands = 6;
    for (int i = 0; i < commands; ++i) {
        // A mutex need not be fair: make sure the poller is contending for
        // the port before each command, so the two really race.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (pollsBegun <= i && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        if (!port->SetSpeed(100 + 300 * i))
            ++failedCommands;
    }
    stop = true;
    poller.join();

    EXPECT_EQ(failedCommands, 0);
    EXPECT_EQ(failedPolls, 0);
    const std::vector<SimFrame> frames = sim->Frames();
    EXPECT_EQ(int(frames.size()), commands + polls);
    for (const SimFrame& f : frames)
        EXPECT_TRUE(f.valid);
    EXPECT_EQ(sim->JunkBytes(), 0);
    EXPECT_GT(polls, 1);
    EXPECT_EQ(sim->SetPoint(), 100 + 300 * (commands - 1));
}

TEST_F(CommPortRobustness, PulledDeviceFailsExchangesQuicklyWithoutSpinning)
{
    EXPECT_TRUE(port->Handshake());
    std::atomic<int> failed{0};
    std::atomic<bool> stop{false};
    std::thread poller([&] {
        while (!stop) {
            std::unique_ptr<CCommPort::BYTE[]> reply;
            int length = 0;
            if (!port->QueryStatus(reply, length))
                ++failed;
            std::this_thread::sleep_for(20ms);
        }
    });
    sim->Disconnect();
    EXPECT_FALSE(port->SetSpeed(0));
    const double cpuBefore = CpuSeconds();
    std::this_thread::sleep_for(1s);
    const double cpuUsed = CpuSeconds() - cpuBefore;
    stop = true;
    poller.join();
    EXPECT_GT(failed, 0);
    // A loop spinning on the dead descriptor would use the whole second.
    EXPECT_LT(cpuUsed, 0.3);
    EXPECT_FALSE(port->Handshake());
    EXPECT_TRUE(port->Close());
}
