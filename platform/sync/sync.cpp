// Kernel objects over std::thread: one lock and one condition variable guard
// them all, which keeps waits on several objects simple and correct.
#include "platform/sync/sync.h"
#include "platform/sync/thread_id.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

// Threads are numbered from 1 in the order they first ask.
std::atomic<DWORD> nextThreadId{1};
thread_local DWORD myThreadId = 0;

}  // namespace

DWORD currentThreadId()
{
    if (!myThreadId) myThreadId = nextThreadId++;
    return myThreadId;
}

DWORD GetCurrentThreadId() { return currentThreadId(); }

enum class KernelKind { Thread, Event, Mutex };

struct KernelObject {
    KernelKind kind;
    bool signalled = false;
    bool manualReset = false;
    DWORD owner = 0;       // mutex: owning thread id
    int recursion = 0;
    DWORD exitCode = STILL_ACTIVE;
    DWORD threadId = 0;
};

namespace {

std::mutex& kernelLock()
{
    static std::mutex lock;
    return lock;
}

std::condition_variable& kernelChanged()
{
    static std::condition_variable cv;
    return cv;
}

// Handles keep their object alive; a running thread holds its own reference.
std::unordered_map<HANDLE, std::shared_ptr<KernelObject>>& handles()
{
    static std::unordered_map<HANDLE, std::shared_ptr<KernelObject>> map;
    return map;
}

HANDLE publish(const std::shared_ptr<KernelObject>& object)
{
    HANDLE h = object.get();
    handles()[h] = object;
    return h;
}

KernelObject* lookup(HANDLE h)
{
    auto it = handles().find(h);
    return it == handles().end() ? nullptr : it->second.get();
}

// Under kernelLock: whether the object can release the calling thread now.
bool ready(const KernelObject* o, DWORD me)
{
    if (o->kind == KernelKind::Mutex) return o->owner == 0 || o->owner == me;
    return o->signalled;
}

void take(KernelObject* o, DWORD me)
{
    if (o->kind == KernelKind::Mutex) {
        o->owner = me;
        ++o->recursion;
    } else if (o->kind == KernelKind::Event && !o->manualReset) {
        o->signalled = false;
    }
}

std::chrono::steady_clock::time_point deadlineAfter(DWORD ms)
{
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}

}  // namespace

HANDLE CreateThread(void*, size_t, LPTHREAD_START_ROUTINE start, void* param, DWORD, DWORD* threadId)
{
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_shared<KernelObject>();
    object->kind = KernelKind::Thread;
    HANDLE h;
    {
        std::lock_guard<std::mutex> guard(kernelLock());
        h = publish(object);
    }
    std::mutex started;
    std::condition_variable startedCv;
    bool haveId = false;
    std::thread([object, start, param, &started, &startedCv, &haveId] {
        DWORD id = currentThreadId();
        {
            std::lock_guard<std::mutex> guard(started);
            object->threadId = id;
            haveId = true;
            // Under the lock: the creator's locals vanish as soon as it sees haveId.
            startedCv.notify_all();
        }
        DWORD code = start(param);
        {
            std::lock_guard<std::mutex> guard(kernelLock());
            object->exitCode = code;
            object->signalled = true;
        }
        kernelChanged().notify_all();
    }).detach();
    std::unique_lock<std::mutex> guard(started);
    startedCv.wait(guard, [&] { return haveId; });
    if (threadId) *threadId = object->threadId;
    return h;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode)
{
    std::lock_guard<std::mutex> guard(kernelLock());
    KernelObject* o = lookup(thread);
    if (!o || o->kind != KernelKind::Thread || !exitCode) return FALSE;
    *exitCode = o->exitCode;
    return TRUE;
}

HANDLE CreateEvent(void*, BOOL manualReset, BOOL initialState, const char*)
{
    auto object = std::make_shared<KernelObject>();
    object->kind = KernelKind::Event;
    object->manualReset = manualReset != 0;
    object->signalled = initialState != 0;
    std::lock_guard<std::mutex> guard(kernelLock());
    return publish(object);
}

BOOL EventModify(HANDLE event, DWORD function)
{
    {
        std::lock_guard<std::mutex> guard(kernelLock());
        KernelObject* o = lookup(event);
        if (!o || o->kind != KernelKind::Event) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        o->signalled = function != EVENT_RESET;
    }
    kernelChanged().notify_all();
    if (function == EVENT_PULSE) {
        // Waiters woken above had their chance; the event ends reset.
        std::this_thread::yield();
        std::lock_guard<std::mutex> guard(kernelLock());
        if (KernelObject* o = lookup(event)) o->signalled = false;
    }
    return TRUE;
}

BOOL SetEvent(HANDLE event) { return EventModify(event, EVENT_SET); }
BOOL ResetEvent(HANDLE event) { return EventModify(event, EVENT_RESET); }
BOOL PulseEvent(HANDLE event) { return EventModify(event, EVENT_PULSE); }

HANDLE CreateMutex(void*, BOOL initialOwner, const char*)
{
    auto object = std::make_shared<KernelObject>();
    object->kind = KernelKind::Mutex;
    if (initialOwner) {
        object->owner = currentThreadId();
        object->recursion = 1;
    }
    std::lock_guard<std::mutex> guard(kernelLock());
    return publish(object);
}

BOOL ReleaseMutex(HANDLE mutex)
{
    {
        std::lock_guard<std::mutex> guard(kernelLock());
        KernelObject* o = lookup(mutex);
        if (!o || o->kind != KernelKind::Mutex || o->owner != currentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (--o->recursion == 0) o->owner = 0;
    }
    kernelChanged().notify_all();
    return TRUE;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds)
{
    if (count == 0 || !objects || count > 64) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    DWORD me = currentThreadId();
    auto deadline = deadlineAfter(milliseconds == INFINITE ? 0 : milliseconds);
    std::unique_lock<std::mutex> guard(kernelLock());
    std::vector<std::shared_ptr<KernelObject>> held;
    for (DWORD i = 0; i < count; ++i) {
        auto it = handles().find(objects[i]);
        if (it == handles().end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        held.push_back(it->second);
    }
    for (;;) {
        if (waitAll) {
            bool all = true;
            for (auto& o : held) all = all && ready(o.get(), me);
            if (all) {
                for (auto& o : held) take(o.get(), me);
                return WAIT_OBJECT_0;
            }
        } else {
            for (DWORD i = 0; i < count; ++i) {
                if (ready(held[i].get(), me)) {
                    take(held[i].get(), me);
                    return WAIT_OBJECT_0 + i;
                }
            }
        }
        if (milliseconds == 0) return WAIT_TIMEOUT;
        if (milliseconds == INFINITE) {
            kernelChanged().wait(guard);
        } else if (kernelChanged().wait_until(guard, deadline) == std::cv_status::timeout) {
            // One last look: the change may have come with the deadline.
            milliseconds = 0;
        }
    }
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) { return WaitForMultipleObjects(1, &object, FALSE, milliseconds); }

BOOL CloseHandle(HANDLE object)
{
    std::lock_guard<std::mutex> guard(kernelLock());
    if (handles().erase(object) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
