// Feeds any bytes to the datagram reader; a datagram with a text must encode back to the same
// bytes, and no accepted text may exceed the limit.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/ui/datagram.h"

using namespace farvane::ui;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReceivedDatagram datagram;
    if (!ParseDatagram(data, size, &datagram)) {
        return 0;
    }
    if (datagram.hasText) {
        if (datagram.text.size() > kMaxPostedText) {
            std::abort();
        }
        std::string again = EncodeTextDatagram(datagram.message, datagram.target, datagram.text);
        // The reader ignores the long parameter of a text datagram; the rest must match.
        if (again.size() != size || std::memcmp(again.data() + 16, data + 16, 8) != 0 ||
            std::memcmp(again.data() + 32, data + 32, size - 32) != 0) {
            std::abort();
        }
    } else if (size != sizeof(DatagramHeader)) {
        std::abort();
    }
    return 0;
}
