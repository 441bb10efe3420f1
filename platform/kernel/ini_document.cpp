#include "platform/kernel/ini_document.h"

#include <algorithm>

namespace farvane::kernel {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(x) == FoldCase(y);
           });
}

std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

IniDocument::Line IniDocument::ParseLine(std::string text) {
    Line line;
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';') {
        line.kind = LineKind::Other;
    } else if (trimmed.front() == '[') {
        const std::string_view inside = trimmed.substr(1);
        line.kind = LineKind::Section;
        line.name = std::string(Trim(inside.substr(0, inside.find(']'))));
    } else {
        const std::size_t equals = trimmed.find('=');
        line.kind = LineKind::Entry;
        line.name = std::string(Trim(trimmed.substr(0, equals)));
        if (equals != std::string_view::npos) {
            line.value = std::string(WithoutQuotes(Trim(trimmed.substr(equals + 1))));
        }
    }
    line.text = std::move(text);
    return line;
}

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument document;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            document.crlf_ = true;
        }
        document.lines_.push_back(ParseLine(std::string(line)));
    }
    return document;
}

std::optional<IniDocument::Range> IniDocument::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section && SameName(lines_[i].name, section)) {
            std::size_t end = i + 1;
            while (end < lines_.size() && lines_[end].kind != LineKind::Section) {
                ++end;
            }
            return Range{i, end};
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::FindKey(const Range& range, std::string_view key) const {
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        if (lines_[i].kind == LineKind::Entry && SameName(lines_[i].name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::Value(std::string_view section,
                                              std::string_view key) const {
    const auto range = FindSection(section);
    if (!range) {
        return std::nullopt;
    }
    const auto line = FindKey(*range, key);
    return line ? std::optional<std::string>(lines_[*line].value) : std::nullopt;
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : lines_) {
        if (line.kind == LineKind::Section) {
            names.push_back(line.name);
        }
    }
    return names;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    if (const auto range = FindSection(section)) {
        for (std::size_t i = range->header + 1; i < range->end; ++i) {
            if (lines_[i].kind == LineKind::Entry) {
                names.push_back(lines_[i].name);
            }
        }
    }
    return names;
}

void IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string text = std::string(key) + "=" + std::string(value);
    const auto range = FindSection(section);
    if (!range) {
        lines_.push_back(ParseLine("[" + std::string(section) + "]"));
        lines_.push_back(ParseLine(std::move(text)));
        return;
    }
    if (const auto line = FindKey(*range, key)) {
        // Keep the spelling of the key as the file had it.
        lines_[*line] = ParseLine(lines_[*line].name + "=" + std::string(value));
        return;
    }
    // After the section's last entry, so that blank lines and comments before the next section
    // stay where they are.
    std::size_t position = range->header + 1;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (lines_[i].kind == LineKind::Entry) {
            position = i + 1;
        }
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position),
                  ParseLine(std::move(text)));
}

void IniDocument::DeleteKey(std::string_view section, std::string_view key) {
    if (const auto range = FindSection(section)) {
        if (const auto line = FindKey(*range, key)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
        }
    }
}

void IniDocument::DeleteSection(std::string_view section) {
    if (const auto range = FindSection(section)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
    }
}

std::string IniDocument::Serialize() const {
    const std::string_view ending = crlf_ ? "\r\n" : "\n";
    std::string text;
    for (const Line& line : lines_) {
        text += line.text;
        text += ending;
    }
    return text;
}

}  // namespace farvane::kernel
