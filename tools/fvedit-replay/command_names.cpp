#include "command_names.h"

#include <algorithm>
#include <map>

#include "editor/core/cursor_commands.h"
#include "editor/core/documents.h"
#include "editor/core/editing_commands.h"
#include "editor/core/file_save.h"
#include "editor/core/find_replace.h"
#include "editor/core/undo.h"

namespace {

void save_file_command() {
    save_file();
}
void save_all_command() {
    save_all();
}
void insert_file_command() {
    insert_file();
}
void write_block_command() {
    write_block();
}
void revert_command() {
    revert();
}

const std::map<std::string, CommandProcedure>& Table() {
    static const std::map<std::string, CommandProcedure> table = {
        {"backspace", backspace},
        {"beginning_of_buffer", beginning_of_buffer},
        {"beginning_of_line", beginning_of_line},
        {"bottom_of_window", bottom_of_window},
        {"change_case", change_case},
        {"copy", copy},
        {"copy_block", copy_block_command},
        {"copy_line", copy_line},
        {"cursor_down", cursor_down},
        {"cursor_left", cursor_left},
        {"cursor_right", cursor_right},
        {"cursor_up", cursor_up},
        {"cut", cut},
        {"cut_block", cut_block_command},
        {"cut_line", cut_line},
        {"delete", delete_char},
        {"delete_line", delete_line},
        {"delete_to_eol", delete_to_eol},
        {"delete_word_left", delete_word_left},
        {"delete_word_right", delete_word_right},
        {"end_of_buffer", end_of_buffer},
        {"end_of_line", end_of_line},
        {"enter", enter},
        {"find", find},
        {"find_again", find_again},
        {"goto_line", goto_line},
        {"insert_file", insert_file_command},
        {"lowercase", lowercase},
        {"page_down", page_down},
        {"page_up", page_up},
        {"paste", paste},
        {"replace", replace},
        {"revert", revert_command},
        {"save_all", save_all_command},
        {"save_file", save_file_command},
        {"select_all", select_all},
        {"select_char_left", select_char_left},
        {"select_char_right", select_char_right},
        {"select_line", select_line},
        {"select_line_down", select_line_down},
        {"select_line_up", select_line_up},
        {"select_page_down", select_page_down},
        {"select_page_up", select_page_up},
        {"select_to_bol", select_to_bol},
        {"select_to_end", select_to_end},
        {"select_to_eol", select_to_eol},
        {"select_to_top", select_to_top},
        {"select_word", select_word},
        {"select_word_left", select_word_left},
        {"select_word_right", select_word_right},
        {"split_line", split_line},
        {"stamp", stamp},
        {"tab_right", tab_right},
        {"to_bottom", to_bottom},
        {"to_center", to_center},
        {"to_top", to_top},
        {"toggle_insert", toggle_insert},
        {"toggle_wordwrap", toggle_wordwrap},
        {"top_of_window", top_of_window},
        {"undo", undo},
        {"unmark_block", unmark_block},
        {"uppercase", uppercase},
        {"window_down", window_down},
        {"window_up", window_up},
        {"word_left", word_left},
        {"word_right", word_right},
        {"wrap_para", wrap_para},
        {"write_block", write_block_command},
    };
    return table;
}

}  // namespace

CommandProcedure FindCommand(const std::string& name) {
    auto found = Table().find(name);
    return found != Table().end() ? found->second : nullptr;
}

std::vector<std::string> CommandNames() {
    std::vector<std::string> names;
    for (const auto& entry : Table()) {
        names.push_back(entry.first);
    }
    return names;
}
