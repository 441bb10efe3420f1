// Feeds arbitrary bytes to the host's parser of viewer messages, as a connection would, and
// the viewer's parser of the admission answer. Besides not crashing: every message parsed
// encodes back to exactly the bytes it was parsed from, so nothing is read past its body and
// no field is taken loosely.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "session/viewer_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> rest(data, size);
    AdmissionAnswer answer;
    std::string reason;
    ParseAdmissionAnswer(rest, &answer, &reason);
    for (;;) {
        ViewerMessage message;
        std::size_t consumed = 0;
        ViewerParse result = ParseViewerMessage(rest, &message, &consumed, &reason);
        if (result != ViewerParse::kMessage) {
            if (consumed != 0 || (result == ViewerParse::kMalformed && reason.empty())) {
                std::abort();
            }
            return 0;
        }
        std::vector<std::uint8_t> again;
        AppendViewerMessage(message, &again);
        if (consumed == 0 || consumed > rest.size() || again.size() != consumed ||
            !std::equal(again.begin(), again.end(), rest.begin())) {
            std::abort();
        }
        rest = rest.subspan(consumed);
    }
}
