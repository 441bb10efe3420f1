#include "suite/fvses32/net_stages.h"

#include "platform/kernel/synch.h"
#include "session/cb_block.h"
#include "session/connect_params.h"
#include "session/host_data.h"
#include "session/service_kinds.h"
#include "suite/fvses32/cb_access.h"

using farvane::net::NetCode;
using farvane::net::NetStatus;
using farvane::net::WakeUp;

// ---- connection ----------------------------------------------------------------------------

void NetConnectStage::OnStageAction(CFVSession* session, CAction* action) {
    if (action->Code() == kReleaseLine) {
        StopWork();
        link_->Release();
        core()->SetConnected(false);
        if (HoldsFlow()) {
            EndStep(session, 0);
        }
        return;
    }
    if (action->Code() != kStepStart || !HoldsFlow()) {
        return;  // menu commands forwarded by the host pilot mean nothing here
    }
    CONNECT_PARAMS params;
    session->GetConnParams(&params);
    const bool callOut = link_->CanCallOut() && params.AnswerFlag == 0;
    StartWork([this, callOut](const WakeUp& cancel) {
        if (NetStatus prepared = link_->Prepare(!callOut); !prepared.ok()) {
            link_->Log("cannot wait for callers: " + prepared.message);
            return kConnectFatal;
        }
        NetStatus status = callOut ? link_->CallOut(cancel) : link_->WaitForCaller(cancel);
        if (status.ok()) {
            core()->SetConnected(true);
            return 0;
        }
        if (status.code != NetCode::kCancelled) {
            link_->Log(status.message + "; trying again later");
        }
        return kConnectRetry;
    });
}

// ---- admission -----------------------------------------------------------------------------

void NetAdmitStage::OnStageAction(CFVSession*, CAction* action) {
    if (action->Code() == kStepStart && HoldsFlow()) {
        StartWork([this](const WakeUp& cancel) { return Admit(cancel); });
    }
}

int NetAdmitStage::Admit(const WakeUp& cancel) {
    const std::string peer = link_->Peer();
    ViewerMessage messages[2];
    const ViewerMessageType expected[2] = {ViewerMessageType::kHello, ViewerMessageType::kPassword};
    for (int index = 0; index < 2; ++index) {
        ViewerParse parse;
        std::string reason;
        NetStatus status =
            link_->NextMessage(&messages[index], &parse, &reason, cancel, config_.timeoutMs);
        if (!status.ok()) {
            if (status.code != NetCode::kCancelled) {
                link_->Note("refused: " + status.message + " before admission");
            }
            return kAdmitRefused;
        }
        if (parse == ViewerParse::kMalformed || messages[index].type != expected[index]) {
            return Refuse(peer,
                          parse == ViewerParse::kMalformed
                              ? "bad message: " + reason
                              : "the viewer did not start with its hello and password",
                          0, cancel);
        }
    }
    if (config_.passwordHash.empty()) {
        return Refuse(peer, "no password is set on this host", 0, cancel);
    }
    // An address that guessed wrong waits before its next guess is even looked at.
    if (auto wait = throttle_.WaitFor(peer); wait.count() > 0) {
        if (cancel.Wait(static_cast<int>(wait.count()))) {
            return kAdmitRefused;
        }
    }
    if (!PasswordMatches(config_.passwordHash, messages[1].text)) {
        auto penalty = throttle_.Failed(peer);
        return Refuse(peer, "wrong password", static_cast<std::uint32_t>(penalty.count()), cancel);
    }
    throttle_.Admitted(peer);
    link_->SetHello(messages[0].hello);
    std::vector<std::uint8_t> answer;
    AppendAdmissionAnswer(AdmissionAnswer{true, 0}, &answer);
    std::size_t written = 0;
    if (NetStatus sent = link_->Write(answer.data(), answer.size(), &written, &cancel, 10000);
        !sent.ok()) {
        link_->Note("admitted, but the answer could not be sent: " + sent.message);
        return kAdmitRefused;
    }
    link_->Note("admitted");
    return 0;
}

