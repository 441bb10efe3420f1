// fvhost against x11vnc on one Xvfb screen, side by side in the same run: the time from an X
// request to the change showing in each viewer's picture (median and 95th percentile) and the
// bytes each viewer received, for three workloads (squares drawn on the root, typing into an
// xterm whose shell answers line by line, moving that xterm's window), and each host's CPU
// time per second on an idle screen. Prints ratios fvhost / x11vnc.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <regex>
#include <sstream>
#include <thread>

#include "fv_client.h"
#include "program_run.h"
#include "rfb_client.h"
#include "session/video_wire.h"
#include "x_root.h"
#include "x_workload.h"
#include "xvfb_server.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kChanges = 40;
constexpr int kSquare = 24;
constexpr std::uint32_t kBackground = 0x808080;
// Colours the 3-3-2 reduction keeps as they are, so both viewers show exactly them.
constexpr std::uint32_t kColours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFFFFFF, 0x00FFFF};

// What one workload measured on each side.
struct Samples {
    std::vector<double> vncLatency;
    std::vector<double> fvLatency;
    std::uint64_t vncBytes = 0;
    std::uint64_t fvBytes = 0;
    int changes = 0;
};

struct Rig {
    std::string folder;
    farvane::gdi::testing::XvfbServer server;
    std::unique_ptr<scantest::XRoot> root;
    std::unique_ptr<XWorkload> hands;
    std::unique_ptr<tooltest::ProgramRun> vnc;
    std::unique_ptr<tooltest::ProgramRun> fv;
    std::unique_ptr<tooltest::ProgramRun> xterm;
    unsigned long xtermWindow = 0;
    std::unique_ptr<RfbClient> vncClient;
    std::unique_ptr<FvClient> fvClient;
    Samples squares;
    Samples typing;
    Samples moving;
};

constexpr int kTermX = 40;
constexpr int kTermY = 40;
constexpr int kSquaresTop = 420;
// The xterm's shell echoes each key, and answers each line with lines of its own.
constexpr const char* kTyped = "echo one two three\nseq 4\nls -d /usr /tmp\n";
constexpr int kMoves = 12;
constexpr auto kQuiet = 15ms;
constexpr std::size_t kWatchedPixels = 256;

Rig* gRig = nullptr;

int PortFrom(tooltest::ProgramRun& program, const std::string& pattern) {
    std::smatch match;
    const std::regex expression(pattern);
    auto until = Clock::now() + 15s;
    while (Clock::now() < until) {
        std::string output = program.Output();
        if (std::regex_search(output, match, expression)) {
            return std::stoi(match[1]);
        }
        std::this_thread::sleep_for(20ms);
    }
    std::fprintf(stderr, "no port in:\n%s\n", program.Output().c_str());
    return 0;
}

bool Shows(RemoteClient& client, int x, int y, std::uint32_t colour, Clock::time_point until) {
    while (client.Pixel(x, y) != colour) {
        if (Clock::now() > until || !client.Failure().empty()) {
            return false;
        }
        std::this_thread::sleep_for(200us);
    }
    return true;
}

// The colour the system's viewer shows for a server colour: its 3-3-2 byte's colour.
std::uint32_t AsFvShows(std::uint32_t rgb) {
    const videowire::Colour colour = videowire::ThreeThreeTwoColour(videowire::ThreeThreeTwo(
        static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
        static_cast<std::uint8_t>(rgb)));
    return static_cast<std::uint32_t>(colour.red) << 16 | colour.green << 8 | colour.blue;
}

bool ShowsAll(RemoteClient& client, const std::vector<ScreenPoint>& points, bool reduced,
              Clock::time_point until) {
    for (const ScreenPoint& point : points) {
        if (!Shows(client, point.x, point.y, reduced ? AsFvShows(point.rgb) : point.rgb, until)) {
            return false;
        }
    }
    return true;
}

