// Helpers on the controls of a dialog: messages, numbers, rectangles.
#include "platform/dialog/dialog_internal.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessage(control, message, wParam, lParam) : 0;
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned)
{
    char text[16];
    if (isSigned) std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    else std::snprintf(text, sizeof text, "%u", value);
    return SetDlgItemText(dialog, id, text);
}

// A number with optional blanks around it; signed values may start with a
// minus sign. Values out of range are no numbers.
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned)
{
    if (translated) *translated = FALSE;
    char text[64];
    if (!GetDlgItem(dialog, id)) return 0;
    GetDlgItemText(dialog, id, text, sizeof text);
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '-' && isSigned) {
        negative = true;
        ++p;
    }
    if (!std::isdigit(static_cast<unsigned char>(*p))) return 0;
    unsigned long long magnitude = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
        if (magnitude > 0xFFFFFFFFull) return 0;
        ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p) return 0;
    if (isSigned) {
        long long v = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
        if (v < INT_MIN || v > INT_MAX) return 0;
        if (translated) *translated = TRUE;
        return static_cast<UINT>(static_cast<int>(v));
    }
    if (translated) *translated = TRUE;
    return static_cast<UINT>(magnitude);
}

BOOL MapDialogRect(HWND dialog, RECT* rect)
{
    if (!rect || !IsWindow(dialog)) return FALSE;
    rect->left = ScaleForScreen(rect->left);
    rect->top = ScaleForScreen(rect->top);
    rect->right = ScaleForScreen(rect->right);
    rect->bottom = ScaleForScreen(rect->bottom);
    return TRUE;
}
