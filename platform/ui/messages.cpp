// Sending and posting messages, the message queue and loop, and timers.
//
// Only the UI thread runs window procedures. Other threads may post; a send from another thread
// is handed to the UI thread and waits for its result, like a cross-thread send on the
// platform. The order in which the loop returns messages is the platform's: sent messages
// first, then posted ones, then a quit request, then paint, then timers.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>

#include "platform/ui/internal.h"
#include "platform/ui/interprocess.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

using Clock = std::chrono::steady_clock;

struct CrossThreadSend {
    MSG msg;
    LRESULT result = 0;
    bool done = false;
};

struct CrossThreadSends {
    std::mutex mutex;
    std::condition_variable doneSignal;
    std::deque<CrossThreadSend*> pending;
    std::deque<std::function<void()>> tasks;  // from PostUiTask
};

// As many tasks as posted messages may wait: a runaway poster must not eat memory.
constexpr std::size_t kMaxUiTasks = 10000;

CrossThreadSends& Sends() {
    static CrossThreadSends* sends = new CrossThreadSends();
    return *sends;
}

DWORD g_messageTime = 0;

DWORD NowMs() {
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
            .count());
}

bool MatchesFilter(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window && !(msg.hwnd && IsDescendantOrSelf(window, msg.hwnd))) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0) {
        return true;
    }
    return msg.message >= filterMin && msg.message <= filterMax;
}

// Runs the tasks posted so far; those they post wait for the next look at the messages.
void ServeUiTasks() {
    CrossThreadSends& sends = Sends();
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(sends.mutex);
        tasks.swap(sends.tasks);
    }
    for (std::function<void()>& task : tasks) {
        task();
    }
}

// Runs sends that other threads handed to the UI thread, then the posted tasks.
void ServeCrossThreadSends() {
    CrossThreadSends& sends = Sends();
    for (;;) {
        CrossThreadSend* send = nullptr;
        {
            std::lock_guard lock(sends.mutex);
            if (sends.pending.empty()) {
                break;
            }
            send = sends.pending.front();
            sends.pending.pop_front();
        }
        LRESULT result =
            SendMessageA(send->msg.hwnd, send->msg.message, send->msg.wParam, send->msg.lParam);
        std::lock_guard lock(sends.mutex);
        send->result = result;
        send->done = true;
        sends.doneSignal.notify_all();
    }
    ServeUiTasks();
}

bool TakePosted(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    PostedQueue& queue = State().queue;
    std::lock_guard lock(queue.mutex);
    for (auto it = queue.messages.begin(); it != queue.messages.end();) {
        if (it->hwnd && !FindWindowObject(it->hwnd)) {
            it = queue.messages.erase(it);  // its window is gone
            continue;
        }
        if (MatchesFilter(*it, window, filterMin, filterMax)) {
            *msg = *it;
            if (remove) {
                queue.messages.erase(it);
            }
            return true;
        }
        ++it;
    }
    return false;
}

bool TakeQuit(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    PostedQueue& queue = State().queue;
    std::lock_guard lock(queue.mutex);
    if (!queue.quitPosted || window) {
        return false;
    }
    if ((filterMin || filterMax) && (WM_QUIT < filterMin || WM_QUIT > filterMax)) {
        return false;
    }
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(queue.quitCode);
    if (remove) {
        queue.quitPosted = false;
    }
    return true;
}

bool TakePaint(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if ((filterMin || filterMax) && (WM_PAINT < filterMin || WM_PAINT > filterMax)) {
        return false;
    }
    for (std::uintptr_t value : State().windows.handles()) {
        HWND handle = reinterpret_cast<HWND>(value);
        Window* w = FindWindowObject(handle);
        if (!w || IsRectEmptyValue(w->invalid) || !IsWindowVisible(handle)) {
            continue;
        }
        if (window && !IsDescendantOrSelf(window, handle)) {
            continue;
        }
        *msg = MSG{};
        msg->hwnd = handle;
        msg->message = WM_PAINT;
        return true;
    }
    return false;
}

bool TakeTimer(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    if ((filterMin || filterMax) && (WM_TIMER < filterMin || WM_TIMER > filterMax)) {
        return false;
    }
    auto now = Clock::now();
    for (Timer& timer : State().timers) {
        if (timer.due > now) {
            continue;
        }
        if (window && !(timer.window && IsDescendantOrSelf(window, timer.window))) {
            continue;
        }
        *msg = MSG{};
        msg->hwnd = timer.window;
        msg->message = WM_TIMER;
        msg->wParam = timer.id;
        msg->lParam = reinterpret_cast<LPARAM>(timer.proc);
        msg->time = NowMs();
        if (remove) {
            timer.due = now + std::chrono::milliseconds(std::max<UINT>(timer.elapse, 1));
        }
        return true;
    }
    return false;
}

bool PeekOne(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    ServeCrossThreadSends();
    if (TakePosted(msg, window, filterMin, filterMax, remove) ||
        TakeQuit(msg, window, filterMin, filterMax, remove) ||
        TakePaint(msg, window, filterMin, filterMax) ||
        TakeTimer(msg, window, filterMin, filterMax, remove)) {
        if (remove) {
            g_messageTime = msg->time ? msg->time : NowMs();
        }
        return true;
    }
    return false;
}