// Watches both viewers until each shows the changed pixels; latencies count from `sent`.
void WatchBoth(Rig& rig, const std::vector<ScreenPoint>& points, Clock::time_point sent,
               Samples& samples) {
    const auto since = [&] {
        return std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
    };
    std::thread vncWatch([&] {
        if (ShowsAll(*rig.vncClient, points, false, sent + 10s)) {
            samples.vncLatency.push_back(since());
        }
    });
    if (ShowsAll(*rig.fvClient, points, true, sent + 10s)) {
        samples.fvLatency.push_back(since());
    }
    vncWatch.join();
    ++samples.changes;
}

// One iteration of a workload: the request, then both viewers watched until they show what it
// changed.
template <typename Request>
void MeasureRequest(Rig& rig, Samples& samples, benchmark::State& state, Request request) {
    const std::uint64_t vncBefore = rig.vncClient->Bytes();
    const std::uint64_t fvBefore = rig.fvClient->Bytes();
    const Clock::time_point sent = Clock::now();
    request();
    const std::vector<ScreenPoint> changed = rig.hands->Changes(kQuiet, 5s, kWatchedPixels);
    if (!changed.empty()) {
        WatchBoth(rig, changed, sent, samples);
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - sent).count());
    // Whatever the change still sends after both showed it belongs to it.
    rig.hands->Settle(kQuiet);
    samples.vncBytes += rig.vncClient->Bytes() - vncBefore;
    samples.fvBytes += rig.fvClient->Bytes() - fvBefore;
}

// Typing into the xterm: each key is echoed, each line answered by the shell.
void BM_TypingToViewer(benchmark::State& state) {
    Rig& rig = *gRig;
    rig.hands->MovePointer(kTermX + 100, kTermY + 60);  // the key focus follows the pointer
    rig.hands->Settle(100ms);
    std::size_t next = 0;
    const std::string typed = kTyped;
    for (auto _ : state) {
        const char key = typed[next++ % typed.size()];
        MeasureRequest(rig, rig.typing, state, [&] { rig.hands->Type(key); });
    }
}

// Moving the xterm's window to and fro over the root.
void BM_WindowMoveToViewer(benchmark::State& state) {
    Rig& rig = *gRig;
    // Out of the way: x11vnc draws the pointer into the picture its viewer gets.
    rig.hands->MovePointer(kWidth - 2, kHeight - 2);
    rig.hands->Settle(100ms);
    int move = 0;
    for (auto _ : state) {
        const int x = kTermX + (move % 2 == 0 ? 120 : 0) + 8 * (move / 2);
        const int y = kTermY + (move % 2 == 0 ? 90 : 0);
        ++move;
        MeasureRequest(rig, rig.moving, state,
                       [&] { rig.hands->MoveWindow(rig.xtermWindow, x, y); });
    }
}

