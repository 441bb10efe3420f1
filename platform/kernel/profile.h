// Private-profile INI files with the calls and buffer rules of Win32.
//
// A file name without a '/' or '\' (such as "FARV.INI") names a file in the Windows directory;
// any other name is used as a path. Reading tolerates any content: a missing or unreadable
// file reads as empty. Writing rewrites the file atomically (a temporary file beside it,
// renamed over it), keeps every other line as it was, and creates the file and a missing
// Windows directory when needed. Calls are serialised within the process; two processes that
// write the same file at once may lose one of the two changes.
//
// Section, key and value texts that would change the file's structure are refused by
// WritePrivateProfileStringA with ERROR_INVALID_PARAMETER: line breaks anywhere, '=' in a key,
// ']' in a section name.
#pragma once

#include "platform/kernel/win_types.h"

// The key's value as an unsigned number: decimal or "0x" hex, optionally signed; reading stops
// at the first other character. `defaultValue` when the file, section or key is missing or the
// value is empty.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName);

// Copies the value of `key` (or `defaultValue`, "" when null) into `buffer`, cut to size - 1
// characters; returns the characters copied. A null `section` lists the section names, a null
// `key` the keys of the section, as NUL-terminated strings followed by one more NUL; when the
// list does not fit it is cut and size - 2 is returned.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName);

// Sets the value; a null `value` deletes the key, a null `key` deletes the whole section.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);

// The system settings file (WIN.INI in the Windows directory).
UINT GetProfileIntA(LPCSTR section, LPCSTR key, int defaultValue);
DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size);

// The Windows directory: $FARVANE_WINDIR, else $XDG_CONFIG_HOME/farvane, else
// ~/.config/farvane. Returns the length copied (without the NUL), or the size needed (with the
// NUL) when `size` is too small.
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
