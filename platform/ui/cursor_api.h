// The mouse cursor over the program's windows: the standard shapes as handles, the cursor a
// window class shows over its windows, and SetCursor for the cursor shown meanwhile (the
// wait cursor of a long operation, shown until another cursor is set).
#pragma once

#include "platform/ui/user_types.h"

namespace farvane::ui {

inline constexpr WORD OCR_ARROW_ID = 32512, OCR_IBEAM_ID = 32513, OCR_WAIT_ID = 32514;
#ifndef IDC_ARROW
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#endif
#ifndef IDC_IBEAM
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#endif
#ifndef IDC_WAIT
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#endif

enum class CursorShape { Arrow, IBeam, Wait };

// The standard cursors (no instance: IDC_ARROW, IDC_IBEAM, IDC_WAIT); null for others.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// Shows the cursor over the program's windows until another is set; returns the one before
// (null: each window shows its class's cursor).
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The shape of a cursor handle; false for a handle that is none of the standard ones.
bool ShapeOfCursor(HCURSOR cursor, CursorShape* shape);

}  // namespace farvane::ui
