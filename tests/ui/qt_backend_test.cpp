// The Qt backend under the offscreen platform: widgets mirror the model, Qt's signals come back
// as notifications, the multiple-document client is a QMdiArea, painting lands in the window's
// image, and printing writes PDF files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <cstring>

#include "platform/ui/qt/qt_surface.h"
#include "platform/ui/ui.h"
#include "platform/ui/ui_state.h"
#include "qt_test_support.h"

namespace farvane::ui::testing {
namespace {

using ::testing::ElementsAre;

constexpr UINT kEdit = 100, kList = 101, kCombo = 102, kCheck = 103, kLabel = 104;

std::vector<std::pair<UINT, WORD>> g_commands;

INT_PTR Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND) {
        g_commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
        }
        return TRUE;
    }
    return FALSE;
}

const DialogTemplate& Template() {
    static DialogTemplate dialog = [] {
        DialogTemplate d;
        d.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
        d.cx = 200;
        d.cy = 110;
        d.caption = "Qt dialog";
        d.fontName = "MS Sans Serif";
        d.items = {LText("&Name:", kLabel, 4, 6, 40, 8),
                   EditText(kEdit, 50, 4, 100, 12),
                   ListBox(kList, 4, 20, 80, 40),
                   ComboBox(kCombo, 90, 20, 80, 60, CBS_DROPDOWN),
                   AutoCheckBox("&Check", kCheck, 4, 64, 60, 10),
                   DefPushButton("OK", IDOK, 150, 90, 40, 14),
                   PushButton("Cancel", IDCANCEL, 100, 90, 40, 14)};
        return d;
    }();
    return dialog;
}

template <typename T>
T* WidgetOf(HWND window) {
    return qobject_cast<T*>(qt::CurrentQtBackend()->widgetOf(window));
}

class QtBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        backend = StartQtBackend();
        backend->setUnattended(true);
        g_commands.clear();
    }
    void TearDown() override {
        UseHeadlessBackend();
        ProcessQtEvents();
    }
    qt::QtBackend* backend = nullptr;
};

TEST_F(QtBackendTest, DialogControlsAreQtWidgetsThatFollowTheModel) {
    HWND dialog = CreateDialogIndirectParamA(nullptr, &Template(), nullptr, Proc, 0);
    ASSERT_NE(dialog, nullptr);
    ProcessQtEvents();
    QWidget* frame = backend->widgetOf(dialog);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "Qt dialog");
    EXPECT_TRUE(frame->isVisible());
    auto* label = WidgetOf<QLabel>(GetDlgItem(dialog, kLabel));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Name:");
    auto* ok = WidgetOf<QPushButton>(GetDlgItem(dialog, IDOK));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());

    SetDlgItemTextA(dialog, kEdit, "from the program");
    EXPECT_EQ(WidgetOf<QLineEdit>(GetDlgItem(dialog, kEdit))->text(), "from the program");
    SendDlgItemMessageA(dialog, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("beta"));
    SendDlgItemMessageA(dialog, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("alpha"));
    SendDlgItemMessageA(dialog, kList, LB_SETCURSEL, 1, 0);
    auto* list = WidgetOf<QListWidget>(GetDlgItem(dialog, kList));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 1);
    CheckDlgButton(dialog, kCheck, BST_CHECKED);
    EXPECT_TRUE(WidgetOf<QCheckBox>(GetDlgItem(dialog, kCheck))->isChecked());
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(g_commands.size() >= 1);  // EN_CHANGE of the program's text
    DestroyWindow(dialog);
    ProcessQtEvents();
}

TEST_F(QtBackendTest, UserActionsOnWidgetsBecomeNotifications) {
    HWND dialog = CreateDialogIndirectParamA(nullptr, &Template(), nullptr, Proc, 0);
    ProcessQtEvents();
    SendDlgItemMessageA(dialog, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
    SendDlgItemMessageA(dialog, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two"));
    SendDlgItemMessageA(dialog, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
    g_commands.clear();
    auto* edit = WidgetOf<QLineEdit>(GetDlgItem(dialog, kEdit));
    QTest::keyClicks(edit, "ab");
    char text[16];
    GetDlgItemTextA(dialog, kEdit, text, sizeof text);
    EXPECT_STREQ(text, "ab");
    WidgetOf<QListWidget>(GetDlgItem(dialog, kList))->setCurrentRow(1);
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, LB_GETCURSEL, 0, 0), 1);
    WidgetOf<QCheckBox>(GetDlgItem(dialog, kCheck))->click();
    EXPECT_EQ(IsDlgButtonChecked(dialog, kCheck), BST_CHECKED);
    auto* combo = WidgetOf<QComboBox>(GetDlgItem(dialog, kCombo));
    QTest::keyClicks(combo->lineEdit(), "z");
    WidgetOf<QPushButton>(GetDlgItem(dialog, IDOK))->click();
    EXPECT_THAT(g_commands,
                ElementsAre(std::pair{kEdit, EN_UPDATE}, std::pair{kEdit, EN_CHANGE},
                            std::pair{kEdit, EN_UPDATE}, std::pair{kEdit, EN_CHANGE},
                            std::pair{kList, LBN_SELCHANGE}, std::pair{kCheck, BN_CLICKED},
                            std::pair{kCombo, CBN_EDITUPDATE}, std::pair{kCombo, CBN_EDITCHANGE},
                            std::pair{static_cast<UINT>(IDOK), BN_CLICKED},
                            std::pair{kEdit, EN_KILLFOCUS}));
    ProcessQtEvents();
}

TEST_F(QtBackendTest, ModalDialogRunsItsLoopOverQt) {
    PushModalDialogHandler(
        [](HWND dialog) { WidgetOf<QPushButton>(GetDlgItem(dialog, IDCANCEL))->click(); });
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &Template(), nullptr, Proc, 0), IDCANCEL);
    // Enter in the edit control reaches the dialog manager and presses the default button.
    PushModalDialogHandler([](HWND dialog) {
        QTest::keyClick(WidgetOf<QLineEdit>(GetDlgItem(dialog, kEdit)), Qt::Key_Return);
    });
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &Template(), nullptr, Proc, 0), IDOK);
}

