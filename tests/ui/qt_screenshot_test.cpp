// Screenshots of real windows on a private Xvfb: a dialog built from a template and a
// multiple-document frame with two children. The PNG files stay in the build folder so that
// a person can look at them.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include <chrono>
#include <memory>
#include <set>
#include <thread>

#include "platform/ui/ui.h"
#include "qt_test_support.h"
#include "xvfb_session.h"

namespace farvane::ui::testing {
namespace {

std::unique_ptr<XvfbSession> g_xvfb;

void Settle() {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    while (std::chrono::steady_clock::now() < end) {
        PumpPendingMessages();
        ProcessQtEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

QImage Grab(const char* name) {
    QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    image.save(QString::fromLatin1(SCREENSHOT_DIR) + QLatin1Char('/') + QLatin1String(name));
    return image;
}

// The number of distinct colours in a rectangle: a blank screen has one.
int Colours(const QImage& image, QRect area) {
    std::set<QRgb> seen;
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); y += 2) {
        for (int x = area.left(); x <= area.right(); x += 2) {
            seen.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(seen.size());
}

class ScreenshotTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_xvfb = std::make_unique<XvfbSession>();
        if (g_xvfb->running()) {
            setenv("DISPLAY", g_xvfb->display().c_str(), 1);
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            StartQtBackend("xcb")->setUnattended(true);
        }
    }
    static void TearDownTestSuite() {
        UseHeadlessBackend();
        g_xvfb.reset();
    }
    void SetUp() override {
        if (!g_xvfb->running()) {
            GTEST_SKIP() << "screenshot tests need a display: " << g_xvfb->reason();
        }
    }
};

INT_PTR QuietProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST_F(ScreenshotTest, DialogFromATemplate) {
    static DialogTemplate dialog = [] {
        DialogTemplate d;
        d.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
        d.x = 20;
        d.y = 20;
        d.cx = 220;
        d.cy = 120;
        d.caption = "Goto Line";
        d.fontName = "MS Sans Serif";
        d.items = {LText("&Line Number:", IDC_STATIC, 8, 10, 60, 8),
                   EditText(200, 70, 8, 60, 12),
                   GroupBox("Options", IDC_STATIC, 8, 28, 140, 50),
                   AutoCheckBox("&Match case", 201, 16, 40, 100, 10),
                   AutoRadioButton("&Up", 202, 16, 54, 40, 10, WS_GROUP),
                   AutoRadioButton("&Down", 203, 70, 54, 40, 10),
                   ListBox(204, 156, 8, 56, 60),
                   DefPushButton("OK", IDOK, 60, 96, 44, 14),
                   PushButton("Cancel", IDCANCEL, 116, 96, 44, 14)};
        return d;
    }();
    HWND box = CreateDialogIndirectParamA(nullptr, &dialog, nullptr, QuietProc, 0);
    ASSERT_NE(box, nullptr);
    SetDlgItemTextA(box, 200, "42");
    CheckDlgButton(box, 201, BST_CHECKED);
    CheckRadioButton(box, 202, 203, 203);
    for (const char* item : {"first", "second", "third"}) {
        SendDlgItemMessageA(box, 204, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    Settle();
    QImage image = Grab("dialog_from_template.png");
    RECT rect;
    GetWindowRect(box, &rect);
    EXPECT_GT(
        Colours(image, QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top)),
        4);
    DestroyWindow(box);
    Settle();
}

LRESULT DocProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT all;
        GetClientRect(window, &all);
        FillRect(dc, &all, GetStockObject(WHITE_BRUSH));
        SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
        char title[32];
        GetWindowTextA(window, title, sizeof title);
        TEXTMETRICA metrics;
        GetTextMetricsA(dc, &metrics);
        for (int line = 0; line < 4; ++line) {
            std::string text = std::string("Line ") + std::to_string(line + 1) + " of " + title;
            TextOutA(dc, metrics.tmHeight / 2, line * metrics.tmHeight, text.c_str(),
                     static_cast<int>(text.size()));
        }
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        TextOutA(dc, metrics.tmHeight / 2, 4 * metrics.tmHeight, "marked block", 12);
        EndPaint(window, &paint);
        return 0;
    }
    return DefMDIChildProcA(window, message, wParam, lParam);
}

TEST_F(ScreenshotTest, MdiFrameWithTwoChildren) {
    WNDCLASSA doc;
    doc.lpfnWndProc = DocProc;
    doc.lpszClassName = "ShotDoc";
    doc.style = CS_DBLCLKS;
    RegisterClassA(&doc);
    WNDCLASSA frameClass;
    frameClass.lpfnWndProc = DefWindowProcA;
    frameClass.lpszClassName = "ShotFrame";
    RegisterClassA(&frameClass);
    MenuTemplate menuData = {{"&File", 0, 0, {{"&New", 100, 0, {}}, {"E&xit", 114, 0, {}}}},
                             {"&Window", 0, 0, {{"&Cascade", 221, 0, {}}, {"&Tile", 222, 0, {}}}}};
    HMENU menu = LoadMenuIndirectA(menuData);
    HWND frame = CreateWindowExA(0, "ShotFrame", "Script Editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 300, 40, 640, 420, nullptr, menu, nullptr, nullptr);
    CLIENTCREATESTRUCT ccs{GetSubMenu(menu, 1), 0xFF00};
    HWND client = CreateWindowExA(0, kMdiClientClassName, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 640,
                                  420, frame, nullptr, nullptr, &ccs);
    MDICREATESTRUCTA create;
    create.szClass = "ShotDoc";
    create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
    for (const char* title : {"first.scr", "second.scr"}) {
        create.szTitle = title;
        SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create));
    }
    SendMessageA(client, WM_MDITILE, MDITILE_VERTICAL, 0);
    Settle();
    QImage image = Grab("mdi_frame.png");
    EXPECT_GT(Colours(image, QRect(300, 40, 640, 420)), 4);
    DestroyWindow(frame);
    Settle();
}

}  // namespace
}  // namespace farvane::ui::testing
