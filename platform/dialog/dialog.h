#pragma once
// Dialogs: windows built from a template table (a header and one row per
// control), run modeless or modal, with a dialog procedure that answers
// messages first and the dialog manager's default behaviour behind it: the
// keyboard (Tab, arrows within a group, Enter, Escape), the default push
// button, focus kept across activation, and the result of a modal run.
#include "platform/base/types.h"
#include "platform/window/window.h"

typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);

// One control of a dialog template. The rectangle is in pixels of a 96 dpi
// screen and is scaled to the device (ScaleForScreen). The style is used as
// written (give WS_VISIBLE for a control that starts shown); WS_CHILD is added.
struct DialogItemTemplate {
    const char* className;  // WC_BUTTON, WC_STATIC, ...
    int id;
    const char* text;
    int x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
};

// A dialog template: the header and its controls, in creation (and tab) order.
// Top-level dialogs are placed relative to the work area (or centred in it
// with DS_CENTER); child dialogs (WS_CHILD, e.g. property sheet pages)
// relative to their parent. With DS_SETFONT every control gets the font
// `fontFace` of `pointSize` points; without it the controls keep their own.
struct DialogTemplate {
    const char* title;
    DWORD style;
    DWORD exStyle;
    int x, y, cx, cy;
    const char* fontFace;
    int pointSize;
    int itemCount;
    const DialogItemTemplate* items;
};

// Dialog templates compiled into the program, found by number or by name.
struct DialogResource {
    int id;  // or 0 with a name
    const char* name;
    const DialogTemplate* dialog;
};
void RegisterDialogs(const DialogResource* dialogs, int count);
const DialogTemplate* FindDialogTemplate(HINSTANCE instance, const char* name);

// Dialog styles (plain constants: they combine with the WS_ styles).
constexpr DWORD DS_ABSALIGN = 0x0001;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_NOIDLEMSG = 0x0100;
constexpr DWORD DS_SETFOREGROUND = 0x0200;
constexpr DWORD DS_CONTROL = 0x0400;
constexpr DWORD DS_CENTER = 0x0800;

// The dialog window class and its window words.
#define WC_DIALOG "#32770"
enum : int {
    DWLP_MSGRESULT = 0,
    DWLP_DLGPROC = static_cast<int>(sizeof(LONG_PTR)),
    DWLP_USER = static_cast<int>(2 * sizeof(LONG_PTR)),
    DWL_MSGRESULT = DWLP_MSGRESULT,
    DWL_DLGPROC = DWLP_DLGPROC,
    DWL_USER = DWLP_USER,
    DLGWINDOWEXTRA = static_cast<int>(4 * sizeof(LONG_PTR)),
};

// Messages of the dialog manager.
enum : UINT {
    WM_NEXTDLGCTL = 0x0028,
    WM_ENTERIDLE = 0x0121,
    DM_GETDEFID = WM_USER + 0,
    DM_SETDEFID = WM_USER + 1,
};
// DM_GETDEFID answers MAKELRESULT(id, DC_HASDEFID).
enum : WORD { DC_HASDEFID = 0x534B };
// WM_ENTERIDLE wParam: a modal dialog's loop has nothing to do (lParam is the dialog).
enum : WPARAM { MSGF_DIALOGBOX = 0 };

// The remaining command identifiers of dialogs and message boxes.
constexpr int IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

// Modeless: returns the dialog (shown when its template has WS_VISIBLE), or
// null when the template is missing or a control could not be made.
HWND CreateDialogParam(HINSTANCE instance, const char* templateName, HWND parent, DLGPROC proc, LPARAM param);
HWND CreateDialogIndirectParam(HINSTANCE instance, const DialogTemplate* dialog, HWND parent, DLGPROC proc,
                               LPARAM param);
inline HWND CreateDialog(HINSTANCE instance, const char* templateName, HWND parent, DLGPROC proc)
{
    return CreateDialogParam(instance, templateName, parent, proc, 0);
}

// Modal: runs a message loop of its own until EndDialog, with the owner
// disabled meanwhile; returns the EndDialog value, or -1 when the dialog
// could not be made. A WM_QUIT met in the loop ends the dialog (result 0 unless
// EndDialog gave one) and is posted again for the outer loop. While the loop
// has nothing to do it sends WM_ENTERIDLE (MSGF_DIALOGBOX, dialog) to the
// owner, unless the template has DS_NOIDLEMSG.
INT_PTR DialogBoxParam(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC proc, LPARAM param);
INT_PTR DialogBoxIndirectParam(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC proc,
                               LPARAM param);
inline INT_PTR DialogBox(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC proc)
{
    return DialogBoxParam(instance, templateName, owner, proc, 0);
}
// Ends a modal dialog with `result` (the dialog is hidden at once and
// destroyed when its loop returns); a modeless dialog is only hidden.
BOOL EndDialog(HWND dialog, INT_PTR result);

// Keyboard handling of a dialog for a message loop of its own: true when the
// message was for the dialog (or one of its controls) and has been handled.
BOOL IsDialogMessage(HWND dialog, MSG* msg);

// Items.
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
// Reads a number from the item's text (leading and trailing blanks allowed, a
// minus sign when signed). *translated (may be null) tells whether it was one;
// on failure the result is 0.
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
// Scales a rectangle of the template's 96 dpi units to the screen.
BOOL MapDialogRect(HWND dialog, RECT* rect);

// Tab order: the next (or previous) control with WS_TABSTOP that is visible
// and enabled, in creation order, wrapping around; from a null start, the
// first (or last). Group order: the next (or previous) control within the
// WS_GROUP group of `control`, wrapping within the group.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);

// WM_GETDLGCODE answers: what keys a control keeps for itself.
enum : LRESULT {
    DLGC_WANTARROWS = 0x0001,
    DLGC_WANTTAB = 0x0002,
    DLGC_WANTALLKEYS = 0x0004,
    DLGC_WANTMESSAGE = 0x0004,
    DLGC_HASSETSEL = 0x0008,
    DLGC_DEFPUSHBUTTON = 0x0010,
    DLGC_UNDEFPUSHBUTTON = 0x0020,
    DLGC_RADIOBUTTON = 0x0040,
    DLGC_WANTCHARS = 0x0080,
    DLGC_STATIC = 0x0100,
    DLGC_BUTTON = 0x2000,
};

// ---- Pocket PC dialog set-up ----
struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};
enum : DWORD { SHIDIM_FLAGS = 0x0001 };
enum : DWORD {
    SHIDIF_DONEBUTTON = 0x0001,          // an "ok" button in the task bar sends IDOK
    SHIDIF_SIZEDLG = 0x0002,             // sized to the work area
    SHIDIF_SIZEDLGFULLSCREEN = 0x0004,   // sized to the work area
    SHIDIF_SIPDOWN = 0x0008,             // the input panel goes down (there is none here)
    SHIDIF_FULLSCREENNOMENUBAR = 0x0010, // from below the task bar to the bottom of the screen
    SHIDIF_EMPTYMENU = 0x0020,           // an empty menu bar of its own covers the owner's
};
BOOL SHInitDialog(SHINITDLGINFO* info);
// Internal to platform/: how SHInitDialog makes a dialog's empty menu bar (the
// menu bars live on the dialogs' floor, so the platform's start plugs it in).
using EmptyMenuBarMaker = HWND (*)(HWND dialog);
void setEmptyMenuBarMaker(EmptyMenuBarMaker maker);
