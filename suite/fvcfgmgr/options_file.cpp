#include "suite/fvcfgmgr/options_file.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "suite/fvcfgmgr/fvcfgmgr.h"

namespace farvane::suite {
namespace {

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

// A whole-text integer; false when anything else is there or it does not fit.
bool ToInteger(std::string_view text, int base, long long* value) {
    if (text.empty() || text.size() > 40) {
        return false;
    }
    std::string copy(text);
    char* end = nullptr;
    errno = 0;
    long long parsed = std::strtoll(copy.c_str(), &end, base);
    if (errno != 0 || end == copy.c_str() || *end != '\0') {
        return false;
    }
    *value = parsed;
    return true;
}

bool ParseValue(std::string_view text, long long* value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::string_view digits = text.substr(2);
        if (digits.empty() || digits[0] == '-' || digits[0] == '+') {
            return false;
        }
        unsigned long long parsed = 0;
        std::string copy(digits);
        char* end = nullptr;
        errno = 0;
        parsed = std::strtoull(copy.c_str(), &end, 16);
        if (errno != 0 || *end != '\0' || end == copy.c_str()) {
            return false;
        }
        *value = static_cast<long long>(parsed);
        return true;
    }
    return ToInteger(text, 10, value);
}

}  // namespace

std::map<int, long long> ParseOptions(std::string_view text) {
    std::map<int, long long> options;
    bool inOptions = false;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            inOptions = close != std::string_view::npos &&
                        SameNoCase(Trim(line.substr(1, close - 1)), FV_OPTIONS_SECTION);
            continue;
        }
        std::size_t equals = line.find('=');
        if (!inOptions || equals == std::string_view::npos) {
            continue;
        }
        long long number = 0;
        long long value = 0;
        std::string_view name = Trim(line.substr(0, equals));
        if (!ToInteger(name, 10, &number) || number < 0 || number > 0x7FFFFFFF ||
            !ParseValue(Trim(line.substr(equals + 1)), &value)) {
            continue;
        }
        options[static_cast<int>(number)] = value;
    }
    return options;
}

}  // namespace farvane::suite
