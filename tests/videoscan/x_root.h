// Drawing on the root window of an X display, kept apart from Xlib's macros.
#pragma once

#include <string>

namespace scantest {

class XRoot {
public:
    explicit XRoot(const std::string& name);
    ~XRoot();
    XRoot(const XRoot&) = delete;
    XRoot& operator=(const XRoot&) = delete;
    bool ok() const { return display_ != nullptr; }
    // Fills a rectangle of the root window with a 0xRRGGBB colour (a 24-bit TrueColor screen).
    void Fill(int x, int y, int width, int height, unsigned long rgb);
    // Draws `width` x `height` 0xRRGGBB pixels, row by row, at x, y.
    void Draw(int x, int y, int width, int height, const unsigned* rgb);

private:
    void* display_;
};

}  // namespace scantest
