// Find, Find Again, Replace and the Confirm Replacement flow.
#include "editor/core/find_replace.h"
#include "command_fixture.h"
#include "editor/core/history.h"
#include "editor/core/lines.h"
#include "editor/core/search.h"
#include "editor/core/undo.h"

namespace {

HeadlessUi::SearchAnswer Answer(const std::string& pattern, bool regex = false,
                                bool backward = false) {
    HeadlessUi::SearchAnswer answer;
    answer.pattern = pattern;
    answer.regularExpression = regex;
    answer.backward = backward;
    return answer;
}

HeadlessUi::SearchAnswer ReplaceAnswer(const std::string& pattern, const std::string& with,
                                       bool regex, bool confirm) {
    HeadlessUi::SearchAnswer answer = Answer(pattern, regex);
    answer.replacement = with;
    answer.confirmChanges = confirm;
    return answer;
}

HeadlessUi::SearchAnswer Cancelled() {
    HeadlessUi::SearchAnswer answer;
    answer.ok = false;
    return answer;
}

// "line:start-end" of the marked match.
std::string Selected() {
    if (!pwinCurrent->marking) {
        return "unmarked " + DotAt();
    }
    return std::to_string(pwinCurrent->dot.lpln->number) + ":" +
           std::to_string(pwinCurrent->mark.offset) + "-" + std::to_string(pwinCurrent->dot.offset);
}

TEST_F(CommandTest, FindSelectsTheMatchAndFindAgainFindsOverlappingOnes) {
    NewDocument("xaaa\naa");
    ui.QueueSearch(Answer("aa"));
    Run(find);
    EXPECT_EQ(Selected(), "0:1-3");
    Run(find_again);
    EXPECT_EQ(Selected(), "0:2-4");
    Run(find_again);
    EXPECT_EQ(Selected(), "1:0-2");
    Run(find_again);
    EXPECT_EQ(ui.status, "Pattern not found");
    EXPECT_EQ(DotAt(), "1:0");  // back where the search started
    EXPECT_EQ(historyLists[HIST_SEARCH].entries[0], std::string("aa"));
}

TEST_F(CommandTest, BackwardSearchesContinueAtThePreviousLineEnd) {
    NewDocument("one two\nthree");
    PlaceDot(pwinCurrent, 1, 0);
    ui.QueueSearch(Answer("o", false, true));
    Run(find);
    EXPECT_EQ(Selected(), "0:6-7");
    Run(find_again);
    EXPECT_EQ(Selected(), "0:0-1");
    PlaceDot(pwinCurrent, 1, 0);
    pwinCurrent->marking = 0;
    ui.QueueSearch(Answer("t[a-z]@", true, true));
    Run(find);
    EXPECT_EQ(Selected(), "1:0-5");  // the dot's own offset is tried first
}

TEST_F(CommandTest, FindPrefillsFromTheBlockOrHistoryAndReportsProblems) {
    NewDocument("alpha beta");
    ui.QueueSearch(Cancelled());
    Run(find);
    EXPECT_STREQ(ui.lastSearchDialog.pattern, "");
    Mark(0, 6, 0, 10);
    ui.QueueSearch(Cancelled());
    Run(find);
    EXPECT_STREQ(ui.lastSearchDialog.pattern, "beta");
    ui.QueueSearch(Answer(""));
    Run(find);
    EXPECT_EQ(ui.status, "No pattern specified");
    ui.QueueSearch(Answer("[ab", true));  // never matched partially
    Run(find);
    EXPECT_EQ(ui.status, "Invalid regular expression");
    ui.QueueSearch(Answer("gamma"));
    Run(find);
    EXPECT_EQ(ui.status, "Pattern not found");
    pwinCurrent->marking = 0;
    ui.QueueSearch(Cancelled());
    Run(find);
    EXPECT_STREQ(ui.lastSearchDialog.pattern, "gamma");
}

TEST_F(CommandTest, EmptyLastLineIsNoMatchForAnEmptyLinePattern) {
    NewDocument("a\n\nb\n");
    ui.QueueSearch(Answer("%$", true));
    Run(find);
    EXPECT_EQ(DotAt(), "1:0");
    Run(find_again);
    EXPECT_EQ(ui.status, "Pattern not found");
}

TEST_F(CommandTest, ReplaceAllIsOneUndoableCommand) {
    NewDocument("aaa\nbab");
    ui.QueueSearch(ReplaceAnswer("a", "b", false, false));
    Run(replace);
    EXPECT_EQ(BufferText(pbufCurrent), "bbb\nbbb");
    EXPECT_EQ(ui.status, "4 occurrences changed");
    EXPECT_EQ(DotAt(), "0:0");
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "aaa\nbab");
    ui.QueueSearch(ReplaceAnswer("bab", "x", false, false));
    PlaceDot(pwinCurrent, 0, 0);
    Run(replace);
    EXPECT_EQ(ui.status, "1 occurrence changed");
    ui.QueueSearch(ReplaceAnswer("zzz", "x", false, false));
    Run(replace);
    EXPECT_EQ(ui.status, "Pattern not found");
}

TEST_F(CommandTest, ReplacingEmptyMatchesAlwaysAdvances) {
    NewDocument("bab\nb");
    ui.QueueSearch(ReplaceAnswer("a@", "x", true, false));
    Run(replace);
    EXPECT_EQ(BufferText(pbufCurrent), "xbxbx\nxb");
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "bab\nb");
    ui.QueueSearch(ReplaceAnswer("*", "<\\t>", true, false));
    Run(replace);
    EXPECT_EQ(BufferText(pbufCurrent), "<\t>\n<\t>");
}

