#include "platform/ui/datagram.h"

#include <cstring>

namespace farvane::ui {

bool ParseDatagram(const void* bytes, std::size_t size, ReceivedDatagram* out) {
    DatagramHeader header{};
    if (bytes == nullptr || size < sizeof header) {
        return false;
    }
    std::memcpy(&header, bytes, sizeof header);
    out->message = header.message;
    out->target = header.target;
    out->wParam = header.wParam;
    out->lParam = header.lParam;
    out->hasText = false;
    out->text.clear();
    if (header.magic == kDatagramMagic) {
        return size == sizeof header;
    }
    if (header.magic != kTextDatagramMagic || header.wParam > kMaxPostedText ||
        size != sizeof header + header.wParam) {
        return false;
    }
    out->hasText = true;
    out->text.assign(static_cast<const char*>(bytes) + sizeof header,
                     static_cast<std::size_t>(header.wParam));
    return true;
}

std::string EncodeTextDatagram(unsigned message, std::uint64_t target, const std::string& text) {
    DatagramHeader header{kTextDatagramMagic, message, target, text.size(), 0};
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes += text;
    return bytes;
}

}  // namespace farvane::ui
