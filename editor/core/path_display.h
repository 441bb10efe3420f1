// Shortening a path for a field too narrow to show it whole.
#pragma once

#include <functional>
#include <string>

// The width of a text in the field's font.
using TextWidth = std::function<int(const std::string& text)>;

// The path when it fits width; otherwise its first three characters, "..." and the longest
// tail that starts at a '/' and fits. The path whole when no tail fits, and "" when not even
// the first three characters and "..." fit.
std::string ShortenPathForDisplay(const std::string& path, int width, const TextWidth& measure);
