// Find Files Containing over real folders: the file masks, the table and its limit, a stop
// from the status window, the search of one file's text, opening the found files, and the
// shortening of long paths for display.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "editor/core/editor_strings.h"
#include "editor/core/file_content_search.h"
#include "editor/core/find_files.h"
#include "editor/core/history_lists.h"
#include "editor/core/path_display.h"
#include "editor/core/search.h"
#include "editor_fixture.h"

namespace {

class FindFilesTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        ASSERT_EQ(chdir(Folder().c_str()), 0);
        SetFileToolsUi(&tools);
        ResetFindFiles();
        ClearHistories();
        searchState = SearchState{};
    }
    void TearDown() override {
        SetFileToolsUi(nullptr);
        ASSERT_EQ(chdir(previous_), 0);
        EditorTest::TearDown();
    }
    void Find(const std::string& pattern, const std::string& fileMasks, bool matchCase = false,
              bool regularExpression = false) {
        tools.QueueFindFiles({pattern, fileMasks, matchCase, regularExpression});
        find_files_containing();
    }
    std::vector<std::string> Stored() const {
        std::vector<std::string> names;
        for (const FoundFile& file : findFilesState.table) {
            names.push_back(file.path.substr(Folder().size() + 1));
        }
        return names;
    }

    ScriptedFileToolsUi tools;

private:
    char previous_[4096] = {};
};

using Names = std::vector<std::string>;

TEST_F(FindFilesTest, MoreThanTheTableHoldsKeepsTheFirstAndWarns) {
    for (int i = 0; i < 150; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%03d.txt", i);
        WriteBytes(PathOf(name), i % 10 == 9 ? "nothing here\r\n" : "one\r\nthe Needle\r\n");
    }
    Find("needle", "*.txt");
    EXPECT_EQ(findFilesState.foundCount, FOUND_FILE_LIMIT);
    ASSERT_EQ(findFilesState.table.size(), static_cast<std::size_t>(FOUND_FILE_LIMIT));
    EXPECT_EQ(Stored().front(), "f000.txt");
    EXPECT_EQ(Stored().back(), "f141.txt");
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages[0].text,
              "More than 128 matching files were found; file list will be incomplete.");
    EXPECT_EQ(ui.messages[0].caption, "Find Files Containing");
    EXPECT_EQ(tools.listedFiles.size(), static_cast<std::size_t>(FOUND_FILE_LIMIT));
    EXPECT_FALSE(tools.statusOpen);
    EXPECT_FALSE(tools.busy);
    // A later file mask still counts what it finds, beyond the table.
    mkdir(PathOf("more").c_str(), 0700);
    WriteBytes(PathOf("more/x.txt"), "needle");
    Find("needle", "*.txt more/*.txt");
    EXPECT_EQ(findFilesState.foundCount, FOUND_FILE_LIMIT + 1);
    EXPECT_EQ(findFilesState.table.size(), static_cast<std::size_t>(FOUND_FILE_LIMIT));
}

TEST_F(FindFilesTest, TwoWildcardPatternsAndADirectoryPart) {
    WriteBytes(PathOf("a.txt"), "alpha key\r\n");
    WriteBytes(PathOf("b.scr"), "KEY\r\n");
    WriteBytes(PathOf("c.dat"), "key\r\n");
    WriteBytes(PathOf("d.txt"), "no\r\n");
    mkdir(PathOf("sub").c_str(), 0700);
    WriteBytes(PathOf("sub/e.txt"), "the key\r\n");
    mkdir(PathOf("sub/dir.txt").c_str(), 0700);
    Find("key", "*.txt *.scr");
    EXPECT_EQ(Stored(), (Names{"a.txt", "b.scr"}));
    Find("key", "*.txt *.scr", true);
    EXPECT_EQ(Stored(), (Names{"a.txt"}));

    char before[4096];
    ASSERT_NE(getcwd(before, sizeof before), nullptr);
    Find("key", "sub/*.txt");
    EXPECT_EQ(Stored(), (Names{"sub/e.txt"}));
    char after[4096];
    ASSERT_NE(getcwd(after, sizeof after), nullptr);
    EXPECT_STREQ(before, after);
    Find("key", PathOf("sub") + "/*.*");
    EXPECT_EQ(Stored(), (Names{"sub/e.txt"}));
    EXPECT_EQ(std::string(HistoryEntry(historyLists[HISTORY_LIST_FIND_FILES], 0)),
              PathOf("sub") + "/*.*");
    EXPECT_EQ(tools.lastCurrentDirectory, Folder());
}

