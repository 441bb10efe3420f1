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
#include <QScrollBar>
#include <QTest>

#include <cstring>

#include "platform/ui/qt/qt_surface.h"
#include "platform/ui/qt/qt_widgets.h"
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

TEST_F(QtBackendTest, PixelPicturesDrawOneToOneOrScaledAndStayInsideTheClip) {
    qt::ImageSurface surface(8, 8);
    const std::uint32_t pixels[] = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456};  // 2 x 2
    const RECT everything{0, 0, 8, 8};
    // The bottom row of the picture, 1:1, at 1,1.
    surface.drawPixels(RECT{1, 1, 3, 2}, pixels, 2, 2, RECT{0, 1, 2, 2}, everything);
    EXPECT_EQ(surface.image().pixel(1, 1) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(surface.image().pixel(2, 1) & 0xFFFFFF, 0x123456u);
    EXPECT_EQ(surface.image().pixel(1, 0) & 0xFFFFFF, 0xFFFFFFu);  // untouched
    // The whole picture twice as large at 4,4, clipped to the column x = 4.
    surface.drawPixels(RECT{4, 4, 8, 8}, pixels, 2, 2, RECT{0, 0, 2, 2}, RECT{4, 0, 5, 8});
    EXPECT_EQ(surface.image().pixel(4, 4) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(surface.image().pixel(4, 7) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(surface.image().pixel(6, 4) & 0xFFFFFF, 0xFFFFFFu);  // outside the clip

    // Through a window's device context, which refuses a source outside the picture.
    HWND window =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr);
    HDC dc = GetDC(window);
    const RECT source{0, 0, 2, 2};
    const RECT tooLarge{0, 0, 3, 2};
    EXPECT_TRUE(DrawPixels(dc, &everything, pixels, 2, 2, &source));
    EXPECT_FALSE(DrawPixels(dc, &everything, pixels, 2, 2, &tooLarge));
    EXPECT_FALSE(DrawPixels(dc, &everything, nullptr, 2, 2, &source));
    ReleaseDC(window, dc);
    DestroyWindow(window);
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

TEST_F(QtBackendTest, PdfContextsWriteTheirOwnFileWithoutAPrinter) {
    std::string path = ::testing::TempDir() + "ui_pdf_dc_test.pdf";
    QFile::remove(QString::fromStdString(path));
    EXPECT_EQ(CreatePdfDC(""), nullptr);
    HDC dc = CreatePdfDC(path.c_str());
    ASSERT_NE(dc, nullptr);
    DOCINFOA info;
    info.lpszDocName = "print test";
    ASSERT_GT(StartDocA(dc, &info), 0);
    EXPECT_EQ(StartPage(dc), 1);
    TextOutA(dc, 100, 100, "to a PDF", 8);
    EXPECT_EQ(EndPage(dc), 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));  // written when the job ends
    EXPECT_EQ(EndDoc(dc), 1);
    DeleteDC(dc);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
    QFile::remove(QString::fromStdString(path));
    // Every printer the system lists has a name, and at most one is the default.
    int defaults = 0;
    for (const SystemPrinter& printer : SystemPrinters()) {
        EXPECT_FALSE(printer.name.empty());
        defaults += printer.isDefault;
    }
    EXPECT_LE(defaults, 1);
}

TEST_F(QtBackendTest, MessageBoxUnattendedTakesTheDefaultButton) {
    EXPECT_EQ(MessageBoxA(nullptr, "Save?", "Editor", MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Done", "Editor", MB_OK), IDOK);
}

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;

LRESULT SeeingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITMENUPOPUP) {
        // The program decides at opening time: Close is greyed, Word Wrap checked.
        EnableMenuItem(reinterpret_cast<HMENU>(wParam), 102, MF_GRAYED);
        CheckMenuItem(reinterpret_cast<HMENU>(wParam), 127, MF_CHECKED);
    }
    if (message == WM_COMMAND || message == WM_KEYDOWN || message == WM_CHAR ||
        message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_VSCROLL ||
        message == WM_INITMENUPOPUP) {
        g_seen.push_back(Seen{message, wParam, lParam});
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND SeeingFrame(HMENU menu, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
    WNDCLASSA cls;
    cls.lpfnWndProc = SeeingProc;
    cls.lpszClassName = "QtSeeing";
    cls.style = CS_DBLCLKS;
    RegisterClassA(&cls);
    g_seen.clear();
    return CreateWindowExA(0, "QtSeeing", "Seeing", style, 10, 10, 400, 300, nullptr, menu, nullptr,
                           nullptr);
}

TEST_F(QtBackendTest, MenuBarPopupsAreSetUpByTheProgramWhenTheyOpen) {
    MenuTemplate data = {{"&File", 0, 0, {{"&New", 100, 0, {}}, {"&Close", 102, 0, {}}}},
                         {"&Edit", 0, 0, {{"&Word Wrap", 127, 0, {}}}}};
    HWND frame = SeeingFrame(LoadMenuIndirectA(data));
    ProcessQtEvents();
    auto* bar = backend->widgetOf(frame)->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[0]->text(), "&File");
    QMenu* file = bar->actions()[0]->menu();
    ASSERT_NE(file, nullptr);
    Q_EMIT file->aboutToShow();
    ASSERT_EQ(file->actions().size(), 2);
    EXPECT_TRUE(file->actions()[0]->isEnabled());
    EXPECT_FALSE(file->actions()[1]->isEnabled());
    QMenu* edit = bar->actions()[1]->menu();
    Q_EMIT edit->aboutToShow();
    EXPECT_TRUE(edit->actions()[0]->isChecked());
    file->actions()[0]->trigger();
    PumpPendingMessages();
    ASSERT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen.back().message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(LOWORD(g_seen.back().wParam), 100);
    DestroyWindow(frame);
}

TEST_F(QtBackendTest, KeysMouseAndScrollBarsOfAPaintedWindowBecomeMessages) {
    HWND frame = SeeingFrame(nullptr, WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE);
    ProcessQtEvents();
    auto* canvas = backend->peerOf(frame)->canvas.data();
    ASSERT_NE(canvas, nullptr);
    RECT client;
    GetClientRect(frame, &client);
    EXPECT_EQ(client.right, 400 - 16);  // the scroll bar takes its width from the client
    SetFocus(frame);
    QTest::keyClicks(canvas, "A");
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));
    SetScrollRange(frame, SB_VERT, 0, 50, TRUE);
    SetScrollPos(frame, SB_VERT, 10, TRUE);
    auto* scroll = canvas->findChild<QScrollBar*>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->maximum(), 50);
    EXPECT_EQ(scroll->value(), 10);
    scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    PumpPendingMessages();
    std::vector<UINT> messages;
    for (const Seen& seen : g_seen) {
        messages.push_back(seen.message);
        if (seen.message == WM_CHAR) {
            EXPECT_EQ(seen.wParam, static_cast<WPARAM>('A'));
        }
        if (seen.message == WM_LBUTTONDOWN) {
            EXPECT_EQ(GET_X_LPARAM(seen.lParam), 30);
            EXPECT_EQ(GET_Y_LPARAM(seen.lParam), 40);
        }
    }
    EXPECT_THAT(messages, ::testing::IsSupersetOf(
                              {static_cast<UINT>(WM_KEYDOWN), static_cast<UINT>(WM_CHAR),
                               static_cast<UINT>(WM_LBUTTONDOWN), static_cast<UINT>(WM_LBUTTONUP),
                               static_cast<UINT>(WM_VSCROLL)}));
    DestroyWindow(frame);
}

