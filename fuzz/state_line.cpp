// Lines other programs send to the run-state endpoint.
#include "ui/StateEndpoint.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray line(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto message = CStateEndpoint::ParseLine(line);
    if (!message) return 0;
    // Only one bounded line of the documented shape passes.
    if (line.size() > CStateEndpoint::kMaxLine || !line.startsWith("STATE ") || !line.endsWith('\n')
        || line.count('\n') != 1)
        std::abort();
    // What it means survives the client's formatting unchanged.
    const QByteArray formatted = CStateEndpoint::FormatLine(message->nMotor, message->nStatus);
    const auto again = CStateEndpoint::ParseLine(formatted);
    if (!again || again->nMotor != message->nMotor || again->nStatus != message->nStatus) std::abort();
    return 0;
}
