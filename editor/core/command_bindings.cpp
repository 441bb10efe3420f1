// The procedures of the commands that the core carries out, paired with their names.
#include "editor/core/command_table.h"
#include "editor/core/cursor_commands.h"
#include "editor/core/documents.h"
#include "editor/core/editing_commands.h"
#include "editor/core/file_compare.h"
#include "editor/core/file_save.h"
#include "editor/core/find_files.h"
#include "editor/core/find_replace.h"
#include "editor/core/macro.h"
#include "editor/core/undo.h"

namespace {

struct Pair {
    const char* name;
    CommandFunction function;
};

constexpr Pair kFileCommands[] = {
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
    {"find", find},
    {"find_again", find_again},
    {"replace", replace},
    {"compare", compare},
    {"find_files_containing", find_files_containing},
    {"list_files_containing", list_files_containing},
};

constexpr Pair kEditingCommands[] = {
    {"backspace", backspace},
    {"change_case", change_case},
    {"copy", copy},
    {"copy_block", copy_block_command},
    {"copy_line", copy_line},
    {"cut", cut},
    {"cut_block", cut_block_command},
    {"cut_line", cut_line},
    {"delete", delete_char},
    {"delete_line", delete_line},
    {"delete_to_eol", delete_to_eol},
    {"delete_word_left", delete_word_left},
    {"delete_word_right", delete_word_right},
    {"enter", enter},
    {"lowercase", lowercase},
    {"paste", paste},
    {"split_line", split_line},
    {"stamp", stamp},
    {"tab_right", tab_right},
    {"toggle_insert", toggle_insert},
    {"toggle_wordwrap", toggle_wordwrap},
    {"uppercase", uppercase},
    {"wrap_para", wrap_para},
};

constexpr Pair kCursorCommands[] = {
    {"beginning_of_buffer", beginning_of_buffer},
    {"beginning_of_line", beginning_of_line},
    {"bottom_of_window", bottom_of_window},
    {"cursor_down", cursor_down},
    {"cursor_left", cursor_left},
    {"cursor_right", cursor_right},
    {"cursor_up", cursor_up},
    {"end_of_line", end_of_line},
    {"end_of_buffer", end_of_buffer},
    {"goto_line", goto_line},
    {"page_up", page_up},
    {"page_down", page_down},
    {"select_all", select_all},
    {"select_char_left", select_char_left},
    {"select_char_right", select_char_right},
    {"select_line", select_line},
    {"select_line_up", select_line_up},
    {"select_line_down", select_line_down},
    {"select_page_down", select_page_down},
    {"select_page_up", select_page_up},
    {"select_to_top", select_to_top},
    {"select_to_bol", select_to_bol},
    {"select_to_end", select_to_end},
    {"select_to_eol", select_to_eol},
    {"select_word", select_word},
    {"select_word_left", select_word_left},
    {"select_word_right", select_word_right},
    {"to_bottom", to_bottom},
    {"to_center", to_center},
    {"to_top", to_top},
    {"top_of_window", top_of_window},
    {"unmark_block", unmark_block},
    {"window_down", window_down},
    {"window_up", window_up},
    {"word_left", word_left},
    {"word_right", word_right},
};

}  // namespace

void BindCoreCommands(int (*set)(const char* name, CommandFunction function)) {
    for (const Pair& pair : kFileCommands) {
        set(pair.name, pair.function);
    }
    for (const Pair& pair : kEditingCommands) {
        set(pair.name, pair.function);
    }
    for (const Pair& pair : kCursorCommands) {
        set(pair.name, pair.function);
    }
}
