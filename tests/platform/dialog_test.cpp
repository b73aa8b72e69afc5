// Dialogs from templates: building, modal runs, the keyboard, the default
// button, window words, item numbers and the Pocket PC set-up.
#include "tests/platform/dialog_fixture.h"

#include <iterator>

using namespace platformtest;

namespace {

enum : int { IdName = 101, IdApply = 102, IdLabel = 103, IdRadio1 = 110, IdRadio2 = 111, IdRadio3 = 112, IdCheck = 120, IdHidden = 121 };

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kStop = WS_TABSTOP;
const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdLabel, "Name:", 4, 4, 60, 14, kShown, 0},
    {WC_BUTTON, IdName, "Name", 70, 4, 80, 20, kShown | WS_TABSTOP | BS_AUTOCHECKBOX, 0},
    {WC_BUTTON, IdRadio1, "One", 4, 30, 60, 16, kShown | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0},
    {WC_BUTTON, IdRadio2, "Two", 4, 48, 60, 16, kShown | BS_AUTORADIOBUTTON, 0},
    {WC_BUTTON, IdRadio3, "Three", 4, 66, 60, 16, kShown | BS_AUTORADIOBUTTON, 0},
    {WC_BUTTON, IdCheck, "Check", 4, 90, 80, 16, kShown | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0},
    {WC_BUTTON, IdHidden, "Hidden", 4, 110, 80, 16, kStop | BS_AUTOCHECKBOX, 0},
    {WC_BUTTON, IdApply, "Apply", 4, 140, 60, 22, kShown | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0},
    {WC_BUTTON, IDOK, "OK", 70, 140, 60, 22, kShown | WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 136, 140, 60, 22, kShown | WS_TABSTOP | BS_PUSHBUTTON, 0},
};
const DialogTemplate kDialog = {
    "Test dialog", WS_POPUP | WS_BORDER | DS_SETFONT, 0, 10, 20, 200, 170, "Tahoma", 8,
    static_cast<int>(std::size(kItems)), kItems,
};

// What the test dialog procedure saw.
struct Seen {
    std::vector<std::pair<int, int>> commands;  // (id, code)
    LPARAM initParam = 0;
    HWND initFocusCandidate = nullptr;
    int initCount = 0;
};
Seen seen;
INT_PTR initAnswer = TRUE;

// Records commands; IDOK, IDCANCEL and IdApply end a modal run with their id.
INT_PTR testProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ++seen.initCount;
        seen.initParam = lParam;
        seen.initFocusCandidate = reinterpret_cast<HWND>(wParam);
        if (!initAnswer) SetFocus(GetDlgItem(dlg, IdCheck));
        return initAnswer;
    case WM_COMMAND:
        seen.commands.push_back({LOWORD(wParam), HIWORD(wParam)});
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IdApply)
            EndDialog(dlg, LOWORD(wParam));
        return TRUE;
    case WM_USER + 5:
        SetWindowLongPtr(dlg, DWLP_MSGRESULT, 4321);
        return TRUE;
    default:
        return FALSE;
    }
}

class Dialogs : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        seen = Seen{};
        initAnswer = TRUE;
    }
    INT_PTR run(std::vector<Step> steps, LPARAM param = 0)
    {
        script(std::move(steps));
        return DialogBoxIndirectParam(nullptr, &kDialog, owner, testProc, param);
    }
    static int focusId() { return GetFocus() ? GetDlgCtrlID(GetFocus()) : 0; }
};

TEST_F(Dialogs, modeless_dialog_is_built_from_its_template_scaled_to_the_screen)
{
    stop();
    start(480, 640, 192);
    InitCommonControls();
    HWND dlg = CreateDialogIndirectParam(nullptr, &kDialog, nullptr, testProc, 0x5150);
    ASSERT_TRUE(dlg);
    char cls[16];
    GetClassName(dlg, cls, sizeof cls);
    EXPECT_STREQ(cls, WC_DIALOG);
    EXPECT_EQ(seen.initCount, 1);
    EXPECT_EQ(seen.initParam, 0x5150);
    // Not WS_VISIBLE in the template: made hidden.
    EXPECT_FALSE(IsWindowVisible(dlg));
    RECT r;
    GetWindowRect(dlg, &r);
    RECT work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(r.left, work.left + 20);
    EXPECT_EQ(r.top, work.top + 40);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 340);
    HWND ok = GetDlgItem(dlg, IDOK);
    ASSERT_TRUE(ok);
    GetWindowRect(ok, &r);
    POINT p{r.left, r.top};
    ScreenToClient(dlg, &p);
    EXPECT_EQ(p.x, 140);
    EXPECT_EQ(p.y, 280);
    EXPECT_EQ(r.right - r.left, 120);
    // The template font reaches the controls and the dialog answers WM_GETFONT with it.
    HFONT font = reinterpret_cast<HFONT>(SendMessage(dlg, WM_GETFONT, 0, 0));
    EXPECT_TRUE(font);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessage(ok, WM_GETFONT, 0, 0)), font);
    // The first tab stop is offered with WM_INITDIALOG.
    EXPECT_EQ(seen.initFocusCandidate, GetDlgItem(dlg, IdName));
    RECT m{10, 20, 30, 40};
    ASSERT_TRUE(MapDialogRect(dlg, &m));
    EXPECT_EQ(m.left, 20);
    EXPECT_EQ(m.bottom, 80);
    DestroyWindow(dlg);
}

