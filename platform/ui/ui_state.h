// The process-wide state of the windowing model: the handle tables, the class registry, the
// message queue, timers, focus and capture, the caret, and the backend. All of it belongs to
// the UI thread except the posted-message queue, which other threads may append to.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/accelerator_object.h"
#include "platform/ui/backend.h"
#include "platform/ui/device_context.h"
#include "platform/ui/dialog_state.h"
#include "platform/ui/drop_files.h"
#include "platform/ui/global_memory.h"
#include "platform/ui/handle_table.h"
#include "platform/ui/mdi_state.h"
#include "platform/ui/menu_object.h"
#include "platform/ui/window_class.h"
#include "platform/ui/window_object.h"

namespace farvane::ui {

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    std::chrono::steady_clock::time_point due;
};

struct CaretState {
    HWND owner = nullptr;
    int width = 0;
    int height = 0;
    POINT position;
    int hideCount = 1;  // a new caret starts hidden
};

struct PostedQueue {
    std::mutex mutex;
    std::deque<MSG> messages;
    bool quitPosted = false;
    int quitCode = 0;
};

struct UiState {
    UiState();
    ~UiState();

    HandleTable<Window> windows{1};
    HandleTable<Menu> menus{2};
    HandleTable<DeviceContext> deviceContexts{3};
    HandleTable<GdiObject> gdiObjects{4};
    HandleTable<AcceleratorTable> accelerators{5};
    HandleTable<GlobalBlock> globals{6};
    HandleTable<DropFiles> drops{7};

    std::map<std::string, std::shared_ptr<WindowClass>> classes;  // keyed by lower-case name
    ATOM nextAtom = 0xC000;

    PostedQueue queue;
    std::vector<Timer> timers;
    UINT_PTR nextSystemTimerId = 0x7F00;

    std::vector<HWND> topLevel;  // top-level windows, topmost first
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    CaretState caret;
    UINT caretBlinkTime = 530;
    std::array<BYTE, 256> keyState{};
    POINT cursorPos;
    HCURSOR cursor = nullptr;  // set with SetCursor; null: the class cursors
    std::array<HGDIOBJ, 18> stockObjects{};
    std::array<COLORREF, 19> sysColors{};

    std::unique_ptr<Backend> backend;
    std::thread::id uiThread;
    bool uiThreadSet = false;
};

UiState& State();
// The backend, created on first use (headless unless one was installed).
Backend& CurrentBackend();
// True when called on the thread that runs the windows (the first thread that used them).
bool OnUiThread();

Window* FindWindowObject(HWND window);
Menu* FindMenuObject(HMENU menu);

// Tells the backend about a change of a window, if the window still exists.
void NotifyChange(HWND window, WindowChange change);

}  // namespace farvane::ui
