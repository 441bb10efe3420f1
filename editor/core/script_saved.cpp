#include "editor/core/script_saved.h"

void NotifyScriptSaved() {}
