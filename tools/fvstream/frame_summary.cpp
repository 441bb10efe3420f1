#include "frame_summary.h"

#include <cstdio>

namespace fvstream {

namespace {

using videodecode::Compression;
using videodecode::RecordKind;

const char* compressionName(Compression compression) {
    switch (compression) {
        case Compression::None:
            return "raw";
        case Compression::RunLength:
            return "run-length";
        case Compression::Implode:
            return "implode";
        case Compression::Deflate:
            return "deflate";
    }
    return "?";
}

std::string format(const char* pattern, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

std::string recordCounts(const videodecode::FrameInfo& frame) {
    const std::pair<RecordKind, const char*> kinds[] = {
        {RecordKind::VideoStart, "video start"},
        {RecordKind::VideoEnd, "video end"},
        {RecordKind::Cell, "cells"},
        {RecordKind::CacheDraw, "cache draws"},
        {RecordKind::Fill, "fills"},
        {RecordKind::Cursor, "cursor"},
    };
    std::string text;
    for (const auto& [kind, name] : kinds) {
        const std::size_t count = frame.count(kind);
        if (count > 0) {
            text += (text.empty() ? "" : ", ") + std::string(name) + " " + std::to_string(count);
        }
    }
    return text.empty() ? "no records" : text;
}

std::string rectangle(const videodecode::RecordInfo& record) {
    return format("(%u, %u) %ux%u", record.x, record.y, record.width, record.height);
}

}  // namespace

std::string frameLine(const videodecode::FrameInfo& frame) {
    const std::string offset =
        format("offset %-9llu", static_cast<unsigned long long>(frame.offset));
    if (frame.kind == videodecode::FrameKind::Palette) {
        return offset + format(" palette  %u entries of %u bytes", frame.paletteEntries,
                               frame.paletteEntrySize);
    }
    return offset +
           format(" video    packed %5u raw %5u  %-10s  ", frame.packedLength, frame.rawLength,
                  compressionName(frame.compression)) +
           recordCounts(frame);
}

std::string recordLine(const videodecode::RecordInfo& record) {
    std::string text = format("  +%-5zu ", record.offset);
    switch (record.kind) {
        case RecordKind::VideoStart:
            return text + format("video start: mode 0x%04X, %u colours, %ux%u, time %u",
                                 record.modeWord, record.deviceColours, record.width, record.height,
                                 record.startTime);
        case RecordKind::VideoEnd:
            return text + "video end";
        case RecordKind::Cursor:
            if (!record.cursorPresent) {
                return text + "cursor: none";
            }
            return text + format("cursor: %ux%u, hot spot (%u, %u), rows of %u", record.width,
                                 record.height, record.hotSpotX, record.hotSpotY, record.rowBytes);
        case RecordKind::Fill:
            return text + "fill " + rectangle(record) +
                   format(" flags 0x%02X rop 0x%08X", record.flags, record.rasterOperation);
        case RecordKind::Cell:
        case RecordKind::CacheDraw:
            break;
    }
    text += (record.kind == RecordKind::Cell ? "cell " : "cache draw ") + rectangle(record) +
            format(" flags 0x%02X rop 0x%08X, %u bpp, rows of %u", record.flags,
                   record.rasterOperation, record.bitsPerPixel, record.rowBytes);
    if (record.hasCacheOffset) {
        text += format(", %s cache %u", record.kind == RecordKind::Cell ? "stored in" : "from",
                       record.cacheOffset);
    }
    return text;
}

}  // namespace fvstream
