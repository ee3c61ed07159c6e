#include "link/AcquisitionWorker.h"
#include "link/SampleForwarder.h"
#include "support/SimulatedStirrer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Collects samples from the worker thread and notes how they arrive.
class RecordingSink : public ISampleSink
{
public:
    struct Sample
    {
        int speed;
        int torque;
    };

    void OnSample(int speed, int torque) override
    {
        const int inside = ++m_inside;
        std::lock_guard<std::mutex> guard(m_lock);
        m_maxInside = std::max(m_maxInside, inside);
        m_samples.push_back({speed, torque});
        m_threads.insert(std::this_thread::get_id());
        --m_inside;
        m_changed.notify_all();
    }

    std::vector<Sample> Samples() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_samples;
    }
    std::vector<int> Speeds() const
    {
        std::vector<int> speeds;
        for (const Sample& s : Samples())
            speeds.push_back(s.speed);
        return speeds;
    }
    int Count() const { return int(Samples().size()); }
    bool WaitForCount(int count, std::chrono::milliseconds timeout)
    {
        std::unique_lock<std::mutex> guard(m_lock);
        return m_changed.wait_for(guard, timeout, [&] { return int(m_samples.size()) >= count; });
    }
    int MaxInside() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_maxInside;
    }
    size_t ThreadCount() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_threads.size();
    }
    void Clear()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_samples.clear();
        m_threads.clear();
    }

private:
    std::atomic<int> m_inside{0};
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Sample> m_samples;
    std::set<std::thread::id> m_threads;
    int m_maxInside = 0;
};

std::array<stirrer::BYTE, 11> StatusReply(int setPoint, int measured, int torque)
{
    std::array<stirrer::BYTE, 11> r = {0xFE, 0xA2,
                                       stirrer::BYTE(setPoint >> 8), stirrer::BYTE(setPoint),
                                       stirrer::BYTE(measured >> 8), stirrer::BYTE(measured),
                                       stirrer::BYTE(torque >> 8), stirrer::BYTE(torque),
                                       0, 0, 0};
    r[10] = stirrer::SumOf(r.data(), 1, 9);
    return r;
}

std::time_t CalendarSeconds()
{
    return std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
}

std::vector<int> Decode(CAcquisitionWorker& worker, RecordingSink& sink, int setPoint,
                        const std::vector<int>& measured)
{
    sink.Clear();
    for (int a : measured) {
        const auto reply = StatusReply(setPoint, a, 0);
        worker.DecodeStatus(reply.data(), int(reply.size()));
    }
    return sink.Speeds();
}

}  // namespace

TEST(AcquisitionDecode, SettlingRuleSmoothsOnlyAfterTheSpeedCameWithinTenRpm)
{
    CAcquisitionWorker worker;
    RecordingSink sink;
    worker.SetOwner(&sink);
    EXPECT_EQ(Decode(worker, sink, 1000, {900, 995, 1010, 1004}), (std::vector<int>{900, 995, 1002, 1001}));
    // A new set-point clears the settled flag.
    EXPECT_EQ(Decode(worker, sink, 500, {480, 495, 520, 497}), (std::vector<int>{480, 495, 505, 500}));
    // Below the set-point the quarter truncates toward zero.
    EXPECT_EQ(Decode(worker, sink, 200, {205, 197, 190}), (std::vector<int>{205, 200, 198}));
    // Back to 500: raw again until within 10 rpm.
    EXPECT_EQ(Decode(worker, sink, 500, {300, 511, 490}), (std::vector<int>{300, 511, 490}));
}

TEST(AcquisitionDecode, TorqueIsTheUnsignedWordAndShortRepliesAreIgnored)
{
    CAcquisitionWorker worker;
    RecordingSink sink;
    worker.SetOwner(&sink);
    const auto reply = StatusReply(300, 299, 0x01F4);
    worker.DecodeStatus(reply.data(), 10);
    EXPECT_EQ(sink.Count(), 0);
    worker.DecodeStatus(reply.data(), 11);
    const auto big = StatusReply(65535, 65535, 65535);
    worker.DecodeStatus(big.data(), 11);
    ASSERT_EQ(sink.Count(), 2);
    EXPECT_EQ(sink.Samples()[0].torque, 500);
    EXPECT_EQ(sink.Samples()[1].speed, 65535);
    EXPECT_EQ(sink.Samples()[1].torque, 65535);

    worker.SetOwner(nullptr);
    worker.DecodeStatus(reply.data(), 11);  // no owner: nothing to deliver, no crash
    EXPECT_EQ(sink.Count(), 2);
}

