// The main frame of a service program: menu, toolbar, four status panes and an empty view.
#pragma once

#include "platform/kernel/win_types.h"

class CServiceApp;

inline constexpr const char* kMainFrameClassName = "FarvaneServiceFrame";
inline constexpr int kStatusPaneCount = 4;

// Creates the (hidden) main frame of `app`; null on failure.
HWND CreateMainFrame(CServiceApp& app, const char* title);
