// The digit display's text for any value and precision a program may set.
#include "display/VelDigit.h"

#include <cmath>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(float) + 2) return 0;
    float value;
    std::memcpy(&value, data, sizeof value);
    const int places = static_cast<std::int8_t>(data[sizeof value]);
    const int dots = static_cast<std::int8_t>(data[sizeof value + 1]);
    const bool padding = size > sizeof value + 2 && (data[sizeof value + 2] & 1);

    const QString text = CVelDigit::PrepareString(value, places, dots);
    // Exactly one cell per place, whatever the value.
    if (text.size() != std::max(places, 0)) std::abort();
    for (QChar ch : text) {
        const int cell = CVelDigit::CellForChar(ch, padding, value);
        if (cell < 0 || cell >= CVelDigit::kCellCount) std::abort();
        if (ch.unicode() > 127) std::abort();
    }
    // A whole number that fits is shown exactly, right-aligned.
    if (dots <= 0 && places > 0 && places <= 9 && std::isfinite(value) && value >= 0 && value < 1e6f) {
        const QString whole = QString::number(static_cast<long long>(std::trunc(value)));
        if (whole.size() <= places && text != whole.rightJustified(places, QLatin1Char(' '))) std::abort();
    }
    return 0;
}
