// Access to the CB block items the scanner shares with the session library, the host pilot and,
// on some platforms, the host's kernel driver (session/cb_block.h gives their layout). Every
// access looks the block up afresh through the session, since the host pilot owns it.
#include <atomic>

#include "session/cb_block.h"
#include "session/fv_session.h"
#include "videoscan/video_scan.h"

HOSTDATA* CVideoScan::HostData() {
    return m_pSession ? reinterpret_cast<HOSTDATA*>(m_pSession->GlobalProcData()) : nullptr;
}

bool CVideoScan::HasCBBlock() {
    HOSTDATA* host = HostData();
    return host != nullptr && host->CBBlock != nullptr;
}

BYTE* CVideoScan::CBItemAddress(WORD number, unsigned width, bool forWriting) {
    const CBItemLayout* item = FindCBItem(number, width);
    if (item == nullptr || (forWriting && !item->writable)) {
        return nullptr;
    }
    HOSTDATA* host = HostData();
    if (host == nullptr || host->CBBlock == nullptr) {
        return nullptr;
    }
    return host->CBBlock + item->offset;
}

// Items are little-endian and may sit at odd offsets, so they are moved byte by byte. Other
// parties change the block at any time without a lock: each byte is one relaxed atomic access.
namespace {

DWORD ReadBytes(BYTE* address, unsigned width) {
    DWORD value = 0;
    for (unsigned i = 0; i < width; ++i) {
        value |=
            static_cast<DWORD>(std::atomic_ref<BYTE>(address[i]).load(std::memory_order_relaxed))
            << (8 * i);
    }
    return value;
}

void WriteBytes(BYTE* address, unsigned width, DWORD value) {
    for (unsigned i = 0; i < width; ++i) {
        std::atomic_ref<BYTE>(address[i])
            .store(static_cast<BYTE>(value >> (8 * i)), std::memory_order_relaxed);
    }
}

}  // namespace

BYTE CVideoScan::GetCBItemByte(WORD item) {
    BYTE* address = CBItemAddress(item, 1, false);
    return address ? static_cast<BYTE>(ReadBytes(address, 1)) : 0;
}

WORD CVideoScan::GetCBItemWord(WORD item) {
    BYTE* address = CBItemAddress(item, 2, false);
    return address ? static_cast<WORD>(ReadBytes(address, 2)) : 0;
}

DWORD CVideoScan::GetCBItemDoubleWord(WORD item) {
    BYTE* address = CBItemAddress(item, 4, false);
    return address ? ReadBytes(address, 4) : 0;
}

void CVideoScan::SetCBItemByte(WORD item, BYTE value) {
    if (BYTE* address = CBItemAddress(item, 1, true)) {
        WriteBytes(address, 1, value);
    }
}

void CVideoScan::SetCBItemWord(WORD item, WORD value) {
    if (BYTE* address = CBItemAddress(item, 2, true)) {
        WriteBytes(address, 2, value);
    }
}

void CVideoScan::SetCBItemDoubleWord(WORD item, DWORD value) {
    if (BYTE* address = CBItemAddress(item, 4, true)) {
        WriteBytes(address, 4, value);
    }
}
