// Drawing with QPainter: a window's backing image, and printer pages.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>

#include "platform/ui/qt/qt_screen_fonts.h"
#include "platform/ui/surface.h"

namespace farvane::ui::qt {

// The Qt font for a logical font (kept once made).
QFont FontFor(const LOGFONTA& logFont, int stockId);
QColor ColorOf(COLORREF color);

// Draws onto any QPainter; the painter belongs to the caller.
class PainterSurface : public Surface {
public:
    PainterSurface(QPainter* painter, int width, int height)
        : painter_(painter), width_(width), height_(height) {}

    int width() const override { return width_; }
    int height() const override { return height_; }
    void resize(int width, int height) override {
        width_ = width;
        height_ = height;
    }
    void fillRect(const RECT& rect, COLORREF color, const RECT& clip) override;
    void drawText(int x, int y, std::string_view text, const FontSpec& font, const TextStyle& style,
                  const RECT& clip) override;
    void invertRect(const RECT& rect, const RECT& clip) override;
    void drawFrame(const RECT& rect, COLORREF color, const RECT& clip) override;
    void scroll(int dx, int dy, const RECT& area) override;
    int textWidth(std::string_view text, const FontSpec& font) const override;
    void drawPixels(const RECT& dest, const std::uint32_t* pixels, int width, int height,
                    const RECT& source, const RECT& clip) override;

protected:
    QPainter* painter_;
    int width_;
    int height_;
};

// A window's backing store: everything drawn lands in an image that the window's widget shows.
class ImageSurface : public Surface {
public:
    ImageSurface(int width, int height);

    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }
    void resize(int width, int height) override;
    void fillRect(const RECT& rect, COLORREF color, const RECT& clip) override;
    void drawText(int x, int y, std::string_view text, const FontSpec& font, const TextStyle& style,
                  const RECT& clip) override;
    void invertRect(const RECT& rect, const RECT& clip) override;
    void drawFrame(const RECT& rect, COLORREF color, const RECT& clip) override;
    void scroll(int dx, int dy, const RECT& area) override;
    int textWidth(std::string_view text, const FontSpec& font) const override;
    void drawPixels(const RECT& dest, const std::uint32_t* pixels, int width, int height,
                    const RECT& source, const RECT& clip) override;

    const QImage& image() const { return image_; }

private:
    QImage image_;
};

}  // namespace farvane::ui::qt
