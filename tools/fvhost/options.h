// fvhost's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/net/endpoint.h"

namespace fvhost {

struct Options {
    std::string display;                               // --display; empty: $DISPLAY
    farvane::net::Endpoint listen{"127.0.0.1", 5899};  // --listen
    std::optional<farvane::net::Endpoint> call;        // --call: call out instead of listening
    std::string gatewayName;                           // --gateway-name: --call names a gateway
    std::string passwordFile;                          // --password-file
    bool setPassword = false;                          // --set-password
    bool viewOnly = false;                             // --view-only
    bool once = false;                                 // --once
    bool demo = false;                                 // --demo
    bool help = false;
};

extern const char* const kUsage;

// Parses the arguments after the program name; nullopt with `error` set when they are wrong.
std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error);

}  // namespace fvhost
