// The connection, admission and host session stages of a host over the network (see
// net_link.h): PROC_CONNECT waits for a caller or calls out and releases the line,
// PROC_ADMIT admits the caller by password, PROC_HOSTSESSION runs the host session with one
// video scanner and the viewer's input.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "session/byte_queue.h"
#include "session/viewer_wire.h"
#include "suite/fvses32/admission.h"
#include "suite/fvses32/net_link.h"
#include "suite/fvses32/worker_stage.h"

// Results of the connection step, as the host pilot reads them.
inline constexpr int kConnectFatal = -1;  // ends the host (port in use, bad address)
inline constexpr int kConnectRetry = -2;  // waits 30 s and tries again (peer unreachable)
// Result of an admission step that refused the caller: release the line and wait again.
inline constexpr int kAdmitRefused = 2;

// Makes and deletes the host session's video scanner. The session library stand-in sits below
// the scanner's library, so whoever starts the host supplies the two (tools/fvhost: the
// scanner's constructor and destructor; tests: fakes).
struct VideoScannerMaker {
    std::function<std::uintptr_t(CFVSession* session, const char* desktopName)> create;
    std::function<void(std::uintptr_t scanner)> destroy;
};

// Where the viewer's keys and pointer go.
class IInputInjector {
public:
    virtual ~IInputInjector() = default;
    virtual void Key(std::uint32_t keysym, bool down) = 0;
    virtual void Pointer(const ViewerPointer& pointer) = 0;
    // Lets go of every key and button the viewer still holds (its session ended).
    virtual void ReleaseAll() = 0;
};

class NetConnectStage final : public WorkerStage {
public:
    NetConnectStage(CSessionCore* core, CNetLink* link)
        : WorkerStage(PROC_CONNECT, core), link_(link) {}
    ~NetConnectStage() override { StopWork(); }

private:
    void OnStageAction(CFVSession* session, CAction* action) override;
    CNetLink* link_;
};

struct AdmissionConfig {
    std::string passwordHash;  // empty: nobody is admitted
    std::chrono::milliseconds firstDelay{1000};
    std::chrono::milliseconds maxDelay{30000};
    int timeoutMs = 30000;  // for the hello and the password
};

class NetAdmitStage final : public WorkerStage {
public:
    NetAdmitStage(CSessionCore* core, CNetLink* link, AdmissionConfig config)
        : WorkerStage(PROC_ADMIT, core),
          link_(link),
          config_(std::move(config)),
          throttle_(config_.firstDelay, config_.maxDelay) {}
    ~NetAdmitStage() override { StopWork(); }

private:
    void OnStageAction(CFVSession* session, CAction* action) override;
    int Admit(const farvane::net::WakeUp& cancel);
    int Refuse(const std::string& peer, const std::string& why, std::uint32_t retryAfterMs,
               const farvane::net::WakeUp& cancel);

    CNetLink* link_;
    AdmissionConfig config_;
    AdmissionThrottle throttle_;
};

struct NetSessionConfig {
    std::string desktopName;  // the display the scanner reads (its desktop name)
    bool viewOnly = false;    // input from the viewer is ignored
    VideoScannerMaker scanner;
    IInputInjector* input = nullptr;  // none: input is ignored
    // Told when a host session has ended (on the stage's worker thread).
    std::function<void()> onSessionEnd;
};

// Feeds the session's transmit queue into the connection. The queue's output thread calls it
// with the bytes at the queue's read position; what the connection does not take within a
// short wait stays in the queue and is offered again. A connection that broke takes nothing
// more: the session ends (the reader sees the break), and the bytes go with it.
class NetTransmitSink final : public CByteQueueSink {
public:
    static constexpr int kWriteWaitMs = 100;

    explicit NetTransmitSink(CNetLink* link) : link_(link) {}
    int MoveOut(unsigned char* source, int count) override;
    std::size_t Unsent() { return link_->Unsent(); }

private:
    CNetLink* link_;
};

class NetHostSessionStage final : public WorkerStage {
public:
    NetHostSessionStage(CSessionCore* core, CNetLink* link, NetSessionConfig config)
        : WorkerStage(PROC_HOSTSESSION, core),
          link_(link),
          config_(std::move(config)),
          sink_(link) {}
    ~NetHostSessionStage() override;

private:
    void OnStageAction(CFVSession* session, CAction* action) override;
    // Readies the CB block and the video event and makes the scanner; false when the host has
    // no global record to run a session on.
    bool BeginSession(CFVSession* session);
    int RunSession(CFVSession* session, const farvane::net::WakeUp& cancel);
    // Applies one message; false when it ends the session (`how` says why).
    bool Apply(CFVSession* session, const ViewerMessage& message,
               const farvane::net::WakeUp& cancel, std::string* how);
    void SetBitmapRequest(CFVSession* session, std::uint16_t request,
                          const farvane::net::WakeUp& cancel);
    void EndSession(CFVSession* session);

    CNetLink* link_;
    NetSessionConfig config_;
    NetTransmitSink sink_;
    std::mutex lock_;  // guards scanner_ and session_
    std::uintptr_t scanner_ = 0;
    CFVSession* session_ = nullptr;
};
