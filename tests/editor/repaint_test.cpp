// Repainting only what changed: after each step of a session (cursor keys that scroll the
// view, typing, paging, the scroll bar, marking a block, a second window on the buffer), the
// document window shows exactly what a full repaint of it shows.
#include <string>
#include <vector>

#include "editor/core/lines.h"
#include "editor/ui/menu_ids.h"
#include "window_fixture.h"

using namespace farvane::ui;

namespace {

struct Screen {
    std::vector<std::string> rows;
    std::vector<std::string> highlight;  // one '#' per highlighted cell
    bool operator==(const Screen&) const = default;
};

class RepaintTest : public EditorWindowTest {
protected:
    Screen Capture(HWND document) const {
        Screen screen;
        GridSurface* grid = HeadlessBackend::GridOf(document);
        for (int row = 0; grid != nullptr && row < grid->rows(); ++row) {
            screen.rows.push_back(grid->row(row));
            std::string marks;
            for (int column = 0; column < grid->columns(); ++column) {
                marks += grid->backColorAt(column, row) == fvedit::ew.highlightColour ? '#' : '.';
            }
            screen.highlight.push_back(marks);
        }
        return screen;
    }
    // What the window shows now, and what it shows once repainted whole.
    void ExpectShowsWhatAFullRepaintShows(HWND document, const std::string& step) {
        Screen shown = Capture(document);
        InvalidateRect(document, nullptr, FALSE);
        UpdateWindow(document);
        Screen repainted = Capture(document);
        ASSERT_FALSE(repainted.rows.empty());
        for (std::size_t row = 0; row < repainted.rows.size(); ++row) {
            EXPECT_EQ(shown.rows[row], repainted.rows[row]) << step << ", row " << row;
            EXPECT_EQ(shown.highlight[row], repainted.highlight[row]) << step << ", row " << row;
        }
    }
    void Step(const std::string& name) {
        ExpectShowsWhatAFullRepaintShows(CurrentDocument(), name);
    }
};

std::string Numbered(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += "line " + std::to_string(i) + (i % 3 == 0 ? "\tafter a tab\r\n" : "\r\n");
    }
    return text;
}

TEST_F(RepaintTest, EveryStepShowsWhatAFullRepaintShows) {
    std::string path = PathOf("rows.txt");
    WriteFile(path, Numbered(300));
    ASSERT_TRUE(Start(path));
    int rows = pwinCurrent->rows;
    ASSERT_GT(rows, 3);
    for (int i = 0; i < rows + 4; ++i) {
        Key(VK_DOWN);  // past the bottom row: the view scrolls by 1, then 2 lines
    }
    Step("cursor down past the bottom");
    EXPECT_GT(pwinCurrent->lplnTop->number, 0u);
    Type("typed");
    Step("typing");
    Key(VK_RETURN);
    Step("a new line");
    Key(VK_BACK);
    Step("joining lines");
    for (int i = 0; i < rows + 2; ++i) {
        Key(VK_UP);
    }
    Step("cursor up past the top");
    Key(VK_NEXT);
    Step("page down");
    PostMessageA(CurrentDocument(), WM_VSCROLL, SB_LINEDOWN, 0);
    PostMessageA(CurrentDocument(), WM_VSCROLL, SB_LINEDOWN, 0);
    PostMessageA(CurrentDocument(), WM_VSCROLL, SB_ENDSCROLL, 0);
    Pump();
    Step("scroll bar");
    Key(VK_DOWN);  // back to the cursor after scrolling away
    Step("cursor after the scroll bar");
    KeyModifiers shift;
    shift.shift = true;
    for (int i = 0; i < 3; ++i) {
        Key(VK_DOWN, shift);
    }
    Key(VK_RIGHT, shift);
    Step("marking a block");
    Key(VK_DOWN);
    Step("ending the block");
    Key(VK_END);
    for (int i = 0; i < 90; ++i) {
        Type("x");  // past the right edge: the view scrolls sideways
    }
    Step("horizontal scroll");
    Key(VK_HOME);
    Step("back to the left edge");
}

TEST_F(RepaintTest, AnotherWindowOnTheBufferFollowsTheEdits) {
    std::string path = PathOf("two.txt");
    WriteFile(path, Numbered(60));
    ASSERT_TRUE(Start(path));
    HWND first = CurrentDocument();
    Command(fvedit::IDM_NEW_WINDOW);
    HWND second = CurrentDocument();
    ASSERT_NE(first, second);
    Type("edit in the second ");
    Key(VK_RETURN);
    for (int i = 0; i < 3; ++i) {
        Key(VK_DOWN);
    }
    Key(VK_DELETE);
    ExpectShowsWhatAFullRepaintShows(second, "the window edited");
    ExpectShowsWhatAFullRepaintShows(first, "the other window");
}

}  // namespace