TEST_F(CommandTest, ConfirmedReplaceStepsThroughTheMatches) {
    NewDocument("cat cat cat cat");
    ui.QueueSearch(ReplaceAnswer("cat", "dog", false, true));
    Run(replace);
    EXPECT_TRUE(ui.confirmOpen);
    EXPECT_EQ(ui.confirmQuestion, "Replace this occurrence?");
    EXPECT_EQ(Selected(), "0:0-3");
    confirm_yes();
    EXPECT_EQ(Selected(), "0:4-7");
    confirm_no();
    EXPECT_EQ(Selected(), "0:8-11");
    confirm_toggle();
    EXPECT_EQ(ui.confirmQuestion, "Replace all?");
    confirm_yes();  // with confirmation off: all the rest
    EXPECT_FALSE(ui.confirmOpen);
    EXPECT_FALSE(fConfirmInProgress);
    EXPECT_EQ(BufferText(pbufCurrent), "dog cat dog dog");
    undo();  // the confirmed ones and the rest share one command
    EXPECT_EQ(BufferText(pbufCurrent), "cat cat cat cat");
}

TEST_F(CommandTest, ConfirmedReplaceEndsWithNoMoreOccurrencesOrCancel) {
    NewDocument("a1 a2");
    ui.QueueSearch(ReplaceAnswer("a", "b", false, true));
    Run(replace);
    confirm_yes();
    confirm_yes();
    EXPECT_EQ(ui.status, "2 occurrences changed");
    EXPECT_FALSE(ui.confirmOpen);
    EXPECT_EQ(BufferText(pbufCurrent), "b1 b2");

    NewDocument("a1 a2");
    ui.QueueSearch(ReplaceAnswer("a", "b", false, true));
    Run(replace);
    confirm_no();
    confirm_no();
    EXPECT_EQ(ui.status, "No more occurrences");
    EXPECT_EQ(DotAt(), "0:4") << "back at the end of the last declined match";

    NewDocument("a1 a2");
    ui.QueueSearch(ReplaceAnswer("a", "b", false, true));
    Run(replace);
    confirm_cancel();
    EXPECT_FALSE(pwinCurrent->marking);
    EXPECT_EQ(DotAt(), "0:0");
    EXPECT_EQ(BufferText(pbufCurrent), "a1 a2");
}

TEST_F(CommandTest, DeclinedMatchIsNotOfferedAgainAndTheAdjacentOneIs) {
    NewDocument("aaaa");
    ui.QueueSearch(ReplaceAnswer("aa", "X", false, true));
    Run(replace);
    EXPECT_EQ(Selected(), "0:0-2");
    confirm_no();
    EXPECT_EQ(Selected(), "0:2-4") << "the search goes on from the declined match's end";
    confirm_yes();
    EXPECT_EQ(BufferText(pbufCurrent), "aaX");
    EXPECT_EQ(ui.status, "1 occurrence changed");

    NewDocument("abcabc");
    ui.QueueSearch(ReplaceAnswer("abc", "X", false, true));
    Run(replace);
    confirm_no();
    EXPECT_EQ(Selected(), "0:3-6") << "a match right after the declined one is offered";
    confirm_yes();
    EXPECT_EQ(BufferText(pbufCurrent), "abcX");

    // Declining empty matches still advances to the end of the buffer.
    NewDocument("ab\nb");
    ui.QueueSearch(ReplaceAnswer("b@", "X", true, true));
    Run(replace);
    for (int i = 0; i < 10 && fConfirmInProgress; ++i) {
        confirm_no();
    }
    EXPECT_FALSE(fConfirmInProgress);
    EXPECT_EQ(ui.status, "No more occurrences");
    EXPECT_EQ(BufferText(pbufCurrent), "ab\nb");
}

TEST_F(CommandTest, ReplaceWithAChainedClassRange) {
    NewDocument("x-d\nb");
    ui.QueueSearch(ReplaceAnswer("[a-c-e]", "X", true, false));
    Run(replace);
    EXPECT_EQ(BufferText(pbufCurrent), "x-X\nX");
}

TEST_F(CommandTest, ReplacementEscapesOnlyInRegularExpressionMode) {
    NewDocument("x");
    ui.QueueSearch(ReplaceAnswer("x", "\\t", false, false));
    Run(replace);
    EXPECT_EQ(BufferText(pbufCurrent), "\\t");
    PlaceDot(pwinCurrent, 0, 0);
    ui.QueueSearch(ReplaceAnswer("\\t", "[\\t]", true, false));
    Run(replace);
    EXPECT_EQ(BufferText(pbufCurrent), "\\t");  // \t as a pattern is a tab: no match
    ui.QueueSearch(ReplaceAnswer("\\\\", "\\t", true, false));
    Run(replace);
    EXPECT_EQ(BufferText(pbufCurrent), "\tt");
}

TEST(HistoryList, MostRecentFirstWithoutDuplicates) {
    HistoryList list{};
    for (int i = 0; i < 12; ++i) {
        AddToHistory(list, std::to_string(i).c_str());
    }
    EXPECT_EQ(HistoryCount(list), 10);
    EXPECT_STREQ(list.entries[0], "11");
    EXPECT_STREQ(list.entries[9], "2");
    AddToHistory(list, "5");
    EXPECT_STREQ(list.entries[0], "5");
    EXPECT_STREQ(list.entries[1], "11");
    EXPECT_STREQ(list.entries[9], "2");
    AddToHistory(list, "5");
    EXPECT_STREQ(list.entries[1], "11");
    AddToHistory(list, std::string(200, 'z').c_str());
    EXPECT_EQ(std::string(list.entries[0]).size(), 127u);
}

}  // namespace
