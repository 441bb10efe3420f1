// Which display a desktop name stands for, which desktop each thread sees, and the process
// default. Displays are shared: every desktop opened with the same name (in canonical form)
// shows the same display, which lives until the process ends. A lost X display is opened
// again, at most once a second, the next time a desktop on it is used.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/gdi/display_device.h"
#include "platform/gdi/memory_display.h"

namespace farvane::gdi {

// The display behind a desktop name ("Default" is the process default); null for a bad name
// or a display that cannot be opened.
std::shared_ptr<DisplayDevice> OpenDisplay(std::string_view desktopName);

// The memory display behind a memory desktop name, created on first use, so that tests and
// tools can draw on what a desktop of that name shows. Null for other names.
std::shared_ptr<MemoryDisplay> FindMemoryDisplay(std::string_view desktopName);

// The desktop of threads that attached none: $DISPLAY when set and not empty, else
// kFallbackDesktop. SetDefaultDesktop changes it for threads that use it from then on;
// false for a bad name (the default is kept).
inline constexpr std::string_view kFallbackDesktop = "memory:1024x768x32";
bool SetDefaultDesktop(std::string_view desktopName);
std::string DefaultDesktopName();

// The display the calling thread sees (its desktop's, else the default); null when that
// display cannot be opened.
std::shared_ptr<DisplayDevice> CurrentDisplay();

}  // namespace farvane::gdi
