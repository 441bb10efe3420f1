#include "rfb_counter.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace peers {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int32_t kEncodingRaw = 0;
constexpr std::int32_t kEncodingCopyRect = 1;
constexpr std::int32_t kEncodingZrle = 16;
constexpr std::int32_t kEncodingDesktopSize = -223;

long NowMs() {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
            .count());
}

std::uint16_t Be16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}
std::uint32_t Be32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}
void PutBe16(std::uint8_t* bytes, unsigned value) {
    bytes[0] = static_cast<std::uint8_t>(value >> 8);
    bytes[1] = static_cast<std::uint8_t>(value);
}

int Connect(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

}  // namespace

int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}

bool RfbCounter::Start(int port, int waitMs, std::string& error) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(waitMs);
    while ((socket_ = Connect(port)) < 0) {
        if (Clock::now() >= until) {
            error = "no VNC server answered on port " + std::to_string(port);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    timeval timeout{10, 0};
    setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (!Handshake(error)) {
        return false;
    }
    timeout = {0, 200000};  // short, so that Stop() is seen soon
    setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    bytes_ = 0;
    lastByteMs_ = NowMs();
    if (!RequestUpdate(false)) {
        error = "cannot ask for the first picture";
        return false;
    }
    reader_ = std::thread([this] { ReadLoop(); });
    return true;
}

void RfbCounter::Stop() {
    stopping_ = true;
    if (reader_.joinable()) {
        reader_.join();
    }
    if (socket_ >= 0) {
        close(socket_);
        socket_ = -1;
    }
}

long RfbCounter::IdleMs() const {
    return NowMs() - lastByteMs_.load();
}

std::string RfbCounter::FailureText() const {
    return failed_.load() ? failure_ : std::string();
}

bool RfbCounter::ReadExact(void* bytes, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(bytes);
    while (count > 0) {
        const ssize_t got = recv(socket_, out, count, 0);
        if (got > 0) {
            out += got;
            count -= static_cast<std::size_t>(got);
            bytes_ += static_cast<std::size_t>(got);
            lastByteMs_ = NowMs();
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EINTR) && !stopping_) {
            continue;
        }
        return false;
    }
    return true;
}

bool RfbCounter::Skip(std::size_t count) {
    std::uint8_t chunk[8192];
    while (count > 0) {
        const std::size_t piece = std::min(count, sizeof chunk);
        if (!ReadExact(chunk, piece)) {
            return false;
        }
        count -= piece;
    }
    return true;
}

bool RfbCounter::Send(const void* bytes, std::size_t count) {
    return send(socket_, bytes, count, MSG_NOSIGNAL) == static_cast<ssize_t>(count);
}

bool RfbCounter::RequestUpdate(bool incremental) {
    std::uint8_t request[10] = {3, static_cast<std::uint8_t>(incremental ? 1 : 0)};
    PutBe16(request + 6, static_cast<unsigned>(width_));
    PutBe16(request + 8, static_cast<unsigned>(height_));
    return Send(request, sizeof request);
}

// Protocol 3.8 (or 3.3), no authentication, shared session; then the pixel format and the one
// encoding this viewer takes.
bool RfbCounter::Handshake(std::string& error) {
    char version[12];
    if (!ReadExact(version, sizeof version) || std::memcmp(version, "RFB 003.", 8) != 0) {
        error = "not an RFB server";
        return false;
    }
    const bool old = std::memcmp(version, "RFB 003.003", 11) == 0;
    if (!Send(old ? "RFB 003.003\n" : "RFB 003.008\n", 12)) {
        error = "cannot answer the RFB version";
        return false;
    }
    if (old) {
        std::uint8_t type[4];
        if (!ReadExact(type, 4) || Be32(type) != 1) {
            error = "the VNC server wants authentication";
            return false;
        }
    } else {
        std::uint8_t count = 0;
        std::uint8_t types[255];
        if (!ReadExact(&count, 1) || count == 0 || !ReadExact(types, count) ||
            std::memchr(types, 1, count) == nullptr) {
            error = "the VNC server offers no security type None";
            return false;
        }
        const std::uint8_t none = 1;
        std::uint8_t result[4];
        if (!Send(&none, 1) || !ReadExact(result, 4) || Be32(result) != 0) {
            error = "the VNC server refused security type None";
            return false;
        }
    }
    const std::uint8_t shared = 1;
    std::uint8_t init[24];
    if (!Send(&shared, 1) || !ReadExact(init, sizeof init) || !Skip(Be32(init + 20))) {
        error = "no server greeting";
        return false;
    }
    width_ = Be16(init);
    height_ = Be16(init + 2);
    // 8 bits per pixel, true colour, red 3 bits at 0, green 3 bits at 3, blue 2 bits at 6.
    const std::uint8_t format[20] = {0, 0, 0, 0, 8, 8, 0, 1, 0, 7, 0, 7, 0, 3, 0, 3, 6};
    std::uint8_t encodings[8] = {2, 0, 0, 1, 0, 0, 0, kEncodingZrle};
    if (!Send(format, sizeof format) || !Send(encodings, sizeof encodings)) {
        error = "cannot set the pixel format";
        return false;
    }
    return true;
}

bool RfbCounter::ReadUpdate() {
    std::uint8_t head[3];
    if (!ReadExact(head, 3)) {
        return false;
    }
    const unsigned rectangles = Be16(head + 1);
    for (unsigned i = 0; i < rectangles; ++i) {
        std::uint8_t rectangle[12];
        if (!ReadExact(rectangle, sizeof rectangle)) {
            return false;
        }
        const std::uint64_t area =
            static_cast<std::uint64_t>(Be16(rectangle + 4)) * Be16(rectangle + 6);
        const auto encoding = static_cast<std::int32_t>(Be32(rectangle + 8));
        std::uint8_t length[4];
        bool ok = true;
        if (encoding == kEncodingZrle) {
            ok = ReadExact(length, 4) && Skip(Be32(length));
        } else if (encoding == kEncodingRaw) {
            ok = Skip(area);
        } else if (encoding == kEncodingCopyRect) {
            ok = Skip(4);
        } else if (encoding == kEncodingDesktopSize) {
            continue;
        } else {
            failure_ = "unexpected encoding " + std::to_string(encoding);
            return false;
        }
        if (!ok) {
            return false;
        }
        covered_ += area;
    }
    if (firstPicture_ == 0 && covered_ >= static_cast<std::uint64_t>(width_) * height_) {
        firstPicture_ = bytes_.load();
    }
    return true;
}

void RfbCounter::ReadLoop() {
    while (!stopping_) {
        std::uint8_t type = 0;
        const ssize_t got = recv(socket_, &type, 1, 0);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        bytes_ += 1;
        lastByteMs_ = NowMs();
        bool ok = true;
        std::uint8_t head[5];
        if (type == 0) {
            ok = ReadUpdate() && RequestUpdate(true);
        } else if (type == 1) {  // colour map entries
            ok = ReadExact(head, 5) && Skip(6u * Be16(head + 3));
        } else if (type == 2) {  // bell
        } else if (type == 3) {  // cut text
            ok = ReadExact(head, 3) && ReadExact(head, 4) && Skip(Be32(head));
        } else {
            failure_ = "unexpected message " + std::to_string(type);
            ok = false;
        }
        if (!ok) {
            if (!stopping_) {
                if (failure_.empty()) {
                    failure_ = "the connection broke";
                }
                failed_ = true;
            }
            return;
        }
    }
    if (!stopping_) {
        failure_ = "the VNC server closed the connection";
        failed_ = true;
    }
}

}  // namespace peers
