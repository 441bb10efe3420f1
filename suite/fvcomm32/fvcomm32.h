// The suite's common services: for now the computer name.
#pragma once

// Copies the computer name into `buffer` (at most size - 1 characters and the terminator;
// a longer name is cut). Returns 1 on success and 0 on failure (no buffer, size below 2, or no
// name to be had); on failure the buffer is left empty when it has room for the terminator.
int GetFVComputerName(char* buffer, int size);

// Replaces the name the system reports, for tests: a name to report, or null to report failure.
// FVCommResetComputerName goes back to the system's name.
void FVCommOverrideComputerName(const char* name);
void FVCommResetComputerName();
