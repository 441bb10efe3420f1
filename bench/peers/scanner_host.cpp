#include "scanner_host.h"

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/kernel/synch.h"
#include "session/byte_queue.h"
#include "session/cb_block.h"
#include "session/fv_session.h"
#include "session/host_data.h"
#include "suite/fvses32/session_core.h"
#include "videoscan/video_scan.h"

namespace peers {

namespace {

using Clock = std::chrono::steady_clock;

// CB block offsets of the items the host and the other side set.
constexpr std::size_t kSessionStatus = CBItemOffset(kCBSessionStatus);
constexpr std::size_t kVideoState = CBItemOffset(kCBVideoState);
constexpr std::size_t kCapabilities = CBItemOffset(kCBRemoteCapabilities);
constexpr std::size_t kSessionReady = CBItemOffset(kCBSessionReady);
constexpr std::size_t kBitmapRequest = CBItemOffset(kCBBitmapRequest);

long NowMs() {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
            .count());
}

// Counts what the scanner sends and keeps a copy, so that the stream can be taken apart
// afterwards (frames, records, compressed bytes).
class CountingSink final : public CByteQueueSink {
public:
    int MoveOut(unsigned char* bytes, int count) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            sent_.insert(sent_.end(), bytes, bytes + count);
        }
        bytes_ += static_cast<std::size_t>(count);
        lastByteMs_ = NowMs();
        return count;
    }
    std::vector<std::uint8_t> Sent() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return sent_;
    }
    std::atomic<std::size_t> bytes_{0};
    std::atomic<long> lastByteMs_{NowMs()};

private:
    mutable std::mutex mutex_;
    std::vector<std::uint8_t> sent_;
};

}  // namespace

struct ScannerHost::Parts {
    CountingSink sink;
    CFVSession session;
    std::unique_ptr<CSessionCore> core;
    HOSTDATA host{};
    std::vector<unsigned char> cb = std::vector<unsigned char>(kCBBlockSize, 0);

    void SetByte(std::size_t offset, std::uint8_t value) {
        std::atomic_ref<unsigned char>(cb[offset]).store(value, std::memory_order_relaxed);
    }
    std::uint8_t Byte(std::size_t offset) {
        return std::atomic_ref<unsigned char>(cb[offset]).load(std::memory_order_relaxed);
    }
    void SetWord(std::size_t offset, std::uint16_t value) {
        SetByte(offset, static_cast<std::uint8_t>(value));
        SetByte(offset + 1, static_cast<std::uint8_t>(value >> 8));
    }
};

ScannerHost::ScannerHost() = default;

ScannerHost::~ScannerHost() {
    Stop();
}

bool ScannerHost::Start(const std::string& display, std::uint16_t capabilities,
                        std::string& error) {
    parts_ = std::make_unique<Parts>();
    Parts& parts = *parts_;
    parts.core = std::make_unique<CSessionCore>(&parts.session);
    parts.session.m_pCore = parts.core.get();
    parts.core->SetConnected(true);
    parts.core->BindTransmitSink(&parts.sink);
    std::memset(&parts.host, 0, sizeof parts.host);
    parts.host.CBBlock = parts.cb.data();
    parts.host.VideoEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    parts.core->GlobalProcData(reinterpret_cast<std::uintptr_t>(&parts.host));

    scanner_ = new CVideoScan(&parts.session, display.c_str());
    // The session stands and wants video.
    parts.SetByte(kSessionStatus, kSessionStatusUp);
    parts.SetByte(kSessionReady, 1);
    parts.SetByte(kVideoState, kVideoWanted | kVideoAvailable);
    SetEvent(parts.host.VideoEvent);
    const Clock::time_point until = Clock::now() + std::chrono::seconds(10);
    while (!(parts.Byte(kVideoState) & kVideoRunning)) {
        if (Clock::now() >= until) {
            error = "our scanner did not start its video on " + display;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The other side answers the video start with its capabilities and the bitmap request.
    parts.SetWord(kCapabilities, capabilities);
    parts.SetWord(kBitmapRequest, 1);
    return true;
}

void ScannerHost::Stop() {
    if (!parts_) {
        return;
    }
    delete scanner_;
    scanner_ = nullptr;
    parts_->core->BindTransmitSink(nullptr);
    parts_->core->Stop();
    CloseHandle(parts_->host.VideoEvent);
    parts_.reset();
}

std::vector<std::uint8_t> ScannerHost::Sent() const {
    return parts_ ? parts_->sink.Sent() : std::vector<std::uint8_t>{};
}

std::size_t ScannerHost::Bytes() const {
    return parts_ ? parts_->sink.bytes_.load() : 0;
}

unsigned long ScannerHost::Passes() const {
    return scanner_ != nullptr ? scanner_->CompletedPasses() : 0;
}

long ScannerHost::IdleMs() const {
    return parts_ ? NowMs() - parts_->sink.lastByteMs_.load() : 0;
}

}  // namespace peers
