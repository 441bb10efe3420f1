#include "platform/gdi/memory_display.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gdi/cursor_image.h"
#include "platform/gdi/default_colours.h"

namespace farvane::gdi {

namespace {

constexpr int kMaxSide = 16384;
constexpr std::size_t kMaxPixelBytes = std::size_t{256} << 20;

bool ValidSize(int width, int height, int bitsPerPixel) {
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide &&
           DeviceRowBytes(width, bitsPerPixel) * static_cast<std::size_t>(height) <= kMaxPixelBytes;
}

}  // namespace

std::shared_ptr<MemoryDisplay> MemoryDisplay::Create(const MemoryDisplayConfig& config) {
    if (!PixelFormat::IsSupportedDepth(config.format.bitsPerPixel) ||
        !ValidSize(config.width, config.height, config.format.bitsPerPixel) ||
        (config.paletteDevice && config.format.bitsPerPixel != 8)) {
        return nullptr;
    }
    return std::make_shared<MemoryDisplay>(config);
}

MemoryDisplay::MemoryDisplay(const MemoryDisplayConfig& config)
    : width_(config.width),
      height_(config.height),
      format_(config.format),
      paletteDevice_(config.paletteDevice),
      stride_(DeviceRowBytes(config.width, config.format.bitsPerPixel)),
      pixels_(stride_ * static_cast<std::size_t>(config.height), 0),
      colours_(DefaultColoursForDepth(config.format.bitsPerPixel)),
      cursor_(StandardArrow()),
      cursorPosition_{config.width / 2, config.height / 2} {}

PixelView MemoryDisplay::ViewLocked() {
    return PixelView{pixels_.data(), stride_, width_, height_, format_, &colours_};
}

std::uint32_t MemoryDisplay::EncodeLocked(COLORREF colour) const {
    return EncodeColour(format_, colours_, colour & 0x00FFFFFFu);
}

void MemoryDisplay::FillRect(int x, int y, int width, int height, COLORREF colour) {
    FillPixels(x, y, width, height, colour);
    ReportDrawn(y, height);
}

void MemoryDisplay::FillPixels(int x, int y, int width, int height, COLORREF colour) {
    std::lock_guard lock(mutex_);
    const std::uint32_t value = EncodeLocked(colour);
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min<long long>(static_cast<long long>(x) + width, width_);
    const int bottom = std::min<long long>(static_cast<long long>(y) + height, height_);
    for (int row = top; row < bottom; ++row) {
        std::uint8_t* line = RowLocked(row);
        for (int column = left; column < right; ++column) {
            WritePixel(line, column, format_.bitsPerPixel, value);
        }
    }
}

void MemoryDisplay::SetPixel(int x, int y, COLORREF colour) {
    FillRect(x, y, 1, 1, colour);
}

COLORREF MemoryDisplay::GetPixel(int x, int y) {
    std::lock_guard lock(mutex_);
    if (!InsideLocked(x, y)) {
        return CLR_INVALID;
    }
    return DecodePixel(format_, colours_, ReadPixel(RowLocked(y), x, format_.bitsPerPixel));
}

void MemoryDisplay::SetPixelValue(int x, int y, std::uint32_t value) {
    {
        std::lock_guard lock(mutex_);
        if (InsideLocked(x, y)) {
            WritePixel(RowLocked(y), x, format_.bitsPerPixel, value);
        }
    }
    ReportDrawn(y, 1);
}

std::uint32_t MemoryDisplay::PixelValue(int x, int y) {
    std::lock_guard lock(mutex_);
    return InsideLocked(x, y) ? ReadPixel(RowLocked(y), x, format_.bitsPerPixel) : 0;
}

void MemoryDisplay::LoadRgb(int x, int y, int width, int height, const std::uint8_t* rgb,
                            std::size_t stride) {
    if (!rgb || width <= 0 || height <= 0) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        const CopyRect rect = ClipCopy({0, 0, x, y, width, height}, width, height, width_, height_);
        for (int row = 0; row < rect.height; ++row) {
            const std::uint8_t* from = rgb + stride * static_cast<std::size_t>(rect.sourceY + row) +
                                       3 * static_cast<std::size_t>(rect.sourceX);
            std::uint8_t* line = RowLocked(rect.destinationY + row);
            for (int column = 0; column < rect.width; ++column, from += 3) {
                WritePixel(line, rect.destinationX + column, format_.bitsPerPixel,
                           EncodeLocked(RGB(from[0], from[1], from[2])));
            }
        }
    }
    ReportDrawn(y, height);
}

