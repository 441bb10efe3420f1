#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace fvscan {

const char* const kUsage =
    "usage: fvscan (--display NAME | --image FILE [--depth BITS]) --out FILE [options]\n"
    "\n"
    "Runs the video scanner on a display as a host session does, plays the other side's\n"
    "part in the CB block, and writes every byte the scanner transmits to FILE\n"
    "(fvstream decodes it).\n"
    "\n"
    "  --display NAME        X display (\":1\") or memory desktop (\"memory:800x600x16\")\n"
    "  --image FILE          show a PNG or PPM picture on a memory display\n"
    "  --depth BITS          memory display depth for --image: 1 4 8 8p 15 16 24 32 (32)\n"
    "  --cap WORD            the other side's capability word, CB item 57 (0x0010)\n"
    "  --option-word WORD    the other side's option word, CB item 48 (0)\n"
    "  --reduced MODE        reduced colour mode, CB item 155 (0)\n"
    "  --compression VALUE   \"COMPRESSION\" in FARV.INI (absent unless given)\n"
    "  --cell WxH            \"CellWidth\" and \"CellHeight\" in FARV.INI\n"
    "  --passes N            stop after N passes over the screen\n"
    "  --seconds S           stop after S seconds (1 pass when neither is given)\n"
    "  --out FILE            where the stream goes; written only when the run succeeds\n";

namespace {

bool ParseUnsigned(const std::string& text, unsigned long maximum, unsigned long& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    value = std::strtoul(text.c_str(), &end, 0);
    return errno == 0 && end != nullptr && *end == '\0' && value <= maximum;
}

bool ParseCell(const std::string& text, std::pair<unsigned, unsigned>& cell) {
    const std::size_t cross = text.find('x');
    unsigned long width = 0;
    unsigned long height = 0;
    if (cross == std::string::npos || !ParseUnsigned(text.substr(0, cross), 65535, width) ||
        !ParseUnsigned(text.substr(cross + 1), 65535, height)) {
        return false;
    }
    cell = {static_cast<unsigned>(width), static_cast<unsigned>(height)};
    return true;
}

bool IsDepth(const std::string& depth) {
    for (const char* known : {"1", "4", "8", "8p", "15", "16", "24", "32"}) {
        if (depth == known) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "-h" || name == "--help") {
            options.help = true;
            return options;
        }
        if (i + 1 >= arguments.size()) {
            error = name.rfind("--", 0) == 0 ? name + " needs a value" : "unexpected " + name;
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        unsigned long number = 0;
        if (name == "--display") {
            options.display = value;
        } else if (name == "--image") {
            options.image = value;
        } else if (name == "--depth") {
            if (!IsDepth(value)) {
                error = "--depth must be 1, 4, 8, 8p, 15, 16, 24 or 32, not " + value;
                return std::nullopt;
            }
            options.depth = value;
        } else if (name == "--cap" || name == "--option-word") {
            if (!ParseUnsigned(value, 0xFFFF, number)) {
                error = name + " must be a number from 0 to 0xFFFF, not " + value;
                return std::nullopt;
            }
            (name == "--cap" ? options.capabilities : options.optionWord) =
                static_cast<std::uint16_t>(number);
        } else if (name == "--reduced") {
            if (!ParseUnsigned(value, 255, number)) {
                error = "--reduced must be a number from 0 to 255, not " + value;
                return std::nullopt;
            }
            options.reducedMode = static_cast<std::uint8_t>(number);
        } else if (name == "--compression") {
            const bool negativeOne = value == "-1";
            if (!negativeOne && !ParseUnsigned(value, 0xFFFF, number)) {
                error = "--compression must be -1 or a number from 0 to 0xFFFF, not " + value;
                return std::nullopt;
            }
            options.compression = negativeOne ? -1L : static_cast<long>(number);
        } else if (name == "--cell") {
            std::pair<unsigned, unsigned> cell;
            if (!ParseCell(value, cell)) {
                error = "--cell must be WIDTHxHEIGHT, not " + value;
                return std::nullopt;
            }
            options.cell = cell;
        } else if (name == "--passes") {
            if (!ParseUnsigned(value, 1000000, number) || number == 0) {
                error = "--passes must be a number from 1 to 1000000, not " + value;
                return std::nullopt;
            }
            options.passes = number;
        } else if (name == "--seconds") {
            char* end = nullptr;
            const double seconds = std::strtod(value.c_str(), &end);
            if (end == value.c_str() || *end != '\0' || !std::isfinite(seconds) || seconds <= 0 ||
                seconds > 86400) {
                error = "--seconds must be a number above 0 and at most 86400, not " + value;
                return std::nullopt;
            }
            options.seconds = seconds;
        } else if (name == "--out") {
            options.out = value;
        } else {
            error = "unknown option " + name;
            return std::nullopt;
        }
    }
    if (options.display.empty() == options.image.empty()) {
        error = "give either --display or --image";
        return std::nullopt;
    }
    if (options.out.empty()) {
        error = "--out is required";
        return std::nullopt;
    }
    if (!options.passes && !options.seconds) {
        options.passes = 1;
    }
    return options;
}

}  // namespace fvscan
