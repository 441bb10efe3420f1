// The viewer's messages and the admission answer, as bytes.
#include <gtest/gtest.h>

#include <vector>

#include "session/viewer_wire.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Encode(const ViewerMessage& message) {
    Bytes out;
    AppendViewerMessage(message, &out);
    return out;
}

ViewerParse Parse(const Bytes& bytes, ViewerMessage* message, std::size_t* consumed,
                  std::string* reason) {
    return ParseViewerMessage(bytes, message, consumed, reason);
}

TEST(ViewerWireTest, EveryMessageHasItsBytes) {
    ViewerMessage hello;
    hello.type = ViewerMessageType::kHello;
    hello.hello = ViewerHello{1, 0x8011, 0x0020, 3};
    EXPECT_EQ(Encode(hello), (Bytes{1, 7, 0, 1, 0, 0x11, 0x80, 0x20, 0, 3}));

    ViewerMessage password;
    password.type = ViewerMessageType::kPassword;
    password.text = "pw";
    EXPECT_EQ(Encode(password), (Bytes{2, 2, 0, 'p', 'w'}));

    ViewerMessage request;
    request.type = ViewerMessageType::kBitmapRequest;
    request.bitmapRequest = 0x0102;
    EXPECT_EQ(Encode(request), (Bytes{3, 2, 0, 2, 1}));

    ViewerMessage key;
    key.type = ViewerMessageType::kKey;
    key.key = ViewerKey{0xFF0D, true};  // Return
    EXPECT_EQ(Encode(key), (Bytes{4, 5, 0, 0x0D, 0xFF, 0, 0, 1}));

    ViewerMessage pointer;
    pointer.type = ViewerMessageType::kPointer;
    pointer.pointer = ViewerPointer{640, 0x1234, 0x05, -2};
    EXPECT_EQ(Encode(pointer), (Bytes{5, 6, 0, 0x80, 2, 0x34, 0x12, 5, 0xFE}));

    ViewerMessage clipboard;
    clipboard.type = ViewerMessageType::kClipboard;
    EXPECT_EQ(Encode(clipboard), (Bytes{6, 0, 0}));

    ViewerMessage bye;
    bye.type = ViewerMessageType::kBye;
    EXPECT_EQ(Encode(bye), (Bytes{7, 0, 0}));
}

TEST(ViewerWireTest, ParsesAStreamOfMessagesFedInPieces) {
    ViewerMessage key;
    key.type = ViewerMessageType::kKey;
    key.key = ViewerKey{'a', false};
    ViewerMessage clipboard;
    clipboard.type = ViewerMessageType::kClipboard;
    clipboard.text = std::string("line\0two", 8);
    ViewerMessage pointer;
    pointer.type = ViewerMessageType::kPointer;
    pointer.pointer = ViewerPointer{1, 2, 0x1F, 127};
    Bytes stream;
    for (const ViewerMessage* message : {&key, &clipboard, &pointer}) {
        AppendViewerMessage(*message, &stream);
    }
    // Every proper prefix of the first message asks for more.
    ViewerMessage parsed;
    std::size_t consumed = 0;
    std::string reason;
    for (std::size_t cut = 0; cut < Encode(key).size(); ++cut) {
        Bytes prefix(stream.begin(), stream.begin() + static_cast<long>(cut));
        EXPECT_EQ(Parse(prefix, &parsed, &consumed, &reason), ViewerParse::kNeedMore) << cut;
    }
    std::span<const std::uint8_t> rest(stream);
    ASSERT_EQ(ParseViewerMessage(rest, &parsed, &consumed, &reason), ViewerParse::kMessage);
    EXPECT_EQ(parsed.type, ViewerMessageType::kKey);
    EXPECT_EQ(parsed.key.keysym, 'a');
    EXPECT_FALSE(parsed.key.down);
    rest = rest.subspan(consumed);
    ASSERT_EQ(ParseViewerMessage(rest, &parsed, &consumed, &reason), ViewerParse::kMessage);
    EXPECT_EQ(parsed.text, clipboard.text);
    rest = rest.subspan(consumed);
    ASSERT_EQ(ParseViewerMessage(rest, &parsed, &consumed, &reason), ViewerParse::kMessage);
    EXPECT_EQ(parsed.pointer.buttons, 0x1F);
    EXPECT_EQ(parsed.pointer.wheel, 127);
    EXPECT_EQ(consumed, rest.size());
}

TEST(ViewerWireTest, RefusesWhatCanNeverBeAMessage) {
    const std::vector<std::pair<Bytes, const char*>> bad = {
        {{0, 0, 0}, "unknown message type 0"},
        {{8}, "unknown message type 8"},
        {{1, 6, 0}, "hello message of 6 bytes"},
        {{1, 7, 0, 2, 0, 0, 0, 0, 0, 0}, "protocol version 2"},
        {{2, 0, 0}, "password message of 0 bytes"},
        {{2, 1, 1}, "password message of 257 bytes"},
        {{2, 2, 0, 'a', 0}, "NUL"},
        {{3, 2, 0, 0, 0}, "bitmap request of 0"},
        {{4, 5, 0, 0, 0, 0, 0x20, 1}, "key event out of range"},
        {{4, 5, 0, 'a', 0, 0, 0, 2}, "key event out of range"},
        {{5, 6, 0, 0, 0, 0, 0, 0x20, 0}, "unknown buttons"},
        {{6, 0x01, 0x40}, "clipboard message of 16385 bytes"},
        {{7, 1, 0}, "bye message of 1 bytes"},
    };
    for (const auto& [bytes, why] : bad) {
        ViewerMessage message;
        std::size_t consumed = 99;
        std::string reason;
        EXPECT_EQ(Parse(bytes, &message, &consumed, &reason), ViewerParse::kMalformed) << why;
        EXPECT_NE(reason.find(why), std::string::npos) << reason;
        EXPECT_EQ(consumed, 0u);
    }
    // The longest allowed bodies pass.
    Bytes password{2, 0, 1};
    password.resize(3 + 256, 'x');
    ViewerMessage message;
    std::size_t consumed = 0;
    std::string reason;
    EXPECT_EQ(Parse(password, &message, &consumed, &reason), ViewerParse::kMessage);
    Bytes key{4, 5, 0, 0xFF, 0xFF, 0xFF, 0x1F, 1};
    EXPECT_EQ(Parse(key, &message, &consumed, &reason), ViewerParse::kMessage);
    EXPECT_EQ(message.key.keysym, kMaxKeysym);
}

TEST(ViewerWireTest, AdmissionAnswer) {
    Bytes out;
    AppendAdmissionAnswer(AdmissionAnswer{false, 0x01020304}, &out);
    EXPECT_EQ(out, (Bytes{0x1B, 0x41, 0, 4, 3, 2, 1}));
    AdmissionAnswer answer;
    std::string reason;
    EXPECT_EQ(ParseAdmissionAnswer(std::span(out).first(6), &answer, &reason),
              ViewerParse::kNeedMore);
    ASSERT_EQ(ParseAdmissionAnswer(out, &answer, &reason), ViewerParse::kMessage);
    EXPECT_FALSE(answer.admitted);
    EXPECT_EQ(answer.retryAfterMs, 0x01020304u);
    // A host that starts with anything else (a video frame, say) did not answer.
    EXPECT_EQ(ParseAdmissionAnswer(Bytes{0x1B, 0x55}, &answer, &reason), ViewerParse::kMalformed);
    EXPECT_EQ(ParseAdmissionAnswer(Bytes{0x1B, 0x41, 2, 0, 0, 0, 0}, &answer, &reason),
              ViewerParse::kMalformed);
}

}  // namespace
