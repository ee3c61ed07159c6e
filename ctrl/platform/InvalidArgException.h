#pragma once

#include "platform/QuindleExport.h"

#include <stdexcept>

namespace plat {

// Raised for a bad index into one of the library's arrays.
class QUINDLE_EXPORT CInvalidArgException : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

}  // namespace plat
