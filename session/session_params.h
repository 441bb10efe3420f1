// The session parameter record that the session library keeps for every session.
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"

// The plain parameter block at the head of every parameter record. Its contents are the session
// library's; the modules only copy it, byte for byte.
struct CSessionParamBlock {
    static constexpr int kSize = 128;
    unsigned char Bytes[kSize] = {};
};

// Layout after the table of virtual operations: the parameter block, texts A to E (26, 261, 25,
// 25 and 31 bytes), the remote drive map (one byte per drive letter A to Z) and IsOnlSvc. The
// texts mean something to the session library only, which fills them (for example with
// SetMyComputerName).
class CSessionParams : public CSessionParamBlock {
public:
    static constexpr int kTextASize = 26;
    static constexpr int kTextBSize = 261;
    static constexpr int kTextCSize = 25;
    static constexpr int kTextDSize = 25;
    static constexpr int kTextESize = 31;
    static constexpr int kDriveMapSize = 26;

    CSessionParams() = default;
    // Copies the parameter block and every text field whole (all bytes, not up to the
    // terminator), the drive map and IsOnlSvc.
    CSessionParams(const CSessionParams& other) = default;
    CSessionParams& operator=(const CSessionParams& other) = default;
    virtual ~CSessionParams() = default;

    // Reports the size of the map in `size` and returns its first byte.
    const unsigned char* RemoteDriveMap(ULONG& size) const {
        size = kDriveMapSize;
        return m_RemoteDriveMap;
    }
    unsigned char* RemoteDriveMap(ULONG& size) {
        size = kDriveMapSize;
        return m_RemoteDriveMap;
    }
    int RemoteDriveMapSize() const { return kDriveMapSize; }
    std::int32_t IsOnlSvc() const { return m_IsOnlSvc; }
    void SetIsOnlSvc(int isOnlSvc) { m_IsOnlSvc = isOnlSvc; }

    // Stores the computer name in the record; the session library's code.
    void SetMyComputerName(const char* name);

private:
    friend struct CSessionParamsLayout;

    char m_TextA[kTextASize] = {};
    char m_TextB[kTextBSize] = {};
    char m_TextC[kTextCSize] = {};
    char m_TextD[kTextDSize] = {};
    char m_TextE[kTextESize] = {};
    unsigned char m_RemoteDriveMap[kDriveMapSize] = {};
    std::int32_t m_IsOnlSvc = 0;
};
