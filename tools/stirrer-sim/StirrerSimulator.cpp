#include "StirrerSimulator.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::uint8_t kHeader = 0xFE;
constexpr std::uint8_t kHandshake = 0xA0;
constexpr std::uint8_t kQueryStatus = 0xA2;
constexpr std::uint8_t kSetSpeed = 0xB1;
// Long enough for the program to have read the reply first.
constexpr auto kGarbageGap = std::chrono::milliseconds(250);
constexpr auto kSplitGap = std::chrono::milliseconds(150);

std::uint8_t Checksum(const std::vector<std::uint8_t>& bytes)
{
    unsigned sum = 0;
    for (size_t i = 1; i + 1 < bytes.size(); ++i)
        sum += bytes[i];
    return std::uint8_t(sum & 0xFF);
}

bool IsValidRequest(const std::array<std::uint8_t, 6>& f)
{
    const bool known = f[1] == kHandshake || f[1] == kQueryStatus || f[1] == kSetSpeed;
    return f[0] == kHeader && known && std::uint8_t(f[1] + f[2] + f[3] + f[4]) == f[5];
}

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

CStirrerSimulator::CStirrerSimulator(const SimSettings& settings)
    : m_settings(settings)
    , m_model(settings)
    , m_faultRng(settings.seed + 1)
{
}

CStirrerSimulator::~CStirrerSimulator()
{
    Stop();
}

bool CStirrerSimulator::Start()
{
    if (m_thread.joinable())
        return false;
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[256] = {};
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0
        || ptsname_r(m_master, name, sizeof name) != 0) {
        CloseFd(m_master);
        return false;
    }
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0 || pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        CloseFd(m_slave);
        CloseFd(m_master);
        return false;
    }
    // Raw until the program configures the line itself, so a plain tool
    // opening the device sees the bytes unchanged too.
    termios tio{};
    if (tcgetattr(m_slave, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_slave, TCSANOW, &tio);
    }
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_strSlavePath = name;
        m_started = m_lastAdvance = Clock::now();
        m_bConnected = true;
        m_bStop = false;
        m_bDisconnectRequested = false;
    }
    m_thread = std::thread(&CStirrerSimulator::Run, this);
    return true;
}

void CStirrerSimulator::Stop()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bStop = true;
    }
    Wake();
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> guard(m_lock);
    CloseLine();
    CloseFd(m_wake[0]);
    CloseFd(m_wake[1]);
}

std::string CStirrerSimulator::SlavePath() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_strSlavePath;
}

void CStirrerSimulator::Disconnect()
{
    std::unique_lock<std::mutex> guard(m_lock);
    if (!m_bConnected)
        return;
    m_bDisconnectRequested = true;
    guard.unlock();
    Wake();
    guard.lock();
    m_changed.wait(guard, [this] { return !m_bConnected; });
}

bool CStirrerSimulator::IsConnected() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bConnected;
}

bool CStirrerSimulator::WaitForDisconnect(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> guard(m_lock);
    return m_changed.wait_for(guard, timeout, [this] { return !m_bConnected; });
}

void CStirrerSimulator::SetFaults(const SimFaults& faults)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_settings.faults = faults;
}

void CStirrerSimulator::SetTimeConstant(double seconds)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_model.SetTimeConstant(seconds);
}

void CStirrerSimulator::SetViscosity(double viscosity)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_model.SetViscosity(viscosity);
}

void CStirrerSimulator::SetNoise(double rpm)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_model.SetNoise(rpm);
}

void CStirrerSimulator::SetTorqueNoise(double ncm)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_model.SetTorqueNoise(ncm);
}

void CStirrerSimulator::SetThickening(const SimThickening& thickening)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_model.SetThickening(thickening);
}

double CStirrerSimulator::Viscosity() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_model.Viscosity();
}

void CStirrerSimulator::SetReplyDelay(int ms)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_settings.replyDelayMs = ms;
}

void CStirrerSimulator::InjectNext(unsigned faults, int count)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (int i = 0; i < count; ++i)
        m_injected.push_back(faults);
}

void CStirrerSimulator::SendRaw(const std::vector<std::uint8_t>& bytes)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        Schedule(Clock::now(), bytes, false);
    }
    Wake();
}

