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
#include "password_input.h"
#include "platform/net/known_hosts.h"
#include "platform/net/state_dir.h"
#include "platform/net/tcp.h"
#include "platform/net/tls_stream.h"
#include "png_writer.h"
#include "session/gateway_call.h"
#include "session/viewer_wire.h"
#include "videodecode/stream_decoder.h"

namespace fvview {

namespace {

using Clock = std::chrono::steady_clock;
using farvane::net::NetCode;
using farvane::net::NetStatus;
using farvane::net::TlsStream;

constexpr int kExitFailed = 1;
constexpr int kExitRefused = 3;
constexpr int kTimeoutMs = 10000;
constexpr int kReadSliceMs = 50;
constexpr std::uint16_t kBitmapRequest = 1;
constexpr int kSlowReceiveBuffer = 8192;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The X keysym that types `character` (Latin-1 maps to itself).
std::uint32_t KeysymFor(unsigned char character) {
    switch (character) {
        case '\n':
            return 0xFF0D;  // Return
        case '\t':
            return 0xFF09;  // Tab
        case '\b':
            return 0xFF08;  // BackSpace
        default:
            return character;
    }
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

// Checks the host's key against the known hosts; pins it when new and trusted.
bool TrustHost(const Options& options, const std::string& fingerprint, std::string* error) {
    std::string file = options.knownHosts;
    if (file.empty()) {
        std::string folder;
        if (NetStatus status = farvane::net::UserStateDirectory(&folder); !status.ok()) {
            *error = status.message;
            return false;
        }
        file = folder + "/" + farvane::net::kKnownHostsFileName;
    }
    farvane::net::HostTrust trust;
    std::string pinned;
    if (NetStatus status =
            farvane::net::CheckKnownHost(file, options.hostText, fingerprint, &trust, &pinned);
        !status.ok()) {
        *error = status.message;
        return false;
    }
    if (trust == farvane::net::HostTrust::kKnown) {
        return true;
    }
    if (trust == farvane::net::HostTrust::kChanged) {
        *error = farvane::net::ChangedHostMessage(file, options.hostText, pinned, fingerprint);
        return false;
    }
    bool trusted = options.trustNew;
    if (!trusted && isatty(STDIN_FILENO)) {
        std::fprintf(stderr, "The host %s is not known. Its key is\n  %s\nTrust it? [y/N] ",
                     options.hostText.c_str(), fingerprint.c_str());
        std::string answer;
        trusted = std::getline(std::cin, answer) && (answer == "y" || answer == "yes");
    }
    if (!trusted) {
        *error = "the host " + options.hostText + " is not known (its key is " + fingerprint +
                 "); run with --trust-new to pin it";
        return false;
    }
    if (NetStatus status = farvane::net::PinKnownHost(file, options.hostText, fingerprint);
        !status.ok()) {
        *error = status.message;
        return false;
    }
    std::fprintf(stderr, "fvview: pinned the key of %s in %s: %s\n", options.hostText.c_str(),
                 file.c_str(), fingerprint.c_str());
    return true;
}

bool SendMessage(TlsStream& stream, const ViewerMessage& message, std::string* error) {
    std::vector<std::uint8_t> bytes;
    AppendViewerMessage(message, &bytes);
    NetStatus status = stream.WriteAll(bytes.data(), bytes.size(), nullptr, kTimeoutMs);
    if (!status.ok()) {
        *error = "cannot send to the host: " + status.message;
    }
    return status.ok();
}

bool SendInput(TlsStream& stream, const Options& options, std::string* error) {
    ViewerMessage message;
    if (options.click) {
        message.type = ViewerMessageType::kPointer;
        message.pointer = ViewerPointer{options.click->first, options.click->second, 0, 0};
        for (std::uint8_t buttons : {0, 1, 0}) {
            message.pointer.buttons = buttons;
            if (!SendMessage(stream, message, error)) {
                return false;
            }
        }
    }
    message.type = ViewerMessageType::kKey;
    for (unsigned char character : TypedText(options.type)) {
        for (bool down : {true, false}) {
            message.key = ViewerKey{KeysymFor(character), down};
            if (!SendMessage(stream, message, error)) {
                return false;
            }
        }
    }
    return true;
}

// Reads the admission answer.
int Admit(TlsStream& stream, const Options& options, std::string* error) {
    std::string password;
    if (!options.passwordFile.empty()) {
        if (!fvhost::ReadPasswordFile(options.passwordFile, &password, error)) {
            return kExitFailed;
        }
    } else if (!fvhost::ReadPassword("Password: ", &password, error)) {
        return kExitFailed;
    }
    ViewerMessage hello;
    hello.type = ViewerMessageType::kHello;
    hello.hello = ViewerHello{kViewerProtocolVersion, options.capabilities, 0, options.reducedMode};
    ViewerMessage secret;
    secret.type = ViewerMessageType::kPassword;
    secret.text = password;
    if (!SendMessage(stream, hello, error) || !SendMessage(stream, secret, error)) {
        return kExitFailed;
    }
    std::vector<std::uint8_t> bytes(kAdmissionAnswerSize);
    std::size_t have = 0;
    while (have < bytes.size()) {
        std::size_t got = 0;
        NetStatus status =
            stream.Read(bytes.data() + have, bytes.size() - have, &got, nullptr, kTimeoutMs);
        if (!status.ok()) {
            *error = "the host did not answer: " + status.message;
            return kExitFailed;
        }
        have += got;
    }
    AdmissionAnswer answer;
    std::string reason;
    if (ParseAdmissionAnswer(bytes, &answer, &reason) != ViewerParse::kMessage) {
        *error = reason;
        return kExitFailed;
    }
    if (!answer.admitted) {
        *error = "the host refused the password" +
                 (answer.retryAfterMs ? " (it takes the next attempt from here in " +
                                            std::to_string(answer.retryAfterMs) + " ms)"
                                      : std::string());
        return kExitRefused;
    }
    return 0;
}

std::atomic<bool> gInterrupted{false};

void OnInterrupt(int) {
    gInterrupted.store(true);
}

// The decoding and the counting of passes.
class Watcher {
public:
    Watcher(const Options& options, RunStats* stats)
        : decoder_(videodecode::DecoderOptions{options.capabilities}), stats_(stats) {
        decoder_.onFrameChecked([this](const videodecode::FrameInfo& frame) { Checked(frame); });
        decoder_.onFrameApplied([this](const videodecode::FrameInfo& frame) { Applied(frame); });
    }

    videodecode::StreamDecoder& decoder() { return decoder_; }
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

    videodecode::StreamDecoder decoder_;
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
    std::unique_ptr<farvane::net::TcpSocket> socket;
    if (NetStatus status = farvane::net::ConnectTcp(options.host, nullptr, kTimeoutMs, &socket);
        !status.ok()) {
        *error = status.message;
        return kExitFailed;
    }
    if (!options.gatewayName.empty()) {
        if (NetStatus status = AskGatewayFor(*socket, options.gatewayName, nullptr, kTimeoutMs);
            !status.ok()) {
            *error = status.message;
            return kExitFailed;
        }
    }
    if (options.readRate) {
        int size = kSlowReceiveBuffer;
        setsockopt(socket->fd(), SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    std::unique_ptr<TlsStream> stream;
    if (NetStatus status = TlsStream::Connect(std::move(socket), nullptr, kTimeoutMs, &stream);
        !status.ok()) {
        *error = "no TLS with " + options.hostText + ": " + status.message;
        return kExitFailed;
    }
    if (!TrustHost(options, stream->PeerFingerprint(), error)) {
        return kExitRefused;
    }
    if (int refused = Admit(*stream, options, error); refused != 0) {
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
    Watcher watcher(options, stats);
    watcher.WantSnapshotAt(passesWanted);
    ViewerMessage request;
    request.type = ViewerMessageType::kBitmapRequest;
    request.bitmapRequest = kBitmapRequest;
    if (!SendMessage(*stream, request, error)) {
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
        NetStatus status = stream->Read(buffer.data(), buffer.size(), &got, nullptr, kReadSliceMs);
        if (status.code == NetCode::kTimedOut) {
            continue;
        }
        if (!status.ok()) {
            if (status.code == NetCode::kClosed && passesWanted == 0 && !options.seconds) {
                break;  // the host ended; that was what we waited for
            }
            *error = "the host ended the session: " + status.message;
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
        videodecode::PushResult pushed =
            watcher.decoder().push(std::span<const std::uint8_t>(buffer.data(), got));
        if (!pushed.ok()) {
            // A frame that does not decode means the picture is wrong from here on.
            *error = "the host's video stream is broken: " + pushed.error->message;
            return kExitFailed;
        }
        if (!inputSent && watcher.passes() >= 1) {
            if (!SendInput(*stream, options, error)) {
                return kExitFailed;
            }
            inputSent = true;
        }
    }
    stats->passes = watcher.passes();
    ViewerMessage bye;
    bye.type = ViewerMessageType::kBye;
    std::string ignored;
    SendMessage(*stream, bye, &ignored);
    stream->Close();
    if (passesWanted != 0 && watcher.passes() < passesWanted) {
        *error = "only " + std::to_string(watcher.passes()) + " of " +
                 std::to_string(passesWanted) + " passes arrived";
        WritePicture(options, watcher.Picture(0), &ignored);
        return kExitFailed;
    }
    return WritePicture(options, watcher.Picture(passesWanted), error);
}

}  // namespace fvview