TEST_F(Dialogs, templates_are_found_by_number_or_name_and_bad_ones_fail_cleanly)
{
    const DialogItemTemplate badItems[] = {{"NoSuchClass", 5, "x", 0, 0, 10, 10, kShown, 0}};
    const DialogTemplate bad = {"Bad", WS_POPUP, 0, 0, 0, 50, 50, nullptr, 0, 1, badItems};
    const DialogResource table[] = {{146, nullptr, &kDialog}, {0, "DlgEdit", &kDialog}, {147, nullptr, &bad}};
    RegisterDialogs(table, 3);
    EXPECT_EQ(FindDialogTemplate(nullptr, MAKEINTRESOURCE(146)), &kDialog);
    EXPECT_EQ(FindDialogTemplate(nullptr, "DlgEdit"), &kDialog);
    EXPECT_EQ(FindDialogTemplate(nullptr, MAKEINTRESOURCE(999)), nullptr);
    EXPECT_EQ(CreateDialogParam(nullptr, MAKEINTRESOURCE(999), nullptr, testProc, 0), nullptr);
    EXPECT_EQ(DialogBoxParam(nullptr, "Nope", owner, testProc, 0), -1);
    // A control that cannot be made fails the dialog, leaves no window behind
    // and leaves the owner enabled.
    EXPECT_EQ(DialogBoxParam(nullptr, MAKEINTRESOURCE(147), owner, testProc, 0), -1);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(FindWindow(WC_DIALOG, nullptr), nullptr);
    HWND dlg = CreateDialogParam(nullptr, "DlgEdit", nullptr, testProc, 9);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(seen.initParam, 9);
}

TEST_F(Dialogs, modal_run_disables_the_owner_and_returns_the_end_dialog_value)
{
    bool ownerDisabled = false, dialogShown = false;
    HWND dialogSeen = nullptr;
    INT_PTR r = run({[&](HWND dlg) {
                         dialogSeen = dlg;
                         ownerDisabled = !IsWindowEnabled(owner);
                         dialogShown = IsWindowVisible(dlg) && GetActiveWindow() == dlg;
                     },
                     [&](HWND dlg) { tapCentre(GetDlgItem(dlg, IdApply)); }},
                    77);
    EXPECT_EQ(r, IdApply);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(dialogShown);
    EXPECT_EQ(seen.initParam, 77);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindow(dialogSeen));
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(seen.commands, (std::vector<std::pair<int, int>>{{IdApply, BN_CLICKED}}));
}

