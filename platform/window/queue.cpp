// Thread message queues: posting, sending between threads, peeking and waiting.
#include "platform/window/window_internal.h"
#include "platform/backend/backend.h"
#include "platform/instance/instance.h"
#include "platform/sync/sync.h"
#include "platform/window/idle_hook.h"

#include <atomic>
#include <chrono>
#include <unordered_map>

namespace {

struct SentMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
};

struct ThreadQueue {
    std::mutex lock;
    std::condition_variable wake;
    std::deque<MSG> posted;
    std::deque<SentMessage*> sent;
    bool quit = false;
    int quitCode = 0;
    DWORD lastMessageTime = 0;
};

std::mutex& queuesLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>>& queues()
{
    static std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> map;
    return map;
}

std::shared_ptr<ThreadQueue> queueOf(DWORD threadId, bool create)
{
    std::lock_guard<std::mutex> guard(queuesLock());
    auto it = queues().find(threadId);
    if (it != queues().end()) return it->second;
    if (!create) return nullptr;
    auto q = std::make_shared<ThreadQueue>();
    queues()[threadId] = q;
    return q;
}

std::atomic<DWORD> nextThreadId{1};
std::atomic<DWORD> uiThread{0};
thread_local DWORD myThreadId = 0;
thread_local int sendDepth = 0;
thread_local bool inCrossThreadSend = false;
std::condition_variable sentDone;
std::mutex sentDoneLock;
PlatformIdleHook idleHook = nullptr;
void* idleHookData = nullptr;

bool messageInRange(UINT message, UINT lo, UINT hi) { return (lo == 0 && hi == 0) || (message >= lo && message <= hi); }

bool windowMatches(HWND msgWindow, HWND filter)
{
    if (!filter) return true;
    if (filter == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) return msgWindow == nullptr;
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(msgWindow)) return false;
    for (HWND w = msgWindow; w; w = w->parent)
        if (w == filter) return true;
    return false;
}

// Runs messages that other threads sent to this thread's windows.
void processIncomingSent(ThreadQueue& q)
{
    for (;;) {
        SentMessage* s;
        {
            std::lock_guard<std::mutex> guard(q.lock);
            if (q.sent.empty()) return;
            s = q.sent.front();
            q.sent.pop_front();
        }
        inCrossThreadSend = true;
        LRESULT r = callWindow(s->hwnd, s->message, s->wParam, s->lParam);
        inCrossThreadSend = false;
        {
            std::lock_guard<std::mutex> guard(sentDoneLock);
            s->result = r;
            s->done = true;
        }
        sentDone.notify_all();
    }
}

bool takePosted(ThreadQueue& q, MSG* msg, HWND filter, UINT lo, UINT hi, bool remove)
{
    // Lock order everywhere: the window lock, then the queue table, then a queue.
    std::lock_guard<std::recursive_mutex> windows(windowLock());
    std::lock_guard<std::mutex> guard(q.lock);
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!messageInRange(it->message, lo, hi) || !windowMatches(it->hwnd, filter)) continue;
        *msg = *it;
        if (remove) q.posted.erase(it);
        return true;
    }
    if (q.quit && messageInRange(WM_QUIT, lo, hi)) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, GetTickCount(), {0, 0}};
        if (remove) q.quit = false;
        return true;
    }
    return false;
}

bool peekOnce(ThreadQueue& q, MSG* msg, HWND filter, UINT lo, UINT hi, bool remove)
{
    processIncomingSent(q);
    if (takePosted(q, msg, filter, lo, hi, remove)) return true;
    DWORD me = currentThreadId();
    HWND paintWindow;
    if (messageInRange(WM_PAINT, lo, hi) && findWindowToPaint(me, &paintWindow) && windowMatches(paintWindow, filter)) {
        *msg = MSG{paintWindow, WM_PAINT, 0, 0, GetTickCount(), {0, 0}};
        return true;
    }
    if (messageInRange(WM_TIMER, lo, hi) && timerTakeDue(me, GetTickCount(), msg, remove) && windowMatches(msg->hwnd, filter))
        return true;
    return false;
}

}  // namespace

