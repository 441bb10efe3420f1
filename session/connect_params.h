// The connection parameters of a session: copied out with CFVSession::GetConnParams, changed and
// copied back with SetConnParams before the connection stage runs.
#pragma once

#include <cstdint>

struct CONNECT_PARAMS {
    static constexpr int kCallOutTextSize = 81;
    static constexpr int kComputerNameSize = 25;  // 24 characters and the terminator
    static constexpr int kHostTextSize = 81;
    static constexpr std::uint32_t kOptionBFlag = 0x00000001;  // in ConnectionFlags

    std::uint8_t AnswerFlag = 0;  // 1: wait for a call; 0: do not answer (call out, or refused)
    std::uint8_t HostKind = 0;    // 3: host running as a system service, 1: otherwise
    char CallOutText[kCallOutTextSize] = {};  // whom to call; empty for "call the remote"
    char ComputerName[kComputerNameSize] = {};
    char HostText[kHostTextSize] = {};
    std::uint32_t ConnectionFlags = 0;
};
