#include "videodecode/record_parser.h"

#include "session/video_wire.h"
#include "videodecode/byte_reader.h"
#include "videodecode/cursor_record.h"
#include "videodecode/drawing_record.h"

namespace videodecode {

namespace {

using videowire::kStartRecordSize;

std::optional<RecordFault> parseStart(ByteReader& reader, std::size_t sequenceSize,
                                      const RecordLimits& limits, DecoderState& state,
                                      std::vector<RecordOp>& ops, RecordInfo& info) {
    if (info.offset != 0 || sequenceSize != kStartRecordSize) {
        return RecordFault{info.offset, "video start record must be alone in its frame (17 bytes)"};
    }
    reader.skip(videowire::kStartModeWordOffset);  // type, marker, version, constant
    info.modeWord = reader.u16();
    info.deviceColours = reader.u16();
    info.width = reader.u16();
    info.height = reader.u16();
    info.startTime = reader.u32();
    if (info.width == 0 || info.height == 0) {
        return RecordFault{info.offset, "video start record announces an empty screen"};
    }
    if (static_cast<std::uint64_t>(info.width) * info.height > limits.maxPixels) {
        return RecordFault{info.offset, "video start record announces a screen of " +
                                            std::to_string(info.width) + " x " +
                                            std::to_string(info.height) +
                                            " pixels, more than this decoder accepts"};
    }
    state.videoRunning = true;
    state.modeWord = info.modeWord;
    state.deviceColours = info.deviceColours;
    state.screenWidth = info.width;
    state.screenHeight = info.height;
    // The host announces the pixel format again after every start and forgets its cache.
    state.format.reset();
    state.cache.clear();
    ops.push_back(StartOp{info.width, info.height});
    return std::nullopt;
}

std::optional<RecordFault> parseEnd(ByteReader& reader, std::size_t sequenceSize,
                                    DecoderState& state, std::vector<RecordOp>& ops,
                                    const RecordInfo& info) {
    if (info.offset != 0 || sequenceSize != videowire::kEndRecordSize) {
        return RecordFault{info.offset, "video end record must be alone in its frame"};
    }
    reader.skip(videowire::kEndRecordSize);
    state.videoRunning = false;
    ops.push_back(EndOp{});
    return std::nullopt;
}

}  // namespace

std::optional<RecordFault> parseRecords(std::span<const std::uint8_t> sequence,
                                        const RecordLimits& limits, DecoderState& state,
                                        std::vector<RecordOp>& ops,
                                        std::vector<RecordInfo>& records) {
    ByteReader reader(sequence);
    while (!reader.atEnd()) {
        RecordInfo info;
        info.offset = reader.position();
        const std::uint8_t type = sequence[info.offset];
        std::optional<RecordFault> fault;
        switch (type) {
            case videowire::kRecordVideoStart:
                info.kind = RecordKind::VideoStart;
                fault = parseStart(reader, sequence.size(), limits, state, ops, info);
                break;
            case videowire::kRecordVideoEnd:
                info.kind = RecordKind::VideoEnd;
                fault = parseEnd(reader, sequence.size(), state, ops, info);
                break;
            case videowire::kRecordDrawing:
                fault = parseDrawingRecord(reader, state, ops, info);
                break;
            case videowire::kRecordCursor:
                info.kind = RecordKind::Cursor;
                fault = parseCursorRecord(reader, ops, info);
                break;
            default:
                fault = RecordFault{info.offset, "unknown record type " + std::to_string(type)};
                break;
        }
        if (fault) {
            return fault;
        }
        info.length = reader.position() - info.offset;
        records.push_back(info);
    }
    return std::nullopt;
}

}  // namespace videodecode
