#include "suite/fvses32/viewer_session.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#include "platform/kernel/synch.h"
#include "platform/ui/ui.h"
#include "session/password_input.h"
#include "suite/fvses32/viewer_window.h"

namespace farvane::viewer {

using namespace farvane::ui;
using net::NetCode;
using net::NetStatus;

namespace {

constexpr int kAdmissionTimeoutMs = 15000;
constexpr int kReadSliceMs = 100;
constexpr auto kAnswerPoll = std::chrono::milliseconds(100);
constexpr auto kByeGrace = std::chrono::milliseconds(1500);
constexpr UINT kPasswordEdit = 101;
constexpr const char* kPasswordProperty = "FvViewerPassword";

// An answer the UI thread gives to the session's thread.
template <typename T>
struct Answer {
    std::mutex lock;
    std::condition_variable given;
    std::optional<T> value;
};

INT_PTR PasswordDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetPropA(dialog, kPasswordProperty, reinterpret_cast<HANDLE>(lParam));
        // Nothing else of the session is on the screen yet: the dialog takes the keyboard.
        SetForegroundWindow(dialog);
        SetFocus(GetDlgItem(dialog, kPasswordEdit));
        return FALSE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        if (LOWORD(wParam) == IDOK) {
            auto* password = static_cast<std::string*>(GetPropA(dialog, kPasswordProperty));
            char text[kMaxPasswordBytes + 1] = {};
            GetDlgItemTextA(dialog, kPasswordEdit, text, sizeof text);
            *password = text;
            std::fill(std::begin(text), std::end(text), '\0');
        }
        RemovePropA(dialog, kPasswordProperty);
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// Asks for the password in a dialog; nullopt when the person cancels.
std::optional<std::string> AskPassword(const std::string& title, const std::string& hostName) {
    DialogTemplate dialog;
    dialog.style |= DS_SETFONT;
    dialog.caption = title;
    dialog.fontName = "MS Sans Serif";
    dialog.cx = 220;
    dialog.cy = 62;
    dialog.items = {
        LText("Password for " + hostName + ":", IDC_STATIC, 7, 7, 206, 8),
        EditText(kPasswordEdit, 7, 19, 206, 12, ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP),
        DefPushButton("OK", IDOK, 106, 40, 50, 14),
        PushButton("Cancel", IDCANCEL, 163, 40, 50, 14),
    };
    std::string password;
    INT_PTR chosen = DialogBoxIndirectParamA(nullptr, &dialog, nullptr, PasswordDialogProc,
                                             reinterpret_cast<LPARAM>(&password));
    if (chosen != IDOK || password.empty()) {
        return std::nullopt;
    }
    return password;
}

}  // namespace

// What the session's thread shares with the tasks it posts to the UI thread, which may run
// after the session object is gone.
struct CViewerSession::Shared {
    std::string title;
    HANDLE endEvent = nullptr;
    net::WakeUp cancel;
    std::atomic<bool> closing{false};  // the manager is being destroyed
    std::atomic<bool> ended{false};
    std::shared_ptr<ViewerScreen> screen = std::make_shared<ViewerScreen>();
    std::mutex finishing;
    std::condition_variable finishedSignal;
    bool finished = false;  // the session's thread is done

