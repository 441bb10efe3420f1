// Feeds arbitrary bytes to the gateway's preface parser, as a caller would send them, byte by
// byte as they trickle in. Besides not crashing: the reader is never told to take more than a
// preface holds, a preface parsed encodes back to exactly its bytes, and a parse of a longer
// input agrees with the parse of its start.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "session/gateway_preface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = 0; at < size; ++at) {
        if (GatewayPrefaceSizeSoFar(bytes) > kMaxGatewayPrefaceSize) {
            std::abort();
        }
        bytes.push_back(data[at]);
        GatewayPreface preface;
        std::size_t consumed = 0;
        std::string reason;
        ViewerParse result = ParseGatewayPreface(bytes, &preface, &consumed, &reason);
        if (result == ViewerParse::kNeedMore) {
            if (consumed != 0 || bytes.size() >= GatewayPrefaceSizeSoFar(bytes)) {
                std::abort();
            }
            continue;
        }
        if (result == ViewerParse::kMalformed) {
            if (consumed != 0 || reason.empty()) {
                std::abort();
            }
            return 0;
        }
        std::vector<std::uint8_t> again;
        AppendGatewayPreface(preface, &again);
        if (!IsGatewayName(preface.name) || consumed != bytes.size() || again != bytes) {
            std::abort();
        }
        return 0;
    }
    return 0;
}
