// fvview: a headless viewer for scripts and tests.
#include <cstdio>
#include <string>
#include <vector>

#include "options.h"
#include "viewer_run.h"

int main(int argc, char** argv) {
    std::string error;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::optional<fvview::Options> options = fvview::ParseOptions(arguments, error);
    if (!options) {
        std::fprintf(stderr, "fvview: %s\n\n%s", error.c_str(), fvview::kUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(fvview::kUsage, stdout);
        return 0;
    }
    fvview::RunStats stats;
    int result = fvview::RunViewer(*options, &stats, &error);
    if (options->stats) {
        std::printf(
            "bytes %llu\nvideo frames %llu\npalette frames %llu\npasses %u\nadmitted after "
            "%.1f ms\nfirst frame after %.1f ms\nfirst pass after %.1f ms\nlargest gap "
            "between frames %.1f ms\n",
            static_cast<unsigned long long>(stats.bytes),
            static_cast<unsigned long long>(stats.videoFrames),
            static_cast<unsigned long long>(stats.paletteFrames), stats.passes, stats.admittedMs,
            stats.firstFrameMs, stats.firstPassMs, stats.largestGapMs);
    }
    if (result != 0) {
        std::fprintf(stderr, "fvview: %s\n", error.c_str());
    }
    return result;
}
