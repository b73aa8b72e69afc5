// The script runner driving windows in-process on the headless back end: a
// stand-in main window (class "FotrixClass") with a few children, a modal
// dialog, a message box and a pop-up menu opened by the tap-and-hold gesture.
#include "app/script/script.h"
#include "app/script/script_runtime.h"
#include "app/shell/app_state.h"
#include "tests/support/platform_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

using namespace fotrix;

namespace {

enum : int {
    CmdOpenDialog = 100,
    CmdOpenMessageBox = 101,
    CmdOpenSheet = 102,
    IdPageEdit = 301,
    IdPageCheck = 302,
    IdButtonA = 11,
    IdButtonB = 12,
    IdPad = 13,
    IdHoldPad = 14,
    IdEdit = 15,
    IdDialogEdit = 201,
    IdDialogCheck = 202,
    IdDialogCombo = 203,
    IdMenuFirst = 501,
    IdMenuSecond = 502,
};
constexpr UINT_PTR kTimer = 9;
constexpr UINT kWorkerPost = WM_USER + 77;

// What the windows saw.
struct Seen {
    std::vector<std::pair<int, int>> mainCommands;  // (id, code)
    std::vector<DWORD> timerTicks;
    std::vector<UINT> padMessages;
    std::vector<POINT> padMoves;
    DWORD padDownTick = 0, padUpTick = 0;
    std::vector<WPARAM> padKeys;
    std::vector<DWORD> gestures;
    UINT menuChoice = 0;
    INT_PTR dialogResult = -5;
    int messageBoxResult = -5;
    std::vector<std::pair<int, int>> dialogCommands;
    std::string editTextAtChange;
    int checkAtClick = -1;
    int comboAtChange = -1;
    bool workerPostSeen = false;
    bool workerPostSeenBeforeBox = false;
    std::string editTextAtExit;
    INT_PTR sheetResult = -5;
    std::string pageTextAtChange;
    std::string pageTextAtApply;
};
Seen seen;

const DialogItemTemplate kDialogItems[] = {
    {WC_EDIT, IdDialogEdit, "", 4, 4, 120, 18, DWORD{WS_VISIBLE | WS_TABSTOP | WS_BORDER}, 0},
    {WC_BUTTON, IdDialogCheck, "Check", 4, 28, 80, 16, DWORD{WS_VISIBLE | WS_TABSTOP} | BS_AUTOCHECKBOX, 0},
    {WC_COMBOBOX, IdDialogCombo, "", 4, 50, 100, 80, DWORD{WS_VISIBLE | WS_TABSTOP} | CBS_DROPDOWNLIST, 0},
    {WC_BUTTON, IDOK, "OK", 4, 100, 60, 22, DWORD{WS_VISIBLE | WS_TABSTOP} | BS_DEFPUSHBUTTON, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 70, 100, 60, 22, DWORD{WS_VISIBLE | WS_TABSTOP} | BS_PUSHBUTTON, 0},
};
const DialogTemplate kDialog = {
    "Settings", WS_POPUP | WS_BORDER | DS_SETFONT, 0, 10, 30, 200, 130, "Tahoma", 8,
    static_cast<int>(std::size(kDialogItems)), kDialogItems,
};

std::string textOf(HWND w)
{
    char buffer[256] = "";
    GetWindowText(w, buffer, sizeof buffer);
    return buffer;
}

INT_PTR dialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        for (const char* item : {"red", "green", "blue"})
            SendMessage(GetDlgItem(dlg, IdDialogCombo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    int id = LOWORD(wParam), code = HIWORD(wParam);
    seen.dialogCommands.push_back({id, code});
    if (id == IdDialogEdit && code == EN_CHANGE) seen.editTextAtChange = textOf(GetDlgItem(dlg, id));
    if (id == IdDialogCheck && code == BN_CLICKED)
        seen.checkAtClick = static_cast<int>(SendMessage(GetDlgItem(dlg, id), BM_GETCHECK, 0, 0));
    if (id == IdDialogCombo && code == CBN_SELCHANGE)
        seen.comboAtChange = static_cast<int>(SendMessage(GetDlgItem(dlg, id), CB_GETCURSEL, 0, 0));
    if (id == IDOK || id == IDCANCEL) EndDialog(dlg, id);
    return TRUE;
}

const DialogItemTemplate kPageOneItems[] = {
    {WC_EDIT, IdPageEdit, "", 4, 4, 120, 18, DWORD{WS_VISIBLE | WS_TABSTOP | WS_BORDER}, 0},
};
const DialogItemTemplate kPageTwoItems[] = {
    {WC_BUTTON, IdPageCheck, "Check", 4, 4, 80, 16, DWORD{WS_VISIBLE | WS_TABSTOP} | BS_AUTOCHECKBOX, 0},
};
const DialogTemplate kPageOne = {"One", WS_CHILD | DS_SETFONT, 0, 0, 0, 200, 100, "Tahoma", 8, 1, kPageOneItems};
const DialogTemplate kPageTwo = {"Two", WS_CHILD | DS_SETFONT, 0, 0, 0, 200, 100, "Tahoma", 8, 1, kPageTwoItems};

INT_PTR pageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IdPageEdit && HIWORD(wParam) == EN_CHANGE)
        seen.pageTextAtChange = textOf(GetDlgItem(page, IdPageEdit));
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == PSN_APPLY)
        seen.pageTextAtApply = textOf(GetDlgItem(page, IdPageEdit));
    return message == WM_INITDIALOG;
}

