// Window creation and destruction, the screen's layout, messages sent and
// posted, queues across threads, message maps.
#include "tests/support/platform_support.h"

#include <algorithm>

using namespace platformtest;

namespace {

using WindowTest = Headless;

size_t indexOf(const std::vector<UINT>& list, UINT message)
{
    auto it = std::find(list.begin(), list.end(), message);
    return it == list.end() ? SIZE_MAX : static_cast<size_t>(it - list.begin());
}

TEST_F(WindowTest, creation_sends_nccreate_create_size_move_then_show_and_activate)
{
    HWND w = makeWindow("main");
    ASSERT_NE(w, nullptr);
    std::vector<UINT> m = recordedMessages(w);
    ASSERT_GE(m.size(), 5u);
    EXPECT_EQ(m[0], WM_NCCREATE);
    EXPECT_EQ(m[1], WM_CREATE);
    EXPECT_EQ(m[2], WM_SIZE);
    EXPECT_EQ(m[3], WM_MOVE);
    EXPECT_EQ(m[4], WM_SHOWWINDOW);
    EXPECT_LT(indexOf(m, WM_SHOWWINDOW), indexOf(m, WM_ACTIVATE));
    EXPECT_EQ(GetActiveWindow(), w);
    EXPECT_EQ(GetFocus(), w);
}

LRESULT refuseCreate(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    recorded().push_back(Recorded{hwnd, message, wParam, lParam});
    if (message == WM_CREATE) return -1;
    return DefWindowProc(hwnd, message, wParam, lParam);
}

TEST_F(WindowTest, create_answering_minus_one_gives_no_window_and_cleans_up)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = refuseCreate;
    wc.lpszClassName = "Refuser";
    RegisterClass(&wc);
    HWND w = CreateWindowEx(0, "Refuser", "x", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(w, nullptr);
    ASSERT_FALSE(recorded().empty());
    HWND made = recorded().front().hwnd;
    std::vector<UINT> m = recordedMessages(made);
    EXPECT_NE(indexOf(m, WM_NCDESTROY), SIZE_MAX);
    EXPECT_EQ(indexOf(m, WM_SHOWWINDOW), SIZE_MAX);
    EXPECT_FALSE(IsWindow(made));
}

TEST_F(WindowTest, unknown_class_and_orphan_child_are_refused)
{
    EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_EQ(makeWindow("child", WS_CHILD | WS_VISIBLE, nullptr, 0, 0, 5, 5), nullptr);
}

TEST_F(WindowTest, destroy_tells_parent_first_and_frees_children_first)
{
    HWND parent = makeWindow("parent");
    HWND a = makeWindow("a", WS_CHILD | WS_VISIBLE, parent, 0, 0, 10, 10);
    HWND b = makeWindow("b", WS_CHILD | WS_VISIBLE, a, 0, 0, 5, 5);
    recorded().clear();
    ASSERT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> order;
    for (const Recorded& r : recorded())
        if (r.message == WM_DESTROY || r.message == WM_NCDESTROY) order.push_back({r.hwnd, r.message});
    std::vector<std::pair<HWND, UINT>> expected = {{parent, WM_DESTROY}, {a, WM_DESTROY},   {b, WM_DESTROY},
                                                   {b, WM_NCDESTROY},    {a, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(a));
    EXPECT_FALSE(IsWindow(b));
    EXPECT_FALSE(DestroyWindow(parent));
}

TEST_F(WindowTest, owned_popup_reports_its_owner_and_dies_with_it)
{
    HWND main = makeWindow("main");
    HWND child = makeWindow("child", WS_CHILD | WS_VISIBLE, main, 0, 0, 10, 10);
    HWND popup = makeWindow("dialog", WS_POPUP | WS_VISIBLE, child, 0, 0, 100, 100);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), main);
    EXPECT_EQ(GetParent(popup), main);
    EXPECT_FALSE(IsChild(main, popup));
    EXPECT_EQ(GetActiveWindow(), popup);
    recorded().clear();
    DestroyWindow(main);
    EXPECT_FALSE(IsWindow(popup));
    std::vector<UINT> m = recordedMessages(popup);
    EXPECT_NE(indexOf(m, WM_DESTROY), SIZE_MAX);
    // The owned window went before its owner.
    size_t popupGone = SIZE_MAX, mainDestroyed = SIZE_MAX;
    for (size_t i = 0; i < recorded().size(); ++i) {
        if (recorded()[i].hwnd == popup && recorded()[i].message == WM_NCDESTROY) popupGone = i;
        if (recorded()[i].hwnd == main && recorded()[i].message == WM_DESTROY) mainDestroyed = i;
    }
    EXPECT_LT(popupGone, mainDestroyed);
}

