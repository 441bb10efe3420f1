// One run of the scanner as a host session runs it, with this program playing the session
// library, the host pilot and the other side.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "options.h"

namespace fvscan {

struct RunResult {
    bool ok = false;
    std::string error;
    std::vector<std::uint8_t> stream;  // every byte the scanner transmitted
    unsigned long passes = 0;
};

RunResult RunScanner(const Options& options);

}  // namespace fvscan
