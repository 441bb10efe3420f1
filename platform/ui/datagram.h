// The datagrams that carry posted messages between the user's programs: a fixed header of
// signature, message, target window and both parameters, and for a message with a text the
// text right after it (its length in the word parameter). Read from a socket that any program
// of the user can write to, so every datagram is checked before it is believed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace farvane::ui {

inline constexpr std::uint32_t kDatagramMagic = 0x46564D53;      // "FVMS"
inline constexpr std::uint32_t kTextDatagramMagic = 0x46564D54;  // "FVMT"
inline constexpr std::size_t kMaxPostedText = 8192;

struct DatagramHeader {
    std::uint32_t magic;
    std::uint32_t message;
    std::uint64_t target;
    std::uint64_t wParam;
    std::int64_t lParam;
};
static_assert(sizeof(DatagramHeader) == 32, "the header has no padding");

struct ReceivedDatagram {
    unsigned message = 0;
    std::uint64_t target = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    bool hasText = false;
    std::string text;
};

// False for anything that is not a well-formed datagram: a wrong size or signature, a text
// longer than allowed or of another length than the header says.
bool ParseDatagram(const void* bytes, std::size_t size, ReceivedDatagram* out);
// The bytes of a message with a text (at most kMaxPostedText) for the target window handle.
std::string EncodeTextDatagram(unsigned message, std::uint64_t target, const std::string& text);

}  // namespace farvane::ui
