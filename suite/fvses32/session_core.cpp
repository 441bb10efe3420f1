#include "suite/fvses32/session_core.h"

#include <cstring>

#include "platform/kernel/synch.h"
#include "session/queue_codes.h"

CSessionCore::CSessionCore(CFVSession* session) : session_(session) {
    InitializeCriticalSection(&txFill_);
    overEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    transmit_ = std::make_unique<CTransQueue>(kTransmitQueueCapacity, SQ_OUTPUT_THREAD, session,
                                              nullptr, nullptr);
    actions_ =
        std::make_unique<CActionQueue>(kActionQueueCapacity, SQ_OUTPUT_THREAD, session, this);
}

CSessionCore::~CSessionCore() {
    Stop();
    transmit_.reset();
    CloseHandle(overEvent_);
    DeleteCriticalSection(&txFill_);
}

void CSessionCore::Stop() {
    // Taken out under the lock, so that no Queue call (from the dispatch thread itself, or from
    // a stage's thread) still reads the queue while it is torn down; destroyed outside the lock,
    // since its teardown waits for the dispatch thread, which may be about to queue.
    std::unique_ptr<CActionQueue> ending;
    {
        std::unique_lock guard(actionsLock_);
        ending = std::move(actions_);
    }
    ending.reset();
}

void CSessionCore::SetProcessor(ePROC_ID processor, PACTIONFUNC function) {
    std::lock_guard guard(lock_);
    processors_[processor] = Processor{function, nullptr};
}

void CSessionCore::SetProcessor(ePROC_ID processor, IProcessor* object) {
    std::lock_guard guard(lock_);
    processors_[processor] = Processor{nullptr, object};
}

int CSessionCore::Queue(const CAction& action) {
    std::shared_lock guard(actionsLock_);
    if (!actions_) {
        return 0;
    }
    CAction copy(action);
    return actions_->Write(&copy, 1) == 1 ? 1 : 0;
}

int CSessionCore::PushFlow(const CAction& action) {
    {
        std::lock_guard guard(lock_);
        FlowStep step{action.ProcID(), action.SourceProcID()};
        if (!flow_.empty() && flow_.back().holder == step.holder &&
            flow_.back().pusher == step.pusher) {
            flow_.back() = step;
        } else {
            flow_.push_back(step);
        }
        ++flowSerial_;
    }
    return Queue(action);
}

int CSessionCore::PopFlow() {
    FlowStep step{};
    bool onDispatch = std::this_thread::get_id() == dispatchThread_.load();
    {
        std::lock_guard guard(lock_);
        if (flow_.empty()) {
            return 0;
        }
        std::size_t index = flow_.size() - 1;
        if (onDispatch) {
            while (flow_[index].holder != dispatching_) {
                if (index == 0) {
                    return 0;  // the caller holds no step
                }
                --index;
            }
        }
        step = flow_[index];
        flow_.resize(index);
        ++flowSerial_;
    }
    session_->m_Result = retCode_.load();
    return Queue(CAction(step.pusher, step.holder, ACT_STEP_DONE, 0));
}

ePROC_ID CSessionCore::FlowHolder() {
    std::lock_guard guard(lock_);
    return flow_.empty() ? PROC_SESSION : flow_.back().holder;
}

std::size_t CSessionCore::FlowDepth() {
    std::lock_guard guard(lock_);
    return flow_.size();
}

std::uint64_t CSessionCore::FlowSerial() {
    std::lock_guard guard(lock_);
    return flowSerial_;
}

std::uintptr_t CSessionCore::UserData(ePROC_ID processor) {
    std::lock_guard guard(lock_);
    auto found = slots_.find(processor);
    return found != slots_.end() ? found->second : 0;
}

void CSessionCore::UserData(ePROC_ID processor, std::uintptr_t value) {
    std::lock_guard guard(lock_);
    slots_[processor] = value;
}

void CSessionCore::GetConnParams(CONNECT_PARAMS* params) {
    if (params == nullptr) {
        return;
    }
    std::lock_guard guard(lock_);
    *params = connParams_;
}

