#include "suite/fvses32/viewer_window.h"

#include <algorithm>
#include <set>
#include <vector>

#include "platform/ui/ui.h"
#include "suite/fvses32/viewer_input.h"

namespace farvane::viewer {

using namespace farvane::ui;

namespace {

constexpr const char* kClassName = "FvViewerWindow";
constexpr UINT kPictureChangedMessage = WM_APP + 0x31;
constexpr UINT kCloseQuietlyMessage = WM_APP + 0x32;
constexpr UINT kCloseCommand = 0x9102;
constexpr int kLineStep = 16;
constexpr int kWheelStep = 120;
constexpr COLORREF kBorderColour = RGB(48, 48, 48);
// Button bits of the viewer's pointer message.
constexpr std::uint8_t kLeft = 1, kMiddle = 2, kRight = 4;

class ViewerWindow {
public:
    ViewerWindow(HWND window, std::shared_ptr<ViewerScreen> screen, ViewerWindowOptions options)
        : window_(window), screen_(std::move(screen)), options_(std::move(options)) {}

    static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ViewerWindow*>(GetWindowLongPtrA(window, GWL_USERDATA));
        if (!self) {
            return DefWindowProcA(window, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(window, GWL_USERDATA, 0);
            self->screen_->window.store(nullptr);
            delete self;
            return 0;
        }
        return self->Handle(message, wParam, lParam);
    }