TEST_F(QtBackendTest, ListDoubleClickAndComboChoiceNotify) {
    HWND dialog = CreateDialogIndirectParamA(nullptr, &Template(), nullptr, Proc, 0);
    ProcessQtEvents();
    SendDlgItemMessageA(dialog, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
    SendDlgItemMessageA(dialog, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first"));
    SendDlgItemMessageA(dialog, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("second"));
    g_commands.clear();
    auto* list = WidgetOf<QListWidget>(GetDlgItem(dialog, kList));
    Q_EMIT list->itemDoubleClicked(list->item(0));
    auto* combo = WidgetOf<QComboBox>(GetDlgItem(dialog, kCombo));
    Q_EMIT combo->activated(1);
    char text[16];
    GetDlgItemTextA(dialog, kCombo, text, sizeof text);
    EXPECT_STREQ(text, "second");
    EXPECT_EQ(combo->currentText(), "second");
    EXPECT_THAT(g_commands, ::testing::IsSupersetOf(
                                {std::pair{kList, LBN_DBLCLK}, std::pair{kCombo, CBN_SELCHANGE}}));
    DestroyWindow(dialog);
    ProcessQtEvents();
}

// Qt names keys like '!' or ';' by their symbol: each still reaches the program with the key
// that types it, so that it becomes a character.
TEST(QtKeys, PunctuationHasTheKeyThatTypesIt) {
    EXPECT_EQ(qt::VirtualKeyOfCharacter('!'), '1');
    EXPECT_EQ(qt::VirtualKeyOfCharacter(')'), '0');
    EXPECT_EQ(qt::VirtualKeyOfCharacter(';'), VK_OEM_1);
    EXPECT_EQ(qt::VirtualKeyOfCharacter('"'), VK_OEM_7);
    EXPECT_EQ(qt::VirtualKeyOfCharacter('\\'), VK_OEM_5);
    EXPECT_EQ(qt::VirtualKeyOfCharacter('q'), 'Q');
    EXPECT_EQ(qt::VirtualKeyOfCharacter('\xE9'), VK_OEM_8);  // an accented letter
    EXPECT_EQ(qt::VirtualKeyOfCharacter('\x01'), 0);         // a control character has no key
}

}  // namespace
}  // namespace farvane::ui::testing
