// What a host or a viewer says to a gateway before anything else, and the gateway's answers.
// Both travel in the clear on the fresh TCP connection, before TLS starts; only the host's name
// is in them. Once the gateway has answered "paired", every byte that follows on the
// connection belongs to the TLS connection between the host and the viewer, which the gateway
// relays without reading.
//
// The preface is one binary record:
//
//   0x1B 0x47, version (8: 1), role (8: 1 a host registering under the name, 2 a viewer asking
//   for the host of that name), name length (8: 1 to 63), the name (letters, digits, '.', '_'
//   and '-').
//
// The gateway answers with single bytes (GatewayAnswer). A host gets kRegistered at once and
// kPaired when a viewer asked for it; a viewer gets kPaired at once. Any other answer comes
// last: the gateway closes the connection after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "session/viewer_wire.h"

inline constexpr std::uint8_t kGatewayPrefaceMark[2] = {0x1B, 0x47};
inline constexpr std::uint8_t kGatewayPrefaceVersion = 1;
inline constexpr std::size_t kGatewayPrefaceHeaderSize = 5;
inline constexpr std::size_t kMaxGatewayNameBytes = 63;
inline constexpr std::size_t kMaxGatewayPrefaceSize =
    kGatewayPrefaceHeaderSize + kMaxGatewayNameBytes;

enum class GatewayRole : std::uint8_t {
    kHost = 1,
    kViewer = 2,
};

struct GatewayPreface {
    GatewayRole role = GatewayRole::kViewer;
    std::string name;
};

enum class GatewayAnswer : std::uint8_t {
    kRegistered = 0xA1,   // to a host: it waits under its name for a viewer
    kPaired = 0xA2,       // TLS between host and viewer follows
    kUnknownName = 0xA3,  // to a viewer: no host waits under that name
    kBusy = 0xA4,         // the gateway relays a session already, or the name is taken
    kRefused = 0xA5,      // the preface was malformed or came to the wrong port
};

// A name the preface may carry: 1 to 63 letters, digits, '.', '_' or '-'.
bool IsGatewayName(std::string_view name);

// Appends the preface; its name must pass IsGatewayName.
void AppendGatewayPreface(const GatewayPreface& preface, std::vector<std::uint8_t>* out);

// Parses the preface at the start of `bytes`: kMessage with `consumed` bytes, kNeedMore, or
// kMalformed as soon as the bytes so far can be no preface.
ViewerParse ParseGatewayPreface(std::span<const std::uint8_t> bytes, GatewayPreface* preface,
                                std::size_t* consumed, std::string* reason);

// How many bytes the preface needs in all, seen its first `have` bytes (at least the header
// when fewer are there): lets a reader take exactly the preface and nothing of what follows.
std::size_t GatewayPrefaceSizeSoFar(std::span<const std::uint8_t> bytes);

// The answer that `byte` is; nullopt for any other byte.
std::optional<GatewayAnswer> ParseGatewayAnswer(std::uint8_t byte);

// What an answer means, for people ("the gateway is busy with another session").
std::string GatewayAnswerText(GatewayAnswer answer, const std::string& name);
