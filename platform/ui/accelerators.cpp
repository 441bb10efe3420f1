#include <cctype>

#include "platform/ui/accelerator_api.h"
#include "platform/ui/accelerator_object.h"
#include "platform/ui/internal.h"
#include "platform/ui/menu_api.h"
#include "platform/ui/menu_object.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

AcceleratorTable* FindTable(HACCEL table) {
    return State().accelerators.find(reinterpret_cast<std::uintptr_t>(table));
}

bool Held(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

bool Matches(const ACCEL& entry, const MSG& msg) {
    BYTE flags = entry.fVirt;
    if (flags & FVIRTKEY) {
        if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) {
            return false;
        }
        if (entry.key != msg.wParam) {
            return false;
        }
        return ((flags & FSHIFT) != 0) == Held(VK_SHIFT) &&
               ((flags & FCONTROL) != 0) == Held(VK_CONTROL) &&
               ((flags & FALT) != 0) == Held(VK_MENU);
    }
    // A character entry matches the character typed (ALT only with WM_SYSCHAR).
    if (msg.message != WM_CHAR && msg.message != WM_SYSCHAR) {
        return false;
    }
    if ((flags & FALT) != 0 && msg.message != WM_SYSCHAR) {
        return false;
    }
    return entry.key == msg.wParam;
}

}  // namespace

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count) {
    if (!entries || count <= 0 || count > 32767) {
        return nullptr;
    }
    auto table = std::make_unique<AcceleratorTable>();
    for (int i = 0; i < count; ++i) {
        ACCEL entry = entries[i];
        entry.fVirt &= static_cast<BYTE>(~FLAST_ENTRY);
        table->entries.push_back(entry);
        if (entries[i].fVirt & FLAST_ENTRY) {
            break;
        }
    }
    return reinterpret_cast<HACCEL>(State().accelerators.insert(std::move(table)));
}

BOOL DestroyAcceleratorTable(HACCEL table) {
    return State().accelerators.remove(reinterpret_cast<std::uintptr_t>(table)) != nullptr;
}

int CopyAcceleratorTableA(HACCEL table, ACCEL* entries, int count) {
    AcceleratorTable* record = FindTable(table);
    if (!record) {
        return 0;
    }
    int total = static_cast<int>(record->entries.size());
    if (!entries) {
        return total;
    }
    int copied = std::min(total, count);
    for (int i = 0; i < copied; ++i) {
        entries[i] = record->entries[static_cast<std::size_t>(i)];
    }
    return copied;
}

int TranslateAcceleratorA(HWND window, HACCEL table, MSG* msg) {
    AcceleratorTable* record = FindTable(table);
    if (!record || !msg || !FindWindowObject(window)) {
        return 0;
    }
    for (const ACCEL& entry : record->entries) {
        if (!Matches(entry, *msg)) {
            continue;
        }
        WORD command = entry.cmd;
        HMENU menu = GetMenu(window);
        if (FindMenuCommand(menu, command)) {
            SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
            // The handler may have changed the item or destroyed the window.
            MenuItem* item = FindMenuCommand(GetMenu(window), command);
            if (!FindWindowObject(window) || IsIconic(window) ||
                (item && (item->flags & (MF_GRAYED | MF_DISABLED)))) {
                return 1;
            }
        }
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(command, 1), 0);
        return 1;
    }
    return 0;
}

}  // namespace farvane::ui
