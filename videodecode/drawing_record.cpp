#include "videodecode/drawing_record.h"

#include <string>

#include "session/video_wire.h"

namespace videodecode {

namespace {

constexpr std::uint8_t kFlagSource = videowire::kDrawSource;
constexpr std::uint8_t kFlagFormat = videowire::kDrawFormat;
constexpr std::uint8_t kFlagRasterOp = videowire::kDrawRasterOp;
constexpr std::uint8_t kFlagBrushPatch = videowire::kDrawBrush;
constexpr std::uint8_t kFlagColourPatch = videowire::kDrawColours;
constexpr std::uint8_t kFlagUnknown = videowire::kDrawReserved;
constexpr std::uint8_t kFlagCacheOffset = videowire::kDrawCacheOffset;

std::string hex(std::uint32_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[value & 15]);
        value >>= 4;
    } while (value != 0);
    if (text.size() % 2 != 0) {
        text.insert(text.begin(), '0');
    }
    return "0x" + text;
}

class DrawingParser {
public:
    DrawingParser(ByteReader& reader, DecoderState& state, RecordInfo& info)
        : reader_(reader), state_(state), info_(info) {}

    std::optional<RecordFault> parse(DrawOp& op);

private:
    RecordFault fault(const std::string& message) const {
        return RecordFault{info_.offset, "drawing record: " + message};
    }
    RecordFault truncated() const { return fault("truncated"); }

    std::optional<RecordFault> readHead(DrawOp& op);
    std::optional<RecordFault> readPatch();
    std::optional<RecordFault> readSource(DrawOp& op);
    std::optional<RecordFault> checkSourceGeometry(DrawOp& op, std::uint16_t sourceRows,
                                                   std::optional<std::uint32_t> cacheOffset);
    std::optional<RecordFault> checkRasterOperation(const DrawOp& op) const;

    ByteReader& reader_;
    DecoderState& state_;
    RecordInfo& info_;
    std::uint8_t flags_ = 0;
};

std::optional<RecordFault> DrawingParser::parse(DrawOp& op) {
    if (auto head = readHead(op)) {
        return head;
    }
    if (flags_ & kFlagRasterOp) {
        RasterOp rop(reader_.u32());
        if (reader_.failed()) {
            return truncated();
        }
        if (!rop.valid()) {
            return fault("unknown raster operation " + hex(rop.code()));
        }
        state_.rasterOperation = rop;
    }
    for (std::uint8_t patchFlag : {kFlagBrushPatch, kFlagColourPatch}) {
        if (flags_ & patchFlag) {
            if (auto patch = readPatch()) {
                return patch;
            }
        }
    }
    op.rasterOperation = state_.rasterOperation;
    op.brushColour = state_.attributes.brushColour();
    op.textColour = state_.attributes.textColour();
    op.backgroundColour = state_.attributes.backgroundColour();
    info_.rasterOperation = op.rasterOperation.code();
    if (flags_ & kFlagSource) {
        if (auto source = readSource(op)) {
            return source;
        }
    }
    return checkRasterOperation(op);
}

std::optional<RecordFault> DrawingParser::readHead(DrawOp& op) {
    reader_.skip(1);
    flags_ = reader_.u8();
    op.x = reader_.u16();
    op.y = reader_.u16();
    op.width = reader_.u16();
    op.height = reader_.u16();
    if (reader_.failed()) {
        return truncated();
    }
    info_.flags = flags_;
    info_.x = op.x;
    info_.y = op.y;
    info_.width = op.width;
    info_.height = op.height;
    if (flags_ & kFlagUnknown) {
        return fault("unknown flag 0x40 in flags " + hex(flags_));
    }
    const std::uint8_t sourceFlags = flags_ & kFlagSource;
    if (sourceFlags != 0 && sourceFlags != kFlagSource) {
        return fault("flags 0x01 and 0x02 must come together, flags are " + hex(flags_));
    }
    if (sourceFlags == 0 && (flags_ & (kFlagFormat | kFlagCacheOffset))) {
        return fault("pixel format or cache offset without a source part, flags are " +
                     hex(flags_));
    }
    if (!state_.videoRunning) {
        return fault("no video is running (no video start record, or after the end record)");
    }
    if (op.width == 0 || op.height == 0) {
        return fault("empty rectangle");
    }
    if (op.x + op.width > state_.screenWidth || op.y + op.height > state_.screenHeight) {
        return fault("rectangle (" + std::to_string(op.x) + ", " + std::to_string(op.y) + ", " +
                     std::to_string(op.width) + " x " + std::to_string(op.height) +
                     ") leaves the " + std::to_string(state_.screenWidth) + " x " +
                     std::to_string(state_.screenHeight) + " screen");
    }
    return std::nullopt;
}

