// The suite's configuration manager: numbered option values read from the options file of an
// installation directory.
//
// The options file is "fvoptions.ini" in the directory given to FVConfigFilesInit; its section
// [Options] holds one line per option, "number=value", with decimal or 0x-prefixed hexadecimal
// values (negative decimal values are allowed).
#pragma once

inline constexpr const char* FV_OPTIONS_FILE_NAME = "fvoptions.ini";
inline constexpr const char* FV_OPTIONS_SECTION = "Options";

// Opens the configuration of `directory` (the second directory is where a per-user
// configuration would live; it is accepted and ignored). Returns 1 on success, 0 for a null or
// empty directory. A second call replaces the first directory.
int FVConfigFilesInit(const char* directory, const char* userDirectory);
// Closes what the matching FVConfigFilesInit opened. Returns 1, or 0 when nothing was open.
int FVConfigFilesTerminate(int reserved1, int reserved2);

// Stores option `optionNumber` (or `defaultValue` when the configuration is not open, the file or
// the option is missing, or its value does not fit) in the `size` bytes at `value`, as a
// little-endian integer of 1, 2, 4 or 8 bytes. Returns 1 when the option was found, 0 when the
// default was stored, -1 when nothing could be stored (null pointer or another size).
int FVRegGetOptionValue(int optionNumber, int size, void* value, long long defaultValue);
