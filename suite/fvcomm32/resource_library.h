// Ids of the suite's shared resource library that its programs name.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr UINT IDS_SETTINGS_KEY = 2054;      // the programs' settings key
inline constexpr UINT IDS_HELP_FILE_SUFFIX = 1274;  // appended to the help file name
inline constexpr UINT IDR_REMOTE_TEMPLATE = 9500;   // remote control module
inline constexpr UINT IDR_ONLINE_TEMPLATE = 9600;   // online module
inline constexpr UINT IDD_ABOUT_BOX = 100;          // About dialog
inline constexpr UINT ID_SESSION_DOCUMENT = 32806;  // document command of those modules
