#pragma once

#include "platform/QuindleExport.h"

namespace plat {

// The library's version as "major.minor.patch".
QUINDLE_EXPORT const char* QuindleVersion();

}  // namespace plat
