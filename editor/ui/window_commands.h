// The window commands (new_window, next_window, prev_window, cascade, tile, arrange icons,
// zoom_window, restore_window, close_window, exit and the exit variants) and the binding of
// every command name that the user interface carries out.
#pragma once

namespace fvedit {

void new_window();
void next_window();
void prev_window();
void cascade();
void tile();
void arrange_icons();
void zoom_window();
void restore_window();
void close_window();
void exit_editor();  // the command table's "exit"
void exit_windows();
void save_all_exit();
void save_all_exit_windows();

// Sets the procedures of the window, dialog and help commands in the command table.
void BindWindowCommands();

}  // namespace fvedit
