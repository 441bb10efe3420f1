// An INI file in memory, read and changed the way private-profile files are:
//
// - "[name]" starts a section (blanks around the name are ignored, text after ']' too);
// - "key=value" is an entry; key and value lose their leading and trailing blanks, and a value
//   enclosed in a matching pair of double or single quotes loses them;
// - a line whose first non-blank character is ';' is a comment; any other line inside a section
//   is an entry without a value, named by the whole line;
// - section and key names match without regard to ASCII case; the first match wins.
//
// Any bytes at all are accepted. Changes keep every other line exactly as it was, so comments and
// layout survive a rewrite.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace farvane::kernel {

class IniDocument {
public:
    static IniDocument Parse(std::string_view text);

    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;

    // Sets the entry, adding the section or key when missing. The caller makes sure that no
    // name or value holds a line break, and that a key holds no '=' and a section no ']'.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);
    void DeleteKey(std::string_view section, std::string_view key);
    void DeleteSection(std::string_view section);

    // The document as file contents, with the line ending the file had ("\r\n" or "\n").
    std::string Serialize() const;

private:
    enum class LineKind { Other, Section, Entry };
    struct Line {
        std::string text;
        LineKind kind = LineKind::Other;
        std::string name;
        std::string value;
    };
    struct Range {
        std::size_t header;
        std::size_t end;
    };

    static Line ParseLine(std::string text);
    std::optional<Range> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(const Range& range, std::string_view key) const;

    std::vector<Line> lines_;
    bool crlf_ = false;
};

}  // namespace farvane::kernel
