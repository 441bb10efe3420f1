#include "rfb_client.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kReadTimeoutMs = 10000;

std::uint16_t Be16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] << 8 | at[1]);
}
std::uint32_t Be32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) << 24 | static_cast<std::uint32_t>(at[1]) << 16 |
           static_cast<std::uint32_t>(at[2]) << 8 | at[3];
}

}  // namespace

std::unique_ptr<RfbClient> RfbClient::Connect(int port, std::string* error) {
    std::unique_ptr<RfbClient> client(new RfbClient());
    farvane::net::NetStatus status = farvane::net::ConnectTcp(
        farvane::net::Endpoint{"127.0.0.1", static_cast<std::uint16_t>(port)}, nullptr, 5000,
        &client->socket_);
    if (!status.ok()) {
        *error = status.message;
        return nullptr;
    }
    if (!client->Handshake(error)) {
        return nullptr;
    }
    client->reader_ = std::thread([raw = client.get()] { raw->ReadUpdates(); });
    return client;
}

RfbClient::~RfbClient() {
    stop_.store(true);
    if (socket_) {
        socket_->Shutdown();
    }
    if (reader_.joinable()) {
        reader_.join();
    }
}

bool RfbClient::Read(void* buffer, std::size_t size) {
    auto* next = static_cast<std::uint8_t*>(buffer);
    while (size > 0) {
        pollfd entry{socket_->fd(), POLLIN, 0};
        if (poll(&entry, 1, kReadTimeoutMs) <= 0 || stop_.load()) {
            return false;
        }
        ssize_t got = recv(socket_->fd(), next, size, 0);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        bytes_ += static_cast<std::uint64_t>(got);
        next += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool RfbClient::Write(const void* bytes, std::size_t size) {
    const auto* next = static_cast<const std::uint8_t*>(bytes);
    while (size > 0) {
        pollfd entry{socket_->fd(), POLLOUT, 0};
        if (poll(&entry, 1, kReadTimeoutMs) <= 0) {
            return false;
        }
        ssize_t sent = send(socket_->fd(), next, size, MSG_NOSIGNAL);
        if (sent < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        next += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool RfbClient::Handshake(std::string* error) {
    char version[12];
    if (!Read(version, 12) || std::memcmp(version, "RFB 003.", 8) != 0 ||
        !Write("RFB 003.008\n", 12)) {
        *error = "no RFB server";
        return false;
    }
    std::uint8_t count = 0;
    std::uint8_t types[256];
    if (!Read(&count, 1) || count == 0 || !Read(types, count) ||
        std::memchr(types, 1, count) == nullptr) {
        *error = "the RFB server wants authentication";
        return false;
    }
    std::uint8_t none = 1;
    std::uint8_t result[4];
    std::uint8_t shared = 1;
    std::uint8_t init[24];
    if (!Write(&none, 1) || !Read(result, 4) || Be32(result) != 0 || !Write(&shared, 1) ||
        !Read(init, 24)) {
        *error = "the RFB handshake failed";
        return false;
    }
    std::vector<std::uint8_t> name(Be32(init + 20));
    if (!Read(name.data(), name.size())) {
        *error = "the RFB handshake failed";
        return false;
    }
    width_ = Be16(init);
    height_ = Be16(init + 2);
    pixels_.assign(static_cast<std::size_t>(width_) * height_, 0xFF000000);
    // 32 bits per pixel, true colour, little-endian 0x00RRGGBB; raw encoding only.
    const std::uint8_t format[20] = {0, 0,   0, 0,   32, 24, 0, 1, 0, 255,
                                     0, 255, 0, 255, 16, 8,  0, 0, 0, 0};
    const std::uint8_t encodings[8] = {2, 0, 0, 1, 0, 0, 0, 0};
    if (!Write(format, sizeof format) || !Write(encodings, sizeof encodings) ||
        !RequestUpdate(false)) {
        *error = "the RFB set-up failed";
        return false;
    }
    return true;
}

bool RfbClient::RequestUpdate(bool incremental) {
    const std::uint8_t request[10] = {3,
                                      static_cast<std::uint8_t>(incremental ? 1 : 0),
                                      0,
                                      0,
                                      0,
                                      0,
                                      static_cast<std::uint8_t>(width_ >> 8),
                                      static_cast<std::uint8_t>(width_),
                                      static_cast<std::uint8_t>(height_ >> 8),
                                      static_cast<std::uint8_t>(height_)};
    return Write(request, sizeof request);
}

void RfbClient::ReadUpdates() {
    std::vector<std::uint8_t> row;
    for (;;) {
        std::uint8_t type = 0;
        if (!Read(&type, 1)) {
            break;
        }
        if (type == 0) {
            std::uint8_t header[3];
            if (!Read(header, 3)) {
                break;
            }
            for (unsigned rect = 0, count = Be16(header + 1); rect < count; ++rect) {
                std::uint8_t head[12];
                if (!Read(head, 12) || Be32(head + 8) != 0) {
                    failure_ = "an RFB rectangle that is not raw";
                    return;
                }
                int x = Be16(head), y = Be16(head + 2), w = Be16(head + 4), h = Be16(head + 6);
                row.resize(static_cast<std::size_t>(w) * 4);
                for (int line = 0; line < h; ++line) {
                    if (!Read(row.data(), row.size())) {
                        return;
                    }
                    std::lock_guard guard(lock_);
                    for (int column = 0; column < w && x + column < width_ && y + line < height_;
                         ++column) {
                        const std::uint8_t* p = &row[static_cast<std::size_t>(column) * 4];
                        pixels_[static_cast<std::size_t>(y + line) * width_ + x + column] =
                            static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
                    }
                }
            }
            if (!RequestUpdate(true)) {
                break;
            }
        } else if (type == 1) {
            std::uint8_t head[5];
            std::vector<std::uint8_t> entries;
            if (!Read(head, 5)) {
                break;
            }
            entries.resize(static_cast<std::size_t>(Be16(head + 3)) * 6);
            if (!Read(entries.data(), entries.size())) {
                break;
            }
        } else if (type == 2) {
            continue;
        } else if (type == 3) {
            std::uint8_t head[7];
            if (!Read(head, 7)) {
                break;
            }
            std::vector<std::uint8_t> text(Be32(head + 3));
            if (!Read(text.data(), text.size())) {
                break;
            }
        } else {
            failure_ = "unknown RFB message " + std::to_string(type);
            return;
        }
    }
}
