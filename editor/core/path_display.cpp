#include "editor/core/path_display.h"

std::string ShortenPathForDisplay(const std::string& path, int width, const TextWidth& measure) {
    if (measure(path) <= width) {
        return path;
    }
    std::string head = path.substr(0, 3) + "...";
    if (measure(head) > width) {
        return "";
    }
    // The leftmost separator after the head gives the longest tail.
    for (std::size_t at = path.find('/', 3); at != std::string::npos; at = path.find('/', at + 1)) {
        std::string shortened = head + path.substr(at);
        if (measure(shortened) <= width) {
            return shortened;
        }
    }
    return path;
}
