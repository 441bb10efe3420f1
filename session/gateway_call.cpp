#include "session/gateway_call.h"

#include <cstdint>
#include <vector>

#include "session/gateway_preface.h"

using farvane::net::NetCode;
using farvane::net::NetStatus;
using farvane::net::TcpSocket;
using farvane::net::WakeUp;

namespace {

NetStatus SendPreface(TcpSocket& socket, GatewayRole role, const std::string& name,
                      const WakeUp* cancel, int timeoutMs) {
    if (!IsGatewayName(name)) {
        return NetStatus{NetCode::kBadAddress,
                         "\"" + name + "\" is no host name for a gateway (1 to 63 letters, " +
                             "digits, '.', '_' or '-')"};
    }
    std::vector<std::uint8_t> preface;
    AppendGatewayPreface(GatewayPreface{role, name}, &preface);
    return farvane::net::SendAll(socket, preface.data(), preface.size(), cancel, timeoutMs);
}

// Reads one answer byte; one byte only, since what follows kPaired is TLS.
NetStatus NextAnswer(TcpSocket& socket, const WakeUp* cancel, int timeoutMs,
                     GatewayAnswer* answer) {
    std::uint8_t byte = 0;
    std::size_t got = 0;
    NetStatus status = farvane::net::Receive(socket, &byte, 1, &got, cancel, timeoutMs);
    if (!status.ok()) {
        if (status.code != NetCode::kCancelled) {
            status =
                NetStatus{NetCode::kUnreachable, "the gateway did not answer: " + status.message};
        }
        return status;
    }
    std::optional<GatewayAnswer> parsed = ParseGatewayAnswer(byte);
    if (!parsed) {
        return NetStatus{NetCode::kUnreachable,
                         "the gateway answered " + std::to_string(byte) + ", which means nothing"};
    }
    *answer = *parsed;
    return NetStatus::Ok();
}

NetStatus Unexpected(GatewayAnswer answer, const std::string& name) {
    return NetStatus{NetCode::kUnreachable, GatewayAnswerText(answer, name)};
}

}  // namespace

NetStatus RegisterAtGateway(TcpSocket& socket, const std::string& name, const WakeUp* cancel,
                            int answerTimeoutMs, const std::function<void()>& registered) {
    if (NetStatus sent = SendPreface(socket, GatewayRole::kHost, name, cancel, answerTimeoutMs);
        !sent.ok()) {
        return sent;
    }
    GatewayAnswer answer{};
    if (NetStatus status = NextAnswer(socket, cancel, answerTimeoutMs, &answer); !status.ok()) {
        return status;
    }
    if (answer != GatewayAnswer::kRegistered) {
        return Unexpected(answer, name);
    }
    if (registered) {
        registered();
    }
    if (NetStatus status = NextAnswer(socket, cancel, -1, &answer); !status.ok()) {
        return status;
    }
    return answer == GatewayAnswer::kPaired ? NetStatus::Ok() : Unexpected(answer, name);
}

NetStatus AskGatewayFor(TcpSocket& socket, const std::string& name, const WakeUp* cancel,
                        int timeoutMs) {
    if (NetStatus sent = SendPreface(socket, GatewayRole::kViewer, name, cancel, timeoutMs);
        !sent.ok()) {
        return sent;
    }
    GatewayAnswer answer{};
    if (NetStatus status = NextAnswer(socket, cancel, timeoutMs, &answer); !status.ok()) {
        return status;
    }
    return answer == GatewayAnswer::kPaired ? NetStatus::Ok() : Unexpected(answer, name);
}
