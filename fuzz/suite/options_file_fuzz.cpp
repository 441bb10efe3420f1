// The configuration manager's options-file parser on arbitrary bytes: it must neither crash
// nor keep a value for a line it could not read as a whole.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "suite/fvcfgmgr/options_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& [number, value] : farvane::suite::ParseOptions(text)) {
        if (number < 0) {
            __builtin_trap();
        }
        (void)value;
    }
    return 0;
}