int NetAdmitStage::Refuse(const std::string& peer, const std::string& why,
                          std::uint32_t retryAfterMs, const WakeUp& cancel) {
    link_->Note("refused: " + why +
                (retryAfterMs ? " (the next attempt from " + peer + " waits " +
                                    std::to_string(retryAfterMs) + " ms)"
                              : ""));
    std::vector<std::uint8_t> answer;
    AppendAdmissionAnswer(AdmissionAnswer{false, retryAfterMs}, &answer);
    std::size_t written = 0;
    link_->Write(answer.data(), answer.size(), &written, &cancel, 5000);
    return kAdmitRefused;
}

// ---- host session --------------------------------------------------------------------------

namespace {

constexpr int kVideoStartWaitMs = 10000;
constexpr int kVideoStartPollMs = 5;
constexpr DWORD kTransmitDrainMs = 2000;

HOSTDATA* HostDataOf(CFVSession* session) {
    return reinterpret_cast<HOSTDATA*>(session->GlobalProcData());
}

CHost* HostServiceOf(CFVSession* session) {
    return static_cast<CHost*>(session->m_pService);
}

}  // namespace

int NetTransmitSink::MoveOut(unsigned char* source, int count) {
    std::size_t written = 0;
    NetStatus status =
        link_->Write(source, static_cast<std::size_t>(count), &written, nullptr, kWriteWaitMs);
    if (status.ok() || status.code == NetCode::kTimedOut) {
        return static_cast<int>(written);
    }
    link_->Break();
    return count;
}

NetHostSessionStage::~NetHostSessionStage() {
    StopWork();
    CFVSession* session = nullptr;
    {
        std::lock_guard guard(lock_);
        session = session_;
    }
    if (session) {
        EndSession(session);
    }
}

void NetHostSessionStage::OnStageAction(CFVSession* session, CAction* action) {
    if (action->Code() != kStepStart || !HoldsFlow()) {
        return;
    }
    if (!BeginSession(session)) {
        link_->Log("no host session: the host is not set up");
        EndStep(session, -1);
        return;
    }
    StartWork([this, session](const WakeUp& cancel) { return RunSession(session, cancel); });
}

bool NetHostSessionStage::BeginSession(CFVSession* session) {
    HOSTDATA* host = HostDataOf(session);
    if (host == nullptr || host->CBBlock == nullptr || session->m_pService == nullptr) {
        return false;
    }
    const ViewerHello hello = link_->Hello();
    CBAccess cb(host->CBBlock);
    // The scanner reads the reduced colour mode when it is made, and copies the option word at
    // its video start; the capability word goes in with the bitmap request (the video start
    // clears it).
    cb.SetByte(kCBReducedColourMode, hello.reducedMode);
    cb.SetWord(kCBRemoteOptions, hello.options);
    cb.SetWord(kCBBitmapRequest, 0);
    cb.SetBits(kCBSessionStatus, kSessionStatusUp);
    cb.SetByte(kCBSessionReady, 1);
    cb.ClearBits(kCBVideoState, kVideoBlocked | kVideoRunning);
    cb.SetBits(kCBVideoState, kVideoWanted | kVideoAvailable);
    core()->BindTransmitSink(&sink_, [this] { return sink_.Unsent(); });
    std::uintptr_t scanner =
        config_.scanner.create ? config_.scanner.create(session, config_.desktopName.c_str()) : 0;
    {
        std::lock_guard guard(lock_);
        scanner_ = scanner;
        session_ = session;
    }
    HostServiceOf(session)->VideoScanner(scanner);
    if (host->VideoEvent != nullptr) {
        SetEvent(host->VideoEvent);
    }
    return true;
}