bool SetUp(Rig& rig) {
    char pattern[] = "/tmp/bench-remote-XXXXXX";
    rig.folder = mkdtemp(pattern);
    std::ofstream(rig.folder + "/password") << "bench\n";
    // The host runs with the settings a fresh installation gets.
    std::filesystem::copy_file(FARVANE_FRESH_INI, rig.folder + "/FARV.INI");
    if (!rig.server.Start(std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24")) {
        std::fprintf(stderr, "bench_remote: Xvfb does not start\n");
        return false;
    }
    rig.root = std::make_unique<scantest::XRoot>(rig.server.display());
    rig.hands = std::make_unique<XWorkload>(rig.server.display());
    if (!rig.hands->ok()) {
        std::fprintf(stderr, "bench_remote: the X server lacks DAMAGE or XTEST\n");
        return false;
    }
    rig.hands->SetRootBackground(kBackground);
    rig.root->Fill(0, 0, kWidth, kHeight, kBackground);
    rig.vnc = std::make_unique<tooltest::ProgramRun>(
        "/usr/bin/x11vnc",
        std::vector<std::string>{"-display", rig.server.display(), "-localhost", "-nopw", "-shared",
                                 "-forever", "-autoport", "15900", "-quiet"});
    rig.fv = std::make_unique<tooltest::ProgramRun>(
        FVHOST_PATH,
        std::vector<std::string>{"--display", rig.server.display(), "--listen", "127.0.0.1:0",
                                 "--password-file", rig.folder + "/password", "--view-only"},
        std::map<std::string, std::string>{{"FARVANE_STATE_DIR", rig.folder + "/state"},
                                           {"FARVANE_WINDIR", rig.folder}});
    int vncPort = PortFrom(*rig.vnc, "PORT=([0-9]+)");
    int fvPort = PortFrom(*rig.fv, "listening on 127\\.0\\.0\\.1:([0-9]+)");
    std::string error;
    if (vncPort == 0 || fvPort == 0 || !(rig.vncClient = RfbClient::Connect(vncPort, &error)) ||
        !(rig.fvClient = FvClient::Connect(fvPort, "bench", 0x0010, &error))) {
        std::fprintf(stderr, "bench_remote: %s\n", error.c_str());
        return false;
    }
    auto until = Clock::now() + 20s;
    return Shows(*rig.vncClient, kWidth - 1, kHeight - 1, kBackground, until) &&
           Shows(*rig.fvClient, kWidth - 1, kHeight - 1, kBackground, until);
}

// The xterm of the typing and moving workloads: black on white (colours both viewers show
// exactly), a plain shell with a short prompt.
bool StartTerminal(Rig& rig) {
    rig.xterm = std::make_unique<tooltest::ProgramRun>(
        "/usr/bin/xterm",
        std::vector<std::string>{"-display", rig.server.display(), "-name", "benchterm",
                                 "-geometry",
                                 "60x16+" + std::to_string(kTermX) + "+" + std::to_string(kTermY),
                                 "-bg", "white", "-fg", "black", "-e", "/bin/sh"},
        std::map<std::string, std::string>{{"PS1", "$ "}, {"ENV", ""}});
    rig.xtermWindow = rig.hands->FindWindow("benchterm", 15s);
    if (rig.xtermWindow == 0) {
        std::fprintf(stderr, "bench_remote: the xterm did not appear\n");
        return false;
    }
    std::this_thread::sleep_for(500ms);  // the shell's first prompt
    return true;
}

// One change: a square of a new colour; both viewers are watched until they show it.
void BM_ChangeToViewer(benchmark::State& state) {
    Rig& rig = *gRig;
    std::mt19937 random(7);
    int index = 0;
    for (auto _ : state) {
        const int x = static_cast<int>(random() % (kWidth - kSquare));
        // Below the xterm, which would hide a square drawn on the root under it.
        const int y = kSquaresTop + static_cast<int>(random() % (kHeight - kSquaresTop - kSquare));
        const std::uint32_t colour = kColours[index++ % std::size(kColours)];
        const std::uint64_t vncBefore = rig.vncClient->Bytes();
        const std::uint64_t fvBefore = rig.fvClient->Bytes();
        const Clock::time_point drawn = Clock::now();
        rig.root->Fill(x, y, kSquare, kSquare, colour);
        WatchBoth(rig, {{x + kSquare / 2, y + kSquare / 2, colour}}, drawn, rig.squares);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - drawn).count());
        // Back to the background, seen by both, so the next change starts from rest.
        rig.root->Fill(x, y, kSquare, kSquare, kBackground);
        Shows(*rig.fvClient, x + kSquare / 2, y + kSquare / 2, kBackground, Clock::now() + 10s);
        Shows(*rig.vncClient, x + kSquare / 2, y + kSquare / 2, kBackground, Clock::now() + 10s);
        rig.squares.vncBytes += rig.vncClient->Bytes() - vncBefore;
        rig.squares.fvBytes += rig.fvClient->Bytes() - fvBefore;
    }
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

// CPU seconds all threads of a process have run, from the scheduler's nanosecond counts
// (the clock ticks of /proc/PID/stat are too coarse for an idle host).
double CpuSeconds(int pid) {
    double nanoseconds = 0;
    const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code error;
    for (const auto& task : fs::directory_iterator(tasks, error)) {
        std::ifstream file(task.path() / "schedstat");
        double running = 0;
        if (file >> running) {
            nanoseconds += running;
        }
    }
    return nanoseconds / 1e9;
}

