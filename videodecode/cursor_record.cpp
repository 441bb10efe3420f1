#include "videodecode/cursor_record.h"

#include <string>

#include "session/video_wire.h"

namespace videodecode {

namespace {

RecordFault cursorFault(const RecordInfo& info, const std::string& message) {
    return RecordFault{info.offset, "cursor record: " + message};
}

// One bit per pixel, rows of rowBytes bytes, high bit first. Pixels whose byte lies past the
// image (the host cuts each image at width x height / 8 bytes even when its rows are padded)
// read as fill.
std::vector<std::uint8_t> unpackMask(std::span<const std::uint8_t> image, std::uint16_t width,
                                     std::uint16_t height, std::uint16_t rowBytes,
                                     std::uint8_t fill) {
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(width) * height);
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            const std::size_t index = y * rowBytes + x / 8;
            mask[y * width + x] = index < image.size() ? (image[index] >> (7 - x % 8) & 1) : fill;
        }
    }
    return mask;
}

}  // namespace

std::optional<RecordFault> parseCursorRecord(ByteReader& reader, std::vector<RecordOp>& ops,
                                             RecordInfo& info) {
    reader.skip(1);
    const std::uint8_t presence = reader.u8();
    if (reader.failed()) {
        return cursorFault(info, "truncated");
    }
    CursorOp op;
    if (presence == videowire::kCursorAbsent) {
        ops.push_back(op);
        return std::nullopt;
    }
    if (presence != videowire::kCursorPresent) {
        return cursorFault(info,
                           "presence byte " + std::to_string(presence) + " is neither 0 nor 1");
    }
    CursorShape& shape = op.shape;
    shape.present = true;
    shape.hotSpotX = reader.u16();
    shape.hotSpotY = reader.u16();
    shape.width = reader.u16();
    shape.height = reader.u16();
    const std::uint16_t rowBytes = reader.u16();
    reader.skip(2);  // planes of the mask bitmap, constant 1
    if (reader.failed()) {
        return cursorFault(info, "truncated");
    }
    info.cursorPresent = true;
    info.hotSpotX = shape.hotSpotX;
    info.hotSpotY = shape.hotSpotY;
    info.width = shape.width;
    info.height = shape.height;
    info.rowBytes = rowBytes;
    const std::uint64_t pixels = static_cast<std::uint64_t>(shape.width) * shape.height;
    if (pixels == 0 || pixels % 8 != 0) {
        return cursorFault(info, "a " + std::to_string(shape.width) + " x " +
                                     std::to_string(shape.height) +
                                     " shape does not fill whole bytes");
    }
    if (rowBytes < (shape.width + 7) / 8) {
        return cursorFault(info, "rows of " + std::to_string(rowBytes) +
                                     " bytes are too short for " + std::to_string(shape.width) +
                                     " pixels");
    }
    const std::size_t imageBytes = static_cast<std::size_t>(pixels / 8);
    auto andImage = reader.bytes(imageBytes);
    auto xorImage = reader.bytes(imageBytes);
    if (reader.failed()) {
        return cursorFault(info, "truncated");
    }
    shape.andMask = unpackMask(andImage, shape.width, shape.height, rowBytes, 1);
    shape.xorMask = unpackMask(xorImage, shape.width, shape.height, rowBytes, 0);
    ops.push_back(std::move(op));
    return std::nullopt;
}

}  // namespace videodecode
