#include "scan_run.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "image_file.h"
#include "platform/gdi/display_registry.h"
#include "platform/kernel/synch.h"
#include "session/byte_queue.h"
#include "session/cb_block.h"
#include "session/fv_session.h"
#include "session/host_data.h"
#include "suite/fvses32/session_core.h"
#include "videoscan/video_scan.h"

namespace fvscan {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// CB block offsets of the items this program plays.
constexpr std::size_t kSessionStatus = CBItemOffset(kCBSessionStatus);
constexpr std::size_t kVideoState = CBItemOffset(kCBVideoState);
constexpr std::size_t kCapabilities = CBItemOffset(kCBRemoteCapabilities);
constexpr std::size_t kSessionReady = CBItemOffset(kCBSessionReady);
constexpr std::size_t kRemoteOptions = CBItemOffset(kCBRemoteOptions);
constexpr std::size_t kBitmapRequest = CBItemOffset(kCBBitmapRequest);
constexpr std::size_t kReducedMode = CBItemOffset(kCBReducedColourMode);

class StreamSink final : public CByteQueueSink {
public:
    int MoveOut(unsigned char* source, int count) override {
        std::lock_guard guard(lock_);
        bytes_.insert(bytes_.end(), source, source + count);
        return count;
    }
    std::size_t Size() {
        std::lock_guard guard(lock_);
        return bytes_.size();
    }
    std::vector<std::uint8_t> Take() {
        std::lock_guard guard(lock_);
        return std::move(bytes_);
    }

private:
    std::mutex lock_;
    std::vector<std::uint8_t> bytes_;
};

// The CB block shared with the scanner's thread: byte by byte, as the other parties do.
class CBBlock {
public:
    CBBlock() : bytes_(kCBBlockSize, 0) {}
    unsigned char* data() { return bytes_.data(); }
    std::uint8_t Byte(std::size_t offset) {
        return std::atomic_ref<unsigned char>(bytes_[offset]).load(std::memory_order_relaxed);
    }
    void SetByte(std::size_t offset, std::uint8_t value) {
        std::atomic_ref<unsigned char>(bytes_[offset]).store(value, std::memory_order_relaxed);
    }
    void SetWord(std::size_t offset, std::uint16_t value) {
        SetByte(offset, static_cast<std::uint8_t>(value));
        SetByte(offset + 1, static_cast<std::uint8_t>(value >> 8));
    }

private:
    std::vector<unsigned char> bytes_;
};

// A private Windows directory holding this run's FARV.INI, removed at the end.
class IniFolder {
public:
    bool Create(const Options& options, std::string& error) {
        char pattern[] = "/tmp/fvscan-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            error = std::string("cannot create a temporary folder: ") + std::strerror(errno);
            return false;
        }
        path_ = pattern;
        std::ofstream ini(path_ + "/FARV.INI");
        ini << "[Farvane]\n";
        if (options.compression) {
            ini << "COMPRESSION=" << *options.compression << "\n";
        }
        ini << "[Video]\n";
        if (options.cell) {
            ini << "CellWidth=" << options.cell->first << "\nCellHeight=" << options.cell->second
                << "\n";
        }
        if (!ini) {
            error = "cannot write the temporary FARV.INI";
            return false;
        }
        setenv("FARVANE_WINDIR", path_.c_str(), 1);
        return true;
    }
    ~IniFolder() {
        if (!path_.empty()) {
            std::error_code ignored;
            fs::remove_all(path_, ignored);
        }
    }

private:
    std::string path_;
};

