// The gateway's preface and answers as bytes, and how early the gateway can tell rubbish.
#include <gtest/gtest.h>

#include "session/gateway_preface.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

ViewerParse Parse(const Bytes& bytes, GatewayPreface* preface = nullptr,
                  std::size_t* consumed = nullptr, std::string* reason = nullptr) {
    GatewayPreface ignored;
    std::size_t used = 0;
    std::string why;
    ViewerParse result = ParseGatewayPreface(bytes, preface ? preface : &ignored,
                                             consumed ? consumed : &used, reason ? reason : &why);
    return result;
}

TEST(GatewayPreface, IsTheMarkVersionRoleAndName) {
    Bytes bytes;
    AppendGatewayPreface(GatewayPreface{GatewayRole::kHost, "desk-2"}, &bytes);
    EXPECT_EQ(bytes, (Bytes{0x1B, 0x47, 1, 1, 6, 'd', 'e', 's', 'k', '-', '2'}));
    // A viewer's, followed by what would come after it: only the preface is taken.
    bytes.clear();
    AppendGatewayPreface(GatewayPreface{GatewayRole::kViewer, "a.B_9"}, &bytes);
    bytes.push_back(0x16);
    GatewayPreface preface;
    std::size_t consumed = 0;
    ASSERT_EQ(Parse(bytes, &preface, &consumed), ViewerParse::kMessage);
    EXPECT_EQ(consumed, 10u);
    EXPECT_EQ(preface.role, GatewayRole::kViewer);
    EXPECT_EQ(preface.name, "a.B_9");
    EXPECT_EQ(GatewayPrefaceSizeSoFar(bytes), 10u);
}

TEST(GatewayPreface, EveryStartOfAPrefaceWaitsForMore) {
    Bytes whole;
    AppendGatewayPreface(GatewayPreface{GatewayRole::kHost, std::string(63, 'x')}, &whole);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        Bytes start(whole.begin(), whole.begin() + static_cast<long>(size));
        std::size_t consumed = 99;
        EXPECT_EQ(Parse(start, nullptr, &consumed), ViewerParse::kNeedMore) << size;
        EXPECT_EQ(consumed, 0u);
        // The reader never asks for more than the preface holds.
        EXPECT_LE(GatewayPrefaceSizeSoFar(start), whole.size());
    }
    EXPECT_EQ(Parse(whole), ViewerParse::kMessage);
}

TEST(GatewayPreface, RubbishIsRefusedAsSoonAsItShows) {
    const std::vector<Bytes> bad = {
        {0x16},                            // a TLS hello where the preface should be
        {0x1B, 0x55},                      // another mark
        {0x1B, 0x47, 2},                   // a version not known
        {0x1B, 0x47, 1, 0},                // no role
        {0x1B, 0x47, 1, 3},                // a role not known
        {0x1B, 0x47, 1, 1, 0},             // an empty name
        {0x1B, 0x47, 1, 1, 64},            // a name too long
        {0x1B, 0x47, 1, 2, 4, 'a', ' '},   // a blank in the name, before the rest came
        {0x1B, 0x47, 1, 2, 2, 'a', '/'},   // a path separator
        {0x1B, 0x47, 1, 2, 2, 'a', 0},     // a NUL
        {0x1B, 0x47, 1, 2, 2, 'a', 0xC3},  // a byte above ASCII
    };
    for (const Bytes& bytes : bad) {
        std::string reason;
        std::size_t consumed = 99;
        EXPECT_EQ(Parse(bytes, nullptr, &consumed, &reason), ViewerParse::kMalformed)
            << bytes.size();
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(consumed, 0u);
    }
}

TEST(GatewayPreface, NamesAndAnswers) {
    EXPECT_TRUE(IsGatewayName("Front-Desk_1.example"));
    EXPECT_TRUE(IsGatewayName(std::string(63, 'z')));
    EXPECT_FALSE(IsGatewayName(""));
    EXPECT_FALSE(IsGatewayName(std::string(64, 'z')));
    EXPECT_FALSE(IsGatewayName("desk 1"));
    EXPECT_FALSE(IsGatewayName("desk@gw"));
    for (int byte = 0; byte < 256; ++byte) {
        std::optional<GatewayAnswer> answer = ParseGatewayAnswer(static_cast<std::uint8_t>(byte));
        EXPECT_EQ(answer.has_value(), byte >= 0xA1 && byte <= 0xA5) << byte;
    }
    EXPECT_EQ(static_cast<int>(GatewayAnswer::kPaired), 0xA2);
    EXPECT_NE(GatewayAnswerText(GatewayAnswer::kUnknownName, "desk").find("desk"),
              std::string::npos);
}

}  // namespace
