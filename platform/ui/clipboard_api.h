// The clipboard (plain text) and the global memory blocks that carry data to it.
#pragma once

#include <string>

#include "platform/ui/user_constants.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
HGLOBAL GlobalFree(HGLOBAL block);  // null on success, the block on failure
void* GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
std::size_t GlobalSize(HGLOBAL block);

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// The clipboard takes the block over; text is read up to its first NUL or its end.
HANDLE SetClipboardData(UINT format, HANDLE data);
// A block that the clipboard keeps owning; valid until the clipboard changes.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

// The text for the edit controls' cut, copy and paste.
void SetClipboardTextForControls(const std::string& text);
bool ClipboardTextForControls(std::string* text);

}  // namespace farvane::ui