TEST_F(Dialogs, enter_escape_and_close_map_to_the_default_button_and_cancel)
{
    // Enter on a check box presses the default button (the template's BS_DEFPUSHBUTTON).
    EXPECT_EQ(run({key(VK_RETURN)}), IDOK);
    EXPECT_EQ(seen.commands.back(), std::make_pair(static_cast<int>(IDOK), 0));
    EXPECT_EQ(run({key(VK_ESCAPE)}), IDCANCEL);
    EXPECT_EQ(run({[](HWND dlg) { PostMessage(dlg, WM_CLOSE, 0, 0); }}), IDCANCEL);
    // DM_SETDEFID moves the default; DM_GETDEFID reports it; the old default is drawn plain.
    int reportedDefault = 0;
    DWORD okType = 0, applyType = 0;
    EXPECT_EQ(run({[&](HWND dlg) {
                       SendMessage(dlg, DM_SETDEFID, IdApply, 0);
                       reportedDefault = LOWORD(SendMessage(dlg, DM_GETDEFID, 0, 0));
                       okType = GetWindowLong(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK;
                       applyType = GetWindowLong(GetDlgItem(dlg, IdApply), GWL_STYLE) & BS_TYPEMASK;
                       keyPress(VK_RETURN);
                   }}),
              IdApply);
    EXPECT_EQ(reportedDefault, IdApply);
    EXPECT_EQ(okType, static_cast<DWORD>(BS_PUSHBUTTON));
    EXPECT_EQ(applyType, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    // Enter with the focus on a push button presses that button.
    EXPECT_EQ(run({[](HWND dlg) { SetFocus(GetDlgItem(dlg, IDCANCEL)); }, key(VK_RETURN)}), IDCANCEL);
    // A disabled default button is not pressed by Enter.
    EXPECT_EQ(run({[](HWND dlg) { EnableWindow(GetDlgItem(dlg, IDOK), FALSE); }, key(VK_RETURN)}), kScriptRanOut);
}

TEST_F(Dialogs, focus_rule_of_init_dialog)
{
    int focusWhenTrue = 0, focusWhenFalse = 0;
    run({[&](HWND) { focusWhenTrue = focusId(); }});
    EXPECT_EQ(focusWhenTrue, IdName);  // the static label is no tab stop
    initAnswer = FALSE;                // the procedure sets the focus itself
    run({[&](HWND) { focusWhenFalse = focusId(); }});
    EXPECT_EQ(focusWhenFalse, IdCheck);
}

TEST_F(Dialogs, tab_order_follows_creation_and_skips_hidden_disabled_and_non_stops)
{
    std::vector<int> forward, backward;
    auto note = [](std::vector<int>& into) { return [&into](HWND) { into.push_back(focusId()); }; };
    run({[](HWND dlg) { EnableWindow(GetDlgItem(dlg, IDCANCEL), FALSE); }, key(VK_TAB), note(forward), key(VK_TAB),
         note(forward), key(VK_TAB), note(forward), key(VK_TAB), note(forward), key(VK_TAB), note(forward),
         [](HWND) { PlatformKeyInput(VK_SHIFT, true); }, key(VK_TAB), note(backward), key(VK_TAB), note(backward),
         [](HWND) { PlatformKeyInput(VK_SHIFT, false); }, key(VK_TAB), note(backward)});
    // From Name: radio 1 (the group's stop), Check, Apply, OK, then round to Name.
    EXPECT_EQ(forward, (std::vector<int>{IdRadio1, IdCheck, IdApply, IDOK, IdName}));
    // Shift+Tab goes back round the end; without Shift forward again.
    EXPECT_EQ(backward, (std::vector<int>{IDOK, IdApply, IDOK}));
    // Tabbing onto a push button makes it the default one while it has the focus.
    HWND dlg = CreateDialogIndirectParam(nullptr, &kDialog, nullptr, testProc, 0);
    ShowWindow(dlg, SW_SHOW);
    SendMessage(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, IdApply)), TRUE);
    EXPECT_EQ(focusId(), IdApply);
    EXPECT_EQ(GetWindowLong(GetDlgItem(dlg, IdApply), GWL_STYLE) & BS_TYPEMASK, static_cast<LONG>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(GetWindowLong(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, static_cast<LONG>(BS_PUSHBUTTON));
    SendMessage(dlg, WM_NEXTDLGCTL, 0, FALSE);
    EXPECT_EQ(focusId(), IDOK);
    SendMessage(dlg, WM_NEXTDLGCTL, 1, FALSE);
    EXPECT_EQ(focusId(), IdApply);
    SendMessage(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, IdCheck)), TRUE);
    EXPECT_EQ(GetWindowLong(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, static_cast<LONG>(BS_DEFPUSHBUTTON));
}

TEST_F(Dialogs, arrows_move_within_a_group_and_choose_radio_buttons)
{
    std::vector<int> focus;
    std::vector<UINT> checks;
    auto note = [&](HWND dlg) {
        focus.push_back(focusId());
        checks.push_back(IsDlgButtonChecked(dlg, IdRadio1) | IsDlgButtonChecked(dlg, IdRadio2) << 1 |
                         IsDlgButtonChecked(dlg, IdRadio3) << 2);
    };
    run({[](HWND dlg) { SetFocus(GetDlgItem(dlg, IdRadio1)); }, key(VK_DOWN), note, key(VK_RIGHT), note, key(VK_DOWN),
         note, key(VK_UP), note, [](HWND dlg) { SetFocus(GetDlgItem(dlg, IdCheck)); }, key(VK_DOWN), note});
    // Down, Right: two then three; Down wraps to one inside the group; Up wraps back to three.
    EXPECT_EQ(focus, (std::vector<int>{IdRadio2, IdRadio3, IdRadio1, IdRadio3, IdCheck}));
    EXPECT_EQ(checks, (std::vector<UINT>{2, 4, 1, 4, 4}));
    HWND dlg = CreateDialogIndirectParam(nullptr, &kDialog, nullptr, testProc, 0);
    // The Check group holds Check and the hidden box: the hidden one is skipped.
    EXPECT_EQ(GetNextDlgGroupItem(dlg, GetDlgItem(dlg, IdCheck), FALSE), GetDlgItem(dlg, IdCheck));
    EXPECT_EQ(GetNextDlgGroupItem(dlg, GetDlgItem(dlg, IdApply), TRUE), GetDlgItem(dlg, IDCANCEL));
    EXPECT_EQ(GetNextDlgTabItem(dlg, nullptr, TRUE), GetDlgItem(dlg, IDCANCEL));
}

INT_PTR mapProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT onMapCommand(HWND, WORD id, WORD code, LPARAM)
{
    seen.commands.push_back({id, code});
    return 0;
}
constexpr CommandEntry kMapCommands[] = {{IDCANCEL, onMapCommand}};
constexpr CommandMap kCommandMap = makeCommandMap(kMapCommands, DefaultProcDialog);
LRESULT onMapCommandMessage(HWND h, UINT m, WPARAM w, LPARAM l) { return DispatchCommandMap(&kCommandMap, h, m, w, l); }
constexpr MessageEntry kMapRows[] = {{WM_COMMAND, onMapCommandMessage}};
constexpr MessageMap kMessageMap = makeMessageMap(kMapRows, DefaultProcDialog);
INT_PTR mapProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, dlg, message, wParam, lParam);
}

