// Comparing real file pairs: the messages of the difference dialog's steps, the regions shown
// as blocks, start lines, and documents edited or closed while the dialog is open.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/core/editing_commands.h"
#include "editor/core/file_compare.h"
#include "editor/core/file_tools_ui.h"
#include "editor/core/history.h"
#include "editor/core/history_lists.h"
#include "editor_fixture.h"

namespace {

// n numbered lines "line 1" to "line n", CR LF ended.
std::string Numbered(int first, int last, const std::string& prefix = "line ") {
    std::string text;
    for (int i = first; i <= last; ++i) {
        text += prefix + std::to_string(i) + "\r\n";
    }
    return text;
}

class CompareTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        SetFileToolsUi(&tools);
        compareState = CompareState{};
        ClearHistories();
    }
    void TearDown() override {
        EndCompare();
        SetFileToolsUi(nullptr);
        EditorTest::TearDown();
    }
    // Writes both files, compares them from the start lines and presses the dialog's button
    // until it closes. Returns every text shown: dialog messages and message boxes in order.
    std::vector<std::string> Run(const std::string& one, const std::string& two, WORD start1 = 1,
                                 WORD start2 = 1) {
        // Fresh names: a file already open is compared as its window holds it.
        ++pairs_;
        std::string first = PathOf("one" + std::to_string(pairs_) + ".txt");
        std::string second = PathOf("two" + std::to_string(pairs_) + ".txt");
        WriteBytes(first, one);
        WriteBytes(second, two);
        ScriptedFileToolsUi::CompareAnswer answer{first, second, start1, start2, false};
        tools.QueueCompare(answer);
        compare();
        std::vector<std::string> shown;
        Collect(shown);
        for (int steps = 0; compareState.active && steps < 1000; ++steps) {
            CompareNextStep();
            Collect(shown);
        }
        return shown;
    }
    void Collect(std::vector<std::string>& shown) {
        for (; dialogSeen_ < tools.differenceTexts.size(); ++dialogSeen_) {
            shown.push_back(tools.differenceTexts[dialogSeen_]);
        }
        for (; boxSeen_ < ui.messages.size(); ++boxSeen_) {
            shown.push_back(ui.messages[boxSeen_].text);
        }
    }
    // Compares and stops after the first difference, the dialog still open.
    void OpenAtFirstDifference(const std::string& one, const std::string& two) {
        ++pairs_;
        std::string first = PathOf("one" + std::to_string(pairs_) + ".txt");
        std::string second = PathOf("two" + std::to_string(pairs_) + ".txt");
        WriteBytes(first, one);
        WriteBytes(second, two);
        ASSERT_EQ(CompareFiles(first.c_str(), second.c_str()), 1);
        ASSERT_TRUE(compareState.active);
    }

    ScriptedFileToolsUi tools;

private:
    int pairs_ = 0;
    std::size_t dialogSeen_ = 0;
    std::size_t boxSeen_ = 0;
};

using Texts = std::vector<std::string>;

TEST_F(CompareTest, IdenticalFilesAndFilesEqualUpToTheShorterOnesEnd) {
    EXPECT_EQ(Run(Numbered(1, 5), Numbered(1, 5)), Texts{"No differences found"});
    EXPECT_EQ(ui.messages.back().caption, "Compare");
    EXPECT_EQ(ui.messages.back().icon, UiIcon::Warning);
    EXPECT_FALSE(tools.differenceOpen);

    EXPECT_EQ(Run(Numbered(1, 5), Numbered(1, 3)), Texts{"Reached end of file 2"});
    EXPECT_EQ(Run(Numbered(1, 2), Numbered(1, 4)), Texts{"Reached end of file 1"});
    EXPECT_EQ(ui.messages.back().icon, UiIcon::Warning);
}

TEST_F(CompareTest, DifferenceOnTheLastLineIsMarkedToTheLineEnd) {
    OpenAtFirstDifference("a\r\nb\r\nlast one\r\n", "a\r\nb\r\nlast two");
    EXPECT_EQ(tools.differenceTexts.back(), "Files differ at line 3");
    EXPECT_EQ(tools.differenceButton, "&Next Match");
    for (EditWindow* window : compareState.window) {
        ASSERT_TRUE(window->marking);
        EXPECT_EQ(window->startblock.lpln, window->buffer->lplnFirst->next->next);
        EXPECT_EQ(window->startblock.offset, 0);
        EXPECT_EQ(window->endblock.lpln, window->startblock.lpln);
        EXPECT_EQ(window->endblock.offset, 8);
    }
    // A difference before the last line runs to the start of the next line.
    EndCompare();
    OpenAtFirstDifference("a\r\nX\r\nc\r\n", "a\r\nY\r\nc\r\n");
    EditWindow* first = compareState.window[0];
    EXPECT_EQ(first->startblock.lpln, first->buffer->lplnFirst->next);
    EXPECT_EQ(first->endblock.lpln, first->buffer->lplnFirst->next->next);
    EXPECT_EQ(first->endblock.offset, 0);
    EndCompare();
    EXPECT_FALSE(first->marking);
    EXPECT_FALSE(tools.differenceOpen);
}

