#include <cstring>

#include "platform/ui/clipboard_api.h"
#include "platform/ui/global_memory.h"
#include "platform/ui/internal.h"

namespace farvane::ui {

namespace {

constexpr std::size_t kMaxGlobalBlock = std::size_t{1} << 30;

struct ClipboardState {
    bool open = false;
    HWND owner = nullptr;
    HGLOBAL lastRead = nullptr;  // the block handed out by GetClipboardData
};

ClipboardState g_clipboard;

GlobalBlock* FindBlock(HGLOBAL block) {
    return State().globals.find(reinterpret_cast<std::uintptr_t>(block));
}

void ForgetLastRead() {
    if (g_clipboard.lastRead) {
        State().globals.remove(reinterpret_cast<std::uintptr_t>(g_clipboard.lastRead));
        g_clipboard.lastRead = nullptr;
    }
}

}  // namespace

HGLOBAL GlobalAlloc(UINT /*flags*/, std::size_t bytes) {
    if (bytes > kMaxGlobalBlock) {
        return nullptr;
    }
    auto block = std::make_unique<GlobalBlock>();
    block->bytes.assign(bytes, 0);  // always zero-filled: never hand out stale memory
    return reinterpret_cast<HGLOBAL>(State().globals.insert(std::move(block)));
}

HGLOBAL GlobalFree(HGLOBAL block) {
    GlobalBlock* record = FindBlock(block);
    if (!record || record->ownedByClipboard) {
        return block;
    }
    State().globals.remove(reinterpret_cast<std::uintptr_t>(block));
    return nullptr;
}

void* GlobalLock(HGLOBAL block) {
    GlobalBlock* record = FindBlock(block);
    if (!record) {
        return nullptr;
    }
    ++record->locks;
    static unsigned char empty = 0;
    return record->bytes.empty() ? &empty : record->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL block) {
    GlobalBlock* record = FindBlock(block);
    if (!record || record->locks == 0) {
        return FALSE;
    }
    return --record->locks > 0;
}

std::size_t GlobalSize(HGLOBAL block) {
    GlobalBlock* record = FindBlock(block);
    return record ? record->bytes.size() : 0;
}

BOOL OpenClipboard(HWND owner) {
    if (g_clipboard.open || (owner && !FindWindowObject(owner))) {
        return FALSE;
    }
    g_clipboard.open = true;
    g_clipboard.owner = owner;
    return TRUE;
}

BOOL CloseClipboard() {
    if (!g_clipboard.open) {
        return FALSE;
    }
    g_clipboard.open = false;
    return TRUE;
}

BOOL EmptyClipboard() {
    if (!g_clipboard.open) {
        return FALSE;
    }
    ForgetLastRead();
    CurrentBackend().emptyClipboard();
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    if (!g_clipboard.open || (format != CF_TEXT && format != CF_OEMTEXT)) {
        return nullptr;
    }
    auto block = static_cast<HGLOBAL>(data);
    GlobalBlock* record = FindBlock(block);
    if (!record) {
        return nullptr;
    }
    const char* bytes = reinterpret_cast<const char*>(record->bytes.data());
    std::size_t length = strnlen(bytes, record->bytes.size());
    CurrentBackend().setClipboardText(std::string(bytes, length));
    // The clipboard owns the block now; its copy lives in the backend.
    State().globals.remove(reinterpret_cast<std::uintptr_t>(block));
    return data;
}

HANDLE GetClipboardData(UINT format) {
    if (!g_clipboard.open || (format != CF_TEXT && format != CF_OEMTEXT) ||
        !CurrentBackend().clipboardHasText()) {
        return nullptr;
    }
    ForgetLastRead();
    std::string text = CurrentBackend().clipboardText();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block) {
        return nullptr;
    }
    GlobalBlock* record = FindBlock(block);
    std::memcpy(record->bytes.data(), text.data(), text.size());
    record->ownedByClipboard = true;
    g_clipboard.lastRead = block;
    return block;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    return (format == CF_TEXT || format == CF_OEMTEXT) && CurrentBackend().clipboardHasText();
}

void SetClipboardTextForControls(const std::string& text) {
    ForgetLastRead();
    CurrentBackend().setClipboardText(text);
}

bool ClipboardTextForControls(std::string* text) {
    if (!CurrentBackend().clipboardHasText()) {
        return false;
    }
    *text = CurrentBackend().clipboardText();
    return true;
}

}  // namespace farvane::ui
