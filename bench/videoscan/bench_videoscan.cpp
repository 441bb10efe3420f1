// The scanner's costs against baselines measured in the same run:
//   - the cell checksum against memcpy of the same bytes (throughput ratio; target >= 0.3);
//   - one full pass over a 1920 x 1080 x 32 memory display in which nothing changed, without
//     the pauses between rows, against one memcpy of the framebuffer (time ratio; target
//     <= 2.0); the same over a 1920 x 1080 x 24 Xvfb screen (32 bits per pixel), where the X
//     server's copy into the shared segment is part of every read;
//   - bytes sent for the first pass over a reference desktop in each compression mode against
//     zlib level 9 of the reduced framebuffer as one block.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/display_registry.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/synch.h"
#include "platform/kernel/tick.h"
#include "reference_desktop.h"
#include "session/byte_queue.h"
#include "session/cb_block.h"
#include "suite/fvses32/session_core.h"
#include "videoscan/cell_checksum.h"
#include "videoscan/crc16_arc.h"
#include "videoscan/palettes.h"
#include "videoscan/pixel_reducer.h"
#include "videoscan/video_scan.h"
#include "x_root.h"
#include "xvfb_server.h"

namespace {

// The machine may be shared: each timed ratio takes the best of several repetitions of both
// sides.
constexpr int kRepetitions = 10;

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
// A default cell of a 1920-wide screen at 32 bits per pixel: 480 x 8.
constexpr std::size_t kCellBytes = 480 * 8 * 4;

std::vector<std::uint8_t> NoiseBytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t state = 12345;
    for (auto& byte : bytes) {
        state = state * 1103515245 + 12345;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return bytes;
}

void BM_CellMemcpy(benchmark::State& state) {
    const auto source = NoiseBytes(kCellBytes);
    std::vector<std::uint8_t> destination(kCellBytes);
    for (auto _ : state) {
        std::memcpy(destination.data(), source.data(), kCellBytes);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCellBytes));
}
BENCHMARK(BM_CellMemcpy)->Repetitions(kRepetitions);

