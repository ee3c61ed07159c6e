#pragma once

#include "SimSettings.h"
#include "StirrerModel.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

// One request frame as the simulated stirrer saw it on the line.
struct SimFrame
{
    using Clock = std::chrono::steady_clock;
    std::array<std::uint8_t, 6> bytes{};
    bool valid = false;  // header 0xFE, known command, checksum right
    Clock::time_point firstByte;  // when its first byte was read
    Clock::time_point lastByte;   // when its last byte was read
};

// Faults for the next reply (or the next few), on top of the random shares;
// combine with |.
enum SimFault : unsigned {
    kFaultNone = 0,
    kFaultDrop = 1u << 0,         // no reply
    kFaultCorrupt = 1u << 1,      // wrong checksum byte
    kFaultRefuse = 1u << 2,       // result byte 0x01 with a good checksum (acknowledgements)
    kFaultLate = 1u << 3,         // sent SimFaults::lateMs after the request
    kFaultGarbage = 1u << 4,      // random bytes shortly after the reply
    kFaultWrongHeader = 1u << 5,  // lead byte 0x00 instead of 0xFE
    kFaultShort = 1u << 6,        // last byte missing
    kFaultExtra = 1u << 7,        // two more bytes in the same write
    kFaultSplit = 1u << 8,        // written in three chunks 150 ms apart
};

// A simulated stirrer on a pseudo-terminal pair. It owns the master side
// and a thread that answers handshake (0xA0), set speed (0xB1) and status
// (0xA2) like the instrument; the program under test opens SlavePath() as
// its serial device. It records every frame it reads, so tests can check
// what went over the wire.
//
// Typical test use:
//     CStirrerSimulator sim;            // default SimSettings, seed 1
//     ASSERT_TRUE(sim.Start());
//     port->SetPortName(QString::fromStdString(sim.SlavePath()));
//     ... exercise the program ...
//     sim.WaitForFrames(n, 10s);        // then inspect sim.Frames()
//
// Every public member may be called from any thread while the simulator
// runs; settings and faults take effect from the next request.
class CStirrerSimulator
{
public:
    using Clock = std::chrono::steady_clock;

    explicit CStirrerSimulator(const SimSettings& settings = SimSettings());
    ~CStirrerSimulator();
    CStirrerSimulator(const CStirrerSimulator&) = delete;
    CStirrerSimulator& operator=(const CStirrerSimulator&) = delete;

    // Opens the pty pair and starts answering. False when no pty is free.
    bool Start();
    // Stops answering and closes the pair (the device path goes away).
    void Stop();

    // The device the program opens, e.g. "/dev/pts/7"; empty before Start.
    std::string SlavePath() const;

    // The line goes away as if the adapter were pulled: the program's reads
    // and writes fail from now on. Returns once it has happened.
    void Disconnect();
    bool IsConnected() const;
    // Waits until the line went away (also after SimFaults::disconnectAfterS).
    bool WaitForDisconnect(std::chrono::milliseconds timeout);

    void SetFaults(const SimFaults& faults);
    void SetTimeConstant(double seconds);
    void SetViscosity(double viscosity);
    void SetNoise(double rpm);
    void SetTorqueNoise(double ncm);  // below 0: follows the speed noise
    void SetThickening(const SimThickening& thickening);
    double Viscosity() const;  // Ncm per 1000 rpm, as of the last request
    void SetReplyDelay(int ms);

    // The next count replies get these faults.
    void InjectNext(unsigned faults, int count = 1);
    // Writes bytes to the program at once, outside any exchange.
    void SendRaw(const std::vector<std::uint8_t>& bytes);

    // Everything read so far: whole frames, and bytes that began no frame.
    std::vector<SimFrame> Frames() const;
    int JunkBytes() const;
    int RepliesSent() const;  // replies fully written, late ones included
    int SetPoint() const;

    bool WaitForFrames(int count, std::chrono::milliseconds timeout) const;
    bool WaitForRepliesSent(int count, std::chrono::milliseconds timeout) const;

private:
    struct Outgoing
    {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
        bool completesReply;
    };

    void Run();
    void ReadRequests();
    void Parse(std::uint8_t byte, Clock::time_point at);
    void Answer(const SimFrame& frame);
    std::vector<std::uint8_t> Reply(const SimFrame& frame);
    unsigned RollFaults();
    void Schedule(Clock::time_point due, std::vector<std::uint8_t> bytes, bool completesReply);
    void WriteDue();
    int PollTimeoutMs() const;
    void CloseLine();
    void Wake();
    bool Roll(double share);

    // m_lock guards every member below it except the descriptors, which only
    // Start, Stop and the thread touch (never at the same time).
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    SimSettings m_settings;
    CStirrerModel m_model;
    Clock::time_point m_lastAdvance;
    Clock::time_point m_started;
    std::mt19937 m_faultRng;
    std::deque<unsigned> m_injected;
    std::deque<Outgoing> m_outgoing;  // by due time
    std::vector<SimFrame> m_frames;
    std::vector<std::uint8_t> m_partial;
    Clock::time_point m_partialStart;
    int m_nJunk = 0;
    int m_nRepliesSent = 0;
    bool m_bConnected = false;
    bool m_bDisconnectRequested = false;
    bool m_bStop = false;
    std::string m_strSlavePath;

    int m_master = -1;
    int m_slave = -1;  // held open so the master never sees a hang-up between clients
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};
