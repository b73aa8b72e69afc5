// Property sheets: pages made when first shown, tabs at the bottom, leaving a
// page, OK with apply and refusals, Cancel, the sheet messages.
#include "tests/platform/dialog_fixture.h"

#include <iterator>

using namespace platformtest;

namespace {

enum : int { IdField = 201, IdClose = 202 };

const DialogItemTemplate kPageItems[] = {
    {WC_BUTTON, IdField, "Field", 8, 8, 100, 20, DWORD{WS_VISIBLE | WS_TABSTOP} | BS_AUTOCHECKBOX, 0},
    {WC_BUTTON, IdClose, "Close", 8, 40, 60, 22, DWORD{WS_VISIBLE | WS_TABSTOP} | BS_PUSHBUTTON, 0},
};
const DialogTemplate kPage = {"Template title", WS_POPUP | DS_SETFONT, 0, 0, 0, 200, 150, "Tahoma", 8,
                              static_cast<int>(std::size(kPageItems)), kPageItems};

struct Note {
    int page;
    UINT code;
    bool operator==(const Note&) const = default;
};
struct PageLog {
    std::vector<Note> notes;
    std::vector<int> inits;  // page numbers (the caller's lParam) in the order they were made
    bool refuseLeave[3] = {};
    LRESULT applyAnswer[3] = {};
    bool refuseCancel = false;
    HWND sheetSeen = nullptr;
};
PageLog book;

int pageNumber(HWND page)
{
    auto* psp = reinterpret_cast<PROPSHEETPAGE*>(GetWindowLongPtr(page, DWLP_USER));
    return psp ? static_cast<int>(psp->lParam) : -1;
}

INT_PTR pageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtr(page, DWLP_USER, lParam);
        book.inits.push_back(pageNumber(page));
        return TRUE;
    }
    int n = pageNumber(page);
    if (message == WM_COMMAND && LOWORD(wParam) == 4321) {
        book.notes.push_back({pageNumber(page), 4321});  // a command of the sheet's menu bar
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IdClose) {
        // A tool page closing the sheet as with OK.
        PostMessage(GetParent(page), PSM_PRESSBUTTON, PSBTN_OK, 0);
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    auto* note = reinterpret_cast<PSHNOTIFY*>(lParam);
    book.notes.push_back({n, note->hdr.code});
    book.sheetSeen = note->hdr.hwndFrom;
    LRESULT answer = 0;
    if (note->hdr.code == PSN_KILLACTIVE) answer = book.refuseLeave[n];
    if (note->hdr.code == PSN_APPLY) answer = book.applyAnswer[n];
    if (note->hdr.code == PSN_QUERYCANCEL) answer = book.refuseCancel;
    SetWindowLongPtr(page, DWLP_MSGRESULT, answer);
    return TRUE;
}

