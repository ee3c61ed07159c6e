#include "StirrerProtocol.h"

namespace stirrer {

BYTE SumOf(const BYTE* data, int first, int last)
{
    unsigned sum = 0;
    for (int i = first; i <= last; ++i)
        sum += data[i];
    return BYTE(sum & 0xFF);
}

Frame BuildCommandFrame(BYTE code, unsigned parameter)
{
    Frame frame{};
    frame[0] = kHeader;
    frame[1] = code;
    frame[2] = BYTE((parameter >> 8) & 0xFF);
    frame[3] = BYTE(parameter & 0xFF);
    frame[5] = SumOf(frame.data(), 1, 4);
    return frame;
}

bool VerifyChecksum(const BYTE* data, int length)
{
    if (data == nullptr || length < 2)
        return false;
    return SumOf(data, 1, length - 2) == data[length - 1];
}

bool IsGoodAcknowledgement(const BYTE* reply, int length)
{
    return length == kAckLength && VerifyChecksum(reply, length) && reply[2] == 0x00;
}

EAck ClassifyAcknowledgement(const BYTE* reply, int received)
{
    if (received != kAckLength || !VerifyChecksum(reply, received)) return EAck::Unknown;
    return reply[2] == 0x00 ? EAck::Taken : EAck::Refused;
}

}  // namespace stirrer
