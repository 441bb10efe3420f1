// The GDI and USER subset that the video scanner calls, with Win32 names, signatures and
// results, and the mouse hook library's three calls.
//
// Which display these calls see is chosen per thread: SetThreadDesktop attaches the calling
// thread to a desktop opened with OpenDesktopA; a thread that attached none sees the process
// default desktop (see display_registry.h for desktop names and the default).
//
// All calls are safe from any thread. A handle of the wrong kind, a stale handle or a bad
// argument gives the call's failure result (0, NULL or CLR_INVALID); nothing is thrown.
#pragma once

#include <functional>
#include <memory>

#include "platform/gdi/damage_hints.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/row_visitor.h"

// Desktops and their windows.
HDESK OpenDesktopA(LPCSTR desktop, DWORD flags, BOOL inherit, ACCESS_MASK desiredAccess);
BOOL SetThreadDesktop(HDESK desktop);
// Fails (0) while some thread is still attached to the desktop.
BOOL CloseDesktop(HDESK desktop);
HWND GetDesktopWindow();
BOOL IsWindow(HWND window);

// Device contexts and bitmaps. Bitmaps are device-dependent: rows of bits padded to 2 bytes,
// pixels in the display's own layout (palette indexes up to 8 bits per pixel, 16-bit words
// in 5-5-5 or 5-6-5, blue-green-red bytes at 24 bits, blue-green-red-zero at 32 bits).
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
// Only SRCCOPY is supported. Parts of the rectangle outside the source or the destination are
// left out; the destination keeps its pixels there.
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rasterOperation);
// Not a Win32 call: hands the rows of a rectangle of the screen behind a screen DC to visitor
// without a bitmap in between (see DisplayDevice::VisitRows). FALSE when the DC is not a screen
// DC or the display cannot do it; the caller then copies through a bitmap with BitBlt.
BOOL VisitScreenRows(HDC screen, int x, int y, int width, int height,
                     const farvane::gdi::RowVisitor& visitor);
// Not a Win32 call: damage hints for the screen behind a screen DC in bands of bandHeight rows
// (see DisplayDevice::WatchDamage); null when the DC is not a screen DC or its display reports
// no damage.
std::shared_ptr<farvane::gdi::DamageHints> WatchScreenDamage(HDC screen, int bandHeight,
                                                             int bandCount,
                                                             std::function<void()> wake);
// Copies at most byteCount bytes of the bitmap's bits; with a null buffer returns the size of
// all its bits.
LONG GetBitmapBits(HBITMAP bitmap, LONG byteCount, LPVOID bits);
// Fills a BITMAP for a bitmap handle; with a null buffer returns sizeof(BITMAP).
int GetObjectA(HANDLE object, int byteCount, LPVOID buffer);
int GetDeviceCaps(HDC dc, int index);
UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, LPPALETTEENTRY entries);
COLORREF GetBkColor(HDC dc);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF SetTextColor(HDC dc, COLORREF colour);

// Screen-wide settings of the calling thread's display.
int GetSystemMetrics(int index);
DWORD GetSysColor(int index);

// Cursors. LoadCursorA knows the standard arrow only (no instance, IDC_ARROW). GetIconInfo
// creates new bitmaps that the caller deletes with DeleteObject: a monochrome cursor has no
// colour bitmap and a mask of twice its height (AND mask above XOR mask); a colour cursor has
// an AND mask of its own height and a colour bitmap.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
BOOL GetIconInfo(HICON icon, PICONINFO info);
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);

// The mouse hook library. HookMouseQuery returns the cursor in use on the calling thread's
// display, or NULL when the cursor is hidden, unknown or no hook is installed.
BOOL HookMouseInstall();
BOOL HookMouseRemove();
HCURSOR HookMouseQuery();
