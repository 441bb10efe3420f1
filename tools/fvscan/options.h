// fvscan's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fvscan {

struct Options {
    std::string display;                  // --display: X display or memory desktop name
    std::string image;                    // --image: picture for a memory display
    std::string depth = "32";             // --depth: memory display depth for --image
    std::uint16_t capabilities = 0x0010;  // --cap: CB item 57
    std::uint16_t optionWord = 0;         // --option-word: CB item 48
    std::uint8_t reducedMode = 0;         // --reduced: CB item 155
    std::optional<long> compression;      // --compression: "COMPRESSION"; absent when unset
    std::optional<std::pair<unsigned, unsigned>> cell;  // --cell WxH
    std::optional<unsigned long> passes;                // --passes
    std::optional<double> seconds;                      // --seconds
    std::string out;                                    // --out
    bool help = false;
};

extern const char* const kUsage;

// Parses the arguments after the program name; nullopt with `error` set when they are wrong.
std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error);

}  // namespace fvscan
