// fvview's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/endpoint.h"

namespace fvview {

struct Options {
    farvane::net::Endpoint host;          // ADDR:PORT
    std::string hostText;                 // the name in the known-hosts file: ADDR:PORT as
                                          // written, NAME@ADDR:PORT through a gateway
    std::string gatewayName;              // --gateway-name: ADDR:PORT is a gateway
    std::string passwordFile;             // --password-file
    bool trustNew = false;                // --trust-new
    std::string knownHosts;               // --known-hosts; empty: the state folder's
    std::uint16_t capabilities = 0x0010;  // --cap
    std::uint8_t reducedMode = 0;         // --reduced
    std::string png;                      // --png
    std::optional<unsigned> passes;       // --passes
    std::optional<double> seconds;        // --seconds
    std::string type;                     // --type
    std::optional<std::pair<std::uint16_t, std::uint16_t>> click;  // --click X,Y
    bool stats = false;                                            // --stats
    std::optional<unsigned> readRate;  // --read-rate: bytes per second, to try a slow link
    bool help = false;
};

extern const char* const kUsage;

// Parses the arguments after the program name; nullopt with `error` set when they are wrong.
std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error);

}  // namespace fvview
