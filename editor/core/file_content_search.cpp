#include "editor/core/file_content_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "editor/core/buffer.h"
#include "editor/core/editor_paths.h"
#include "editor/core/file_io.h"
#include "editor/core/pattern.h"

namespace {

// The character that ends lines of this text, as the file loader decides it: a carriage
// return when there is one (a line feed after it belongs to the line end), else a line feed.
char LineEndOf(const char* text, std::size_t length) {
    return std::memchr(text, '\r', length) != nullptr ? '\r' : '\n';
}

// Where the line after the line end at offset begins.
std::size_t NextLineStart(const char* text, std::size_t length, std::size_t lineEnd, char end) {
    std::size_t next = lineEnd + 1;
    if (end == '\r' && next < length && text[next] == '\n') {
        ++next;
    }
    return next;
}

bool RegularFile(const std::string& directory, const dirent* entry) {
    if (entry->d_type == DT_REG) {
        return true;
    }
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) {
        return false;
    }
    struct stat info;
    std::string path = directory + "/" + entry->d_name;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Where the complete lines of a chunk end: after its last line end, except that a carriage
// return at the chunk's end stays with its line (its line feed may follow in the next chunk).
// 0 when the chunk holds no complete line.
std::size_t CompleteLinesLength(const char* text, std::size_t length, char end) {
    const void* last = memrchr(text, end, length);
    if (last == nullptr) {
        return 0;
    }
    std::size_t at = static_cast<const char*>(last) - text;
    if (end == '\r' && at + 1 == length) {
        last = memrchr(text, end, at);
        if (last == nullptr) {
            return 0;
        }
        at = static_cast<const char*>(last) - text;
    }
    return NextLineStart(text, length, at, end);
}

}  // namespace

bool FileContentSearch::Prepare(const char* pattern, bool matchCase, bool regularExpression) {
    if (pattern == nullptr || pattern[0] == '\0') {
        return false;
    }
    regularExpression_ = regularExpression;
    patternHasLineEnd_ = std::strpbrk(pattern, "\r\n") != nullptr;
    if (regularExpression) {
        BYTE compiled[COMPILED_PATTERN_SIZE];
        return CompilePattern(pattern, compiled) != 0 && matcher_.Build(compiled, matchCase);
    }
    PreparePlainPattern(pattern, matchCase, plain_);
    return plain_.length > 0;
}

bool FileContentSearch::LineMatches(const char* line, std::size_t length) const {
    DWORD start = 0;
    DWORD end = 0;
    return matcher_.FindForward(line, static_cast<DWORD>(length), 0, start, end);
}

bool FileContentSearch::RegexContains(const char* text, std::size_t length, char end) const {
    const PlainPattern* literal = matcher_.RequiredLiteral();
    std::size_t from = 0;
    // Every line is a candidate, or, with a literal that every match holds, only the lines
    // where the literal occurs.
    while (from <= length) {
        std::size_t lineStart = from;
        if (literal != nullptr) {
            if (length - from < literal->length) {
                return false;
            }
            DWORD at = FindPlainForward(text, static_cast<DWORD>(from),
                                        static_cast<DWORD>(length - literal->length), *literal);
            if (at == PLAIN_NOT_FOUND) {
                return false;
            }
            const void* before = memrchr(text + from, end, at - from);
            if (before != nullptr) {
                std::size_t lineEnd = static_cast<const char*>(before) - text;
                lineStart = NextLineStart(text, length, lineEnd, end);
                // The line feed of a carriage return and line feed belongs to no line.
                if (at < lineStart) {
                    from = lineStart;
                    continue;
                }
            }
        }
        const void* found = std::memchr(text + lineStart, end, length - lineStart);
        std::size_t lineEnd = found != nullptr ? static_cast<const char*>(found) - text : length;
        if (LineMatches(text + lineStart, lineEnd - lineStart)) {
            return true;
        }
        if (lineEnd >= length) {
            return false;
        }
        from = NextLineStart(text, length, lineEnd, end);
        if (from >= length) {
            return false;  // a final line end starts no further line
        }
    }
    return false;
}

bool FileContentSearch::LinesContain(const char* text, std::size_t length, char end) const {
    if (regularExpression_) {
        return RegexContains(text, length, end);
    }
    if (patternHasLineEnd_) {
        return PlainLinesContain(text, length, end);
    }
    // Without a line end in the pattern, a match in the text is a match in one line.
    return length >= plain_.length &&
           FindPlainForward(text, 0, static_cast<DWORD>(length - plain_.length), plain_) !=
               PLAIN_NOT_FOUND;
}

