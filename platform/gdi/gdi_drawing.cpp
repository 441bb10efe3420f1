// Device contexts, bitmaps, BitBlt and the device's capabilities.
#include <algorithm>
#include <cstring>

#include "platform/gdi/display_registry.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/handle_table.h"

namespace farvane::gdi {

namespace {

std::shared_ptr<DeviceContext> FindDc(const void* handle) {
    std::shared_ptr<GdiObject> object = HandleTable::Instance().Find(handle);
    if (!object ||
        (object->kind() != ObjectKind::MemoryDc && object->kind() != ObjectKind::ScreenDc)) {
        return nullptr;
    }
    return std::static_pointer_cast<DeviceContext>(object);
}

std::shared_ptr<Bitmap> FindBitmap(const void* handle) {
    return HandleTable::Instance().Find<Bitmap>(handle, ObjectKind::Bitmap);
}

// The bitmap a memory DC draws on; null for screen DCs.
std::shared_ptr<Bitmap> SelectedBitmap(const DeviceContext& dc) {
    if (dc.isScreen()) {
        return nullptr;
    }
    std::lock_guard lock(HandleTable::Instance().selectionMutex());
    return dc.selected;
}

HDC AddDc(const std::shared_ptr<DeviceContext>& dc) {
    return ToHandle<HDC>(HandleTable::Instance().Add(dc));
}

bool CopyBitmapToBitmap(Bitmap& source, Bitmap& destination, const CopyRect& rect,
                        const MonoColours& mono) {
    if (&source == &destination) {
        // Overlapping rectangles of one bitmap: go through a copy of the source.
        std::lock_guard lock(source.bitsMutex);
        const ColourTable colours = source.Colours();
        std::vector<std::uint8_t> copy = source.bits;
        PixelView from{copy.data(),     source.stride(), source.width(),
                       source.height(), source.format(), &colours};
        PixelView to = destination.View(&colours);
        CopyPixels(from, to,
                   ClipCopy(rect, source.width(), source.height(), source.width(), source.height()),
                   mono);
        return true;
    }
    std::scoped_lock lock(source.bitsMutex, destination.bitsMutex);
    const ColourTable sourceColours = source.Colours();
    const ColourTable destinationColours = destination.Colours();
    PixelView from = source.View(&sourceColours);
    PixelView to = destination.View(&destinationColours);
    CopyPixels(
        from, to,
        ClipCopy(rect, source.width(), source.height(), destination.width(), destination.height()),
        mono);
    return true;
}

bool CopyScreenToScreen(DisplayDevice& source, DisplayDevice& destination, const CopyRect& rect,
                        const MonoColours& mono) {
    // Read the source into a bitmap of its own format first, then write that.
    const DisplayGeometry geometry = source.Geometry();
    const ColourTable colours = source.Colours();
    Bitmap buffer(rect.width, rect.height, geometry.format, nullptr);
    PixelView view = buffer.View(&colours);
    CopyRect read = rect;
    read.destinationX = 0;
    read.destinationY = 0;
    if (!source.ReadRect(read, view, mono)) {
        return false;
    }
    CopyRect write = rect;
    write.sourceX = 0;
    write.sourceY = 0;
    return destination.WriteRect(view, write, mono);
}

int NumberOfColours(const DisplayGeometry& geometry) {
    if (geometry.paletteDevice) {
        return 20;  // the static colours that every palette leaves in place
    }
    // Devices above 8 bits per pixel report their number of colours, which callers clamp.
    return 1 << std::min(geometry.format.bitsPerPixel, 24);
}

int DeviceCaps(DisplayDevice& device, int index) {
    const DisplayGeometry geometry = device.Geometry();
    switch (index) {
        case DRIVERVERSION:
            return 0x0400;
        case TECHNOLOGY:
            return DT_RASDISPLAY;
        case HORZSIZE:
            return geometry.width * 254 / 960;  // millimetres at 96 pixels per inch
        case VERTSIZE:
            return geometry.height * 254 / 960;
        case HORZRES:
            return geometry.width;
        case VERTRES:
            return geometry.height;
        case BITSPIXEL:
            return geometry.format.bitsPerPixel;
        case PLANES:
            return 1;
        case NUMCOLORS:
            return NumberOfColours(geometry);
        case RASTERCAPS:
            return RC_BITBLT | RC_BITMAP64 | (geometry.paletteDevice ? RC_PALETTE : 0);
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case SIZEPALETTE:
            return geometry.paletteDevice ? static_cast<int>(device.Colours().size()) : 0;
        case NUMRESERVED:
            return geometry.paletteDevice ? 20 : 0;
        case COLORRES:
            return geometry.paletteDevice ? 18 : 0;
        default:
            return 0;
    }
}

}  // namespace

}  // namespace farvane::gdi

using namespace farvane::gdi;

