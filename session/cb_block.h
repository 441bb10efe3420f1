// The CB block: the item block that the host shares between the session library, the host
// pilot, the video scanner and, on some platforms, the host's kernel driver. Items sit at fixed
// offsets (a layout contract); words and double words are little-endian and may sit at odd
// offsets. Parties read and read-modify-write single items without a lock.
#pragma once

#include <cstddef>
#include <cstdint>

// Size of a local block (used when no host device shares one).
inline constexpr std::size_t kCBBlockSize = 9598;

// Bytes 33 to 36 of the block: the session items, set idle at start-up and at every release.
inline constexpr std::size_t kCBSessionItemsFirst = 33;
inline constexpr std::size_t kCBSessionItemsLast = 36;
inline constexpr unsigned char kCBSessionItemIdle = 2;

// Numbers of the items the video scanner uses.
inline constexpr std::uint16_t kCBSessionStatus = 74;       // byte; kSessionStatusUp must be set
inline constexpr std::uint16_t kCBCompressionHint = 80;     // byte; read at a video start, not used
inline constexpr std::uint16_t kCBVideoState = 99;          // byte; the kVideo* bits below
inline constexpr std::uint16_t kCBSessionReady = 125;       // byte; must be non-zero
inline constexpr std::uint16_t kCBVideoVersion = 128;       // byte; set at each video start
inline constexpr std::uint16_t kCBReducedColourMode = 155;  // byte; read only
inline constexpr std::uint16_t kCBScreenWidth = 36;         // word
inline constexpr std::uint16_t kCBDeviceColours = 39;       // word
inline constexpr std::uint16_t kCBBitmapRequest = 45;       // word; non-zero starts the cells
inline constexpr std::uint16_t kCBRemoteOptions = 48;       // word; the other side's options
inline constexpr std::uint16_t kCBScreenHeight = 56;        // word
inline constexpr std::uint16_t kCBRemoteCapabilities = 57;  // word; the other side's capabilities
inline constexpr std::uint16_t kCBUnused154 = 154;          // double word

struct CBItemLayout {
    std::uint16_t number;
    unsigned width;  // bytes
    std::size_t offset;
    bool writable;  // by the scanner
};

inline constexpr CBItemLayout kCBItems[] = {
    {kCBSessionStatus, 1, 16, true},  {kCBCompressionHint, 1, 238, true},
    {kCBVideoState, 1, 18, true},     {kCBSessionReady, 1, 188, true},
    {kCBVideoVersion, 1, 187, true},  {kCBReducedColourMode, 1, 9595, false},
    {kCBScreenWidth, 2, 167, true},   {kCBDeviceColours, 2, 165, true},
    {kCBBitmapRequest, 2, 191, true}, {kCBRemoteOptions, 2, 189, true},
    {kCBScreenHeight, 2, 169, true},  {kCBRemoteCapabilities, 2, 183, true},
    {kCBUnused154, 4, 9591, true},
};

// The item of that number and width, or null.
constexpr const CBItemLayout* FindCBItem(std::uint16_t number, unsigned width) {
    for (const CBItemLayout& item : kCBItems) {
        if (item.number == number && item.width == width) {
            return &item;
        }
    }
    return nullptr;
}

// The offset of an item the scanner uses (item numbers are unique in the table).
constexpr std::size_t CBItemOffset(std::uint16_t number) {
    for (const CBItemLayout& item : kCBItems) {
        if (item.number == number) {
            return item.offset;
        }
    }
    return kCBBlockSize;
}

// Bit of item 74.
inline constexpr std::uint8_t kSessionStatusUp = 0x04;

// Bits of item 99.
inline constexpr std::uint8_t kVideoAvailable = 0x01;
inline constexpr std::uint8_t kVideoRunning = 0x08;
inline constexpr std::uint8_t kVideoStarted = 0x10;
inline constexpr std::uint8_t kVideoBlocked = 0x20;
inline constexpr std::uint8_t kVideoChecked = 0x40;
inline constexpr std::uint8_t kVideoWanted = 0x80;
