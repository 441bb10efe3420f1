// The session library's viewer window: the host's screen 1:1 with scroll bars or scaled to fit
// (View, Scale to Fit), the cursor drawn as the host sends it, and the person's keys and
// mouse sent to the host unless the session is view-only. Closing the window ends the session.
//
// The window lives on the UI thread; the session's network thread decodes into the picture
// that ViewerScreen guards and tells the window when it changed.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/ui/user_types.h"
#include "suite/fvses32/viewer_link.h"

namespace farvane::viewer {

// What the window and the session's thread share.
struct ViewerScreen {
    std::mutex picture;  // held while the link's decoder changes its framebuffer
    std::shared_ptr<ViewerLink> link;
    // Ends the session (the window was closed); may be called more than once.
    std::function<void()> endSession;
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> repaintPending{false};
};

struct ViewerWindowOptions {
    std::string title;
    bool viewOnly = false;
    bool fitToWindow = true;
};

// The command of the View menu's toggle.
inline constexpr UINT kScaleToFitCommand = 0x9101;

// On the UI thread: makes and shows the window for `screen` (and stores it there). Null when
// the window cannot be made.
HWND OpenViewerWindow(const std::shared_ptr<ViewerScreen>& screen,
                      const ViewerWindowOptions& options);
// From any thread: the picture changed (repaints are coalesced until the window painted).
void ViewerPictureChanged(ViewerScreen& screen);
// From any thread: closes the window without ending the session again.
void CloseViewerWindow(ViewerScreen& screen);

}  // namespace farvane::viewer
