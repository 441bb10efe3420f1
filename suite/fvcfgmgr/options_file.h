// Reading the options file: the [Options] section's "number=value" lines.
#pragma once

#include <map>
#include <string_view>

namespace farvane::suite {

// Option values by number. Lines outside [Options], comments (';' or '#'), lines without '=',
// numbers that are not decimal integers and values that are not integers (decimal, or
// hexadecimal after 0x) are skipped; a later line for the same number wins. Section names are
// compared without regard to case; blanks around names and values are ignored.
std::map<int, long long> ParseOptions(std::string_view text);

}  // namespace farvane::suite
