// The suite's services for its programs: strings of the resource library, the help file name
// and the program-exit notification.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/kernel/notification.h"
#include "platform/ui/resources.h"
#include "suite/fvcomm32/fvcomm32.h"

namespace {

// The help file lies beside the running program.
std::string HelpFilePath() {
    char program[PATH_MAX] = {};
    ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    std::string folder = length > 0 ? std::string(program, static_cast<std::size_t>(length)) : "";
    folder = folder.substr(0, folder.find_last_of('/') + 1);
    return folder + "FARVANE.HLP";
}

}  // namespace

int GetString(UINT id, char* buffer, int size) {
    HINSTANCE library = GetResourceInstance();
    if (!library || !buffer || size < 1) {
        return 0;
    }
    return farvane::ui::LoadStringA(library, id, buffer, size);
}

int HelpFileName(char* buffer, int size) {
    std::string path = HelpFilePath();
    if (!buffer || size < 1) {
        return static_cast<int>(path.size());
    }
    std::size_t count = std::min(path.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, path.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

int FVProgramExit(int module, int parameter) {
    char message[32];
    std::snprintf(message, sizeof message, "%d %d", module, parameter);
    return NotificationPost(kProgramExitChannel, message) == 1 ? 1 : 0;
}
