// Texts that the preferences dialogs, the key assignments and the macro recorder show.
#pragma once

inline constexpr const char* TXT_INVALID_ENTRY = "Invalid entry";
inline constexpr const char* TXT_UNDO_LEVELS_RANGE = "Undo levels must be in the range 0-300.";
inline constexpr const char* TXT_TAB_SPACING_RANGE = "Tab spacing must be in the range 1-16.";
inline constexpr const char* TXT_RIGHT_MARGIN_RANGE = "Right margin must be in the range 32-512.";

inline constexpr const char* TXT_FILE_DOES_NOT_EXIST = "File does not exist";
inline constexpr const char* TXT_INVALID_KEY_FILE = "Invalid keyboard configuration file";
inline constexpr const char* TXT_KEY_FILE_WRITE_ERROR =
    "Unable to write keyboard configuration file.";
inline constexpr const char* TXT_WRITE_SUCCESSFUL = "Write successful";
inline constexpr const char* TXT_ERROR_CAPTION = "Error";
inline constexpr const char* TXT_INVALID_KEY_NAME = "Invalid key name";
inline constexpr const char* TXT_INVALID_FUNCTION_NAME = "Invalid function name";
inline constexpr const char* TXT_INVALID_FILE_NAME = "Invalid file name";
inline constexpr const char* TXT_NO_FILE_NAME = "No file name specified";
inline constexpr const char* TXT_INSUFFICIENT_MEMORY = "Insufficient memory";
inline constexpr const char* TXT_KEY_ASSIGNMENTS = "Key Assignments";
inline constexpr const char* TXT_KEY_FILE_FILTER = "Kbd. Config. Files|*.key|All Files (*.*)|*.*|";
inline constexpr const char* TXT_DEFAULT_KEY_FILE = "DEFAULT.KEY";

inline constexpr const char* TXT_MACRO_DEFINED = "Keyboard macro defined";
inline constexpr const char* TXT_MACRO_BUFFER_FULL =
    "Macro buffer full; macro definition terminated";
inline constexpr const char* TXT_NO_MACRO = "No macro defined";
inline constexpr const char* TXT_RECORD_MACRO_ITEM = "Record &Macro";
inline constexpr const char* TXT_STOP_RECORDING_ITEM = "&Stop Recording Macro";
inline constexpr const char* TXT_COMMAND_UNAVAILABLE = "Command not available";
