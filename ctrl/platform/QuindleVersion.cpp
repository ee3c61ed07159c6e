#include "platform/QuindleVersion.h"

namespace plat {

const char* QuindleVersion()
{
    return "1.0.0";
}

}  // namespace plat
