#include "platform/gdi/desktop_name.h"

#include <cctype>

namespace farvane::gdi {

namespace {

constexpr std::size_t kMaxNameLength = 128;
constexpr int kMaxSide = 16384;
constexpr long long kMaxPixelBytes = 256LL << 20;

bool IsDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// A decimal number without sign, at most 5 digits, or -1.
int ParseNumber(std::string_view text) {
    if (!IsDigits(text) || text.size() > 5) {
        return -1;
    }
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
}

bool IsHostName(std::string_view host) {
    if (host.size() > 64) {
        return false;
    }
    for (char c : host) {
        if (!IsNameCharacter(c) && c != '.') {
            return false;
        }
    }
    return true;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<DesktopName> ParseX11(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view host = text.substr(0, colon);
    std::string_view numbers = text.substr(colon + 1);
    std::string_view screen = "0";
    const std::size_t dot = numbers.find('.');
    if (dot != std::string_view::npos) {
        screen = numbers.substr(dot + 1);
        numbers = numbers.substr(0, dot);
    }
    const int display = ParseNumber(numbers);
    const int screenNumber = ParseNumber(screen);
    if (!IsHostName(host) || display < 0 || screenNumber < 0) {
        return std::nullopt;
    }
    DesktopName name;
    name.kind = DesktopName::Kind::X11;
    name.x11Display =
        std::string(host) + ":" + std::to_string(display) + "." + std::to_string(screenNumber);
    // Always prefixed, so that a host called "x11" or "memory" reads back the same.
    name.canonical = "x11:" + name.x11Display;
    return name;
}

std::optional<PixelFormat> ParseDepth(std::string_view depth, bool* palette) {
    *palette = false;
    if (depth == "8p") {
        *palette = true;
        return PixelFormat::ForDepth(8);
    }
    if (depth == "15") {
        return PixelFormat{16, PixelLayout::Rgb555};
    }
    const int bits = ParseNumber(depth);
    if (depth.size() > 2 || !PixelFormat::IsSupportedDepth(bits)) {
        return std::nullopt;
    }
    return PixelFormat::ForDepth(bits);
}

std::optional<DesktopName> ParseMemory(std::string_view text) {
    std::string_view tag;
    const std::size_t hash = text.find('#');
    if (hash != std::string_view::npos) {
        tag = text.substr(hash + 1);
        text = text.substr(0, hash);
        if (tag.empty() || tag.size() > 32) {
            return std::nullopt;
        }
        for (char c : tag) {
            if (!IsNameCharacter(c)) {
                return std::nullopt;
            }
        }
    }
    const std::size_t first = text.find('x');
    const std::size_t second = first == std::string_view::npos ? first : text.find('x', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const int width = ParseNumber(text.substr(0, first));
    const int height = ParseNumber(text.substr(first + 1, second - first - 1));
    bool palette = false;
    const std::optional<PixelFormat> format = ParseDepth(text.substr(second + 1), &palette);
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide || !format) {
        return std::nullopt;
    }
    const long long bytes =
        static_cast<long long>(DeviceRowBytes(width, format->bitsPerPixel)) * height;
    if (bytes > kMaxPixelBytes) {
        return std::nullopt;
    }
    DesktopName name;
    name.kind = DesktopName::Kind::Memory;
    name.memory = MemoryDisplayConfig{width, height, *format, palette};
    const std::string depthText = palette ? "8p"
                                  : format->layout == PixelLayout::Rgb555
                                      ? "15"
                                      : std::to_string(format->bitsPerPixel);
    name.canonical =
        "memory:" + std::to_string(width) + "x" + std::to_string(height) + "x" + depthText;
    if (!tag.empty()) {
        name.canonical += "#" + std::string(tag);
    }
    return name;
}

}  // namespace

std::optional<DesktopName> ParseDesktopName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength) {
        return std::nullopt;
    }
    for (char c : name) {
        if (!std::isprint(static_cast<unsigned char>(c)) || c == ' ') {
            return std::nullopt;
        }
    }
    if (EqualsIgnoringCase(name, "default")) {
        DesktopName result;
        result.kind = DesktopName::Kind::Default;
        result.canonical = "Default";
        return result;
    }
    constexpr std::string_view kMemory = "memory:";
    constexpr std::string_view kX11 = "x11:";
    if (name.substr(0, kMemory.size()) == kMemory) {
        return ParseMemory(name.substr(kMemory.size()));
    }
    if (name.substr(0, kX11.size()) == kX11) {
        return ParseX11(name.substr(kX11.size()));
    }
    return ParseX11(name);
}

}  // namespace farvane::gdi
