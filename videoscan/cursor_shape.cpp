// Cursor records: the shape of the cursor in use, sent when it changes.
#include <algorithm>
#include <vector>

#include "platform/gdi/default_colours.h"
#include "platform/gdi/gdi.h"
#include "videoscan/byte_writer.h"
#include "videoscan/palettes.h"
#include "videoscan/pixel_reducer.h"
#include "videoscan/video_scan.h"

namespace {

// The largest shape sent: its two images fill at most 4096 of the buffer's 4224 bytes of bits.
// Larger cursors are cropped around their hot spot.
constexpr int kLargestCursorSide = 128;

// A 1-bit image: rows of `rowBytes` bytes, high bit first.
struct BitImage {
    const BYTE* bits = nullptr;
    int rowBytes = 0;
    int width = 0;
    int height = 0;
    BYTE outside = 0;  // value of pixels outside the image

    BYTE At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return outside;
        }
        return (bits[static_cast<std::size_t>(y) * rowBytes + x / 8] >> (7 - x % 8)) & 1;
    }
};

std::vector<BYTE> ReadBits(HBITMAP bitmap, const BITMAP& description) {
    std::vector<BYTE> bits(static_cast<std::size_t>(description.bmWidthBytes) *
                           static_cast<std::size_t>(std::max(description.bmHeight, 0)) *
                           std::max<WORD>(description.bmPlanes, 1));
    if (!bits.empty()) {
        const LONG copied = GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
        bits.resize(static_cast<std::size_t>(std::max(copied, 0)));
    }
    return bits;
}

// Where a crop of `size` pixels starts on a side of `length` pixels so that it holds the hot
// spot.
int CropStart(int hotSpot, int size, int length) {
    if (hotSpot < size) {
        return 0;
    }
    return std::clamp(hotSpot - size / 2, 0, std::max(length - size, 0));
}

}  // namespace

// Reduces a colour cursor image to one bit per pixel through the mono table: images above 8
// bits per pixel go to BBBGGRRR bytes first; images below 8 bits per pixel are classified
// through the standard colours of their depth.
static std::vector<BYTE> ColourToMono(std::vector<BYTE> bits, const BITMAP& colour,
                                      WORD colourFormat, const BYTE* monoTable, int* rowBytes) {
    const int depth = colour.bmBitsPixel;
    const int width = colour.bmWidth;
    const int height = colour.bmHeight;
    *rowBytes = (width + 7) / 8;
    if (depth >= 8) {
        videoscan::CellBits cell;
        cell.data = bits.data();
        cell.rowBytes = static_cast<WORD>(width * depth / 8);
        cell.stride = static_cast<WORD>(colour.bmWidthBytes);
        cell.rows = static_cast<WORD>(height);
        cell.dataLength = static_cast<DWORD>(cell.rowBytes) * cell.rows;
        const videoscan::ReductionTables tables{monoTable, monoTable};
        int reduced = videoscan::ReducePixels(cell, depth, 1, colourFormat, tables);
        if (reduced == 8) {
            reduced = videoscan::ReducePixels(cell, 8, 1, colourFormat, tables);
        }
        *rowBytes = cell.rowBytes;
        bits.resize(cell.dataLength);
        return bits;
    }
    const farvane::gdi::ColourTable colours = farvane::gdi::DefaultColoursForDepth(depth);
    std::vector<BYTE> mono(static_cast<std::size_t>(*rowBytes) * height, 0);
    for (int y = 0; y < height; ++y) {
        const BYTE* row = bits.data() + static_cast<std::size_t>(y) * colour.bmWidthBytes;
        for (int x = 0; x < width; ++x) {
            const unsigned bit = static_cast<unsigned>(x * depth);
            const unsigned value =
                (row[bit / 8] >> (8 - depth - static_cast<int>(bit % 8))) & ((1u << depth) - 1);
            const PALETTEENTRY entry = value < colours.size() ? colours[value] : PALETTEENTRY{};
            if (videoscan::ClassifyEntry(entry, 1)) {
                mono[static_cast<std::size_t>(y) * *rowBytes + x / 8] |=
                    static_cast<BYTE>(0x80 >> (x % 8));
            }
        }
    }
    return mono;
}

