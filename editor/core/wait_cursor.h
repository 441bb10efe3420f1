// The wait cursor for the length of a scope: shown when made, taken away when the scope ends,
// by whatever return.
#pragma once

#include "editor/core/ui_services.h"

class WaitCursor {
public:
    WaitCursor() { Ui().BeginWaitCursor(); }
    ~WaitCursor() { Ui().EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
