// Cost of reading one screen cell the way the video scanner does (BitBlt into a memory DC,
// then GetBitmapBits), against copying the same bytes twice with memcpy; and X11 reads
// through XShm against XGetImage on an Xvfb server started here.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/display_registry.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/x11_display.h"
#include "xvfb_server.h"

namespace {

using namespace farvane::gdi;

constexpr int kCellWidth = 256;
constexpr int kCellHeight = 8;
constexpr std::size_t kCellBytes = kCellWidth * kCellHeight * 4;

void BM_MemcpyBaseline(benchmark::State& state) {
    std::vector<std::uint8_t> screen(kCellBytes * 4, 0x5A);
    std::vector<std::uint8_t> bitmap(kCellBytes);
    std::vector<std::uint8_t> buffer(kCellBytes);
    for (auto _ : state) {
        std::memcpy(bitmap.data(), screen.data(), kCellBytes);  // the BitBlt
        std::memcpy(buffer.data(), bitmap.data(), kCellBytes);  // the GetBitmapBits
        benchmark::DoNotOptimize(buffer.data());
    }
}

void BM_MemoryDisplayCell(benchmark::State& state) {
    const char* name = "memory:1024x768x32#bench";
    FindMemoryDisplay(name)->FillRect(0, 0, 1024, 768, RGB(1, 2, 3));
    SetThreadDesktop(OpenDesktopA(name, 0, FALSE, 0x1FF));
    HDC screen = GetDC(GetDesktopWindow());
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP cell = CreateBitmap(kCellWidth, kCellHeight, 1, 32, nullptr);
    SelectObject(memory, cell);
    std::vector<std::uint8_t> buffer(kCellBytes);
    int column = 0;
    for (auto _ : state) {
        BitBlt(memory, 0, 0, kCellWidth, kCellHeight, screen, column * kCellWidth, 8, SRCCOPY);
        GetBitmapBits(cell, static_cast<LONG>(buffer.size()), buffer.data());
        benchmark::DoNotOptimize(buffer.data());
        column = (column + 1) % 4;
    }
}

farvane::gdi::testing::XvfbServer* gServer = nullptr;

void ReadX11Cells(benchmark::State& state, bool shm) {
    if (!gServer) {
        state.SkipWithError("no Xvfb");
        return;
    }
    auto device = X11Display::Open(gServer->display(), X11Display::Options{shm});
    if (!device) {
        state.SkipWithError(("cannot open " + gServer->display()).c_str());
        return;
    }
    std::vector<std::uint8_t> bits(kCellBytes);
    const ColourTable none;
    PixelView view{bits.data(), kCellWidth * 4, kCellWidth, kCellHeight, PixelFormat::ForDepth(32),
                   &none};
    for (auto _ : state) {
        device->ReadRect({0, 8, 0, 0, kCellWidth, kCellHeight}, view, MonoColours{});
        benchmark::DoNotOptimize(bits.data());
    }
}

void BM_X11CellXGetImage(benchmark::State& state) {
    ReadX11Cells(state, false);
}
void BM_X11CellXShm(benchmark::State& state) {
    ReadX11Cells(state, true);
}

BENCHMARK(BM_MemcpyBaseline);
BENCHMARK(BM_MemoryDisplayCell);
BENCHMARK(BM_X11CellXGetImage);
BENCHMARK(BM_X11CellXShm);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    farvane::gdi::testing::XvfbServer server;
    if (farvane::gdi::testing::XvfbServer::Available() && server.Start("1024x768x24")) {
        gServer = &server;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* ours, const char* base, const char* what) {
        if (reporter.times.count(ours) && reporter.times.count(base)) {
            std::printf("%s: %.2f\n", what, reporter.times[ours] / reporter.times[base]);
        }
    };
    ratio("BM_MemoryDisplayCell", "BM_MemcpyBaseline",
          "memory display cell read / two memcpy of the cell (time ratio)");
    ratio("BM_X11CellXShm", "BM_X11CellXGetImage",
          "X11 cell read with XShm / with XGetImage (time ratio)");
    benchmark::Shutdown();
    return 0;
}