DWORD currentThreadId()
{
    if (!myThreadId) myThreadId = nextThreadId++;
    return myThreadId;
}

DWORD GetCurrentThreadId() { return currentThreadId(); }

DWORD uiThreadId()
{
    DWORD ui = uiThread.load();
    return ui ? ui : currentThreadId();
}

void setUiThread() { uiThread.store(currentThreadId()); }

void queueWake(DWORD threadId)
{
    if (auto q = queueOf(threadId, false)) q->wake.notify_all();
}

void queueDropWindow(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> windows(windowLock());
    std::lock_guard<std::mutex> guard(queuesLock());
    for (auto& [id, q] : queues()) {
        std::lock_guard<std::mutex> qg(q->lock);
        for (auto it = q->posted.begin(); it != q->posted.end();)
            it = it->hwnd == hwnd ? q->posted.erase(it) : it + 1;
    }
}

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto q = queueOf(threadId, true);
    {
        std::lock_guard<std::mutex> guard(q->lock);
        q->posted.push_back(MSG{nullptr, message, wParam, lParam, GetTickCount(), {0, 0}});
    }
    q->wake.notify_all();
    return TRUE;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!hwnd) return PostThreadMessage(currentThreadId(), message, wParam, lParam);
    if (instanceIsRemoteWindow(hwnd)) return instancePostRemote(hwnd, message, wParam, lParam);
    DWORD thread;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd) || hwnd->destroying) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        thread = hwnd->threadId;
    }
    auto q = queueOf(thread, true);
    {
        std::lock_guard<std::mutex> guard(q->lock);
        q->posted.push_back(MSG{hwnd, message, wParam, lParam, GetTickCount(), {0, 0}});
    }
    q->wake.notify_all();
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    auto q = queueOf(currentThreadId(), true);
    {
        std::lock_guard<std::mutex> guard(q->lock);
        q->quit = true;
        q->quitCode = exitCode;
    }
    q->wake.notify_all();
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (instanceIsRemoteWindow(hwnd)) return instanceSendRemote(hwnd, message, wParam, lParam);
    if (hwnd == HWND_BROADCAST) {
        std::vector<HWND> tops;
        {
            std::lock_guard<std::recursive_mutex> guard(windowLock());
            tops = desktopWindow()->children;
        }
        for (HWND w : tops) SendMessage(w, message, wParam, lParam);
        return 0;
    }
    DWORD thread;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        thread = hwnd->threadId;
    }
    DWORD me = currentThreadId();
    if (thread == me) {
        ++sendDepth;
        LRESULT r = callWindow(hwnd, message, wParam, lParam);
        --sendDepth;
        return r;
    }
    // Another thread's window: queue the call and wait, still answering calls
    // made to this thread so that two threads sending to each other never lock up.
    SentMessage s{hwnd, message, wParam, lParam};
    auto target = queueOf(thread, true);
    {
        std::lock_guard<std::mutex> guard(target->lock);
        target->sent.push_back(&s);
    }
    target->wake.notify_all();
    auto mine = queueOf(me, true);
    for (;;) {
        {
            std::unique_lock<std::mutex> guard(sentDoneLock);
            if (sentDone.wait_for(guard, std::chrono::milliseconds(5), [&] { return s.done; })) break;
        }
        processIncomingSent(*mine);
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) {
            // The window went away before its thread took the call: withdraw it.
            std::lock_guard<std::mutex> tg(target->lock);
            for (auto it = target->sent.begin(); it != target->sent.end(); ++it)
                if (*it == &s) {
                    target->sent.erase(it);
                    return 0;
                }
        }
    }
    return s.result;
}

