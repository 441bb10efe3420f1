#include "editor/ui/shown_rows.h"

#include <map>

namespace fvedit {

namespace {

std::map<HWND, ShownRows>& Records() {
    static std::map<HWND, ShownRows> records;
    return records;
}

}  // namespace

ShownRows& ShownRows::Of(HWND document, const PaintStyle& style) {
    auto& records = Records();
    // Windows that are gone are dropped here (a handle may come back for a new window).
    for (auto it = records.begin(); it != records.end();) {
        it = it->first != document && !IsWindow(it->first) ? records.erase(it) : std::next(it);
    }
    ShownRows& shown = records[document];
    if (shown.document_ != document || !(shown.style_ == style)) {
        shown = ShownRows{};
        shown.document_ = document;
        shown.style_ = style;
    }
    return shown;
}

void ShownRows::Forget(HWND document) {
    Records().erase(document);
}

void ShownRows::Drawn(int row, const RowLook& look) {
    if (row < 0) {
        return;
    }
    auto index = static_cast<std::size_t>(row);
    if (index >= rows_.size()) {
        rows_.resize(index + 1);
        known_.resize(index + 1, false);
    }
    rows_[index] = look;
    known_[index] = true;
}

void ShownRows::Unknown(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < known_.size()) {
        known_[static_cast<std::size_t>(row)] = false;
    }
}

bool ShownRows::Shows(int row, const RowLook& look) const {
    auto index = static_cast<std::size_t>(row);
    return row >= 0 && index < known_.size() && known_[index] && rows_[index] == look;
}

void ShownRows::Scrolled(int lines) {
    std::size_t count = rows_.size();
    std::vector<RowLook> rows(count);
    std::vector<bool> known(count, false);
    for (std::size_t i = 0; i < count; ++i) {
        long from = static_cast<long>(i) + lines;
        if (from >= 0 && static_cast<std::size_t>(from) < count) {
            rows[i] = std::move(rows_[static_cast<std::size_t>(from)]);
            known[i] = known_[static_cast<std::size_t>(from)];
        }
    }
    rows_ = std::move(rows);
    known_ = std::move(known);
}

}  // namespace fvedit