TEST_F(Dialogs, window_words_and_a_message_map_with_the_dialog_default)
{
    HWND dlg = CreateDialogIndirectParam(nullptr, &kDialog, nullptr, testProc, 0);
    // A handled message answers DWLP_MSGRESULT; DWLP_USER is the program's.
    EXPECT_EQ(SendMessage(dlg, WM_USER + 5, 0, 0), 4321);
    SetWindowLongPtr(dlg, DWLP_USER, 99);
    EXPECT_EQ(GetWindowLongPtr(dlg, DWLP_USER), 99);
    EXPECT_EQ(reinterpret_cast<DLGPROC>(GetWindowLongPtr(dlg, DWLP_DLGPROC)), testProc);
    // A procedure made of tables whose default is DefDlgProc: WM_CLOSE becomes
    // one Cancel command, not two, and the dialog is not destroyed.
    HWND mapped = CreateDialogIndirectParam(nullptr, &kDialog, nullptr, mapProc, 0);
    ASSERT_TRUE(mapped);
    seen.commands.clear();
    SendMessage(mapped, WM_CLOSE, 0, 0);
    EXPECT_EQ(seen.commands, (std::vector<std::pair<int, int>>{{IDCANCEL, BN_CLICKED}}));
    EXPECT_TRUE(IsWindow(mapped));
    // DM_GETDEFID reaches the default work through the table too.
    EXPECT_EQ(SendMessage(mapped, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
}

TEST_F(Dialogs, dialog_item_numbers_signed_unsigned_and_translated)
{
    HWND dlg = CreateDialogIndirectParam(nullptr, &kDialog, nullptr, testProc, 0);
    BOOL ok = FALSE;
    SetDlgItemInt(dlg, IdLabel, static_cast<UINT>(-42), TRUE);
    char text[32];
    GetDlgItemText(dlg, IdLabel, text, sizeof text);
    EXPECT_STREQ(text, "-42");
    EXPECT_EQ(static_cast<int>(GetDlgItemInt(dlg, IdLabel, &ok, TRUE)), -42);
    EXPECT_TRUE(ok);
    EXPECT_EQ(GetDlgItemInt(dlg, IdLabel, &ok, FALSE), 0u);  // no minus sign when unsigned
    EXPECT_FALSE(ok);
    SetDlgItemInt(dlg, IdLabel, 4000000000u, FALSE);
    EXPECT_EQ(GetDlgItemInt(dlg, IdLabel, &ok, FALSE), 4000000000u);
    EXPECT_TRUE(ok);
    EXPECT_EQ(GetDlgItemInt(dlg, IdLabel, &ok, TRUE), 0u);  // beyond a signed number
    EXPECT_FALSE(ok);
    struct Case {
        const char* text;
        BOOL ok;
        int value;
    };
    for (Case c : {Case{"  17 ", TRUE, 17}, Case{"12a", FALSE, 0}, Case{"", FALSE, 0}, Case{"99999999999", FALSE, 0},
                   Case{"-0", TRUE, 0}}) {
        SetDlgItemText(dlg, IdLabel, c.text);
        EXPECT_EQ(static_cast<int>(GetDlgItemInt(dlg, IdLabel, &ok, TRUE)), c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
    EXPECT_EQ(GetDlgItemInt(dlg, 4444, &ok, TRUE), 0u);
    EXPECT_FALSE(ok);
    EXPECT_EQ(SendDlgItemMessage(dlg, IdName, BM_SETCHECK, BST_CHECKED, 0), 0);
    EXPECT_EQ(SendDlgItemMessage(dlg, IdName, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(Dialogs, a_quit_message_ends_the_modal_loop_and_reaches_the_outer_loop)
{
    EXPECT_EQ(run({[](HWND) { PostQuitMessage(3); }}), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(Dialogs, end_dialog_inside_init_dialog_never_shows_the_dialog)
{
    DLGPROC proc = [](HWND dlg, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            EndDialog(dlg, 55);
            return TRUE;
        }
        return FALSE;
    };
    script({});
    EXPECT_EQ(DialogBoxIndirectParam(nullptr, &kDialog, owner, proc, 0), 55);
    EXPECT_EQ(idleTurns(), 0);
}

TEST_F(Dialogs, pocket_pc_setup_fills_the_work_area_and_puts_ok_in_the_task_bar)
{
    RECT work, r;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    HWND bar = screenTaskBar();
    ASSERT_TRUE(bar);
    RECT okBox{}, dialogRect{};
    COLORREF okPixel = 0, plainPixel = 0;
    INT_PTR result = run({[&](HWND dlg) {
                              SHINITDLGINFO info{SHIDIM_FLAGS, dlg, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU};
                              EXPECT_TRUE(SHInitDialog(&info));
                              GetWindowRect(dlg, &dialogRect);
                          },
                          [&](HWND) {
                              okBox = screenDoneButtonRect();
                              // The box's frame is drawn in the caption text colour over the bar.
                              okPixel = screenPixel(okBox.left + ScaleForScreen(3), (okBox.top + okBox.bottom) / 2);
                              plainPixel = screenPixel(okBox.left - 1, okBox.top + 1);
                              PlatformStylusInput(StylusDown, (okBox.left + okBox.right) / 2, (okBox.top + okBox.bottom) / 2);
                              PlatformStylusInput(StylusUp, (okBox.left + okBox.right) / 2, (okBox.top + okBox.bottom) / 2);
                          }});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialogRect.left, work.left);
    EXPECT_EQ(dialogRect.top, work.top);
    EXPECT_EQ(dialogRect.right, work.right);
    EXPECT_EQ(dialogRect.bottom, work.bottom);
    GetWindowRect(bar, &r);
    EXPECT_EQ(okBox.right, r.right);
    EXPECT_EQ(okBox.top, r.top);
    EXPECT_EQ(okPixel, GetSysColor(COLOR_CAPTIONTEXT));
    EXPECT_EQ(plainPixel, GetSysColor(COLOR_ACTIVECAPTION));
    // After the dialog the owner is active and has no "ok": a tap there sends nothing.
    pump();
    EXPECT_FALSE(screenHasDoneButton(GetActiveWindow()));
    // Full screen without a menu bar reaches the bottom of the screen.
    HWND dlg = CreateDialogIndirectParam(nullptr, &kDialog, nullptr, testProc, 0);
    SHINITDLGINFO info{SHIDIM_FLAGS, dlg, SHIDIF_FULLSCREENNOMENUBAR};
    SHInitDialog(&info);
    GetWindowRect(dlg, &r);
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(screenHasDoneButton(dlg));
}

TEST_F(Dialogs, the_procedure_hears_its_dialog_go)
{
    static std::vector<UINT> last;
    last.clear();
    DLGPROC proc = [](HWND dlg, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_DESTROY || message == WM_NCDESTROY) last.push_back(message);
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) EndDialog(dlg, 8);
        return FALSE;
    };
    script({key(VK_RETURN)});
    EXPECT_EQ(DialogBoxIndirectParam(nullptr, &kDialog, owner, proc, 0), 8);
    EXPECT_EQ(last, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    // A dialog that destroys itself instead of ending ends the run with -1.
    DLGPROC destroyer = [](HWND dlg, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) DestroyWindow(dlg);
        return message == WM_COMMAND;
    };
    script({key(VK_RETURN)});
    EXPECT_EQ(DialogBoxIndirectParam(nullptr, &kDialog, owner, destroyer, 0), -1);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

}  // namespace