int NetHostSessionStage::RunSession(CFVSession* session, const WakeUp& cancel) {
    std::string how;
    for (;;) {
        ViewerMessage message;
        ViewerParse parse;
        std::string reason;
        NetStatus status = link_->NextMessage(&message, &parse, &reason, cancel, -1);
        if (!status.ok()) {
            // The host is ending the session: nothing more goes to the viewer, so that the
            // scanner never waits on it.
            if (status.code == NetCode::kCancelled) {
                link_->Break();
            }
            how = status.code == NetCode::kClosed      ? "the viewer hung up"
                  : status.code == NetCode::kCancelled ? "the host ended it"
                                                       : status.message;
            break;
        }
        if (parse == ViewerParse::kMalformed) {
            how = "bad message from the viewer: " + reason;
            break;
        }
        if (!Apply(session, message, cancel, &how)) {
            break;
        }
    }
    // A viewer that went with a key or button down must not leave it down on the host.
    if (config_.input != nullptr && !config_.viewOnly) {
        config_.input->ReleaseAll();
    }
    EndSession(session);
    link_->Note("ended: " + how);
    if (config_.onSessionEnd) {
        config_.onSessionEnd();
    }
    return 0;
}

bool NetHostSessionStage::Apply(CFVSession* session, const ViewerMessage& message,
                                const WakeUp& cancel, std::string* how) {
    const bool takesInput = config_.input != nullptr && !config_.viewOnly;
    switch (message.type) {
        case ViewerMessageType::kBitmapRequest:
            SetBitmapRequest(session, message.bitmapRequest, cancel);
            return true;
        case ViewerMessageType::kKey:
            if (takesInput) {
                config_.input->Key(message.key.keysym, message.key.down);
            }
            return true;
        case ViewerMessageType::kPointer:
            if (takesInput) {
                config_.input->Pointer(message.pointer);
            }
            return true;
        case ViewerMessageType::kClipboard:
            return true;  // the host keeps its own clipboard
        case ViewerMessageType::kBye:
            *how = "the viewer said bye";
            return false;
        case ViewerMessageType::kHello:
        case ViewerMessageType::kPassword:
            break;
    }
    *how = "bad message from the viewer: a second hello or password";
    return false;
}

void NetHostSessionStage::SetBitmapRequest(CFVSession* session, std::uint16_t request,
                                           const WakeUp& cancel) {
    HOSTDATA* host = HostDataOf(session);
    if (host == nullptr || host->CBBlock == nullptr) {
        return;
    }
    CBAccess cb(host->CBBlock);
    // The video start clears the request and the capability word: a request that came first
    // waits for it.
    for (int waited = 0; (cb.Byte(kCBVideoState) & kVideoRunning) == 0;
         waited += kVideoStartPollMs) {
        if (waited >= kVideoStartWaitMs || cancel.Wait(kVideoStartPollMs)) {
            return;
        }
    }
    cb.SetWord(kCBRemoteCapabilities, link_->Hello().capabilities);
    cb.SetWord(kCBBitmapRequest, request);
}

void NetHostSessionStage::EndSession(CFVSession* session) {
    std::uintptr_t scanner = 0;
    {
        std::lock_guard guard(lock_);
        scanner = scanner_;
        scanner_ = 0;
        session_ = nullptr;
    }
    // The service never holds a scanner that is gone. Deleting the scanner sends its end
    // record while the connection stands.
    HostServiceOf(session)->VideoScanner(0);
    if (scanner != 0 && config_.scanner.destroy) {
        config_.scanner.destroy(scanner);
    }
    if (HOSTDATA* host = HostDataOf(session); host != nullptr && host->CBBlock != nullptr) {
        if (host->VideoEvent != nullptr) {
            ResetEvent(host->VideoEvent);
        }
        CBAccess cb(host->CBBlock);
        cb.ClearBits(kCBSessionStatus, kSessionStatusUp);
        cb.SetByte(kCBSessionReady, 0);
        cb.ClearBits(kCBVideoState, kVideoWanted);
    }
    // The end record reaches a viewer that still reads; what a gone viewer left is dropped, so
    // that the next viewer's stream starts with its own video start.
    core()->WaitTransmitDrained(kTransmitDrainMs);
    core()->BindTransmitSink(nullptr);
    core()->DiscardTransmit();
}
