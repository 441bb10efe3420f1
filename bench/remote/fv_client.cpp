#include "fv_client.h"

#include <vector>

#include "session/viewer_wire.h"

using farvane::net::NetCode;
using farvane::net::NetStatus;

namespace {

bool Send(farvane::net::TlsStream& stream, const ViewerMessage& message) {
    std::vector<std::uint8_t> bytes;
    AppendViewerMessage(message, &bytes);
    return stream.WriteAll(bytes.data(), bytes.size(), nullptr, 5000).ok();
}

}  // namespace

std::unique_ptr<FvClient> FvClient::Connect(int port, const std::string& password,
                                            std::uint16_t capabilities, std::string* error) {
    std::unique_ptr<FvClient> client(new FvClient(capabilities));
    std::unique_ptr<farvane::net::TcpSocket> socket;
    NetStatus status = farvane::net::ConnectTcp(
        farvane::net::Endpoint{"127.0.0.1", static_cast<std::uint16_t>(port)}, nullptr, 5000,
        &socket);
    if (status.ok()) {
        status =
            farvane::net::TlsStream::Connect(std::move(socket), nullptr, 5000, &client->stream_);
    }
    if (!status.ok()) {
        *error = status.message;
        return nullptr;
    }
    ViewerMessage message;
    message.type = ViewerMessageType::kHello;
    message.hello = ViewerHello{kViewerProtocolVersion, capabilities, 0, 0};
    ViewerMessage secret;
    secret.type = ViewerMessageType::kPassword;
    secret.text = password;
    ViewerMessage request;
    request.type = ViewerMessageType::kBitmapRequest;
    request.bitmapRequest = 1;
    std::uint8_t answer[kAdmissionAnswerSize];
    std::size_t have = 0;
    if (!Send(*client->stream_, message) || !Send(*client->stream_, secret)) {
        *error = "cannot send the hello";
        return nullptr;
    }
    while (have < sizeof answer) {
        std::size_t got = 0;
        if (!client->stream_->Read(answer + have, sizeof answer - have, &got, nullptr, 10000)
                 .ok()) {
            *error = "no admission answer";
            return nullptr;
        }
        have += got;
    }
    AdmissionAnswer verdict;
    if (ParseAdmissionAnswer(answer, &verdict, error) != ViewerParse::kMessage ||
        !verdict.admitted || !Send(*client->stream_, request)) {
        *error = "not admitted";
        return nullptr;
    }
    client->reader_ = std::thread([raw = client.get()] { raw->ReadStream(); });
    return client;
}

FvClient::~FvClient() {
    stop_.store(true);
    if (stream_) {
        stream_->Shutdown();
    }
    if (reader_.joinable()) {
        reader_.join();
    }
}

void FvClient::ReadStream() {
    std::vector<std::uint8_t> buffer(64 * 1024);
    while (!stop_.load()) {
        std::size_t got = 0;
        NetStatus status = stream_->Read(buffer.data(), buffer.size(), &got, nullptr, 200);
        if (status.code == NetCode::kTimedOut) {
            continue;
        }
        if (!status.ok()) {
            break;
        }
        bytes_ += got;
        if (!decoder_.push(std::span<const std::uint8_t>(buffer.data(), got)).ok()) {
            failure_ = "the video stream did not decode";
            return;
        }
        const videodecode::Framebuffer& picture = decoder_.framebuffer();
        std::lock_guard guard(lock_);
        width_ = picture.width();
        height_ = picture.height();
        pixels_.assign(picture.pixels().begin(), picture.pixels().end());
    }
}
