// Compare, the difference dialog, Find Files Containing with its status window and List Found
// Files on the headless backend, acted on as the user would.
#include <sys/stat.h>

#include "editor/core/editor_settings.h"
#include "editor/core/file_compare.h"
#include "editor/core/find_files.h"
#include "editor/ui/file_tools_windows.h"
#include "editor/ui/menu_ids.h"
#include "platform/kernel/tick.h"
#include "window_fixture.h"

using namespace farvane::ui;
using namespace fvedit;

namespace {

class FileToolsWindowTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        compareState = CompareState{};
        ResetFindFiles();
        WriteFile(PathOf("start.txt"), "start\r\n");
        ASSERT_TRUE(Start(PathOf("start.txt")));
    }
    static void Edit(HWND dialog, int id, const std::string& text) {
        UserEditText(GetDlgItem(dialog, id), text);
    }
    static void Press(HWND dialog, int id) { UserClickButton(GetDlgItem(dialog, id)); }
    static std::string Text(HWND dialog, int id) {
        char text[512];
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
    static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)); }
    std::string LastBox() const {
        return backend->messageBoxes().empty() ? "" : backend->messageBoxes().back().text;
    }
};

TEST_F(FileToolsWindowTest, CompareChecksItsFieldsThenStepsThroughTheDifferences) {
    WriteFile(PathOf("a.txt"), "one\r\ntwo\r\nthree\r\nfour\r\n");
    WriteFile(PathOf("b.txt"), "one\r\ntwo\r\nnew\r\nthree\r\nfour\r\n");
    bool okAtFirst = true;
    bool okWithOne = true;
    bool okWithBoth = false;
    bool stayedOpen = false;
    PushModalDialogHandler([&](HWND dialog) {
        okAtFirst = Enabled(dialog, IDOK);
        Edit(dialog, IDC_COMPARE_FILE1, PathOf("a.txt"));
        okWithOne = Enabled(dialog, IDOK);
        Edit(dialog, IDC_COMPARE_FILE2, PathOf("b.txt"));
        okWithBoth = Enabled(dialog, IDOK);
        Edit(dialog, IDC_COMPARE_LINE2, "65536");
        Press(dialog, IDOK);  // "Invalid line number"; the dialog stays
        stayedOpen = IsWindow(dialog) && LastBox() == "Invalid line number";
        Edit(dialog, IDC_COMPARE_LINE2, "1");
        Press(dialog, IDC_COMPARE_VERTICAL);
        Press(dialog, IDOK);
    });
    Command(IDM_COMPARE);
    Pump();
    EXPECT_FALSE(okAtFirst);
    EXPECT_FALSE(okWithOne);
    EXPECT_TRUE(okWithBoth);
    EXPECT_TRUE(stayedOpen);
    HWND difference = DifferenceWindow();
    ASSERT_NE(difference, nullptr);
    EXPECT_EQ(Text(difference, IDC_DIFFERENCE_TEXT), "Files differ at line 3");
    EXPECT_EQ(Text(difference, IDC_DIFFERENCE_STEP), "&Next Match");

    // Side by side: file 1 on the left half, file 2 on the right half.
    RECT left;
    RECT right;
    GetWindowRect(DocumentWindowOf(compareState.window[0]), &left);
    GetWindowRect(DocumentWindowOf(compareState.window[1]), &right);
    EXPECT_EQ(left.top, right.top);
    EXPECT_EQ(left.right, right.left);
    EXPECT_EQ(pwinCurrent, compareState.window[0]);
    EXPECT_TRUE(compareState.window[1]->marking);

    Press(difference, IDC_DIFFERENCE_STEP);
    Pump();
    EXPECT_EQ(Text(difference, IDC_DIFFERENCE_TEXT), "Match found at line 3 (4)");
    EXPECT_EQ(Text(difference, IDC_DIFFERENCE_STEP), "&Next Difference");
    Press(difference, IDC_DIFFERENCE_STEP);
    Pump();
    EXPECT_EQ(LastBox(), "No more differences");
    EXPECT_EQ(DifferenceWindow(), nullptr);
    EXPECT_FALSE(compareState.window[0] != nullptr);

    // Again, from the histories, and cancelled at the first difference: the blocks go.
    PushModalDialogHandler([&](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_COMPARE_FILE1), PathOf("a.txt"));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_COMPARE_VERTICAL), BST_CHECKED);
        Press(dialog, IDOK);
    });
    Command(IDM_COMPARE);
    Pump();
    ASSERT_NE(DifferenceWindow(), nullptr);
    EditWindow* second = compareState.window[1];
    Press(DifferenceWindow(), IDCANCEL);
    Pump();
    EXPECT_EQ(DifferenceWindow(), nullptr);
    EXPECT_FALSE(second->marking);
}