TEST_F(WindowTest, default_top_level_fills_the_space_between_task_bar_and_menu_bar)
{
    HWND w = makeWindow("main");
    RECT wr, cr;
    GetWindowRect(w, &wr);
    GetClientRect(w, &cr);
    EXPECT_EQ(wr.left, 0);
    EXPECT_EQ(wr.top, 26);
    EXPECT_EQ(cr.right, 240);
    EXPECT_EQ(cr.bottom, 268);
    RECT work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_TRUE(EqualRect(&work, &wr));
}

TEST_F(WindowTest, screen_settings_scale_bars_and_metrics)
{
    stop();
    start(480, 640, 192);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 480);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 26);
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 192);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 480);
    ReleaseDC(nullptr, dc);
    HWND w = makeWindow("main");
    RECT cr;
    GetClientRect(w, &cr);
    EXPECT_EQ(cr.bottom, 640 - 52 - 52);
}

TEST_F(WindowTest, full_screen_hides_the_bars_and_widens_the_work_area)
{
    HWND w = makeWindow("main");
    pump();
    EXPECT_NE(screenPixel(5, 5), GetSysColor(COLOR_WINDOW));  // the task bar
    SHFullScreen(w, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
    RECT work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.top, 0);
    EXPECT_EQ(work.bottom, 320);
    MoveWindow(w, 0, 0, 240, 320, TRUE);
    pump();
    EXPECT_EQ(screenPixel(5, 5), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(screenPixel(5, 315), GetSysColor(COLOR_WINDOW));
    SHFullScreen(w, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON);
    pump();
    EXPECT_NE(screenPixel(5, 5), GetSysColor(COLOR_WINDOW));
}

TEST_F(WindowTest, child_coordinates_and_hit_testing)
{
    HWND top = makeWindow("main");
    HWND child = makeWindow("child", WS_CHILD | WS_VISIBLE | WS_BORDER, top, 10, 20, 50, 40);
    RECT cr, wr;
    GetClientRect(child, &cr);
    EXPECT_EQ(cr.right, 48);
    EXPECT_EQ(cr.bottom, 38);
    GetWindowRect(child, &wr);
    EXPECT_EQ(wr.left, 10);
    EXPECT_EQ(wr.top, 46);
    POINT p{0, 0};
    ClientToScreen(child, &p);
    EXPECT_EQ(p.x, 11);
    EXPECT_EQ(p.y, 47);
    EXPECT_EQ(WindowFromPoint(POINT{15, 50}), child);
    EXPECT_EQ(WindowFromPoint(POINT{5, 50}), top);
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), screenTaskBar());
    ShowWindow(child, SW_HIDE);
    EXPECT_EQ(WindowFromPoint(POINT{15, 50}), top);
    EXPECT_EQ(GetDlgItem(top, 0), child);
}

