#pragma once
// Edit field ("Edit"), of one line or, with ES_MULTILINE, of many. Text is
// UTF-8; positions in the EM_ messages are byte offsets into it, and an
// offset that falls inside a character (or between the CR and LF of a line
// break) is taken back to the start of that character, so the caret and the
// selection always sit between whole characters. Limits count bytes too, so
// a field limited to n fits a buffer of n + 1 bytes.
//
// A multi-line field breaks its lines at "\r\n" (Return types one; a lone
// "\n" set by a program breaks too) and, unless made with ES_AUTOHSCROLL or
// WS_HSCROLL, wraps long lines at blanks. It scrolls vertically to keep the
// caret in view (whether or not ES_AUTOVSCROLL is given) and keeps a WS_VSCROLL
// bar in step. Return types a line break only with ES_WANTRETURN; otherwise
// it reaches the dialog's default button, as in a single-line field.
#include "platform/base/types.h"
#include "platform/window/messages.h"

#define WC_EDIT "Edit"

enum : DWORD {
    ES_LEFT = 0x0000,
    ES_CENTER = 0x0001,
    ES_RIGHT = 0x0002,
    ES_MULTILINE = 0x0004,
    ES_UPPERCASE = 0x0008,
    ES_LOWERCASE = 0x0010,
    ES_PASSWORD = 0x0020,
    ES_AUTOVSCROLL = 0x0040,
    ES_AUTOHSCROLL = 0x0080,
    ES_NOHIDESEL = 0x0100,
    ES_READONLY = 0x0800,
    ES_WANTRETURN = 0x1000,
    ES_NUMBER = 0x2000,
};

enum : UINT {
    EM_GETSEL = 0x00B0,
    EM_SETSEL = 0x00B1,
    EM_GETRECT = 0x00B2,
    EM_SCROLL = 0x00B5,
    EM_LINESCROLL = 0x00B6,
    EM_SCROLLCARET = 0x00B7,
    EM_GETMODIFY = 0x00B8,
    EM_SETMODIFY = 0x00B9,
    EM_GETLINECOUNT = 0x00BA,
    EM_LINEINDEX = 0x00BB,
    EM_LINELENGTH = 0x00C1,
    EM_REPLACESEL = 0x00C2,
    EM_GETLINE = 0x00C4,
    EM_LIMITTEXT = 0x00C5,
    EM_SETLIMITTEXT = EM_LIMITTEXT,
    EM_LINEFROMCHAR = 0x00C9,
    EM_SETPASSWORDCHAR = 0x00CC,
    EM_GETFIRSTVISIBLELINE = 0x00CE,
    EM_SETREADONLY = 0x00CF,
    EM_GETPASSWORDCHAR = 0x00D2,
    EM_GETLIMITTEXT = 0x00D5,
    EM_POSFROMCHAR = 0x00D6,
    EM_CHARFROMPOS = 0x00D7,
};

// WM_COMMAND codes (HIWORD(wParam)) an edit field sends its parent; lParam is the field.
enum : WORD {
    EN_SETFOCUS = 0x0100,
    EN_KILLFOCUS = 0x0200,
    EN_CHANGE = 0x0300,
    EN_UPDATE = 0x0400,
    EN_MAXTEXT = 0x0501,
};
