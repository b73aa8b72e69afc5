// The idle hook of GetMessage: called inside a modal dialog's loop only when
// nothing waits, and holding the virtual clock while it returns true.
#include "platform/window/idle_hook.h"
#include "platform/controls/controls.h"
#include "tests/support/platform_support.h"

#include <iterator>
#include <thread>

using namespace platformtest;

namespace {

constexpr UINT_PTR kTimerId = 7;
constexpr UINT kFromThread = WM_USER + 40;

const DialogItemTemplate kItems[] = {
    {WC_BUTTON, IDOK, "OK", 70, 40, 60, 22, DWORD{WS_VISIBLE | WS_TABSTOP} | BS_DEFPUSHBUTTON, 0},
};
const DialogTemplate kDialog = {
    "Hooked", WS_POPUP | WS_BORDER | DS_SETFONT, 0, 10, 20, 200, 100, "Tahoma", 8,
    static_cast<int>(std::size(kItems)), kItems,
};

// What the dialog saw: its timer and the message posted from another thread.
struct DialogSeen {
    int timers = 0;
    DWORD timerTick = 0;
    bool threadPost = false;
    bool endOnTimer = false;
};
DialogSeen dialogSeen;

INT_PTR hookedProc(HWND dlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetTimer(dlg, kTimerId, 1000, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam != kTimerId) return FALSE;
        ++dialogSeen.timers;
        dialogSeen.timerTick = GetTickCount();
        if (dialogSeen.endOnTimer) EndDialog(dlg, 99);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) EndDialog(dlg, IDOK);
        return TRUE;
    case kFromThread:
        dialogSeen.threadPost = true;
        return TRUE;
    default:
        return FALSE;
    }
}

// A hook that follows a small plan; each call records what it found.
struct HookLog {
    int calls = 0;
    int callsWithSomethingQueued = 0;
    DWORD firstTick = 0;
    DWORD lastTick = 0;
    int holdFor = 0;              // calls that keep the clock before the plan acts
    bool pressOkAfterHold = true;  // then OK; otherwise let go of the clock
    bool waitForThreadPost = false;
};

bool hook(void* data)
{
    auto* log = static_cast<HookLog*>(data);
    MSG msg;
    if (PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) ++log->callsWithSomethingQueued;
    if (log->calls++ == 0) log->firstTick = GetTickCount();
    log->lastTick = GetTickCount();
    if (log->waitForThreadPost) {
        if (!dialogSeen.threadPost) return true;
        log->waitForThreadPost = false;
    }
    if (log->calls <= log->holdFor) return true;
    if (!log->pressOkAfterHold) return false;
    HWND dlg = GetActiveWindow();
    if (dlg) PostMessage(dlg, WM_COMMAND, IDOK, 0);
    return true;
}

class IdleHook : public Headless {
protected:
    void SetUp() override
    {
        Headless::SetUp();
        InitCommonControls();
        dialogSeen = DialogSeen{};
    }
    void TearDown() override
    {
        SetPlatformIdleHook(nullptr, nullptr);
        Headless::TearDown();
    }
    INT_PTR runDialog(HookLog& log)
    {
        SetPlatformIdleHook(hook, &log);
        INT_PTR r = DialogBoxIndirectParam(nullptr, &kDialog, nullptr, hookedProc, 0);
        SetPlatformIdleHook(nullptr, nullptr);
        return r;
    }
};

TEST_F(IdleHook, ActsInsideAModalLoopAndOnlyWhenNothingWaits)
{
    HookLog log;
    EXPECT_EQ(runDialog(log), IDOK);
    EXPECT_GE(log.calls, 1);
    EXPECT_EQ(log.callsWithSomethingQueued, 0);
    EXPECT_EQ(dialogSeen.timers, 0);
}

TEST_F(IdleHook, HoldingKeepsTheVirtualClockThenReleasingLetsTimersRun)
{
    HookLog log;
    log.holdFor = 30;
    log.pressOkAfterHold = false;
    dialogSeen.endOnTimer = true;
    DWORD start = GetTickCount();
    EXPECT_EQ(runDialog(log), 99);
    // Thirty turns held the clock where it was; letting go jumped it to the timer.
    EXPECT_GE(log.calls, 31);
    EXPECT_EQ(log.firstTick, start);
    EXPECT_EQ(log.lastTick, start);
    EXPECT_EQ(dialogSeen.timers, 1);
    EXPECT_EQ(dialogSeen.timerTick, start + 1000);
}

TEST_F(IdleHook, OtherThreadsPostsArriveWhileTheClockIsHeld)
{
    HookLog log;
    log.waitForThreadPost = true;
    HWND dlgSeenByThread = nullptr;
    std::thread poster;
    // The dialog exists only inside the modal loop: the first idle call starts the thread.
    struct Starter {
        HookLog* log;
        std::thread* poster;
        HWND* target;
    } starter{&log, &poster, &dlgSeenByThread};
    SetPlatformIdleHook(
        [](void* data) {
            auto* s = static_cast<Starter*>(data);
            if (!s->poster->joinable()) {
                *s->target = GetActiveWindow();
                HWND target = *s->target;
                *s->poster = std::thread([target] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(30));
                    PostMessage(target, kFromThread, 0, 0);
                });
            }
            return hook(s->log);
        },
        &starter);
    DWORD start = GetTickCount();
    INT_PTR r = DialogBoxIndirectParam(nullptr, &kDialog, nullptr, hookedProc, 0);
    SetPlatformIdleHook(nullptr, nullptr);
    if (poster.joinable()) poster.join();
    EXPECT_EQ(r, IDOK);
    EXPECT_TRUE(dialogSeen.threadPost);
    EXPECT_EQ(dialogSeen.timers, 0);
    EXPECT_EQ(log.lastTick, start);
}

TEST_F(IdleHook, PlatformNextTimerDueReportsTheEarliestTimer)
{
    HWND w = makeWindow("timers");
    DWORD due = 0;
    EXPECT_FALSE(PlatformNextTimerDue(&due));
    DWORD now = GetTickCount();
    SetTimer(w, 1, 700, nullptr);
    SetTimer(w, 2, 300, nullptr);
    ASSERT_TRUE(PlatformNextTimerDue(&due));
    EXPECT_EQ(due, now + 300);
    KillTimer(w, 2);
    ASSERT_TRUE(PlatformNextTimerDue(&due));
    EXPECT_EQ(due, now + 700);
}

}  // namespace
