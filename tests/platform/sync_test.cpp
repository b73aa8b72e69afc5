// Threads, events and mutexes.
#include "platform/windows.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct Shared {
    HANDLE event;
    std::atomic<int> released{0};
};

DWORD waitOnce(void* p)
{
    auto* s = static_cast<Shared*>(p);
    if (WaitForSingleObject(s->event, 2000) == WAIT_OBJECT_0) ++s->released;
    return 7;
}

TEST(Sync, auto_reset_event_releases_one_waiter_per_set)
{
    Shared s;
    s.event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    HANDLE t[3];
    for (HANDLE& h : t) h = CreateThread(nullptr, 0, waitOnce, &s, 0, nullptr);
    Sleep(50);
    SetEvent(s.event);
    Sleep(100);
    EXPECT_EQ(s.released.load(), 1);
    // Setting an event that is already set changes nothing: one set, one waiter.
    for (int expected = 2; expected <= 3; ++expected) {
        SetEvent(s.event);
        for (int i = 0; i < 200 && s.released.load() < expected; ++i) Sleep(5);
        EXPECT_EQ(s.released.load(), expected);
    }
    EXPECT_EQ(WaitForMultipleObjects(3, t, TRUE, 3000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(s.released.load(), 3);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(t[0], &code));
    EXPECT_EQ(code, 7u);
    for (HANDLE h : t) CloseHandle(h);
    CloseHandle(s.event);
}

TEST(Sync, manual_reset_event_releases_everyone_until_reset)
{
    Shared s;
    s.event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE t[3];
    for (HANDLE& h : t) h = CreateThread(nullptr, 0, waitOnce, &s, 0, nullptr);
    SetEvent(s.event);
    EXPECT_EQ(WaitForMultipleObjects(3, t, TRUE, 3000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(s.released.load(), 3);
    EXPECT_EQ(WaitForSingleObject(s.event, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    ResetEvent(s.event);
    EXPECT_EQ(WaitForSingleObject(s.event, 30), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(EventModify(s.event, EVENT_SET));
    EXPECT_EQ(WaitForSingleObject(s.event, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    for (HANDLE h : t) CloseHandle(h);
    CloseHandle(s.event);
}

DWORD holdMutex(void* p)
{
    HANDLE m = static_cast<HANDLE>(p);
    if (WaitForSingleObject(m, 0) == WAIT_OBJECT_0) {
        ReleaseMutex(m);
        return 1;  // took it
    }
    return ReleaseMutex(m) ? 2 : 0;  // may not release what it does not own
}

TEST(Sync, mutex_is_owned_recursively_by_one_thread)
{
    HANDLE m = CreateMutex(nullptr, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(m, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(WaitForSingleObject(m, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    HANDLE t = CreateThread(nullptr, 0, holdMutex, m, 0, nullptr);
    WaitForSingleObject(t, 2000);
    DWORD code = 99;
    GetExitCodeThread(t, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(t);
    EXPECT_TRUE(ReleaseMutex(m));
    EXPECT_TRUE(ReleaseMutex(m));
    EXPECT_FALSE(ReleaseMutex(m));
    t = CreateThread(nullptr, 0, holdMutex, m, 0, nullptr);
    WaitForSingleObject(t, 2000);
    GetExitCodeThread(t, &code);
    EXPECT_EQ(code, 1u);
    CloseHandle(t);
    CloseHandle(m);
}

TEST(Sync, waits_time_out_and_reject_bad_handles)
{
    HANDLE e = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(e, 60), static_cast<DWORD>(WAIT_TIMEOUT));
    HANDLE two[2] = {e, CreateEvent(nullptr, FALSE, TRUE, nullptr)};
    EXPECT_EQ(WaitForMultipleObjects(2, two, FALSE, 0), static_cast<DWORD>(WAIT_OBJECT_0 + 1));
    EXPECT_EQ(WaitForMultipleObjects(2, two, FALSE, 0), static_cast<DWORD>(WAIT_TIMEOUT));  // auto reset took it
    CloseHandle(two[1]);
    CloseHandle(e);
    EXPECT_EQ(WaitForSingleObject(e, 0), static_cast<DWORD>(WAIT_FAILED));
    EXPECT_FALSE(CloseHandle(e));
}

}  // namespace
