#pragma once

namespace vantoc {

// The program's version as the build found it: "git describe" of the source
// tree (for example "1.0.0-g4f2c9a1e07" or "1.2.0-3-g4f2c9a1e07-dirty"), or
// the project's version outside a git checkout.
const char* BuildVersion();

}  // namespace vantoc
