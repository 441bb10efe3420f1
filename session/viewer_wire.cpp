#include "session/viewer_wire.h"

#include <cstring>

namespace {

std::uint16_t Word(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

std::uint32_t DoubleWord(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

void PutWord(std::vector<std::uint8_t>* out, std::uint16_t value) {
    out->push_back(static_cast<std::uint8_t>(value));
    out->push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutDoubleWord(std::vector<std::uint8_t>* out, std::uint32_t value) {
    PutWord(out, static_cast<std::uint16_t>(value));
    PutWord(out, static_cast<std::uint16_t>(value >> 16));
}

ViewerParse Malformed(std::string* reason, std::string text) {
    *reason = std::move(text);
    return ViewerParse::kMalformed;
}

// The body lengths a type allows.
bool LengthFits(ViewerMessageType type, std::size_t length) {
    switch (type) {
        case ViewerMessageType::kHello:
            return length == 7;
        case ViewerMessageType::kPassword:
            return length >= 1 && length <= kMaxPasswordBytes;
        case ViewerMessageType::kBitmapRequest:
            return length == 2;
        case ViewerMessageType::kKey:
            return length == 5;
        case ViewerMessageType::kPointer:
            return length == 6;
        case ViewerMessageType::kClipboard:
            return length <= kMaxClipboardBytes;
        case ViewerMessageType::kBye:
            return length == 0;
    }
    return false;
}

const char* TypeName(ViewerMessageType type) {
    switch (type) {
        case ViewerMessageType::kHello:
            return "hello";
        case ViewerMessageType::kPassword:
            return "password";
        case ViewerMessageType::kBitmapRequest:
            return "bitmap request";
        case ViewerMessageType::kKey:
            return "key";
        case ViewerMessageType::kPointer:
            return "pointer";
        case ViewerMessageType::kClipboard:
            return "clipboard";
        case ViewerMessageType::kBye:
            return "bye";
    }
    return "unknown";
}

// Reads the fields of a body whose length already fits its type.
ViewerParse ReadBody(ViewerMessageType type, const std::uint8_t* body, std::size_t length,
                     ViewerMessage* message, std::string* reason) {
    message->type = type;
    switch (type) {
        case ViewerMessageType::kHello:
            message->hello.version = Word(body);
            message->hello.capabilities = Word(body + 2);
            message->hello.options = Word(body + 4);
            message->hello.reducedMode = body[6];
            if (message->hello.version != kViewerProtocolVersion) {
                return Malformed(reason, "hello of protocol version " +
                                             std::to_string(message->hello.version) + ", not " +
                                             std::to_string(kViewerProtocolVersion));
            }
            break;
        case ViewerMessageType::kPassword:
            if (std::memchr(body, 0, length) != nullptr) {
                return Malformed(reason, "password with a NUL byte");
            }
            message->text.assign(reinterpret_cast<const char*>(body), length);
            break;
        case ViewerMessageType::kBitmapRequest:
            message->bitmapRequest = Word(body);
            if (message->bitmapRequest == 0) {
                return Malformed(reason, "bitmap request of 0");
            }
            break;
        case ViewerMessageType::kKey:
            message->key.keysym = DoubleWord(body);
            if (message->key.keysym > kMaxKeysym || body[4] > 1) {
                return Malformed(reason, "key event out of range");
            }
            message->key.down = body[4] == 1;
            break;
        case ViewerMessageType::kPointer:
            message->pointer.x = Word(body);
            message->pointer.y = Word(body + 2);
            message->pointer.buttons = body[4];
            message->pointer.wheel = static_cast<std::int8_t>(body[5]);
            if ((message->pointer.buttons & ~kPointerButtonMask) != 0) {
                return Malformed(reason, "pointer event with unknown buttons");
            }
            break;
        case ViewerMessageType::kClipboard:
            message->text.assign(reinterpret_cast<const char*>(body), length);
            break;
        case ViewerMessageType::kBye:
            break;
    }
    return ViewerParse::kMessage;
}

}  // namespace

ViewerParse ParseViewerMessage(std::span<const std::uint8_t> bytes, ViewerMessage* message,
                               std::size_t* consumed, std::string* reason) {
    *consumed = 0;
    if (bytes.empty()) {
        return ViewerParse::kNeedMore;
    }
    const std::uint8_t typeByte = bytes[0];
    if (typeByte < static_cast<std::uint8_t>(ViewerMessageType::kHello) ||
        typeByte > static_cast<std::uint8_t>(ViewerMessageType::kBye)) {
        return Malformed(reason, "unknown message type " + std::to_string(typeByte));
    }
    if (bytes.size() < kViewerHeaderSize) {
        return ViewerParse::kNeedMore;
    }
    const auto type = static_cast<ViewerMessageType>(typeByte);
    const std::size_t length = Word(bytes.data() + 1);
    if (!LengthFits(type, length)) {
        return Malformed(reason, std::string(TypeName(type)) + " message of " +
                                     std::to_string(length) + " bytes");
    }
    if (bytes.size() < kViewerHeaderSize + length) {
        return ViewerParse::kNeedMore;
    }
    ViewerParse result = ReadBody(type, bytes.data() + kViewerHeaderSize, length, message, reason);
    if (result == ViewerParse::kMessage) {
        *consumed = kViewerHeaderSize + length;
    }
    return result;
}

void AppendViewerMessage(const ViewerMessage& message, std::vector<std::uint8_t>* out) {
    std::vector<std::uint8_t> body;
    switch (message.type) {
        case ViewerMessageType::kHello:
            PutWord(&body, message.hello.version);
            PutWord(&body, message.hello.capabilities);
            PutWord(&body, message.hello.options);
            body.push_back(message.hello.reducedMode);
            break;
        case ViewerMessageType::kPassword:
        case ViewerMessageType::kClipboard:
            body.assign(message.text.begin(), message.text.end());
            break;
        case ViewerMessageType::kBitmapRequest:
            PutWord(&body, message.bitmapRequest);
            break;
        case ViewerMessageType::kKey:
            PutDoubleWord(&body, message.key.keysym);
            body.push_back(message.key.down ? 1 : 0);
            break;
        case ViewerMessageType::kPointer:
            PutWord(&body, message.pointer.x);
            PutWord(&body, message.pointer.y);
            body.push_back(message.pointer.buttons);
            body.push_back(static_cast<std::uint8_t>(message.pointer.wheel));
            break;
        case ViewerMessageType::kBye:
            break;
    }
    out->push_back(static_cast<std::uint8_t>(message.type));
    PutWord(out, static_cast<std::uint16_t>(body.size()));
    out->insert(out->end(), body.begin(), body.end());
}

void AppendAdmissionAnswer(const AdmissionAnswer& answer, std::vector<std::uint8_t>* out) {
    out->push_back(kAdmissionAnswerMark[0]);
    out->push_back(kAdmissionAnswerMark[1]);
    out->push_back(answer.admitted ? 1 : 0);
    PutDoubleWord(out, answer.retryAfterMs);
}

ViewerParse ParseAdmissionAnswer(std::span<const std::uint8_t> bytes, AdmissionAnswer* answer,
                                 std::string* reason) {
    for (std::size_t at = 0; at < 2 && at < bytes.size(); ++at) {
        if (bytes[at] != kAdmissionAnswerMark[at]) {
            return Malformed(reason, "the host did not answer the admission");
        }
    }
    if (bytes.size() < kAdmissionAnswerSize) {
        return ViewerParse::kNeedMore;
    }
    if (bytes[2] > 1) {
        return Malformed(reason, "admission answer with verdict " + std::to_string(bytes[2]));
    }
    answer->admitted = bytes[2] == 1;
    answer->retryAfterMs = DoubleWord(bytes.data() + 3);
    return ViewerParse::kMessage;
}
