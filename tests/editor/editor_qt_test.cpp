// The editor on the Qt backend (offscreen): the three screen fonts, typing through Qt's key
// events into a document, the desktop clipboard, a click into an inactive document, and the
// cursors (the text beam over documents, the wait cursor during long operations).
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QWindow>

#include "../ui/qt_test_support.h"
#include "editor/core/editor_settings.h"
#include "editor/core/lines.h"
#include "editor/ui/editor_fonts.h"
#include "editor/ui/menu_ids.h"
#include "editor/ui/startup.h"
#include "editor/ui/windowed_ui.h"
#include "editor/view/view_metrics.h"
#include "platform/ui/qt/qt_widgets.h"
#include "window_fixture.h"

using namespace farvane::ui;

namespace {

class EditorQtTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        qt = farvane::ui::testing::StartQtBackend();
        ASSERT_NE(qt, nullptr);
    }
    void Settle() {
        for (int i = 0; i < 5; ++i) {
            farvane::ui::testing::ProcessQtEvents();
            Pump();
        }
    }
    qt::QtBackend* qt = nullptr;
};

TEST_F(EditorQtTest, TheThreeScreenFontsHaveDifferentMetrics) {
    ASSERT_TRUE(Start());
    std::vector<std::pair<int, int>> seen;
    for (int font : {FONT_SYSTEM_FIXED, FONT_ANSI_FIXED, FONT_OEM_FIXED}) {
        editorSettings.screenFont = font;
        fvedit::ApplyEditorFont();
        seen.emplace_back(viewMetrics.lineHeight, viewMetrics.charWidth);
        EXPECT_GT(viewMetrics.lineHeight, viewMetrics.charWidth);
    }
    EXPECT_NE(seen[0], seen[1]);
    EXPECT_NE(seen[0], seen[2]);
    EXPECT_NE(seen[1], seen[2]);
}

TEST_F(EditorQtTest, KeysTypeIntoTheDocumentAndCopyReachesTheDesktopClipboard) {
    std::string path = PathOf("qt.txt");
    WriteFile(path, "tail\r\n");
    ASSERT_TRUE(Start(path));
    Settle();
    ASSERT_NE(CurrentDocument(), nullptr);
    for (char c : std::string("QT")) {
        KeyModifiers shift;
        shift.shift = true;
        PostKeyEvent(static_cast<WORD>(c), true, shift);
        PostKeyEvent(static_cast<WORD>(c), false, shift);
    }
    Settle();
    EXPECT_EQ(std::string(pbufCurrent->lplnFirst->text, pbufCurrent->lplnFirst->length), "QTtail");
    KeyModifiers shift;
    shift.shift = true;
    PostKeyEvent(VK_HOME, true, shift);
    PostKeyEvent(VK_HOME, false, shift);
    Settle();
    Command(fvedit::IDM_COPY);
    Settle();
    EXPECT_EQ(qt->clipboardText(), "QT");
    qt->setClipboardText("from outside");
    Key(VK_END);
    Command(fvedit::IDM_PASTE);
    Settle();
    EXPECT_EQ(std::string(pbufCurrent->lplnFirst->text, pbufCurrent->lplnFirst->length),
              "QTtailfrom outside");
}

// The click goes to the native window as the desktop delivers it: Qt itself would move the
// focus to the window under it, which the editor's answer to the click must come before.
TEST_F(EditorQtTest, AClickIntoADocumentThatWasNotJustLeftOnlyActivatesIt) {
    std::string path = PathOf("three.txt");
    WriteFile(path, "first line\r\nsecond line\r\nthird line\r\n");
    ASSERT_TRUE(Start(path));
    HWND first = CurrentDocument();
    Command(fvedit::IDM_NEW_WINDOW);
    Command(fvedit::IDM_NEW_WINDOW);
    Command(fvedit::IDM_CASCADE);
    Settle();
    QWidget* canvas = qt->peerOf(first)->canvas.data();
    QWidget* top = canvas->window();
    // A point on the third row of the first window that the two cascaded over it leave
    // uncovered: a click there that counted would move the cursor.
    QPoint point;
    int y = 2 * viewMetrics.lineHeight + viewMetrics.lineHeight / 2;
    for (int x = canvas->width() / 2; x >= 0 && point.isNull(); x -= 2) {
        QPoint inTop = canvas->mapTo(top, QPoint(x, y));
        if (top->childAt(inTop) == canvas) {
            point = inTop;
        }
    }
    ASSERT_FALSE(point.isNull());
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
    Settle();
    EXPECT_EQ(fvedit::ew.activeDocument, first);
    EXPECT_EQ(pwinCurrent, fvedit::RecordOf(first));
    EXPECT_EQ(pwinCurrent->dot.lpln, pbufCurrent->lplnFirst) << "the click was discarded";
    EXPECT_EQ(pwinCurrent->dot.offset, 0);
    EXPECT_EQ(qt->peerOf(first)->subWindow->mdiArea()->activeSubWindow(),
              qt->peerOf(first)->subWindow.data());
}

TEST_F(EditorQtTest, DocumentsShowTheTextBeamAndLongOperationsTheWaitCursor) {
    ASSERT_TRUE(Start());
    Settle();
    EXPECT_EQ(qt->peerOf(CurrentDocument())->canvas->cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(qt->peerOf(fvedit::ew.frame)->canvas->cursor().shape(), Qt::ArrowCursor);
    fvedit::WindowedUi ui;
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    ui.BeginWaitCursor();
    ui.BeginWaitCursor();  // an operation inside another
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.EndWaitCursor();
    ASSERT_NE(QApplication::overrideCursor(), nullptr) << "the outer operation still runs";
    ui.EndWaitCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(GetCursor(), nullptr);
    ui.EndWaitCursor();  // unbalanced: nothing to put back
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
