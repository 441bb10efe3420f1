#pragma once

#include <vector>

namespace farvane::ui {

// A block of global memory behind an HGLOBAL.
struct GlobalBlock {
    std::vector<unsigned char> bytes;
    int locks = 0;
    bool ownedByClipboard = false;
};

}  // namespace farvane::ui
