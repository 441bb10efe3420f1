// Choosing the backend when a program starts.
#pragma once

namespace farvane::ui {

enum class UiBackendKind { None, Headless, Qt };

// Starts the windowing layer. FARVANE_UI=headless asks for the headless backend, FARVANE_UI=qt
// for Qt; otherwise Qt is used when a display can be opened (or QT_QPA_PLATFORM names a
// platform that needs none). A program that can run without a display falls back to the
// headless backend; one that cannot gets None. The Qt backend makes the QApplication when the
// program has none; argc and argv must outlive it.
UiBackendKind StartUi(int& argc, char** argv, bool canRunHeadless);
// The icon of the program's windows, from an image file; false when there is no toolkit
// application or the file cannot be read.
bool SetProgramIcon(const char* imagePath);
// True when a display can be opened (QT_QPA_PLATFORM set, or the X server of DISPLAY answers,
// or a Wayland socket exists).
bool DisplayAvailable();

}  // namespace farvane::ui
