#include "viewer_run.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

#include "pass_tracker.h"
#include "png_writer.h"
#include "session/password_input.h"
#include "suite/fvses32/viewer_link.h"

namespace fvview {

namespace {

using Clock = std::chrono::steady_clock;
using farvane::net::NetCode;
using farvane::net::NetStatus;
using farvane::viewer::HostKeyCheck;
using farvane::viewer::KeysymForCharacter;
using farvane::viewer::ViewerLink;
using farvane::viewer::ViewerStep;

constexpr int kExitFailed = 1;
constexpr int kExitRefused = 3;
constexpr int kTimeoutMs = 10000;
constexpr int kReadSliceMs = 50;
constexpr int kSlowReceiveBuffer = 8192;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The text to type: "\n" and "\t" as written in a shell become Return and Tab, "\\" one
// backslash; everything else stays as it is.
std::string TypedText(const std::string& written) {
    std::string text;
    for (std::size_t at = 0; at < written.size(); ++at) {
        if (written[at] == '\\' && at + 1 < written.size()) {
            const char next = written[at + 1];
            if (next == 'n' || next == 't' || next == '\\') {
                text += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
                ++at;
                continue;
            }
        }
        text += written[at];
    }
    return text;
}

// Checks the host's key against the known hosts; an unknown one is pinned when --trust-new
// says so or the person at the terminal agrees.
int TrustHost(const Options& options, ViewerLink& link, std::string* error) {
    HostKeyCheck check;
    check.knownHostsFile = options.knownHosts;
    check.hostName = options.hostText;
    check.acceptUnknown = [&options](const std::string& fingerprint) {
        if (options.trustNew) {
            return true;
        }
        if (!isatty(STDIN_FILENO)) {
            return false;
        }
        std::fprintf(stderr, "The host %s is not known. Its key is\n  %s\nTrust it? [y/N] ",
                     options.hostText.c_str(), fingerprint.c_str());
        std::string answer;
        return std::getline(std::cin, answer) && (answer == "y" || answer == "yes");
    };
    std::string pinnedIn;
    switch (link.CheckHostKey(check, error, &pinnedIn)) {
        case ViewerStep::kOk:
            if (!pinnedIn.empty()) {
                std::fprintf(stderr, "fvview: pinned the key of %s in %s: %s\n",
                             options.hostText.c_str(), pinnedIn.c_str(),
                             link.Fingerprint().c_str());
            }
            return 0;
        case ViewerStep::kRefused:
            if (error->find("is not known") != std::string::npos) {
                *error += "; run with --trust-new to pin it";
            }
            return kExitRefused;
        case ViewerStep::kFailed:
            break;
    }
    return kExitFailed;
}

bool SendInput(ViewerLink& link, const Options& options, std::string* error) {
    if (options.click) {
        for (std::uint8_t buttons : {0, 1, 0}) {
            if (!link.SendPointer(
                    ViewerPointer{options.click->first, options.click->second, buttons, 0},
                    error)) {
                return false;
            }
        }
    }
    for (unsigned char character : TypedText(options.type)) {
        for (bool down : {true, false}) {
            if (!link.SendKey(KeysymForCharacter(character), down, error)) {
                return false;
            }
        }
    }
    return true;
}

// Sends the hello and the password and reads the host's verdict.
int Admit(ViewerLink& link, const Options& options, std::string* error) {
    std::string password;
    if (!options.passwordFile.empty()) {
        if (!farvane::password::ReadPasswordFile(options.passwordFile, &password, error)) {
            return kExitFailed;
        }
    } else if (!farvane::password::ReadPassword("Password: ", &password, error)) {
        return kExitFailed;
    }
    const ViewerHello hello{kViewerProtocolVersion, options.capabilities, 0, options.reducedMode};
    switch (link.Admit(hello, password, nullptr, kTimeoutMs, error)) {
        case ViewerStep::kOk:
            return 0;
        case ViewerStep::kRefused:
            return kExitRefused;
        case ViewerStep::kFailed:
            break;
    }
    return kExitFailed;
}

std::atomic<bool> gInterrupted{false};

void OnInterrupt(int) {
    gInterrupted.store(true);
}

// The decoding and the counting of passes.
class Watcher {
public:
    Watcher(videodecode::StreamDecoder& decoder, RunStats* stats)
        : decoder_(decoder), stats_(stats) {
        decoder_.onFrameChecked([this](const videodecode::FrameInfo& frame) { Checked(frame); });
        decoder_.onFrameApplied([this](const videodecode::FrameInfo& frame) { Applied(frame); });
    }

