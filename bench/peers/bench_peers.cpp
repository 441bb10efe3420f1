// Bytes on the wire against the best VNC servers: the same real X desktop (Xvfb, a solid root,
// two terminals full of text, xlogo) watched at once by our scanner and by x11vnc and
// x0vncserver, whose bytes a small viewer of our own counts while asking for ZRLE at 3-3-2
// colour. Two measures, each a ratio ours / best peer:
//   - the first whole picture (target <= 1.5, moonshot 1.0);
//   - a typing session: lines appear one by one in a terminal (target <= 1.0).
// Our scanner reads the FARV.INI that a fresh installation gets. FARVANE_PEERS_CELL=WxH tries
// another cell geometry, FARVANE_PEERS_CAP=WORD another capability word of the viewer,
// FARVANE_PEERS_LINE_MS=N another pause between typed lines (1000 ms),
// FARVANE_PEERS_SCREEN=WxH another screen size (1280x800), and
// FARVANE_PEERS_DUMP=FILE writes the bytes our scanner sent to FILE.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "peer_run.h"
#include "stream_breakdown.h"

namespace {

const peers::PeerRun& Run() {
    static const peers::PeerRun run = [] {
        peers::PeerSettings settings;
        settings.freshIni = FARVANE_FRESH_INI;
        settings.textFiles = {FARVANE_SOURCE_DIR "/README.md",
                              FARVANE_SOURCE_DIR "/bench/peers/peer_run.cpp"};
        if (const char* cell = std::getenv("FARVANE_PEERS_CELL"); cell != nullptr) {
            settings.cellOverride = cell;
        }
        if (const char* screen = std::getenv("FARVANE_PEERS_SCREEN"); screen != nullptr) {
            int width = 0;
            int height = 0;
            if (std::sscanf(screen, "%dx%d", &width, &height) == 2 && width >= 320 &&
                height >= 240 && width <= 8192 && height <= 8192) {
                settings.width = width;
                settings.height = height;
            }
        }
        if (const char* interval = std::getenv("FARVANE_PEERS_LINE_MS"); interval != nullptr) {
            settings.lineIntervalMs = std::atoi(interval);
        }
        if (const char* cap = std::getenv("FARVANE_PEERS_CAP"); cap != nullptr) {
            settings.capabilities = static_cast<std::uint16_t>(std::strtoul(cap, nullptr, 0));
        }
        return peers::MeasurePeers(settings);
    }();
    return run;
}

using Measure = std::size_t peers::SideBytes::*;

// The best peer's bytes, or 0 when no peer ran.
std::size_t BestPeer(const peers::PeerRun& run, Measure measure) {
    std::size_t best = 0;
    for (const peers::SideBytes& peer : run.peers) {
        if (peer.ran && (best == 0 || peer.*measure < best)) {
            best = peer.*measure;
        }
    }
    return best;
}

std::string WhyNoPeer(const peers::PeerRun& run) {
    std::string why;
    for (const peers::SideBytes& peer : run.peers) {
        why += (why.empty() ? "" : "; ") + peer.name + ": " + peer.note;
    }
    return "no VNC server ran (" + why + ")";
}

void ReportBytes(benchmark::State& state, Measure measure) {
    const peers::PeerRun& run = Run();
    for (auto _ : state) {
    }
    if (!run.ran) {
        state.SkipWithError(("skipped: " + run.error).c_str());
        return;
    }
    const std::size_t best = BestPeer(run, measure);
    if (best == 0) {
        state.SkipWithError(("skipped: " + WhyNoPeer(run)).c_str());
        return;
    }
    state.counters["ours"] = static_cast<double>(run.ours.*measure);
    for (const peers::SideBytes& peer : run.peers) {
        if (peer.ran) {
            state.counters[peer.name] = static_cast<double>(peer.*measure);
        }
    }
    state.counters["ours/best"] =
        static_cast<double>(run.ours.*measure) / static_cast<double>(best);
    state.SetLabel("cells " + run.cellGeometry);
}

void BM_FirstPicture(benchmark::State& state) {
    ReportBytes(state, &peers::SideBytes::firstPicture);
}
BENCHMARK(BM_FirstPicture)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TypingSession(benchmark::State& state) {
    ReportBytes(state, &peers::SideBytes::typing);
}
BENCHMARK(BM_TypingSession)->Iterations(1)->Unit(benchmark::kMillisecond);

void PrintBreakdown(const char* what, const peers::PeerRun& run, std::size_t begin,
                    std::size_t end) {
    const peers::StreamBreakdown sums =
        peers::BreakDown(run.ourStream, run.capabilities, begin, end);
    if (!sums.decoded) {
        std::printf("%s: our stream does not decode: %s\n", what, sums.error.c_str());
        return;
    }
    std::printf(
        "%s: %zu video frames (%zu compressed) with %zu header bytes and %zu data bytes; "
        "palette frames %zu bytes\n",
        what, sums.videoFrames, sums.compressedFrames, sums.frameHeaderBytes, sums.frameDataBytes,
        sums.paletteFrameBytes);
    std::printf(
        "  unpacked: %zu bytes = %zu record-head bytes (%zu cell records, %zu cache "
        "draws, %zu others) + %zu pixel bytes\n",
        sums.rawBytes, sums.recordHeadBytes, sums.cellRecords, sums.cacheDraws, sums.otherRecords,
        sums.pixelBytes);
}

void DumpStream(const peers::PeerRun& run) {
    const char* path = std::getenv("FARVANE_PEERS_DUMP");
    if (path == nullptr) {
        return;
    }
    if (std::FILE* file = std::fopen(path, "wb"); file != nullptr) {
        std::fwrite(run.ourStream.data(), 1, run.ourStream.size(), file);
        std::fclose(file);
        std::printf("our stream (%zu bytes) written to %s\n", run.ourStream.size(), path);
    } else {
        std::printf("cannot write %s\n", path);
    }
}

void PrintSummary(const peers::PeerRun& run) {
    if (!run.ran) {
        std::printf("\nbench_peers skipped: %s\n", run.error.c_str());
        return;
    }
    std::printf("\n%-12s %14s %14s   (screen %dx%d, cells %s, %d typed lines)\n", "side",
                "first picture", "typing", run.screenWidth, run.screenHeight,
                run.cellGeometry.c_str(), run.typedLines);
    std::printf("%-12s %14zu %14zu\n", "ours", run.ours.firstPicture, run.ours.typing);
    for (const peers::SideBytes& peer : run.peers) {
        if (peer.ran) {
            std::printf("%-12s %14zu %14zu\n", peer.name.c_str(), peer.firstPicture, peer.typing);
        } else {
            std::printf("%-12s skipped: %s\n", peer.name.c_str(), peer.note.c_str());
        }
    }
    const std::size_t bestPicture = BestPeer(run, &peers::SideBytes::firstPicture);
    const std::size_t bestTyping = BestPeer(run, &peers::SideBytes::typing);
    if (bestPicture == 0 || bestTyping == 0) {
        std::printf("no ratio: %s\n", WhyNoPeer(run).c_str());
        return;
    }
    std::printf("first picture ours/best %.3f (target <= 1.5, moonshot 1.0)\n",
                static_cast<double>(run.ours.firstPicture) / static_cast<double>(bestPicture));
    std::printf("typing session ours/best %.3f (target <= 1.0)\n",
                static_cast<double>(run.ours.typing) / static_cast<double>(bestTyping));
    std::printf("our passes over the screen: %.0f ms each while typing\n", run.msPerPass);
}

void PrintOurBytes(const peers::PeerRun& run) {
    if (!run.ran) {
        return;
    }
    PrintBreakdown("our first picture", run, 0, run.ours.firstPicture);
    PrintBreakdown("our typing session", run, run.ourTypingStart,
                   run.ourTypingStart + run.ours.typing);
    DumpStream(run);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary(Run());
    PrintOurBytes(Run());
    return 0;
}
