// Numbers of the CB block items the scanner uses, and the bits of the ones it tests.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr WORD kCBSessionStatus = 74;       // byte; bit 2 must be set
inline constexpr WORD kCBCompressionHint = 80;     // byte; read at a video start, not used
inline constexpr WORD kCBVideoState = 99;          // byte; video state flags
inline constexpr WORD kCBSessionReady = 125;       // byte; must be non-zero
inline constexpr WORD kCBVideoVersion = 128;       // byte; 18 at each video start
inline constexpr WORD kCBReducedColourMode = 155;  // byte; read only
inline constexpr WORD kCBScreenWidth = 36;         // word
inline constexpr WORD kCBDeviceColours = 39;       // word; 257 for more than 256
inline constexpr WORD kCBBitmapRequest = 45;       // word; non-zero starts the sending of cells
inline constexpr WORD kCBRemoteOptions = 48;       // word; bit 5 asks for the background
inline constexpr WORD kCBScreenHeight = 56;        // word
inline constexpr WORD kCBRemoteCapabilities = 57;  // word
inline constexpr WORD kCBUnused154 = 154;          // double word

// Bits of item 99.
inline constexpr BYTE kVideoWanted = 0x80;
inline constexpr BYTE kVideoBlocked = 0x20;
inline constexpr BYTE kVideoChecked = 0x40;
inline constexpr BYTE kVideoRunning = 0x08;
inline constexpr BYTE kVideoStarted = 0x10;
inline constexpr BYTE kVideoAvailable = 0x01;

inline constexpr BYTE kVideoVersion = 18;
