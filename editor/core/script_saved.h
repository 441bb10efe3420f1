// Tells the suite's running programs that a script was saved ("SCRIPTSAVE"): the suite's main
// program and its terminal program. Nobody listening is not an error.
#pragma once

void NotifyScriptSaved();
