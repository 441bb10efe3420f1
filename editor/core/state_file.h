// The editor's saved state: one binary file per user holding the settings, the history lists
// and, when "restore session" is on, the open documents with their positions. It is read at
// start-up and rewritten whole when the editor ends.
//
// Layout (little-endian): a 160-byte header at 0, the configuration block (1388 bytes) at 256,
// the seven history lists (1280 bytes each) at 2048, open-file records (140 bytes each) from
// 12288 to the end of the file.
#pragma once

#include <cstddef>
#include <vector>

#include "editor/core/editor_settings.h"

inline constexpr std::size_t STATE_HEADER_SIZE = 160;
inline constexpr std::size_t STATE_CONFIG_OFFSET = 256;
inline constexpr std::size_t STATE_CONFIG_SIZE = 1388;
inline constexpr std::size_t STATE_HISTORY_OFFSET = 2048;
inline constexpr std::size_t STATE_RECORDS_OFFSET = 12288;
inline constexpr std::size_t STATE_RECORD_SIZE = 140;
inline constexpr std::size_t STATE_RECORD_NAME_SIZE = 80;
inline constexpr std::size_t USER_ID_SIZE = 7;  // at most 6 characters

// The user id (key "UserID" of section "Farvane" in "FARV.INI"), read on first use; characters
// that would lead out of the state folder ('/', '\\', a leading '.') become '_'.
const char* EditorUserId();
// Sets the user id (null reads it again on next use).
void SetEditorUserId(const char* id);
// The state file: the state folder, "/FV", the user id and ".EDT". Returns 1, or 0 when no
// state folder could be had.
int StateFileName(char* path, std::size_t size);
// The default keyboard configuration file: "DEFAULT.KEY" in the state folder (the program's
// directory when it is writable). Empty when the name would not fit the setting.
void DefaultKeyFileName(char* path, std::size_t size);

// Settings, recent files and histories as they are when there is no state file.
void ResetEditorSettings();

// The configuration block as bytes (STATE_CONFIG_SIZE), from the settings and recent files.
void EncodeConfiguration(const EditorSettings& settings, unsigned char* block);
// Settings and recent files from a configuration block. Text fields are read within their
// bounds; values that the editor cannot work with (a tab size outside 1-16, a right margin
// outside 32-512, undo levels outside 0-300, an unknown font or cursor) take their defaults.
void DecodeConfiguration(const unsigned char* block, EditorSettings& settings);
// The 12288-byte image of header, configuration and histories.
std::vector<unsigned char> BuildStateImage();

// Reads the configuration and the histories at start-up; a missing or damaged file gives the
// defaults. The search commands take the saved switches and the most recent pattern.
void RestoreDefaults();
// The settings that the editing commands keep in their own state take the settings' values.
void ApplySettingsToCommands();
// Reopens the documents saved with the state. Returns 1 when the records were read, else 0.
int RestoreFiles();
// Writes the state (not in print mode). Returns 1 when written; a failure keeps the old file.
int SaveEditorState();
