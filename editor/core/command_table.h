// The editor's named commands: 93 names (string resources 160 to 252, in this order), each
// paired with the procedure that carries it out. Key slots, key files and the Key Assignments
// dialog refer to commands by these entries. `test_batch` has a name but no command.
//
// The core fills in the commands it implements; the user interface sets the rest
// (window arrangement, help, printing...) with SetCommandFunction at start-up. A command whose
// procedure nobody has set runs command_not_available.
#pragma once

#include <cstddef>

#include "platform/kernel/win_types.h"

inline constexpr int COMMAND_COUNT = 93;
inline constexpr UINT IDS_FIRST_COMMAND_NAME = 160;
inline constexpr std::size_t COMMAND_NAME_SIZE = 48;  // at most 47 characters

using CommandFunction = void (*)();

struct EditorCommand {
    const char* name;
    CommandFunction function;  // null only for test_batch
};

// The entry of a command by its position in the table (0 to 92), or null.
const EditorCommand* CommandAt(int index);
// Case-insensitive lookup; null for an unknown name and for test_batch.
const EditorCommand* FindCommandByName(const char* name);
// The name of a command ("" for null).
const char* CommandNameOf(const EditorCommand* command);
// Runs the command's procedure.
void RunCommand(const EditorCommand* command);
// Sets the procedure of a named command. Returns 1, or 0 for an unknown name.
int SetCommandFunction(const char* name, CommandFunction function);
// Whether the command still runs command_not_available.
bool CommandIsPlaceholder(const EditorCommand* command);

// What a command without an implementation does: a beep and "Command not available".
void command_not_available();