class PropertySheets : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        book = PageLog{};
        for (int i = 0; i < 3; ++i) {
            pages[i] = PROPSHEETPAGE{sizeof(PROPSHEETPAGE), PSP_DLGINDIRECT | PSP_USETITLE, nullptr, nullptr, &kPage,
                                     nullptr, titles[i], pageProc, i, nullptr, nullptr};
        }
        pages[2].dwFlags = PSP_DLGINDIRECT;  // its tab takes the template's title
    }
    PROPSHEETHEADER header(UINT start = 0, DWORD flags = 0)
    {
        return PROPSHEETHEADER{sizeof(PROPSHEETHEADER), PSH_PROPSHEETPAGE | flags, owner, nullptr, nullptr, "Convert",
                               3, start, pages, nullptr, nullptr};
    }
    INT_PTR run(std::vector<Step> steps, UINT start = 0)
    {
        script(std::move(steps));
        PROPSHEETHEADER h = header(start);
        return PropertySheet(&h);
    }
    static HWND tabsOf(HWND sheet) { return reinterpret_cast<HWND>(SendMessage(sheet, PSM_GETTABCONTROL, 0, 0)); }
    static HWND currentPage(HWND sheet)
    {
        return reinterpret_cast<HWND>(SendMessage(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    // Taps tab i of the sheet's tab row.
    static void tapTab(HWND sheet, int i)
    {
        RECT r;
        SendMessage(tabsOf(sheet), TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        tapAt(tabsOf(sheet), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    static void tapOk()
    {
        RECT ok = screenDoneButtonRect();
        PlatformStylusInput(StylusDown, (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
        PlatformStylusInput(StylusUp, (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    }
    const char* titles[3] = {"Infos", "Format", "Folder"};
    PROPSHEETPAGE pages[3];
};

TEST_F(PropertySheets, sheet_fills_the_work_area_with_tabs_at_the_bottom_and_makes_pages_when_shown)
{
    RECT sheetRect{}, tabRect{}, pageRect{};
    std::vector<std::string> tabTexts;
    HWND unmade = nullptr, sheet = nullptr;
    int visiblePage = -1;
    INT_PTR r = run({[&](HWND dlg) {
                         sheet = dlg;
                         GetWindowRect(dlg, &sheetRect);
                         GetWindowRect(tabsOf(dlg), &tabRect);
                         GetWindowRect(currentPage(dlg), &pageRect);
                         visiblePage = pageNumber(currentPage(dlg));
                         unmade = reinterpret_cast<HWND>(SendMessage(dlg, PSM_INDEXTOHWND, 0, 0));
                         for (int i = 0; i < 3; ++i) {
                             char text[32] = "";
                             TCITEM item{TCIF_TEXT, 0, 0, text, sizeof text, 0, 0};
                             SendMessage(tabsOf(dlg), TCM_GETITEM, i, reinterpret_cast<LPARAM>(&item));
                             tabTexts.push_back(text);
                         }
                     },
                     [](HWND) { tapOk(); }},
                    1);
    EXPECT_EQ(r, 1);
    RECT work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(sheetRect.top, work.top);
    EXPECT_EQ(sheetRect.bottom, work.bottom);
    EXPECT_EQ(sheetRect.right - sheetRect.left, work.right - work.left);
    EXPECT_EQ(tabRect.bottom, work.bottom);
    EXPECT_GT(tabRect.bottom - tabRect.top, 10);
    EXPECT_EQ(pageRect.top, work.top);
    EXPECT_EQ(pageRect.bottom, tabRect.top);
    EXPECT_EQ(pageRect.right - pageRect.left, work.right - work.left);  // stretched to the sheet's width
    EXPECT_EQ(visiblePage, 1);   // nStartPage
    EXPECT_EQ(unmade, nullptr);  // page 0 was never shown, so never made
    EXPECT_EQ(tabTexts, (std::vector<std::string>{"Infos", "Format", "Template title"}));
    EXPECT_EQ(book.inits, (std::vector<int>{1}));
    // OK: the page is asked to let go, then every made page applies (only page 1 here).
    EXPECT_EQ(book.notes, (std::vector<Note>{{1, PSN_SETACTIVE}, {1, PSN_KILLACTIVE}, {1, PSN_APPLY}}));
    EXPECT_EQ(book.sheetSeen, sheet);
    EXPECT_FALSE(IsWindow(sheet));
}

TEST_F(PropertySheets, tapping_a_tab_changes_the_page_unless_the_page_refuses)
{
    bool page0Hidden = false, page2Shown = false;
    int afterRefusal = -1, tabAfterRefusal = -1;
    run({[](HWND dlg) { tapTab(dlg, 2); },
         [&](HWND dlg) {
             page0Hidden = !IsWindowVisible(reinterpret_cast<HWND>(SendMessage(dlg, PSM_INDEXTOHWND, 0, 0)));
             page2Shown = IsWindowVisible(currentPage(dlg));
             book.refuseLeave[2] = true;
             tapTab(dlg, 0);
         },
         [&](HWND dlg) {
             afterRefusal = pageNumber(currentPage(dlg));
             tabAfterRefusal = static_cast<int>(SendMessage(tabsOf(dlg), TCM_GETCURSEL, 0, 0));
             book.refuseLeave[2] = false;
             keyPress(VK_ESCAPE);
         }});
    EXPECT_TRUE(page0Hidden);
    EXPECT_TRUE(page2Shown);
    EXPECT_EQ(afterRefusal, 2);
    EXPECT_EQ(tabAfterRefusal, 2);
    EXPECT_EQ(book.inits, (std::vector<int>{0, 2}));
    std::vector<Note> expected = {{0, PSN_SETACTIVE}, {0, PSN_KILLACTIVE}, {2, PSN_SETACTIVE}, {2, PSN_KILLACTIVE},
                                  // Escape: the current page may refuse; then every made page resets.
                                  {2, PSN_QUERYCANCEL}, {0, PSN_RESET}, {2, PSN_RESET}};
    EXPECT_EQ(book.notes, expected);
}

TEST_F(PropertySheets, ok_stays_open_while_a_page_finds_its_values_wrong)
{
    int shownAfterInvalid = -1;
    bool openAfterNoChange = false;
    INT_PTR r = run({[](HWND dlg) { SendMessage(dlg, PSM_SETCURSEL, 1, 0); },
                     [](HWND dlg) {
                         SendMessage(dlg, PSM_SETCURSEL, 2, 0);
                         book.applyAnswer[1] = PSNRET_INVALID;
                         keyPress(VK_RETURN);  // Enter on a check box: the sheet's OK
                     },
                     [&](HWND dlg) {
                         shownAfterInvalid = pageNumber(currentPage(dlg));
                         book.applyAnswer[1] = PSNRET_INVALID_NOCHANGEPAGE;
                         tapOk();
                     },
                     [&](HWND dlg) {
                         openAfterNoChange = IsWindowVisible(dlg);
                         book.applyAnswer[1] = PSNRET_NOERROR;
                         book.refuseLeave[1] = true;  // the current page refuses to be left: no apply at all
                         book.notes.clear();
                         tapOk();
                     },
                     [](HWND) {
                         book.refuseLeave[1] = false;
                         tapOk();
                     }});
    EXPECT_EQ(r, 1);
    EXPECT_EQ(shownAfterInvalid, 1);  // the page with the wrong values comes to the front
    EXPECT_TRUE(openAfterNoChange);
    std::vector<Note> last = {{1, PSN_KILLACTIVE}, {1, PSN_KILLACTIVE}, {0, PSN_APPLY}, {1, PSN_APPLY}, {2, PSN_APPLY}};
    EXPECT_EQ(book.notes, last);
}

TEST_F(PropertySheets, cancel_can_be_refused_and_otherwise_resets_and_returns_zero)
{
    bool stillOpen = false;
    INT_PTR r = run({[](HWND) {
                         book.refuseCancel = true;
                         keyPress(VK_ESCAPE);
                     },
                     [&](HWND dlg) {
                         stillOpen = IsWindowVisible(dlg);
                         book.refuseCancel = false;
                         PostMessage(dlg, WM_CLOSE, 0, 0);
                     }});
    EXPECT_EQ(r, 0);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(book.notes.back(), (Note{0, PSN_RESET}));
}

TEST_F(PropertySheets, page_handles_callbacks_and_a_page_button_closing_the_sheet)
{
    static HWND initialised;
    initialised = nullptr;
    HPROPSHEETPAGE handles[3];
    for (int i = 0; i < 3; ++i) handles[i] = CreatePropertySheetPage(&pages[i]);
    PROPSHEETHEADER h{sizeof(PROPSHEETHEADER), PSH_USECALLBACK, owner, nullptr, nullptr, "Rotate", 3, 9, nullptr,
                      handles, [](HWND sheet, UINT message, LPARAM) -> int {
                          if (message == PSCB_INITIALIZED) initialised = sheet;
                          return 0;
                      }};
    int indexOfCurrent = -1, selectResult = -1;
    HWND sheetSeen = nullptr;
    script({[&](HWND dlg) {
                sheetSeen = dlg;
                // Selecting by page handle; nStartPage 9 was out of range, so page 0 came first.
                selectResult = static_cast<int>(SendMessage(dlg, PSM_SETCURSEL, 0, reinterpret_cast<LPARAM>(handles[2])));
                indexOfCurrent = static_cast<int>(SendMessage(dlg, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(currentPage(dlg)), 0));
            },
            [](HWND dlg) { tapCentre(GetDlgItem(currentPage(dlg), IdClose)); }});
    EXPECT_EQ(PropertySheet(&h), 1);
    EXPECT_EQ(initialised, sheetSeen);
    EXPECT_EQ(selectResult, TRUE);
    EXPECT_EQ(indexOfCurrent, 2);
    EXPECT_EQ(book.inits, (std::vector<int>{0, 2}));
    EXPECT_EQ(book.notes.back(), (Note{2, PSN_APPLY}));
}

TEST_F(PropertySheets, tab_key_runs_through_the_page_and_the_tab_row)
{
    std::vector<int> order;  // control ids, -1 for the tab row
    auto note = [&](HWND dlg) { order.push_back(GetFocus() == tabsOf(dlg) ? -1 : GetDlgCtrlID(GetFocus())); };
    run({note, key(VK_TAB), note, key(VK_TAB), note, key(VK_TAB), note, key(VK_ESCAPE)});
    EXPECT_EQ(order, (std::vector<int>{IdField, IdClose, -1, IdField}));
}

TEST_F(PropertySheets, modeless_sheet_shows_at_once_and_goes_away_on_ok)
{
    PROPSHEETHEADER h = header(0, PSH_MODELESS);
    HWND sheet = reinterpret_cast<HWND>(PropertySheet(&h));
    ASSERT_TRUE(IsWindow(sheet));
    pump();
    EXPECT_TRUE(IsWindowVisible(sheet));
    EXPECT_TRUE(IsWindowEnabled(owner));  // a modeless sheet leaves its owner usable
    EXPECT_TRUE(screenHasDoneButton(sheet));
    SendMessage(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    EXPECT_FALSE(IsWindow(sheet));
    EXPECT_EQ(book.notes.back(), (Note{0, PSN_APPLY}));
}

TEST_F(PropertySheets, menu_commands_reach_the_current_page_and_apply_now_keeps_the_sheet)
{
    LRESULT applied = -1, refused = -1;
    bool open = false;
    run({[&](HWND dlg) {
             SendMessage(dlg, PSM_SETCURSEL, 1, 0);
             SendMessage(dlg, WM_COMMAND, MAKEWPARAM(4321, 0), 0);
             applied = SendMessage(dlg, PSM_APPLY, 0, 0);
             book.applyAnswer[0] = PSNRET_INVALID;
             refused = SendMessage(dlg, PSM_APPLY, 0, 0);
             open = IsWindowVisible(dlg);
             book.applyAnswer[0] = PSNRET_NOERROR;
             keyPress(VK_ESCAPE);
         }});
    EXPECT_EQ(applied, TRUE);
    EXPECT_EQ(refused, FALSE);
    EXPECT_TRUE(open);
    std::vector<Note> expected = {{0, PSN_SETACTIVE}, {0, PSN_KILLACTIVE}, {1, PSN_SETACTIVE}, {1, 4321},
                                  // Apply now: the current page lets go, the made pages apply (lParam FALSE).
                                  {1, PSN_KILLACTIVE}, {0, PSN_APPLY}, {1, PSN_APPLY},
                                  {1, PSN_KILLACTIVE}, {0, PSN_APPLY},
                                  {1, PSN_QUERYCANCEL}, {0, PSN_RESET}, {1, PSN_RESET}};
    EXPECT_EQ(book.notes, expected);
}

}  // namespace

