// Start-up and the command line: modes and their names, options, quoted names, wildcards,
// the reloading question, a command line handed over by a second start, dropped files, and
// names that cannot be opened.
#include <sys/stat.h>
#include <unistd.h>

#include "editor/core/editor_strings.h"
#include "editor/core/file_io.h"
#include "editor/ui/command_line.h"
#include "editor/ui/menu_ids.h"
#include "window_fixture.h"

using namespace farvane::ui;
using fvedit::ew;

namespace {

class StartupTest : public EditorWindowTest {
protected:
    std::string Title(HWND window) const {
        char text[512];
        GetWindowTextA(window, text, sizeof text);
        return text;
    }
    std::string ClassOf(HWND window) const {
        char text[64];
        GetClassNameA(window, text, sizeof text);
        return text;
    }
    std::string Lines(int count) const {
        std::string text;
        for (int i = 1; i <= count; ++i) {
            text += "line " + std::to_string(i) + "\r\n";
        }
        return text;
    }
};

TEST_F(StartupTest, TheFirstArgumentChoosesTheMode) {
    EXPECT_EQ(fvedit::ModeOfCommandLine("/P file.txt"), EditorMode::Print);
    EXPECT_EQ(fvedit::ModeOfCommandLine("-p"), EditorMode::Print);
    EXPECT_EQ(fvedit::ModeOfCommandLine("-B a.scr"), EditorMode::ScriptBuilder);
    EXPECT_EQ(fvedit::ModeOfCommandLine("/d x"), EditorMode::Normal);
    EXPECT_EQ(fvedit::ModeOfCommandLine("file.txt -p"), EditorMode::Normal);
    EXPECT_EQ(fvedit::ModeOfCommandLine(""), EditorMode::Normal);
    // Only the first 127 characters take part.
    EXPECT_EQ(fvedit::ModeOfCommandLine((std::string(130, ' ') + "-p").c_str()),
              EditorMode::Normal);
}

TEST_F(StartupTest, QuotedNamesKeepTheirBlanks) {
    EXPECT_EQ(fvedit::SplitCommandLine("a \"two  blanks.txt\" b"),
              (std::vector<std::string>{"a", "two  blanks.txt", "b"}));
    std::string path = PathOf("two  blanks.txt");
    WriteFile(path, "quoted\r\n");
    ASSERT_TRUE(Start("\"" + path + "\""));
    EXPECT_EQ(Title(CurrentDocument()), path);
    EXPECT_EQ(Row(0), " quoted");
}

TEST_F(StartupTest, TheScriptBuilderHasItsOwnClassesTitleAndTools) {
    ASSERT_TRUE(Start("-b"));
    EXPECT_EQ(ClassOf(ew.frame), "ScriptBuilderFrame");
    EXPECT_EQ(ClassOf(CurrentDocument()), "ScriptBuilderDocument");
    EXPECT_EQ(ClassOf(ew.status), "ScriptBuilderStatus");
    EXPECT_EQ(Title(ew.frame), EditorString(IDS_SCRIPT_BUILDER_TITLE));
    EXPECT_EQ(MenuTitles(), "&File &Edit &Search &Options &Tools &Window &Help");
}

TEST_F(StartupTest, TheNormalModeUsesItsClassNames) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(ClassOf(ew.frame), "VOVuroFrame");
    EXPECT_EQ(ClassOf(CurrentDocument()), "VOVuroDocument");
    EXPECT_EQ(Title(ew.frame), "Farvane Editor");
}

TEST_F(StartupTest, PrintModeEndsWithoutAnEditorWindow) {
    std::string path = PathOf("print.txt");
    WriteFile(path, "page\r\n");
    ASSERT_TRUE(Start("/P " + path));
    EXPECT_FALSE(IsWindow(ew.frame));
    EXPECT_EQ(pwinFirst, nullptr);
}

TEST_F(StartupTest, TheGotoOptionActsOnTheDocumentOpenBeforeIt) {
    std::string path = PathOf("a.scr");
    WriteFile(path, Lines(40));
    ASSERT_TRUE(Start("-g25 " + path));
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 0u);
    Stop();
    ASSERT_TRUE(Start(path + " -g25"));
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 24u);
    EXPECT_EQ(StatusText().substr(0, 14), " Line 25 Col 1");
}

TEST_F(StartupTest, ReloadingAsksBeforeReplacingAnOpenDocument) {
    std::string path = PathOf("r.txt");
    WriteFile(path, "disk\r\n");
    ASSERT_TRUE(Start(path));
    Type("edit ");
    fvedit::ProcessCommandLine(path.c_str());  // without -r: not opened a second time
    Pump();
    EXPECT_EQ(ew.documentCount, 1);
    EXPECT_TRUE(backend->messageBoxes().empty());
    backend->pushMessageBoxAnswer(IDYES);
    backend->pushMessageBoxAnswer(IDOK);  // and abandon the changes
    fvedit::ProcessCommandLine(("-r " + path).c_str());
    Pump();
    ASSERT_EQ(backend->messageBoxes().size(), 2u);
    EXPECT_EQ(backend->messageBoxes()[0].text, "Replace contents of existing buffer?");
    EXPECT_EQ(Row(0), " disk");
    EXPECT_EQ(ew.documentCount, 1);
}

