// Windows, messages, the message loop, timers, focus, input state, scroll bars, the caret and
// painting bookkeeping. Each call takes the same arguments and returns the same success and
// failure values as the Win32 call of the same name; a handle of a destroyed window, or of no
// window at all, gives the failure value and changes nothing.
#pragma once

#include <functional>

#include "platform/ui/user_constants.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

// Classes and windows.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* out);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                     LPVOID param);
inline HWND CreateWindowA(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                          int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                          LPVOID param) {
    return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menuOrId,
                           instance, param);
}
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsChild(HWND parent, HWND window);
HWND GetParent(HWND window);
HWND SetParent(HWND child, HWND newParent);
HWND GetWindow(HWND window, UINT relation);
HWND GetTopWindow(HWND window);
HWND GetDesktopWindow();
int GetClassNameA(HWND window, LPSTR buffer, int size);
// Windows of this program whose class (and title, when given) match; null when none.
HWND FindLocalWindow(LPCSTR className, LPCSTR windowName);
inline constexpr UINT GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3,
                      GW_OWNER = 4, GW_CHILD = 5;

// Window data.
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
// With a non-negative index these read and write 4 bytes of the window's extra bytes, the
// Ptr forms pointer-sized values; negative indexes name the common fields.
LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);
BOOL SetWindowTextA(HWND window, LPCSTR text);
int GetWindowTextA(HWND window, LPSTR buffer, int size);
int GetWindowTextLengthA(HWND window);
BOOL SetPropA(HWND window, LPCSTR name, HANDLE data);
HANDLE GetPropA(HWND window, LPCSTR name);
HANDLE RemovePropA(HWND window, LPCSTR name);

// Geometry and show state.
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);
BOOL IsZoomed(HWND window);
BOOL BringWindowToTop(HWND window);
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL CloseWindow(HWND window);
BOOL OpenIcon(HWND window);

// Messages.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL WaitMessage();
LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
DWORD GetMessageTime();
inline LRESULT SendMessage(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return SendMessageA(w, m, wp, lp);
}
inline BOOL PostMessage(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return PostMessageA(w, m, wp, lp);
}
// Runs messages until the queue is empty (tests and modal loops use it).
void PumpPendingMessages();
// Hands `task` to the UI thread, which runs it the next time it looks at its messages (also
// when posted from the UI thread itself: never inside the caller). For work that only the UI
// thread may do (making windows, showing dialogs) asked for by another thread that must not
// wait for it. FALSE when the queue is full.
BOOL PostUiTask(std::function<void()> task);

// Timers.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);

// Focus, activation, capture and input state.
HWND SetFocus(HWND window);
HWND GetFocus();
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
SHORT GetKeyState(int virtualKey);
BOOL GetCursorPos(POINT* point);
void DragAcceptFiles(HWND window, BOOL accept);
UINT DragQueryFileA(HDROP drop, UINT index, LPSTR buffer, UINT size);
void DragFinish(HDROP drop);

// Scroll bars.
int SetScrollPos(HWND window, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND window, int bar);
BOOL SetScrollRange(HWND window, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND window, int bar, int* min, int* max);
int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info);
BOOL ShowScrollBar(HWND window, int bar, BOOL show);

// The caret (one per program, as on the platform).
BOOL CreateCaret(HWND window, HGDIOBJ bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND window);
BOOL HideCaret(HWND window);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* point);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT milliseconds);

// Painting bookkeeping (drawing itself is in gdi_api.h).
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);
BOOL RedrawWindow(HWND window, const RECT* rect, void* region, UINT flags);
BOOL ScrollWindow(HWND window, int dx, int dy, const RECT* scrollRect, const RECT* clipRect);

// Multiple-document windows.
LRESULT DefFrameProcA(HWND frame, HWND mdiClient, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefMDIChildProcA(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
BOOL TranslateMDISysAccel(HWND mdiClient, MSG* msg);
inline constexpr const char* kMdiClientClassName = "MDICLIENT";

// System information.
int GetSystemMetrics(int index);
DWORD GetSysColor(int index);
BOOL SetSysColors(int count, const int* elements, const COLORREF* colors);
BOOL MessageBeep(UINT type);
BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni);
inline constexpr UINT SPI_GETSCREENSAVETIMEOUT = 14, SPI_SETSCREENSAVETIMEOUT = 15,
                      SPI_GETSCREENSAVEACTIVE = 16, SPI_SETSCREENSAVEACTIVE = 17,
                      SPIF_UPDATEINIFILE = 1, SPIF_SENDWININICHANGE = 2;

}  // namespace farvane::ui
