#include "suite/fvses32/viewer_input.h"

#include <algorithm>

#include "platform/ui/user_constants.h"

namespace farvane::viewer {

using namespace farvane::ui;

std::uint32_t KeysymForKey(WORD virtualKey) {
    if (virtualKey >= VK_F1 && virtualKey <= VK_F12) {
        return 0xFFBE + (virtualKey - VK_F1);  // F1..F12
    }
    switch (virtualKey) {
        case VK_BACK:
            return 0xFF08;
        case VK_TAB:
            return 0xFF09;
        case VK_RETURN:
            return 0xFF0D;
        case VK_ESCAPE:
            return 0xFF1B;
        case VK_DELETE:
            return 0xFFFF;
        case VK_INSERT:
            return 0xFF63;
        case VK_HOME:
            return 0xFF50;
        case VK_LEFT:
            return 0xFF51;
        case VK_UP:
            return 0xFF52;
        case VK_RIGHT:
            return 0xFF53;
        case VK_DOWN:
            return 0xFF54;
        case VK_PRIOR:
            return 0xFF55;
        case VK_NEXT:
            return 0xFF56;
        case VK_END:
            return 0xFF57;
        case VK_SHIFT:
            return 0xFFE1;  // Shift_L
        case VK_CONTROL:
            return 0xFFE3;  // Control_L
        case VK_MENU:
            return 0xFFE9;  // Alt_L
        default:
            return 0;
    }
}

std::uint32_t KeysymForTyped(unsigned char character) {
    if (character >= 1 && character <= 26) {
        return 'a' + (character - 1);
    }
    if (character < 0x20 || character == 0x7F || (character >= 0x80 && character < 0xA0)) {
        return 0;
    }
    return character;
}

PictureView UnscaledView(int width, int height, SIZE client, POINT scroll) {
    PictureView view;
    const int left = std::clamp<int>(scroll.x, 0, std::max(0, width - client.cx));
    const int top = std::clamp<int>(scroll.y, 0, std::max(0, height - client.cy));
    const int shownWidth = std::min<int>(client.cx, width - left);
    const int shownHeight = std::min<int>(client.cy, height - top);
    view.dest = RECT{0, 0, std::max(0, shownWidth), std::max(0, shownHeight)};
    view.source = RECT{left, top, left + view.dest.right, top + view.dest.bottom};
    return view;
}

PictureView FittedView(int width, int height, SIZE client) {
    PictureView view;
    if (width <= 0 || height <= 0 || client.cx <= 0 || client.cy <= 0) {
        return view;
    }
    // The larger scale whose picture still fits both ways, in integers: width/height kept.
    int shownWidth = client.cx;
    int shownHeight = static_cast<int>(static_cast<long long>(height) * client.cx / width);
    if (shownHeight > client.cy) {
        shownHeight = client.cy;
        shownWidth = static_cast<int>(static_cast<long long>(width) * client.cy / height);
    }
    shownWidth = std::max(shownWidth, 1);
    shownHeight = std::max(shownHeight, 1);
    const int left = (client.cx - shownWidth) / 2;
    const int top = (client.cy - shownHeight) / 2;
    view.dest = RECT{left, top, left + shownWidth, top + shownHeight};
    view.source = RECT{0, 0, width, height};
    return view;
}

bool HostPointOf(const PictureView& view, POINT client, POINT* host) {
    const long destWidth = view.dest.right - view.dest.left;
    const long destHeight = view.dest.bottom - view.dest.top;
    if (destWidth <= 0 || destHeight <= 0 || client.x < view.dest.left ||
        client.x >= view.dest.right || client.y < view.dest.top || client.y >= view.dest.bottom) {
        return false;
    }
    const long sourceWidth = view.source.right - view.source.left;
    const long sourceHeight = view.source.bottom - view.source.top;
    host->x =
        view.source.left + static_cast<int>((client.x - view.dest.left) * sourceWidth / destWidth);
    host->y =
        view.source.top + static_cast<int>((client.y - view.dest.top) * sourceHeight / destHeight);
    return true;
}

}  // namespace farvane::viewer
