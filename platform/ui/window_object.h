// The model's record of one window. Only the UI thread touches these records; code that sends
// a message must look the window up again afterwards, because the receiver may destroy it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/surface.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

struct WindowClass;
struct DialogState;
struct MdiClientState;

// State a built-in control keeps beyond the common window fields.
class ControlState {
public:
    virtual ~ControlState() = default;
};

struct ScrollBarState {
    int min = 0;
    int max = 0;
    int pos = 0;
    UINT page = 0;
    int trackPos = 0;
    bool shown = false;
};

enum class Placement { Normal, Minimized, Maximized };

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> windowClass;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect;         // in the parent's client coordinates (screen for top-level windows)
    RECT normalRect;   // where a minimised or maximised window returns to
    SIZE clientInset;  // taken from the right and bottom by scroll bars a backend draws
    Placement placement = Placement::Normal;
    HWND parent = nullptr;       // child windows only
    HWND owner = nullptr;        // owned top-level windows (dialogs, popups)
    std::vector<HWND> children;  // in z-order, topmost first
    UINT_PTR id = 0;
    LONG_PTR userData = 0;
    std::vector<unsigned char> extraBytes;
    std::vector<std::pair<std::string, HANDLE>> properties;
    HMENU menu = nullptr;
    HMENU systemMenu = nullptr;
    int menuBarDraws = 0;  // how often the menu bar was redrawn (DrawMenuBar, SetMenu)
    ScrollBarState scroll[2];
    RECT invalid;  // bounding box of the update region; empty when valid
    bool eraseBackground = false;
    bool redraw = true;
    bool destroying = false;
    HFONT font = nullptr;
    std::unique_ptr<Surface> surface;
    std::unique_ptr<ControlState> control;
    std::unique_ptr<DialogState> dialog;
    std::unique_ptr<MdiClientState> mdiClient;
    void* peer = nullptr;  // the backend's mirror
};

bool IsRectEmptyValue(const RECT& rect);
RECT UnionRects(const RECT& a, const RECT& b);
RECT IntersectRects(const RECT& a, const RECT& b);

}  // namespace farvane::ui
