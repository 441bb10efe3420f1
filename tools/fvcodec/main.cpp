// fvcodec: the video stream's codecs between standard input and standard output.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec_commands.h"
#include "implode.h"

namespace {

constexpr int kExitBadInput = 1;
constexpr int kExitBadArguments = 2;

constexpr const char* kUsage =
    "usage: fvcodec COMMAND [OPTIONS] < input > output\n"
    "\n"
    "commands:\n"
    "  implode [--ascii] [--dict 1024|2048|4096]\n"
    "                compress with implode (binary, 1024-byte dictionary unless told)\n"
    "  explode       decompress an implode stream\n"
    "  deflate       compress as one deflate video frame (raw deflate, partial flush)\n"
    "  inflate       decompress one deflate video frame\n"
    "  rle           code with the video scanner's run-length coder\n"
    "  unrle         decode the video scanner's run-length form\n"
    "\n"
    "Nothing is written to the output unless the whole input converts.\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "fvcodec: %s\n\n%s", message.c_str(), kUsage);
    return kExitBadArguments;
}

struct ImplodeOptions {
    unsigned int type = CMP_BINARY;
    unsigned int dictionary_size = 1024;
};

// Parses the implode options; nullopt (after printing why) when they are wrong.
std::optional<ImplodeOptions> ParseImplodeOptions(const std::vector<std::string_view>& args) {
    ImplodeOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--ascii") {
            options.type = CMP_ASCII;
        } else if (args[i] == "--dict") {
            if (i + 1 == args.size()) {
                UsageError("--dict needs a size");
                return std::nullopt;
            }
            const std::string_view size = args[++i];
            if (size == "1024" || size == "2048" || size == "4096") {
                options.dictionary_size = static_cast<unsigned int>(std::stoul(std::string(size)));
            } else {
                UsageError("dictionary size must be 1024, 2048 or 4096, not " + std::string(size));
                return std::nullopt;
            }
        } else {
            UsageError("unknown option for implode: " + std::string(args[i]));
            return std::nullopt;
        }
    }
    return options;
}

bool ReadAll(std::FILE* in, fvcodec::Bytes& bytes) {
    std::uint8_t buffer[65536];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, in);
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (got < sizeof buffer) {
            return !std::ferror(in);
        }
    }
}

bool WriteAll(std::FILE* out, const fvcodec::Bytes& bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
        return false;
    }
    return std::fflush(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return UsageError("no command given");
    }
    const std::string_view command = argv[1];
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::vector<std::string_view> options(argv + 2, argv + argc);

    std::optional<ImplodeOptions> implode_options;
    if (command == "implode") {
        implode_options = ParseImplodeOptions(options);
        if (!implode_options) {
            return kExitBadArguments;
        }
    } else if (command == "explode" || command == "deflate" || command == "inflate" ||
               command == "rle" || command == "unrle") {
        if (!options.empty()) {
            return UsageError(std::string(command) + " takes no options");
        }
    } else {
        return UsageError("unknown command: " + std::string(command));
    }

    fvcodec::Bytes input;
    if (!ReadAll(stdin, input)) {
        std::fprintf(stderr, "fvcodec: cannot read the input: %s\n", std::strerror(errno));
        return kExitBadInput;
    }
    fvcodec::Outcome outcome;
    if (command == "implode") {
        outcome = fvcodec::Implode(input, implode_options->type, implode_options->dictionary_size);
    } else if (command == "explode") {
        outcome = fvcodec::Explode(input);
    } else if (command == "deflate") {
        outcome = fvcodec::Deflate(input);
    } else if (command == "inflate") {
        outcome = fvcodec::Inflate(input);
    } else if (command == "rle") {
        outcome = fvcodec::Rle(input);
    } else {
        outcome = fvcodec::Unrle(input);
    }
    if (!outcome.ok) {
        std::fprintf(stderr, "fvcodec: %s\n", outcome.error.c_str());
        return kExitBadInput;
    }
    if (!WriteAll(stdout, outcome.output)) {
        std::fprintf(stderr, "fvcodec: cannot write the output: %s\n", std::strerror(errno));
        return kExitBadInput;
    }
    return 0;
}