WORD CVideoScan::BuildCursorShape(HCURSOR cursor) {
    ICONINFO info{};
    if (!GetIconInfo(cursor, &info)) {
        return 0;
    }
    BITMAP mask{};
    BITMAP colour{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    if (info.hbmColor != nullptr) {
        GetObjectA(info.hbmColor, sizeof colour, &colour);
    }
    const std::vector<BYTE> maskBits = ReadBits(info.hbmMask, mask);
    std::vector<BYTE> secondBits;
    int secondRowBytes = mask.bmWidthBytes;
    const int height = info.hbmColor != nullptr ? mask.bmHeight : mask.bmHeight / 2;
    BitImage andImage{maskBits.data(), mask.bmWidthBytes, mask.bmWidth, height, 1};
    BitImage secondImage{maskBits.data() + static_cast<std::size_t>(mask.bmWidthBytes) * height,
                         mask.bmWidthBytes, mask.bmWidth, height, 0};
    if (info.hbmColor != nullptr) {
        secondBits = ColourToMono(ReadBits(info.hbmColor, colour), colour, m_ColourFormat,
                                  m_MonoTable, &secondRowBytes);
        secondImage = BitImage{secondBits.data(), secondRowBytes, colour.bmWidth,
                               std::min(colour.bmHeight, height), 0};
    }
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    const std::size_t maskNeeded =
        static_cast<std::size_t>(mask.bmWidthBytes) * (info.hbmColor ? height : 2 * height);
    if (mask.bmWidth <= 0 || height <= 0 || maskBits.size() < maskNeeded ||
        (info.hbmColor != nullptr &&
         secondBits.size() < static_cast<std::size_t>(secondRowBytes) * secondImage.height)) {
        return 0;
    }

    // Shapes go out whole bytes wide with rows of whole 16-bit words, so that each image is
    // exactly width x height / 8 bytes; padding pixels are transparent.
    const int width = std::min((mask.bmWidth + 15) / 16 * 16, kLargestCursorSide);
    const int rows = std::min(height, kLargestCursorSide);
    const int left = CropStart(static_cast<int>(info.xHotspot), width, mask.bmWidth);
    const int top = CropStart(static_cast<int>(info.yHotspot), rows, height);
    const int rowBytes = width / 8;

    videoscan::ByteWriter header(m_pCursorShape);
    header.Word(static_cast<WORD>(static_cast<int>(info.xHotspot) - left));
    header.Word(static_cast<WORD>(static_cast<int>(info.yHotspot) - top));
    header.Word(static_cast<WORD>(width));
    header.Word(static_cast<WORD>(rows));
    header.Word(static_cast<WORD>(rowBytes));
    header.Byte(static_cast<BYTE>(mask.bmPlanes));
    header.Byte(videowire::kCursorShapeConstant);
    BYTE* out = m_pCursorShape + videowire::kCursorShapeHeaderSize;
    const std::size_t imageBytes = static_cast<std::size_t>(rowBytes) * rows;
    std::fill(out, out + 2 * imageBytes, 0);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * rowBytes + x / 8;
            const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
            if (andImage.At(left + x, top + y)) {
                out[at] |= bit;
            }
            if (secondImage.At(left + x, top + y)) {
                out[imageBytes + at] |= bit;
            }
        }
    }
    return static_cast<WORD>(videowire::kCursorShapeHeaderSize + 2 * imageBytes);
}

void CVideoScan::SendCursorShape(HCURSOR cursor) {
    if (cursor == nullptr) {
        SendCursor(nullptr, 0);
        return;
    }
    if (m_pCursorShape == nullptr) {
        return;
    }
    const WORD payload = BuildCursorShape(cursor);
    if (payload != 0) {
        SendCursor(m_pCursorShape, payload);
    }
}

void CVideoScan::SendCursor(const BYTE* data, WORD length) {
    FlushIfWillNotFit(static_cast<WORD>(length + videowire::kCursorRecordHeadSize));
    const BYTE head[videowire::kCursorRecordHeadSize] = {
        videowire::kRecordCursor,
        length != 0 ? videowire::kCursorPresent : videowire::kCursorAbsent};
    SendSeqBuffered(head, videowire::kCursorRecordHeadSize);
    if (length != 0) {
        SendSeqBuffered(data, length);
    }
    FlushSeqBuffer();
}

void CVideoScan::CheckCursorChange(int firstPass) {
    HCURSOR current = firstPass ? LoadCursorA(nullptr, IDC_ARROW) : HookMouseQuery();
    if (current == m_hLastCursor) {
        POINT point{};
        if (GetCursorPos(&point)) {
            SetCursorPos(point.x, point.y);
        }
        return;
    }
    m_hLastCursor = current;
    if (current == nullptr) {
        current = LoadCursorA(nullptr, IDC_ARROW);
    }
    SendCursorShape(current);
}