    ~Shared() {
        if (endEvent) {
            CloseHandle(endEvent);
        }
    }
    // The session is over: the program waiting for the end event closes.
    void End() {
        if (!closing.load() && !ended.exchange(true)) {
            SetEvent(endEvent);
        }
    }
    void Note(const std::string& text) const {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
    // Shows why the session ends, then ends it.
    static void Report(const std::shared_ptr<Shared>& shared, const std::string& text) {
        shared->Note(text);
        if (!PostUiTask([shared, text] {
                if (!shared->closing.load()) {
                    MessageBoxA(nullptr, text.c_str(), shared->title.c_str(),
                                MB_OK | MB_ICONEXCLAMATION);
                }
                shared->End();
            })) {
            shared->End();
        }
    }
    // Runs `ask` on the UI thread and waits for its answer; nullopt when the session is
    // cancelled first or the task cannot be posted.
    template <typename T>
    std::optional<T> Ask(std::function<T()> ask) {
        auto answer = std::make_shared<Answer<T>>();
        if (!PostUiTask([answer, ask = std::move(ask)] {
                T value = ask();
                std::lock_guard guard(answer->lock);
                answer->value = std::move(value);
                answer->given.notify_all();
            })) {
            return std::nullopt;
        }
        std::unique_lock hold(answer->lock);
        while (!answer->value) {
            if (cancel.IsSignalled()) {
                return std::nullopt;
            }
            answer->given.wait_for(hold, kAnswerPoll);
        }
        return answer->value;
    }
};

CViewerSession::CViewerSession(ViewerSessionConfig config)
    : config_(std::move(config)), shared_(std::make_shared<Shared>()) {
    shared_->title = config_.programTitle;
    shared_->endEvent = CreateEventA(nullptr, TRUE, FALSE, config_.endEventName.c_str());
    if (!shared_->endEvent) {
        throw std::bad_alloc();
    }
    try {
        thread_ = std::thread([this] {
            Run();
            std::lock_guard guard(shared_->finishing);
            shared_->finished = true;
            shared_->finishedSignal.notify_all();
        });
    } catch (const std::system_error&) {
        throw std::bad_alloc();
    }
}

CViewerSession::~CViewerSession() {
    shared_->closing.store(true);
    shared_->cancel.Signal();
    // The thread's waits end on the cancel and it says bye to the host; a host that stopped
    // reading gets its connection shut down instead.
    std::unique_lock hold(shared_->finishing);
    if (!shared_->finishedSignal.wait_for(hold, kByeGrace, [this] { return shared_->finished; })) {
        std::lock_guard guard(shared_->screen->picture);
        if (shared_->screen->link) {
            shared_->screen->link->Shutdown();
        }
    }
    hold.unlock();
    if (thread_.joinable()) {
        thread_.join();
    }
    CloseViewerWindow(*shared_->screen);
}

void CViewerSession::Run() {
    if (!config_.failure.empty()) {
        Shared::Report(shared_, config_.failure);
        return;
    }
    std::shared_ptr<ViewerLink> link;
    if (!Connect(&link) || !TrustHost(*link)) {
        return;
    }
    std::string password;
    if (!Password(&password)) {
        return;
    }
    std::string error;
    ViewerStep admitted =
        link->Admit(config_.hello, password, &shared_->cancel, kAdmissionTimeoutMs, &error);
    std::fill(password.begin(), password.end(), '\0');
    if (admitted != ViewerStep::kOk) {
        if (!shared_->cancel.IsSignalled()) {
            Shared::Report(shared_, config_.hostName + ": " + error);
        }
        return;
    }
    Show();
}

bool CViewerSession::Connect(std::shared_ptr<ViewerLink>* link) {
    std::unique_ptr<ViewerLink> made;
    NetStatus status = config_.connect(shared_->cancel, &made, &config_.hostName);
    if (status.code == NetCode::kCancelled || shared_->cancel.IsSignalled()) {
        return false;
    }
    if (!status.ok()) {
        Shared::Report(shared_, "No session with " + config_.hostName + ": " + status.message);
        return false;
    }
    *link = std::move(made);
    std::lock_guard guard(shared_->screen->picture);
    shared_->screen->link = *link;
    return true;
}

bool CViewerSession::TrustHost(ViewerLink& link) {
    const std::string& offered = link.Fingerprint();
    if (!config_.pinnedFingerprint.empty()) {
        if (offered == config_.pinnedFingerprint) {
            return true;
        }
        Shared::Report(shared_, "The key of the host " + config_.hostName +
                                    " is not the one the session file pins: refused.\n"
                                    "Pinned: " +
                                    config_.pinnedFingerprint + "\nOffered: " + offered);
        return false;
    }
    HostKeyCheck check;
    check.knownHostsFile = config_.knownHostsFile;
    check.hostName = config_.hostName;
    std::shared_ptr<Shared> shared = shared_;
    const std::string hostName = config_.hostName;
    check.acceptUnknown = [shared, hostName](const std::string& fingerprint) {
        const std::string question = "The host " + hostName + " is not known yet. Its key is\n" +
                                     fingerprint +
                                     "\nTrust this key and connect? Answer Yes only if it is the "
                                     "key the host shows.";
        std::optional<int> answer = shared->Ask<int>([shared, question] {
            return MessageBoxA(nullptr, question.c_str(), shared->title.c_str(),
                               MB_YESNO | MB_ICONQUESTION);
        });
        return answer && *answer == IDYES;
    };
    std::string error;
    std::string pinnedIn;
    ViewerStep step = link.CheckHostKey(check, &error, &pinnedIn);
    if (shared_->cancel.IsSignalled()) {
        return false;
    }
    if (step != ViewerStep::kOk) {
        Shared::Report(shared_, error);
        return false;
    }
    if (!pinnedIn.empty()) {
        shared_->Note("pinned the key of " + config_.hostName + " in " + pinnedIn + ": " + offered);
    }
    return true;
}

bool CViewerSession::Password(std::string* password) {
    if (!config_.passwordFile.empty()) {
        std::string error;
        if (!farvane::password::ReadPasswordFile(config_.passwordFile, password, &error)) {
            Shared::Report(shared_,
                           "The password for " + config_.hostName + " cannot be read: " + error);
            return false;
        }
        return true;
    }
    std::shared_ptr<Shared> shared = shared_;
    const std::string hostName = config_.hostName;
    std::optional<std::optional<std::string>> answer = shared_->Ask<std::optional<std::string>>(
        [shared, hostName] { return AskPassword(shared->title, hostName); });
    if (!answer || !*answer) {
        // Cancelled: the person chose to end the session.
        if (!shared_->cancel.IsSignalled()) {
            shared_->Note("no password given for " + config_.hostName);
            shared_->End();
        }
        return false;
    }
    *password = std::move(**answer);
    return true;
}

// Shows the host until the window closes or the host hangs up.
void CViewerSession::Show() {
    std::shared_ptr<ViewerScreen> screen = shared_->screen;
    std::shared_ptr<Shared> shared = shared_;
    // The screen belongs to the shared state, so its callback holds that state weakly: a
    // strong hold would keep both, with the link and the picture, alive after the session.
    screen->endSession = [weak = std::weak_ptr<Shared>(shared_)] {
        if (const std::shared_ptr<Shared> alive = weak.lock()) {
            alive->End();
        }
    };
    ViewerWindowOptions options;
    options.title = config_.hostName + " - " + config_.programTitle;
    options.viewOnly = config_.viewOnly;
    options.fitToWindow = config_.fitToWindow;
    std::optional<bool> opened = shared_->Ask<bool>([shared, screen, options] {
        // A session stopped while this task waited opens no window.
        return !shared->closing.load() && OpenViewerWindow(screen, options) != nullptr;
    });
    if (!opened) {
        return;
    }
    std::string error;
    if (shared_->cancel.IsSignalled()) {
        return;
    }
    if (!*opened) {
        Shared::Report(shared_, "The viewer window cannot be opened");
        return;
    }
    if (!screen->link->RequestBitmap(&error)) {
        shared_->Note(error);
        shared_->End();
        return;
    }
    shared_->Note("showing " + config_.hostName);
    std::vector<std::uint8_t> buffer(64 * 1024);
    for (;;) {
        std::size_t got = 0;
        NetStatus status =
            screen->link->Receive(buffer, &got, &shared_->cancel, kReadSliceMs, &screen->picture);
        if (status.code == NetCode::kTimedOut) {
            continue;
        }
        if (!status.ok()) {
            if (!shared_->cancel.IsSignalled()) {
                shared_->Note(status.code == NetCode::kClosed
                                  ? "the host ended the session"
                                  : "the session ended: " + status.message);
                shared_->End();
            }
            break;
        }
        ViewerPictureChanged(*screen);
    }
    screen->link->Close();
}

}  // namespace farvane::viewer