INT_PTR openSheet(HWND owner)
{
    PROPSHEETPAGE pages[2];
    const DialogTemplate* templates[2] = {&kPageOne, &kPageTwo};
    for (int i = 0; i < 2; ++i)
        pages[i] = PROPSHEETPAGE{sizeof(PROPSHEETPAGE), PSP_DLGINDIRECT, nullptr, nullptr, templates[i], nullptr, nullptr,
                                 pageProc, 0, nullptr, nullptr};
    PROPSHEETHEADER h{sizeof(PROPSHEETHEADER), PSH_PROPSHEETPAGE, owner, nullptr, nullptr, "Options", 2, 0, pages, nullptr, nullptr};
    return PropertySheet(&h);
}

LRESULT mainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        seen.mainCommands.push_back({LOWORD(wParam), HIWORD(wParam)});
        if (LOWORD(wParam) == CmdExit) seen.editTextAtExit = textOf(GetDlgItem(hwnd, IdEdit));
        if (LOWORD(wParam) == CmdExit) DestroyWindow(hwnd);
        if (LOWORD(wParam) == CmdOpenDialog) seen.dialogResult = DialogBoxIndirectParam(nullptr, &kDialog, hwnd, dialogProc, 0);
        if (LOWORD(wParam) == CmdOpenSheet) seen.sheetResult = openSheet(hwnd);
        if (LOWORD(wParam) == CmdOpenMessageBox) seen.workerPostSeenBeforeBox = seen.workerPostSeen;
        if (LOWORD(wParam) == CmdOpenMessageBox) seen.messageBoxResult = MessageBox(hwnd, "Delete it?", "Fotrix", MB_YESNO);
        return 0;
    case WM_TIMER:
        if (wParam == kTimer) seen.timerTicks.push_back(GetTickCount());
        return 0;
    case kWorkerPost:
        seen.workerPostSeen = true;
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// Records the stylus and keys; holds the capture while the stylus is down.
LRESULT padProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        seen.padMessages.push_back(message);
        seen.padDownTick = GetTickCount();
        SetCapture(hwnd);
        SetFocus(hwnd);
        return 0;
    case WM_MOUSEMOVE:
        seen.padMoves.push_back(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        seen.padMessages.push_back(message);
        seen.padUpTick = GetTickCount();
        ReleaseCapture();
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        seen.padMessages.push_back(message);
        seen.padKeys.push_back(wParam);
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// Runs the tap-and-hold recogniser on the down, as list views do, and opens a
// context menu when it says so.
LRESULT holdPadProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_LBUTTONDOWN) return DefWindowProc(hwnd, message, wParam, lParam);
    SHRGINFO info{sizeof(SHRGINFO), hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, SHRG_RETURNCMD};
    DWORD gesture = SHRecognizeGesture(&info);
    seen.gestures.push_back(gesture);
    if (gesture != GN_CONTEXTMENU) return 0;
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, IdMenuFirst, "First");
    AppendMenu(menu, MF_STRING, IdMenuSecond, "Second");
    POINT at = info.ptDown;
    ClientToScreen(hwnd, &at);
    seen.menuChoice = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, hwnd, nullptr));
    DestroyMenu(menu);
    return 0;
}

