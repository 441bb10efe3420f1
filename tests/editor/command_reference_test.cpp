// The script command reference table: its 150 entries, their assistant numbers and texts, and
// the reading of table texts.
#include <gtest/gtest.h>

#include <strings.h>

#include <map>
#include <string>

#include "editor/core/command_reference.h"

namespace {

TEST(CommandReference, TableHoldsEveryCommandWithSyntaxAndExample) {
    std::vector<CommandReferenceEntry> entries = LoadCommandReference();
    ASSERT_EQ(entries.size(), 150u);
    EXPECT_EQ(entries.front().DisplayName(), "Answer");
    EXPECT_EQ(entries[49].DisplayName(), "If...Then or If...Goto");
    EXPECT_EQ(entries.back().DisplayName(), "Write String");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& text = entries[i].text;
        std::size_t syntax = text.find("\r\nSyntax: ");
        std::size_t example = text.find("\r\nExample: ");
        EXPECT_NE(syntax, std::string::npos) << entries[i].DisplayName();
        EXPECT_NE(example, std::string::npos) << entries[i].DisplayName();
        EXPECT_LT(syntax, example) << entries[i].DisplayName();
        EXPECT_GT(syntax, entries[i].DisplayName().size() + 2) << "a description comes first";
        if (i > 0) {
            EXPECT_LT(
                strcasecmp(entries[i - 1].DisplayName().c_str(), entries[i].DisplayName().c_str()),
                0)
                << "alphabetical, case not counting: " << entries[i].DisplayName();
        }
    }
}

TEST(CommandReference, AssistantNumbers) {
    const std::map<std::string, int> expected = {
        {"Session Dial", 1100},  {"Wait Carrier", 1210},    {"Wait Receive", 1220},
        {"Wait Silence", 1230},  {"Wait String", 1240},     {"Wait Time", 1250},
        {"Wait Until", 1260},    {"Dial Host", 1310},       {"Dial Number", 1320},
        {"Dial OnlSvc", 1330},   {"Receive String", 1410},  {"Receive Char", 1420},
        {"Receive File", 1430},  {"Receive Clear", 1440},   {"Receive Line", 1450},
        {"Send Char", 1510},     {"Send Clear", 1520},      {"Send File", 1530},
        {"Send Line", 1540},     {"Send String", 1550},     {"Send ScanCode", 1560},
        {"Load HostInfo", 1620}, {"Load OnlSvcInfo", 1630}, {"Load Translation", 1640},
    };
    int numbered = 0;
    for (const CommandReferenceEntry& entry : LoadCommandReference()) {
        auto found = expected.find(entry.DisplayName());
        int want = found != expected.end() ? found->second : NO_ASSISTANT;
        EXPECT_EQ(entry.assistant, want) << entry.DisplayName();
        numbered += entry.assistant != NO_ASSISTANT;
    }
    EXPECT_EQ(numbered, 24);
}

TEST(CommandReference, ReadingTableTexts) {
    std::vector<CommandReferenceEntry> entries =
        ParseCommandReference("junk#Beep\r\nRings.#12Two\r\nx#-7\r\nMinus#-Dash##After#");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].assistant, NO_ASSISTANT);
    EXPECT_EQ(entries[0].text, "Beep\r\nRings.");
    EXPECT_EQ(entries[1].assistant, 12) << "the line break after the number is optional";
    EXPECT_EQ(entries[1].DisplayName(), "Two");
    EXPECT_EQ(entries[2].assistant, -7);
    EXPECT_EQ(entries[2].text, "Minus");
    EXPECT_EQ(entries[3].assistant, NO_ASSISTANT) << "a '-' without digits is text";
    EXPECT_EQ(entries[3].text, "-Dash");
    EXPECT_TRUE(ParseCommandReference("").empty());
    EXPECT_TRUE(ParseCommandReference(nullptr).empty());
    EXPECT_EQ(ParseCommandReference("#99999999999999999999\r\nBig").size(), 1u);
    EXPECT_EQ(ParseCommandReference("#1\r\nNo end").back().text, "No end");
}

}  // namespace
