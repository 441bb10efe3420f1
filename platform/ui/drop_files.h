#pragma once

#include <string>
#include <vector>

namespace farvane::ui {

// The paths of one drop, behind an HDROP until DragFinish.
struct DropFiles {
    std::vector<std::string> paths;
};

}  // namespace farvane::ui