std::vector<SimFrame> CStirrerSimulator::Frames() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_frames;
}

int CStirrerSimulator::JunkBytes() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nJunk;
}

int CStirrerSimulator::RepliesSent() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nRepliesSent;
}

int CStirrerSimulator::SetPoint() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_model.SetPoint();
}

bool CStirrerSimulator::WaitForFrames(int count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> guard(m_lock);
    return m_changed.wait_for(guard, timeout, [&] { return int(m_frames.size()) >= count; });
}

bool CStirrerSimulator::WaitForRepliesSent(int count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> guard(m_lock);
    return m_changed.wait_for(guard, timeout, [&] { return m_nRepliesSent >= count; });
}

void CStirrerSimulator::Run()
{
    for (;;) {
        int timeoutMs;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_bStop)
                return;
            const double disconnectAfter = m_settings.faults.disconnectAfterS;
            const bool timeUp = disconnectAfter > 0
                && Clock::now() - m_started >= std::chrono::duration<double>(disconnectAfter);
            if (m_bDisconnectRequested || timeUp) {
                CloseLine();
                return;
            }
            timeoutMs = PollTimeoutMs();
        }
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (poll(fds, 2, timeoutMs) < 0 && errno != EINTR)
            return;
        if (fds[1].revents & POLLIN) {
            char drain[64];
            while (::read(m_wake[0], drain, sizeof drain) > 0) {
            }
        }
        if (fds[0].revents & POLLIN)
            ReadRequests();
        WriteDue();
    }
}

void CStirrerSimulator::ReadRequests()
{
    std::uint8_t buffer[256];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n <= 0)
        return;
    const auto at = Clock::now();
    std::lock_guard<std::mutex> guard(m_lock);
    for (ssize_t i = 0; i < n; ++i)
        Parse(buffer[i], at);
}

void CStirrerSimulator::Parse(std::uint8_t byte, Clock::time_point at)
{
    if (m_partial.empty()) {
        if (byte != kHeader) {
            ++m_nJunk;
            m_changed.notify_all();
            return;
        }
        m_partialStart = at;
    }
    m_partial.push_back(byte);
    if (m_partial.size() < 6)
        return;
    SimFrame frame;
    std::copy(m_partial.begin(), m_partial.end(), frame.bytes.begin());
    frame.valid = IsValidRequest(frame.bytes);
    frame.firstByte = m_partialStart;
    frame.lastByte = at;
    m_partial.clear();
    m_frames.push_back(frame);
    m_changed.notify_all();
    if (frame.valid)
        Answer(frame);
}

void CStirrerSimulator::Answer(const SimFrame& frame)
{
    unsigned faults = RollFaults();
    if (!m_injected.empty()) {
        faults |= m_injected.front();
        m_injected.pop_front();
    }
    if (faults & kFaultDrop)
        return;
    std::vector<std::uint8_t> reply = Reply(frame);
    if ((faults & kFaultRefuse) && reply.size() == 6)
        reply[2] = 0x01;
    if (faults & kFaultWrongHeader)
        reply[0] = 0x00;
    reply.back() = Checksum(reply);
    if (faults & kFaultCorrupt)
        reply.back() = std::uint8_t(reply.back() + 1);
    if (faults & kFaultShort)
        reply.pop_back();
    if (faults & kFaultExtra) {
        reply.push_back(0x55);
        reply.push_back(0xAA);
    }

    const int delayMs = (faults & kFaultLate) ? m_settings.faults.lateMs : m_settings.replyDelayMs;
    auto due = frame.lastByte + std::chrono::milliseconds(delayMs);
    if (faults & kFaultSplit) {
        const size_t third = reply.size() / 3;
        Schedule(due, {reply.begin(), reply.begin() + third}, false);
        Schedule(due + kSplitGap, {reply.begin() + third, reply.begin() + 2 * third}, false);
        due += 2 * kSplitGap;
        Schedule(due, {reply.begin() + 2 * third, reply.end()}, true);
    } else {
        Schedule(due, reply, true);
    }
    if (faults & kFaultGarbage) {
        std::vector<std::uint8_t> garbage(std::uniform_int_distribution<int>(1, 4)(m_faultRng));
        for (auto& b : garbage)
            b = std::uint8_t(std::uniform_int_distribution<int>(0, 255)(m_faultRng));
        Schedule(due + kGarbageGap, garbage, false);
    }
}

