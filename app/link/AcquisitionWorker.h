#pragma once

#include "SampleSink.h"
#include "StirrerProtocol.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class CAcquisitionWorker;

// The worker thread's body: polls the stirrer's status once per calendar
// second until a stop is requested. Returns 1.
int AcquisitionThreadProc(CAcquisitionWorker* pWorker);

// Owns the thread that polls the stirrer while a run is active and hands
// each sample to the owner (ISampleSink).
//
// Threads:
// - SetOwner, Start, WaitForEnd and the destructor belong to the owner's
//   thread (the UI thread) and must not run on the worker itself.
// - RequestStop and IsStopRequested may be called from any thread at any
//   time; RequestStop never waits.
// - Start after RequestStop first waits for the previous worker to finish
//   its cycle (at most one exchange, about 6 s when the instrument stays
//   silent; normally at once, since the owner's own speed command already
//   waited for that exchange), so two workers never run.
// - The owner's OnSample runs on the worker; at most one sample arrives
//   after RequestStop, none after WaitForEnd returns.
// - DecodeStatus belongs to the worker while one runs.
class CAcquisitionWorker
{
public:
    CAcquisitionWorker() = default;
    // Requests the stop and waits for the worker.
    ~CAcquisitionWorker();
    CAcquisitionWorker(const CAcquisitionWorker&) = delete;
    CAcquisitionWorker& operator=(const CAcquisitionWorker&) = delete;

    // Not owned; must outlive the run. Set before Start.
    void SetOwner(ISampleSink* pOwner);
    ISampleSink* Owner() const { return m_pOwner; }

    // Clears the stop flag, the last set-point and the settled flag and
    // starts polling.
    void Start();
    void RequestStop();
    bool IsStopRequested() const;
    // Waits, without limit, until the worker has ended; nothing to do when
    // none runs.
    void WaitForEnd();
    // True from Start until the stored thread has been waited for.
    bool HasThread() const { return m_thread.joinable(); }

    // Turns one status reply into the displayed speed and the torque and
    // hands them to the owner. Replies shorter than 11 bytes are ignored.
    void DecodeStatus(const stirrer::BYTE* reply, int length);

private:
    friend int AcquisitionThreadProc(CAcquisitionWorker* pWorker);

    // Sleeps until the calendar second after t0 begins, or one second at
    // most on the monotonic clock; a stop request ends the wait at once.
    void WaitForNextSecond(std::time_t t0, std::chrono::steady_clock::time_point cycleStart);

    std::atomic<int> m_nStop{0};
    ISampleSink* m_pOwner = nullptr;
    std::thread m_thread;
    // Worker-only while it runs; reset by Start before the thread exists.
    int m_bSettled = 0;
    int m_nLastSetPoint = 0;

    std::mutex m_wakeLock;  // pairs with m_wake; guards no data (the flag is atomic)
    std::condition_variable m_wake;
};
