#include "AcquisitionWorker.h"

#include "CommPort.h"

#include <cstdlib>
#include <ctime>
#include <memory>

using namespace stirrer;

namespace {

// Whole calendar seconds from the same clock the pacing wait reads: time()
// may come from a coarser clock and lag it by a tick at each second's turn.
std::time_t CalendarSeconds()
{
    return std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
}

}  // namespace

CAcquisitionWorker::~CAcquisitionWorker()
{
    RequestStop();
    WaitForEnd();
}

void CAcquisitionWorker::SetOwner(ISampleSink* pOwner)
{
    m_pOwner = pOwner;
}

void CAcquisitionWorker::Start()
{
    // The previous run was only asked to stop; it ends within its cycle.
    RequestStop();
    WaitForEnd();
    m_nStop = 0;
    m_nLastSetPoint = 0;
    m_bSettled = 0;
    m_thread = std::thread(AcquisitionThreadProc, this);
}

void CAcquisitionWorker::RequestStop()
{
    {
        std::lock_guard<std::mutex> guard(m_wakeLock);
        m_nStop = 1;
    }
    m_wake.notify_all();
}

bool CAcquisitionWorker::IsStopRequested() const
{
    return m_nStop != 0;
}

void CAcquisitionWorker::WaitForEnd()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void CAcquisitionWorker::DecodeStatus(const BYTE* reply, int length)
{
    if (reply == nullptr || length < kStatusLength)
        return;
    const int s = Word(reply, 2);
    const int a = Word(reply, 4);
    const int t = Word(reply, 6);
    if (s != m_nLastSetPoint) {
        m_bSettled = 0;
        m_nLastSetPoint = s;
    }
    int speed;
    if (m_bSettled) {
        speed = s + (a - s) / 4;  // integer division truncates toward zero
    } else {
        speed = a;
        if (std::abs(a - s) <= 10)
            m_bSettled = 1;
    }
    if (m_pOwner != nullptr)
        m_pOwner->OnSample(speed, t);
}

void CAcquisitionWorker::WaitForNextSecond(std::time_t t0, std::chrono::steady_clock::time_point cycleStart)
{
    using namespace std::chrono;
    // At most one second on the monotonic clock, so a wall clock set back
    // cannot hold the polling up.
    const auto latest = cycleStart + seconds(1);
    std::unique_lock<std::mutex> guard(m_wakeLock);
    for (;;) {
        if (m_nStop != 0)
            return;
        const auto wallNow = system_clock::now();
        const std::time_t now = system_clock::to_time_t(wallNow);
        const auto monoNow = steady_clock::now();
        if (now >= t0 + 1 || now < t0 || monoNow >= latest)
            return;
        const auto nextSecond = system_clock::from_time_t(now + 1);
        const auto untilSecond = duration_cast<steady_clock::duration>(nextSecond - wallNow);
        m_wake.wait_for(guard, std::min(untilSecond, latest - monoNow) + milliseconds(1));
    }
}

int AcquisitionThreadProc(CAcquisitionWorker* pWorker)
{
    CCommPort* pPort = CCommPort::Instance();
    while (!pWorker->IsStopRequested()) {
        const auto cycleStart = std::chrono::steady_clock::now();
        const std::time_t t0 = CalendarSeconds();
        std::unique_ptr<BYTE[]> pReply;
        int nLength = 0;
        if (pPort->QueryStatus(pReply, nLength))
            pWorker->DecodeStatus(pReply.get(), nLength);
        pReply.reset();
        const std::time_t t1 = CalendarSeconds();
        if (t1 - t0 < 1)
            pWorker->WaitForNextSecond(t0, cycleStart);
    }
    return 1;
}