void CSessionCore::SetConnParams(const CONNECT_PARAMS* params) {
    if (params == nullptr) {
        return;
    }
    std::lock_guard guard(lock_);
    connParams_ = *params;
    // The texts are used as C strings: make sure each one ends inside its field.
    connParams_.CallOutText[CONNECT_PARAMS::kCallOutTextSize - 1] = '\0';
    connParams_.ComputerName[CONNECT_PARAMS::kComputerNameSize - 1] = '\0';
    connParams_.HostText[CONNECT_PARAMS::kHostTextSize - 1] = '\0';
}

int CSessionCore::LockTxFill() {
    EnterCriticalSection(&txFill_);
    return 1;
}

int CSessionCore::UnLockTxFill() {
    LeaveCriticalSection(&txFill_);
    return 1;
}

int CSessionCore::Transmit(const void* bytes, int length) {
    if (bytes == nullptr || length <= 0 || !transmit_) {
        return 0;
    }
    auto* next = static_cast<unsigned char*>(const_cast<void*>(bytes));
    int sent = 0;
    EnterCriticalSection(&txFill_);
    // A slow connection makes the writer wait, for as long as it takes: the bytes of a frame
    // enter the stream whole or the scanner stays here (and scans nothing meanwhile). Only a
    // connection that is gone ends the wait; the short count then says what did not go.
    while (sent < length) {
        int taken = transmit_->Write(next + sent, length - sent);
        if (taken > 0) {
            sent += taken;
        } else if (!connected_.load()) {
            break;
        }
    }
    LeaveCriticalSection(&txFill_);
    return sent;
}

void CSessionCore::BindTransmitSink(CByteQueueSink* sink, std::function<std::size_t()> unsent) {
    {
        std::lock_guard guard(backlogLock_);
        unsent_ = sink != nullptr ? std::move(unsent) : nullptr;
    }
    if (transmit_) {
        transmit_->BindSink(sink);
    }
}

std::size_t CSessionCore::TransmitBacklog() {
    // Not under the fill lock: a writer waiting in Transmit holds it.
    std::lock_guard guard(backlogLock_);
    const std::size_t queued = transmit_ ? static_cast<std::size_t>(transmit_->Queued()) : 0;
    return unsent_ ? queued + unsent_() : queued;
}

bool CSessionCore::WaitTransmitDrained(DWORD milliseconds) {
    constexpr DWORD kPollMs = 5;
    for (DWORD waited = 0; transmit_ && !transmit_->IsEmpty(); waited += kPollMs) {
        if (waited >= milliseconds) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

void CSessionCore::DiscardTransmit() {
    EnterCriticalSection(&txFill_);
    {
        std::lock_guard guard(backlogLock_);
        transmit_.reset();
        transmit_ = std::make_unique<CTransQueue>(kTransmitQueueCapacity, SQ_OUTPUT_THREAD,
                                                  session_, nullptr, nullptr);
    }
    LeaveCriticalSection(&txFill_);
}

bool CSessionCore::WaitOver(DWORD milliseconds) {
    return WaitForSingleObject(overEvent_, milliseconds) == WAIT_OBJECT_0;
}

int CSessionCore::MoveOut(CAction* source, int count) {
    for (int index = 0; index < count; ++index) {
        Deliver(source[index]);
    }
    return count;
}

void CSessionCore::Deliver(CAction& action) {
    dispatchThread_.store(std::this_thread::get_id());
    dispatching_ = action.ProcID();
    if (action.ProcID() == PROC_SESSION) {
        if (action.Code() == ACT_STEP_DONE) {
            OnSessionStepDone();
        }
        return;
    }
    Processor processor;
    {
        std::lock_guard guard(lock_);
        auto found = processors_.find(action.ProcID());
        if (found != processors_.end()) {
            processor = found->second;
        }
    }
    if (processor.object != nullptr) {
        processor.object->OnAction(session_, &action);
    } else if (processor.function != nullptr) {
        processor.function(session_, &action, 0);
    } else if (action.Func() != nullptr) {
        action.Func()(session_, &action, 0);
    }
}

void CSessionCore::OnSessionStepDone() {
    over_.store(true);
    SetEvent(overEvent_);
}