std::vector<std::uint8_t> CStirrerSimulator::Reply(const SimFrame& frame)
{
    const auto now = Clock::now();
    m_model.Advance(std::chrono::duration<double>(now - m_lastAdvance).count());
    m_lastAdvance = now;
    const std::uint8_t code = frame.bytes[1];
    if (code == kSetSpeed) {
        m_model.SetSetPoint(frame.bytes[2] * 256 + frame.bytes[3]);
        return {kHeader, code, 0x00, frame.bytes[2], frame.bytes[3], 0};
    }
    if (code == kQueryStatus) {
        const int s = m_model.SetPoint();
        const int a = m_model.MeasuredSpeed();
        const int t = m_model.Torque();
        return {kHeader, code,
                std::uint8_t(s >> 8), std::uint8_t(s),
                std::uint8_t(a >> 8), std::uint8_t(a),
                std::uint8_t(t >> 8), std::uint8_t(t),
                0x00, 0x00, 0};
    }
    return {kHeader, code, 0x00, 0x00, 0x00, 0};
}

bool CStirrerSimulator::Roll(double share)
{
    return share > 0 && std::uniform_real_distribution<double>(0.0, 1.0)(m_faultRng) < share;
}

unsigned CStirrerSimulator::RollFaults()
{
    const SimFaults& f = m_settings.faults;
    unsigned faults = kFaultNone;
    if (Roll(f.dropShare))
        faults |= kFaultDrop;
    if (Roll(f.corruptShare))
        faults |= kFaultCorrupt;
    if (Roll(f.refuseShare))
        faults |= kFaultRefuse;
    if (Roll(f.lateShare))
        faults |= kFaultLate;
    if (Roll(f.garbageShare))
        faults |= kFaultGarbage;
    return faults;
}

void CStirrerSimulator::Schedule(Clock::time_point due, std::vector<std::uint8_t> bytes, bool completesReply)
{
    auto at = std::upper_bound(m_outgoing.begin(), m_outgoing.end(), due,
                               [](Clock::time_point t, const Outgoing& o) { return t < o.due; });
    m_outgoing.insert(at, Outgoing{due, std::move(bytes), completesReply});
}

void CStirrerSimulator::WriteDue()
{
    std::lock_guard<std::mutex> guard(m_lock);
    const auto now = Clock::now();
    while (!m_outgoing.empty() && m_outgoing.front().due <= now && m_master >= 0) {
        const Outgoing& out = m_outgoing.front();
        if (!out.bytes.empty() && ::write(m_master, out.bytes.data(), out.bytes.size()) < 0 && errno == EAGAIN)
            break;  // the program is not reading; try again later
        if (out.completesReply)
            ++m_nRepliesSent;
        m_outgoing.pop_front();
        m_changed.notify_all();
    }
}

int CStirrerSimulator::PollTimeoutMs() const
{
    auto wait = std::chrono::milliseconds(1000);
    const auto now = Clock::now();
    if (!m_outgoing.empty()) {
        const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(m_outgoing.front().due - now);
        wait = std::min(wait, std::max(untilDue, std::chrono::milliseconds(0)));
    }
    if (m_settings.faults.disconnectAfterS > 0) {
        const auto end = m_started + std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(m_settings.faults.disconnectAfterS));
        const auto untilEnd = std::chrono::ceil<std::chrono::milliseconds>(end - now);
        wait = std::min(wait, std::max(untilEnd, std::chrono::milliseconds(0)));
    }
    return int(wait.count());
}

void CStirrerSimulator::CloseLine()
{
    CloseFd(m_slave);
    CloseFd(m_master);
    m_outgoing.clear();
    m_bConnected = false;
    m_changed.notify_all();
}

void CStirrerSimulator::Wake()
{
    if (m_wake[1] >= 0) {
        const char c = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &c, 1);
    }
}
