#include "SimThickening.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool Number(const char* text, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0';
}

}  // namespace

bool SimThickening::Parse(const std::string& t, SimThickening& value)
{
    const size_t a = t.find(':');
    const size_t b = a == std::string::npos ? a : t.find(':', a + 1);
    if (b == std::string::npos || t.find(':', b + 1) != std::string::npos)
        return false;
    SimThickening k;
    k.on = true;
    if (!Number(t.substr(0, a).c_str(), k.fromNcm) || !Number(t.substr(a + 1, b - a - 1).c_str(), k.toNcm)
        || !Number(t.substr(b + 1).c_str(), k.tauS))
        return false;
    const auto good = [](double v) { return std::isfinite(v) && v >= 0; };
    if (!good(k.fromNcm) || !good(k.toNcm) || !good(k.tauS))
        return false;
    value = k;
    return true;
}
