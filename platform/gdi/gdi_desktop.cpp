// Desktops, desktop windows, screen metrics, cursors and the mouse hook.
#include <atomic>
#include <cstring>
#include <string>

#include "platform/gdi/cursor_image.h"
#include "platform/gdi/desktop_name.h"
#include "platform/gdi/display_registry.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/handle_table.h"

namespace farvane::gdi {

namespace {

constexpr std::size_t kMaxDesktopName = 128;

class Desktop : public GdiObject {
public:
    explicit Desktop(std::string name) : GdiObject(ObjectKind::Desktop), name(std::move(name)) {}
    const std::string name;
    std::atomic<int> attachedThreads{0};
};

// The desktop the thread attached with SetThreadDesktop; detached when the thread ends.
struct ThreadDesktop {
    std::shared_ptr<Desktop> desktop;
    void Attach(std::shared_ptr<Desktop> next) {
        if (next) {
            ++next->attachedThreads;
        }
        if (desktop) {
            --desktop->attachedThreads;
        }
        desktop = std::move(next);
    }
    ~ThreadDesktop() { Attach(nullptr); }
};

thread_local ThreadDesktop tDesktop;

std::atomic<int> gMouseHooks{0};

}  // namespace

std::shared_ptr<DisplayDevice> CurrentDisplay() {
    std::shared_ptr<DisplayDevice> device =
        OpenDisplay(tDesktop.desktop ? std::string_view(tDesktop.desktop->name) : "Default");
    if (device && !device->IsAlive()) {
        return nullptr;
    }
    return device;
}

}  // namespace farvane::gdi

using namespace farvane::gdi;

HDESK OpenDesktopA(LPCSTR desktop, DWORD, BOOL, ACCESS_MASK) {
    if (!desktop) {
        return nullptr;
    }
    const std::size_t length = strnlen(desktop, kMaxDesktopName + 1);
    const std::optional<DesktopName> name = ParseDesktopName(std::string_view(desktop, length));
    if (!name || !OpenDisplay(name->canonical)) {
        return nullptr;
    }
    auto object = std::make_shared<Desktop>(name->canonical);
    return ToHandle<HDESK>(HandleTable::Instance().Add(object));
}

BOOL SetThreadDesktop(HDESK desktop) {
    auto object = HandleTable::Instance().Find<Desktop>(desktop, ObjectKind::Desktop);
    if (!object) {
        return FALSE;
    }
    tDesktop.Attach(std::move(object));
    return TRUE;
}

BOOL CloseDesktop(HDESK desktop) {
    auto object = HandleTable::Instance().Find<Desktop>(desktop, ObjectKind::Desktop);
    if (!object || object->attachedThreads.load() > 0) {
        return FALSE;
    }
    return HandleTable::Instance().Remove(desktop) ? TRUE : FALSE;
}

HWND GetDesktopWindow() {
    std::shared_ptr<DisplayDevice> device = CurrentDisplay();
    return device ? device->window() : nullptr;
}

BOOL IsWindow(HWND window) {
    std::shared_ptr<DisplayDevice> device = DisplayForWindow(window);
    return device && device->IsAlive() ? TRUE : FALSE;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return kCursorSize;
        case SM_CMONITORS:
            return 1;
        default:
            break;
    }
    std::shared_ptr<DisplayDevice> device = CurrentDisplay();
    if (!device) {
        return 0;
    }
    const DisplayGeometry geometry = device->Geometry();
    switch (index) {
        case SM_CXSCREEN:
        case SM_CXVIRTUALSCREEN:
            return geometry.width;
        case SM_CYSCREEN:
        case SM_CYVIRTUALSCREEN:
            return geometry.height;
        default:
            return 0;
    }
}

DWORD GetSysColor(int index) {
    if (index != COLOR_BACKGROUND) {
        return 0;
    }
    std::shared_ptr<DisplayDevice> device = CurrentDisplay();
    return device ? device->BackgroundColour() : 0;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (instance || name != IDC_ARROW) {
        return nullptr;
    }
    return StandardArrow();
}

BOOL GetIconInfo(HICON icon, PICONINFO info) {
    std::shared_ptr<CursorImage> cursor = FindCursor(icon);
    if (!cursor || !info) {
        return FALSE;
    }
    auto mask =
        Bitmap::Create(cursor->width, cursor->maskHeight(), PixelFormat::ForDepth(1), nullptr);
    if (!mask) {
        return FALSE;
    }
    mask->bits = cursor->mask;
    std::shared_ptr<Bitmap> colour;
    if (cursor->colour) {
        colour =
            Bitmap::Create(cursor->width, cursor->height, cursor->colourFormat, CurrentDisplay());
        if (!colour) {
            HandleTable::Instance().Remove(ToHandle<HBITMAP>(mask->handle()));
            return FALSE;
        }
        colour->bits = cursor->colourBits;
    }
    info->fIcon = FALSE;
    info->xHotspot = static_cast<DWORD>(cursor->hotX);
    info->yHotspot = static_cast<DWORD>(cursor->hotY);
    info->hbmMask = ToHandle<HBITMAP>(mask->handle());
    info->hbmColor = colour ? ToHandle<HBITMAP>(colour->handle()) : nullptr;
    return TRUE;
}

BOOL GetCursorPos(LPPOINT point) {
    std::shared_ptr<DisplayDevice> device = CurrentDisplay();
    return device && point && device->CursorPosition(point) ? TRUE : FALSE;
}

BOOL SetCursorPos(int x, int y) {
    std::shared_ptr<DisplayDevice> device = CurrentDisplay();
    return device && device->MoveCursor(x, y) ? TRUE : FALSE;
}

BOOL HookMouseInstall() {
    ++gMouseHooks;
    return TRUE;
}

BOOL HookMouseRemove() {
    int hooks = gMouseHooks.load();
    while (hooks > 0) {
        if (gMouseHooks.compare_exchange_weak(hooks, hooks - 1)) {
            return TRUE;
        }
    }
    return FALSE;
}

HCURSOR HookMouseQuery() {
    if (gMouseHooks.load() == 0) {
        return nullptr;
    }
    std::shared_ptr<DisplayDevice> device = CurrentDisplay();
    return device ? device->CurrentCursor() : nullptr;
}
