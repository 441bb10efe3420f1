#include "suite/fvcfgmgr/fvcfgmgr.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>

#include "suite/fvcfgmgr/options_file.h"

namespace {

// Files larger than this are not options files; they are treated as absent.
constexpr std::streamoff kMaxOptionsFileSize = 1 << 20;

struct Configuration {
    std::mutex lock;
    std::optional<std::string> directory;  // set while open
};

Configuration& Global() {
    static Configuration configuration;
    return configuration;
}

std::map<int, long long> ReadOptions(const std::string& directory) {
    std::string path = directory;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += FV_OPTIONS_FILE_NAME;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    file.seekg(0, std::ios::end);
    std::streamoff size = file.tellg();
    if (size < 0 || size > kMaxOptionsFileSize) {
        return {};
    }
    file.seekg(0);
    std::ostringstream text;
    text << file.rdbuf();
    return farvane::suite::ParseOptions(text.str());
}

bool Fits(long long value, int size) {
    if (size == 8) {
        return true;
    }
    long long bits = size * 8;
    long long low = -(1LL << (bits - 1));
    long long high = (1LL << bits) - 1;  // unsigned values of the full width are accepted too
    return value >= low && value <= high;
}

void Store(long long value, int size, void* target) {
    auto bits = static_cast<std::uint64_t>(value);
    auto* bytes = static_cast<unsigned char*>(target);
    for (int index = 0; index < size; ++index) {
        bytes[index] = static_cast<unsigned char>(bits >> (8 * index));
    }
}

}  // namespace

int FVConfigFilesInit(const char* directory, const char*) {
    if (directory == nullptr || *directory == '\0') {
        return 0;
    }
    Configuration& configuration = Global();
    std::lock_guard guard(configuration.lock);
    configuration.directory = directory;
    return 1;
}

int FVConfigFilesTerminate(int, int) {
    Configuration& configuration = Global();
    std::lock_guard guard(configuration.lock);
    bool wasOpen = configuration.directory.has_value();
    configuration.directory.reset();
    return wasOpen ? 1 : 0;
}

int FVRegGetOptionValue(int optionNumber, int size, void* value, long long defaultValue) {
    if (value == nullptr || (size != 1 && size != 2 && size != 4 && size != 8)) {
        return -1;
    }
    std::optional<std::string> directory;
    {
        Configuration& configuration = Global();
        std::lock_guard guard(configuration.lock);
        directory = configuration.directory;
    }
    if (directory) {
        std::map<int, long long> options = ReadOptions(*directory);
        auto found = options.find(optionNumber);
        if (found != options.end() && Fits(found->second, size)) {
            Store(found->second, size, value);
            return 1;
        }
    }
    Store(defaultValue, size, value);
    return 0;
}
