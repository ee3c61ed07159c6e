// The simulator seen from a plain raw tty, without the program's port code.
#include "StirrerSimulator.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

class RawLine
{
public:
    explicit RawLine(const std::string& path)
        : m_fd(open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC))
    {
        termios tio{};
        if (m_fd >= 0 && tcgetattr(m_fd, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(m_fd, TCSANOW, &tio);
        }
    }
    ~RawLine()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool IsOpen() const { return m_fd >= 0; }
    void Write(const std::vector<std::uint8_t>& bytes)
    {
        ASSERT_EQ(write(m_fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Reads until count bytes came or timeoutMs passed without any.
    std::vector<std::uint8_t> Read(size_t count, int timeoutMs)
    {
        std::vector<std::uint8_t> out;
        while (out.size() < count) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, timeoutMs) <= 0 || !(p.revents & POLLIN))
                break;
            std::uint8_t buffer[64];
            const ssize_t n = read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            out.insert(out.end(), buffer, buffer + n);
        }
        return out;
    }

private:
    int m_fd;
};

bool ChecksumHolds(const std::vector<std::uint8_t>& r)
{
    unsigned sum = 0;
    for (size_t i = 1; i + 1 < r.size(); ++i)
        sum += r[i];
    return r.size() >= 2 && std::uint8_t(sum) == r.back();
}

}  // namespace

TEST(StirrerSimulator, AnswersTheThreeCommandsWithGoodChecksums)
{
    SimSettings settings;
    settings.timeConstantS = 0;
    settings.noiseRpm = 0;
    CStirrerSimulator sim(settings);
    ASSERT_TRUE(sim.Start());
    RawLine line(sim.SlavePath());
    ASSERT_TRUE(line.IsOpen());

    line.Write({0xFE, 0xA0, 0x00, 0x00, 0x00, 0xA0});
    EXPECT_EQ(line.Read(6, 2000), (std::vector<std::uint8_t>{0xFE, 0xA0, 0x00, 0x00, 0x00, 0xA0}));
    line.Write({0xFE, 0xB1, 0x03, 0xE8, 0x00, 0x9C});
    EXPECT_EQ(line.Read(6, 2000), (std::vector<std::uint8_t>{0xFE, 0xB1, 0x00, 0x03, 0xE8, 0x9C}));
    line.Write({0xFE, 0xA2, 0x00, 0x00, 0x00, 0xA2});
    const std::vector<std::uint8_t> status = line.Read(11, 2000);
    ASSERT_EQ(status.size(), 11u);
    EXPECT_TRUE(ChecksumHolds(status));
    EXPECT_EQ(status[2] * 256 + status[3], 1000);
    EXPECT_EQ(status[4] * 256 + status[5], 1000);
    EXPECT_EQ(status[6] * 256 + status[7], 10);
    EXPECT_EQ(sim.RepliesSent(), 3);
}

TEST(StirrerSimulator, RecordsBadFramesAndJunkWithoutAnswering)
{
    CStirrerSimulator sim;
    ASSERT_TRUE(sim.Start());
    RawLine line(sim.SlavePath());
    line.Write({0x11, 0x22, 0xFE, 0xA0, 0x00, 0x00, 0x00, 0xA1});
    ASSERT_TRUE(sim.WaitForFrames(1, 2s));
    EXPECT_TRUE(line.Read(1, 300).empty());
    const std::vector<SimFrame> frames = sim.Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_FALSE(frames[0].valid);
    EXPECT_EQ(sim.JunkBytes(), 2);
    EXPECT_EQ(sim.RepliesSent(), 0);
}

TEST(StirrerSimulator, RandomFaultsRepeatForTheSameSeed)
{
    auto run = [](std::uint32_t seed) {
        SimSettings settings;
        settings.seed = seed;
        settings.faults.dropShare = 0.5;
        settings.replyDelayMs = 0;
        CStirrerSimulator sim(settings);
        EXPECT_TRUE(sim.Start());
        RawLine line(sim.SlavePath());
        std::vector<bool> answered;
        for (int i = 0; i < 12; ++i) {
            line.Write({0xFE, 0xA0, 0x00, 0x00, 0x00, 0xA0});
            answered.push_back(line.Read(6, 150).size() == 6);
        }
        return answered;
    };
    const std::vector<bool> first = run(3);
    EXPECT_EQ(first, run(3));
    EXPECT_NE(std::count(first.begin(), first.end(), true), 0);
    EXPECT_NE(std::count(first.begin(), first.end(), false), 0);
}

TEST(StirrerSimulator, DisconnectsAfterTheGivenTimeAndTheDeviceGoesAway)
{
    SimSettings settings;
    settings.faults.disconnectAfterS = 0.3;
    CStirrerSimulator sim(settings);
    ASSERT_TRUE(sim.Start());
    const std::string path = sim.SlavePath();
    RawLine line(path);
    ASSERT_TRUE(sim.WaitForDisconnect(5s));
    EXPECT_FALSE(sim.IsConnected());
    EXPECT_NE(access(path.c_str(), F_OK), 0);
    const int again = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_LT(again, 0);
    if (again >= 0)
        close(again);
}

TEST(StirrerSimulator, ThickeningMakesTheReportedTorqueClimbOnTheLine)
{
    SimSettings settings;
    settings.timeConstantS = 0;
    settings.noiseRpm = 0;
    settings.torqueNoiseNcm = 0;
    settings.replyDelayMs = 0;
    settings.thickening = {true, 10, 60, 0.5};
    CStirrerSimulator sim(settings);
    ASSERT_TRUE(sim.Start());
    RawLine line(sim.SlavePath());
    line.Write({0xFE, 0xB1, 0x03, 0xE8, 0x00, 0x9C});  // 1000 rpm
    ASSERT_EQ(line.Read(6, 2000).size(), 6u);
    std::vector<int> torques;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while ((torques.empty() || torques.back() < 60) && std::chrono::steady_clock::now() < deadline) {
        line.Write({0xFE, 0xA2, 0x00, 0x00, 0x00, 0xA2});
        const std::vector<std::uint8_t> status = line.Read(11, 2000);
        ASSERT_EQ(status.size(), 11u);
        torques.push_back(status[6] * 256 + status[7]);
    }
    ASSERT_FALSE(torques.empty());
    EXPECT_LT(torques.front(), 60);
    EXPECT_EQ(torques.back(), 60) << "levels off at TO Ncm per 1000 rpm";
    EXPECT_TRUE(std::is_sorted(torques.begin(), torques.end())) << "never falls while thickening";
    EXPECT_NEAR(sim.Viscosity(), 60, 0.5);
    sim.SetViscosity(20);
    EXPECT_DOUBLE_EQ(sim.Viscosity(), 20);
}
