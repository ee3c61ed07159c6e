// How replies are collected: chunks, extra bytes, silence, refusals.
#include "support/SimulatedStirrer.h"

#include <chrono>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class CommPortReceive : public SimulatedStirrerTest
{
};

TEST_F(CommPortReceive, EightBytesForSixAreAllLoggedButOnlySixKept)
{
    sim->SendRaw({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08});
    CCommPort::BYTE buffer[6] = {};
    ASSERT_TRUE(port->Receive(buffer, 6, 2000));
    EXPECT_EQ(std::vector<CCommPort::BYTE>(buffer, buffer + 6),
              (std::vector<CCommPort::BYTE>{0x01, 0x02, 0x03, 0x04, 0x05, 0x06}));
    EXPECT_EQ(Log(), "Receive:01 02 03 04 05 06 07 08 \r\n");
    // The two extra bytes are gone, not kept for the next receive.
    EXPECT_FALSE(port->Receive(buffer, 1, 200));

    sim->InjectNext(kFaultExtra);
    EXPECT_TRUE(port->Handshake());
    EXPECT_TRUE(Log().endsWith("Receive:FE A0 00 00 00 A0 55 AA \r\n"));
}

TEST_F(CommPortReceive, ChunksOfOneReplyShareOneLogLine)
{
    sim->InjectNext(kFaultSplit);
    std::unique_ptr<CCommPort::BYTE[]> reply;
    int length = 0;
    ASSERT_TRUE(port->QueryStatus(reply, length));
    const QList<QByteArray> lines = Log().split('\n');
    ASSERT_EQ(lines.size(), 3);  // send, receive, and nothing after the last CR LF
    EXPECT_TRUE(lines[1].startsWith("Receive:FE A2 "));
    EXPECT_EQ(lines[1].size(), QByteArray("Receive:").size() + 11 * 3 + 1);
    EXPECT_TRUE(lines[2].isEmpty());
}

TEST_F(CommPortReceive, SilenceFailsAfterTheLimitWithAnEmptyReceiveLine)
{
    sim->InjectNext(kFaultDrop);
    const auto start = Clock::now();
    EXPECT_FALSE(port->Handshake());
    const auto took = Clock::now() - start;
    EXPECT_GE(took, 2600ms);  // 600 ms of frame, then the 2000 ms limit
    EXPECT_LT(took, 5000ms);
    EXPECT_EQ(Log(), "Send:FE A0 00 00 00 A0 \r\nReceive:\r\n");
}

TEST_F(CommPortReceive, AcknowledgementsFailOnRefusalOrBadChecksumButIgnoreTheLeadByte)
{
    sim->InjectNext(kFaultRefuse);
    EXPECT_FALSE(port->SetSpeed(200));
    sim->InjectNext(kFaultCorrupt);
    EXPECT_FALSE(port->Handshake());
    sim->InjectNext(kFaultWrongHeader);
    EXPECT_TRUE(port->SetSpeed(300));
    EXPECT_TRUE(Log().contains("Receive:FE B1 01 00 C8 7A \r\n"));
    EXPECT_TRUE(Log().contains("Receive:00 B1 00 01 2C DE \r\n"));
}

TEST_F(CommPortReceive, StatusNeedsElevenBytesAndTheCallerAlwaysGetsTheBlock)
{
    std::unique_ptr<CCommPort::BYTE[]> reply;
    int length = 0;
    sim->InjectNext(kFaultCorrupt);
    EXPECT_FALSE(port->QueryStatus(reply, length));
    EXPECT_NE(reply, nullptr);
    EXPECT_EQ(length, 11);

    reply.reset();
    length = 0;
    sim->InjectNext(kFaultShort);
    EXPECT_FALSE(port->QueryStatus(reply, length));
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(length, 11);
    EXPECT_EQ(reply[0], 0xFE);  // what did arrive stays in the block
    EXPECT_EQ(reply[1], 0xA2);

    EXPECT_TRUE(port->QueryStatus(reply, length));
    EXPECT_TRUE(CCommPort::VerifyChecksum(reply.get(), length));
}
