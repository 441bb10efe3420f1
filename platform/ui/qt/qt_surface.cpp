#include "platform/ui/qt/qt_surface.h"

#include <QFontDatabase>
#include <QFontMetrics>

#include <algorithm>
#include <cstring>

#include "platform/ui/user_constants.h"

namespace farvane::ui::qt {

namespace {

QRect ToQRect(const RECT& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

bool IsFixedFace(const LOGFONTA& logFont) {
    static const char* fixedFaces[] = {"fixedsys", "courier", "courier new", "terminal",
                                       "lucida console"};
    std::string face = logFont.lfFaceName;
    std::transform(face.begin(), face.end(), face.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* fixed : fixedFaces) {
        if (face == fixed) {
            return true;
        }
    }
    return (logFont.lfPitchAndFamily & 0x3) == FIXED_PITCH ||
           (logFont.lfPitchAndFamily & 0xF0) == FF_MODERN;
}

// Qt draws in the font's own bytes: the layer's text is single-byte Latin-1.
QString ToQString(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void DrawTextOn(QPainter& painter, int x, int y, std::string_view text, const FontSpec& font,
                const TextStyle& style, const RECT& clip) {
    QFont qfont = FontFor(font.logFont, font.stockId);
    painter.save();
    painter.setClipRect(ToQRect(clip));
    painter.setFont(qfont);
    QFontMetrics metrics(qfont, painter.device());
    QString string = ToQString(text);
    int width = metrics.horizontalAdvance(string);
    if (style.opaque) {
        painter.fillRect(QRect(x, y, width, font.metrics.tmHeight), ColorOf(style.backColor));
    }
    painter.setPen(ColorOf(style.textColor));
    painter.drawText(x, y + metrics.ascent(), string);
    painter.restore();
}

}  // namespace

QColor ColorOf(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

QFont FontFor(const LOGFONTA& logFont, int stockId) {
    bool fixed = IsFixedFace(logFont);
    QFont font =
        QFontDatabase::systemFont(fixed ? QFontDatabase::FixedFont : QFontDatabase::GeneralFont);
    if (fixed) {
        font.setFamilies({"DejaVu Sans Mono", "Liberation Mono", "Monospace"});
        font.setStyleHint(QFont::TypeWriter);
    } else {
        font.setFamilies({"DejaVu Sans", "Liberation Sans", "Sans Serif"});
    }
    int pixels = 13;
    if (logFont.lfHeight < 0) {
        pixels = -logFont.lfHeight;
    } else if (logFont.lfHeight > 0) {
        pixels = std::max(1, logFont.lfHeight * 4 / 5);  // a cell height includes the leading
    }
    // The three stock fixed fonts are told apart by face and size, as the programs that
    // offer a choice between them expect.
    bool bold = logFont.lfWeight >= FW_BOLD;
    if (stockId == SYSTEM_FIXED_FONT) {
        pixels = 13;
    } else if (stockId == ANSI_FIXED_FONT) {
        font.setFamilies({"Liberation Mono", "DejaVu Sans Mono", "Monospace"});
        pixels = 15;
    } else if (stockId == OEM_FIXED_FONT) {
        pixels = 12;
        bold = true;
    }
    font.setPixelSize(std::clamp(pixels, 1, 2000));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(logFont.lfItalic != 0);
    font.setUnderline(logFont.lfUnderline != 0);
    font.setStrikeOut(logFont.lfStrikeOut != 0);
    font.setKerning(false);
    return font;
}

TEXTMETRICA MetricsOf(const QFont& font, QPaintDevice* device) {
    QFontMetrics metrics = device ? QFontMetrics(font, device) : QFontMetrics(font);
    TEXTMETRICA result;
    result.tmHeight = metrics.height();
    result.tmAscent = metrics.ascent();
    result.tmDescent = metrics.descent();
    result.tmInternalLeading = std::max(0, metrics.height() - font.pixelSize());
    result.tmExternalLeading = std::max(0, metrics.leading());
    // The platform's average width: of the letters, rounded up.
    QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    result.tmAveCharWidth = std::max(1, (metrics.horizontalAdvance(letters) + 51) / 52);
    if (font.fixedPitch() || QFontInfo(font).fixedPitch()) {
        result.tmAveCharWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('x')));
    }
    result.tmMaxCharWidth = metrics.maxWidth();
    result.tmWeight = font.bold() ? FW_BOLD : FW_NORMAL;
    return result;
}

void PainterSurface::fillRect(const RECT& rect, COLORREF color, const RECT& clip) {
    QRect area = ToQRect(rect).intersected(ToQRect(clip));
    if (!area.isEmpty()) {
        painter_->fillRect(area, ColorOf(color));
    }
}

void PainterSurface::drawText(int x, int y, std::string_view text, const FontSpec& font,
                              const TextStyle& style, const RECT& clip) {
    DrawTextOn(*painter_, x, y, text, font, style, clip);
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
    DrawTextOn(painter, x, y, text, font, style, clip);
}

void ImageSurface::invertRect(const RECT& rect, const RECT& clip) {
    QPainter painter(&image_);
    PainterSurface(&painter, width(), height()).invertRect(rect, clip);
}

void ImageSurface::drawFrame(const RECT& rect, COLORREF color, const RECT& clip) {
    QPainter painter(&image_);
    PainterSurface(&painter, width(), height()).drawFrame(rect, color, clip);
}

void ImageSurface::scroll(int dx, int dy, const RECT& area) {
    QRect region = ToQRect(area).intersected(image_.rect());
    if (region.isEmpty()) {
        return;
    }
    QImage copy = image_.copy(region);
    QPainter painter(&image_);
    painter.setClipRect(region);
    painter.drawImage(region.topLeft() + QPoint(dx, dy), copy);
}

void ImageSurface::drawPixels(const RECT& dest, const std::uint32_t* pixels, int width, int height,
                              const RECT& source, const RECT& clip) {
    QPainter painter(&image_);
    PainterSurface(&painter, this->width(), this->height())
        .drawPixels(dest, pixels, width, height, source, clip);
}

int ImageSurface::textWidth(std::string_view text, const FontSpec& font) const {
    QFontMetrics metrics(FontFor(font.logFont, font.stockId));
    return metrics.horizontalAdvance(ToQString(text));
}

}  // namespace farvane::ui::qt
