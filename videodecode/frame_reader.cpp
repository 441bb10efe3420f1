#include "videodecode/frame_reader.h"

#include <string>

#include "session/video_wire.h"
#include "videodecode/byte_reader.h"
#include "videodecode/pixel_colours.h"
#include "videodecode/record_parser.h"

namespace videodecode {

namespace {

using videowire::kLzBit;
constexpr std::uint8_t kEscape = videowire::kFrameEscape;
constexpr std::uint8_t kVideoKind = videowire::kVideoFrameKind;
constexpr std::uint8_t kPaletteKind = videowire::kPaletteFrameKind;
constexpr std::size_t kVideoHeader = videowire::kVideoHeaderSize;
constexpr std::size_t kPaletteHeader = videowire::kPaletteHeaderSize;
constexpr std::size_t kMaxPaletteBytes =
    videowire::kMaxPaletteEntries * videowire::kLongPaletteEntrySize;
// The largest cache any capability word can offer; used when the word is not known.
constexpr std::uint16_t kLargestCacheWord = 0x80AF;

DecodeError makeError(std::uint64_t offset, std::uint64_t frameOffset, bool recoverable,
                      std::string message) {
    DecodeError error;
    error.offset = offset;
    error.frameOffset = frameOffset;
    error.recoverable = recoverable;
    error.message = std::move(message);
    return error;
}

std::string byteText(std::uint8_t value) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[value >> 4] + digits[value & 15];
}

std::uint16_t le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

}  // namespace

FrameReader::FrameReader(const DecoderOptions& options) : options_(options) {
    state_.cache.setLimit(cacheBytesFor(options.capabilityWord.value_or(kLargestCacheWord)));
}

std::size_t FrameReader::frameLengthOf(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= kVideoHeader && bytes[1] == kVideoKind) {
        return kVideoHeader + (le16(bytes, videowire::kPackedLengthOffset) & ~kLzBit);
    }
    if (bytes.size() >= kPaletteHeader && bytes[1] == kPaletteKind) {
        return kPaletteHeader + le16(bytes, videowire::kPaletteLengthOffset);
    }
    return 0;
}

FrameReader::Next FrameReader::next(std::span<const std::uint8_t> waiting, std::uint64_t offset) {
    Next next;
    if (waiting.empty()) {
        return next;
    }
    if (waiting[0] != kEscape) {
        next.error = makeError(offset, offset, false,
                               "expected a frame header (0x1B), found " + byteText(waiting[0]));
        return next;
    }
    if (waiting.size() < 2) {
        return next;
    }
    if (waiting[1] == kVideoKind) {
        return readVideoFrame(waiting, offset);
    }
    if (waiting[1] == kPaletteKind) {
        return readPaletteFrame(waiting, offset);
    }
    next.error = makeError(offset + 1, offset, false,
                           "unknown frame kind " + byteText(waiting[1]) + " after 0x1B");
    return next;
}

Compression FrameReader::compressionOf(std::uint16_t packedWord, std::uint16_t rawLength) const {
    if (packedWord & kLzBit) {
        const bool remoteOffersDeflate =
            !options_.capabilityWord || (*options_.capabilityWord & videowire::kCapDeflate);
        return remoteOffersDeflate && (state_.modeWord & videowire::kModeDeflate)
                   ? Compression::Deflate
                   : Compression::Implode;
    }
    return (packedWord == rawLength) ? Compression::None : Compression::RunLength;
}

