// A minimal client of the remote framebuffer protocol (version 3.8, no authentication, raw
// pixels at 32 bits), enough to watch x11vnc's picture.
#pragma once

#include <memory>
#include <string>

#include "platform/net/tcp.h"
#include "remote_client.h"

class RfbClient final : public RemoteClient {
public:
    // Connects and starts reading; null with `error` set on failure.
    static std::unique_ptr<RfbClient> Connect(int port, std::string* error);
    ~RfbClient() override;

private:
    bool Read(void* buffer, std::size_t size);
    bool Write(const void* bytes, std::size_t size);
    bool Handshake(std::string* error);
    void ReadUpdates();
    bool RequestUpdate(bool incremental);

    std::unique_ptr<farvane::net::TcpSocket> socket_;
};