BOOL InSendMessage() { return inCrossThreadSend; }

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!msg) return FALSE;
    auto q = queueOf(currentThreadId(), true);
    bool ui = currentThreadId() == uiThreadId();
    if (ui) platformPump(0);
    if (peekOnce(*q, msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)) {
        q->lastMessageTime = msg->time;
        if (removeFlags & PM_REMOVE) inputNoteKeyMessage(*msg);
        return TRUE;
    }
    if (ui) platformPresent();
    return FALSE;
}

namespace {

// Asks the idle hook whether it keeps the clock; only when nothing at all is
// waiting (a filtered loop may leave other messages queued).
bool idleHookKeepsClock()
{
    if (!idleHook) return false;
    MSG any;
    if (PeekMessage(&any, nullptr, 0, 0, PM_NOREMOVE)) return false;
    return idleHook(idleHookData);
}

// The hook holds the clock: a short real-time wait that still takes host
// events and other threads' posts.
void waitWhileHookHolds(ThreadQueue& q)
{
    if (platformPump(1)) return;
    std::unique_lock<std::mutex> guard(q.lock);
    if (q.posted.empty() && q.sent.empty() && !q.quit) q.wake.wait_for(guard, std::chrono::milliseconds(1));
}

}  // namespace

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (!msg) return -1;
    auto q = queueOf(currentThreadId(), true);
    bool ui = currentThreadId() == uiThreadId();
    for (;;) {
        if (PeekMessage(msg, hwnd, filterMin, filterMax, PM_REMOVE)) return msg->message != WM_QUIT;
        if (ui && idleHookKeepsClock()) {
            // The hook may have queued input or moved the clock: take it at once.
            if (PeekMessage(msg, hwnd, filterMin, filterMax, PM_REMOVE)) return msg->message != WM_QUIT;
            waitWhileHookHolds(*q);
            continue;
        }
        DWORD due = 0;
        bool haveTimer = timerNextDue(currentThreadId(), &due);
        // On a virtual clock nothing moves while we wait: jump to the next timer.
        if (haveTimer && platformClockIsVirtual()) {
            DWORD now = GetTickCount();
            if (due > now) platformAdvanceClock(due - now);
            continue;
        }
        int waitMs = 50;
        if (haveTimer) {
            DWORD now = GetTickCount();
            waitMs = due > now ? static_cast<int>(std::min<DWORD>(due - now, 50)) : 0;
        }
        if (ui) {
            if (platformPump(std::min(waitMs, 10))) continue;
        }
        std::unique_lock<std::mutex> guard(q->lock);
        if (q->posted.empty() && q->sent.empty() && !q->quit)
            q->wake.wait_for(guard, std::chrono::milliseconds(ui ? std::min(waitMs, 10) : waitMs));
    }
}

void SetPlatformIdleHook(PlatformIdleHook hook, void* data)
{
    idleHook = hook;
    idleHookData = data;
}

bool PlatformNextTimerDue(DWORD* due) { return due && timerNextDue(currentThreadId(), due); }

bool PlatformClockIsVirtual() { return platformClockIsVirtual(); }

BOOL WaitMessage()
{
    auto q = queueOf(currentThreadId(), true);
    MSG msg;
    for (;;) {
        if (PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
        if (currentThreadId() == uiThreadId() && platformPump(10)) continue;
        std::unique_lock<std::mutex> guard(q->lock);
        q->wake.wait_for(guard, std::chrono::milliseconds(10));
    }
}

DWORD GetMessageTime()
{
    auto q = queueOf(currentThreadId(), true);
    return q->lastMessageTime;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    // Printable characters come from the back end's text input as WM_CHAR; the
    // keys that type control characters are translated here.
    switch (msg->wParam) {
    case VK_RETURN:
    case VK_BACK:
    case VK_ESCAPE:
    case VK_TAB:
        return PostMessage(msg->hwnd, WM_CHAR, msg->wParam, msg->lParam);
    default:
        return FALSE;
    }
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        if (!msg->hwnd || IsWindow(msg->hwnd)) proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    return callWindow(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}