bool MemoryDisplay::Resize(int width, int height) {
    if (!ValidSize(width, height, format_.bitsPerPixel)) {
        return false;
    }
    ResizePixels(width, height);
    ReportDrawn(0, height);
    return true;
}

void MemoryDisplay::ResizePixels(int width, int height) {
    std::lock_guard lock(mutex_);
    const std::size_t stride = DeviceRowBytes(width, format_.bitsPerPixel);
    std::vector<std::uint8_t> pixels(stride * static_cast<std::size_t>(height), 0);
    PixelView from = ViewLocked();
    PixelView to{pixels.data(), stride, width, height, format_, &colours_};
    CopyPixels(from, to, ClipCopy({0, 0, 0, 0, width_, height_}, width_, height_, width, height),
               MonoColours{});
    pixels_ = std::move(pixels);
    stride_ = stride;
    width_ = width;
    height_ = height;
    cursorPosition_.x = std::min<LONG>(cursorPosition_.x, width - 1);
    cursorPosition_.y = std::min<LONG>(cursorPosition_.y, height - 1);
}

unsigned MemoryDisplay::SetSystemPalette(unsigned start, const PALETTEENTRY* entries,
                                         unsigned count) {
    std::lock_guard lock(mutex_);
    if (!entries || start >= colours_.size()) {
        return 0;
    }
    const unsigned n = std::min<unsigned>(count, static_cast<unsigned>(colours_.size()) - start);
    std::copy(entries, entries + n, colours_.begin() + start);
    if (n > 0) {
        ++paletteGeneration_;
    }
    return n;
}

void MemoryDisplay::SetBackgroundColour(COLORREF colour) {
    std::lock_guard lock(mutex_);
    background_ = colour & 0x00FFFFFFu;
}

HCURSOR MemoryDisplay::SetMonochromeCursor(int width, int height, int hotX, int hotY,
                                           const std::uint8_t* andMask,
                                           const std::uint8_t* xorMask) {
    HCURSOR cursor = MakeMonochromeCursor(width, height, hotX, hotY, andMask, xorMask);
    if (cursor) {
        UseCursor(cursor);
    }
    return cursor;
}

HCURSOR MemoryDisplay::SetColourCursor(int width, int height, int hotX, int hotY,
                                       const std::uint8_t* andMask, const std::uint8_t* rgb,
                                       int colourBitsPerPixel) {
    PixelFormat format = format_;
    ColourTable colours;
    {
        std::lock_guard lock(mutex_);
        colours = colours_;
    }
    if (colourBitsPerPixel != 0 && colourBitsPerPixel != format_.bitsPerPixel) {
        format = PixelFormat::ForDepth(colourBitsPerPixel);
        colours = DefaultColoursForDepth(colourBitsPerPixel);
    }
    HCURSOR cursor = MakeColourCursor(width, height, hotX, hotY, andMask, rgb, format, colours);
    if (cursor) {
        UseCursor(cursor);
    }
    return cursor;
}

void MemoryDisplay::UseCursor(HCURSOR cursor) {
    std::lock_guard lock(mutex_);
    cursor_ = cursor;
}

DisplayGeometry MemoryDisplay::Geometry() {
    std::lock_guard lock(mutex_);
    return DisplayGeometry{width_, height_, format_, paletteDevice_};
}

ColourTable MemoryDisplay::Colours() {
    std::lock_guard lock(mutex_);
    return colours_;
}

