// Action codes that the host pilot's action function understands, and those it sends.
#pragma once

#include <cstdint>

#include "session/fv_session.h"  // ACT_STEP_DONE

inline constexpr std::int32_t ACT_START = 3;           // start the host; LParam != 0: call out
inline constexpr std::int32_t ACT_CANCEL = 4;          // release the line unless held
inline constexpr std::int32_t ACT_FAIL = 6;            // end the host
inline constexpr std::int32_t ACT_QUIT = 9;            // end the host
inline constexpr std::int32_t ACT_MENU_COMMAND = 12;   // a host menu command; Param: item id
inline constexpr std::int32_t ACT_RELEASE_LINE = 201;  // to PROC_CONNECT: release the line

inline constexpr std::int32_t HP_HANGUP = 601;        // release the line
inline constexpr std::int32_t HP_WAIT = 602;          // wait for (or place) a connection
inline constexpr std::int32_t HP_CONNECTED = 603;     // a connection stands: admit the caller
inline constexpr std::int32_t HP_WAIT_NORMAL = 605;   // wait in mode 1
inline constexpr std::int32_t HP_RETRY_LATER = 606;   // wait again in 30 seconds
inline constexpr std::int32_t HP_RETRY_NOW = 607;     // the retry time has come
inline constexpr std::int32_t HP_END = 608;           // end the host
inline constexpr std::int32_t HP_HOST_SESSION = 807;  // run the host session

// Code with which the host pilot starts another processor's step.
inline constexpr std::int32_t HP_STEP_START = 3;

// Source given on the end action after a failed start.
inline constexpr std::int32_t HP_FAILED_START_SOURCE = 3;

// Items of the host menu (ACT_MENU_COMMAND's Param).
inline constexpr std::uint32_t HP_MENU_WAIT = 1;       // "Wait for Connection"
inline constexpr std::uint32_t HP_MENU_CALL = 2;       // "Call Remote"
inline constexpr std::uint32_t HP_MENU_EXIT_HOST = 3;  // "Exit Host"

// Admission modes given to PROC_ADMIT.
inline constexpr std::uint32_t HP_ADMIT_NORMAL = 1;
inline constexpr std::uint32_t HP_ADMIT_MODE_2 = 2;
inline constexpr std::uint32_t HP_ADMIT_AFTER_ANSWER = 4;

// Timer delays (milliseconds) and their second times.
inline constexpr std::uint32_t HP_RETRY_DELAY_MS = 30000;
inline constexpr std::uint32_t HP_RETRY_PERIOD_MS = 10000;
inline constexpr std::uint32_t HP_SCREEN_SAVER_DELAY_MS = 15000;
inline constexpr std::uint32_t HP_SCREEN_SAVER_PERIOD_MS = 1000;

// Option number that asks a host running as a system service to keep away from the desktop.
inline constexpr int HP_OPTION_NO_INTERFACE = 10;