TEST_F(FindFilesTest, AStopFromTheStatusWindowKeepsWhatWasFound) {
    for (int i = 0; i < 30; ++i) {
        WriteBytes(PathOf("s" + std::to_string(10 + i) + ".txt"), "match\r\n");
    }
    int pumps = 0;
    tools.onPump = [&] {
        if (++pumps == 5) {
            StopFindFiles();  // what the status window's Cancel does
        }
    };
    Find("match", "*.txt");
    EXPECT_EQ(findFilesState.foundCount, 4);
    EXPECT_EQ(tools.listedFiles.size(), 4u);
    EXPECT_FALSE(tools.statusOpen);
    EXPECT_EQ(tools.lastFound, PathOf("s13.txt"));
    // The next search starts afresh.
    tools.onPump = nullptr;
    Find("match", "*.txt");
    EXPECT_EQ(findFilesState.foundCount, 30);
}

TEST_F(FindFilesTest, LinesAsTheEditorSeesThem) {
    FileContentSearch search;
    // '?' is any character, '*' any run of them, '%' the line's start and '$' its end.
    ASSERT_TRUE(search.Prepare("b*d", true, true));
    EXPECT_FALSE(search.TextContains("ab\r\ncd\r\n", 8));
    EXPECT_TRUE(search.TextContains("x\r\nabcd\r\n", 9));
    ASSERT_TRUE(search.Prepare("c$", true, true));
    EXPECT_TRUE(search.TextContains("abc\r\nd\r\n", 8));
    EXPECT_TRUE(search.TextContains("d\nabc", 5));
    ASSERT_TRUE(search.Prepare("%$", true, true));
    EXPECT_TRUE(search.TextContains("", 0));
    EXPECT_FALSE(search.TextContains("a\r\nb\r\n", 6));
    EXPECT_TRUE(search.Prepare("x?*", true, true));
    EXPECT_TRUE(search.TextContains("ab\nxy", 5));
    EXPECT_FALSE(search.Prepare("a[", true, true));
    EXPECT_FALSE(search.Prepare("", true, false));

    ASSERT_TRUE(search.Prepare("NEEDLE", false, false));
    EXPECT_TRUE(search.TextContains("a needle", 8));
    const char binary[] = "head\0needle";
    EXPECT_FALSE(search.TextContains(binary, sizeof binary - 1));  // the text ends at zero
    EXPECT_FALSE(search.FileContains(PathOf("missing").c_str()));
    EXPECT_FALSE(search.FileContains(Folder().c_str()));
    ASSERT_TRUE(search.Prepare("a\nb", true, false));
    EXPECT_FALSE(search.TextContains("a\nb", 3));  // a match never spans a line end
    // In a file whose lines end with carriage returns, a lone line feed is part of a line.
    EXPECT_TRUE(search.TextContains("x\r\na\nb\r\n", 8));
    EXPECT_FALSE(search.TextContains("x\r\na\r\nb\r\n", 10));
    // The line feed after a carriage return is in no line, for a regular expression too.
    ASSERT_TRUE(search.Prepare("\n", true, true));
    EXPECT_FALSE(search.TextContains("\r\n\r\n[", 5));
    EXPECT_TRUE(search.TextContains("\r\na\nb\r\n", 8));

    // A bad pattern is said on the status line and searches nothing.
    Find("a[", "*", false, true);
    EXPECT_EQ(ui.status, "Invalid regular expression");
    Find("", "*");
    EXPECT_EQ(ui.status, "No pattern specified");
}