bool MemoryDisplay::ReadRect(const CopyRect& rect, PixelView& destination,
                             const MonoColours& mono) {
    std::lock_guard lock(mutex_);
    const CopyRect clipped = ClipCopy(rect, width_, height_, destination.width, destination.height);
    LogReadLocked(clipped.sourceY);
    CopyPixels(ViewLocked(), destination, clipped, mono);
    return true;
}

bool MemoryDisplay::VisitRows(int x, int y, int width, int height, const RowVisitor& visitor) {
    std::lock_guard lock(mutex_);
    const int bitsPerPixel = format_.bitsPerPixel;
    if (bitsPerPixel < 8 || x < 0 || y < 0 || width <= 0 || height <= 0 || x > width_ - width ||
        y > height_ - height) {
        return false;
    }
    LogReadLocked(y);
    const std::uint8_t* row = pixels_.data() + stride_ * static_cast<std::size_t>(y) +
                              static_cast<std::size_t>(x) * (bitsPerPixel / 8);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * (bitsPerPixel / 8);
    for (int line = 0; line < height; ++line, row += stride_) {
        // Rows lie a whole screen row apart, too far for the processor to foresee: ask for the
        // next one while this one is read.
        if (line + 1 < height) {
            for (std::size_t at = 0; at < rowBytes; at += 64) {
                __builtin_prefetch(row + stride_ + at);
            }
        }
        visitor(row);
    }
    return true;
}

bool MemoryDisplay::WriteRect(const PixelView& source, const CopyRect& rect,
                              const MonoColours& mono) {
    CopyRect clipped;
    {
        std::lock_guard lock(mutex_);
        clipped = ClipCopy(rect, source.width, source.height, width_, height_);
        PixelView screen = ViewLocked();
        CopyPixels(source, screen, clipped, mono);
    }
    ReportDrawn(clipped.destinationY, clipped.height);
    return true;
}

COLORREF MemoryDisplay::BackgroundColour() {
    std::lock_guard lock(mutex_);
    return background_;
}

HCURSOR MemoryDisplay::CurrentCursor() {
    std::lock_guard lock(mutex_);
    return cursor_;
}

bool MemoryDisplay::CursorPosition(POINT* point) {
    if (!point) {
        return false;
    }
    std::lock_guard lock(mutex_);
    *point = cursorPosition_;
    return true;
}

std::uint32_t MemoryDisplay::PaletteGeneration() {
    std::lock_guard lock(mutex_);
    return paletteGeneration_;
}

bool MemoryDisplay::MoveCursor(int x, int y) {
    std::lock_guard lock(mutex_);
    cursorPosition_.x = std::clamp(x, 0, width_ - 1);
    cursorPosition_.y = std::clamp(y, 0, height_ - 1);
    return true;
}

void MemoryDisplay::SetDamageReports(DamageReports reports) {
    std::lock_guard lock(mutex_);
    damageReports_ = reports;
    if (reports == DamageReports::None) {
        readLog_.clear();
    }
}

std::vector<int> MemoryDisplay::TakeReadLog() {
    std::lock_guard lock(mutex_);
    return std::exchange(readLog_, {});
}

std::shared_ptr<DamageHints> MemoryDisplay::WatchDamage(int bandHeight, int bandCount,
                                                        std::function<void()> wake) {
    {
        std::lock_guard lock(mutex_);
        if (damageReports_ == DamageReports::None) {
            return nullptr;
        }
    }
    return damage_.Watch(bandHeight, bandCount, std::move(wake));
}

void MemoryDisplay::ReportDrawn(int y, int height) {
    {
        std::lock_guard lock(mutex_);
        if (damageReports_ != DamageReports::Reported) {
            return;
        }
    }
    // Outside the display's lock: a reader woken now may read at once.
    damage_.Report({{y, height}});
}

void MemoryDisplay::LogReadLocked(int y) {
    if (damageReports_ != DamageReports::None && readLog_.size() < kReadLogLimit) {
        readLog_.push_back(y);
    }
}

}  // namespace farvane::gdi
