// A drawing target behind a device context: a window's backing store, a character grid in the
// headless backend, or a printer page. Coordinates are pixels of the target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui/user_types.h"

namespace farvane::ui {

// A font as the layer resolves it: the logical description plus its measured metrics.
struct FontSpec {
    LOGFONTA logFont;
    int stockId = -1;  // the stock object it stands for, or -1
    TEXTMETRICA metrics;
};

struct TextStyle {
    COLORREF textColor = 0;
    COLORREF backColor = 0xFFFFFF;
    bool opaque = true;
};

class Surface {
public:
    virtual ~Surface() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;
    // Keeps what fits of the old content; new areas are filled with white.
    virtual void resize(int width, int height) = 0;

    virtual void fillRect(const RECT& rect, COLORREF color, const RECT& clip) = 0;
    virtual void drawText(int x, int y, std::string_view text, const FontSpec& font,
                          const TextStyle& style, const RECT& clip) = 0;
    virtual void invertRect(const RECT& rect, const RECT& clip) = 0;
    virtual void drawFrame(const RECT& rect, COLORREF color, const RECT& clip) = 0;
    // Moves the pixels of `area` by (dx, dy); what moves out of the area is lost and what is
    // uncovered keeps its old content until it is painted.
    virtual void scroll(int dx, int dy, const RECT& area) = 0;
    // Width in pixels of the text in the font.
    virtual int textWidth(std::string_view text, const FontSpec& font) const = 0;
    // Draws the `source` part of an image of `width` x `height` 0x00RRGGBB pixels (rows top
    // down) into `dest`, scaled when the sizes differ. A target that shows no pictures (the
    // character grid) leaves itself as it is.
    virtual void drawPixels(const RECT& /*dest*/, const std::uint32_t* /*pixels*/, int /*width*/,
                            int /*height*/, const RECT& /*source*/, const RECT& /*clip*/) {}
};

}  // namespace farvane::ui
