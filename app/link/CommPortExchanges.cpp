// The stirrer protocol's exchanges on CCommPort.
#include "CommPort.h"

using namespace stirrer;

bool CCommPort::VerifyChecksum(const BYTE* data, int length)
{
    return stirrer::VerifyChecksum(data, length);
}

bool CCommPort::Exchange(const Frame& frame, BYTE* reply, int replyLength, int limitMs, int* received)
{
    std::lock_guard<std::mutex> guard(m_exchangeLock);
    if (received) *received = -1;
    DiscardStaleInput();
    if (!SendFrame(frame.data(), int(frame.size()), true))
        return false;
    const bool ok = Receive(reply, replyLength, limitMs);
    if (received) *received = m_nReceived;
    return ok;
}

bool CCommPort::Handshake()
{
    BYTE reply[kAckLength] = {};
    int received = -1;
    const bool ok = Exchange(BuildCommandFrame(kHandshake), reply, kAckLength, kAckLimitMs, &received)
        && IsGoodAcknowledgement(reply, kAckLength);
    SetProblem(ok ? CPortProblem() : CPortProblem::Handshake(DevicePath(PortName()), BaudRate(), received));
    return ok;
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
