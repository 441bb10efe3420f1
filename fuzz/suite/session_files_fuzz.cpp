// Feeds any bytes to the readers of the viewer managers' session files (as a callhost file and
// as an OnlSvc file) and checks what they promise: a file that reads names a host to reach,
// and one that does not says which file was wrong.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "suite/fvses32/session_files.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const std::string& SessionFilePath() {
    static const std::string path = [] {
        char pattern[] = "/tmp/session-files-fuzz-XXXXXX";
        int fd = mkstemp(pattern);
        if (fd >= 0) {
            close(fd);
        }
        std::atexit([] { unlink(SessionFilePath().c_str()); });
        return std::string(pattern);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = SessionFilePath();
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    std::string error;
    farvane::viewer::CallhostFile callhost;
    if (farvane::viewer::ReadCallhostFile(path, &callhost, &error)) {
        Check(error.empty() && !callhost.host.host.empty() && callhost.host.port != 0);
        Check(callhost.settings.passwordFile.empty() || callhost.settings.passwordFile[0] == '/');
    } else {
        Check(error.rfind(path, 0) == 0);
    }
    error.clear();
    farvane::viewer::OnlineServiceFile online;
    if (farvane::viewer::ReadOnlineServiceFile(path, &online, &error)) {
        Check(error.empty() && !online.listen.host.empty());
    } else {
        Check(error.rfind(path, 0) == 0);
    }
    return 0;
}
