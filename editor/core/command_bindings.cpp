// The procedures of the commands that the core carries out, paired with their names.
#include "editor/core/command_table.h"
#include "editor/core/documents.h"
#include "editor/core/file_save.h"
#include "editor/core/macro.h"
#include "editor/core/undo.h"

void BindCoreCommands(int (*set)(const char* name, CommandFunction function)) {
    struct Pair {
        const char* name;
        CommandFunction function;
    };
    static const Pair kCore[] = {
        {"new_file", [] { new_file(); }},
        {"open_file", [] { open_file(); }},
        {"revert", [] { revert(); }},
        {"save_file", [] { save_file(); }},
        {"save_all", [] { save_all(); }},
        {"save_file_close_window", [] { save_file_close_window(); }},
        {"toggle_backup", toggle_backup},
        {"undo", undo},
        {"record_macro", record_macro},
        {"play_macro", play_macro},
    };
    for (const Pair& pair : kCore) {
        set(pair.name, pair.function);
    }
}
