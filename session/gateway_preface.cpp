#include "session/gateway_preface.h"

namespace {

bool IsNameCharacter(unsigned char character) {
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
           (character >= '0' && character <= '9') || character == '.' || character == '_' ||
           character == '-';
}

ViewerParse Malformed(std::string* reason, std::string text) {
    *reason = std::move(text);
    return ViewerParse::kMalformed;
}

}  // namespace

bool IsGatewayName(std::string_view name) {
    if (name.empty() || name.size() > kMaxGatewayNameBytes) {
        return false;
    }
    for (unsigned char character : name) {
        if (!IsNameCharacter(character)) {
            return false;
        }
    }
    return true;
}

void AppendGatewayPreface(const GatewayPreface& preface, std::vector<std::uint8_t>* out) {
    out->insert(out->end(), std::begin(kGatewayPrefaceMark), std::end(kGatewayPrefaceMark));
    out->push_back(kGatewayPrefaceVersion);
    out->push_back(static_cast<std::uint8_t>(preface.role));
    out->push_back(static_cast<std::uint8_t>(preface.name.size()));
    out->insert(out->end(), preface.name.begin(), preface.name.end());
}

std::size_t GatewayPrefaceSizeSoFar(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kGatewayPrefaceHeaderSize) {
        return kGatewayPrefaceHeaderSize;
    }
    return kGatewayPrefaceHeaderSize + bytes[4];
}

ViewerParse ParseGatewayPreface(std::span<const std::uint8_t> bytes, GatewayPreface* preface,
                                std::size_t* consumed, std::string* reason) {
    *consumed = 0;
    // Each field is judged as soon as it is there, so that a caller that sends rubbish is
    // turned away at once instead of being waited for.
    for (std::size_t at = 0; at < 2 && at < bytes.size(); ++at) {
        if (bytes[at] != kGatewayPrefaceMark[at]) {
            return Malformed(reason, "not a gateway preface");
        }
    }
    if (bytes.size() > 2 && bytes[2] != kGatewayPrefaceVersion) {
        return Malformed(reason,
                         "gateway preface version " + std::to_string(bytes[2]) + " is not known");
    }
    if (bytes.size() > 3 && bytes[3] != static_cast<std::uint8_t>(GatewayRole::kHost) &&
        bytes[3] != static_cast<std::uint8_t>(GatewayRole::kViewer)) {
        return Malformed(reason, "gateway preface role " + std::to_string(bytes[3]) +
                                     " is neither host nor viewer");
    }
    if (bytes.size() > 4 && (bytes[4] == 0 || bytes[4] > kMaxGatewayNameBytes)) {
        return Malformed(reason,
                         "a host name of " + std::to_string(bytes[4]) + " bytes (1 to 63 allowed)");
    }
    const std::size_t size = GatewayPrefaceSizeSoFar(bytes);
    for (std::size_t at = kGatewayPrefaceHeaderSize; at < bytes.size() && at < size; ++at) {
        if (!IsNameCharacter(bytes[at])) {
            return Malformed(reason,
                             "the host name holds a byte other than letters, digits, "
                             "'.', '_' and '-'");
        }
    }
    if (bytes.size() < size) {
        return ViewerParse::kNeedMore;
    }
    preface->role = static_cast<GatewayRole>(bytes[3]);
    preface->name.assign(bytes.begin() + kGatewayPrefaceHeaderSize, bytes.begin() + size);
    *consumed = size;
    return ViewerParse::kMessage;
}

std::optional<GatewayAnswer> ParseGatewayAnswer(std::uint8_t byte) {
    switch (static_cast<GatewayAnswer>(byte)) {
        case GatewayAnswer::kRegistered:
        case GatewayAnswer::kPaired:
        case GatewayAnswer::kUnknownName:
        case GatewayAnswer::kBusy:
        case GatewayAnswer::kRefused:
            return static_cast<GatewayAnswer>(byte);
    }
    return std::nullopt;
}

std::string GatewayAnswerText(GatewayAnswer answer, const std::string& name) {
    switch (answer) {
        case GatewayAnswer::kRegistered:
            return "registered at the gateway as " + name;
        case GatewayAnswer::kPaired:
            return "paired through the gateway with " + name;
        case GatewayAnswer::kUnknownName:
            return "no host named " + name + " waits at the gateway";
        case GatewayAnswer::kBusy:
            return "the gateway is busy (it relays a session already, or " + name + " is taken)";
        case GatewayAnswer::kRefused:
            return "the gateway refused the preface";
    }
    return "the gateway gave no known answer";
}
