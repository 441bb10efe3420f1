// The start of a service program: the windowing layer, the command line, the shell.
#pragma once

#include "services/shell/service_module.h"

// Starts the windowing layer (a display if there is one, headless otherwise), joins the
// arguments into one command line and runs the shell. Returns the exit code.
int RunServiceProgram(const ServiceModule& module, int argc, char** argv);
