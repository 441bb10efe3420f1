#include "suite/fvses32/viewer_link.h"

#include <sys/socket.h>

#include <vector>

#include "platform/net/known_hosts.h"
#include "platform/net/state_dir.h"
#include "session/gateway_call.h"

namespace farvane::viewer {

using net::NetCode;
using net::NetStatus;
using net::TlsStream;

namespace {

constexpr int kSendTimeoutMs = 10000;

}  // namespace

NetStatus ViewerLink::Call(const net::Endpoint& host, const std::string& gatewayName,
                           const net::WakeUp* cancel, int timeoutMs, int receiveBuffer,
                           videodecode::DecoderOptions decoding,
                           std::unique_ptr<ViewerLink>* link) {
    std::unique_ptr<net::TcpSocket> socket;
    if (NetStatus status = net::ConnectTcp(host, cancel, timeoutMs, &socket); !status.ok()) {
        return status;
    }
    if (!gatewayName.empty()) {
        if (NetStatus status = AskGatewayFor(*socket, gatewayName, cancel, timeoutMs);
            !status.ok()) {
            return status;
        }
    }
    if (receiveBuffer > 0) {
        setsockopt(socket->fd(), SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    NetStatus status = Over(std::move(socket), cancel, timeoutMs, decoding, link);
    if (!status.ok() && status.code != NetCode::kCancelled) {
        status.message = "no TLS with " + host.ToString() + ": " + status.message;
    }
    return status;
}

NetStatus ViewerLink::Over(std::unique_ptr<net::TcpSocket> socket, const net::WakeUp* cancel,
                           int timeoutMs, videodecode::DecoderOptions decoding,
                           std::unique_ptr<ViewerLink>* link) {
    std::unique_ptr<TlsStream> stream;
    if (NetStatus status = TlsStream::Connect(std::move(socket), cancel, timeoutMs, &stream);
        !status.ok()) {
        return status;
    }
    link->reset(new ViewerLink(std::move(stream), decoding));
    return NetStatus::Ok();
}

ViewerStep ViewerLink::CheckHostKey(const HostKeyCheck& check, std::string* error,
                                    std::string* pinnedIn) {
    std::string file = check.knownHostsFile;
    if (file.empty()) {
        std::string folder;
        if (NetStatus status = net::UserStateDirectory(&folder); !status.ok()) {
            *error = status.message;
            return ViewerStep::kFailed;
        }
        file = folder + "/" + net::kKnownHostsFileName;
    }
    const std::string& offered = Fingerprint();
    net::HostTrust trust;
    std::string pinned;
    if (NetStatus status = net::CheckKnownHost(file, check.hostName, offered, &trust, &pinned);
        !status.ok()) {
        *error = status.message;
        return ViewerStep::kFailed;
    }
    if (trust == net::HostTrust::kKnown) {
        return ViewerStep::kOk;
    }
    if (trust == net::HostTrust::kChanged) {
        *error = net::ChangedHostMessage(file, check.hostName, pinned, offered);
        return ViewerStep::kRefused;
    }
    if (!check.acceptUnknown || !check.acceptUnknown(offered)) {
        *error = "the host " + check.hostName + " is not known (its key is " + offered + ")";
        return ViewerStep::kRefused;
    }
    if (NetStatus status = net::PinKnownHost(file, check.hostName, offered); !status.ok()) {
        *error = status.message;
        return ViewerStep::kFailed;
    }
    *pinnedIn = file;
    return ViewerStep::kOk;
}

ViewerStep ViewerLink::Admit(const ViewerHello& hello, const std::string& password,
                             const net::WakeUp* cancel, int timeoutMs, std::string* error) {
    ViewerMessage greeting;
    greeting.type = ViewerMessageType::kHello;
    greeting.hello = hello;
    ViewerMessage secret;
    secret.type = ViewerMessageType::kPassword;
    secret.text = password;
    if (!Send(greeting, error) || !Send(secret, error)) {
        return ViewerStep::kFailed;
    }
    std::vector<std::uint8_t> bytes(kAdmissionAnswerSize);
    std::size_t have = 0;
    while (have < bytes.size()) {
        std::size_t got = 0;
        NetStatus status =
            stream_->Read(bytes.data() + have, bytes.size() - have, &got, cancel, timeoutMs);
        if (!status.ok()) {
            *error = "the host did not answer: " + status.message;
            return ViewerStep::kFailed;
        }
        have += got;
    }
    AdmissionAnswer answer;
    std::string reason;
    if (ParseAdmissionAnswer(bytes, &answer, &reason) != ViewerParse::kMessage) {
        *error = reason;
        return ViewerStep::kFailed;
    }
    if (!answer.admitted) {
        *error = "the host refused the password" +
                 (answer.retryAfterMs ? " (it takes the next attempt from here in " +
                                            std::to_string(answer.retryAfterMs) + " ms)"
                                      : std::string());
        return ViewerStep::kRefused;
    }
    return ViewerStep::kOk;
}

bool ViewerLink::Send(const ViewerMessage& message, std::string* error) {
    std::vector<std::uint8_t> bytes;
    AppendViewerMessage(message, &bytes);
    NetStatus status = stream_->WriteAll(bytes.data(), bytes.size(), nullptr, kSendTimeoutMs);
    if (!status.ok()) {
        *error = "cannot send to the host: " + status.message;
    }
    return status.ok();
}

bool ViewerLink::SendKey(std::uint32_t keysym, bool down, std::string* error) {
    ViewerMessage message;
    message.type = ViewerMessageType::kKey;
    message.key = ViewerKey{keysym, down};
    return Send(message, error);
}

bool ViewerLink::SendPointer(const ViewerPointer& pointer, std::string* error) {
    ViewerMessage message;
    message.type = ViewerMessageType::kPointer;
    message.pointer = pointer;
    return Send(message, error);
}

bool ViewerLink::RequestBitmap(std::string* error) {
    ViewerMessage message;
    message.type = ViewerMessageType::kBitmapRequest;
    message.bitmapRequest = kBitmapRequestWord;
    return Send(message, error);
}

NetStatus ViewerLink::Receive(std::span<std::uint8_t> buffer, std::size_t* got,
                              const net::WakeUp* cancel, int timeoutMs, std::mutex* decoding) {
    *got = 0;
    NetStatus status = stream_->Read(buffer.data(), buffer.size(), got, cancel, timeoutMs);
    if (!status.ok()) {
        return status;
    }
    std::unique_lock<std::mutex> hold;
    if (decoding) {
        hold = std::unique_lock(*decoding);
    }
    videodecode::PushResult pushed = decoder_.push(buffer.first(*got));
    if (!pushed.ok()) {
        return NetStatus{NetCode::kIoFailed,
                         "the host's video stream is broken: " + pushed.error->message};
    }
    return status;
}

void ViewerLink::Close() {
    ViewerMessage bye;
    bye.type = ViewerMessageType::kBye;
    std::string ignored;
    if (!stream_->IsShutDown()) {
        Send(bye, &ignored);
    }
    stream_->Close();
}

std::uint32_t KeysymForCharacter(unsigned char character) {
    switch (character) {
        case '\n':
        case '\r':
            return 0xFF0D;  // Return
        case '\t':
            return 0xFF09;  // Tab
        case '\b':
            return 0xFF08;  // BackSpace
        default:
            return character;
    }
}

}  // namespace farvane::viewer