TEST_F(StartupTest, WildcardsOpenEveryMatchingFile) {
    WriteFile(PathOf("w1.txt"), "1\r\n");
    WriteFile(PathOf("w2.txt"), "2\r\n");
    WriteFile(PathOf("other.doc"), "3\r\n");
    ASSERT_TRUE(Start(PathOf("w?.txt")));
    EXPECT_EQ(ew.documentCount, 2);
    EXPECT_EQ(Title(CurrentDocument()), PathOf("w1.txt"));  // the first opened has the focus
}

TEST_F(StartupTest, AHandedOverCommandLineOpensItsFiles) {
    ASSERT_TRUE(Start());
    std::string path = PathOf("handed.txt");
    WriteFile(path, "handed over\r\n");
    ASSERT_TRUE(PostTextMessage(ew.frame, fvedit::WM_HAND_OVER_COMMAND_LINE, path));
    Pump();
    EXPECT_EQ(Title(CurrentDocument()), path);
    EXPECT_EQ(Row(0), " handed over");
    // The untitled start-up document was replaced by the file.
    EXPECT_EQ(ew.documentCount, 1);
    // Relative names are made full before they are handed over.
    chdir(PathOf("").c_str());
    EXPECT_EQ(fvedit::CommandLineWithFullPaths("-r handed.txt"), "-r " + path);
}

TEST_F(StartupTest, DroppedFilesOpen) {
    ASSERT_TRUE(Start());
    std::string path = PathOf("dropped.txt");
    WriteFile(path, "dropped\r\n");
    ASSERT_TRUE(PostDroppedFiles(ew.frame, {path}));
    Pump();
    EXPECT_EQ(Title(CurrentDocument()), path);
}

TEST_F(StartupTest, NamesThatCannotBeOpenedAreReportedAndTheRestOpen) {
    std::string folder = PathOf("folder");
    mkdir(folder.c_str(), 0700);
    std::string locked = PathOf("locked.txt");
    WriteFile(locked, "secret\r\n");
    chmod(locked.c_str(), 0);
    std::string good = PathOf("good.txt");
    WriteFile(good, "good\r\n");
    ASSERT_TRUE(Start(folder + " /dev/zero " + locked + " " + good));
    int reported = 0;
    for (const ShownMessageBox& box : backend->messageBoxes()) {
        reported += box.text.find("folder") != std::string::npos ||
                    box.text.find("/dev/zero") != std::string::npos ||
                    box.text.find("locked.txt") != std::string::npos;
    }
    bool root = geteuid() == 0;  // root reads the file without permission
    EXPECT_EQ(reported, root ? 2 : 3);
    EXPECT_EQ(ew.documentCount, root ? 2 : 1);
    EditWindow* last = pwinFirst;
    while (last->next != nullptr) {
        last = last->next;
    }
    EXPECT_STREQ(last->buffer->pathName, good.c_str());
    chmod(locked.c_str(), 0600);
}

TEST_F(StartupTest, AFileThatVanishedBeforeSavingIsWrittenAgain) {
    std::string path = PathOf("vanish.txt");
    WriteFile(path, "kept\r\n");
    ASSERT_TRUE(Start(path));
    unlink(path.c_str());
    Type("still ");
    Key(VK_F2);
    EXPECT_EQ(ReadFile(path), "still kept\r\n");
}

ssize_t DiskFull(int, const void*, std::size_t) {
    errno = ENOSPC;
    return -1;
}

TEST_F(StartupTest, AFullDiskOnSaveLosesNothing) {
    std::string path = PathOf("full.txt");
    WriteFile(path, "original\r\n");
    ASSERT_TRUE(Start(path));
    Type("changed ");
    editorWriteHook = DiskFull;
    Key(VK_F2);
    editorWriteHook = nullptr;
    ASSERT_FALSE(backend->messageBoxes().empty());
    EXPECT_EQ(backend->messageBoxes().back().text, EditorString(IDS_DISK_FULL));
    EXPECT_EQ(ReadFile(path), "original\r\n");
    EXPECT_TRUE(pbufCurrent->state & BS_MODIFIED);
    EXPECT_EQ(StatusText(), " " + std::string(EditorString(IDS_SAVE_FAILED)));
    // Leaving still asks, and a save that now works keeps the edit.
    backend->pushMessageBoxAnswer(IDYES);
    SendMessageA(ew.frame, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(ReadFile(path), "changed original\r\n");
}

}  // namespace
