#pragma once
// The six pages of the options sheet: each a dialog template laid out at
// 96 dpi for a 240-pixel-wide screen, and its dialog procedure.
#include "platform/windows.h"

namespace fotrix {

struct OptionPage {
    const DialogTemplate* dialog;
    DLGPROC procedure;
};

OptionPage GeneralPage();
OptionPage BrowserPage();
OptionPage ViewerPage();
OptionPage SlideshowPage();
OptionPage ButtonsPage();
OptionPage AssociationsPage();

// Style shorthands of the page templates.
inline constexpr DWORD kPageStyle = DWORD{WS_POPUP} | DS_SETFONT;
inline constexpr DWORD kShown = WS_VISIBLE;
inline constexpr DWORD kStop = WS_VISIBLE | WS_TABSTOP;
inline constexpr DWORD kCheck = kStop | DWORD{BS_AUTOCHECKBOX};
inline constexpr DWORD kEdit = kStop | DWORD{WS_BORDER} | DWORD{ES_AUTOHSCROLL};
inline constexpr DWORD kDropList = kStop | DWORD{CBS_DROPDOWNLIST};
inline constexpr DWORD kSpin = kShown | DWORD{UDS_SETBUDDYINT} | DWORD{UDS_ALIGNRIGHT} | DWORD{UDS_ARROWKEYS} |
                               DWORD{UDS_NOTHOUSANDS};

}  // namespace fotrix
