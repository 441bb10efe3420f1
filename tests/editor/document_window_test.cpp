// The document window driven as a user drives it: keys through the editor's accelerators,
// mouse clicks and drags, scroll bars, several windows, maximise and restore, closing.
#include <unistd.h>

#include "editor/core/cursor_steps.h"
#include "editor/core/editor_settings.h"
#include "editor/core/editor_strings.h"
#include "editor/core/key_table.h"
#include "editor/core/lines.h"
#include "editor/ui/menu_ids.h"
#include "window_fixture.h"

using namespace farvane::ui;
using fvedit::ew;

namespace {

class DocumentWindowTest : public EditorWindowTest {
protected:
    // Starts with a file of the text and returns its path.
    std::string StartWith(const std::string& text, const std::string& name = "doc.txt") {
        std::string path = PathOf(name);
        WriteFile(path, text);
        EXPECT_TRUE(Start(path));
        return path;
    }
};

TEST_F(DocumentWindowTest, StartsWithOneMaximisedUntitledDocumentAndTheStatusLine) {
    ASSERT_TRUE(Start());
    ASSERT_NE(CurrentDocument(), nullptr);
    EXPECT_EQ(ew.documentCount, 1);
    EXPECT_TRUE(IsZoomed(CurrentDocument()));
    char title[64];
    GetWindowTextA(CurrentDocument(), title, sizeof title);
    EXPECT_STREQ(title, "Untitled-1");
    EXPECT_EQ(StatusText().substr(0, 13), " Line 1 Col 1");
    EXPECT_EQ(StatusText().find("modified"), std::string::npos);
    EXPECT_EQ(MenuTitles(), "&File &Edit &Search &Options &Window &Help");
}

TEST_F(DocumentWindowTest, TypingShowsTheTextAndCursorKeysMoveThroughTheAccelerators) {
    ASSERT_TRUE(Start());
    Type("abc\nde");
    EXPECT_EQ(Row(0), " abc");
    EXPECT_EQ(Row(1), " de");
    EXPECT_EQ(StatusText().substr(0, 22), " Line 2 Col 3 modified");
    Key(VK_UP);
    Key(VK_LEFT);
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 0u);
    EXPECT_EQ(pwinCurrent->dot.offset, 1);
    KeyModifiers shift;
    shift.shift = true;
    Key(VK_END, shift);  // select to the end of the line
    EXPECT_TRUE(pwinCurrent->marking);
    EXPECT_FALSE(Highlighted(0, 1));
    EXPECT_TRUE(Highlighted(0, 2));
    EXPECT_TRUE(Highlighted(0, 3));
    Type("X");  // typing replaces the selection
    EXPECT_EQ(Row(0), " aX");
}

TEST_F(DocumentWindowTest, TabsExpandAndTheViewScrollsSideways) {
    std::string longLine(100, 'y');
    StartWith("\tX\n" + longLine + "Z\n");
    EXPECT_EQ(Row(0), " " + std::string(8, ' ') + "X");
    Key(VK_DOWN);
    Key(VK_END);
    // The dot at column 101 of a window of 1024/8 - margin columns stays unscrolled when it
    // fits; a narrower window scrolls by steps of 16.
    RECT client;
    GetClientRect(CurrentDocument(), &client);
    int columns = pwinCurrent->columns;
    if (101 >= columns) {
        EXPECT_EQ(pwinCurrent->hscroll % 16, 0);
        EXPECT_GT(pwinCurrent->hscroll, 0);
        EXPECT_EQ(Row(1).back(), 'Z');
    } else {
        EXPECT_EQ(pwinCurrent->hscroll, 0);
    }
    UserScroll(CurrentDocument(), SB_HORZ, SB_PAGERIGHT);
    Pump();
    EXPECT_EQ(Row(0).find('X'), std::string::npos);  // cell 9 - 16 columns is off the left
}

TEST_F(DocumentWindowTest, ClickingPlacesTheDotAndDraggingMarksABlock) {
    StartWith("first line\nsecond line\nthird line\n");
    Click(1, 3);  // margin cell, then "se|cond"
    Release(1, 3);
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 1u);
    EXPECT_EQ(pwinCurrent->dot.offset, 2);
    Click(0, 1);
    Drag(2, 6);
    Release(2, 6);
    EXPECT_TRUE(pwinCurrent->marking);
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 2u);
    EXPECT_EQ(pwinCurrent->dot.offset, 5);
    EXPECT_TRUE(Highlighted(0, 1));
    EXPECT_TRUE(Highlighted(1, 8));
    EXPECT_TRUE(Highlighted(2, 5));
    EXPECT_FALSE(Highlighted(2, 6));
    Click(0, 4, true);  // shift-click keeps marking from the anchor
    Release(0, 4);
    EXPECT_TRUE(pwinCurrent->marking);
    EXPECT_EQ(pwinCurrent->dot.offset, 3);
}

