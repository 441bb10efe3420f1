#include "platform/kernel/runtime_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "platform/kernel/make_folders.h"

namespace {

constexpr std::size_t kLongestEscapedName = 160;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

bool IsOwnDirectory(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid();
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::uint64_t Fnv1a(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char byte : bytes) {
        hash = (hash ^ byte) * 0x100000001b3ull;
    }
    return hash;
}

bool IsPlain(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '_' || byte == '-';
}

void AppendHex(std::string& out, std::uint64_t value, int digits) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += kHex[(value >> shift) & 0xF];
    }
}

}  // namespace

std::string KernelRuntimeDirectory() {
    std::string path = Environment("FARVANE_RUNTIME_DIR");
    if (path.empty()) {
        const std::string xdg = Environment("XDG_RUNTIME_DIR");
        path = xdg.empty() ? "/tmp/farvane-" + std::to_string(geteuid()) : xdg + "/farvane";
    }
    path = WithoutTrailingSlashes(path);
    if (path.empty() || path[0] != '/' || !MakeFolders(path) || !IsOwnDirectory(path)) {
        return std::string();
    }
    return path;
}

std::string KernelEscapeName(std::string_view name) {
    std::string escaped;
    escaped.reserve(name.size());
    for (unsigned char byte : name) {
        if (IsPlain(byte)) {
            escaped += static_cast<char>(byte);
        } else {
            escaped += '%';
            AppendHex(escaped, byte, 2);
        }
    }
    if (escaped.size() > kLongestEscapedName) {
        escaped.resize(kLongestEscapedName);
        // Do not leave half of a %XX sequence before the hash.
        const std::size_t percent = escaped.rfind('%');
        if (percent != std::string::npos && percent + 3 > escaped.size()) {
            escaped.resize(percent);
        }
        escaped += '~';
        AppendHex(escaped, Fnv1a(name), 16);
    }
    return escaped;
}