class AcquisitionWorkerRun : public SimulatedStirrerTest
{
protected:
    CAcquisitionWorker worker;
    RecordingSink sink;

    int StatusFrames() const
    {
        int n = 0;
        for (const SimFrame& f : sim->Frames())
            n += f.bytes[1] == 0xA2;
        return n;
    }
};

TEST_F(AcquisitionWorkerRun, PollsAtMostOncePerCalendarSecondAndStopsAfterAtMostOneMoreSample)
{
    ASSERT_TRUE(port->SetSpeed(400));
    worker.SetOwner(&sink);
    const std::time_t firstSecond = CalendarSeconds();
    worker.Start();
    ASSERT_TRUE(sink.WaitForCount(4, 15s));

    // Ask to stop while a query is on the line.
    const int framesSoFar = int(sim->Frames().size());
    ASSERT_TRUE(sim->WaitForFrames(framesSoFar + 1, 5s));
    const int beforeStop = sink.Count();
    worker.RequestStop();
    worker.WaitForEnd();
    const std::time_t lastSecond = CalendarSeconds();
    EXPECT_LE(sink.Count() - beforeStop, 1);
    EXPECT_FALSE(worker.HasThread());

    // Back-to-back exchanges of 0.6 s would put more queries into these
    // calendar seconds than there are seconds.
    EXPECT_LE(StatusFrames(), int(lastSecond - firstSecond) + 1);
    for (const auto& s : sink.Samples())
        EXPECT_LE(s.speed, 450);
    EXPECT_EQ(sink.MaxInside(), 1);
}

TEST_F(AcquisitionWorkerRun, StartWhileTheLastRunFinishesLeavesOneWorker)
{
    worker.SetOwner(&sink);
    worker.Start();
    ASSERT_TRUE(sim->WaitForFrames(1, 5s));
    worker.RequestStop();
    worker.Start();  // the first worker is still inside its query
    sink.Clear();
    const int framesBefore = StatusFrames();
    const std::time_t firstSecond = CalendarSeconds();
    ASSERT_TRUE(sink.WaitForCount(3, 10s));
    worker.RequestStop();
    worker.WaitForEnd();
    const std::time_t lastSecond = CalendarSeconds();
    EXPECT_EQ(sink.ThreadCount(), 1u);
    EXPECT_EQ(sink.MaxInside(), 1);
    // Two workers would poll twice per second.
    EXPECT_LE(StatusFrames() - framesBefore, int(lastSecond - firstSecond) + 1);
    for (const SimFrame& f : sim->Frames())
        EXPECT_TRUE(f.valid);
}

TEST_F(AcquisitionWorkerRun, ShutdownWithSamplesQueuedForTheUiThreadDoesNotWait)
{
    std::vector<int> delivered;
    {
        CSampleForwarder forwarder;
        QObject receiver;
        QObject::connect(&forwarder, &CSampleForwarder::sampleArrived, &receiver,
                         [&](int speed, int) { delivered.push_back(speed); });
        CAcquisitionWorker run;
        run.SetOwner(&forwarder);
        run.Start();
        // The UI thread is busy elsewhere: samples pile up in its queue.
        ASSERT_TRUE(sim->WaitForRepliesSent(2, 10s));
        run.RequestStop();
        run.WaitForEnd();
        EXPECT_TRUE(delivered.empty());
        QCoreApplication::processEvents();
        EXPECT_GE(delivered.size(), 1u);
    }
    const size_t afterwards = delivered.size();
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered.size(), afterwards);
}

TEST_F(AcquisitionWorkerRun, PulledDeviceKeepsTheWorkerAliveAndStoppable)
{
    worker.SetOwner(&sink);
    worker.Start();
    ASSERT_TRUE(sink.WaitForCount(1, 10s));
    sim->Disconnect();
    const int framesAtPull = int(sim->Frames().size());
    std::this_thread::sleep_for(1500ms);
    worker.RequestStop();
    worker.WaitForEnd();
    EXPECT_EQ(int(sim->Frames().size()), framesAtPull);
    // About one failed attempt per second is logged, not thousands.
    EXPECT_LE(Log().count("Send:FE A2"), sink.Count() + 5);
}
