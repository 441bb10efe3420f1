#include "platform/ui/qt/qt_surface.h"

#include <QFontMetrics>

#include <algorithm>
#include <cstring>

#include "platform/ui/user_constants.h"

namespace farvane::ui::qt {

namespace {

QRect ToQRect(const RECT& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// Qt draws in the font's own bytes: the layer's text is single-byte Latin-1.
QString ToQString(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Screen text in a fixed font goes on the font's cell grid; printer pages and proportional
// fonts are laid out by Qt.
void DrawTextOn(QPainter& painter, int x, int y, std::string_view text, const FontSpec& font,
                const TextStyle& style, const RECT& clip, bool onScreen) {
    const ScreenFont& screen = ScreenFontFor(font.logFont, font.stockId);
    painter.save();
    painter.setClipRect(ToQRect(clip));
    painter.setPen(ColorOf(style.textColor));
    if (onScreen && screen.cellAdvance > 0) {
        if (style.opaque) {
            painter.fillRect(QRect(x, y, static_cast<int>(text.size()) * screen.cellAdvance,
                                   font.metrics.tmHeight),
                             ColorOf(style.backColor));
        }
        if (!DrawOnCellGrid(painter, x, y, text, screen)) {
            DrawCellByCell(painter, x, y, text, screen);
        }
        painter.restore();
        return;
    }
    NoteLayoutKernel();
    painter.setFont(screen.font);
    QFontMetrics metrics(screen.font, painter.device());
    QString string = ToQString(text);
    if (style.opaque) {
        int width = metrics.horizontalAdvance(string);
        painter.fillRect(QRect(x, y, width, font.metrics.tmHeight), ColorOf(style.backColor));
    }
    painter.drawText(x, y + metrics.ascent(), string);
    painter.restore();
}

}  // namespace

QColor ColorOf(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

QFont FontFor(const LOGFONTA& logFont, int stockId) {
    return ScreenFontFor(logFont, stockId).font;
}

void PainterSurface::fillRect(const RECT& rect, COLORREF color, const RECT& clip) {
    QRect area = ToQRect(rect).intersected(ToQRect(clip));
    if (!area.isEmpty()) {
        painter_->fillRect(area, ColorOf(color));
    }
}

void PainterSurface::drawText(int x, int y, std::string_view text, const FontSpec& font,
                              const TextStyle& style, const RECT& clip) {
    DrawTextOn(*painter_, x, y, text, font, style, clip, false);
}

void PainterSurface::invertRect(const RECT& rect, const RECT& clip) {
    painter_->save();
    painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter_->fillRect(ToQRect(rect).intersected(ToQRect(clip)), Qt::white);
    painter_->restore();
}

void PainterSurface::drawFrame(const RECT& rect, COLORREF color, const RECT& clip) {
    painter_->save();
    painter_->setClipRect(ToQRect(clip));
    painter_->setPen(ColorOf(color));
    painter_->drawRect(ToQRect(rect).adjusted(0, 0, -1, -1));
    painter_->restore();
}

void PainterSurface::scroll(int, int, const RECT&) {}

void PainterSurface::drawPixels(const RECT& dest, const std::uint32_t* pixels, int width,
                                int height, const RECT& source, const RECT& clip) {
    // The pixels are 0x00RRGGBB; RGB32 reads the top byte as opaque whatever it holds.
    const QImage image(reinterpret_cast<const uchar*>(pixels), width, height,
                       static_cast<qsizetype>(width) * 4, QImage::Format_RGB32);
    painter_->save();
    painter_->setClipRect(ToQRect(clip));
    painter_->setRenderHint(QPainter::SmoothPixmapTransform,
                            dest.right - dest.left != source.right - source.left ||
                                dest.bottom - dest.top != source.bottom - source.top);
    painter_->drawImage(ToQRect(dest), image, ToQRect(source));
    painter_->restore();
}

int PainterSurface::textWidth(std::string_view text, const FontSpec& font) const {
    QFontMetrics metrics(FontFor(font.logFont, font.stockId), painter_->device());
    return metrics.horizontalAdvance(ToQString(text));
}

ImageSurface::ImageSurface(int width, int height)
    : image_(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32) {
    image_.fill(Qt::white);
}

void ImageSurface::resize(int width, int height) {
    QImage next(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    next.fill(Qt::white);
    QPainter painter(&next);
    painter.drawImage(0, 0, image_);
    painter.end();
    image_ = std::move(next);
}

void ImageSurface::fillRect(const RECT& rect, COLORREF color, const RECT& clip) {
    QPainter painter(&image_);
    PainterSurface(&painter, width(), height()).fillRect(rect, color, clip);
}

void ImageSurface::drawText(int x, int y, std::string_view text, const FontSpec& font,
                            const TextStyle& style, const RECT& clip) {
    QPainter painter(&image_);
    DrawTextOn(painter, x, y, text, font, style, clip, true);
}

void ImageSurface::invertRect(const RECT& rect, const RECT& clip) {
    QPainter painter(&image_);
    PainterSurface(&painter, width(), height()).invertRect(rect, clip);
}

void ImageSurface::drawFrame(const RECT& rect, COLORREF color, const RECT& clip) {
    QPainter painter(&image_);
    PainterSurface(&painter, width(), height()).drawFrame(rect, color, clip);
}

// The pixels move within the image row by row (no painter: a painter would copy the area
// first and blend it back, on several threads for a large window).
void ImageSurface::scroll(int dx, int dy, const RECT& area) {
    QRect region = ToQRect(area).intersected(image_.rect());
    QRect target = region.translated(dx, dy).intersected(region);
    if (target.isEmpty()) {
        return;
    }
    QRect source = target.translated(-dx, -dy);
    auto bytesPerPixel = static_cast<std::size_t>(image_.depth() / 8);
    auto rowBytes = static_cast<std::size_t>(target.width()) * bytesPerPixel;
    auto moveRow = [&](int row) {
        std::memmove(image_.scanLine(target.top() + row) +
                         static_cast<std::size_t>(target.left()) * bytesPerPixel,
                     image_.constScanLine(source.top() + row) +
                         static_cast<std::size_t>(source.left()) * bytesPerPixel,
                     rowBytes);
    };
    // Rows are taken in the order that reads each source row before it is overwritten.
    if (dy > 0) {
        for (int row = target.height() - 1; row >= 0; --row) {
            moveRow(row);
        }
    } else {
        for (int row = 0; row < target.height(); ++row) {
            moveRow(row);
        }
    }
}

void ImageSurface::drawPixels(const RECT& dest, const std::uint32_t* pixels, int width, int height,
                              const RECT& source, const RECT& clip) {
    QPainter painter(&image_);
    PainterSurface(&painter, this->width(), this->height())
        .drawPixels(dest, pixels, width, height, source, clip);
}

int ImageSurface::textWidth(std::string_view text, const FontSpec& font) const {
    const ScreenFont& screen = ScreenFontFor(font.logFont, font.stockId);
    if (screen.cellAdvance > 0) {
        return static_cast<int>(text.size()) * screen.cellAdvance;
    }
    return QFontMetrics(screen.font).horizontalAdvance(ToQString(text));
}

}  // namespace farvane::ui::qt
