// The bench's own hands on the X screen: key presses through XTest, window moves, and the
// server's damage reports, which tell when a request changed the screen and which pixels it
// changed. Kept apart from Xlib's macros.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct ScreenPoint {
    int x = 0;
    int y = 0;
    std::uint32_t rgb = 0;  // 0xRRGGBB as the server holds it
};

class XWorkload {
public:
    explicit XWorkload(const std::string& displayName);
    ~XWorkload();
    XWorkload(const XWorkload&) = delete;
    XWorkload& operator=(const XWorkload&) = delete;
    bool ok() const { return display_ != nullptr && damage_ != 0; }

    // The root window's background, which the server paints where a moved window was.
    void SetRootBackground(std::uint32_t rgb);
    // The top-level window whose class name is `name`, waiting for it to be mapped; 0 when none
    // appears in time.
    unsigned long FindWindow(const std::string& name, std::chrono::milliseconds limit);
    // Presses and releases the key of a character (lower-case letters, digits, space, '-', '/',
    // '\n').
    void Type(char character);
    void MoveWindow(unsigned long window, int x, int y);
    void MovePointer(int x, int y);

    // Forgets what was drawn so far, after the drawing stopped for `quiet`.
    void Settle(std::chrono::milliseconds quiet);
    // Waits until the screen changed and then stayed still for `quiet`; returns up to `count`
    // of the pixels that changed, spread over the changed area, with their new colours. Empty
    // when nothing changed within `limit`.
    std::vector<ScreenPoint> Changes(std::chrono::milliseconds quiet,
                                     std::chrono::milliseconds limit, std::size_t count);

private:
    // Reads damage events for at most `wait`; false when none came.
    bool NextDamage(std::chrono::milliseconds wait, int* left, int* top, int* right, int* bottom);
    std::vector<std::uint32_t> Grab(int x, int y, int width, int height);

    void* display_ = nullptr;
    unsigned long damage_ = 0;
    int damageEvent_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> screen_;  // the whole screen as last seen settled
};
