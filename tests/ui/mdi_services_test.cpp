// The multiple-document client, and the services around windows: clipboard, common dialogs,
// printing, help, dropped files and messages between programs.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "ui_test_support.h"

namespace farvane::ui::testing {
namespace {

using ::testing::ElementsAre;

constexpr UINT kFirstChild = 0xFF00;

LRESULT ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back(Received{window, message, wParam, lParam});
    return DefMDIChildProcA(window, message, wParam, lParam);
}

class MdiTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        WNDCLASSA cls;
        cls.lpfnWndProc = ChildProc;
        cls.lpszClassName = "Doc";
        RegisterClassA(&cls);
        frame = CreateWindowExA(0, kRecorderClass, "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                800, 600, nullptr, CreateMenu(), nullptr, nullptr);
        windowMenu = CreatePopupMenu();
        AppendMenuA(windowMenu, MF_STRING, 221, "&Cascade");
        AppendMenuA(GetMenu(frame), MF_POPUP, reinterpret_cast<UINT_PTR>(windowMenu), "&Window");
        CLIENTCREATESTRUCT ccs{windowMenu, kFirstChild};
        client = CreateWindowExA(0, kMdiClientClassName, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 800,
                                 600, frame, nullptr, nullptr, &ccs);
    }
    HWND NewChild(const char* title) {
        MDICREATESTRUCTA create;
        create.szClass = "Doc";
        create.szTitle = title;
        create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
        return reinterpret_cast<HWND>(
            SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    }
    HWND Active(BOOL* maximized = nullptr) {
        return reinterpret_cast<HWND>(
            SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
    }
    HWND frame = nullptr;
    HWND client = nullptr;
    HMENU windowMenu = nullptr;
};

TEST_F(MdiTest, ChildrenAreActivatedListedAndRenumbered) {
    HWND one = NewChild("one");
    HWND two = NewChild("two");
    ASSERT_TRUE(IsWindow(one) && IsWindow(two));
    EXPECT_EQ(Active(), two);
    EXPECT_EQ(GetFocus(), two);
    EXPECT_EQ(GetDlgCtrlID(one), static_cast<int>(kFirstChild));
    char text[32];
    ASSERT_EQ(GetMenuItemCount(windowMenu), 4);  // Cascade, separator, two children
    GetMenuStringA(windowMenu, 3, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&2 two");
    EXPECT_EQ(GetMenuState(windowMenu, kFirstChild + 1, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
    Log().clear();
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(one), 0);
    EXPECT_EQ(Active(), one);
    // Both children hear about the change, the old one first.
    std::vector<std::pair<HWND, UINT>> mdiActivates;
    for (const Received& r : Log()) {
        if (r.message == WM_MDIACTIVATE) {
            mdiActivates.emplace_back(r.window, r.message);
            EXPECT_EQ(reinterpret_cast<HWND>(r.wParam), two);
            EXPECT_EQ(reinterpret_cast<HWND>(r.lParam), one);
        }
    }
    ASSERT_EQ(mdiActivates.size(), 2u);
    EXPECT_EQ(mdiActivates[0].first, two);
    SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(one), 0);
    EXPECT_FALSE(IsWindow(one));
    EXPECT_EQ(Active(), two);
    EXPECT_EQ(GetDlgCtrlID(two), static_cast<int>(kFirstChild));  // ids stay contiguous
    EXPECT_EQ(GetMenuItemCount(windowMenu), 3);
    // Choosing the window menu entry activates its child through the frame's default handling.
    HWND three = NewChild("three");
    EXPECT_EQ(Active(), three);
    DefFrameProcA(frame, client, WM_COMMAND, kFirstChild, 0);
    EXPECT_EQ(Active(), two);
}

TEST_F(MdiTest, MaximiseCarriesOverToTheNextActiveChild) {
    HWND one = NewChild("one");
    SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(one), 0);
    BOOL maximized = FALSE;
    EXPECT_EQ(Active(&maximized), one);
    EXPECT_TRUE(maximized);
    HWND two = NewChild("two");  // created maximised like the active one
    EXPECT_TRUE(IsZoomed(two));
    EXPECT_FALSE(IsZoomed(one));
    RECT rect;
    GetClientRect(two, &rect);
    EXPECT_EQ(rect.right, 800);
    SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(two), 0);
    EXPECT_FALSE(IsZoomed(two));
}

TEST_F(MdiTest, CascadeTileAndIconsPlaceChildren) {
    HWND a = NewChild("a");
    HWND b = NewChild("b");
    HWND c = NewChild("c");
    SendMessageA(client, WM_MDITILE, MDITILE_VERTICAL, 0);
    RECT ra, rb, rc;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    GetWindowRect(c, &rc);
    // Three windows in two columns: a alone, b over c.
    EXPECT_EQ(ra.right - ra.left, 400);
    EXPECT_EQ(ra.bottom - ra.top, 600);
    EXPECT_EQ(rb.left, 400);
    EXPECT_EQ(rc.top - rb.top, 300);
    SendMessageA(c, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(c));
    EXPECT_NE(Active(), c);
    SendMessageA(client, WM_MDICASCADE, 0, 0);
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    EXPECT_EQ(rb.left - ra.left, 24);
    GetWindowRect(c, &rc);
    EXPECT_EQ(rc.bottom, 600);  // the icon lies along the bottom
    SendMessageA(client, WM_MDINEXT, reinterpret_cast<WPARAM>(Active()), 0);
}

TEST_F(MdiTest, BadChildHandlesAreIgnored) {
    HWND one = NewChild("one");
    HWND stranger = CreateRecorder("stranger");
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(stranger), 0);
    SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(stranger), 0);
    EXPECT_TRUE(IsWindow(stranger));
    EXPECT_EQ(Active(), one);
    DestroyWindow(one);
    SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(one), 0);
    EXPECT_EQ(Active(), nullptr);
}

