#pragma once

#include <array>
#include <cstdint>

// Framing of the stirrer's command protocol: bytes in, values out, no port.
namespace stirrer {

using BYTE = std::uint8_t;

inline constexpr BYTE kHeader = 0xFE;
inline constexpr BYTE kHandshake = 0xA0;
inline constexpr BYTE kQueryStatus = 0xA2;
inline constexpr BYTE kSetSpeed = 0xB1;

inline constexpr int kFrameLength = 6;
inline constexpr int kAckLength = 6;
inline constexpr int kStatusLength = 11;
inline constexpr int kAckLimitMs = 2000;
inline constexpr int kStatusLimitMs = 5000;

using Frame = std::array<BYTE, kFrameLength>;

// 8-bit sum of bytes [first, last] of data.
BYTE SumOf(const BYTE* data, int first, int last);

// A command frame: header, code, parameter high and low byte, 0, checksum.
// The parameter is truncated to 16 bits.
Frame BuildCommandFrame(BYTE code, unsigned parameter = 0);

// True when the sum of bytes 1 to n-2 equals byte n-1; byte 0 never counts.
// Frames shorter than 2 bytes never verify.
bool VerifyChecksum(const BYTE* data, int length);

// An acknowledgement is good when its checksum holds and its result byte is 0.
bool IsGoodAcknowledgement(const BYTE* reply, int length);

// How a command's acknowledgement ended. Only a whole reply with a good
// checksum and a non-zero result byte is a clean refusal; after a missing,
// short or broken reply the instrument may well have taken the command.
enum class EAck { Taken, Refused, Unknown };
// received: the bytes that arrived (fewer than kAckLength is Unknown).
EAck ClassifyAcknowledgement(const BYTE* reply, int received);

// Unsigned 16-bit field, high byte first.
inline int Word(const BYTE* data, int offset)
{
    return data[offset] * 256 + data[offset + 1];
}

}  // namespace stirrer