TEST_F(DocumentWindowTest, DraggingBelowTheWindowScrollsToTheEndOfTheBuffer) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "line " + std::to_string(i) + "\n";
    }
    StartWith(text);
    int rows = pwinCurrent->rows;
    Click(0, 1);
    Drag(rows + 3, 2);  // below the last row, the pointer held still
    Release(rows + 3, 2);
    EXPECT_TRUE(pwinCurrent->marking);
    EXPECT_EQ(pwinCurrent->dot.lpln->next, nullptr);  // stopped at the end of the buffer
    EXPECT_EQ(pwinCurrent->cursorRow, rows - 1);
    EXPECT_EQ(Row(rows - 1), " line 199");
    EXPECT_EQ(Row(rows), "");
}

TEST_F(DocumentWindowTest, TheVerticalScrollBarMovesTheViewButNotTheDot) {
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "row" + std::to_string(i) + "\n";
    }
    StartWith(text);
    HWND document = CurrentDocument();
    UserScroll(document, SB_VERT, SB_LINEDOWN);
    UserScroll(document, SB_VERT, SB_LINEDOWN);  // the step grows to 2
    UserScroll(document, SB_VERT, SB_ENDSCROLL);
    Pump();
    EXPECT_EQ(pwinCurrent->lplnTop->number, 3u);
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 0u);
    EXPECT_EQ(Row(0), " row3");
    EXPECT_EQ(GetScrollPos(document, SB_VERT), 3);
    UserScroll(document, SB_VERT, SB_THUMBPOSITION, 50);
    Pump();
    EXPECT_EQ(Row(0), " row50");
    // The next cursor key brings the dot back into view.
    Key(VK_DOWN);
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 1u);
    EXPECT_EQ(Row(pwinCurrent->cursorRow), " row1");
}

TEST_F(DocumentWindowTest, TwoWindowsOnABufferAreNumberedAndShowEachEdit) {
    std::string path = StartWith("shared\n");
    Command(fvedit::IDM_NEW_WINDOW);
    ASSERT_EQ(ew.documentCount, 2);
    char title[256];
    GetWindowTextA(CurrentDocument(), title, sizeof title);
    EXPECT_EQ(std::string(title), path + ":2");
    HWND second = CurrentDocument();
    HWND first = fvedit::DocumentWindowOf(pwinFirst);
    GetWindowTextA(first, title, sizeof title);
    EXPECT_EQ(std::string(title), path + ":1");
    Type("X");
    EXPECT_EQ(HeadlessBackend::GridOf(first)->row(0).substr(0, 8), " Xshared");
    Command(fvedit::IDM_CLOSE);  // one window of two closes without a question
    EXPECT_FALSE(IsWindow(second));
    EXPECT_TRUE(backend->messageBoxes().empty());
    GetWindowTextA(first, title, sizeof title);
    EXPECT_EQ(std::string(title), path);
}

TEST_F(DocumentWindowTest, MaximiseAndRestoreFollowTheWindowCommands) {
    StartWith("text\n");
    HWND document = CurrentDocument();
    ASSERT_TRUE(IsZoomed(document));
    Command(fvedit::IDM_RESTORE);  // the first restore cascades
    EXPECT_FALSE(IsZoomed(document));
    EXPECT_FALSE(ew.childrenMaximised);
    Command(fvedit::IDM_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(document));
    EXPECT_TRUE(ew.childrenMaximised);
    Command(fvedit::IDM_RESTORE);
    EXPECT_FALSE(IsZoomed(document));
}

TEST_F(DocumentWindowTest, ClosingAModifiedDocumentAsksAndCancelKeepsIt) {
    std::string path = StartWith("keep\n");
    Type("new ");
    backend->pushMessageBoxAnswer(IDCANCEL);
    Command(fvedit::IDM_CLOSE);
    ASSERT_EQ(backend->messageBoxes().size(), 1u);
    EXPECT_EQ(backend->messageBoxes()[0].text, path + EditorString(IDS_SAVE_BEFORE_CLOSING));
    EXPECT_NE(CurrentDocument(), nullptr);
    backend->pushMessageBoxAnswer(IDNO);
    Command(fvedit::IDM_CLOSE);
    EXPECT_EQ(ew.documentCount, 0);
    EXPECT_EQ(ew.status, nullptr);
    EXPECT_EQ(MenuTitles(), "&File &Search &Options &Help");
    EXPECT_EQ(ReadFile(path), "keep\n");
}

TEST_F(DocumentWindowTest, SavingWithTheKeyWritesTheFile) {
    std::string path = StartWith("one\ntwo\n");
    Type("zero\n");
    Key(VK_F2);  // save_file in the default key table
    EXPECT_EQ(ReadFile(path), "zero\r\none\r\ntwo\r\n");
    EXPECT_EQ(StatusText().find("modified"), std::string::npos);
}