void BM_CellChecksum(benchmark::State& state) {
    const auto cell = NoiseBytes(kCellBytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(videoscan::ChecksumBytes(cell.data(), cell.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCellBytes));
}
BENCHMARK(BM_CellChecksum)->Repetitions(kRepetitions);

void BM_CellChecksumKernel(benchmark::State& state) {
    const auto kernels = videoscan::AvailableCrcKernels();
    if (static_cast<std::size_t>(state.range(0)) >= kernels.size()) {
        state.SkipWithError("kernel not available");
        return;
    }
    const videoscan::CrcKernel kernel = kernels[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(videoscan::CrcKernelName(kernel));
    const auto cell = NoiseBytes(kCellBytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            videoscan::CrcSumUpdateWith(kernel, {}, cell.data(), cell.size()).crc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCellBytes));
}
BENCHMARK(BM_CellChecksumKernel)->DenseRange(0, 4)->Repetitions(kRepetitions);

// A session whose transmit queue counts what the scanner sends.
class CountingSink final : public CByteQueueSink {
public:
    int MoveOut(unsigned char*, int count) override {
        bytes_.fetch_add(static_cast<std::size_t>(count));
        return count;
    }
    std::size_t bytes() const { return bytes_.load(); }

private:
    std::atomic<std::size_t> bytes_{0};
};

class ScanSetup {
public:
    ScanSetup() : cb_(kCBBlockSize, 0) {
        core_ = std::make_unique<CSessionCore>(&session_);
        session_.m_pCore = core_.get();
        core_->SetConnected(true);
        core_->BindTransmitSink(&sink_);
        std::memset(&host_, 0, sizeof host_);
        host_.CBBlock = cb_.data();
        host_.VideoEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        core_->GlobalProcData(reinterpret_cast<std::uintptr_t>(&host_));
    }
    ~ScanSetup() {
        core_->BindTransmitSink(nullptr);
        core_->Stop();
        CloseHandle(host_.VideoEvent);
    }
    void SetByte(std::size_t offset, BYTE value) {
        std::atomic_ref<unsigned char>(cb_[offset]).store(value, std::memory_order_relaxed);
    }
    BYTE Byte(std::size_t offset) {
        return std::atomic_ref<unsigned char>(cb_[offset]).load(std::memory_order_relaxed);
    }
    void SetWord(std::size_t offset, WORD value) {
        SetByte(offset, static_cast<BYTE>(value));
        SetByte(offset + 1, static_cast<BYTE>(value >> 8));
    }
    CFVSession* session() { return &session_; }
    HOSTDATA& host() { return host_; }
    const CountingSink& sink() const { return sink_; }

private:
    CountingSink sink_;
    CFVSession session_;
    std::unique_ptr<CSessionCore> core_;
    HOSTDATA host_;
    std::vector<unsigned char> cb_;
};

class PassProbe : public CVideoScan {
public:
    using CVideoScan::CVideoScan;
    void Pass(int firstPass) {
        for (WORD row = 0; row < m_Rows; ++row) {
            ScanCellRow(row, firstPass);
        }
        m_SeqFill = 0;  // nothing is flushed: only the scan is measured
    }
};

std::string WriteIni(const char* compression) {
    static int next = 0;
    const std::string folder =
        "/tmp/bench_videoscan_" + std::to_string(getpid()) + "_" + std::to_string(next++);
    std::filesystem::create_directories(folder);
    std::FILE* ini = std::fopen((folder + "/FARV.INI").c_str(), "w");
    std::fprintf(ini, "[Farvane]\n");
    if (compression != nullptr) {
        std::fprintf(ini, "COMPRESSION=%s\n", compression);
    }
    std::fclose(ini);
    setenv("FARVANE_WINDIR", folder.c_str(), 1);
    return folder;
}

const char* kPassDesktop = "memory:1920x1080x32#benchpass";

void BM_FramebufferMemcpy(benchmark::State& state) {
    const std::size_t bytes = static_cast<std::size_t>(kScreenWidth) * kScreenHeight * 4;
    const auto source = NoiseBytes(bytes);
    std::vector<std::uint8_t> destination(bytes);
    for (auto _ : state) {
        std::memcpy(destination.data(), source.data(), bytes);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FramebufferMemcpy)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

// One pass in which no cell changed: every cell is read and checksummed, none is sent.
void BM_UnchangedPass(benchmark::State& state) {
    const std::string folder = WriteIni("0");
    const auto picture = benchvideo::ReferenceDesktop(kScreenWidth, kScreenHeight);
    farvane::gdi::FindMemoryDisplay(kPassDesktop)
        ->LoadRgb(0, 0, kScreenWidth, kScreenHeight, picture.data(), kScreenWidth * 3);
    SetThreadDesktop(OpenDesktopA(kPassDesktop, 0, FALSE, 0x1FF));
    ScanSetup setup;
    auto* scanner = new PassProbe(setup.session(), kPassDesktop);
    scanner->DesktopInit();
    scanner->Pass(1);
    for (auto _ : state) {
        scanner->Pass(0);
    }
    delete scanner;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_UnchangedPass)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

// The same over an X screen: the reads go through XShm.
void BM_UnchangedPassX11(benchmark::State& state) {
    if (!farvane::gdi::testing::XvfbServer::Available()) {
        state.SkipWithError("Xvfb is not installed");
        return;
    }
    farvane::gdi::testing::XvfbServer server;
    if (!server.Start(std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24")) {
        state.SkipWithError("Xvfb does not start");
        return;
    }
    {
        const auto picture = benchvideo::ReferenceDesktop(kScreenWidth, kScreenHeight);
        std::vector<unsigned> pixels(static_cast<std::size_t>(kScreenWidth) * kScreenHeight);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = static_cast<unsigned>(picture[3 * i]) << 16 | picture[3 * i + 1] << 8 |
                        picture[3 * i + 2];
        }
        scantest::XRoot(server.display()).Draw(0, 0, kScreenWidth, kScreenHeight, pixels.data());
    }
    const std::string folder = WriteIni("0");
    SetThreadDesktop(OpenDesktopA(server.display().c_str(), 0, FALSE, 0x1FF));
    ScanSetup setup;
    auto* scanner = new PassProbe(setup.session(), server.display().c_str());
    scanner->DesktopInit();
    scanner->Pass(1);
    for (auto _ : state) {
        scanner->Pass(0);
    }
    delete scanner;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_UnchangedPassX11)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

// The first pass: every cell is reduced and encoded into records (not flushed).
void BM_FirstPassEncoded(benchmark::State& state) {
    const std::string folder = WriteIni("0");
    SetThreadDesktop(OpenDesktopA(kPassDesktop, 0, FALSE, 0x1FF));
    ScanSetup setup;
    auto* scanner = new PassProbe(setup.session(), kPassDesktop);
    scanner->DesktopInit();
    for (auto _ : state) {
        scanner->Pass(1);
    }
    delete scanner;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_FirstPassEncoded)->Unit(benchmark::kMillisecond);

struct WireCase {
    const char* name;
    const char* compression;  // null: absent
    WORD capabilities;
};

// Runs the scanner's check thread over the reference desktop until its first pass has ended
// and returns the bytes it sent (without the end record).
std::size_t FirstPassBytes(const WireCase& wire) {
    static int next = 0;
    const std::string desktop = "memory:1920x1080x32#benchwire" + std::to_string(next++);
    const auto picture = benchvideo::ReferenceDesktop(kScreenWidth, kScreenHeight);
    farvane::gdi::FindMemoryDisplay(desktop)->LoadRgb(0, 0, kScreenWidth, kScreenHeight,
                                                      picture.data(), kScreenWidth * 3);
    const std::string folder = WriteIni(wire.compression);
    std::size_t bytes = 0;
    {
        ScanSetup setup;
        auto* scanner = new CVideoScan(setup.session(), desktop.c_str());
        setup.SetByte(CBItemOffset(kCBSessionStatus), kSessionStatusUp);
        setup.SetByte(CBItemOffset(kCBSessionReady), 1);
        setup.SetByte(CBItemOffset(kCBVideoState), kVideoWanted | kVideoAvailable);
        SetEvent(setup.host().VideoEvent);
        while (!(setup.Byte(CBItemOffset(kCBVideoState)) & kVideoRunning)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        setup.SetWord(CBItemOffset(kCBRemoteCapabilities), wire.capabilities);
        setup.SetWord(CBItemOffset(kCBBitmapRequest), 1);
        while (scanner->CompletedPasses() < 1) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ResetEvent(setup.host().VideoEvent);
        delete scanner;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        bytes = setup.sink().bytes() - 7;
    }
    std::filesystem::remove_all(folder);
    return bytes;
}

// zlib level 9 of the framebuffer as it travels at mode 0 (one byte per pixel).
std::size_t ZlibOfReducedFramebuffer() {
    const auto picture = benchvideo::ReferenceDesktop(kScreenWidth, kScreenHeight);
    std::vector<std::uint8_t> reduced(static_cast<std::size_t>(kScreenWidth) * kScreenHeight);
    for (std::size_t i = 0; i < reduced.size(); ++i) {
        reduced[i] =
            videowire::ThreeThreeTwo(picture[3 * i], picture[3 * i + 1], picture[3 * i + 2]);
    }
    uLongf length = compressBound(static_cast<uLong>(reduced.size()));
    std::vector<Bytef> packed(length);
    compress2(packed.data(), &length, reduced.data(), static_cast<uLong>(reduced.size()), 9);
    return length;
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
                // The name without the repetition count: "BM_CellChecksumKernel/2".
                const std::string name = run.run_name.function_name +
                                         (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
                Keep(times, name, run.GetAdjustedRealTime());
                Keep(cpuTimes, name, run.GetAdjustedCPUTime());
            }
        }
    }
    // Best (smallest) time of each benchmark over its repetitions: wall clock and CPU.
    std::map<std::string, double> times;
    std::map<std::string, double> cpuTimes;

private:
    static void Keep(std::map<std::string, double>& best, const std::string& name, double time) {
        auto [at, added] = best.emplace(name, time);
        if (!added && time < at->second) {
            at->second = time;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* top, const char* bottom, const char* what) {
        if (reporter.times.count(top) && reporter.times.count(bottom)) {
            std::printf("%s: %.2f (CPU time %.2f)\n", what,
                        reporter.times[top] / reporter.times[bottom],
                        reporter.cpuTimes[top] / reporter.cpuTimes[bottom]);
        }
    };
    std::printf("CRC kernel chosen at start: %s\n",
                videoscan::CrcKernelName(videoscan::ChosenCrcKernel()));
    ratio("BM_CellMemcpy", "BM_CellChecksum",
          "cell checksum throughput / memcpy throughput (target >= 0.3)");
    const auto kernels = videoscan::AvailableCrcKernels();
    for (std::size_t kernel = 0; kernel < kernels.size(); ++kernel) {
        const std::string name = "BM_CellChecksumKernel/" + std::to_string(kernel);
        ratio("BM_CellMemcpy", name.c_str(),
              (std::string("  CRC kernel ") + videoscan::CrcKernelName(kernels[kernel])).c_str());
    }
    ratio("BM_UnchangedPass", "BM_FramebufferMemcpy",
          "unchanged 1920x1080x32 pass / memcpy of the framebuffer (target <= 2.0)");
    ratio("BM_UnchangedPassX11", "BM_FramebufferMemcpy",
          "unchanged 1920x1080x24 Xvfb pass / memcpy of the framebuffer");
    ratio("BM_FirstPassEncoded", "BM_FramebufferMemcpy",
          "first pass with every cell encoded / memcpy of the framebuffer");

    if (benchmark::GetBenchmarkFilter().empty() || benchmark::GetBenchmarkFilter() == "all") {
        KernelSetTimeScale(20);  // the 5 ms pauses between rows do not count here
        const std::size_t zlib = ZlibOfReducedFramebuffer();
        std::printf(
            "first pass over the reference desktop, bytes sent / zlib -9 of the reduced "
            "framebuffer (%zu bytes):\n",
            zlib);
        const WireCase cases[] = {{"raw", "0", 0x0000},
                                  {"run-length", "1", 0x0010},
                                  {"implode", "2", 0x0010},
                                  {"deflate", nullptr, 0x0010},
                                  {"deflate with cache", nullptr, 0x8011}};
        for (const WireCase& wire : cases) {
            const std::size_t bytes = FirstPassBytes(wire);
            std::printf("  %-20s %9zu bytes  %.2f\n", wire.name, bytes,
                        static_cast<double>(bytes) / static_cast<double>(zlib));
        }
        KernelSetTimeScale(1);
    }
    benchmark::Shutdown();
    return 0;
}
