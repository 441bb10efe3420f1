#pragma once

#include <vector>

#include "platform/ui/user_types.h"

namespace farvane::ui {

// The entries of an accelerator table behind an HACCEL.
struct AcceleratorTable {
    std::vector<ACCEL> entries;
};

}  // namespace farvane::ui