TEST_F(DocumentWindowTest, MinimisingTheLastShownWindowShowsTheArrangeIconsMenu) {
    StartWith("x\n");
    HWND document = CurrentDocument();
    SendMessageA(document, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Pump();
    EXPECT_TRUE(IsIconic(document));
    EXPECT_EQ(MenuTitles(), "&File &Search &Options &Window &Help");
    EXPECT_EQ(ew.status, nullptr);
    HMENU window = GetSubMenu(GetMenu(ew.frame), 3);
    char text[64];
    GetMenuStringA(window, fvedit::IDM_ARRANGE_ICONS, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Arrange Icons");
    SendMessageA(ew.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(document), 0);
    Pump();
    EXPECT_EQ(MenuTitles(), "&File &Edit &Search &Options &Window &Help");
    EXPECT_NE(ew.status, nullptr);
}

TEST_F(DocumentWindowTest, MenuItemsAreEnabledByTheEditorsState) {
    StartWith("abc\n");
    HMENU edit = GetSubMenu(GetMenu(ew.frame), 1);
    OpenMenuPopup(ew.frame, 1);
    EXPECT_TRUE(GetMenuState(edit, fvedit::IDM_CUT, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(edit, fvedit::IDM_UNDO, MF_BYCOMMAND) & MF_GRAYED);
    KeyModifiers shift;
    shift.shift = true;
    Key(VK_RIGHT, shift);
    OpenMenuPopup(ew.frame, 1);
    EXPECT_FALSE(GetMenuState(edit, fvedit::IDM_CUT, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(edit, fvedit::IDM_UNDO, MF_BYCOMMAND) & MF_GRAYED);
    Command(fvedit::IDM_CUT);
    EXPECT_EQ(Row(0), " bc");
    OpenMenuPopup(ew.frame, 1);
    EXPECT_FALSE(GetMenuState(edit, fvedit::IDM_PASTE, MF_BYCOMMAND) & MF_GRAYED);
    Key(VK_END);
    Command(fvedit::IDM_PASTE);
    EXPECT_EQ(Row(0), " bca");
}

}  // namespace

namespace {

class PrivateMessageTest : public EditorWindowTest {};

TEST_F(PrivateMessageTest, CentreInsertTextAndTheAutosaveTimer) {
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "l" + std::to_string(i) + "\r\n";
    }
    WriteFile(PathOf("m.txt"), text);
    ASSERT_TRUE(Start(PathOf("m.txt")));
    Key(VK_NEXT);
    Key(VK_NEXT);
    HWND document = CurrentDocument();
    SendMessageA(document, fvedit::WM_CENTER_DOT_LINE, 0, 0);
    Pump();
    EXPECT_EQ(pwinCurrent->cursorRow, pwinCurrent->rows / 2);
    static const char inserted[] = "ins";
    SendMessageA(document, fvedit::WM_INSERT_TEXT, 0, reinterpret_cast<LPARAM>(inserted));
    Pump();
    EXPECT_EQ(Row(pwinCurrent->cursorRow).substr(0, 4), " ins");
    // The frame's timer runs the autosave checks in the focused document.
    editorSettings.autosaveInterval = 1;
    EXPECT_EQ(pbufCurrent->autosaveName[0], '\0');
    usleep(5000);  // more than the 1 ms interval has passed since the last save
    SendMessageA(ew.frame, WM_TIMER, fvedit::ID_FRAME_TIMER, 0);
    Pump();
    EXPECT_NE(pbufCurrent->autosaveName[0], '\0');
    std::string autosave = pbufCurrent->autosaveName;
    EXPECT_NE(ReadFile(autosave).find("ins"), std::string::npos);
    // Leaving without saving deletes it.
    backend->pushMessageBoxAnswer(IDNO);
    SendMessageA(ew.frame, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(ew.frame));
    EXPECT_EQ(access(autosave.c_str(), F_OK), -1);
}

}  // namespace

namespace {

class KeyboardModeTest : public EditorWindowTest {};

TEST_F(KeyboardModeTest, WithoutMenuAcceleratorsTheMenusLoseTheirMnemonics) {
    ASSERT_TRUE(Start());
    editorSettings.keyboardMode = 0;
    ApplyKeyboardMode();
    Pump();
    EXPECT_EQ(MenuTitles(), "File Edit Search Options Window Help");
    EXPECT_EQ(CurrentAcceleratorTable(), ACCEL_NO_MNEMONICS);
    Type("ab");  // the keys still reach the document through table 6
    EXPECT_EQ(Row(0), " ab");
    SendMessageA(CurrentDocument(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Pump();
    EXPECT_EQ(MenuTitles(), "File Search Options Window Help");
    editorSettings.keyboardMode = 1;
    ApplyKeyboardMode();
    Pump();
    EXPECT_EQ(MenuTitles(), "&File &Search &Options &Window &Help");
}

}  // namespace
