// Feeds arbitrary file contents to the search of Find Files Containing and compares its answer
// with a reference that splits the text into lines as the editor's file reader does and
// searches each line on its own. The first byte chooses match case and regular expression,
// the second the pattern's length; the pattern follows and the rest is the file. The contents
// are also searched as a file, read in chunks.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "editor/core/file_content_search.h"
#include "editor/core/pattern.h"
#include "editor/core/pattern_matcher.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The lines of the text up to its first zero byte: split at carriage returns when it has one
// (a line feed after one belongs to it), else at line feeds; a final line end starts no line.
std::vector<std::string> Lines(std::string text) {
    text = text.substr(0, text.find('\0'));
    char end = text.find('\r') != std::string::npos ? '\r' : '\n';
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t at = text.find(end, from);
        if (at == std::string::npos) {
            lines.push_back(text.substr(from));
            break;
        }
        lines.push_back(text.substr(from, at - from));
        from = at + 1;
        if (end == '\r' && from < text.size() && text[from] == '\n') {
            ++from;
        }
    }
    if (lines.empty()) {
        lines.emplace_back();  // an empty file reads as one empty line
    }
    return lines;
}

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool PlainIn(const std::string& line, const std::string& pattern, bool matchCase) {
    for (std::size_t at = 0; at + pattern.size() <= line.size(); ++at) {
        std::size_t i = 0;
        while (i < pattern.size() &&
               (matchCase ? line[at + i] == pattern[i] : Fold(line[at + i]) == Fold(pattern[i]))) {
            ++i;
        }
        if (i == pattern.size()) {
            return true;
        }
    }
    return false;
}

bool Reference(const std::string& text, const std::string& pattern, bool matchCase, bool regex,
               const PatternMatcher& matcher) {
    for (const std::string& line : Lines(text)) {
        DWORD start = 0;
        DWORD end = 0;
        bool found =
            regex ? matcher.FindForward(line.data(), static_cast<DWORD>(line.size()), 0, start, end)
                  : PlainIn(line, pattern, matchCase);
        if (found) {
            return true;
        }
    }
    return false;
}

const char* FilePath() {
    static char path[64] = "";
    if (path[0] == '\0') {
        int descriptor = memfd_create("file_search_fuzz", 0);
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", descriptor);
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    bool matchCase = (data[0] & 1) != 0;
    bool regex = (data[0] & 2) != 0;
    std::size_t patternLength = data[1] % 40;
    if (size < 2 + patternLength) {
        return 0;
    }
    std::string pattern(reinterpret_cast<const char*>(data + 2), patternLength);
    pattern = pattern.substr(0, pattern.find('\0'));
    std::string text(reinterpret_cast<const char*>(data + 2 + patternLength),
                     size - 2 - patternLength);
    FileContentSearch search;
    if (!search.Prepare(pattern.c_str(), matchCase, regex)) {
        return 0;
    }
    PatternMatcher matcher;
    if (regex) {
        BYTE compiled[COMPILED_PATTERN_SIZE];
        Check(CompilePattern(pattern.c_str(), compiled) != 0 && matcher.Build(compiled, matchCase));
    }
    bool expected = Reference(text, pattern, matchCase, regex, matcher);
    Check(search.TextContains(text.data(), text.size()) == expected);

    int descriptor = open(FilePath(), O_RDWR | O_TRUNC);
    Check(descriptor >= 0);
    Check(write(descriptor, text.data(), text.size()) == static_cast<ssize_t>(text.size()));
    close(descriptor);
    Check(search.FileContains(FilePath()) == expected);
    return 0;
}
