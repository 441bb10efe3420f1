// The system's own viewer for the benchmark: TLS, hello and password, the bitmap request, and
// the video stream decoded onto a picture.
#pragma once

#include <memory>
#include <string>

#include "platform/net/tls_stream.h"
#include "remote_client.h"
#include "videodecode/stream_decoder.h"

class FvClient final : public RemoteClient {
public:
    static std::unique_ptr<FvClient> Connect(int port, const std::string& password,
                                             std::uint16_t capabilities, std::string* error);
    ~FvClient() override;

private:
    explicit FvClient(std::uint16_t capabilities)
        : decoder_(videodecode::DecoderOptions{capabilities}) {}
    void ReadStream();

    std::unique_ptr<farvane::net::TlsStream> stream_;
    videodecode::StreamDecoder decoder_;
};