void Report(const char* name, const Samples& samples) {
    std::printf("\n%s: %d changes, %zu seen by fvhost's viewer, %zu by x11vnc's\n", name,
                samples.changes, samples.fvLatency.size(), samples.vncLatency.size());
    const double fvMedian = Percentile(samples.fvLatency, 0.5);
    const double vncMedian = Percentile(samples.vncLatency, 0.5);
    const double fv95 = Percentile(samples.fvLatency, 0.95);
    const double vnc95 = Percentile(samples.vncLatency, 0.95);
    std::printf("  latency median: fvhost %.1f ms, x11vnc %.1f ms, ratio %.2f (target <= 1.0)\n",
                fvMedian, vncMedian, vncMedian > 0 ? fvMedian / vncMedian : 0);
    std::printf("  latency 95th percentile: fvhost %.1f ms, x11vnc %.1f ms, ratio %.2f\n", fv95,
                vnc95, vnc95 > 0 ? fv95 / vnc95 : 0);
    const double fvBytes = static_cast<double>(samples.fvBytes);
    const double vncBytes = static_cast<double>(samples.vncBytes);
    std::printf("  bytes: fvhost %.0f, x11vnc %.0f (raw encoding), ratio %.3f\n", fvBytes, vncBytes,
                vncBytes > 0 ? fvBytes / vncBytes : 0);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!fs::exists("/usr/bin/x11vnc") || !fs::exists("/usr/bin/xterm") ||
        !farvane::gdi::testing::XvfbServer::Available()) {
        std::fprintf(stderr, "bench_remote: needs x11vnc, xterm and Xvfb\n");
        return 1;
    }
    Rig rig;
    gRig = &rig;
    if (!SetUp(rig) || !StartTerminal(rig)) {
        return 1;
    }
    benchmark::RegisterBenchmark("Squares/both", BM_ChangeToViewer)
        ->Iterations(kChanges)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Typing/both", BM_TypingToViewer)
        ->Iterations(static_cast<benchmark::IterationCount>(std::string(kTyped).size()))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("WindowMove/both", BM_WindowMoveToViewer)
        ->Iterations(kMoves)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();

    // Idle: nothing changes for a few seconds.
    std::this_thread::sleep_for(1s);
    const int vncPid = rig.vnc->Pid();
    const int fvPid = rig.fv->Pid();
    const double vncCpu0 = CpuSeconds(vncPid);
    const double fvCpu0 = CpuSeconds(fvPid);
    std::this_thread::sleep_for(4s);
    const double vncCpu = (CpuSeconds(vncPid) - vncCpu0) / 4;
    const double fvCpu = (CpuSeconds(fvPid) - fvCpu0) / 4;

    Report("squares drawn on the root", rig.squares);
    Report("typing into an xterm", rig.typing);
    Report("moving a window", rig.moving);
    Samples all;
    for (const Samples* part : {&rig.squares, &rig.typing, &rig.moving}) {
        all.fvLatency.insert(all.fvLatency.end(), part->fvLatency.begin(), part->fvLatency.end());
        all.vncLatency.insert(all.vncLatency.end(), part->vncLatency.begin(),
                              part->vncLatency.end());
        all.fvBytes += part->fvBytes;
        all.vncBytes += part->vncBytes;
        all.changes += part->changes;
    }
    Report("all workloads", all);
    std::printf("\nidle CPU: fvhost %.5f s/s, x11vnc %.5f s/s, ratio %.2f (target <= 1.0)\n", fvCpu,
                vncCpu, vncCpu > 0 ? fvCpu / vncCpu : 0);
    rig.fvClient.reset();
    rig.vncClient.reset();
    rig.xterm.reset();
    rig.fv.reset();
    rig.vnc.reset();
    fs::remove_all(rig.folder);
    return 0;
}
