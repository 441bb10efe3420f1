#include "platform/gdi/gdi_objects.h"

#include "platform/gdi/default_colours.h"

namespace farvane::gdi {

Bitmap::Bitmap(int width, int height, PixelFormat format, std::shared_ptr<DisplayDevice> owner)
    : GdiObject(ObjectKind::Bitmap),
      width_(width),
      height_(height),
      format_(format),
      stride_(DeviceRowBytes(width, format.bitsPerPixel)),
      owner_(std::move(owner)) {
    bits.assign(stride_ * static_cast<std::size_t>(height_), 0);
}

std::shared_ptr<Bitmap> Bitmap::Create(int width, int height, PixelFormat format,
                                       std::shared_ptr<DisplayDevice> owner) {
    if (width <= 0 || height <= 0 || !PixelFormat::IsSupportedDepth(format.bitsPerPixel)) {
        return nullptr;
    }
    const std::size_t stride = DeviceRowBytes(width, format.bitsPerPixel);
    if (stride > kMaxBitmapBytes / static_cast<std::size_t>(height)) {
        return nullptr;
    }
    auto bitmap = std::make_shared<Bitmap>(width, height, format, std::move(owner));
    HandleTable::Instance().Add(bitmap);
    return bitmap;
}

ColourTable Bitmap::Colours() const {
    if (format_.layout != PixelLayout::Indexed) {
        return {};
    }
    if (format_.bitsPerPixel == 1) {
        return DefaultColoursForDepth(1);
    }
    if (owner_ && owner_->Geometry().format == format_) {
        ColourTable colours = owner_->Colours();
        if (!colours.empty()) {
            return colours;
        }
    }
    return DefaultColoursForDepth(format_.bitsPerPixel);
}

PixelView Bitmap::View(const ColourTable* colours) {
    return PixelView{bits.data(), stride_, width_, height_, format_, colours};
}

std::shared_ptr<Bitmap> StockBitmap() {
    static const std::shared_ptr<Bitmap> stock = [] {
        auto bitmap = Bitmap::Create(1, 1, PixelFormat::ForDepth(1), nullptr);
        bitmap->stock = true;
        return bitmap;
    }();
    return stock;
}

}  // namespace farvane::gdi