class ServicesTest : public HeadlessTest {};

TEST_F(ServicesTest, ClipboardTakesGlobalMemoryAndHandsOutCopies) {
    HWND owner = CreateRecorder();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 6);
    std::memcpy(GlobalLock(block), "hello", 5);
    GlobalUnlock(block);
    EXPECT_EQ(SetClipboardData(CF_TEXT, block), nullptr);  // clipboard not open
    ASSERT_TRUE(OpenClipboard(owner));
    EXPECT_FALSE(OpenClipboard(owner));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_TEXT, block), block);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(owner));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(data))), "hello");
    EXPECT_EQ(GlobalFree(static_cast<HGLOBAL>(data)), data);  // the clipboard owns it
    CloseClipboard();
    EXPECT_EQ(GlobalAlloc(0, std::size_t{1} << 40), nullptr);
}

TEST_F(ServicesTest, FileDialogsAreScriptedAndCheckTheBuffer) {
    char file[16] = "";
    OPENFILENAMEA request;
    request.lpstrFilter = "All Files (*.*)\0*.*\0";
    request.lpstrFile = file;
    request.nMaxFile = sizeof file;
    request.lpstrTitle = "Compare";
    EXPECT_FALSE(GetOpenFileNameA(&request));  // nobody answered: cancelled
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    backend->pushFileDialogAnswer(std::string("/tmp/a.scr"));
    EXPECT_TRUE(GetOpenFileNameA(&request));
    EXPECT_STREQ(file, "/tmp/a.scr");
    EXPECT_EQ(request.nFileOffset, 5);
    EXPECT_EQ(request.nFileExtension, 7);
    backend->pushFileDialogAnswer(std::string("/a/very/long/path/name.txt"));
    EXPECT_FALSE(GetSaveFileNameA(&request));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    EXPECT_EQ(backend->fileDialogs()[0].title, "Compare");
    EXPECT_EQ(backend->fileDialogs()[0].filter, "All Files (*.*)|*.*|");
    request.lStructSize = 3;
    EXPECT_FALSE(GetOpenFileNameA(&request));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
}

TEST_F(ServicesTest, PrinterContextRecordsPagesAndHonoursAbort) {
    PRINTDLGA print;
    print.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    ASSERT_TRUE(PrintDlgA(&print));
    HDC dc = print.hDC;
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 120);
    EXPECT_GT(GetDeviceCaps(dc, HORZRES), 0);
    EXPECT_EQ(StartPage(dc), SP_ERROR);  // no document yet
    DOCINFOA info;
    info.lpszDocName = "notes.scr";
    EXPECT_GT(StartDocA(dc, &info), 0);
    HFONT font = CreateFontA(-MulDiv(10, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0,
                             0, 0, 0, 0, 0, 0, FIXED_PITCH, "Courier");
    SelectObject(dc, font);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    EXPECT_EQ(metrics.tmHeight, 20);
    StartPage(dc);
    TextOutA(dc, 10, 0, "line one", 8);
    TextOutA(dc, 10, metrics.tmHeight, "line two", 8);
    EXPECT_EQ(EndPage(dc), 1);
    static bool stop = false;
    stop = true;
    SetAbortProc(dc, [](HDC, int) -> BOOL { return !stop; });
    StartPage(dc);
    TextOutA(dc, 10, 0, "never finished", 14);
    EXPECT_EQ(EndPage(dc), SP_APPABORT);
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    DeleteDC(dc);
    ASSERT_EQ(backend->printedDocuments().size(), 1u);
    const PrintedDocument& document = backend->printedDocuments()[0];
    EXPECT_EQ(document.name, "notes.scr");
    EXPECT_TRUE(document.aborted);
    ASSERT_EQ(document.pages.size(), 2u);
    ASSERT_EQ(document.pages[0].size(), 2u);
    EXPECT_EQ(document.pages[0][1].text, "line two");
    EXPECT_EQ(document.pages[0][1].y, 20);
    backend->setHasPrinter(false);
    PRINTDLGA none;
    none.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    EXPECT_FALSE(PrintDlgA(&none));
    EXPECT_EQ(none.hDC, nullptr);
}

