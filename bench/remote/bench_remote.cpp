// fvhost against x11vnc on one Xvfb screen, side by side in the same run: the time from an X
// drawing request to the change showing in each viewer's picture (median and 95th percentile),
// the bytes each viewer received for the same workload, and each host's CPU time per second on
// an idle screen. Prints ratios fvhost / x11vnc.
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

struct Rig {
    std::string folder;
    farvane::gdi::testing::XvfbServer server;
    std::unique_ptr<scantest::XRoot> root;
    std::unique_ptr<tooltest::ProgramRun> vnc;
    std::unique_ptr<tooltest::ProgramRun> fv;
    std::unique_ptr<RfbClient> vncClient;
    std::unique_ptr<FvClient> fvClient;
    std::vector<double> vncLatency;
    std::vector<double> fvLatency;
};

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

bool SetUp(Rig& rig) {
    char pattern[] = "/tmp/bench-remote-XXXXXX";
    rig.folder = mkdtemp(pattern);
    std::ofstream(rig.folder + "/password") << "bench\n";
    if (!rig.server.Start(std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24")) {
        std::fprintf(stderr, "bench_remote: Xvfb does not start\n");
        return false;
    }
    rig.root = std::make_unique<scantest::XRoot>(rig.server.display());
    rig.root->Fill(0, 0, kWidth, kHeight, kBackground);
    rig.vnc = std::make_unique<tooltest::ProgramRun>(
        "/usr/bin/x11vnc",
        std::vector<std::string>{"-display", rig.server.display(), "-localhost", "-nopw", "-shared",
                                 "-forever", "-autoport", "15900", "-quiet"});
    rig.fv = std::make_unique<tooltest::ProgramRun>(
        FVHOST_PATH,
        std::vector<std::string>{"--display", rig.server.display(), "--listen", "127.0.0.1:0",
                                 "--password-file", rig.folder + "/password", "--view-only"},
        std::map<std::string, std::string>{{"FARVANE_STATE_DIR", rig.folder + "/state"}});
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

// One change: a square of a new colour; both viewers are watched until they show it.
void BM_ChangeToViewer(benchmark::State& state) {
    Rig& rig = *gRig;
    std::mt19937 random(7);
    int index = 0;
    for (auto _ : state) {
        const int x = static_cast<int>(random() % (kWidth - kSquare));
        const int y = static_cast<int>(random() % (kHeight - kSquare));
        const std::uint32_t colour = kColours[index++ % std::size(kColours)];
        const Clock::time_point drawn = Clock::now();
        rig.root->Fill(x, y, kSquare, kSquare, colour);
        std::thread vncWatch([&] {
            if (Shows(*rig.vncClient, x + kSquare / 2, y + kSquare / 2, colour, drawn + 10s)) {
                rig.vncLatency.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - drawn).count());
            }
        });
        if (Shows(*rig.fvClient, x + kSquare / 2, y + kSquare / 2, colour, drawn + 10s)) {
            rig.fvLatency.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - drawn).count());
        }
        vncWatch.join();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - drawn).count());
        // Back to the background, seen by both, so the next change starts from rest.
        rig.root->Fill(x, y, kSquare, kSquare, kBackground);
        Shows(*rig.fvClient, x + kSquare / 2, y + kSquare / 2, kBackground, Clock::now() + 10s);
        Shows(*rig.vncClient, x + kSquare / 2, y + kSquare / 2, kBackground, Clock::now() + 10s);
    }
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

// User and system CPU seconds a process has used.
double CpuSeconds(int pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14 || index == 15) {
            ticks += std::stod(field);
        }
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!fs::exists("/usr/bin/x11vnc") || !farvane::gdi::testing::XvfbServer::Available()) {
        std::fprintf(stderr, "bench_remote: needs x11vnc and Xvfb\n");
        return 1;
    }
    Rig rig;
    gRig = &rig;
    if (!SetUp(rig)) {
        return 1;
    }
    const std::uint64_t vncBefore = rig.vncClient->Bytes();
    const std::uint64_t fvBefore = rig.fvClient->Bytes();
    benchmark::RegisterBenchmark("ChangeToViewer/both", BM_ChangeToViewer)
        ->Iterations(kChanges)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    const double vncBytes = static_cast<double>(rig.vncClient->Bytes() - vncBefore);
    const double fvBytes = static_cast<double>(rig.fvClient->Bytes() - fvBefore);

    // Idle: nothing changes for a few seconds.
    std::this_thread::sleep_for(1s);
    const int vncPid = rig.vnc->Pid();
    const int fvPid = rig.fv->Pid();
    const double vncCpu0 = CpuSeconds(vncPid);
    const double fvCpu0 = CpuSeconds(fvPid);
    std::this_thread::sleep_for(4s);
    const double vncCpu = (CpuSeconds(vncPid) - vncCpu0) / 4;
    const double fvCpu = (CpuSeconds(fvPid) - fvCpu0) / 4;

    std::printf("\n%zu of %d changes seen by fvhost's viewer, %zu by x11vnc's\n",
                rig.fvLatency.size(), kChanges, rig.vncLatency.size());
    const double fvMedian = Percentile(rig.fvLatency, 0.5);
    const double vncMedian = Percentile(rig.vncLatency, 0.5);
    const double fv95 = Percentile(rig.fvLatency, 0.95);
    const double vnc95 = Percentile(rig.vncLatency, 0.95);
    std::printf("latency median: fvhost %.1f ms, x11vnc %.1f ms, ratio %.2f\n", fvMedian, vncMedian,
                vncMedian > 0 ? fvMedian / vncMedian : 0);
    std::printf("latency 95th percentile: fvhost %.1f ms, x11vnc %.1f ms, ratio %.2f\n", fv95,
                vnc95, vnc95 > 0 ? fv95 / vnc95 : 0);
    std::printf("bytes for the workload: fvhost %.0f, x11vnc %.0f, ratio %.3f\n", fvBytes, vncBytes,
                vncBytes > 0 ? fvBytes / vncBytes : 0);
    std::printf("idle CPU: fvhost %.3f s/s, x11vnc %.3f s/s, ratio %.2f\n", fvCpu, vncCpu,
                vncCpu > 0 ? fvCpu / vncCpu : 0);
    rig.fvClient.reset();
    rig.vncClient.reset();
    rig.fv.reset();
    rig.vnc.reset();
    fs::remove_all(rig.folder);
    return 0;
}
