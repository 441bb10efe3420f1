// fvstream's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fvstream {

struct Options {
    std::string streamPath;
    bool verbose = false;
    bool quiet = false;
    std::optional<std::uint16_t> capabilityWord;
    std::string pngPath;
    std::string passPattern;
    std::optional<std::pair<int, int>> cursorAt;
    bool keepGoing = false;
    bool help = false;
};

// Fills options from the arguments (without the program name); returns an error text when
// they are wrong.
std::optional<std::string> parseOptions(const std::vector<std::string>& arguments,
                                        Options& options);

std::string usageText();

// A file name pattern with exactly one %d (or %0Nd, N up to 9) for a number; %% is a percent
// sign. Returns the name for the number, or nothing when the pattern is not of that form.
std::optional<std::string> expandPattern(const std::string& pattern, int number);

}  // namespace fvstream
