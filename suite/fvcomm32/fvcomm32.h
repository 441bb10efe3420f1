// The suite's common services: computer name, resource library, help file, program exit.
#pragma once

#include "platform/kernel/win_types.h"

// Copies the computer name into `buffer` (at most size - 1 characters and the terminator;
// a longer name is cut). Returns 1 on success and 0 on failure (no buffer, size below 2, or no
// name to be had); on failure the buffer is left empty when it has room for the terminator.
int GetFVComputerName(char* buffer, int size);

// Replaces the name the system reports, for tests: a name to report, or null to report failure.
// FVCommResetComputerName goes back to the system's name.
void FVCommOverrideComputerName(const char* name);
void FVCommResetComputerName();

// The suite's shared resource library (menus, dialogs, toolbars and strings of the service
// programs): the module handle its resources are registered under, 0 on failure.
HINSTANCE GetResourceInstance();

// Copies string `id` of the resource library into the buffer (cut to fit, always terminated).
// Returns the number of characters copied, 0 when there is no such string.
int GetString(UINT id, char* buffer, int size);

// The help file name. With a null buffer (or size 0) returns the name's length; otherwise
// copies the name (cut to fit, terminated) and returns the count copied.
int HelpFileName(char* buffer, int size);

// The program-exit notification of a service program (module 1 remote control, 5 online,
// 3 gateway): posts "<module> <parameter>" on the notification channel kProgramExitChannel,
// where the suite's main program (or a test) listens. Returns 1 when delivered.
int FVProgramExit(int module, int parameter);
inline constexpr const char* kProgramExitChannel = "FVProgramExit";
