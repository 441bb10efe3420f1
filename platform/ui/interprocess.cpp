#include "platform/ui/interprocess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <dirent.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/kernel/replace_file.h"
#include "platform/ui/internal.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

constexpr std::uint32_t kMagic = kDatagramMagic;
constexpr std::size_t kMaxRegisteredMessages = 0x4000;

using Datagram = DatagramHeader;

// Texts that arrived and wait for their message to be handled, by ticket.
struct PostedTexts {
    std::mutex mutex;
    WPARAM nextTicket = 1;
    std::vector<std::pair<WPARAM, std::string>> waiting;

    WPARAM keep(std::string text) {
        std::lock_guard lock(mutex);
        // A receiver that never takes its texts does not make the list grow without bound.
        if (waiting.size() >= 64) {
            waiting.erase(waiting.begin());
        }
        WPARAM ticket = nextTicket++;
        waiting.emplace_back(ticket, std::move(text));
        return ticket;
    }
};

PostedTexts& ThePostedTexts() {
    static auto* texts = new PostedTexts();
    return *texts;
}

struct RemoteWindow {
    int pid = 0;
    std::uint64_t handle = 0;
};

struct Mailbox {
    int socket = -1;
    std::thread receiver;
    std::atomic<bool> running{false};
    bool published = false;
    // The top-level windows as last published, for broadcasts arriving on the receiver thread.
    std::mutex snapshotMutex;
    std::vector<HWND> topLevelSnapshot;
};

Mailbox& TheMailbox() {
    static auto* mailbox = new Mailbox();
    return *mailbox;
}

HandleTable<RemoteWindow>& Remotes() {
    static auto* table = new HandleTable<RemoteWindow>(8);
    return *table;
}

bool MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0) {
        return true;
    }
    struct stat info {};
    return errno == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == getuid();
}

std::string UiFolder() {
    std::string base = RuntimeFolder();
    if (base.empty()) {
        return {};
    }
    std::string folder = base + "/ui";
    return MakeFolder(folder) ? folder : std::string();
}

std::string SocketPath(int pid) {
    return UiFolder() + "/" + std::to_string(pid) + ".sock";
}
std::string ListPath(int pid) {
    return UiFolder() + "/" + std::to_string(pid) + ".windows";
}

bool Alive(int pid) {
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

bool SendBytes(int pid, const void* bytes, std::size_t size) {
    std::string path = SocketPath(pid);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    ssize_t sent = sendto(fd, bytes, size, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&address),
                          sizeof address);
    close(fd);
    return sent == static_cast<ssize_t>(size);
}

bool SendDatagram(int pid, const Datagram& datagram) {
    return SendBytes(pid, &datagram, sizeof datagram);
}

void Deliver(const ReceivedDatagram& datagram) {
    auto target = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(datagram.target));
    WPARAM wParam = static_cast<WPARAM>(datagram.wParam);
    LPARAM lParam = static_cast<LPARAM>(datagram.lParam);
    if (datagram.hasText) {
        if (target == HWND_BROADCAST || !target) {
            return;
        }
        wParam = ThePostedTexts().keep(datagram.text);
        lParam = 0;
    }
    // Only windows of this program can be addressed; PostMessageA checks the handle.
    if (target == HWND_BROADCAST) {
        std::vector<HWND> targets;
        {
            std::lock_guard lock(TheMailbox().snapshotMutex);
            targets = TheMailbox().topLevelSnapshot;
        }
        for (HWND top : targets) {
            PostMessageA(top, datagram.message, wParam, lParam);
        }
    } else if (target) {
        PostMessageA(target, datagram.message, wParam, lParam);
    }
}

void Receive(int fd) {
    Mailbox& mailbox = TheMailbox();
    std::vector<char> buffer(sizeof(Datagram) + kMaxPostedText + 1);
    while (mailbox.running) {
        ssize_t got = recv(fd, buffer.data(), buffer.size(), 0);
        if (got < 0) {
            if (errno != EINTR && errno != EAGAIN) {
                break;
            }
            continue;
        }
        ReceivedDatagram datagram;
        if (ParseDatagram(buffer.data(), static_cast<std::size_t>(got), &datagram)) {
            Deliver(datagram);
        }
    }
}

std::vector<std::pair<int, std::string>> ListedWindows() {
    std::vector<std::pair<int, std::string>> result;
    std::string folder = UiFolder();
    DIR* dir = folder.empty() ? nullptr : opendir(folder.c_str());
    if (!dir) {
        return result;
    }
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        const std::string suffix = ".windows";
        if (name.size() <= suffix.size() ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        int pid = std::atoi(name.c_str());
        if (pid == getpid()) {
            continue;
        }
        if (!Alive(pid)) {
            unlink((folder + "/" + name).c_str());  // left by a program that ended
            continue;
        }
        std::ifstream file(folder + "/" + name);
        std::string line;
        while (std::getline(file, line)) {
            result.emplace_back(pid, line);
        }
    }
    closedir(dir);
    return result;
}

}  // namespace

std::string RuntimeFolder() {
    std::string folder;
    if (const char* explicitFolder = std::getenv("FARVANE_RUNTIME_DIR");
        explicitFolder && *explicitFolder) {
        folder = explicitFolder;
    } else if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg) {
        folder = std::string(xdg) + "/farvane";
    } else {
        folder = "/tmp/farvane-" + std::to_string(getuid());
    }
    return MakeFolder(folder) ? folder : std::string();
}

