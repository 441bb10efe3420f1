// Keyboard configuration files (.key): the keyboard mode and the bound slots as pairs of key
// name and command name. Little-endian:
//   0   18 bytes  signature, NUL-padded: "Quillpad 2.0" (written and read) or
//                 "Lowtide Editor" (older files, read only)
//   18  4 bytes   keyboard mode
//   22  records   key name (48 bytes) and command name (48 bytes), NUL-padded; in older files
//                 key name 18 bytes and command name 32 bytes
#pragma once

#include <cstddef>

inline constexpr std::size_t KEY_FILE_SIGNATURE_SIZE = 18;
inline constexpr std::size_t KEY_FILE_HEADER_SIZE = 22;
inline constexpr const char* KEY_FILE_SIGNATURE = "Quillpad 2.0";
inline constexpr const char* KEY_FILE_OLD_SIGNATURE = "Lowtide Editor";
inline constexpr std::size_t OLD_KEY_NAME_SIZE = 18;
inline constexpr std::size_t OLD_COMMAND_NAME_SIZE = 32;

// Reads the file into the key table: the mode becomes the current keyboard mode (applied at
// the next ApplyKeyboardMode), every slot loses its command, then each record binds its key.
// Keys without a name in the current accelerator table and unknown commands are skipped; a
// record cut short ends the reading. An empty path does nothing. A file that cannot be opened
// is reported only with reportMissing. Returns 1 when the file was read.
int LoadKeyFile(const char* path, bool reportMissing);
// Writes the keyboard mode and every slot with a command, in slot order, replacing the file
// whole; a failure leaves the old file as it was. Shows "Write successful" at once when done.
// Returns 1 when written.
int SaveKeyFile(const char* path);
