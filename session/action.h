// The session action record: what a processor posts to another one through the session.
#pragma once

#include <cstdint>

#include "session/proc_id.h"

class CFVSession;
class CAction;

// An action function: the same shape as the host pilot's exported action function.
using PACTIONFUNC = int (*)(CFVSession* session, CAction* action, int reserved);

// Records of this class cross module boundaries, so the field order and widths are fixed:
// table of virtual operations, link word, Code, Param, 261-byte text, ProcID, SourceProcID,
// LParam, Func. The link word and the text belong to the session library: they have no
// accessors but are copied whole.
class CAction {
public:
    static constexpr int kTextSize = 261;  // 260 characters and the terminator

    CAction() = default;
    CAction(ePROC_ID target, ePROC_ID source, std::int32_t code, std::uint32_t param)
        : m_Code(code), m_Param(param), m_ProcID(target), m_SourceProcID(source) {}
    // Copies every field, the link word and all 261 text bytes included (also the bytes past
    // the first terminator).
    CAction(const CAction& other) = default;
    CAction& operator=(const CAction& other) = default;
    virtual ~CAction() = default;

    std::int32_t Code() const { return m_Code; }
    std::int32_t SetCode(std::int32_t code) { return m_Code = code; }
    std::uint32_t Param() const { return m_Param; }
    std::uint32_t SetParam(std::uint32_t param) { return m_Param = param; }
    ePROC_ID ProcID() const { return m_ProcID; }
    ePROC_ID SetProcID(ePROC_ID id) { return m_ProcID = id; }
    ePROC_ID SourceProcID() const { return m_SourceProcID; }
    ePROC_ID SetSourceProcID(ePROC_ID id) { return m_SourceProcID = id; }
    std::int32_t LParam() const { return m_LParam; }
    std::int32_t SetLParam(std::int32_t lparam) { return m_LParam = lparam; }
    PACTIONFUNC Func() const { return m_Func; }
    void SetFunc(PACTIONFUNC func) { m_Func = func; }

private:
    friend struct CActionLayout;

    [[maybe_unused]] std::uint32_t m_Link = 0;
    std::int32_t m_Code = 0;
    std::uint32_t m_Param = 0;
    [[maybe_unused]] char m_Text[kTextSize] = {};
    ePROC_ID m_ProcID = static_cast<ePROC_ID>(0);
    ePROC_ID m_SourceProcID = static_cast<ePROC_ID>(0);
    std::int32_t m_LParam = 0;
    PACTIONFUNC m_Func = nullptr;
};
