// The datagrams between programs, as bytes: a plain message, a message with a text, and what
// the reader refuses.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/ui/datagram.h"
#include "platform/ui/interprocess.h"
#include "ui_test_support.h"

namespace farvane::ui::testing {
namespace {

TEST(DatagramTest, ATextDatagramIsTheHeaderThenTheText) {
    std::string bytes = EncodeTextDatagram(1524, 0x1122334455667788ull, "a.txt b.txt");
    ASSERT_EQ(bytes.size(), 32u + 11u);
    const unsigned char expected[16] = {0x54, 0x4D, 0x56, 0x46, 0xF4, 0x05, 0x00, 0x00,
                                        0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11};
    EXPECT_EQ(std::memcmp(bytes.data(), expected, sizeof expected), 0);
    EXPECT_EQ(static_cast<unsigned char>(bytes[16]), 11);  // the length in the word parameter
    EXPECT_EQ(bytes.substr(32), "a.txt b.txt");
    ReceivedDatagram datagram;
    ASSERT_TRUE(ParseDatagram(bytes.data(), bytes.size(), &datagram));
    EXPECT_TRUE(datagram.hasText);
    EXPECT_EQ(datagram.message, 1524u);
    EXPECT_EQ(datagram.text, "a.txt b.txt");
}

TEST(DatagramTest, MalformedDatagramsAreRefused) {
    std::string bytes = EncodeTextDatagram(1, 2, "text");
    ReceivedDatagram datagram;
    EXPECT_FALSE(ParseDatagram(bytes.data(), bytes.size() - 1, &datagram));  // cut short
    std::string longer = bytes + "x";
    EXPECT_FALSE(ParseDatagram(longer.data(), longer.size(), &datagram));  // more than it says
    std::string huge = EncodeTextDatagram(1, 2, std::string(kMaxPostedText + 1, 'h'));
    EXPECT_FALSE(ParseDatagram(huge.data(), huge.size(), &datagram));
    bytes[0] = 'X';
    EXPECT_FALSE(ParseDatagram(bytes.data(), bytes.size(), &datagram));  // signature
    DatagramHeader plain{kDatagramMagic, 5, 6, 7, -8};
    EXPECT_TRUE(ParseDatagram(&plain, sizeof plain, &datagram));
    EXPECT_FALSE(datagram.hasText);
    EXPECT_EQ(datagram.lParam, -8);
    EXPECT_FALSE(ParseDatagram(&plain, sizeof plain - 1, &datagram));
}

class PostedTextTest : public HeadlessTest {};

TEST_F(PostedTextTest, ATextPostedToAWindowOfThisProgramIsTakenOnce) {
    HWND window = CreateRecorder();
    ASSERT_TRUE(PostTextMessage(window, WM_USER + 7, "hello"));
    PumpPendingMessages();
    WPARAM ticket = 0;
    for (const Received& r : Log()) {
        if (r.message == WM_USER + 7) {
            ticket = r.wParam;
        }
    }
    std::string text;
    ASSERT_TRUE(TakePostedText(ticket, &text));
    EXPECT_EQ(text, "hello");
    EXPECT_FALSE(TakePostedText(ticket, &text));
    EXPECT_FALSE(PostTextMessage(window, WM_USER, std::string(kMaxPostedText + 1, 'x')));
}

}  // namespace
}  // namespace farvane::ui::testing
