// The editor program: start-up in the mode of the first argument, the message loop and
// shutdown; and handing the command line to an editor that already runs.
#pragma once

#include <string>

#include "editor/ui/ui_state.h"

namespace fvedit {

// Everything up to the message loop. Returns false when the program must end (a class, the
// frame or the document area could not be made); in print mode the files are printed and the
// frame is gone again when it returns true.
bool StartEditor(HINSTANCE instance, const char* commandLine, int showCommand);
// One step of the message loop: false once the quit message arrives.
bool MessageLoopStep();
// Runs the loop until quit; returns the quit code.
int RunMessageLoop();
// Unregisters the classes and leaves the editor's state as at program start.
void ShutDownEditor();
// Hands the command line to a running editor of the same mode. Returns true when one took it.
bool HandToRunningEditor(const std::string& commandLine);

}  // namespace fvedit
