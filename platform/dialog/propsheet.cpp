// Property sheets: a dialog filling the work area with a tab row at the
// bottom and one child dialog per page above it. Pages are made when first
// shown; leaving a page asks it (PSN_KILLACTIVE), OK asks every made page to
// apply (PSN_APPLY), Cancel tells them to drop their changes (PSN_RESET).
#include "platform/dialog/propsheet.h"
#include "platform/controls/tab.h"
#include "platform/dialog/dialog_internal.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

struct PropSheetPageRec {
    PROPSHEETPAGE page;
};

namespace {

enum : int { kTabId = 0x3020 };

struct Page {
    PROPSHEETPAGE psp;  // the sheet's copy: pages get its address with WM_INITDIALOG
    HWND hwnd = nullptr;
    HPROPSHEETPAGE handle = nullptr;  // the caller's handle, freed with the sheet
    bool changed = false;
};

struct Sheet {
    DWORD flags = 0;
    std::string caption;
    std::vector<std::unique_ptr<Page>> pages;
    int current = -1;
    HWND hwnd = nullptr;
    HWND tabs = nullptr;
    PFNPROPSHEETCALLBACK callback = nullptr;
    UINT startPage = 0;
    bool modeless = false;
};

Sheet* sheetOf(HWND hwnd) { return reinterpret_cast<Sheet*>(GetWindowLongPtr(hwnd, DWLP_USER)); }

const DialogTemplate* pageTemplate(const PROPSHEETPAGE& psp)
{
    if (psp.dwFlags & PSP_DLGINDIRECT) return psp.pResource;
    return FindDialogTemplate(psp.hInstance, psp.pszTemplate);
}

std::string pageTitle(const PROPSHEETPAGE& psp)
{
    if ((psp.dwFlags & PSP_USETITLE) && psp.pszTitle) return psp.pszTitle;
    const DialogTemplate* t = pageTemplate(psp);
    return t && t->title ? t->title : "";
}

// The area above the tab row, in the sheet's client coordinates.
RECT pageArea(const Sheet* s)
{
    RECT client, tabs;
    GetClientRect(s->hwnd, &client);
    GetWindowRect(s->tabs, &tabs);
    client.bottom -= tabs.bottom - tabs.top;
    return client;
}

LRESULT notifyPage(Sheet* s, int index, UINT code, LPARAM lParam = 0)
{
    HWND page = s->pages[index]->hwnd;
    if (!page) return 0;
    PSHNOTIFY n{{s->hwnd, 0, code}, lParam};
    return SendMessage(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
}

// Makes the page's window the first time it is shown: a child dialog made from
// the page's template, stretched over the page area.
bool makePage(Sheet* s, int index)
{
    Page& p = *s->pages[index];
    if (p.hwnd) return true;
    if ((p.psp.dwFlags & PSP_USECALLBACK) && p.psp.pfnCallback && !p.psp.pfnCallback(nullptr, PSPCB_CREATE, &p.psp))
        return false;
    const DialogTemplate* source = pageTemplate(p.psp);
    if (!source) return false;
    DialogTemplate child = *source;
    child.style = (source->style & ~(WS_POPUP | WS_CAPTION | WS_BORDER | WS_VISIBLE | DS_CENTER)) | WS_CHILD | DS_CONTROL;
    child.x = child.y = 0;
    p.hwnd = dialogs::buildDialog(p.psp.hInstance, &child, s->hwnd, p.psp.pfnDlgProc, reinterpret_cast<LPARAM>(&p.psp),
                                  false);
    if (!p.hwnd) return false;
    RECT area = pageArea(s);
    MoveWindow(p.hwnd, area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
    return true;
}

// Asks the current page whether it may be left.
bool currentPageLets(Sheet* s)
{
    if (s->current < 0) return true;
    notifyPage(s, s->current, PSN_KILLACTIVE);
    HWND page = s->pages[s->current]->hwnd;
    return !(page && GetWindowLongPtr(page, DWLP_MSGRESULT));
}

// Shows page `index` (the current page has already agreed to go).
bool showPage(Sheet* s, int index)
{
    if (index < 0 || index >= static_cast<int>(s->pages.size()) || !makePage(s, index)) return false;
    HWND next = s->pages[index]->hwnd;
    notifyPage(s, index, PSN_SETACTIVE);
    if (s->current >= 0 && s->current != index && s->pages[s->current]->hwnd)
        ShowWindow(s->pages[s->current]->hwnd, SW_HIDE);
    s->current = index;
    SendMessage(s->tabs, TCM_SETCURSEL, index, 0);
    ShowWindow(next, SW_SHOW);
    HWND focus = GetFocus();
    if (!focus || !IsChild(next, focus)) {
        HWND first = GetNextDlgTabItem(next, nullptr, FALSE);
        if (first) dialogs::focusControl(s->hwnd, first, true);
    }
    return true;
}

bool selectPage(Sheet* s, int index)
{
    if (index == s->current) return true;
    if (index < 0 || index >= static_cast<int>(s->pages.size())) return false;
    if (!currentPageLets(s)) return false;
    return showPage(s, index);
}

void finish(Sheet* s, INT_PTR result)
{
    if (s->modeless) DestroyWindow(s->hwnd);
    else EndDialog(s->hwnd, result);
}

// OK: the current page must agree to be left, then every page made so far
// applies; a page that finds its values wrong keeps the sheet open.
void pressOk(Sheet* s)
{
    if (!currentPageLets(s)) return;
    for (int i = 0; i < static_cast<int>(s->pages.size()); ++i) {
        if (!s->pages[i]->hwnd) continue;
        notifyPage(s, i, PSN_APPLY, TRUE);
        LRESULT answer = GetWindowLongPtr(s->pages[i]->hwnd, DWLP_MSGRESULT);
        if (answer == PSNRET_INVALID) {
            showPage(s, i);
            return;
        }
        if (answer == PSNRET_INVALID_NOCHANGEPAGE) return;
    }
    finish(s, 1);
}

void pressCancel(Sheet* s)
{
    if (s->current >= 0) {
        notifyPage(s, s->current, PSN_QUERYCANCEL);
        HWND page = s->pages[s->current]->hwnd;
        if (page && GetWindowLongPtr(page, DWLP_MSGRESULT)) return;
    }
    for (int i = 0; i < static_cast<int>(s->pages.size()); ++i) notifyPage(s, i, PSN_RESET);
    finish(s, 0);
}

// Apply now: the pages apply, the sheet stays.
bool applyNow(Sheet* s)
{
    if (!currentPageLets(s)) return false;
    for (int i = 0; i < static_cast<int>(s->pages.size()); ++i) {
        if (!s->pages[i]->hwnd) continue;
        notifyPage(s, i, PSN_APPLY, FALSE);
        if (GetWindowLongPtr(s->pages[i]->hwnd, DWLP_MSGRESULT) != PSNRET_NOERROR) return false;
        s->pages[i]->changed = false;
    }
    return true;
}

int indexOfWindow(Sheet* s, HWND page)
{
    for (int i = 0; i < static_cast<int>(s->pages.size()); ++i)
        if (s->pages[i]->hwnd == page) return i;
    return -1;
}

int indexOfHandle(Sheet* s, HPROPSHEETPAGE handle)
{
    for (int i = 0; i < static_cast<int>(s->pages.size()); ++i)
        if (handle && s->pages[i]->handle == handle) return i;
    return -1;
}

void addTab(Sheet* s, int index)
{
    std::string title = pageTitle(s->pages[index]->psp);
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    SendMessage(s->tabs, TCM_INSERTITEM, index, reinterpret_cast<LPARAM>(&item));
}

// The tab row along the bottom of the sheet, as high as its tabs.
void layoutTabs(Sheet* s)
{
    RECT client, tab{0, 0, 0, 0};
    GetClientRect(s->hwnd, &client);
    int row = ScaleForScreen(20);
    if (SendMessage(s->tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab)) && tab.bottom > tab.top)
        row = tab.bottom - tab.top;
    MoveWindow(s->tabs, 0, client.bottom - row, client.right, row, TRUE);
}

INT_PTR onInit(HWND hwnd, Sheet* s)
{
    SetWindowLongPtr(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
    s->hwnd = hwnd;
    s->tabs = GetDlgItem(hwnd, kTabId);
    SHINITDLGINFO info{SHIDIM_FLAGS, hwnd, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU};
    SHInitDialog(&info);
    for (int i = 0; i < static_cast<int>(s->pages.size()); ++i) addTab(s, i);
    layoutTabs(s);
    UINT start = s->startPage < s->pages.size() ? s->startPage : 0;
    if (!s->pages.empty()) showPage(s, static_cast<int>(start));
    if (s->callback) s->callback(hwnd, PSCB_INITIALIZED, 0);
    return FALSE;  // the first page has the focus already
}

INT_PTR onNotify(HWND hwnd, Sheet* s, const NMHDR* n)
{
    if (!n || n->hwndFrom != s->tabs) return FALSE;
    if (n->code == TCN_SELCHANGING) {
        // Leaving the tab needs the current page's consent.
        SetWindowLongPtr(hwnd, DWLP_MSGRESULT, currentPageLets(s) ? FALSE : TRUE);
        return TRUE;
    }
    if (n->code == TCN_SELCHANGE) {
        int index = static_cast<int>(SendMessage(s->tabs, TCM_GETCURSEL, 0, 0));
        if (!showPage(s, index)) SendMessage(s->tabs, TCM_SETCURSEL, s->current, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR onCommand(Sheet* s, WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam);
    if (id == IDOK) pressOk(s);
    else if (id == IDCANCEL) pressCancel(s);
    else if (s->current >= 0 && s->pages[s->current]->hwnd) {
        // Commands of the sheet's menu bar are the current page's business.
        SendMessage(s->pages[s->current]->hwnd, WM_COMMAND, wParam, lParam);
    }
    return TRUE;
}

LRESULT sheetMessage(HWND hwnd, Sheet* s, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case PSM_SETCURSEL: {
        int index = lParam ? indexOfHandle(s, reinterpret_cast<HPROPSHEETPAGE>(lParam)) : static_cast<int>(wParam);
        return selectPage(s, index);
    }
    case PSM_CHANGED:
    case PSM_UNCHANGED: {
        int index = indexOfWindow(s, reinterpret_cast<HWND>(wParam));
        if (index >= 0) s->pages[index]->changed = message == PSM_CHANGED;
        return 0;
    }
    case PSM_PRESSBUTTON:
        if (wParam == PSBTN_OK) pressOk(s);
        else if (wParam == PSBTN_CANCEL) pressCancel(s);
        else if (wParam == PSBTN_APPLYNOW) applyNow(s);
        return 0;
    case PSM_APPLY:
        return applyNow(s);
    case PSM_SETTITLE:
        s->caption = lParam ? reinterpret_cast<const char*>(lParam) : "";
        SetWindowText(hwnd, s->caption.c_str());
        return 0;
    case PSM_GETTABCONTROL:
        return reinterpret_cast<LRESULT>(s->tabs);
    case PSM_ISDIALOGMESSAGE:
        return IsDialogMessage(hwnd, reinterpret_cast<MSG*>(lParam));
    case PSM_GETCURRENTPAGEHWND:
        return s->current >= 0 ? reinterpret_cast<LRESULT>(s->pages[s->current]->hwnd) : 0;
    case PSM_HWNDTOINDEX:
        return indexOfWindow(s, reinterpret_cast<HWND>(wParam));
    case PSM_INDEXTOHWND:
        return wParam < s->pages.size() ? reinterpret_cast<LRESULT>(s->pages[wParam]->hwnd) : 0;
    default:
        return 0;
    }
}

void release(Sheet* s)
{
    for (auto& p : s->pages) {
        if ((p->psp.dwFlags & PSP_USECALLBACK) && p->psp.pfnCallback) p->psp.pfnCallback(nullptr, PSPCB_RELEASE, &p->psp);
        if (p->handle) DestroyPropertySheetPage(p->handle);
    }
    delete s;
}

INT_PTR sheetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) return onInit(hwnd, reinterpret_cast<Sheet*>(lParam));
    Sheet* s = sheetOf(hwnd);
    if (!s) return FALSE;
    if (message >= PSM_SETCURSEL && message <= PSM_INDEXTOHWND) {
        SetWindowLongPtr(hwnd, DWLP_MSGRESULT, sheetMessage(hwnd, s, message, wParam, lParam));
        return TRUE;
    }
    switch (message) {
    case WM_NOTIFY:
        return onNotify(hwnd, s, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        return onCommand(s, wParam, lParam);
    case WM_NCDESTROY:
        SetWindowLongPtr(hwnd, DWLP_USER, 0);
        if (s->modeless) release(s);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

HPROPSHEETPAGE CreatePropertySheetPage(const PROPSHEETPAGE* page)
{
    if (!page) return nullptr;
    return new PropSheetPageRec{*page};
}

BOOL DestroyPropertySheetPage(HPROPSHEETPAGE page)
{
    delete page;
    return page != nullptr;
}

INT_PTR PropertySheet(const PROPSHEETHEADER* header)
{
    if (!header) return -1;
    auto* s = new Sheet();
    s->flags = header->dwFlags;
    s->caption = header->pszCaption ? header->pszCaption : "";
    s->startPage = header->nStartPage;
    s->modeless = (header->dwFlags & PSH_MODELESS) != 0;
    if (header->dwFlags & PSH_USECALLBACK) s->callback = header->pfnCallback;
    for (UINT i = 0; i < header->nPages; ++i) {
        auto p = std::make_unique<Page>();
        if (header->dwFlags & PSH_PROPSHEETPAGE) {
            if (!header->ppsp) break;
            p->psp = header->ppsp[i];
        } else {
            if (!header->phpage || !header->phpage[i]) continue;
            p->handle = header->phpage[i];
            p->psp = header->phpage[i]->page;
        }
        s->pages.push_back(std::move(p));
    }
    const DialogItemTemplate items[] = {
        {WC_TABCONTROL, kTabId, "", 0, 0, 0, 0, DWORD{WS_VISIBLE | WS_TABSTOP} | TCS_BOTTOM, 0},
    };
    DialogTemplate dialog{s->caption.c_str(), DWORD{WS_POPUP} | DS_SETFONT, 0, 0, 0, 240, 268, "Tahoma", 8, 1, items};
    if (s->callback) s->callback(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(&dialog));
    if (s->modeless) {
        dialog.style |= WS_VISIBLE;
        HWND sheet = CreateDialogIndirectParam(header->hInstance, &dialog, header->hwndParent, sheetProc,
                                               reinterpret_cast<LPARAM>(s));
        if (!sheet && !s->hwnd) release(s);  // once made, the sheet frees itself when destroyed
        return reinterpret_cast<INT_PTR>(sheet);
    }
    INT_PTR r = DialogBoxIndirectParam(header->hInstance, &dialog, header->hwndParent, sheetProc, reinterpret_cast<LPARAM>(s));
    release(s);
    return r;
}
