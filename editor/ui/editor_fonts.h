// The editor font chosen in the Editor Preferences, the status font and their metrics.
#pragma once

#include "editor/ui/ui_state.h"

namespace fvedit {

// The stock font of a screen-font setting (0 system fixed, 1 ANSI fixed, 2 OEM fixed, others
// system fixed).
int StockFontOf(int screenFont);
// Selects the editor font from the settings and measures both fonts: line height, character
// width, left margin, the status height (18/15 of the status font's height) and the caret.
void ApplyEditorFont();

}  // namespace fvedit