HDC GetDC(HWND window) {
    std::shared_ptr<DisplayDevice> device = window ? DisplayForWindow(window) : CurrentDisplay();
    if (!device || !device->IsAlive()) {
        return nullptr;
    }
    return AddDc(std::make_shared<DeviceContext>(ObjectKind::ScreenDc, device, window));
}

int ReleaseDC(HWND window, HDC dc) {
    auto object = HandleTable::Instance().Find<DeviceContext>(dc, ObjectKind::ScreenDc);
    if (!object || (window && object->window && window != object->window)) {
        return 0;
    }
    return HandleTable::Instance().Remove(dc) ? 1 : 0;
}

HDC CreateCompatibleDC(HDC dc) {
    std::shared_ptr<DisplayDevice> device;
    if (dc) {
        std::shared_ptr<DeviceContext> like = FindDc(dc);
        if (!like) {
            return nullptr;
        }
        device = like->device;
    } else {
        device = CurrentDisplay();
    }
    if (!device) {
        return nullptr;
    }
    auto memory = std::make_shared<DeviceContext>(ObjectKind::MemoryDc, device, nullptr);
    memory->selected = StockBitmap();
    return AddDc(memory);
}

BOOL DeleteDC(HDC dc) {
    auto object = HandleTable::Instance().Find<DeviceContext>(dc, ObjectKind::MemoryDc);
    if (!object) {
        return FALSE;
    }
    {
        std::lock_guard lock(HandleTable::Instance().selectionMutex());
        if (object->selected && !object->selected->stock) {
            object->selected->selectedInto = 0;
        }
        object->selected.reset();
    }
    return HandleTable::Instance().Remove(dc) ? TRUE : FALSE;
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (width < 0 || height < 0 || planes != 1) {
        return nullptr;
    }
    if (width == 0 || height == 0) {
        // As under Win32: an empty size gives a 1 x 1 monochrome bitmap.
        width = 1;
        height = 1;
        bitsPerPixel = 1;
        bits = nullptr;
    }
    if (!PixelFormat::IsSupportedDepth(static_cast<int>(bitsPerPixel))) {
        return nullptr;
    }
    // A bitmap of the display's depth takes the display's layout (5-5-5 or 5-6-5).
    std::shared_ptr<DisplayDevice> device = CurrentDisplay();
    PixelFormat format = PixelFormat::ForDepth(static_cast<int>(bitsPerPixel));
    if (device && device->Geometry().format.bitsPerPixel == format.bitsPerPixel) {
        format = device->Geometry().format;
    }
    std::shared_ptr<Bitmap> bitmap = Bitmap::Create(width, height, format, device);
    if (!bitmap) {
        return nullptr;
    }
    if (bits) {
        std::memcpy(bitmap->bits.data(), bits, bitmap->bits.size());
    }
    return ToHandle<HBITMAP>(bitmap->handle());
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    auto memory = HandleTable::Instance().Find<DeviceContext>(dc, ObjectKind::MemoryDc);
    std::shared_ptr<Bitmap> bitmap = FindBitmap(object);
    if (!memory || !bitmap) {
        return nullptr;
    }
    // A memory DC takes monochrome bitmaps and bitmaps of its display's layout.
    if (bitmap->format().bitsPerPixel != 1 &&
        bitmap->format() != memory->device->Geometry().format) {
        return nullptr;
    }
    std::lock_guard lock(HandleTable::Instance().selectionMutex());
    if (!bitmap->stock && bitmap->selectedInto != 0 && bitmap->selectedInto != memory->handle()) {
        return nullptr;  // a bitmap is selected into one DC at a time
    }
    std::shared_ptr<Bitmap> previous = std::move(memory->selected);
    if (previous && !previous->stock) {
        previous->selectedInto = 0;
    }
    memory->selected = bitmap;
    if (!bitmap->stock) {
        bitmap->selectedInto = memory->handle();
    }
    return previous ? ToHandle<HGDIOBJ>(previous->handle()) : nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
    std::shared_ptr<Bitmap> bitmap = FindBitmap(object);
    if (!bitmap) {
        return FALSE;
    }
    if (bitmap->stock) {
        return TRUE;
    }
    std::lock_guard lock(HandleTable::Instance().selectionMutex());
    if (bitmap->selectedInto != 0) {
        return FALSE;
    }
    return HandleTable::Instance().Remove(object) ? TRUE : FALSE;
}

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rasterOperation) {
    if (rasterOperation != SRCCOPY || width < 0 || height < 0) {
        return FALSE;
    }
    std::shared_ptr<DeviceContext> to = FindDc(destination);
    std::shared_ptr<DeviceContext> from = FindDc(source);
    if (!to || !from) {
        return FALSE;
    }
    if (width == 0 || height == 0) {
        return TRUE;
    }
    const MonoColours mono{from->background.load(), to->text.load(), to->background.load()};
    const CopyRect rect{sourceX, sourceY, x, y, width, height};
    std::shared_ptr<Bitmap> toBitmap = SelectedBitmap(*to);
    std::shared_ptr<Bitmap> fromBitmap = SelectedBitmap(*from);
    if (fromBitmap && toBitmap) {
        return CopyBitmapToBitmap(*fromBitmap, *toBitmap, rect, mono) ? TRUE : FALSE;
    }
    if (toBitmap) {
        std::lock_guard lock(toBitmap->bitsMutex);
        const ColourTable colours = toBitmap->Colours();
        PixelView view = toBitmap->View(&colours);
        return from->device->ReadRect(rect, view, mono) ? TRUE : FALSE;
    }
    if (fromBitmap) {
        std::lock_guard lock(fromBitmap->bitsMutex);
        const ColourTable colours = fromBitmap->Colours();
        const PixelView view = fromBitmap->View(&colours);
        return to->device->WriteRect(view, rect, mono) ? TRUE : FALSE;
    }
    return CopyScreenToScreen(*from->device, *to->device, rect, mono) ? TRUE : FALSE;
}