TEST_F(CompareTest, OneInsertedLineIsSkippedByOneMatch) {
    std::string one = Numbered(1, 10);
    std::string two = Numbered(1, 4) + "inserted\r\n" + Numbered(5, 10);
    EXPECT_EQ(Run(one, two), (Texts{"Files differ at line 5", "Match found at line 5 (6)",
                                    "No more differences"}));
    EXPECT_EQ(ui.messages.back().icon, UiIcon::Information);
    // The same insertion seen from the other side, and a changed line followed by more.
    EXPECT_EQ(Run(two, one), (Texts{"Files differ at line 5", "Match found at line 6 (5)",
                                    "No more differences"}));
    std::string changed =
        Numbered(1, 3) + "changed\r\n" + Numbered(5, 8) + "other\r\n" + Numbered(10, 12);
    EXPECT_EQ(Run(Numbered(1, 12), changed),
              (Texts{"Files differ at line 4", "Match found at line 5", "Files differ at line 9",
                     "Match found at line 10", "No more differences"}));
}

TEST_F(CompareTest, FiftyDifferingLinesInARowFindNoMatch) {
    std::string tail = Numbered(1, 5, "same ");
    EXPECT_EQ(Run(Numbered(1, 50, "a") + tail, Numbered(1, 50, "b") + tail),
              (Texts{"Files differ at line 1", "No match found"}));
    EXPECT_FALSE(tools.differenceOpen);
    // Forty-nine are still within reach.
    EXPECT_EQ(Run(Numbered(1, 49, "a") + tail, Numbered(1, 49, "b") + tail),
              (Texts{"Files differ at line 1", "Match found at line 50", "No more differences"}));
}

TEST_F(CompareTest, AnEqualPairFollowedByALineInOneFileOnlyIsNoMatch) {
    EXPECT_EQ(Run("x\r\np\r\nq\r\nr\r\n", "y\r\np\r\nq\r\n"),
              (Texts{"Files differ at line 1", "No match found"}));
    // The pair that ends both files is a match, and then both files are at their end.
    EXPECT_EQ(Run("x\r\np\r\nq\r\n", "y\r\np\r\nq\r\n"),
              (Texts{"Files differ at line 1", "Match found at line 2", "No more differences"}));
    // A match after which one file still goes on leads to the end of the other.
    EXPECT_EQ(Run("x\r\np\r\nq\r\nr\r\nt\r\n", "y\r\np\r\nq\r\ns\r\nr\r\nt\r\n"),
              (Texts{"Files differ at line 1", "Match found at line 2", "Files differ at line 4",
                     "Match found at line 4 (5)", "No more differences"}));
}

TEST_F(CompareTest, StartLinesHistoriesAndLayoutAreKept) {
    std::string one = "skip\r\n" + Numbered(1, 3);
    std::string two = "other\r\nmore\r\n" + Numbered(1, 3) + "extra\r\n";
    EXPECT_EQ(Run(one, two, 2, 3), Texts{"Reached end of file 1"});
    EXPECT_EQ(compareState.startLine[0], 2);
    EXPECT_EQ(compareState.startLine[1], 3);
    EXPECT_EQ(std::string(HistoryEntry(historyLists[HISTORY_LIST_COMPARE_FILE1], 0)),
              PathOf("one1.txt"));
    EXPECT_EQ(std::string(HistoryEntry(historyLists[HISTORY_LIST_COMPARE_FILE2], 0)),
              PathOf("two1.txt"));
    // The windows already open are used again, not opened a second time; the dialog is
    // preset with the last names.
    int windows = 0;
    for (EditWindow* w = pwinFirst; w != nullptr; w = w->next) {
        ++windows;
    }
    tools.QueueCompare({"", "", 1, 1, false});
    compare();
    int after = 0;
    for (EditWindow* w = pwinFirst; w != nullptr; w = w->next) {
        ++after;
    }
    EXPECT_EQ(after, windows);
    EXPECT_EQ(tools.differenceTexts.back(), "Files differ at line 1");
    EndCompare();

    WriteBytes(PathOf("real.txt"), "x\r\n");
    ScriptedFileToolsUi::CompareAnswer missing{PathOf("real.txt"), PathOf("gone.txt"), 1, 1, true};
    tools.QueueCompare(missing);
    compare();
    EXPECT_EQ(ui.messages.back().text, "Unable to open " + PathOf("gone.txt"));
    EXPECT_TRUE(compareState.vertical);
}

TEST_F(CompareTest, StartLineFieldsTakeNumbersWhoseLow16BitsAreNotZero) {
    WORD line = 0;
    EXPECT_TRUE(ParseStartLine("12", line));
    EXPECT_EQ(line, 12);
    EXPECT_TRUE(ParseStartLine("65537", line));
    EXPECT_EQ(line, 1);
    for (const char* bad : {"", "0", "65536", "-3", "1x", " 4"}) {
        EXPECT_FALSE(ParseStartLine(bad, line)) << bad;
    }
}

TEST_F(CompareTest, DocumentsEditedOrClosedWhileTheDialogIsOpen) {
    OpenAtFirstDifference(Numbered(1, 20), Numbered(1, 9) + "new\r\n" + Numbered(10, 20));
    // Lines of file 2 are deleted under the compare: its place is found again by number.
    SetCurrentWindow(compareState.window[1]);
    for (int i = 0; i < 5; ++i) {
        delete_line();
    }
    CompareNextStep();
    EXPECT_TRUE(BufferConsistent(compareState.window[1]->buffer));
    EXPECT_EQ(tools.differenceTexts.back(), "Match found at line 14 (10)");
    // File 1's window goes away: the next step ends the compare.
    FreeEditWindow(compareState.window[0]);
    CompareNextStep();
    EXPECT_FALSE(compareState.active);
    EXPECT_FALSE(tools.differenceOpen);
}

}  // namespace
