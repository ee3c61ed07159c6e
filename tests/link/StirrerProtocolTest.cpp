#include "link/CommPort.h"
#include "link/StirrerProtocol.h"

#include <gtest/gtest.h>
#include <vector>

using namespace stirrer;

namespace {

struct FrameCase
{
    BYTE code;
    unsigned parameter;
    Frame expected;
};

}  // namespace

TEST(StirrerProtocol, CommandFramesCarryParameterHighByteFirstAndChecksum)
{
    const FrameCase cases[] = {
        {kHandshake, 0, {0xFE, 0xA0, 0x00, 0x00, 0x00, 0xA0}},
        {kQueryStatus, 0, {0xFE, 0xA2, 0x00, 0x00, 0x00, 0xA2}},
        {kSetSpeed, 0, {0xFE, 0xB1, 0x00, 0x00, 0x00, 0xB1}},
        {kSetSpeed, 200, {0xFE, 0xB1, 0x00, 0xC8, 0x00, 0x79}},
        {kSetSpeed, 2199, {0xFE, 0xB1, 0x08, 0x97, 0x00, 0x50}},
        {kSetSpeed, 0x1FFFF, {0xFE, 0xB1, 0xFF, 0xFF, 0x00, 0xAF}},
    };
    for (const FrameCase& c : cases)
        EXPECT_EQ(BuildCommandFrame(c.code, c.parameter), c.expected) << "parameter " << c.parameter;
}

TEST(StirrerProtocol, AcknowledgementNeedsChecksumAndZeroResultButNotTheLeadByte)
{
    const BYTE good[] = {0xFE, 0xB1, 0x00, 0x00, 0x00, 0xB1};
    const BYTE refused[] = {0xFE, 0xB1, 0x01, 0x00, 0x00, 0xB2};
    const BYTE wrongHeader[] = {0x17, 0xB1, 0x00, 0x00, 0x00, 0xB1};
    const BYTE badSum[] = {0xFE, 0xB1, 0x00, 0x00, 0x00, 0xB2};
    EXPECT_TRUE(IsGoodAcknowledgement(good, 6));
    EXPECT_TRUE(VerifyChecksum(refused, 6));
    EXPECT_FALSE(IsGoodAcknowledgement(refused, 6));
    EXPECT_TRUE(IsGoodAcknowledgement(wrongHeader, 6));
    EXPECT_FALSE(IsGoodAcknowledgement(badSum, 6));
    EXPECT_FALSE(IsGoodAcknowledgement(good, 5));
}

TEST(StirrerProtocol, StatusChecksumIsTheLowByteOfTheSumOfBytesOneToNine)
{
    // Bytes 1 to 9 sum to 0x1A3.
    BYTE reply[11] = {0x55, 0xA2, 0x00, 0xC8, 0x00, 0x39, 0x00, 0x00, 0x00, 0x00, 0x00};
    reply[10] = 0xA3;
    EXPECT_TRUE(CCommPort::VerifyChecksum(reply, 11));
    reply[10] = 0xA4;
    EXPECT_FALSE(CCommPort::VerifyChecksum(reply, 11));
    reply[0] = 0x00;  // byte 0 never counts
    reply[10] = 0xA3;
    EXPECT_TRUE(CCommPort::VerifyChecksum(reply, 11));
    EXPECT_FALSE(CCommPort::VerifyChecksum(reply, 1));
    EXPECT_FALSE(CCommPort::VerifyChecksum(nullptr, 11));
}

TEST(StirrerProtocol, PortNamesMapToDevicePaths)
{
    EXPECT_EQ(CCommPort::DevicePath("com1"), "/dev/ttyS0");
    EXPECT_EQ(CCommPort::DevicePath("COM10"), "/dev/ttyS9");
    EXPECT_EQ(CCommPort::DevicePath("/dev/pts/4"), "/dev/pts/4");
    EXPECT_EQ(CCommPort::DevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(CCommPort::DevicePath("COM0"), "/dev/COM0");
    EXPECT_EQ(CCommPort::DevicePath(""), "");
}