// Presses the status window's Cancel from a timer once three files were found, and keeps
// what its "Searching" line showed.
std::string searchingShown;
int timerCalls = 0;
void PressStatusCancel(HWND, UINT, UINT_PTR id, DWORD) {
    HWND status = OpenFileToolsDialog();
    bool shown =
        status != nullptr && status != DifferenceWindow() && findFilesState.foundCount >= 3;
    if (shown || ++timerCalls > 1000) {
        KillTimer(nullptr, id);  // given up after a while, so that no loop waits for it
    }
    if (!shown) {
        return;
    }
    char text[512];
    GetDlgItemTextA(status, IDC_STATUS_SEARCHING, text, sizeof text);
    searchingShown = text;
    UserClickButton(GetDlgItem(status, IDCANCEL));
}

TEST_F(FileToolsWindowTest, TheStatusWindowStopsTheSearchAndTheListOpensAFile) {
    std::string deep = PathOf("a_long_folder_name_for_the_status_window");
    mkdir(deep.c_str(), 0700);
    deep += "/and_one_more_folder_of_some_length";
    mkdir(deep.c_str(), 0700);
    const int files = 3000;
    std::string filler(1500, 'x');
    for (int i = 0; i < files; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/f%04d.txt", i);
        // One file in fifty matches, so that the table never fills before the stop.
        WriteFile(deep + name, filler + (i % 50 == 0 ? "\r\nthe needle\r\n" : "\r\n"));
    }
    editorSettings.screenFont = FONT_OEM_FIXED;
    HFONT patternFont = nullptr;
    PushModalDialogHandler([&](HWND dialog) {
        patternFont = reinterpret_cast<HFONT>(
            SendDlgItemMessageA(dialog, IDC_FIND_PATTERN, WM_GETFONT, 0, 0));
        Edit(dialog, IDC_FIND_PATTERN, "NEEDLE");
        Edit(dialog, IDC_FIND_FILE_MASKS, deep + "/*.txt");
        Press(dialog, IDOK);
    });
    std::vector<std::string> listed;
    PushModalDialogHandler([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_LIST_FILES);
        int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[512];
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            listed.push_back(text);
        }
        EXPECT_EQ(Text(dialog, IDC_LIST_PATTERN), "NEEDLE");
        UserDoubleClickItem(list, 1);
    });
    searchingShown.clear();
    timerCalls = 0;
    SetTimer(nullptr, 0, 0, PressStatusCancel);  // due at once: at the first messages run
    // The clock runs fast, so that the messages run between any two files.
    KernelSetTimeScale(100000);
    Command(IDM_FIND_FILES);
    KernelSetTimeScale(1);
    Pump();
    EXPECT_EQ(patternFont, ew.editorFont);
    // Stopped soon after the third file found, well before the 60 files that match.
    EXPECT_GE(findFilesState.foundCount, 3);
    EXPECT_LT(findFilesState.foundCount, files / 50);
    EXPECT_EQ(listed.size(), static_cast<std::size_t>(findFilesState.foundCount));
    EXPECT_EQ(OpenFileToolsDialog(), nullptr);
    // The long path is shown as its head, "..." and a tail from a separator.
    EXPECT_EQ(searchingShown.substr(0, 6), "/tm...");
    EXPECT_NE(searchingShown.find("/and_one_more_folder_of_some_length/f"), std::string::npos)
        << searchingShown;
    ASSERT_GE(listed.size(), 2u);
    EXPECT_EQ(std::string(pwinCurrent->buffer->pathName), listed[1]);
    EXPECT_TRUE(pwinCurrent->marking);
    EXPECT_TRUE(IsWindowEnabled(ew.client));
}

}  // namespace
