// The stirrer's replies as they come off the line: checksums, acknowledgement
// results and the settling rule, checked against a plain recomputation.
#include "link/AcquisitionWorker.h"
#include "link/SampleSink.h"
#include "link/StirrerProtocol.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct LastSample : ISampleSink {
    void OnSample(int speed, int torque) override
    {
        nSpeed = speed;
        nTorque = torque;
        ++nCount;
    }
    int nSpeed = 0;
    int nTorque = 0;
    int nCount = 0;
};

bool SumHolds(const std::uint8_t* data, int length)
{
    unsigned sum = 0;
    for (int i = 1; i < length - 1; ++i) sum += data[i];
    return length >= 2 && (sum & 0xFF) == data[length - 1];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace stirrer;
    const int length = static_cast<int>(std::min<std::size_t>(size, 64));
    if (VerifyChecksum(data, length) != SumHolds(data, length)) std::abort();

    if (length >= kAckLength) {
        const EAck ack = ClassifyAcknowledgement(data, kAckLength);
        const bool good = IsGoodAcknowledgement(data, kAckLength);
        if ((ack == EAck::Taken) != good) std::abort();
        if (ack == EAck::Refused && (!SumHolds(data, kAckLength) || data[2] == 0)) std::abort();
        if (ack == EAck::Unknown && SumHolds(data, kAckLength)) std::abort();
    }
    // A short reply is never taken for anything.
    if (ClassifyAcknowledgement(data, length < kAckLength ? length : kAckLength - 1) != EAck::Unknown) std::abort();

    // Consecutive 11-byte replies through one worker, as a run would see them.
    LastSample sink;
    CAcquisitionWorker worker;
    worker.SetOwner(&sink);
    for (std::size_t at = 0; at + kStatusLength <= size; at += kStatusLength) {
        const std::uint8_t* reply = data + at;
        const int before = sink.nCount;
        worker.DecodeStatus(reply, kStatusLength);
        if (sink.nCount != before + 1) std::abort();
        const int s = Word(reply, 2);
        const int a = Word(reply, 4);
        // Raw or smoothed, the shown speed lies between set-point and measurement.
        if (sink.nSpeed < std::min(s, a) || sink.nSpeed > std::max(s, a)) std::abort();
        if (sink.nTorque != Word(reply, 6) || sink.nTorque < 0 || sink.nTorque > 65535) std::abort();
    }
    const int count = sink.nCount;
    worker.DecodeStatus(data, std::min<int>(length, kStatusLength - 1));
    if (sink.nCount != count) std::abort();
    return 0;
}
