#pragma once
// The common dialogs: choosing a file to open, choosing (or making) a folder,
// choosing a colour. Each runs modally over its owner. Cancel returns FALSE
// and leaves every field and buffer of the caller as it was;
// CommDlgExtendedError then answers 0. A failure answers a code.
#include "platform/base/types.h"

// CommDlgExtendedError codes.
constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
constexpr DWORD CDERR_INITIALIZATION = 0x0002;
constexpr DWORD FNERR_INVALIDFILENAME = 0x3002;
constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;  // the chosen path did not fit: nothing was written
DWORD CommDlgExtendedError();

// ---- Opening a file ----
struct OPENFILENAME {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    const char* lpstrFilter;     // pairs of zero-ended texts: title, patterns ("*.wav;*.mp3"); ends with an empty text
    char* lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;          // 1-based; in: the filter shown first, out: the one in use at OK
    char* lpstrFile;             // in: a name or path to start with (may be empty); out: the chosen path
    DWORD nMaxFile;              // bytes of lpstrFile, with its terminating zero
    char* lpstrFileTitle;        // out (optional): the chosen file's name
    DWORD nMaxFileTitle;
    const char* lpstrInitialDir; // the folder shown first
    const char* lpstrTitle;      // shown in the task bar; "Open" when null
    DWORD Flags;
    WORD nFileOffset;            // out: where the name starts in lpstrFile
    WORD nFileExtension;         // out: where the extension starts (after the dot); 0 without one
    const char* lpstrDefExt;     // added (with a dot) to a typed name without an extension
    LPARAM lCustData;
    void* lpfnHook;
    const char* lpTemplateName;
};
constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;  // there is no read-only box to hide
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;   // the program's current folder never changes here
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
BOOL GetOpenFileName(OPENFILENAME* ofn);

// ---- Choosing a folder ----
// Shows the folders below `folder` (or "My Documents" when it is empty or
// missing) and lets the user move up and down the tree; with
// CHOOSEFOLDER_NEWFOLDER a button makes a new folder in the one shown. On OK
// the chosen folder, with a trailing "/", goes to `folder` (capacity bytes
// with the zero); a path that does not fit is refused (FNERR_BUFFERTOOSMALL).
constexpr DWORD CHOOSEFOLDER_NEWFOLDER = 0x0001;
BOOL ChooseFolder(HWND owner, const char* title, char* folder, int capacity, DWORD flags);

// ---- Choosing a colour ----
struct CHOOSECOLOR {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    COLORREF rgbResult;     // in with CC_RGBINIT: the colour to start with; out: the chosen one
    COLORREF* lpCustColors; // 16 custom colours, shown and kept (written back on OK)
    DWORD Flags;
    LPARAM lCustData;
    void* lpfnHook;
    const char* lpTemplateName;
};
constexpr DWORD CC_RGBINIT = 0x0001;
constexpr DWORD CC_FULLOPEN = 0x0002;         // the red, green and blue sliders always show here
constexpr DWORD CC_PREVENTFULLOPEN = 0x0004;
constexpr DWORD CC_SOLIDCOLOR = 0x0080;
constexpr DWORD CC_ANYCOLOR = 0x0100;
BOOL ChooseColor(CHOOSECOLOR* cc);
