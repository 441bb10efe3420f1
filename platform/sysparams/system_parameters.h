// System-wide user settings with the calls and codes of SystemParametersInfo. For now the screen
// saver's active flag and time-out: on the X server when a display can be opened, else in this
// process's memory (so that headless programs and tests behave the same way).
#pragma once

#include "platform/kernel/win_types.h"

namespace farvane::sysparams {

inline constexpr UINT SPI_GETSCREENSAVETIMEOUT = 14;  // value: int*, seconds
inline constexpr UINT SPI_SETSCREENSAVETIMEOUT = 15;  // param: seconds
inline constexpr UINT SPI_GETSCREENSAVEACTIVE = 16;   // value: BOOL*
inline constexpr UINT SPI_SETSCREENSAVEACTIVE = 17;   // param: TRUE or FALSE
inline constexpr UINT SPIF_UPDATEINIFILE = 1;
inline constexpr UINT SPIF_SENDWININICHANGE = 2;

// Returns TRUE on success; FALSE for an unknown action, a null value pointer on a get, or a
// time-out that the X server refuses.
BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni);

// Where the settings live. Automatic picks the X server when $DISPLAY opens, memory otherwise.
enum class Store { Automatic, Memory };
void UseStore(Store store);
// Sets the in-memory settings (for tests): active flag and time-out in seconds.
void SetMemorySettings(BOOL active, int timeoutSeconds);

}  // namespace farvane::sysparams
