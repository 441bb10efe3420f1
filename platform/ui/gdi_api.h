// Device contexts for windows and printers, fonts, brushes and text output, and the rectangle
// helpers. A window's device context draws into that window's surface: a backing image in the
// Qt backend, a character grid in the headless backend.
#pragma once

#include <cstdint>

#include "platform/ui/user_constants.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

HDC GetDC(HWND window);
HDC GetWindowDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
BOOL DeleteDC(HDC dc);

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count);
int DrawTextA(HDC dc, LPCSTR text, int count, RECT* rect, UINT format);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL DrawFocusRect(HDC dc, const RECT* rect);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);

HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH GetSysColorBrush(int index);
HFONT CreateFontIndirectA(const LOGFONTA* logFont);
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);
int GetObjectA(HGDIOBJ object, int size, void* out);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size);
int GetTextFaceA(HDC dc, int size, LPSTR face);
int GetDeviceCaps(HDC dc, int index);
// Draws the `source` rectangle of an image of `width` x `height` 0x00RRGGBB pixels (rows top
// down) into `dest`, scaled to fit it; what stretching a device-independent bitmap does on the
// platform, for pictures that arrive as pixels (a remote screen). FALSE on a bad argument.
BOOL DrawPixels(HDC dc, const RECT* dest, const std::uint32_t* pixels, int width, int height,
                const RECT* source);

// Printing on a printer device context (from PrintDlgA with PD_RETURNDC).
struct DOCINFOA {
    int cbSize = sizeof(DOCINFOA);
    LPCSTR lpszDocName = nullptr;
    LPCSTR lpszOutput = nullptr;
    LPCSTR lpszDatatype = nullptr;
    DWORD fwType = 0;
};
using ABORTPROC = BOOL (*)(HDC, int);
int StartDocA(HDC dc, const DOCINFOA* info);
int EndDoc(HDC dc);
int StartPage(HDC dc);
int EndPage(HDC dc);
int AbortDoc(HDC dc);
int SetAbortProc(HDC dc, ABORTPROC proc);

int MulDiv(int number, int numerator, int denominator);

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rect);
BOOL CopyRect(RECT* to, const RECT* from);
BOOL OffsetRect(RECT* rect, int dx, int dy);
BOOL InflateRect(RECT* rect, int dx, int dy);
BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* out, const RECT* a, const RECT* b);
BOOL IsRectEmpty(const RECT* rect);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL EqualRect(const RECT* a, const RECT* b);

}  // namespace farvane::ui
