#include "platform/ui/cursor_api.h"

#include <cstdint>

#include "platform/ui/internal.h"

namespace farvane::ui {

namespace {

// A standard cursor's handle is its resource id: nothing to allocate or free.
HCURSOR HandleOf(WORD id) {
    return reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(id));
}

}  // namespace

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (instance != nullptr || !IS_INTRESOURCE(name)) {
        return nullptr;
    }
    auto id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
    return id == OCR_ARROW_ID || id == OCR_IBEAM_ID || id == OCR_WAIT_ID ? HandleOf(id) : nullptr;
}

bool ShapeOfCursor(HCURSOR cursor, CursorShape* shape) {
    auto id = reinterpret_cast<std::uintptr_t>(cursor);
    switch (id) {
        case OCR_ARROW_ID:
            *shape = CursorShape::Arrow;
            return true;
        case OCR_IBEAM_ID:
            *shape = CursorShape::IBeam;
            return true;
        case OCR_WAIT_ID:
            *shape = CursorShape::Wait;
            return true;
        default:
            return false;
    }
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = State().cursor;
    State().cursor = cursor;
    if (previous != cursor) {
        CurrentBackend().cursorChanged(cursor);
    }
    return previous;
}

HCURSOR GetCursor() {
    return State().cursor;
}

}  // namespace farvane::ui
