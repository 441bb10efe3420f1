// Finding which files contain a pattern: the file masks ("*.txt notes/*.md") are
// enumerated without changing the current directory, and each file is read in chunks of
// complete lines and searched with the editor's search kernels, line by line as the editor's
// search sees the text (a match never spans a line end; the text ends at its first zero
// byte). Memory stays bounded by the chunk whatever the file's size. No window is involved:
// the caller hears of each file through FileSearchProgress.
#pragma once

#include <string>
#include <vector>

#include "editor/core/pattern_matcher.h"
#include "editor/core/plain_search.h"

// Bytes read from a file at a time.
inline constexpr std::size_t FILE_SEARCH_CHUNK = 1u << 20;

class FileContentSearch {
public:
    // Prepares the pattern. False for an empty pattern or a regular expression that does not
    // compile.
    bool Prepare(const char* pattern, bool matchCase, bool regularExpression);
    // Whether the file holds a line that matches. A file that cannot be read does not.
    bool FileContains(const char* path);
    // Whether the text holds a line that matches.
    bool TextContains(const char* text, std::size_t length) const;

private:
    bool LineMatches(const char* line, std::size_t length) const;
    // The text's lines end at end (a line feed after a carriage return belongs to it).
    bool RegexContains(const char* text, std::size_t length, char end) const;
    bool LinesContain(const char* text, std::size_t length, char end) const;
    // A plain pattern that holds a line end character, searched line by line (a line feed
    // that does not follow a carriage return is part of a line of a file that has them).
    bool PlainLinesContain(const char* text, std::size_t length, char end) const;
    bool DescriptorContains(int descriptor);

    bool regularExpression_ = false;
    bool patternHasLineEnd_ = false;  // a carriage return or line feed
    PlainPattern plain_{};
    PatternMatcher matcher_;
    std::vector<char> contents_;  // one chunk, reused from file to file
};

class FileSearchProgress {
public:
    virtual ~FileSearchProgress() = default;
    // Before a file is searched.
    virtual void Searching(const std::string& path) = 0;
    // A file that contains the pattern. Returns false to end the current file mask.
    virtual bool Found(const std::string& path) = 0;
    // Asked between files: true ends the whole search.
    virtual bool Stopped() = 0;
};

// The regular files of one file mask, in name order, as absolute paths: the part up to
// the last '/' names the directory (relative to the current one), the rest is a wildcard
// pattern ("*.*" matches every name).
std::vector<std::string> FilesOfFileMask(const std::string& fileMask);
// Searches the files of each blank-separated file mask. Returns false when stopped.
bool SearchFileMasks(const std::string& fileMasks, FileContentSearch& search,
                     FileSearchProgress& progress);
