#pragma once
// Property sheets in the Pocket PC manner: the sheet fills the work area, its
// pages (child dialogs made from templates, each made the first time it is
// shown) fill the sheet above a row of tabs along the bottom, and its OK is
// the "ok" button in the task bar. Enter presses the default button (OK),
// Escape and closing cancel.
#include "platform/base/types.h"
#include "platform/controls/controls.h"
#include "platform/dialog/dialog.h"

typedef struct PropSheetPageRec* HPROPSHEETPAGE;
struct PROPSHEETPAGE;
typedef UINT (*LPFNPSPCALLBACK)(HWND hwnd, UINT message, PROPSHEETPAGE* page);
typedef int (*PFNPROPSHEETCALLBACK)(HWND sheet, UINT message, LPARAM lParam);

struct PROPSHEETPAGE {
    DWORD dwSize;
    DWORD dwFlags;
    HINSTANCE hInstance;
    const char* pszTemplate;          // a registered dialog (by number or name)...
    const DialogTemplate* pResource;  // ...or, with PSP_DLGINDIRECT, the template itself
    HICON hIcon;
    const char* pszTitle;             // the tab's text with PSP_USETITLE, else the template's title
    DLGPROC pfnDlgProc;
    LPARAM lParam;
    LPFNPSPCALLBACK pfnCallback;
    UINT* pcRefParent;
};

constexpr DWORD PSP_DEFAULT = 0x0000;
constexpr DWORD PSP_DLGINDIRECT = 0x0001;
constexpr DWORD PSP_USETITLE = 0x0008;
constexpr DWORD PSP_USECALLBACK = 0x0080;
// Page callback messages (PSP_USECALLBACK): before the page's window is made
// (answer 0 to leave the page out) and when the sheet lets the page go.
constexpr UINT PSPCB_RELEASE = 1;
constexpr UINT PSPCB_CREATE = 2;

struct PROPSHEETHEADER {
    DWORD dwSize;
    DWORD dwFlags;
    HWND hwndParent;
    HINSTANCE hInstance;
    HICON hIcon;
    const char* pszCaption;           // shown in the task bar while the sheet is active
    UINT nPages;
    UINT nStartPage;
    const PROPSHEETPAGE* ppsp;        // with PSH_PROPSHEETPAGE
    HPROPSHEETPAGE* phpage;           // without it; the sheet frees these pages
    PFNPROPSHEETCALLBACK pfnCallback; // with PSH_USECALLBACK
};

constexpr DWORD PSH_DEFAULT = 0x0000;
constexpr DWORD PSH_PROPTITLE = 0x0001;
constexpr DWORD PSH_PROPSHEETPAGE = 0x0008;
constexpr DWORD PSH_NOAPPLYNOW = 0x0080;
constexpr DWORD PSH_USECALLBACK = 0x0100;
constexpr DWORD PSH_MODELESS = 0x0400;
constexpr DWORD PSH_MAXIMIZE = 0x2000;  // the sheet always fills the work area here
// Sheet callback messages (PSH_USECALLBACK): PSCB_PRECREATE with the sheet's
// own template (which the callback may change), PSCB_INITIALIZED once the
// sheet and its first page exist.
constexpr UINT PSCB_INITIALIZED = 1;
constexpr UINT PSCB_PRECREATE = 2;

// Modal: 1 when the sheet closed with OK, 0 with Cancel, -1 when it could not
// be made. With PSH_MODELESS: the sheet window (the caller's loop should pass
// messages through PSM_ISDIALOGMESSAGE); it destroys itself on OK or Cancel.
INT_PTR PropertySheet(const PROPSHEETHEADER* header);
HPROPSHEETPAGE CreatePropertySheetPage(const PROPSHEETPAGE* page);
BOOL DestroyPropertySheetPage(HPROPSHEETPAGE page);

// Sheet messages.
enum : UINT {
    PSM_SETCURSEL = WM_USER + 101,      // wParam index (or lParam page handle); FALSE when refused
    PSM_REMOVEPAGE = WM_USER + 102,
    PSM_ADDPAGE = WM_USER + 103,
    PSM_CHANGED = WM_USER + 104,        // wParam the page
    PSM_UNCHANGED = WM_USER + 109,      // wParam the page
    PSM_APPLY = WM_USER + 110,
    PSM_SETTITLE = WM_USER + 111,       // lParam the new caption
    PSM_SETWIZBUTTONS = WM_USER + 112,
    PSM_PRESSBUTTON = WM_USER + 113,    // wParam PSBTN_
    PSM_GETTABCONTROL = WM_USER + 116,
    PSM_ISDIALOGMESSAGE = WM_USER + 117,
    PSM_GETCURRENTPAGEHWND = WM_USER + 118,
    PSM_HWNDTOINDEX = WM_USER + 129,
    PSM_INDEXTOHWND = WM_USER + 130,    // null for a page not made yet
};
constexpr WPARAM PSBTN_OK = 3;
constexpr WPARAM PSBTN_APPLYNOW = 4;
constexpr WPARAM PSBTN_CANCEL = 5;

// Notifications to the pages (WM_NOTIFY with this record; hwndFrom is the sheet).
struct PSHNOTIFY {
    NMHDR hdr;
    LPARAM lParam;  // PSN_APPLY: TRUE when OK closes the sheet
};
enum : UINT {
    PSN_SETACTIVE = static_cast<UINT>(-200),    // the page is about to show
    PSN_KILLACTIVE = static_cast<UINT>(-201),   // DWLP_MSGRESULT TRUE keeps the page (its values are wrong)
    PSN_APPLY = static_cast<UINT>(-202),        // DWLP_MSGRESULT PSNRET_
    PSN_RESET = static_cast<UINT>(-203),        // the sheet is cancelled
    PSN_QUERYCANCEL = static_cast<UINT>(-209),  // DWLP_MSGRESULT TRUE refuses the Cancel
};
constexpr LRESULT PSNRET_NOERROR = 0;
constexpr LRESULT PSNRET_INVALID = 1;               // the sheet shows that page and stays open
constexpr LRESULT PSNRET_INVALID_NOCHANGEPAGE = 2;  // the sheet stays open on the current page