bool FileContentSearch::PlainLinesContain(const char* text, std::size_t length, char end) const {
    for (std::size_t from = 0; from < length;) {
        const void* found = std::memchr(text + from, end, length - from);
        std::size_t lineEnd = found != nullptr ? static_cast<const char*>(found) - text : length;
        if (lineEnd - from >= plain_.length &&
            FindPlainForward(text, static_cast<DWORD>(from),
                             static_cast<DWORD>(lineEnd - plain_.length),
                             plain_) != PLAIN_NOT_FOUND) {
            return true;
        }
        if (lineEnd >= length) {
            break;
        }
        from = NextLineStart(text, length, lineEnd, end);
    }
    return false;
}

bool FileContentSearch::TextContains(const char* text, std::size_t length) const {
    length = strnlen(text, length);
    return LinesContain(text, length, LineEndOf(text, length));
}

bool FileContentSearch::DescriptorContains(int descriptor) {
    if (contents_.size() < FILE_SEARCH_CHUNK + 1) {
        contents_.resize(FILE_SEARCH_CHUNK + 1);
    }
    char* data = contents_.data();
    std::size_t kept = 0;  // the incomplete last line of the chunk before
    char end = 0;
    for (;;) {
        ssize_t got = ReadAll(descriptor, data + kept, FILE_SEARCH_CHUNK - kept);
        if (got < 0) {
            return false;
        }
        std::size_t size = kept + static_cast<std::size_t>(got);
        bool last = size < FILE_SEARCH_CHUNK;
        // The text ends at its first zero byte.
        if (const void* zero = std::memchr(data + kept, '\0', static_cast<std::size_t>(got))) {
            size = static_cast<const char*>(zero) - data;
            last = true;
        }
        data[size] = '\0';
        if (end == 0) {
            end = LineEndOf(data, size);
        }
        std::size_t complete = last ? size : CompleteLinesLength(data, size, end);
        // A line longer than a chunk is searched in pieces; a plain pattern keeps enough of
        // the piece before to be found across the cut.
        bool piece = complete == 0 && !last;
        if (LinesContain(data, piece ? size : complete, end)) {
            return true;
        }
        if (last) {
            return false;
        }
        if (piece) {
            kept = regularExpression_ ? 0 : plain_.length - 1;
            complete = size - kept;
        } else {
            kept = size - complete;
        }
        std::memmove(data, data + complete, kept);
    }
}

bool FileContentSearch::FileContains(const char* path) {
    int descriptor = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return false;
    }
    struct stat info;
    bool found =
        fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && DescriptorContains(descriptor);
    close(descriptor);
    return found;
}

std::vector<std::string> FilesOfFileMask(const std::string& fileMask) {
    std::size_t slash = fileMask.rfind('/');
    std::string directory = ".";
    std::string pattern = fileMask;
    if (slash != std::string::npos) {
        directory = slash == 0 ? "/" : fileMask.substr(0, slash);
        pattern = fileMask.substr(slash + 1);
    }
    if (pattern == "*.*") {
        pattern.assign(1, '*');  // (a literal here trips a false -Wrestrict in g++ 12)
    }
    std::vector<std::string> names;
    if (DIR* folder = opendir(directory.c_str())) {
        while (const dirent* entry = readdir(folder)) {
            if (fnmatch(pattern.c_str(), entry->d_name, 0) == 0 && RegularFile(directory, entry)) {
                names.emplace_back(entry->d_name);
            }
        }
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> paths;
    char full[PATH_NAME_SIZE];
    for (const std::string& name : names) {
        std::string joined = directory + "/" + name;
        if (FullPathName(joined.c_str(), full, sizeof full)) {
            paths.emplace_back(full);
        }
    }
    return paths;
}

bool SearchFileMasks(const std::string& fileMasks, FileContentSearch& search,
                     FileSearchProgress& progress) {
    std::istringstream words(fileMasks);
    std::string fileMask;
    while (words >> fileMask) {
        for (const std::string& path : FilesOfFileMask(fileMask)) {
            // The file is shown first, then the waiting messages run (they may stop the search).
            progress.Searching(path);
            if (progress.Stopped()) {
                return false;
            }
            if (search.FileContains(path.c_str()) && !progress.Found(path)) {
                break;
            }
        }
    }
    return !progress.Stopped();
}
