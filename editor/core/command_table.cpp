#include "editor/core/command_table.h"

#include <strings.h>

#include "editor/core/settings_texts.h"
#include "editor/core/ui_services.h"

namespace {

EditorCommand commands[COMMAND_COUNT] = {
    {"about", nullptr},
    {"backspace", nullptr},
    {"batch_help", nullptr},
    {"beginning_of_buffer", nullptr},
    {"beginning_of_line", nullptr},
    {"bottom_of_window", nullptr},
    {"cascade", nullptr},
    {"change_case", nullptr},
    {"close_window", nullptr},
    {"compare", nullptr},
    {"copy", nullptr},
    {"copy_block", nullptr},
    {"copy_line", nullptr},
    {"cursor_down", nullptr},
    {"cursor_left", nullptr},
    {"cursor_right", nullptr},
    {"cursor_up", nullptr},
    {"cut", nullptr},
    {"cut_block", nullptr},
    {"cut_line", nullptr},
    {"delete", nullptr},
    {"delete_line", nullptr},
    {"delete_to_eol", nullptr},
    {"delete_word_left", nullptr},
    {"delete_word_right", nullptr},
    {"document_preferences", nullptr},
    {"editor_help", nullptr},
    {"end_of_line", nullptr},
    {"end_of_buffer", nullptr},
    {"enter", nullptr},
    {"exit", nullptr},
    {"exit_windows", nullptr},
    {"find", nullptr},
    {"find_again", nullptr},
    {"find_files_containing", nullptr},
    {"goto_line", nullptr},
    {"list_files_containing", nullptr},
    {"lowercase", nullptr},
    {"new_file", nullptr},
    {"new_window", nullptr},
    {"next_window", nullptr},
    {"open_file", nullptr},
    {"page_up", nullptr},
    {"page_down", nullptr},
    {"paste", nullptr},
    {"play_macro", nullptr},
    {"prev_window", nullptr},
    {"print", nullptr},
    {"record_macro", nullptr},
    {"replace", nullptr},
    {"restore_window", nullptr},
    {"revert", nullptr},
    {"save_all", nullptr},
    {"save_all_exit", nullptr},
    {"save_all_exit_windows", nullptr},
    {"save_file", nullptr},
    {"save_file_close_window", nullptr},
    {"select_all", nullptr},
    {"select_char_left", nullptr},
    {"select_char_right", nullptr},
    {"select_line", nullptr},
    {"select_line_up", nullptr},
    {"select_line_down", nullptr},
    {"select_page_down", nullptr},
    {"select_page_up", nullptr},
    {"select_to_top", nullptr},
    {"select_to_bol", nullptr},
    {"select_to_end", nullptr},
    {"select_to_eol", nullptr},
    {"select_word", nullptr},
    {"select_word_left", nullptr},
    {"select_word_right", nullptr},
    {"split_line", nullptr},
    {"stamp", nullptr},
    {"tab_right", nullptr},
    {"test_batch", nullptr},
    {"tile", nullptr},
    {"to_bottom", nullptr},
    {"to_center", nullptr},
    {"to_top", nullptr},
    {"toggle_backup", nullptr},
    {"toggle_insert", nullptr},
    {"toggle_wordwrap", nullptr},
    {"top_of_window", nullptr},
    {"undo", nullptr},
    {"unmark_block", nullptr},
    {"uppercase", nullptr},
    {"window_down", nullptr},
    {"window_up", nullptr},
    {"word_left", nullptr},
    {"word_right", nullptr},
    {"wrap_para", nullptr},
    {"zoom_window", nullptr},
};

constexpr const char* kNoCommand = "test_batch";

EditorCommand* FindEntry(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (EditorCommand& command : commands) {
        if (strcasecmp(command.name, name) == 0) {
            return &command;
        }
    }
    return nullptr;
}

}  // namespace

// Fills in the procedures of the commands that the core carries out (command_bindings.cpp)
// through set, which takes a name and a procedure.
void BindCoreCommands(int (*set)(const char* name, CommandFunction function));

namespace {

int SetFunction(const char* name, CommandFunction function) {
    EditorCommand* command = FindEntry(name);
    if (command == nullptr || function == nullptr || strcasecmp(name, kNoCommand) == 0) {
        return 0;
    }
    command->function = function;
    return 1;
}

bool BindOnce() {
    for (EditorCommand& command : commands) {
        if (strcasecmp(command.name, kNoCommand) != 0) {
            command.function = command_not_available;
        }
    }
    BindCoreCommands(SetFunction);
    return true;
}

void EnsureBound() {
    static const bool bound = BindOnce();
    (void)bound;
}

}  // namespace

const EditorCommand* CommandAt(int index) {
    EnsureBound();
    return index >= 0 && index < COMMAND_COUNT ? &commands[index] : nullptr;
}

const EditorCommand* FindCommandByName(const char* name) {
    EnsureBound();
    const EditorCommand* command = FindEntry(name);
    return command != nullptr && command->function != nullptr ? command : nullptr;
}

const char* CommandNameOf(const EditorCommand* command) {
    return command != nullptr ? command->name : "";
}

void RunCommand(const EditorCommand* command) {
    if (command != nullptr && command->function != nullptr) {
        command->function();
    }
}

int SetCommandFunction(const char* name, CommandFunction function) {
    EnsureBound();
    return SetFunction(name, function);
}

bool CommandIsPlaceholder(const EditorCommand* command) {
    return command != nullptr && command->function == command_not_available;
}

void command_not_available() {
    Ui().Beep();
    Ui().SetStatus(TXT_COMMAND_UNAVAILABLE, false);
}
