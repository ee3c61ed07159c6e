// The stirrer protocol's exchanges on CCommPort.
#include "CommPort.h"

using namespace stirrer;

bool CCommPort::VerifyChecksum(const BYTE* data, int length)
{
    return stirrer::VerifyChecksum(data, length);
}

bool CCommPort::Exchange(const Frame& frame, BYTE* reply, int replyLength, int limitMs)
{
    std::lock_guard<std::mutex> guard(m_exchangeLock);
    DiscardStaleInput();
    if (!SendFrame(frame.data(), int(frame.size()), true))
        return false;
    return Receive(reply, replyLength, limitMs);
}

bool CCommPort::Handshake()
{
    BYTE reply[kAckLength] = {};
    return Exchange(BuildCommandFrame(kHandshake), reply, kAckLength, kAckLimitMs)
        && IsGoodAcknowledgement(reply, kAckLength);
}

bool CCommPort::SetSpeed(int rpm)
{
    return SendSpeed(rpm) == EAck::Taken;
}

EAck CCommPort::SendSpeed(int rpm)
{
    BYTE reply[kAckLength] = {};
    if (!Exchange(BuildCommandFrame(kSetSpeed, unsigned(rpm)), reply, kAckLength, kAckLimitMs))
        return EAck::Unknown;
    return ClassifyAcknowledgement(reply, kAckLength);
}

bool CCommPort::QueryStatus(std::unique_ptr<BYTE[]>& pReply, int& nLength)
{
    pReply = std::make_unique<BYTE[]>(kStatusLength);
    nLength = kStatusLength;
    return Exchange(BuildCommandFrame(kQueryStatus), pReply.get(), kStatusLength, kStatusLimitMs)
        && VerifyChecksum(pReply.get(), kStatusLength);
}
