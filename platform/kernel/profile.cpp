#include "platform/kernel/profile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/kernel/ini_document.h"
#include "platform/kernel/make_folders.h"
#include "platform/kernel/replace_file.h"
#include "platform/kernel/synch.h"

using farvane::kernel::IniDocument;

namespace {

// Files larger than this are not profiles; they read as empty and are never rewritten.
constexpr off_t kLargestProfile = 16 * 1024 * 1024;

std::mutex& ProfileLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

std::string WindowsDirectory() {
    if (const char* windir = std::getenv("FARVANE_WINDIR"); windir != nullptr && *windir) {
        return windir;
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config) {
        return std::string(config) + "/farvane";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* user = getpwuid(geteuid());
        home = user != nullptr ? user->pw_dir : "/tmp";
    }
    return std::string(home) + "/.config/farvane";
}

bool IsBareName(const std::string& name) {
    return name.find_first_of("/\\") == std::string::npos;
}

bool ReadFile(const std::string& path, std::string* contents);

// Where an installation keeps the settings files that a user starts with: $FARVANE_DATADIR,
// else the folder `cmake --install` put them in.
std::string InstalledSettingsDirectory() {
    if (const char* data = std::getenv("FARVANE_DATADIR"); data != nullptr && *data) {
        return data;
    }
    return FARVANE_INSTALLED_SETTINGS_DIR;
}

// A user's Windows directory starts empty; the first time a settings file is used there, the
// installation's copy of it (the tuned "FARV.INI") is copied in, so that later writes keep
// its keys. A Windows directory chosen with $FARVANE_WINDIR is left as it is.
void CopyInstalledSettings(const std::string& name, const std::string& path) {
    const char* windir = std::getenv("FARVANE_WINDIR");
    struct stat status {};
    if ((windir != nullptr && *windir) || stat(path.c_str(), &status) == 0 || errno != ENOENT) {
        return;
    }
    std::string contents;
    const std::string installed = InstalledSettingsDirectory() + "/" + name;
    if (stat(installed.c_str(), &status) != 0 || !ReadFile(installed, &contents) ||
        contents.empty()) {
        return;
    }
    if (MakeFolders(path.substr(0, path.rfind('/')))) {
        ReplaceFileContent(path.c_str(), contents.data(), contents.size());
    }
}

std::string ProfilePath(LPCSTR fileName) {
    const std::string name = fileName != nullptr ? fileName : "";
    if (name.empty() || !IsBareName(name)) {
        return name;
    }
    const std::string path = WindowsDirectory() + "/" + name;
    CopyInstalledSettings(name, path);
    return path;
}

// The file's contents; false (with *contents empty) when it cannot be read as a profile.
bool ReadFile(const std::string& path, std::string* contents) {
    contents->clear();
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return errno == ENOENT;
    }
    struct stat status {};
    bool ok = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
              status.st_size <= kLargestProfile;
    char chunk[65536];
    while (ok) {
        const ssize_t count = read(descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0 || static_cast<off_t>(contents->size()) > kLargestProfile) {
            ok = count == 0;
            break;
        }
        contents->append(chunk, static_cast<std::size_t>(count));
    }
    close(descriptor);
    if (!ok) {
        contents->clear();
    }
    return ok;
}

IniDocument LoadDocument(LPCSTR fileName) {
    std::string contents;
    const std::string path = ProfilePath(fileName);
    if (!path.empty()) {
        ReadFile(path, &contents);
    }
    return IniDocument::Parse(contents);
}

// The path to rewrite: a link is followed, so that the link itself stays.
std::string WritablePath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

bool HasLineBreak(LPCSTR text) {
    return text != nullptr && std::strpbrk(text, "\r\n") != nullptr;
}

// Copies `list` as NUL-terminated strings with a final NUL, cut to fit.
DWORD CopyList(const std::vector<std::string>& list, LPSTR buffer, DWORD size) {
    if (size < 2) {
        if (size == 1) {
            buffer[0] = '\0';
        }
        return 0;
    }
    DWORD used = 0;
    for (const std::string& name : list) {
        // Leave room for this string's NUL and the list's final NUL.
        if (used + name.size() + 2 > size) {
            const DWORD room = size - 2 - used;
            std::memcpy(buffer + used, name.data(), room);
            buffer[size - 2] = '\0';
            buffer[size - 1] = '\0';
            return size - 2;
        }
        std::memcpy(buffer + used, name.data(), name.size());
        used += static_cast<DWORD>(name.size());
        buffer[used++] = '\0';
    }
    buffer[used] = '\0';
    if (used == 0) {
        buffer[1] = '\0';
    }
    return used;
}

DWORD CopyString(const std::string& text, LPSTR buffer, DWORD size) {
    const DWORD count = static_cast<DWORD>(std::min<std::size_t>(text.size(), size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return count;
}

UINT ParseInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i++] == '-';
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    UINT value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            break;
        }
        if (digit >= base) {
            break;
        }
        value = value * base + digit;
    }
    return negative ? 0u - value : value;
}

constexpr const char* kSystemProfile = "WIN.INI";

}  // namespace

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName) {
    if (section == nullptr || key == nullptr) {
        return static_cast<UINT>(defaultValue);
    }
    std::lock_guard<std::mutex> lock(ProfileLock());
    const auto value = LoadDocument(fileName).Value(section, key);
    if (!value || value->empty()) {
        return static_cast<UINT>(defaultValue);
    }
    return ParseInteger(*value);
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName) {
    if (buffer == nullptr || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard<std::mutex> lock(ProfileLock());
    const IniDocument document = LoadDocument(fileName);
    if (section == nullptr) {
        return CopyList(document.SectionNames(), buffer, size);
    }
    if (key == nullptr) {
        return CopyList(document.KeyNames(section), buffer, size);
    }
    if (const auto value = document.Value(section, key)) {
        return CopyString(*value, buffer, size);
    }
    // Like Win32, the default loses its trailing blanks.
    std::string fallback = defaultValue != nullptr ? defaultValue : "";
    while (!fallback.empty() && fallback.back() == ' ') {
        fallback.pop_back();
    }
    return CopyString(fallback, buffer, size);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
    const std::string path = ProfilePath(fileName);
    if (section == nullptr || path.empty() || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || std::strchr(section, ']') != nullptr ||
        (key != nullptr && std::strchr(key, '=') != nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(ProfileLock());
    const std::string target = WritablePath(path);
    std::string contents;
    if (!ReadFile(target, &contents)) {
        // Not a file we may rewrite (a folder, a device, too large, unreadable).
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    IniDocument document = IniDocument::Parse(contents);
    if (key == nullptr) {
        document.DeleteSection(section);
    } else if (value == nullptr) {
        document.DeleteKey(section, key);
    } else {
        document.SetValue(section, key, value);
    }
    if (IsBareName(fileName)) {
        MakeFolders(WindowsDirectory());
    }
    const std::string text = document.Serialize();
    if (!ReplaceFileContent(target.c_str(), text.data(), text.size())) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

UINT GetProfileIntA(LPCSTR section, LPCSTR key, int defaultValue) {
    return GetPrivateProfileIntA(section, key, defaultValue, kSystemProfile);
}

DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size) {
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, kSystemProfile);
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    const std::string directory = WindowsDirectory();
    if (buffer == nullptr || directory.size() + 1 > size) {
        return static_cast<UINT>(directory.size() + 1);
    }
    std::memcpy(buffer, directory.c_str(), directory.size() + 1);
    return static_cast<UINT>(directory.size());
}
