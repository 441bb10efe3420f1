// The host pilot's own module file, recorded when the library is loaded.
#pragma once

#include <string>

namespace farvane::hostpilot {

// Full path of the loaded fvhpilot library; empty if the loader could not tell.
const std::string& ModulePath();

}  // namespace farvane::hostpilot
