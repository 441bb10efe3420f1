#include "options.h"

#include <cerrno>
#include <cstdlib>

namespace fvstream {

namespace {

std::optional<long> parseNumber(const std::string& text, long low, long high) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::pair<int, int>> parsePoint(const std::string& text) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) {
        return std::nullopt;
    }
    auto x = parseNumber(text.substr(0, comma), -65535, 65535);
    auto y = parseNumber(text.substr(comma + 1), -65535, 65535);
    if (!x || !y) {
        return std::nullopt;
    }
    return std::pair<int, int>(static_cast<int>(*x), static_cast<int>(*y));
}

}  // namespace

std::string usageText() {
    return "Usage: fvstream [OPTIONS] STREAM\n"
           "Decodes a captured video stream (the bytes the host transmitted, back to back),\n"
           "prints one line per frame and writes the picture as PNG.\n"
           "\n"
           "  -v, --verbose            list every record under its frame\n"
           "  -q, --quiet              no frame lines, only the totals and errors\n"
           "      --cap WORD           the capability word the viewer announced (decimal or\n"
           "                           0x hex); it decides deflate or implode, the palette\n"
           "                           entry size and the cache size. Without it they are\n"
           "                           inferred from the stream.\n"
           "      --png FILE           write the picture at the end of the stream\n"
           "      --png-each-pass PATTERN\n"
           "                           write the picture at the end of every pass; PATTERN\n"
           "                           holds one %d or %0Nd for the pass number, from 1\n"
           "      --cursor X,Y         draw the cursor with its hot spot at X,Y in pictures\n"
           "      --keep-going         report a frame that fails and go on after it (when\n"
           "                           the stream's framing is intact)\n"
           "  -h, --help               show this text\n"
           "\n"
           "A pass is one sweep of the host's scanner over the screen. Its cells arrive in scan\n"
           "order (top to bottom, left to right), so a pass ends before a frame whose first cell\n"
           "does not come after the last cell seen, before a video start record, and at the end\n"
           "of the stream. Passes that only change cells after the previous pass's last cell\n"
           "merge with it.\n";
}

std::optional<std::string> parseOptions(const std::vector<std::string>& arguments,
                                        Options& options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= arguments.size()) {
                return std::nullopt;
            }
            return arguments[++i];
        };
        if (argument == "-v" || argument == "--verbose") {
            options.verbose = true;
        } else if (argument == "-q" || argument == "--quiet") {
            options.quiet = true;
        } else if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--keep-going") {
            options.keepGoing = true;
        } else if (argument == "--cap") {
            auto text = value();
            auto word = text ? parseNumber(*text, 0, 0xFFFF) : std::nullopt;
            if (!word) {
                return "--cap needs a number from 0 to 0xFFFF";
            }
            options.capabilityWord = static_cast<std::uint16_t>(*word);
        } else if (argument == "--png") {
            auto text = value();
            if (!text || text->empty()) {
                return "--png needs a file name";
            }
            options.pngPath = *text;
        } else if (argument == "--png-each-pass") {
            auto text = value();
            if (!text || !expandPattern(*text, 1)) {
                return "--png-each-pass needs a file name pattern with one %d or %0Nd";
            }
            options.passPattern = *text;
        } else if (argument == "--cursor") {
            auto text = value();
            auto point = text ? parsePoint(*text) : std::nullopt;
            if (!point) {
                return "--cursor needs X,Y";
            }
            options.cursorAt = point;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return "unknown option " + argument;
        } else if (options.streamPath.empty()) {
            options.streamPath = argument;
        } else {
            return "only one stream file, please";
        }
    }
    if (options.streamPath.empty() && !options.help) {
        return "no stream file given";
    }
    return std::nullopt;
}

std::optional<std::string> expandPattern(const std::string& pattern, int number) {
    std::string name;
    int conversions = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            name += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            name += '%';
            ++i;
            continue;
        }
        std::size_t at = i + 1;
        bool zeros = at < pattern.size() && pattern[at] == '0';
        at += zeros ? 1 : 0;
        int width = 0;
        if (at < pattern.size() && pattern[at] >= '1' && pattern[at] <= '9') {
            width = pattern[at++] - '0';
        }
        if (at >= pattern.size() || pattern[at] != 'd' || ++conversions > 1) {
            return std::nullopt;
        }
        std::string digits = std::to_string(number);
        if (static_cast<int>(digits.size()) < width) {
            digits.insert(0, width - digits.size(), zeros ? '0' : ' ');
        }
        name += digits;
        i = at;
    }
    if (conversions != 1) {
        return std::nullopt;
    }
    return name;
}

}  // namespace fvstream