std::shared_ptr<DamageHints> WatchScreenDamage(HDC screen, int bandHeight, int bandCount,
                                               std::function<void()> wake) {
    std::shared_ptr<DeviceContext> dc = FindDc(screen);
    if (!dc || !dc->device || SelectedBitmap(*dc)) {
        return nullptr;
    }
    return dc->device->WatchDamage(bandHeight, bandCount, std::move(wake));
}

BOOL VisitScreenRows(HDC screen, int x, int y, int width, int height, const RowVisitor& visitor) {
    std::shared_ptr<DeviceContext> dc = FindDc(screen);
    if (!dc || !dc->device || SelectedBitmap(*dc)) {
        return FALSE;
    }
    return dc->device->VisitRows(x, y, width, height, visitor) ? TRUE : FALSE;
}

LONG GetBitmapBits(HBITMAP bitmap, LONG byteCount, LPVOID bits) {
    std::shared_ptr<Bitmap> object = FindBitmap(bitmap);
    if (!object) {
        return 0;
    }
    std::lock_guard lock(object->bitsMutex);
    const std::size_t total = object->bits.size();
    if (!bits) {
        return static_cast<LONG>(total);
    }
    if (byteCount <= 0) {
        return 0;
    }
    const std::size_t count = std::min(total, static_cast<std::size_t>(byteCount));
    std::memcpy(bits, object->bits.data(), count);
    return static_cast<LONG>(count);
}

int GetObjectA(HANDLE object, int byteCount, LPVOID buffer) {
    std::shared_ptr<Bitmap> bitmap = FindBitmap(object);
    if (!bitmap) {
        return 0;
    }
    if (!buffer) {
        return static_cast<int>(sizeof(BITMAP));
    }
    if (byteCount < static_cast<int>(sizeof(BITMAP))) {
        return 0;
    }
    BITMAP description{};
    description.bmType = 0;
    description.bmWidth = bitmap->width();
    description.bmHeight = bitmap->height();
    description.bmWidthBytes = static_cast<LONG>(bitmap->stride());
    description.bmPlanes = 1;
    description.bmBitsPixel = static_cast<WORD>(bitmap->format().bitsPerPixel);
    description.bmBits = nullptr;
    std::memcpy(buffer, &description, sizeof description);
    return static_cast<int>(sizeof(BITMAP));
}

int GetDeviceCaps(HDC dc, int index) {
    std::shared_ptr<DeviceContext> object = FindDc(dc);
    return object ? DeviceCaps(*object->device, index) : 0;
}

UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, LPPALETTEENTRY entries) {
    std::shared_ptr<DeviceContext> object = FindDc(dc);
    if (!object || !object->device->Geometry().paletteDevice) {
        return 0;
    }
    const ColourTable colours = object->device->Colours();
    if (!entries) {
        return static_cast<UINT>(colours.size());
    }
    if (start >= colours.size()) {
        return 0;
    }
    const UINT n = std::min<UINT>(count, static_cast<UINT>(colours.size()) - start);
    std::copy(colours.begin() + start, colours.begin() + start + n, entries);
    return n;
}

COLORREF GetBkColor(HDC dc) {
    std::shared_ptr<DeviceContext> object = FindDc(dc);
    return object ? object->background.load() : CLR_INVALID;
}

COLORREF GetTextColor(HDC dc) {
    std::shared_ptr<DeviceContext> object = FindDc(dc);
    return object ? object->text.load() : CLR_INVALID;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    std::shared_ptr<DeviceContext> object = FindDc(dc);
    return object ? object->background.exchange(colour & 0x00FFFFFFu) : CLR_INVALID;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    std::shared_ptr<DeviceContext> object = FindDc(dc);
    return object ? object->text.exchange(colour & 0x00FFFFFFu) : CLR_INVALID;
}