    void PictureChanged() {
        screen_->repaintPending.store(false);
        SIZE size = PictureSize();
        if (size.cx != picture_.cx || size.cy != picture_.cy) {
            const bool first = picture_.cx == 0;
            picture_ = size;
            if (first) {
                FitWindowToPicture();
            }
            UpdateScrollBars();
        }
        InvalidateRect(window_, nullptr, FALSE);
    }

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_PAINT:
                Paint();
                return 0;
            case WM_SIZE:
                UpdateScrollBars();
                InvalidateRect(window_, nullptr, FALSE);
                return 0;
            case WM_HSCROLL:
            case WM_VSCROLL:
                Scroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam), HIWORD(wParam));
                return 0;
            case WM_COMMAND:
                Command(LOWORD(wParam));
                return 0;
            case kPictureChangedMessage:
                PictureChanged();
                return 0;
            case kCloseQuietlyMessage:
                DestroyWindow(window_);
                return 0;
            case WM_CLOSE:
                // The person ends the session; the session's end closes the program.
                if (screen_->endSession) {
                    screen_->endSession();
                }
                DestroyWindow(window_);
                return 0;
            case WM_KILLFOCUS:
                ReleaseKeys();
                return 0;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
            case WM_KEYUP:
            case WM_SYSKEYUP:
                Key(static_cast<WORD>(wParam), message == WM_KEYDOWN || message == WM_SYSKEYDOWN);
                return 0;
            case WM_CHAR:
            case WM_SYSCHAR:
                Typed(static_cast<unsigned char>(wParam));
                return 0;
            case WM_MOUSEMOVE:
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_MBUTTONDOWN:
            case WM_MBUTTONUP:
            case WM_RBUTTONDOWN:
            case WM_RBUTTONUP:
            case WM_MOUSEWHEEL:
                Mouse(message, wParam, lParam);
                return 0;
            default:
                return DefWindowProcA(window_, message, wParam, lParam);
        }
    }

    SIZE PictureSize() {
        std::lock_guard guard(screen_->picture);
        const videodecode::Framebuffer& picture = screen_->link->Decoder().framebuffer();
        return SIZE{picture.width(), picture.height()};
    }

    SIZE Client() const {
        RECT client{};
        GetClientRect(window_, &client);
        return SIZE{client.right, client.bottom};
    }

    PictureView View() const {
        return options_.fitToWindow ? FittedView(picture_.cx, picture_.cy, Client())
                                    : UnscaledView(picture_.cx, picture_.cy, Client(), scroll_);
    }

    // The first picture sizes the window to show it 1:1, as far as the desktop allows.
    void FitWindowToPicture() {
        RECT outer{};
        GetWindowRect(window_, &outer);
        const SIZE client = Client();
        const int frameWidth = (outer.right - outer.left) - client.cx;
        const int frameHeight = (outer.bottom - outer.top) - client.cy;
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        const int width = std::min<int>(picture_.cx + frameWidth, screenWidth);
        const int height = std::min<int>(picture_.cy + frameHeight, screenHeight);
        // Moved up and left as far as it takes to keep the whole window on the desktop.
        const int left = std::max<int>(0, std::min<int>(outer.left, screenWidth - width));
        const int top = std::max<int>(0, std::min<int>(outer.top, screenHeight - height));
        MoveWindow(window_, left, top, width, height, TRUE);
    }

    void UpdateScrollBars() {
        const SIZE client = Client();
        for (int bar : {SB_HORZ, SB_VERT}) {
            const int extent = bar == SB_HORZ ? picture_.cx : picture_.cy;
            const int page = bar == SB_HORZ ? client.cx : client.cy;
            LONG& position = bar == SB_HORZ ? scroll_.x : scroll_.y;
            const bool scrolls = !options_.fitToWindow && extent > page;
            position = scrolls ? std::clamp<LONG>(position, 0, extent - page) : 0;
            SCROLLINFO info;
            info.fMask = SIF_ALL;
            info.nMin = 0;
            info.nMax = scrolls ? extent - 1 : 0;
            info.nPage = scrolls ? static_cast<UINT>(page) : 0;
            info.nPos = position;
            SetScrollInfo(window_, bar, &info, TRUE);
        }
    }

    void Scroll(int bar, WORD code, WORD thumb) {
        const SIZE client = Client();
        const int extent = bar == SB_HORZ ? picture_.cx : picture_.cy;
        const int page = bar == SB_HORZ ? client.cx : client.cy;
        LONG& position = bar == SB_HORZ ? scroll_.x : scroll_.y;
        switch (code) {
            case SB_LINEUP:
                position -= kLineStep;
                break;
            case SB_LINEDOWN:
                position += kLineStep;
                break;
            case SB_PAGEUP:
                position -= page;
                break;
            case SB_PAGEDOWN:
                position += page;
                break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION:
                position = thumb;
                break;
            case SB_TOP:
                position = 0;
                break;
            case SB_BOTTOM:
                position = extent;
                break;
            default:
                return;
        }
        position = std::clamp<LONG>(position, 0, std::max(0, extent - page));
        SetScrollPos(window_, bar, position, TRUE);
        InvalidateRect(window_, nullptr, FALSE);
    }

    void Command(UINT command) {
        if (command == kScaleToFitCommand) {
            options_.fitToWindow = !options_.fitToWindow;
            CheckMenuItem(GetMenu(window_), kScaleToFitCommand,
                          options_.fitToWindow ? MF_CHECKED : MF_UNCHECKED);
            UpdateScrollBars();
            InvalidateRect(window_, nullptr, FALSE);
        } else if (command == kCloseCommand) {
            PostMessageA(window_, WM_CLOSE, 0, 0);
        }
    }

    void Paint() {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        const SIZE client = Client();
        const PictureView view = View();
        std::vector<videodecode::Rgb> pixels;
        int width = 0;
        int height = 0;
        {
            std::lock_guard guard(screen_->picture);
            videodecode::Framebuffer& picture = screen_->link->Decoder().framebuffer();
            if (picture.width() == picture_.cx && picture.height() == picture_.cy &&
                !picture.empty()) {
                picture.setCursorPosition(cursor_.x, cursor_.y);
                pixels = picture.composed();
                width = picture.width();
                height = picture.height();
            }
        }
        HBRUSH border = CreateSolidBrush(kBorderColour);
        if (pixels.empty() || IsRectEmpty(&view.dest)) {
            RECT all{0, 0, client.cx, client.cy};
            FillRect(dc, &all, border);
        } else {
            DrawPixels(dc, &view.dest, pixels.data(), width, height, &view.source);
            // The borders around the picture.
            const RECT borders[] = {{0, 0, client.cx, view.dest.top},
                                    {0, view.dest.bottom, client.cx, client.cy},
                                    {0, view.dest.top, view.dest.left, view.dest.bottom},
                                    {view.dest.right, view.dest.top, client.cx, view.dest.bottom}};
            for (const RECT& part : borders) {
                if (!IsRectEmpty(&part)) {
                    FillRect(dc, &part, border);
                }
            }
        }
        DeleteObject(border);
        EndPaint(window_, &paint);
    }

    void Mouse(UINT message, WPARAM wParam, LPARAM lParam) {
        int wheel = 0;
        switch (message) {
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
                buttons_ = message == WM_LBUTTONDOWN ? buttons_ | kLeft : buttons_ & ~kLeft;
                break;
            case WM_MBUTTONDOWN:
            case WM_MBUTTONUP:
                buttons_ = message == WM_MBUTTONDOWN ? buttons_ | kMiddle : buttons_ & ~kMiddle;
                break;
            case WM_RBUTTONDOWN:
            case WM_RBUTTONUP:
                buttons_ = message == WM_RBUTTONDOWN ? buttons_ | kRight : buttons_ & ~kRight;
                break;
            case WM_MOUSEWHEEL:
                wheel = static_cast<SHORT>(HIWORD(wParam)) / kWheelStep;
                break;
            default:
                break;
        }
        if (message != WM_MOUSEWHEEL) {
            const POINT client{static_cast<SHORT>(LOWORD(lParam)),
                               static_cast<SHORT>(HIWORD(lParam))};
            POINT host{};
            if (HostPointOf(View(), client, &host)) {
                cursor_ = host;
                InvalidateRect(window_, nullptr, FALSE);  // the cursor moved with it
            }
        }
        if (buttons_ != 0) {
            SetCapture(window_);
        } else if (GetCapture() == window_) {
            ReleaseCapture();
        }
        if (options_.viewOnly) {
            return;
        }
        std::string ignored;
        screen_->link->SendPointer(
            ViewerPointer{static_cast<std::uint16_t>(std::max<LONG>(cursor_.x, 0)),
                          static_cast<std::uint16_t>(std::max<LONG>(cursor_.y, 0)), buttons_,
                          static_cast<std::int8_t>(std::clamp(wheel, -127, 127))},
            &ignored);
    }

    void Key(WORD virtualKey, bool down) {
        const std::uint32_t keysym = KeysymForKey(virtualKey);
        if (down) {
            lastKeySent_ = keysym != 0;
        }
        if (keysym != 0) {
            SendKey(keysym, down);
        }
    }

    void Typed(unsigned char character) {
        // A key that was sent as itself (Return, Tab...) also types a character: not twice.
        if (lastKeySent_ && character < 0x20) {
            return;
        }
        if (const std::uint32_t keysym = KeysymForTyped(character)) {
            SendKey(keysym, true);
            SendKey(keysym, false);
        }
    }

    void SendKey(std::uint32_t keysym, bool down) {
        if (options_.viewOnly) {
            return;
        }
        if (down) {
            held_.insert(keysym);
        } else {
            held_.erase(keysym);
        }
        std::string ignored;
        screen_->link->SendKey(keysym, down, &ignored);
    }

    // Keys held when the window loses the keyboard would stay down on the host.
    void ReleaseKeys() {
        const std::set<std::uint32_t> held = held_;
        for (std::uint32_t keysym : held) {
            SendKey(keysym, false);
        }
    }

    HWND window_;
    std::shared_ptr<ViewerScreen> screen_;
    ViewerWindowOptions options_;
    SIZE picture_{0, 0};
    POINT scroll_{0, 0};
    POINT cursor_{0, 0};
    std::uint8_t buttons_ = 0;
    bool lastKeySent_ = false;
    std::set<std::uint32_t> held_;
};