    unsigned passes() const { return passes_; }
    const videodecode::Framebuffer& Picture(unsigned wanted) const {
        return wanted != 0 && snapshot_ ? *snapshot_ : decoder_.framebuffer();
    }
    void WantSnapshotAt(unsigned pass) { snapshotPass_ = pass; }
    void Start() { requested_ = Clock::now(); }

private:
    void Checked(const videodecode::FrameInfo& frame) {
        if (tracker_.beginsNewPass(frame)) {
            PassEnded(tracker_.passesEnded());
        }
    }
    void Applied(const videodecode::FrameInfo& frame) {
        Clock::time_point now = Clock::now();
        if (stats_->videoFrames + stats_->paletteFrames == 0) {
            stats_->firstFrameMs = MsSince(requested_);
        } else if (passes_ > 0) {
            double gap = std::chrono::duration<double, std::milli>(now - lastFrame_).count();
            stats_->largestGapMs = std::max(stats_->largestGapMs, gap);
        }
        lastFrame_ = now;
        ++(frame.kind == videodecode::FrameKind::Video ? stats_->videoFrames
                                                       : stats_->paletteFrames);
        const bool cells = frame.count(videodecode::RecordKind::Cell) +
                               frame.count(videodecode::RecordKind::CacheDraw) >
                           0;
        cellsSeen_ = cellsSeen_ || cells;
        // The scanner ends its first pass with the cursor shape, in the pass's last frame.
        if (passes_ == 0 && cellsSeen_ && frame.count(videodecode::RecordKind::Cursor) > 0) {
            PassEnded(1);
        }
    }
    void PassEnded(unsigned passes) {
        if (passes <= passes_) {
            return;
        }
        passes_ = passes;
        if (passes_ == 1) {
            stats_->firstPassMs = MsSince(requested_);
        }
        if (passes_ == snapshotPass_) {
            snapshot_ = std::make_unique<videodecode::Framebuffer>(decoder_.framebuffer());
        }
    }

    videodecode::StreamDecoder& decoder_;
    fvstream::PassTracker tracker_;
    RunStats* stats_;
    unsigned passes_ = 0;
    unsigned snapshotPass_ = 0;
    bool cellsSeen_ = false;
    std::unique_ptr<videodecode::Framebuffer> snapshot_;
    Clock::time_point requested_;
    Clock::time_point lastFrame_;
};

int WritePicture(const Options& options, const videodecode::Framebuffer& picture,
                 std::string* error) {
    if (options.png.empty()) {
        return 0;
    }
    if (picture.empty()) {
        *error = "no picture to write: the host sent no video";
        return kExitFailed;
    }
    std::vector<videodecode::Rgb> pixels = picture.composed();
    *error = fvstream::writePng(options.png, picture.width(), picture.height(), pixels);
    return error->empty() ? 0 : kExitFailed;
}

}  // namespace

int RunViewer(const Options& options, RunStats* stats, std::string* error) {
    signal(SIGINT, OnInterrupt);
    signal(SIGTERM, OnInterrupt);
    const Clock::time_point called = Clock::now();
    std::unique_ptr<ViewerLink> link;
    if (NetStatus status =
            ViewerLink::Call(options.host, options.gatewayName, nullptr, kTimeoutMs,
                             options.readRate ? kSlowReceiveBuffer : 0,
                             videodecode::DecoderOptions{options.capabilities}, &link);
        !status.ok()) {
        *error = status.message;
        return kExitFailed;
    }
    if (int refused = TrustHost(options, *link, error); refused != 0) {
        return refused;
    }
    if (int refused = Admit(*link, options, error); refused != 0) {
        return refused;
    }
    stats->admittedMs = MsSince(called);

    // Ends: N passes, S seconds, or (for a picture) one pass.
    const unsigned passesWanted = options.passes                               ? *options.passes
                                  : (!options.seconds && !options.png.empty()) ? 1
                                                                               : 0;
    const Clock::time_point deadline =
        options.seconds ? Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(*options.seconds))
                        : Clock::time_point::max();
    Watcher watcher(link->Decoder(), stats);
    watcher.WantSnapshotAt(passesWanted);
    if (!link->RequestBitmap(error)) {
        return kExitFailed;
    }
    watcher.Start();
    bool inputSent = options.type.empty() && !options.click;
    // A slow reader takes small bites, so that the link, not this buffer, holds the backlog.
    std::vector<std::uint8_t> buffer(options.readRate ? 1024 : 64 * 1024);
    const Clock::time_point started = Clock::now();
    for (;;) {
        if (gInterrupted.load() || Clock::now() >= deadline ||
            (passesWanted != 0 && watcher.passes() >= passesWanted)) {
            break;
        }
        std::size_t got = 0;
        NetStatus status = link->Receive(buffer, &got, nullptr, kReadSliceMs);
        if (status.code == NetCode::kTimedOut) {
            continue;
        }
        if (!status.ok()) {
            if (status.code == NetCode::kClosed && passesWanted == 0 && !options.seconds) {
                break;  // the host ended; that was what we waited for
            }
            *error = status.code == NetCode::kIoFailed && got > 0
                         ? status.message
                         : "the host ended the session: " + status.message;
            return kExitFailed;
        }
        stats->bytes += got;
        if (options.readRate) {
            // Reads no faster than the rate: the host sees a slow link and must wait for it.
            auto due =
                started + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                              static_cast<double>(stats->bytes) / *options.readRate));
            std::this_thread::sleep_until(due);
        }
        if (!inputSent && watcher.passes() >= 1) {
            if (!SendInput(*link, options, error)) {
                return kExitFailed;
            }
            inputSent = true;
        }
    }
    stats->passes = watcher.passes();
    link->Close();
    std::string ignored;
    if (passesWanted != 0 && watcher.passes() < passesWanted) {
        *error = "only " + std::to_string(watcher.passes()) + " of " +
                 std::to_string(passesWanted) + " passes arrived";
        WritePicture(options, watcher.Picture(0), &ignored);
        return kExitFailed;
    }
    return WritePicture(options, watcher.Picture(passesWanted), error);
}

}  // namespace fvview
