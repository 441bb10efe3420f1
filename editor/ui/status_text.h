// The status message the commands set and the status window shows once.
#pragma once

#include "editor/view/status_line.h"

namespace fvedit {

StatusLine& TheStatusLine();
// The text the status window would show now, without consuming a message (tests).
std::string CurrentStatusText();

}  // namespace fvedit
