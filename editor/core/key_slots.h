// The key combinations of the key table in slot order, with their command ids and default
// commands.
#pragma once

#include <vector>

#include "platform/kernel/win_types.h"

struct KeySlotDefinition {
    BYTE flags;  // KF_ALT, KF_SHIFT, KF_CONTROL; 0 with key 0 for the unused first slot
    WORD key;    // 0 for the unused first slot
    WORD id;
    const char* defaultCommand;  // null: none
};

// The 187 definitions in slot order.
const std::vector<KeySlotDefinition>& KeySlotDefinitions();
