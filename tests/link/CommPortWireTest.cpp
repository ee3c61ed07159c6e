// What goes over the line and into the log for each exchange.
#include "support/SimulatedStirrer.h"

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

QByteArray Hex(const std::vector<std::uint8_t>& bytes)
{
    QByteArray text;
    for (auto b : bytes)
        text += QByteArray::number(b, 16).rightJustified(2, '0').toUpper() + ' ';
    return text;
}

}  // namespace

class CommPortWire : public SimulatedStirrerTest
{
};

TEST_F(CommPortWire, ExchangesPutExactFramesOnTheLineAndExactBytesInTheLog)
{
    EXPECT_TRUE(port->Handshake());
    std::unique_ptr<CCommPort::BYTE[]> reply;
    int length = 0;
    EXPECT_TRUE(port->QueryStatus(reply, length));
    ASSERT_EQ(length, 11);
    EXPECT_TRUE(port->SetSpeed(0));
    EXPECT_TRUE(port->SetSpeed(200));
    EXPECT_TRUE(port->SetSpeed(2199));

    const std::vector<std::vector<std::uint8_t>> sent = {
        {0xFE, 0xA0, 0x00, 0x00, 0x00, 0xA0},
        {0xFE, 0xA2, 0x00, 0x00, 0x00, 0xA2},
        {0xFE, 0xB1, 0x00, 0x00, 0x00, 0xB1},
        {0xFE, 0xB1, 0x00, 0xC8, 0x00, 0x79},
        {0xFE, 0xB1, 0x08, 0x97, 0x00, 0x50},
    };
    const std::vector<SimFrame> frames = sim->Frames();
    ASSERT_EQ(frames.size(), sent.size());
    for (size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(std::vector<std::uint8_t>(frames[i].bytes.begin(), frames[i].bytes.end()), sent[i]);
    EXPECT_EQ(sim->JunkBytes(), 0);
    EXPECT_EQ(sim->SetPoint(), 2199);

    const std::vector<std::uint8_t> status(reply.get(), reply.get() + 11);
    const QByteArray expected =
        "Send:FE A0 00 00 00 A0 \r\nReceive:FE A0 00 00 00 A0 \r\n"
        "Send:FE A2 00 00 00 A2 \r\nReceive:" + Hex(status) + "\r\n"
        "Send:FE B1 00 00 00 B1 \r\nReceive:FE B1 00 00 00 B1 \r\n"
        "Send:FE B1 00 C8 00 79 \r\nReceive:FE B1 00 00 C8 79 \r\n"
        "Send:FE B1 08 97 00 50 \r\nReceive:FE B1 00 08 97 50 \r\n";
    EXPECT_EQ(Log(), expected);
}

TEST_F(CommPortWire, SendWritesOneBytePerHundredMilliseconds)
{
    const CCommPort::BYTE frame[] = {0xFE, 0xA0, 0x00, 0x00, 0x00, 0xA0};
    const auto start = Clock::now();
    ASSERT_TRUE(port->Send(frame, 6));
    EXPECT_GE(Clock::now() - start, 600ms);
    ASSERT_TRUE(sim->WaitForFrames(1, 5s));
    const SimFrame seen = sim->Frames().front();
    // Five pauses lie between the first and the last byte; allow for a late
    // read of the first one.
    EXPECT_GE(seen.lastByte - seen.firstByte, 400ms);
    EXPECT_EQ(Log(), "Send:FE A0 00 00 00 A0 \r\n");
}

TEST_F(CommPortWire, ClosedPortSendsNothingAndLogsNothing)
{
    const CCommPort::BYTE frame[] = {0xFE, 0xA0, 0x00, 0x00, 0x00, 0xA0};
    EXPECT_FALSE(port->Send(frame, 0));
    port->Close();
    EXPECT_FALSE(port->IsOpen());
    EXPECT_FALSE(port->Send(frame, 6));
    EXPECT_FALSE(port->Handshake());
    EXPECT_EQ(Log(), "Send:\r\n");
    EXPECT_TRUE(port->Close());
}

TEST_F(CommPortWire, OpenEmptiesTheLogAndADeletedLogStaysGone)
{
    ASSERT_TRUE(port->Handshake());
    ASSERT_FALSE(Log().isEmpty());
    ASSERT_TRUE(port->Open());
    EXPECT_TRUE(QFile::exists(LogPath()));
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_EQ(port->LogPath(), LogPath());

    ASSERT_TRUE(QFile::remove(LogPath()));
    EXPECT_TRUE(port->Handshake());
    EXPECT_FALSE(QFile::exists(LogPath()));
}

TEST_F(CommPortWire, OpenFailsForMissingDevicesAndRatesTheLineCannotTake)
{
    port->SetPortName("/dev/does-not-exist-vantoc");
    EXPECT_FALSE(port->Open());
    EXPECT_FALSE(port->IsOpen());
    EXPECT_FALSE(QFile::exists("/dev/does-not-exist-vantoc"));

    port->SetPortName(QString::fromStdString(sim->SlavePath()));
    port->SetBaudRate(12345);
    EXPECT_FALSE(port->Open());
    port->SetBaudRate(115200);
    EXPECT_TRUE(port->Open());
    EXPECT_TRUE(port->Handshake());

    // Not a tty: configuring must fail rather than pretend.
    port->SetPortName(LogPath());
    EXPECT_FALSE(port->Open());
}