DWORD MillisecondsToNextTimer() {
    auto now = Clock::now();
    DWORD wait = 1000;
    for (const Timer& timer : State().timers) {
        if (timer.due <= now) {
            return 0;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(timer.due - now).count();
        wait = std::min<DWORD>(wait, static_cast<DWORD>(left) + 1);
    }
    return wait;
}

}  // namespace

LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!proc) {
        return 0;
    }
    return proc(window, message, wParam, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!OnUiThread()) {
        if (!FindWindowObject(window)) {
            return 0;
        }
        CrossThreadSend send;
        send.msg.hwnd = window;
        send.msg.message = message;
        send.msg.wParam = wParam;
        send.msg.lParam = lParam;
        CrossThreadSends& sends = Sends();
        {
            std::lock_guard lock(sends.mutex);
            sends.pending.push_back(&send);
        }
        CurrentBackend().wake();
        std::unique_lock lock(sends.mutex);
        sends.doneSignal.wait(lock, [&] { return send.done; });
        return send.result;
    }
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    WNDPROC proc = w->proc;
    return proc ? proc(window, message, wParam, lParam) : 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == HWND_BROADCAST) {
        if (!OnUiThread()) {
            return FALSE;
        }
        for (HWND top : State().topLevel) {
            PostMessageA(top, message, wParam, lParam);
        }
        PostToOtherPrograms(message, wParam, lParam);
        return TRUE;
    }
    if (IsRemoteWindow(window)) {
        return PostToRemoteWindow(window, message, wParam, lParam);
    }
    if (window && !FindWindowObject(window)) {
        return FALSE;
    }
    MSG msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = NowMs();
    if (OnUiThread()) {
        msg.pt = State().cursorPos;  // the pointer position belongs to the UI thread
    }
    {
        PostedQueue& queue = State().queue;
        std::lock_guard lock(queue.mutex);
        if (queue.messages.size() >= 10000) {
            return FALSE;  // the platform's queue limit: a runaway poster must not eat memory
        }
        queue.messages.push_back(msg);
    }
    CurrentBackend().wake();
    return TRUE;
}

BOOL PostUiTask(std::function<void()> task) {
    if (!task) {
        return FALSE;
    }
    CrossThreadSends& sends = Sends();
    {
        std::lock_guard lock(sends.mutex);
        if (sends.tasks.size() >= kMaxUiTasks) {
            return FALSE;
        }
        sends.tasks.push_back(std::move(task));
    }
    CurrentBackend().wake();
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    PostedQueue& queue = State().queue;
    {
        std::lock_guard lock(queue.mutex);
        queue.quitPosted = true;
        queue.quitCode = exitCode;
    }
    CurrentBackend().wake();
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg || !OnUiThread()) {
        return FALSE;
    }
    if (PeekOne(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)) {
        return TRUE;
    }
    CurrentBackend().pumpEvents(0);
    return PeekOne(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE
                                                                                      : FALSE;
}

BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg || !OnUiThread()) {
        return -1;
    }
    while (!PeekOne(msg, window, filterMin, filterMax, true)) {
        CurrentBackend().pumpEvents(MillisecondsToNextTimer());
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
    if (!OnUiThread()) {
        return FALSE;
    }
    MSG msg;
    while (!PeekOne(&msg, nullptr, 0, 0, false)) {
        CurrentBackend().pumpEvents(MillisecondsToNextTimer());
    }
    return TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) {
        return FALSE;
    }
    if (msg->typedChar == 0) {
        return FALSE;
    }
    UINT charMessage = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    MSG typed = *msg;
    typed.message = charMessage;
    typed.wParam = msg->typedChar;
    typed.typedChar = 0;
    PostedQueue& queue = State().queue;
    std::lock_guard lock(queue.mutex);
    // The character goes ahead of later input, right where the key was.
    queue.messages.push_front(typed);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, NowMs());
        return 0;
    }
    if (!msg->hwnd) {
        return 0;
    }
    if (msg->message == WM_PAINT) {
        LRESULT result = SendMessageA(msg->hwnd, WM_PAINT, 0, 0);
        // A procedure that ignores WM_PAINT must not make the loop spin on the same window.
        if (Window* w = FindWindowObject(msg->hwnd)) {
            w->invalid = RECT{};
        }
        return result;
    }
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

DWORD GetMessageTime() {
    return g_messageTime;
}

void PumpPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void ForgetWindowInQueue(HWND window) {
    PostedQueue& queue = State().queue;
    std::lock_guard lock(queue.mutex);
    auto& list = queue.messages;
    list.erase(
        std::remove_if(list.begin(), list.end(), [&](const MSG& m) { return m.hwnd == window; }),
        list.end());
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (!OnUiThread() || (window && !FindWindowObject(window))) {
        return 0;
    }
    UiState& state = State();
    if (!window) {
        id = ++state.nextSystemTimerId;
    }
    elapse = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF);
    auto due = Clock::now() + std::chrono::milliseconds(elapse);
    for (Timer& timer : state.timers) {
        if (timer.window == window && timer.id == id) {
            timer.elapse = elapse;
            timer.proc = proc;
            timer.due = due;
            return window ? (id ? id : 1) : id;
        }
    }
    state.timers.push_back(Timer{window, id, elapse, proc, due});
    CurrentBackend().wake();
    return window ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    auto& timers = State().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == timers.end()) {
        return FALSE;
    }
    timers.erase(it);
    return TRUE;
}

void KillTimersOf(HWND window) {
    auto& timers = State().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.window == window; }),
                 timers.end());
}

}  // namespace farvane::ui
