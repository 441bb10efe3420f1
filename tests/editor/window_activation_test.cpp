// Clicking into document windows that are not active: a click into the window that the last
// activation deactivated activates it and moves the cursor there; a click into any other
// inactive window only activates it; clicks into the active window always count.
#include "editor/core/lines.h"
#include "editor/ui/menu_ids.h"
#include "window_fixture.h"

using namespace farvane::ui;
using fvedit::ew;

namespace {

class WindowActivationTest : public EditorWindowTest {
protected:
    // Three windows on one file, cascaded; the last one made is active.
    void StartThreeWindows() {
        std::string path = PathOf("three.txt");
        WriteFile(path, "first line\r\nsecond line\r\nthird line\r\nfourth line\r\n");
        ASSERT_TRUE(Start(path));
        windows[0] = CurrentDocument();
        Command(fvedit::IDM_NEW_WINDOW);
        windows[1] = CurrentDocument();
        Command(fvedit::IDM_NEW_WINDOW);
        windows[2] = CurrentDocument();
        Command(fvedit::IDM_CASCADE);
        ASSERT_EQ(ew.activeDocument, windows[2]);
    }
    // A click at a text cell (row 2, column 4) of the window.
    void ClickInto(HWND window) {
        int x = 4 * GridSurface::kCellWidth + 2;
        int y = 2 * GridSurface::kCellHeight + 2;
        PostMouseEvent(window, WM_LBUTTONDOWN, x, y);
        PostMouseEvent(window, WM_LBUTTONUP, x, y);
        Pump();
    }
    // Where the cursor of the window's record stands: line number and offset.
    std::pair<DWORD, int> DotOf(HWND window) const {
        const EditWindow* record = fvedit::RecordOf(window);
        return {record->dot.lpln->number, record->dot.offset};
    }
    HWND windows[3] = {};
};

TEST_F(WindowActivationTest, AClickIntoAWindowThatWasNotJustLeftOnlyActivatesIt) {
    StartThreeWindows();
    ClickInto(windows[0]);  // the window left last was the second one
    EXPECT_EQ(ew.activeDocument, windows[0]);
    EXPECT_EQ(pwinCurrent, fvedit::RecordOf(windows[0]));
    EXPECT_EQ(DotOf(windows[0]), std::make_pair(DWORD{0}, 0)) << "the click was discarded";

    ClickInto(windows[1]);  // left last: the third
    EXPECT_EQ(ew.activeDocument, windows[1]);
    EXPECT_EQ(DotOf(windows[1]), std::make_pair(DWORD{0}, 0));

    ClickInto(windows[1]);  // the active window takes every click
    EXPECT_EQ(DotOf(windows[1]), std::make_pair(DWORD{2}, 3));
}

TEST_F(WindowActivationTest, AClickBackIntoTheWindowJustLeftCountsAsWell) {
    StartThreeWindows();
    ClickInto(windows[1]);  // the third window's activation left the second
    EXPECT_EQ(ew.activeDocument, windows[1]);
    EXPECT_EQ(DotOf(windows[1]), std::make_pair(DWORD{2}, 3));
    ClickInto(windows[2]);  // and back again
    EXPECT_EQ(ew.activeDocument, windows[2]);
    EXPECT_EQ(DotOf(windows[2]), std::make_pair(DWORD{2}, 3));
}

}  // namespace