TEST_F(WindowTest, move_and_size_send_move_and_size_only_on_change)
{
    HWND w = makeWindow("main");
    HWND c = makeWindow("c", WS_CHILD | WS_VISIBLE, w, 0, 0, 10, 10);
    recorded().clear();
    MoveWindow(c, 5, 5, 10, 10, TRUE);
    EXPECT_EQ(recordedMessages(c), (std::vector<UINT>{WM_MOVE}));
    recorded().clear();
    MoveWindow(c, 5, 5, 20, 10, TRUE);
    EXPECT_EQ(recordedMessages(c), (std::vector<UINT>{WM_SIZE}));
    const Recorded& r = recorded().back();
    EXPECT_EQ(LOWORD(r.lParam), 20);
    EXPECT_EQ(HIWORD(r.lParam), 10);
}

// Sent messages run at once, inside the sender; posted ones wait for the loop.
std::vector<std::string> trace;
HWND traceWindow = nullptr;

LRESULT traceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 1) {
        trace.push_back("A begin");
        PostMessage(hwnd, WM_USER + 2, 0, 0);
        LRESULT r = SendMessage(hwnd, WM_USER + 3, 7, 0);
        trace.push_back("A got " + std::to_string(r));
        return 0;
    }
    if (message == WM_USER + 2) {
        trace.push_back("B");
        return 0;
    }
    if (message == WM_USER + 3) {
        trace.push_back("C");
        return static_cast<LRESULT>(wParam * 6);
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

TEST_F(WindowTest, sent_message_runs_inside_the_sender_posted_after_it)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = traceProc;
    wc.lpszClassName = "Tracer";
    RegisterClass(&wc);
    traceWindow = CreateWindowEx(0, "Tracer", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    trace.clear();
    SendMessage(traceWindow, WM_USER + 1, 0, 0);
    EXPECT_EQ(trace, (std::vector<std::string>{"A begin", "C", "A got 42"}));
    pump();
    EXPECT_EQ(trace.back(), "B");
}

TEST_F(WindowTest, peek_filters_by_range_and_window_and_keeps_fifo_order)
{
    HWND a = makeWindow("a", 0);
    HWND b = makeWindow("b", 0);
    PostMessage(a, WM_USER + 1, 1, 0);
    PostMessage(b, WM_USER + 5, 2, 0);
    PostMessage(a, WM_USER + 3, 3, 0);
    PostMessage(a, WM_USER + 4, 4, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_USER + 3, WM_USER + 5, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessage(&msg, a, WM_USER + 3, WM_USER + 5, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessage(&msg, a, WM_USER + 3, WM_USER + 5, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 4u);
    EXPECT_FALSE(PeekMessage(&msg, a, WM_USER + 3, WM_USER + 5, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_USER, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_USER, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
}

TEST_F(WindowTest, quit_comes_after_the_posted_messages)
{
    HWND w = makeWindow("w", 0);
    pump();
    PostQuitMessage(3);
    PostMessage(w, WM_USER, 9, 0);
    MSG msg;
    ASSERT_EQ(GetMessage(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(WindowTest, messages_to_a_destroyed_window_are_dropped)
{
    HWND w = makeWindow("w", 0);
    PostMessage(w, WM_USER + 7, 0, 0);
    DestroyWindow(w);
    EXPECT_FALSE(PostMessage(w, WM_USER + 8, 0, 0));
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_USER, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(SendMessage(w, WM_USER, 0, 0), 0);
}

struct WorkerJob {
    HWND target;
    int count;
    LRESULT sendResult;
};

DWORD workerPosts(void* param)
{
    auto* job = static_cast<WorkerJob*>(param);
    for (int i = 0; i < job->count; ++i) PostMessage(job->target, WM_USER + 1, static_cast<WPARAM>(i), 0);
    job->sendResult = SendMessage(job->target, WM_USER + 2, 0, 0);
    PostMessage(job->target, WM_USER + 3, 0, 0);
    return 0;
}

DWORD handlerThread = 0;
LRESULT threadProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 2) {
        handlerThread = GetCurrentThreadId();
        return 1234;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

TEST_F(WindowTest, worker_thread_posts_in_order_and_sends_run_on_the_window_thread)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = threadProc;
    wc.lpszClassName = "ThreadTarget";
    RegisterClass(&wc);
    HWND w = CreateWindowEx(0, "ThreadTarget", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    WorkerJob job{w, 200, 0};
    HANDLE thread = CreateThread(nullptr, 0, workerPosts, &job, 0, nullptr);
    std::vector<WPARAM> seen;
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_USER + 1) seen.push_back(msg.wParam);
        if (msg.message == WM_USER + 3) break;
        DispatchMessage(&msg);
    }
    EXPECT_EQ(WaitForSingleObject(thread, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(thread);
    ASSERT_EQ(seen.size(), 200u);
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], i);
    EXPECT_EQ(job.sendResult, 1234);
    EXPECT_EQ(handlerThread, GetCurrentThreadId());
}

LRESULT onUser(HWND, UINT, WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam + 1); }
LRESULT onUserAgain(HWND, UINT, WPARAM, LPARAM) { return -5; }
LRESULT onCommandOpen(HWND, WORD id, WORD code, LPARAM lParam) { return id * 100 + code + lParam; }

constexpr MessageEntry kRows[] = {{WM_USER, onUser}, {WM_USER, onUserAgain}};
constexpr MessageMap kMapWindow = makeMessageMap(kRows, DefaultProcWindow);
constexpr MessageMap kMapNone = makeMessageMap(kRows, DefaultProcNone);
constexpr CommandEntry kCommands[] = {{4020, onCommandOpen}};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcWindow);

TEST_F(WindowTest, message_map_takes_the_first_row_and_falls_back_to_its_default)
{
    HWND w = makeWindow("w", 0);
    EXPECT_EQ(DispatchMessageMap(&kMapWindow, w, WM_USER, 41, 0), 42);
    // WM_NCCREATE answers TRUE from DefWindowProc and 0 with no default.
    EXPECT_EQ(DispatchMessageMap(&kMapWindow, w, WM_NCCREATE, 0, 0), TRUE);
    EXPECT_EQ(DispatchMessageMap(&kMapNone, w, WM_NCCREATE, 0, 0), 0);
    EXPECT_EQ(DispatchCommandMap(&kCommandMap, w, WM_COMMAND, MAKEWPARAM(4020, 3), 5), 402008);
    // An unknown command goes to the default procedure (which ignores it).
    EXPECT_EQ(DispatchCommandMap(&kCommandMap, w, WM_COMMAND, MAKEWPARAM(4021, 0), 0), 0);
}

TEST_F(WindowTest, dialog_default_turns_close_into_cancel)
{
    HWND w = makeWindow("dlg", 0);
    recorded().clear();
    DefDlgProc(w, WM_CLOSE, 0, 0);
    ASSERT_EQ(recorded().size(), 1u);
    EXPECT_EQ(recorded()[0].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(LOWORD(recorded()[0].wParam), IDCANCEL);
    EXPECT_TRUE(IsWindow(w));
}

TEST_F(WindowTest, window_words_text_and_extra_bytes)
{
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.cbWndExtra = 16;
    wc.lpszClassName = "WithExtra";
    RegisterClass(&wc);
    HWND w = CreateWindowEx(0, "WithExtra", "caf\xC3\xA9", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtr(w, GWL_USERDATA, 0x1234);
    EXPECT_EQ(GetWindowLongPtr(w, GWL_USERDATA), 0x1234);
    SetWindowLongPtr(w, 8, -77);
    EXPECT_EQ(GetWindowLongPtr(w, 8), -77);
    EXPECT_EQ(GetWindowLongPtr(w, 12), -1);  // the high half of the word at 8
    EXPECT_EQ(GetWindowLongPtr(w, 16), 0);   // past the extra bytes: nothing
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    char text[5];
    // A buffer too small never cuts a character in half.
    EXPECT_EQ(GetWindowText(w, text, sizeof text), 3);
    EXPECT_STREQ(text, "caf");
    EXPECT_EQ(GetWindowTextLength(w), 5);
}

}  // namespace
