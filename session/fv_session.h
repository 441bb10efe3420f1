// The session: the session library's object that runs one connection's pilot stages. The
// modules reach it through the operations below and read four of its members directly.
//
// The operations are the session library's code; this header only declares them, and the
// session library defines them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/kernel/win_types.h"
#include "session/proc_id.h"
#include "session/session_params.h"

class CFVService;
class CSessionCore;
struct CONNECT_PARAMS;

class CFVSession {
public:
    CFVSession() = default;
    CFVSession(const CFVSession&) = delete;
    CFVSession& operator=(const CFVSession&) = delete;
    virtual ~CFVSession() = default;

    // Queues an action for `target`; it reaches the target's action function later, never
    // inside this call.
    int SetAction(ePROC_ID target, ePROC_ID source, std::int32_t code, std::uint32_t param);
    // Gives the flow to `target` with that action. When the target's step ends, the pusher
    // receives ACT_STEP_DONE with the step's result in m_Result.
    int PushFlowAction(ePROC_ID target, ePROC_ID source, std::int32_t code, std::uint32_t param);
    // Ends the caller's step and returns the flow to its pusher.
    int PopFlow();
    ePROC_ID WhoHasFlow();
    void SetRetCode(int code);

    // One slot per processor, 0 until set. Slots hold record addresses, so they are as wide as
    // a pointer.
    std::uintptr_t UserData(ePROC_ID proc);
    void UserData(ePROC_ID proc, std::uintptr_t value);
    // One slot reached through the session (the host pilot's global record).
    std::uintptr_t GlobalProcData();
    void GlobalProcData(std::uintptr_t value);

    void GetConnParams(CONNECT_PARAMS* params);
    void SetConnParams(CONNECT_PARAMS* params);
    int GetIsConnected();

    // Bracket several Transmit calls so that their bytes enter the transmit stream together.
    int LockTxFill(int reserved);
    int UnLockTxFill(int reserved);
    // Appends bytes to the transmit stream.
    int Transmit(const void* bytes, int length, int reserved);
    // Bytes transmitted that have not yet reached the other side (0 without a connection).
    std::size_t TransmitBacklog();

    // Read directly by the modules.
    HWND m_hWnd = nullptr;             // the session window
    CFVService* m_pService = nullptr;  // the owning service (a CHost for host sessions)
    CSessionParams m_SessionParams;    // the session's parameter record
    std::int32_t m_Result = 0;         // result of the last step pushed with PushFlowAction

    // The session library's own state (action queue, flow stack, slots, transmit queue). The
    // modules never touch it; a session without one ignores the operations above.
    CSessionCore* m_pCore = nullptr;
};

// Code an action pusher receives when the step it pushed has ended.
inline constexpr std::int32_t ACT_STEP_DONE = 2;
