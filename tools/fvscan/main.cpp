// fvscan: runs the video scanner on a display and records the stream it transmits.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "options.h"
#include "platform/kernel/replace_file.h"
#include "scan_run.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitBadArguments = 2;

// Writes beside the target and renames over it, so that a failed write never leaves a partial
// file where a good one was.
bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         std::string& error) {
    if (!ReplaceFileContent(path.c_str(), bytes.data(), bytes.size(), {0666})) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::optional<fvscan::Options> options = fvscan::ParseOptions(arguments, error);
    if (!options) {
        std::fprintf(stderr, "fvscan: %s\n\n%s", error.c_str(), fvscan::kUsage);
        return kExitBadArguments;
    }
    if (options->help) {
        std::fputs(fvscan::kUsage, stdout);
        return 0;
    }
    const fvscan::RunResult result = fvscan::RunScanner(*options);
    if (!result.ok) {
        std::fprintf(stderr, "fvscan: %s\n", result.error.c_str());
        return kExitFailed;
    }
    if (!WriteFileAtomically(options->out, result.stream, error)) {
        std::fprintf(stderr, "fvscan: %s\n", error.c_str());
        return kExitFailed;
    }
    std::printf("fvscan: %lu passes, %zu bytes written to %s\n", result.passes,
                result.stream.size(), options->out.c_str());
    return 0;
}