// Files are read in chunks: what lies across a chunk's end is found as in a file read whole.
TEST_F(FindFilesTest, LargeFilesAreSearchedAcrossTheirChunks) {
    const std::size_t chunk = FILE_SEARCH_CHUNK;
    FileContentSearch search;
    auto contains = [&](const std::string& bytes) {
        WriteBytes(PathOf("big.txt"), bytes);
        return search.FileContains(PathOf("big.txt").c_str());
    };
    // A line end split between two chunks: the next line still starts after it.
    std::string lines = std::string(chunk - 2, 'x') + "\r\nfoo bar\r\n";
    ASSERT_TRUE(search.Prepare("%foo", true, true));
    EXPECT_TRUE(contains(lines));
    ASSERT_TRUE(search.Prepare("x\r", true, false));
    EXPECT_FALSE(contains(lines));
    // A match in a line that crosses the chunk's end, and in a line longer than a chunk.
    ASSERT_TRUE(search.Prepare("needle", true, false));
    EXPECT_TRUE(
        contains(std::string(chunk - 100, 'a') + "\r\n" + std::string(97, 'b') + "needle\r\n"));
    EXPECT_TRUE(contains(std::string(chunk - 3, 'a') + "needle" + std::string(chunk, 'c')));
    EXPECT_FALSE(contains(std::string(2 * chunk + 5, 'a')));
    // The text ends at the first zero byte, in any chunk.
    std::string zeroLate = std::string(chunk + 10, 'a') + "needle" + '\0' + "rest";
    EXPECT_TRUE(contains(zeroLate));
    EXPECT_FALSE(contains(std::string(chunk + 10, 'a') + '\0' + "needle"));
}

TEST_F(FindFilesTest, ListFoundFilesOpensThemOneByOneAtTheFirstMatch) {
    list_files_containing();
    EXPECT_EQ(ui.messages.back().text, "No pattern specified");
    EXPECT_EQ(ui.messages.back().caption, "List Found Files");
    Find("zzz", "*.txt");
    EXPECT_EQ(ui.messages.back().text, "Pattern not found");

    WriteBytes(PathOf("One.txt"), "first\r\nsecond Target here\r\n");
    WriteBytes(PathOf("two.txt"), "target\r\n");
    tools.QueueFileChoice(0);
    Find("target", "*.txt");
    ASSERT_NE(pwinCurrent, nullptr);
    EXPECT_EQ(std::string(pwinCurrent->buffer->pathName), PathOf("One.txt"));
    EXPECT_TRUE(pwinCurrent->marking);
    EXPECT_EQ(pwinCurrent->mark.lpln, pwinCurrent->buffer->lplnFirst->next);
    EXPECT_EQ(pwinCurrent->mark.offset, 7);
    EXPECT_EQ(pwinCurrent->dot.offset, 13);
    EXPECT_STREQ(searchState.pattern, "target");
    EXPECT_EQ(findFilesState.openedCount, 1);

    tools.QueueFileChoice(0);
    list_files_containing();
    EXPECT_EQ(tools.listedFiles, (Names{PathOf("two.txt")}));
    EXPECT_EQ(std::string(pwinCurrent->buffer->pathName), PathOf("two.txt"));
    list_files_containing();
    EXPECT_EQ(ui.messages.back().text,
              "All files containing the specified pattern have already been opened.");
}

TEST_F(FindFilesTest, ThePatternStartsFromAOneLineBlockOrTheLastSearch) {
    AddToHistory(historyLists[HIST_SEARCH], "from history");
    find_files_containing();  // cancelled
    EXPECT_STREQ(tools.lastFindFilesData.pattern, "from history");
    EXPECT_STREQ(searchState.pattern, "from history");
    NewDocument("pick this word\nnext");
    PlaceDot(pwinCurrent, 0, 5);
    pwinCurrent->mark = pwinCurrent->dot;
    pwinCurrent->dot.offset = 9;
    pwinCurrent->marking = 1;
    pwinCurrent->startblock = pwinCurrent->mark;
    pwinCurrent->endblock = pwinCurrent->dot;
    find_files_containing();
    EXPECT_STREQ(tools.lastFindFilesData.pattern, "this");
    EXPECT_FALSE(tools.lastFindFilesData.oemFont);
}

TEST(PathDisplay, LongPathsKeepTheirHeadAndALastPartThatFits) {
    auto characters = [](const std::string& text) { return static_cast<int>(text.size()); };
    std::string path = "/home/user/projects/scripts/login.scr";
    EXPECT_EQ(ShortenPathForDisplay(path, 100, characters), path);
    EXPECT_EQ(ShortenPathForDisplay(path, 26, characters), "/ho.../scripts/login.scr");
    EXPECT_EQ(ShortenPathForDisplay(path, 16, characters), "/ho.../login.scr");
    EXPECT_EQ(ShortenPathForDisplay(path, 10, characters), path);  // no tail fits
    EXPECT_EQ(ShortenPathForDisplay(path, 5, characters), "");
    EXPECT_EQ(ShortenPathForDisplay("abcdefghij", 8, characters), "abcdefghij");
}

}  // namespace