bool RegisterViewerClass() {
    WNDCLASSA existing;
    if (GetClassInfoA(nullptr, kClassName, &existing)) {
        return true;
    }
    WNDCLASSA windowClass;
    windowClass.lpfnWndProc = ViewerWindow::Proc;
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

HMENU ViewerMenu(bool fitToWindow) {
    MenuTemplate menu{
        {"&View",
         0,
         MF_POPUP,
         {{"Scale to &Fit",
           kScaleToFitCommand,
           static_cast<UINT>(fitToWindow ? MF_CHECKED : MF_UNCHECKED),
           {}},
          {"", 0, MF_SEPARATOR, {}},
          {"&Close", kCloseCommand, 0, {}}}},
    };
    return LoadMenuIndirectA(menu);
}

}  // namespace

HWND OpenViewerWindow(const std::shared_ptr<ViewerScreen>& screen,
                      const ViewerWindowOptions& options) {
    if (!RegisterViewerClass()) {
        return nullptr;
    }
    HWND window =
        CreateWindowExA(0, kClassName, options.title.c_str(),
                        WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL, CW_USEDEFAULT, CW_USEDEFAULT,
                        640, 480, nullptr, ViewerMenu(options.fitToWindow), nullptr, nullptr);
    if (!window) {
        return nullptr;
    }
    auto* viewer = new ViewerWindow(window, screen, options);
    SetWindowLongPtrA(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(viewer));
    screen->window.store(window);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    viewer->PictureChanged();
    return window;
}

void ViewerPictureChanged(ViewerScreen& screen) {
    HWND window = screen.window.load();
    if (window && !screen.repaintPending.exchange(true)) {
        if (!PostMessageA(window, kPictureChangedMessage, 0, 0)) {
            screen.repaintPending.store(false);
        }
    }
}

void CloseViewerWindow(ViewerScreen& screen) {
    if (HWND window = screen.window.load()) {
        PostMessageA(window, kCloseQuietlyMessage, 0, 0);
    }
}

}  // namespace farvane::viewer
