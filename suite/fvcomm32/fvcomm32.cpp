#include "suite/fvcomm32/fvcomm32.h"

#include <unistd.h>

#include <climits>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

namespace {

struct NameOverride {
    std::mutex lock;
    bool active = false;
    std::optional<std::string> name;  // empty optional: report failure
};

NameOverride& Override() {
    static NameOverride instance;
    return instance;
}

std::optional<std::string> CurrentName() {
    {
        NameOverride& override = Override();
        std::lock_guard guard(override.lock);
        if (override.active) {
            return override.name;
        }
    }
    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, sizeof host) != 0) {
        return std::nullopt;
    }
    host[HOST_NAME_MAX] = '\0';
    return std::string(host);
}

}  // namespace

int GetFVComputerName(char* buffer, int size) {
    if (buffer == nullptr || size < 1) {
        return 0;
    }
    buffer[0] = '\0';
    if (size < 2) {
        return 0;
    }
    std::optional<std::string> name = CurrentName();
    if (!name || name->empty()) {
        return 0;
    }
    std::size_t length = std::min<std::size_t>(name->size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, name->data(), length);
    buffer[length] = '\0';
    return 1;
}

void FVCommOverrideComputerName(const char* name) {
    NameOverride& override = Override();
    std::lock_guard guard(override.lock);
    override.active = true;
    override.name = name ? std::optional<std::string>(name) : std::nullopt;
}

void FVCommResetComputerName() {
    NameOverride& override = Override();
    std::lock_guard guard(override.lock);
    override.active = false;
    override.name.reset();
}