void registerClass(const char* name, WNDPROC proc, UINT style = 0)
{
    WNDCLASS wc{};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
    wc.lpszClassName = name;
    RegisterClass(&wc);
}

BOOL destroyEach(HWND hwnd, LPARAM)
{
    if (hwnd != screenTaskBar()) DestroyWindow(hwnd);
    return TRUE;
}

POINT screenPoint(HWND w, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(w, &p);
    return p;
}

std::string at(HWND w, int x = 10, int y = 10)
{
    POINT p = screenPoint(w, x, y);
    return std::to_string(p.x) + " " + std::to_string(p.y);
}

// Ends a run that hangs, so that a broken driver fails the test instead of blocking it.
class Watchdog {
public:
    explicit Watchdog(DWORD thread)
        : worker_([this, thread] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!wake_.wait_for(lock, std::chrono::seconds(30), [this] { return done_; })) {
                  fired_ = true;
                  PostThreadMessage(thread, WM_QUIT, 0, 0);
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        worker_.join();
    }
    bool fired() const { return fired_; }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::atomic<bool> fired_{false};
    std::thread worker_;
};

class ScriptRun : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    HWND main = nullptr, buttonA = nullptr, buttonB = nullptr, pad = nullptr, holdPad = nullptr, edit = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(platformtest::startHeadless());
        InitCommonControls();
        // The queue outlives the platform: drop what an earlier test left (its WM_QUIT).
        MSG msg;
        PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        seen = Seen{};
        gApp = AppState{};
        registerClass("FotrixClass", mainProc);
        registerClass("ScriptPad", padProc, CS_DBLCLKS);
        registerClass("ScriptHoldPad", holdPadProc);
        main = CreateWindowEx(0, "FotrixClass", "Main", WS_VISIBLE, 0, 26, 240, 294, nullptr, nullptr, nullptr, nullptr);
        buttonA = child(WC_BUTTON, "A", IdButtonA, 10, 10, 60, 24);
        buttonB = child(WC_BUTTON, "B", IdButtonB, 80, 10, 60, 24);
        pad = child("ScriptPad", "", IdPad, 10, 50, 200, 60);
        holdPad = child("ScriptHoldPad", "", IdHoldPad, 10, 120, 200, 60);
        edit = child(WC_EDIT, "", IdEdit, 10, 200, 200, 20);
        PlatformRunPending();
    }
    void TearDown() override
    {
        ScriptStop();
        EnumWindows(destroyEach, 0);
        PlatformRunPending();
        // Classes outlive the platform: the stand-in "FotrixClass" must not
        // become the real main window of a later test.
        for (const char* name : {"FotrixClass", "ScriptPad", "ScriptHoldPad"}) UnregisterClass(name, nullptr);
        PlatformShutdown();
        gApp = AppState{};
    }
    HWND child(const char* cls, const char* text, int id, int x, int y, int w, int h)
    {
        return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | WS_BORDER, x, y, w, h, main,
                              reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    }
    std::string file(const std::string& name) { return (dir / name).string(); }

    // Loads and runs a script in the program's own message loop until it quits.
    int run(const std::string& text)
    {
        std::string path = file("script.txt");
        testsupport::writeFile(path, text);
        std::string error;
        EXPECT_EQ(ScriptLoad(path.c_str(), &error), 0) << error;
        ScriptStart();
        Watchdog watchdog(GetCurrentThreadId());
        MSG msg;
        while (GetMessage(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
        EXPECT_FALSE(watchdog.fired()) << "the script did not end";
        ScriptStop();
        EXPECT_TRUE(ScriptFinished());
        return ScriptExitCode();
    }
    std::string read(const std::string& name)
    {
        std::ifstream in(file(name));
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string stateValue(const std::string& name, const std::string& key)
    {
        std::istringstream in(read(name));
        std::string line;
        while (std::getline(in, line))
            if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
        return "(missing)";
    }
};

TEST_F(ScriptRun, TapsReachTheControlUnderThem)
{
    EXPECT_EQ(run("tap " + at(buttonB) + "\ntap " + at(holdPad) + "\nquit\n"), 0);
    ASSERT_GE(seen.mainCommands.size(), 2u);
    EXPECT_EQ(seen.mainCommands[0], std::make_pair(int{IdButtonB}, int{BN_CLICKED}));
    EXPECT_EQ(seen.mainCommands.back().first, CmdExit);
    for (auto& c : seen.mainCommands) EXPECT_NE(c.first, IdButtonA);
    // The lift came with the down: the recogniser saw a tap, not a hold.
    EXPECT_EQ(seen.gestures, std::vector<DWORD>{0});
}

TEST_F(ScriptRun, DoubleTapGivesADoubleClick)
{
    EXPECT_EQ(run("double-tap " + at(pad) + "\n"), 0);
    std::vector<UINT> want{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    EXPECT_EQ(seen.padMessages, want);
}

TEST_F(ScriptRun, WaitRunsASecondTimerOncePerSecond)
{
    DWORD start = GetTickCount();
    SetTimer(main, kTimer, 1000, nullptr);
    EXPECT_EQ(run("wait 3000\nwait 999\nquit\n"), 0);
    std::vector<DWORD> want{start + 1000, start + 2000, start + 3000};
    EXPECT_EQ(seen.timerTicks, want);
}

TEST_F(ScriptRun, SleepLetsRealTimePassWithTheClockHeld)
{
    DWORD start = GetTickCount();
    SetTimer(main, kTimer, 1000, nullptr);
    auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(run("sleep 60\nstate " + file("s.txt") + "\n"), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(60));
    EXPECT_TRUE(seen.timerTicks.empty());
    EXPECT_EQ(GetTickCount(), start);
}

TEST_F(ScriptRun, IdleWaitsForTheWorkersAndTheirPosts)
{
    static std::atomic<bool> busy;
    busy = true;
    ScriptSetBusyCheck([] { return busy.load(); });
    HWND target = main;
    std::thread worker([target] {
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        PostMessage(target, kWorkerPost, 0, 0);
        busy = false;
    });
    // The command after `idle` comes only once the worker's post has been handled.
    std::string script = "idle\ncommand " + std::to_string(CmdOpenMessageBox) + "\ndialog-command 7\n";
    int code = run(script);
    worker.join();
    ScriptSetBusyCheck(nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(seen.workerPostSeenBeforeBox);
    EXPECT_EQ(seen.messageBoxResult, IDNO);
}

TEST_F(ScriptRun, HoldGivesTheContextMenuGestureAndTheMenuTakesKeys)
{
    EXPECT_EQ(run("hold " + at(holdPad) + "\nkey DOWN\nkey DOWN\nkey RETURN\nquit\n"), 0);
    EXPECT_EQ(seen.gestures, std::vector<DWORD>{GN_CONTEXTMENU});
    EXPECT_EQ(seen.menuChoice, UINT{IdMenuSecond});
}

TEST_F(ScriptRun, HoldKeepsTheStylusDownForTheHoldTime)
{
    EXPECT_EQ(run("hold " + at(pad) + "\n"), 0);
    std::vector<UINT> want{WM_LBUTTONDOWN, WM_LBUTTONUP};
    EXPECT_EQ(seen.padMessages, want);
    EXPECT_GE(seen.padUpTick - seen.padDownTick, kTapAndHoldMs);
}

TEST_F(ScriptRun, DragMovesInSmallStepsToTheEnd)
{
    POINT from = screenPoint(pad, 5, 5);
    std::string script = "drag " + at(pad, 5, 5) + " " + std::to_string(from.x + 50) + " " + std::to_string(from.y + 3) + "\n";
    EXPECT_EQ(run(script), 0);
    ASSERT_GE(seen.padMoves.size(), 7u);
    POINT last{5, 5};
    for (POINT p : seen.padMoves) {
        EXPECT_LE(std::abs(p.x - last.x), 8);
        EXPECT_LE(std::abs(p.y - last.y), 8);
        last = p;
    }
    EXPECT_EQ(last.x, 55);
    EXPECT_EQ(last.y, 8);
    EXPECT_EQ(seen.padMessages.back(), UINT{WM_LBUTTONUP});
}

TEST_F(ScriptRun, ADragIsNoHoldForTheRecogniser)
{
    POINT from = screenPoint(holdPad, 20, 20);
    std::string script = "drag " + at(holdPad, 20, 20) + " " + std::to_string(from.x + 40) + " " + std::to_string(from.y) + "\n";
    DWORD start = GetTickCount();
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(seen.gestures, std::vector<DWORD>{0});
    EXPECT_EQ(seen.menuChoice, 0u);
    EXPECT_LT(GetTickCount() - start, kTapAndHoldMs);
}

TEST_F(ScriptRun, KeysAndTextGoToTheFocus)
{
    EXPECT_EQ(run("tap " + at(pad) + "\nkey F5\nkey 7\ntap " + at(edit) + "\ntext \"h\\\"é\"\n"), 0);
    std::vector<WPARAM> want{VK_F1 + 4, VK_F1 + 4, '7', '7'};
    EXPECT_EQ(seen.padKeys, want);
    EXPECT_EQ(seen.editTextAtExit, "h\"é");
}

TEST_F(ScriptRun, DialogControlsAreSetAndTheirOwnerHearsIt)
{
    std::string script = "command " + std::to_string(CmdOpenDialog) +
                         "\n"
                         "dialog-text 201 \"héllo\"\n"
                         "dialog-check 202 1\n"
                         "dialog-select 203 2\n"
                         "state " + file("open.txt") + "\n"
                         "dialog-command 1\n"
                         "state " + file("closed.txt") + "\n"
                         "quit\n";
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(seen.dialogResult, IDOK);
    EXPECT_EQ(seen.editTextAtChange, "héllo");
    EXPECT_EQ(seen.checkAtClick, BST_CHECKED);
    EXPECT_EQ(seen.comboAtChange, 2);
    int changes = 0;
    for (auto& c : seen.dialogCommands) changes += c == std::make_pair(int{IdDialogEdit}, int{EN_CHANGE});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(stateValue("open.txt", "top-window"), "#32770 Settings");
    EXPECT_EQ(stateValue("open.txt", "message"), "");
    EXPECT_EQ(stateValue("closed.txt", "top-window"), "FotrixClass Main");
}

TEST_F(ScriptRun, DialogCheckClearsAndSelectRefusesAMissingItem)
{
    std::string script = "command " + std::to_string(CmdOpenDialog) +
                         "\n"
                         "dialog-check 202 1\n"
                         "dialog-check 202 0\n"
                         "dialog-select 203 3\n"
                         "state " + file("never.txt") + "\n";
    testing::internal::CaptureStderr();
    int code = run(script);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2);
    EXPECT_EQ(seen.checkAtClick, BST_UNCHECKED);
    EXPECT_NE(err.find("line 4: dialog-select: item 3 is past the 3 items of control 203"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(file("never.txt")));
}

TEST_F(ScriptRun, OnASheetControlsAreThoseOfTheCurrentPageAndOkIsTheSheets)
{
    std::string script = "command " + std::to_string(CmdOpenSheet) +
                         "\n"
                         "dialog-text 301 \"crop\"\n"
                         "state " + file("sheet.txt") + "\n"
                         "dialog-command 1\n"
                         "quit\n";
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(seen.sheetResult, 1);
    EXPECT_EQ(seen.pageTextAtChange, "crop");
    EXPECT_EQ(seen.pageTextAtApply, "crop");
    EXPECT_EQ(stateValue("sheet.txt", "top-window").rfind("#32770 ", 0), 0u);
}

TEST_F(ScriptRun, AControlOfAnotherPageIsNotFound)
{
    testing::internal::CaptureStderr();
    int code = run("command " + std::to_string(CmdOpenSheet) + "\ndialog-check 302 1\n");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2);
    EXPECT_EQ(err, "line 2: dialog-check: no control 302 in the active dialog\n");
}

TEST_F(ScriptRun, MessageBoxTextIsInTheStateAndAButtonAnswersIt)
{
    std::string script = "command " + std::to_string(CmdOpenMessageBox) + "\nstate " + file("box.txt") + "\ndialog-command 6\nquit\n";
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(seen.messageBoxResult, IDYES);
    EXPECT_EQ(stateValue("box.txt", "message"), "Delete it?");
    EXPECT_EQ(stateValue("box.txt", "top-window"), "#32770 Fotrix");
}

TEST_F(ScriptRun, ARuntimeFailureEndsTheScriptWithTheLine)
{
    testing::internal::CaptureStderr();
    int code = run("wait 10\ndialog-command 1\nstate " + file("never.txt") + "\n");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2);
    EXPECT_EQ(err, "line 2: dialog-command: no dialog is shown\n");
    EXPECT_FALSE(std::filesystem::exists(file("never.txt")));
    // The program was still asked to quit as File > Exit.
    ASSERT_FALSE(seen.mainCommands.empty());
    EXPECT_EQ(seen.mainCommands.back().first, CmdExit);
}

TEST_F(ScriptRun, AScriptWithoutQuitStillQuitsTheProgram)
{
    EXPECT_EQ(run("command 4007\n"), 0);
    std::vector<std::pair<int, int>> want{{4007, 0}, {CmdExit, 0}};
    EXPECT_EQ(seen.mainCommands, want);
}

TEST_F(ScriptRun, NothingAfterQuitRuns)
{
    EXPECT_EQ(run("quit\ncommand 4007\n"), 0);
    std::vector<std::pair<int, int>> want{{CmdExit, 0}};
    EXPECT_EQ(seen.mainCommands, want);
}

TEST_F(ScriptRun, ScreenshotsAreWrittenOrFailTheScript)
{
    EXPECT_EQ(run("screenshot " + file("shot.png") + "\n"), 0);
    auto bytes = testsupport::readFile(file("shot.png"));
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes[1], 'P');
    testing::internal::CaptureStderr();
    // The main window is gone after the first run; a fresh one for the second.
    main = CreateWindowEx(0, "FotrixClass", "Main", WS_VISIBLE, 0, 26, 240, 294, nullptr, nullptr, nullptr, nullptr);
    int code = run("screenshot " + file("no/such/folder/shot.png") + "\n");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2);
    EXPECT_NE(err.find("line 1: screenshot: cannot write"), std::string::npos) << err;
}

TEST_F(ScriptRun, CommandWithoutAMainWindowFails)
{
    DestroyWindow(main);
    PlatformRunPending();
    MSG msg;
    PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the stand-in's own WM_QUIT
    testing::internal::CaptureStderr();
    int code = run("command 4007\n");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2);
    EXPECT_EQ(err, "line 1: command: there is no main window\n");
}

}  // namespace
