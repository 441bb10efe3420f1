// The gateway file's parser on arbitrary bytes: it must neither crash nor accept a port it
// could not read as a whole; a file it refuses is refused with a reason.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "suite/fvses32/gateway_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    GatewayFile file;
    std::string error;
    if (!ParseGatewayFile(text, &file, &error) && error.empty()) {
        std::abort();
    }
    return 0;
}
