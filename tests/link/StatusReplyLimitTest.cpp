// Reply limits of the exchanges and what a failed status query delivers.
#include "link/AcquisitionWorker.h"
#include "support/SimulatedStirrer.h"

#include <mutex>
#include <vector>

using namespace std::chrono_literals;

namespace {

class CountingSink : public ISampleSink {
public:
    void OnSample(int speed, int) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_speeds.push_back(speed);
    }
    std::vector<int> Speeds() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_speeds;
    }

private:
    mutable std::mutex m_lock;  // guards m_speeds
    std::vector<int> m_speeds;
};

class StatusReplyLimit : public SimulatedStirrerTest {
protected:
    SimSettings Settings() const override
    {
        SimSettings s = ExactSettings();
        // Past the acknowledgement's two to three seconds, within the status
        // reply's five to six.
        s.faults.lateMs = 3500;
        return s;
    }
    int StatusFrames() const
    {
        int n = 0;
        for (const SimFrame& f : sim->Frames()) n += f.bytes[1] == 0xA2;
        return n;
    }
};

}  // namespace

TEST_F(StatusReplyLimit, StatusWaitsFiveSecondsWhereAnAcknowledgementWaitsTwo)
{
    ASSERT_TRUE(port->SetSpeed(300));
    sim->InjectNext(kFaultLate);
    std::unique_ptr<CCommPort::BYTE[]> reply;
    int length = 0;
    EXPECT_TRUE(port->QueryStatus(reply, length)) << "a reply 3.5 s late is within the status limit";
    EXPECT_EQ(stirrer::Word(reply.get(), 2), 300);

    sim->InjectNext(kFaultLate);
    EXPECT_FALSE(port->SetSpeed(400)) << "3.5 s is past the acknowledgement's limit";
    EXPECT_EQ(port->SendSpeed(0), stirrer::EAck::Taken) << "the late reply is not taken for the next one";
}

TEST_F(StatusReplyLimit, FailedStatusQueriesDeliverNoSample)
{
    ASSERT_TRUE(port->SetSpeed(600));
    // A broken checksum, a missing byte and a wrong header byte (which is
    // never examined, so that one counts).
    sim->InjectNext(kFaultCorrupt);
    sim->InjectNext(kFaultShort);
    sim->InjectNext(kFaultWrongHeader);
    CountingSink sink;
    CAcquisitionWorker worker;
    worker.SetOwner(&sink);
    worker.Start();
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (sink.Speeds().size() < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    worker.RequestStop();
    worker.WaitForEnd();
    // Every query that was answered well gave exactly one sample.
    const std::vector<int> speeds = sink.Speeds();
    EXPECT_EQ(int(speeds.size()), StatusFrames() - 2);
    for (int speed : speeds) EXPECT_EQ(speed, 600);
}