std::optional<RecordFault> DrawingParser::readPatch() {
    const std::uint8_t offset = reader_.u8();
    const std::uint8_t length = reader_.u8();
    auto bytes = reader_.bytes(length);
    if (reader_.failed()) {
        return truncated();
    }
    if (!state_.attributes.patch(offset, bytes)) {
        return fault("patch of " + std::to_string(length) + " bytes at " + std::to_string(offset) +
                     " passes the 32-byte attribute block");
    }
    return std::nullopt;
}

std::optional<RecordFault> DrawingParser::readSource(DrawOp& op) {
    reader_.skip(4);
    if (flags_ & kFlagFormat) {
        PixelFormat format{reader_.u8(), reader_.u8()};
        if (reader_.failed()) {
            return truncated();
        }
        if (format.planes != 1) {
            return fault(std::to_string(format.planes) + " colour planes are not supported");
        }
        const std::uint8_t depth = format.bitsPerPixel;
        if (depth != 1 && depth != 2 && depth != 4 && depth != 8) {
            return fault(std::to_string(depth) + " bits per pixel are not supported");
        }
        state_.format = format;
    }
    if (!state_.format) {
        return fault("source part before any pixel format was sent");
    }
    op.hasSource = true;
    op.bitsPerPixel = state_.format->bitsPerPixel;
    const std::uint16_t sourceRows = reader_.u16();
    op.rowBytes = op.bitsPerPixel == 1 ? reader_.u8() : reader_.u16();
    reader_.skip(1);
    std::optional<std::uint32_t> cacheOffset;
    if (flags_ & kFlagCacheOffset) {
        cacheOffset = reader_.u24();
    }
    if (reader_.failed()) {
        return truncated();
    }
    info_.bitsPerPixel = op.bitsPerPixel;
    info_.rowBytes = op.rowBytes;
    info_.hasCacheOffset = cacheOffset.has_value();
    info_.cacheOffset = cacheOffset.value_or(0);
    return checkSourceGeometry(op, sourceRows, cacheOffset);
}

std::optional<RecordFault> DrawingParser::checkSourceGeometry(
    DrawOp& op, std::uint16_t sourceRows, std::optional<std::uint32_t> cacheOffset) {
    const std::size_t neededRowBytes =
        (static_cast<std::size_t>(op.width) * op.bitsPerPixel + 7) / 8;
    if (op.rowBytes < neededRowBytes) {
        return fault("rows of " + std::to_string(op.rowBytes) + " bytes are too short for " +
                     std::to_string(op.width) + " pixels at " + std::to_string(op.bitsPerPixel) +
                     " bits");
    }
    const std::size_t size = op.sourceBytes();
    if (sourceRows == 0) {
        info_.kind = RecordKind::CacheDraw;
        if (!cacheOffset) {
            return fault("no source rows and no cache offset");
        }
        if (!state_.cache.holds(*cacheOffset, size)) {
            return fault("cache offset " + std::to_string(*cacheOffset) + " holds no bitmap of " +
                         std::to_string(size) + " bytes");
        }
        op.cacheDraw = cacheOffset;
        return std::nullopt;
    }
    info_.kind = RecordKind::Cell;
    if (sourceRows != op.height) {
        return fault(std::to_string(sourceRows) + " source rows for a rectangle " +
                     std::to_string(op.height) + " pixels high");
    }
    op.pixels = reader_.bytes(size);
    if (reader_.failed()) {
        return truncated();
    }
    if (cacheOffset) {
        if (!state_.cache.fits(*cacheOffset, size)) {
            return fault("bitmap of " + std::to_string(size) + " bytes at cache offset " +
                         std::to_string(*cacheOffset) + " passes the " +
                         std::to_string(state_.cache.limit()) + "-byte cache");
        }
        state_.cache.noteStore(*cacheOffset, size);
        op.cacheStore = cacheOffset;
    }
    return std::nullopt;
}

std::optional<RecordFault> DrawingParser::checkRasterOperation(const DrawOp& op) const {
    if (!op.hasSource) {
        info_.kind = RecordKind::Fill;
    }
    if (op.rasterOperation.usesSource() && !op.hasSource) {
        return fault("raster operation " + hex(op.rasterOperation.code()) + " needs a source part");
    }
    const std::uint16_t style = state_.attributes.brushStyle();
    if (op.rasterOperation.usesPattern() && style != 0) {
        return fault("brush style " + std::to_string(style) + " is not supported");
    }
    return std::nullopt;
}

}  // namespace

std::optional<RecordFault> parseDrawingRecord(ByteReader& reader, DecoderState& state,
                                              std::vector<RecordOp>& ops, RecordInfo& info) {
    DrawOp op;
    DrawingParser parser(reader, state, info);
    if (auto fault = parser.parse(op)) {
        return fault;
    }
    ops.push_back(op);
    return std::nullopt;
}

}  // namespace videodecode