FrameReader::Next FrameReader::readVideoFrame(std::span<const std::uint8_t> waiting,
                                              std::uint64_t offset) {
    Next next;
    if (waiting.size() < kVideoHeader) {
        return next;
    }
    const std::uint16_t packedWord = le16(waiting, videowire::kPackedLengthOffset);
    const std::uint16_t packedLength = packedWord & ~kLzBit;
    const std::uint16_t rawLength = le16(waiting, videowire::kRawLengthOffset);
    if (packedLength > kMaxRecordSequence || rawLength > kMaxRecordSequence) {
        next.error = makeError(offset + 2, offset, false,
                               "video frame lengths " + std::to_string(packedLength) + " / " +
                                   std::to_string(rawLength) + " pass the limit of " +
                                   std::to_string(kMaxRecordSequence) + " bytes");
        return next;
    }
    if (!(packedWord & kLzBit) && packedLength > rawLength) {
        next.error = makeError(offset + 2, offset, false,
                               "video frame packs " + std::to_string(rawLength) + " bytes into " +
                                   std::to_string(packedLength) + " without compression");
        return next;
    }
    if (waiting.size() < kVideoHeader + packedLength) {
        return next;
    }
    next.frameLength = kVideoHeader + packedLength;
    const std::uint64_t dataOffset = offset + kVideoHeader;
    auto data = waiting.subspan(kVideoHeader, packedLength);

    auto frame = std::make_unique<CheckedFrame>();
    FrameInfo& info = frame->info;
    info.kind = FrameKind::Video;
    info.offset = offset;
    info.frameLength = next.frameLength;
    info.packedLength = packedLength;
    info.rawLength = rawLength;
    info.compression = compressionOf(packedWord, rawLength);
    if (!(packedWord & kLzBit)) {
        // The host resets its deflater after every frame it sends without the LZ bit.
        unpacker_.resetHistory();
    } else if (!state_.videoRunning) {
        next.error =
            makeError(dataOffset, offset, true, "compressed video frame outside a running video");
        return next;
    }
    frame->sequence.resize(rawLength);
    if (auto fault = unpacker_.unpack(info.compression, data, frame->sequence)) {
        next.error = makeError(dataOffset, offset, true, *fault);
        return next;
    }
    frame->state = state_;
    RecordLimits limits{options_.maxPixels};
    if (auto fault =
            parseRecords(frame->sequence, limits, frame->state, frame->ops, info.records)) {
        const bool raw = info.compression == Compression::None;
        next.error =
            makeError(raw ? dataOffset + fault->offset : dataOffset, offset, true, fault->message);
        next.error->recordOffset = static_cast<std::int64_t>(fault->offset);
        return next;
    }
    next.frame = std::move(frame);
    return next;
}

std::uint8_t FrameReader::paletteEntrySize(std::uint16_t length) const {
    if (options_.capabilityWord) {
        return (*options_.capabilityWord & videowire::kCapFourBytePalette)
                   ? videowire::kLongPaletteEntrySize
                   : videowire::kShortPaletteEntrySize;
    }
    return (length % videowire::kLongPaletteEntrySize == 0 &&
            length % videowire::kShortPaletteEntrySize != 0)
               ? videowire::kLongPaletteEntrySize
               : videowire::kShortPaletteEntrySize;
}

FrameReader::Next FrameReader::readPaletteFrame(std::span<const std::uint8_t> waiting,
                                                std::uint64_t offset) {
    Next next;
    if (waiting.size() < kPaletteHeader) {
        return next;
    }
    const std::size_t zeroAt = videowire::kPaletteZeroOffset;
    if (waiting[zeroAt] != 0) {
        next.error = makeError(offset + zeroAt, offset, false,
                               "palette frame: byte 2 is " + byteText(waiting[zeroAt]) + ", not 0");
        return next;
    }
    const std::size_t lengthAt = videowire::kPaletteLengthOffset;
    const std::uint16_t length = le16(waiting, lengthAt);
    if (length > kMaxPaletteBytes) {
        next.error = makeError(offset + lengthAt, offset, false,
                               "palette frame of " + std::to_string(length) +
                                   " bytes passes the limit of 256 entries");
        return next;
    }
    if (waiting.size() < kPaletteHeader + length) {
        return next;
    }
    next.frameLength = kPaletteHeader + length;
    const std::uint8_t entrySize = paletteEntrySize(length);
    if (length % entrySize != 0 || length / entrySize > videowire::kMaxPaletteEntries) {
        next.error = makeError(offset + lengthAt, offset, true,
                               "palette frame of " + std::to_string(length) +
                                   " bytes does not hold whole entries of " +
                                   std::to_string(entrySize) + " bytes");
        return next;
    }
    auto frame = std::make_unique<CheckedFrame>();
    frame->info.kind = FrameKind::Palette;
    frame->info.offset = offset;
    frame->info.frameLength = next.frameLength;
    frame->info.paletteEntries = static_cast<std::uint16_t>(length / entrySize);
    frame->info.paletteEntrySize = entrySize;
    std::vector<PaletteEntry> entries;
    for (std::size_t at = kPaletteHeader; at < next.frameLength; at += entrySize) {
        if (entrySize == videowire::kLongPaletteEntrySize) {
            entries.push_back({waiting[at], waiting[at + 1], waiting[at + 2], waiting[at + 3]});
        } else {
            entries.push_back(entryFromRotated(waiting[at], waiting[at + 1], waiting[at + 2]));
        }
    }
    frame->palette = std::move(entries);
    frame->state = state_;
    next.frame = std::move(frame);
    return next;
}

}  // namespace videodecode