TEST_F(ServicesTest, HelpShowsTheTopicOfAContext) {
    RegisterHelpTopic("winfv32.hlp", 26049, "Goto Line", "Type a line number.");
    EXPECT_TRUE(WinHelpA(nullptr, "winfv32.hlp>dialog", HELP_CONTEXT, 26049));
    HWND help = HelpWindow();
    ASSERT_NE(help, nullptr);
    char title[32];
    GetWindowTextA(help, title, sizeof title);
    EXPECT_STREQ(title, "Goto Line");
    UpdateWindow(help);
    EXPECT_EQ(HeadlessBackend::GridOf(help)->row(0).substr(0, 20), "Type a line number. ");
    EXPECT_FALSE(WinHelpA(nullptr, "WINFV32.HLP", HELP_CONTEXT, 1));
    EXPECT_TRUE(WinHelpA(nullptr, "winfv32.hlp", HELP_QUIT, 0));
    EXPECT_EQ(HelpWindow(), nullptr);
}

TEST_F(ServicesTest, DroppedFilesReachTheAcceptingWindow) {
    HWND frame = CreateRecorder();
    HWND child = CreateRecorder("child", WS_CHILD | WS_VISIBLE, frame, 3);
    EXPECT_FALSE(PostDroppedFiles(child, {"/tmp/x"}));  // nobody accepts files yet
    DragAcceptFiles(frame, TRUE);
    EXPECT_TRUE(PostDroppedFiles(child, {"/tmp/x", "/tmp/y"}));
    PumpPendingMessages();
    HDROP drop = nullptr;
    for (const Received& r : Log()) {
        if (r.message == WM_DROPFILES) {
            EXPECT_EQ(r.window, frame);
            drop = reinterpret_cast<HDROP>(r.wParam);
        }
    }
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    char path[8];
    EXPECT_EQ(DragQueryFileA(drop, 1, path, sizeof path), 6u);
    EXPECT_STREQ(path, "/tmp/y");
    DragFinish(drop);
    EXPECT_EQ(DragQueryFileA(drop, 0, path, sizeof path), 0u);
}

