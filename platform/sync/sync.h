#pragma once
// Threads, events and mutexes behind kernel handles, with timed waits.
#include "platform/base/types.h"

typedef DWORD (*LPTHREAD_START_ROUTINE)(void* param);

enum : DWORD {
    WAIT_OBJECT_0 = 0,
    WAIT_ABANDONED = 0x80,
    WAIT_TIMEOUT = 258,
    WAIT_FAILED = 0xFFFFFFFF,
    STILL_ACTIVE = 259,
};
enum : DWORD { EVENT_PULSE = 1, EVENT_RESET = 2, EVENT_SET = 3 };

HANDLE CreateThread(void* security, size_t stackSize, LPTHREAD_START_ROUTINE start, void* param, DWORD flags, DWORD* threadId);
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
DWORD GetCurrentThreadId();

HANDLE CreateEvent(void* security, BOOL manualReset, BOOL initialState, const char* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
BOOL PulseEvent(HANDLE event);
BOOL EventModify(HANDLE event, DWORD function);

HANDLE CreateMutex(void* security, BOOL initialOwner, const char* name);
BOOL ReleaseMutex(HANDLE mutex);

// A thread is signalled when it has ended; an auto-reset event is reset by
// the wait it releases; a mutex is taken by the wait (recursively by its owner).
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds);
BOOL CloseHandle(HANDLE object);
