// The remote bitmap cache: which cell contents the other side holds, by checksum, and where.
#include <algorithm>
#include <cstring>

#include "platform/kernel/tick.h"
#include "session/cb_block.h"
#include "videoscan/video_scan.h"

void CVideoScan::CacheClear() {
    std::memset(m_CacheKeys, 0, sizeof m_CacheKeys);
    std::memset(m_CacheStamps, 0, sizeof m_CacheStamps);
    m_CacheCapacity = 0;
    m_CacheNextSlot = 0;
    m_CacheBase = 0;
    m_bCacheWrapped = FALSE;
}

// Sizes the cache from the capability word: bits 3..0 count units of 4 KB, or of 64 KB with
// bit 15 (twice that with bit 5 as well). Slots are sized for the largest a cell can be on the
// wire at this depth and reduced colour mode.
void CVideoScan::SizeBitmapCache() {
    m_CacheCapacity = 0;
    const WORD capabilities = GetCBItemWord(kCBRemoteCapabilities);
    m_CacheBudget = videowire::CacheBudget(capabilities);
    if (m_CacheBudget == 0) {
        return;
    }
    DWORD estimatedRowBytes = m_RowBytes;
    if (m_BitsPerPixel >= 16) {
        estimatedRowBytes = m_RowBytes / (m_BitsPerPixel / 8u);
    } else if (m_BitsPerPixel >= 8) {
        switch (m_ReducedColourMode) {
            case 1:
                estimatedRowBytes = (m_RowBytes + 7u) / 8u;
                break;
            case 2:
                estimatedRowBytes = (m_RowBytes + 3u) / 4u;
                break;
            case 3:
                estimatedRowBytes = (m_RowBytes + 1u) / 2u;
                break;
            default:
                break;
        }
    }
    const auto entrySize = static_cast<WORD>(m_Planes * m_CellHeight * estimatedRowBytes);
    if (entrySize == 0) {
        return;  // no cell bitmap: nothing is ever sent
    }
    m_CacheCapacity = static_cast<WORD>(std::min<DWORD>(m_CacheBudget / entrySize, kMaxCells));
}

int CVideoScan::CheckForRepeatedBitmap(DWORD checksum, DWORD* offset, WORD rowBytes) {
    *offset = 0;
    if (m_CacheCapacity == 0) {
        return 0;
    }
    const DWORD entrySize = static_cast<DWORD>(m_Planes) * m_CellHeight * rowBytes;
    const WORD searched = m_bCacheWrapped ? m_CacheCapacity : m_CacheNextSlot;
    int result = 0;
    WORD slot = 0;
    for (; slot < searched; ++slot) {
        if (m_CacheKeys[slot] == checksum) {
            break;
        }
    }
    if (slot < searched) {
        *offset = slot * entrySize;
        m_CacheStamps[slot] = GetTickCount();
        result = 1;
    } else {
        if (m_bCacheWrapped || m_CacheNextSlot >= m_CacheCapacity) {
            // Replace the least recently used slot (the lowest among equal stamps).
            m_bCacheWrapped = TRUE;
            WORD oldest = 0;
            for (WORD candidate = 1; candidate < m_CacheCapacity; ++candidate) {
                if (m_CacheStamps[candidate] < m_CacheStamps[oldest]) {
                    oldest = candidate;
                }
            }
            m_CacheNextSlot = oldest;
        }
        m_CacheKeys[m_CacheNextSlot] = checksum;
        m_CacheStamps[m_CacheNextSlot] = GetTickCount();
        *offset = m_CacheNextSlot * entrySize;
        ++m_CacheNextSlot;
    }
    if (GetCBItemWord(kCBRemoteCapabilities) & videowire::kCapCacheOffsetPlus4) {
        *offset += videowire::kCacheOffsetBias;
    }
    return result;
}