LRESULT PaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT all;
        GetClientRect(window, &all);
        FillRect(dc, &all, GetStockObject(WHITE_BRUSH));
        SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
        TextOutA(dc, 0, 0, "HELLO", 5);
        EndPaint(window, &paint);
        return 0;
    }
    return DefMDIChildProcA(window, message, wParam, lParam);
}

TEST_F(QtBackendTest, MdiClientIsAQMdiAreaAndActivationFlowsBothWays) {
    WNDCLASSA cls;
    cls.lpfnWndProc = PaintProc;
    cls.lpszClassName = "QtDoc";
    RegisterClassA(&cls);
    WNDCLASSA frameClass;
    frameClass.lpfnWndProc = DefWindowProcA;
    frameClass.lpszClassName = "QtFrame";
    RegisterClassA(&frameClass);
    HMENU menu = CreateMenu();
    HMENU windowMenu = CreatePopupMenu();
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(windowMenu), "&Window");
    HWND frame = CreateWindowExA(0, "QtFrame", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                                 480, nullptr, menu, nullptr, nullptr);
    CLIENTCREATESTRUCT ccs{windowMenu, 0xFF00};
    HWND client = CreateWindowExA(0, kMdiClientClassName, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 640,
                                  440, frame, nullptr, nullptr, &ccs);
    MDICREATESTRUCTA create;
    create.szClass = "QtDoc";
    create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
    create.szTitle = "one";
    auto one = reinterpret_cast<HWND>(
        SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    create.szTitle = "two";
    auto two = reinterpret_cast<HWND>(
        SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    PumpPendingMessages();
    ProcessQtEvents();
    auto* area = WidgetOf<QMdiArea>(client);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->subWindowList().size(), 2);
    ASSERT_NE(area->activeSubWindow(), nullptr);
    EXPECT_EQ(area->activeSubWindow()->windowTitle(), "two");
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(one), 0);
    ProcessQtEvents();
    EXPECT_EQ(area->activeSubWindow()->windowTitle(), "one");
    area->setActiveSubWindow(area->subWindowList()[1]);  // the user picks "two"
    ProcessQtEvents();
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)), two);
    // The document painted into its image.
    Window* w = FindWindowObject(one);
    auto* image = dynamic_cast<qt::ImageSurface*>(w->surface.get());
    ASSERT_NE(image, nullptr);
    int dark = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 40; ++x) {
            dark += qGray(image->image().pixel(x, y)) < 128;
        }
    }
    EXPECT_GT(dark, 20);
    EXPECT_NE(qobject_cast<QWidget*>(backend->widgetOf(frame))->findChild<QMenuBar*>(), nullptr);
    DestroyWindow(frame);
    ProcessQtEvents();
}

TEST_F(QtBackendTest, PrintingWritesAPdfAndAnAbortLeavesNoFile) {
    std::string path = ::testing::TempDir() + "ui_print_test.pdf";
    QFile::remove(QString::fromStdString(path));
    backend->setPrinterOutputFile(path);
    PRINTDLGA print;
    print.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    ASSERT_TRUE(PrintDlgA(&print));
    HDC dc = print.hDC;
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 1200);
    DOCINFOA info;
    info.lpszDocName = "test";
    ASSERT_GT(StartDocA(dc, &info), 0);
    StartPage(dc);
    TextOutA(dc, 100, 100, "Printed through Qt", 18);
    EndPage(dc);
    EXPECT_EQ(EndDoc(dc), 1);
    DeleteDC(dc);
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
    file.close();

    ASSERT_TRUE(PrintDlgA(&print));
    dc = print.hDC;
    StartDocA(dc, &info);
    StartPage(dc);
    TextOutA(dc, 100, 100, "never finished", 14);
    AbortDoc(dc);
    DeleteDC(dc);
    // The earlier good file is still there, untouched by the aborted job.
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path + ".part")));
    QFile::remove(QString::fromStdString(path));
}

TEST_F(QtBackendTest, MessageBoxUnattendedTakesTheDefaultButton) {
    EXPECT_EQ(MessageBoxA(nullptr, "Save?", "Editor", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Done", "Editor", MB_OK), IDOK);
}

}  // namespace
}  // namespace farvane::ui::testing
