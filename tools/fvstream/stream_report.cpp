#include "stream_report.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "frame_summary.h"
#include "pass_tracker.h"
#include "png_writer.h"
#include "videodecode/stream_decoder.h"

namespace fvstream {

namespace {

class StreamReport {
public:
    StreamReport(const Options& options, std::ostream& out, std::ostream& err)
        : options_(options), out_(out), err_(err), decoder_(decoderOptions(options)) {
        decoder_.onFrameChecked([this](const videodecode::FrameInfo& frame) {
            if (passes_.beginsNewPass(frame)) {
                endPass(frame.offset);
            }
        });
        decoder_.onFrameApplied(
            [this](const videodecode::FrameInfo& frame) { reportFrame(frame); });
    }

    int run();

private:
    static videodecode::DecoderOptions decoderOptions(const Options& options) {
        videodecode::DecoderOptions decoder;
        decoder.capabilityWord = options.capabilityWord;
        return decoder;
    }

    void reportFrame(const videodecode::FrameInfo& frame);
    void endPass(std::uint64_t offset);
    bool writePicture(const std::string& path);
    bool decodeFile(std::ifstream& file);
    // Reports a decode error; true when decoding may go on after it.
    bool reportError(const videodecode::DecodeError& error);
    void printTotals();

    const Options& options_;
    std::ostream& out_;
    std::ostream& err_;
    videodecode::StreamDecoder decoder_;
    PassTracker passes_;
    std::size_t videoFrames_ = 0;
    std::size_t paletteFrames_ = 0;
    std::size_t failedFrames_ = 0;
    bool writeFailed_ = false;
};

void StreamReport::reportFrame(const videodecode::FrameInfo& frame) {
    (frame.kind == videodecode::FrameKind::Video ? videoFrames_ : paletteFrames_) += 1;
    if (options_.quiet) {
        return;
    }
    out_ << frameLine(frame) << '\n';
    if (options_.verbose) {
        for (const videodecode::RecordInfo& record : frame.records) {
            out_ << recordLine(record) << '\n';
        }
    }
}

void StreamReport::endPass(std::uint64_t offset) {
    const int pass = passes_.passesEnded();
    std::string line = "pass " + std::to_string(pass) + " ends at offset " + std::to_string(offset);
    if (!options_.passPattern.empty()) {
        const std::string path = *expandPattern(options_.passPattern, pass);
        if (writePicture(path)) {
            line += ": wrote " + path;
        }
    }
    if (!options_.quiet) {
        out_ << line << '\n';
    }
}

bool StreamReport::writePicture(const std::string& path) {
    videodecode::Framebuffer& picture = decoder_.framebuffer();
    std::vector<videodecode::Rgb> pixels;
    if (options_.cursorAt) {
        picture.setCursorPosition(options_.cursorAt->first, options_.cursorAt->second);
        pixels = picture.composed();
    } else {
        pixels.assign(picture.pixels().begin(), picture.pixels().end());
    }
    const std::string failure = writePng(path, picture.width(), picture.height(), pixels);
    if (!failure.empty()) {
        err_ << "fvstream: " << failure << '\n';
        writeFailed_ = true;
        return false;
    }
    return true;
}

bool StreamReport::reportError(const videodecode::DecodeError& error) {
    err_ << "fvstream: " << options_.streamPath << ": " << error.describe() << '\n';
    ++failedFrames_;
    return error.recoverable && options_.keepGoing;
}

bool StreamReport::decodeFile(std::ifstream& file) {
    std::vector<std::uint8_t> chunk(65536);
    while (file && !writeFailed_) {
        file.read(reinterpret_cast<char*>(chunk.data()),
                  static_cast<std::streamsize>(chunk.size()));
        const auto count = static_cast<std::size_t>(file.gcount());
        if (count == 0) {
            break;
        }
        auto result = decoder_.push(std::span(chunk).first(count));
        while (result.error) {
            if (!reportError(*result.error)) {
                return false;
            }
            result = decoder_.push({});
        }
    }
    if (file.bad()) {
        err_ << "fvstream: cannot read " << options_.streamPath << ": " << std::strerror(errno)
             << '\n';
        return false;
    }
    if (auto error = decoder_.finish()) {
        reportError(*error);
        return false;
    }
    return !writeFailed_;
}

void StreamReport::printTotals() {
    out_ << videoFrames_ + paletteFrames_ << " frames (" << videoFrames_ << " video, "
         << paletteFrames_ << " palette), " << passes_.passesEnded() << " passes, "
         << decoder_.bytesReceived() << " bytes";
    if (failedFrames_ > 0) {
        out_ << ", " << failedFrames_ << " failed";
    }
    if (!decoder_.framebuffer().empty()) {
        out_ << ", screen " << decoder_.framebuffer().width() << "x"
             << decoder_.framebuffer().height();
    }
    out_ << '\n';
}

int StreamReport::run() {
    std::ifstream file(options_.streamPath, std::ios::binary);
    if (!file) {
        err_ << "fvstream: cannot open " << options_.streamPath << ": " << std::strerror(errno)
             << '\n';
        return 1;
    }
    const bool decoded = decodeFile(file);
    if (decoded) {
        if (passes_.passOpen()) {
            passes_.endStream();
            endPass(decoder_.bytesReceived());
        }
        if (!options_.pngPath.empty() && writePicture(options_.pngPath) && !options_.quiet) {
            out_ << "wrote " << options_.pngPath << '\n';
        }
    }
    printTotals();
    return decoded && failedFrames_ == 0 && !writeFailed_ ? 0 : 1;
}

}  // namespace

int runReport(const Options& options, std::ostream& out, std::ostream& err) {
    StreamReport report(options, out, err);
    return report.run();
}

}  // namespace fvstream