bool Wait(const std::function<bool()>& done, Clock::time_point until) {
    while (!done()) {
        if (Clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The desktop to scan: the display given, or a memory display showing the picture.
bool PrepareDesktop(const Options& options, std::string& desktop, std::string& error) {
    if (!options.display.empty()) {
        desktop = options.display;
        if (!farvane::gdi::OpenDisplay(desktop)) {
            error = "cannot open the display " + desktop;
            return false;
        }
        return true;
    }
    RgbImage image;
    if (!LoadImage(options.image, image, error)) {
        return false;
    }
    desktop = "memory:" + std::to_string(image.width) + "x" + std::to_string(image.height) + "x" +
              options.depth + "#fvscan";
    std::shared_ptr<farvane::gdi::MemoryDisplay> display = farvane::gdi::FindMemoryDisplay(desktop);
    if (!display) {
        error = "a memory display of " + std::to_string(image.width) + " x " +
                std::to_string(image.height) + " at depth " + options.depth + " is too large";
        return false;
    }
    display->LoadRgb(0, 0, image.width, image.height, image.rgb.data(),
                     static_cast<std::size_t>(image.width) * 3);
    return true;
}

}  // namespace

RunResult RunScanner(const Options& options) {
    RunResult result;
    IniFolder ini;
    std::string desktop;
    if (!ini.Create(options, result.error) || !PrepareDesktop(options, desktop, result.error)) {
        return result;
    }
    std::shared_ptr<farvane::gdi::DisplayDevice> device = farvane::gdi::OpenDisplay(desktop);

    StreamSink sink;
    CFVSession session;
    auto core = std::make_unique<CSessionCore>(&session);
    session.m_pCore = core.get();
    core->SetConnected(true);
    core->BindTransmitSink(&sink);
    CBBlock cb;
    auto host = std::make_unique<HOSTDATA>();
    std::memset(host.get(), 0, sizeof(HOSTDATA));
    host->CBBlock = cb.data();
    host->VideoEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    core->GlobalProcData(reinterpret_cast<std::uintptr_t>(host.get()));
    cb.SetByte(kReducedMode, options.reducedMode);

    CVideoScan* scanner = new CVideoScan(&session, desktop.c_str());
    if (scanner == nullptr) {
        result.error = "out of memory";
        return result;
    }
    // The session stands and wants video.
    cb.SetByte(kSessionStatus, kSessionStatusUp);
    cb.SetByte(kSessionReady, 1);
    cb.SetByte(kVideoState, kVideoWanted | kVideoAvailable);
    SetEvent(host->VideoEvent);

    const Clock::time_point start = Clock::now();
    const Clock::time_point end = options.seconds
                                      ? start + std::chrono::duration_cast<Clock::duration>(
                                                    std::chrono::duration<double>(*options.seconds))
                                      : Clock::time_point::max();
    bool ok = Wait([&] { return (cb.Byte(kVideoState) & kVideoRunning) != 0; },
                   start + std::chrono::seconds(10));
    if (!ok) {
        result.error = "the scanner did not start its video (is the display readable?)";
    } else {
        // The other side answers the video start: its capabilities and options, then the request.
        cb.SetWord(kCapabilities, options.capabilities);
        cb.SetWord(kRemoteOptions, options.optionWord);
        cb.SetWord(kBitmapRequest, 1);
        std::uint32_t generation = device ? device->PaletteGeneration() : 0;
        Wait(
            [&] {
                if (device && device->PaletteGeneration() != generation) {
                    generation = device->PaletteGeneration();
                    scanner->PaletteChanged();
                }
                return options.passes && scanner->CompletedPasses() >= *options.passes;
            },
            end);
    }
    result.passes = scanner->CompletedPasses();
    delete scanner;  // sends the end record

    // Every byte reaches the sink before the queue stops.
    std::size_t size = sink.Size();
    Clock::time_point stable = Clock::now();
    while (Clock::now() - stable < std::chrono::milliseconds(150)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (sink.Size() != size) {
            size = sink.Size();
            stable = Clock::now();
        }
    }
    core->BindTransmitSink(nullptr);
    core->Stop();
    CloseHandle(host->VideoEvent);
    result.stream = sink.Take();
    result.ok = ok;
    return result;
}

}  // namespace fvscan
