// The session operations that the modules call, forwarded to the session library's state.
#include <cstring>

#include "session/fv_session.h"
#include "session/session_params.h"
#include "suite/fvses32/session_core.h"

int CFVSession::SetAction(ePROC_ID target, ePROC_ID source, std::int32_t code,
                          std::uint32_t param) {
    return m_pCore ? m_pCore->Queue(CAction(target, source, code, param)) : 0;
}

int CFVSession::PushFlowAction(ePROC_ID target, ePROC_ID source, std::int32_t code,
                               std::uint32_t param) {
    return m_pCore ? m_pCore->PushFlow(CAction(target, source, code, param)) : 0;
}

int CFVSession::PopFlow() {
    return m_pCore ? m_pCore->PopFlow() : 0;
}

ePROC_ID CFVSession::WhoHasFlow() {
    return m_pCore ? m_pCore->FlowHolder() : PROC_SESSION;
}

void CFVSession::SetRetCode(int code) {
    if (m_pCore) {
        m_pCore->SetRetCode(code);
    }
}

std::uintptr_t CFVSession::UserData(ePROC_ID proc) {
    return m_pCore ? m_pCore->UserData(proc) : 0;
}

void CFVSession::UserData(ePROC_ID proc, std::uintptr_t value) {
    if (m_pCore) {
        m_pCore->UserData(proc, value);
    }
}

std::uintptr_t CFVSession::GlobalProcData() {
    return m_pCore ? m_pCore->GlobalProcData() : 0;
}

void CFVSession::GlobalProcData(std::uintptr_t value) {
    if (m_pCore) {
        m_pCore->GlobalProcData(value);
    }
}

void CFVSession::GetConnParams(CONNECT_PARAMS* params) {
    if (m_pCore) {
        m_pCore->GetConnParams(params);
    }
}

void CFVSession::SetConnParams(CONNECT_PARAMS* params) {
    if (m_pCore) {
        m_pCore->SetConnParams(params);
    }
}

int CFVSession::GetIsConnected() {
    return m_pCore ? m_pCore->IsConnected() : 0;
}

int CFVSession::LockTxFill(int) {
    return m_pCore ? m_pCore->LockTxFill() : 0;
}

int CFVSession::UnLockTxFill(int) {
    return m_pCore ? m_pCore->UnLockTxFill() : 0;
}

int CFVSession::Transmit(const void* bytes, int length, int) {
    return m_pCore ? m_pCore->Transmit(bytes, length) : 0;
}

std::size_t CFVSession::TransmitBacklog() {
    return m_pCore ? m_pCore->TransmitBacklog() : 0;
}

// The computer name goes into text C, whose 25 bytes hold 24 characters and the terminator.
void CSessionParams::SetMyComputerName(const char* name) {
    std::memset(m_TextC, 0, sizeof m_TextC);
    if (name != nullptr) {
        std::memcpy(m_TextC, name, strnlen(name, sizeof m_TextC - 1));
    }
}