TEST_F(ServicesTest, RegisteredMessagesAndWindowsAreSharedWithOtherPrograms) {
    char folder[] = "/tmp/fvui-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("FARVANE_RUNTIME_DIR", folder, 1);
    UINT saved = RegisterWindowMessageA("SCRIPTSAVE");
    EXPECT_GE(saved, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageA("scriptsave"), saved);
    EXPECT_NE(RegisterWindowMessageA("Other"), saved);
    EXPECT_EQ(RegisterWindowMessageA(""), 0u);
    int fromChild[2];
    ASSERT_EQ(pipe(fromChild), 0);
    pid_t pid = fork();
    if (pid == 0) {
        // Another program: the same name has the same number; it shows a window and reports
        // what that window receives.
        char ok = RegisterWindowMessageA("SCRIPTSAVE") == saved ? 'y' : 'n';
        HWND window = CreateWindowExA(0, kRecorderClass, "WINFV32", WS_OVERLAPPED, 0, 0, 10, 10,
                                      nullptr, nullptr, nullptr, nullptr);
        if (!window || !AllowMessagesFromOtherPrograms()) {
            ok = 'n';
        }
        (void)!write(fromChild[1], &ok, 1);
        // Gives up after a while so that a failure cannot leave the program behind.
        SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); });
        MSG msg;
        while (ok == 'y' && GetMessageA(&msg, nullptr, 0, 0)) {
            DispatchMessageA(&msg);
            if (msg.hwnd == window && msg.message == saved) {
                char got = static_cast<char>(msg.lParam);
                (void)!write(fromChild[1], &got, 1);
                break;
            }
        }
        StopMessagesFromOtherPrograms();
        _exit(0);
    }
    close(fromChild[1]);  // a child that dies then ends the reads below
    char answer = 0;
    ASSERT_EQ(read(fromChild[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    HWND remote = FindWindowA("TESTRECORDER", nullptr);
    ASSERT_NE(remote, nullptr);
    EXPECT_FALSE(IsWindow(remote));
    EXPECT_EQ(SendMessageA(remote, saved, 0, 0), 0);  // another program's window: no send
    EXPECT_TRUE(PostMessageA(remote, saved, 0, 'Q'));
    ASSERT_EQ(read(fromChild[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'Q');
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(FindWindowA("NoSuchClass", nullptr), nullptr);
    unsetenv("FARVANE_RUNTIME_DIR");
    std::system((std::string("rm -rf ") + folder).c_str());
}

TEST_F(MdiTest, SystemKeysAndTheWindowMenuLimit) {
    std::vector<HWND> children;
    for (int i = 0; i < 11; ++i) {
        children.push_back(NewChild(("doc" + std::to_string(i)).c_str()));
    }
    // The window menu lists nine children after its own items and a separator.
    EXPECT_EQ(GetMenuItemCount(windowMenu), 1 + 1 + 9);
    char text[32];
    GetMenuStringA(windowMenu, 10, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&9 doc8");
    // Ctrl+F6 moves to the next child, Ctrl+F4 closes the active one.
    HWND before = Active();
    PostKeyEvent(VK_F6, true, KeyModifiers{false, true, false});
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(TranslateMDISysAccel(client, &msg));
    EXPECT_NE(Active(), before);
    HWND closing = Active();
    PostKeyEvent(VK_F4, true, KeyModifiers{false, true, false});
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(TranslateMDISysAccel(client, &msg));
    EXPECT_FALSE(IsWindow(closing));
    PostKeyEvent('S', true, KeyModifiers{false, true, false});
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(TranslateMDISysAccel(client, &msg));
    // The frame's default handling lays the client over its whole area.
    DefFrameProcA(frame, client, WM_SIZE, SIZE_RESTORED, MAKELPARAM(500, 300));
    RECT rect;
    GetClientRect(client, &rect);
    EXPECT_EQ(rect.right, 500);
    EXPECT_EQ(rect.bottom, 300);
    // Destroying the last children leaves no active one and an empty window list.
    for (HWND child : children) {
        DestroyWindow(child);
    }
    EXPECT_EQ(Active(), nullptr);
    EXPECT_EQ(GetMenuItemCount(windowMenu), 1);
}

TEST_F(ServicesTest, FontAndPageSetupDialogsAreScripted) {
    LOGFONTA font;
    CHOOSEFONTA choose;
    choose.lpLogFont = &font;
    EXPECT_FALSE(ChooseFontA(&choose));
    LOGFONTA chosen;
    std::strcpy(chosen.lfFaceName, "Courier");
    chosen.lfHeight = -13;
    backend->pushFontAnswer(chosen, 10);
    ASSERT_TRUE(ChooseFontA(&choose));
    EXPECT_STREQ(font.lfFaceName, "Courier");
    EXPECT_EQ(choose.iPointSize, 100);
    choose.lpLogFont = nullptr;
    EXPECT_FALSE(ChooseFontA(&choose));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
    PAGESETUPDLGA setup;
    setup.Flags = PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES;
    setup.rtMargin = RECT{1000, 1000, 1000, 1000};
    backend->pushPageSetupAnswer(RECT{500, 750, 500, 750});
    ASSERT_TRUE(PageSetupDlgA(&setup));
    EXPECT_EQ(setup.rtMargin.top, 750);
    EXPECT_EQ(setup.ptPaperSize.x, 8500);
    backend->pushPageSetupAnswer(std::nullopt);
    EXPECT_FALSE(PageSetupDlgA(&setup));
    EXPECT_EQ(setup.rtMargin.top, 750);  // a cancelled dialog changes nothing
}

TEST_F(ServicesTest, ModalDialogHandsAQuitBackToTheOuterLoop) {
    static DialogTemplate dialog;
    dialog.cx = 100;
    dialog.cy = 50;
    dialog.items = {DefPushButton("OK", IDOK, 10, 10, 40, 14)};
    PushModalDialogHandler([](HWND) { PostQuitMessage(9); });
    INT_PTR result = DialogBoxIndirectParamA(
        nullptr, &dialog, nullptr,
        [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR { return m == WM_INITDIALOG; }, 0);
    EXPECT_EQ(result, 0);  // never ended: the dialog went away with the quit
    MSG msg;
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 9u);
}

}  // namespace
}  // namespace farvane::ui::testing
