// Timers: WM_TIMER is made when a timer is due and the queue holds nothing else,
// and never piles up: a late timer fires once and is rescheduled.
#include "platform/window/window_internal.h"
#include "platform/backend/backend.h"

#include <algorithm>

namespace {

constexpr UINT kMinimumElapse = 10;

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT elapse;
    DWORD due;
    TIMERPROC proc;
    DWORD thread;
};

std::mutex& timersLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<Timer>& timers()
{
    static std::vector<Timer> list;
    return list;
}

UINT_PTR nextThreadTimerId = 0x7F00;

}  // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    DWORD thread = currentThreadId();
    if (hwnd) {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        thread = hwnd->threadId;
    }
    elapse = std::max(elapse, kMinimumElapse);
    DWORD now = GetTickCount();
    std::lock_guard<std::mutex> guard(timersLock());
    auto& list = timers();
    for (Timer& t : list) {
        if (t.hwnd == hwnd && t.id == id && (hwnd || t.thread == thread)) {
            t.elapse = elapse;
            t.due = now + elapse;
            t.proc = proc;
            queueWake(thread);
            return hwnd ? id : t.id;
        }
    }
    if (!hwnd) id = ++nextThreadTimerId;
    list.push_back(Timer{hwnd, id, elapse, now + elapse, proc, thread});
    queueWake(thread);
    return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
    std::lock_guard<std::mutex> guard(timersLock());
    auto& list = timers();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->hwnd == hwnd && it->id == id) {
            list.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

void timerDropWindow(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(timersLock());
    auto& list = timers();
    list.erase(std::remove_if(list.begin(), list.end(), [&](const Timer& t) { return t.hwnd == hwnd; }), list.end());
}

bool timerNextDue(DWORD threadId, DWORD* due)
{
    std::lock_guard<std::mutex> guard(timersLock());
    bool found = false;
    for (const Timer& t : timers()) {
        if (t.thread != threadId) continue;
        if (!found || t.due < *due) *due = t.due;
        found = true;
    }
    return found;
}

bool timerTakeDue(DWORD threadId, DWORD now, MSG* msg, bool remove)
{
    std::lock_guard<std::mutex> guard(timersLock());
    Timer* best = nullptr;
    for (Timer& t : timers()) {
        if (t.thread != threadId || t.due > now) continue;
        if (!best || t.due < best->due) best = &t;
    }
    if (!best) return false;
    *msg = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), now, {0, 0}};
    if (remove) {
        best->due += best->elapse;
        if (best->due <= now) best->due = now + best->elapse;
    }
    return true;
}
