// The messages a viewer sends to a host, and the host's one answer to the viewer's admission.
// Both ends use these definitions; the video stream that follows the answer is defined by the
// video wire.
//
// A connection starts with the viewer's hello and password. The host answers with an
// admission answer; when admitted, the video stream follows towards the viewer and the
// viewer's other messages (bitmap request, input, clipboard, bye) follow towards the host.
//
// Every viewer message is a 3-byte header, the type and the body length (16-bit,
// little-endian), followed by the body. All multi-byte fields are little-endian.
//
//   type  body                                                          body length
//   1     hello: version (16), capability word (16), option word (16),  7
//         reduced colour mode (8)
//   2     password: the password's bytes (no NUL)                       1 to 256
//   3     bitmap request: the request word (16, not 0)                  2
//   4     key: X keysym (32, at most 0x1FFFFFFF), down (8: 1) or up (0) 5
//   5     pointer: x (16), y (16), buttons (8: bit 0 left, 1 middle,    6
//         2 right, 3 back, 4 forward), wheel (signed 8: clicks away
//         from the user)
//   6     clipboard: text (bytes as they are)                           0 to 16384
//   7     bye                                                           0
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr std::uint16_t kViewerProtocolVersion = 1;
inline constexpr std::size_t kViewerHeaderSize = 3;
inline constexpr std::size_t kMaxPasswordBytes = 256;
inline constexpr std::size_t kMaxClipboardBytes = 16384;
inline constexpr std::uint32_t kMaxKeysym = 0x1FFFFFFF;
inline constexpr std::uint8_t kPointerButtonMask = 0x1F;

enum class ViewerMessageType : std::uint8_t {
    kHello = 1,
    kPassword = 2,
    kBitmapRequest = 3,
    kKey = 4,
    kPointer = 5,
    kClipboard = 6,
    kBye = 7,
};

struct ViewerHello {
    std::uint16_t version = kViewerProtocolVersion;
    std::uint16_t capabilities = 0;  // becomes the host's remote capability word
    std::uint16_t options = 0;       // becomes the host's remote option word
    std::uint8_t reducedMode = 0;    // the reduced colour mode the viewer wants
};

struct ViewerKey {
    std::uint32_t keysym = 0;
    bool down = false;
};

struct ViewerPointer {
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    std::uint8_t buttons = 0;
    std::int8_t wheel = 0;
};

// One message; the fields that belong to `type` are meaningful.
struct ViewerMessage {
    ViewerMessageType type = ViewerMessageType::kBye;
    ViewerHello hello;
    std::uint16_t bitmapRequest = 0;
    ViewerKey key;
    ViewerPointer pointer;
    std::string text;  // the password or the clipboard text
};

enum class ViewerParse {
    kMessage,    // one message was parsed; `consumed` bytes belong to it
    kNeedMore,   // the bytes so far are the start of a message
    kMalformed,  // the bytes can never be a message; `reason` says why
};

// Parses the first message in `bytes`. The checks are those of the table above: a known type,
// the body length of that type, fields within their ranges.
ViewerParse ParseViewerMessage(std::span<const std::uint8_t> bytes, ViewerMessage* message,
                               std::size_t* consumed, std::string* reason);

// Appends the encoded message to `out`. The message must be valid (as the parser checks).
void AppendViewerMessage(const ViewerMessage& message, std::vector<std::uint8_t>* out);

// The host's answer to an admission: 0x1B 0x41, the verdict (1 admitted, 0 refused), and the
// time in milliseconds (32-bit) before the host takes another attempt from the viewer's
// address (0 when admitted).
inline constexpr std::size_t kAdmissionAnswerSize = 7;
inline constexpr std::uint8_t kAdmissionAnswerMark[2] = {0x1B, 0x41};

struct AdmissionAnswer {
    bool admitted = false;
    std::uint32_t retryAfterMs = 0;
};

void AppendAdmissionAnswer(const AdmissionAnswer& answer, std::vector<std::uint8_t>* out);
// kMessage with `consumed` = kAdmissionAnswerSize, kNeedMore, or kMalformed.
ViewerParse ParseAdmissionAnswer(std::span<const std::uint8_t> bytes, AdmissionAnswer* answer,
                                 std::string* reason);