UINT RegisterWindowMessageA(LPCSTR name) {
    if (!name || !*name || std::strlen(name) > 255 || std::strchr(name, '\n')) {
        return 0;
    }
    std::string folder = UiFolder();
    if (folder.empty()) {
        return 0;
    }
    std::string path = folder + "/messages";
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return 0;
    }
    flock(fd, LOCK_EX);
    std::string contents;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
        contents.append(buffer, static_cast<std::size_t>(got));
    }
    std::string key = ToLower(name);
    std::istringstream lines(contents);
    std::string line;
    std::size_t index = 0;
    UINT result = 0;
    while (std::getline(lines, line)) {
        if (line == key) {
            result = static_cast<UINT>(0xC000 + index);
            break;
        }
        ++index;
    }
    if (!result && index < kMaxRegisteredMessages) {
        std::string entry = key + "\n";
        if (write(fd, entry.data(), entry.size()) == static_cast<ssize_t>(entry.size())) {
            result = static_cast<UINT>(0xC000 + index);
        }
    }
    flock(fd, LOCK_UN);
    close(fd);
    return result;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
    if (HWND local = FindLocalWindow(className, windowName)) {
        return local;
    }
    for (auto& [pid, line] : ListedWindows()) {
        // A line is: handle, tab, class, tab, title.
        std::size_t tab1 = line.find('\t');
        std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos) {
            continue;
        }
        std::string cls = line.substr(tab1 + 1, tab2 - tab1 - 1);
        std::string title = line.substr(tab2 + 1);
        if (className && ToLower(cls) != ToLower(className)) {
            continue;
        }
        if (windowName && title != windowName) {
            continue;
        }
        auto remote = std::make_unique<RemoteWindow>();
        remote->pid = pid;
        remote->handle = std::strtoull(line.c_str(), nullptr, 10);
        return reinterpret_cast<HWND>(Remotes().insert(std::move(remote)));
    }
    return nullptr;
}

bool IsRemoteWindow(HWND window) {
    return window && Remotes().contains(reinterpret_cast<std::uintptr_t>(window));
}

BOOL PostToRemoteWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RemoteWindow* remote = Remotes().find(reinterpret_cast<std::uintptr_t>(window));
    if (!remote || !Alive(remote->pid)) {
        return FALSE;
    }
    Datagram datagram{kMagic, message, remote->handle, wParam, static_cast<std::int64_t>(lParam)};
    return SendDatagram(remote->pid, datagram) ? TRUE : FALSE;
}

BOOL PostTextMessage(HWND window, UINT message, const std::string& text) {
    if (text.size() > kMaxPostedText) {
        return FALSE;
    }
    if (!IsRemoteWindow(window)) {
        if (!IsWindow(window)) {
            return FALSE;
        }
        return PostMessageA(window, message, ThePostedTexts().keep(text), 0);
    }
    RemoteWindow* remote = Remotes().find(reinterpret_cast<std::uintptr_t>(window));
    if (!remote || !Alive(remote->pid)) {
        return FALSE;
    }
    std::string bytes = EncodeTextDatagram(message, remote->handle, text);
    return SendBytes(remote->pid, bytes.data(), bytes.size()) ? TRUE : FALSE;
}

bool TakePostedText(WPARAM ticket, std::string* text) {
    PostedTexts& texts = ThePostedTexts();
    std::lock_guard lock(texts.mutex);
    for (auto it = texts.waiting.begin(); it != texts.waiting.end(); ++it) {
        if (it->first == ticket) {
            *text = std::move(it->second);
            texts.waiting.erase(it);
            return true;
        }
    }
    return false;
}

void PostToOtherPrograms(UINT message, WPARAM wParam, LPARAM lParam) {
    std::vector<int> done;
    for (auto& [pid, line] : ListedWindows()) {
        if (std::find(done.begin(), done.end(), pid) != done.end()) {
            continue;
        }
        done.push_back(pid);
        Datagram datagram{kMagic, message, 0xFFFF, wParam, static_cast<std::int64_t>(lParam)};
        SendDatagram(pid, datagram);
    }
}

void RepublishWindows() {
    Mailbox& mailbox = TheMailbox();
    if (!mailbox.published) {
        return;
    }
    {
        std::lock_guard lock(mailbox.snapshotMutex);
        mailbox.topLevelSnapshot = State().topLevel;
    }
    std::ostringstream list;
    for (HWND top : State().topLevel) {
        Window* w = FindWindowObject(top);
        if (!w) {
            continue;
        }
        std::string title = w->text;
        std::replace(title.begin(), title.end(), '\n', ' ');
        list << reinterpret_cast<std::uintptr_t>(top) << '\t' << w->windowClass->name << '\t'
             << title << '\n';
    }
    // Read by the other programs while they run; nothing to keep across a crash.
    const std::string text = list.str();
    ReplaceFileContent(ListPath(getpid()).c_str(), text.data(), text.size(), {0600, false});
}

BOOL AllowMessagesFromOtherPrograms() {
    Mailbox& mailbox = TheMailbox();
    if (mailbox.running) {
        return TRUE;
    }
    std::string path = SocketPath(getpid());
    if (UiFolder().empty()) {
        return FALSE;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return FALSE;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return FALSE;
    }
    unlink(path.c_str());
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return FALSE;
    }
    mailbox.socket = fd;
    mailbox.running = true;
    mailbox.published = true;
    mailbox.receiver = std::thread(Receive, fd);
    RepublishWindows();
    return TRUE;
}

void StopMessagesFromOtherPrograms() {
    Mailbox& mailbox = TheMailbox();
    if (!mailbox.running) {
        return;
    }
    mailbox.running = false;
    shutdown(mailbox.socket, SHUT_RDWR);
    Datagram wake{};
    SendDatagram(getpid(), wake);
    if (mailbox.receiver.joinable()) {
        mailbox.receiver.join();
    }
    close(mailbox.socket);
    mailbox.socket = -1;
    mailbox.published = false;
    unlink(SocketPath(getpid()).c_str());
    unlink(ListPath(getpid()).c_str());
}

}  // namespace farvane::ui
