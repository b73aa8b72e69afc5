// The colour chooser: a grid of 48 basic colours, the caller's 16 custom
// colours below it, red, green and blue sliders with their values, a swatch
// of the colour chosen, "Add to custom colours", OK and Cancel. A tap on a
// cell takes its colour; the sliders change it a channel at a time.
#include "platform/dialog/browse.h"
#include "platform/dialog/commdlg.h"
#include "platform/dialog/dialog_internal.h"

#include <algorithm>
#include <cstdio>

using namespace commdlg;

namespace {

enum : int { IdRed = 1200, IdGreen = 1201, IdBlue = 1202, IdRedValue = 1210, IdGreenValue = 1211, IdBlueValue = 1212, IdAdd = 1220 };

// Geometry at 96 dpi.
constexpr int kGridX = 8, kGridY = 6, kCellW = 28, kCellH = 18, kColumns = 8, kBasicRows = 6;
constexpr int kCustomY = 130;
constexpr int kSwatchX = 204, kSwatchY = 170, kSwatchW = 30, kSwatchH = 56;

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kStop = WS_VISIBLE | WS_TABSTOP;
const DialogItemTemplate kItems[] = {
    {WC_STATIC, 0xFFFF, "Custom colours:", 8, 115, 120, 14, kShown, 0},
    {WC_STATIC, 0xFFFF, "R", 8, 172, 12, 14, kShown, 0},
    {TRACKBAR_CLASS, IdRed, "", 22, 170, 150, 18, kStop, 0},
    {WC_STATIC, IdRedValue, "0", 174, 172, 26, 14, kShown, 0},
    {WC_STATIC, 0xFFFF, "G", 8, 192, 12, 14, kShown, 0},
    {TRACKBAR_CLASS, IdGreen, "", 22, 190, 150, 18, kStop, 0},
    {WC_STATIC, IdGreenValue, "0", 174, 192, 26, 14, kShown, 0},
    {WC_STATIC, 0xFFFF, "B", 8, 212, 12, 14, kShown, 0},
    {TRACKBAR_CLASS, IdBlue, "", 22, 210, 150, 18, kStop, 0},
    {WC_STATIC, IdBlueValue, "0", 174, 212, 26, 14, kShown, 0},
    {WC_BUTTON, IdAdd, "Add to custom", 8, 240, 90, 22, kStop | BS_PUSHBUTTON, 0},
    {WC_BUTTON, IDOK, "OK", 106, 240, 60, 22, kStop | BS_DEFPUSHBUTTON, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 172, 240, 60, 22, kStop | BS_PUSHBUTTON, 0},
};

// Eight hues, each as a light tint, itself and three shades, then eight greys.
constexpr COLORREF kHues[kColumns] = {RGB(255, 0, 0),   RGB(255, 128, 0), RGB(255, 255, 0), RGB(0, 192, 0),
                                      RGB(0, 192, 192), RGB(0, 0, 255),   RGB(128, 0, 192), RGB(255, 0, 255)};
constexpr int kTintPercent[kBasicRows - 1] = {50, 0, -25, -50, -75};  // > 0 towards white, < 0 towards black

COLORREF mix(COLORREF c, int percent)
{
    auto channel = [&](int v) { return percent >= 0 ? v + (255 - v) * percent / 100 : v * (100 + percent) / 100; };
    return RGB(channel(GetRValue(c)), channel(GetGValue(c)), channel(GetBValue(c)));
}

COLORREF basicColour(int index)
{
    int row = index / kColumns, column = index % kColumns;
    if (row == kBasicRows - 1) {
        int v = 255 - column * 255 / (kColumns - 1);
        return RGB(v, v, v);
    }
    return mix(kHues[column], kTintPercent[row]);
}

struct ColourState {
    CHOOSECOLOR* cc;
    COLORREF colour = 0;
    COLORREF custom[16] = {};
    int selected = -1;    // 0..47 basic, 48..63 custom, -1 none
    int nextCustom = 0;   // where "Add to custom" goes when no custom cell is selected
};

ColourState* stateOf(HWND dlg) { return reinterpret_cast<ColourState*>(GetWindowLongPtr(dlg, DWLP_USER)); }

// Cell `i` (basic then custom) in client pixels.
RECT cellRect(int i)
{
    int row = i < 48 ? i / kColumns : (i - 48) / kColumns;
    int column = i % kColumns;
    int top = i < 48 ? kGridY : kCustomY;
    int x = kGridX + column * kCellW, y = top + row * kCellH;
    return RECT{ScaleForScreen(x), ScaleForScreen(y), ScaleForScreen(x + kCellW - 2), ScaleForScreen(y + kCellH - 2)};
}

COLORREF cellColour(const ColourState* s, int i) { return i < 48 ? basicColour(i) : s->custom[i - 48]; }

RECT swatchRect()
{
    return RECT{ScaleForScreen(kSwatchX), ScaleForScreen(kSwatchY), ScaleForScreen(kSwatchX + kSwatchW),
                ScaleForScreen(kSwatchY + kSwatchH)};
}

void fill(HDC dc, RECT r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void paint(HWND dlg, const ColourState* s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dlg, &ps);
    HBRUSH frame = GetSysColorBrush(COLOR_BTNSHADOW);
    for (int i = 0; i < 48 + 16; ++i) {
        RECT r = cellRect(i);
        fill(dc, r, cellColour(s, i));
        FrameRect(dc, &r, frame);
    }
    if (s->selected >= 0) {
        // The chosen cell: a two-pixel black frame just outside it.
        RECT r = cellRect(s->selected);
        InflateRect(&r, 2, 2);
        HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        FrameRect(dc, &r, black);
        InflateRect(&r, -1, -1);
        FrameRect(dc, &r, black);
    }
    RECT swatch = swatchRect();
    fill(dc, swatch, s->colour);
    FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(dlg, &ps);
}

void showValues(HWND dlg, const ColourState* s)
{
    const int ids[3] = {IdRed, IdGreen, IdBlue}, values[3] = {GetRValue(s->colour), GetGValue(s->colour), GetBValue(s->colour)};
    for (int c = 0; c < 3; ++c) {
        SendDlgItemMessage(dlg, ids[c], TBM_SETPOS, TRUE, values[c]);
        SetDlgItemInt(dlg, ids[c] + 10, static_cast<UINT>(values[c]), FALSE);
    }
    InvalidateRect(dlg, nullptr, FALSE);
}

void selectCell(HWND dlg, ColourState* s, int i)
{
    s->selected = i;
    s->colour = cellColour(s, i);
    showValues(dlg, s);
}

void onTap(HWND dlg, ColourState* s, LPARAM lParam)
{
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (int i = 0; i < 48 + 16; ++i) {
        RECT r = cellRect(i);
        if (PtInRect(&r, p)) {
            selectCell(dlg, s, i);
            return;
        }
    }
}

// A slider moved: the colour takes the three positions.
void onSlider(HWND dlg, ColourState* s)
{
    auto pos = [&](int id) { return static_cast<int>(SendDlgItemMessage(dlg, id, TBM_GETPOS, 0, 0)); };
    s->colour = RGB(pos(IdRed), pos(IdGreen), pos(IdBlue));
    // A basic cell no longer matches; a chosen custom cell stays chosen, as the
    // place where "Add to custom" puts the colour being mixed.
    if (s->selected >= 0 && s->selected < 48 && cellColour(s, s->selected) != s->colour) s->selected = -1;
    showValues(dlg, s);
}

void addCustom(HWND dlg, ColourState* s)
{
    int slot = s->selected >= 48 ? s->selected - 48 : s->nextCustom;
    s->custom[slot] = s->colour;
    s->nextCustom = (slot + 1) % 16;
    s->selected = 48 + slot;
    InvalidateRect(dlg, nullptr, FALSE);
}

INT_PTR onInit(HWND dlg, ColourState* s)
{
    SetWindowLongPtr(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
    SHINITDLGINFO info{SHIDIM_FLAGS, dlg, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU};
    SHInitDialog(&info);
    for (int id : {IdRed, IdGreen, IdBlue}) {
        SendDlgItemMessage(dlg, id, TBM_SETRANGE, FALSE, MAKELPARAM(0, 255));
        SendDlgItemMessage(dlg, id, TBM_SETPAGESIZE, 0, 16);
    }
    for (int i = 0; i < 48 + 16; ++i)
        if (cellColour(s, i) == s->colour) {
            s->selected = i;
            break;
        }
    showValues(dlg, s);
    return TRUE;
}

INT_PTR colourProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) return onInit(dlg, reinterpret_cast<ColourState*>(lParam));
    ColourState* s = stateOf(dlg);
    if (!s) return FALSE;
    switch (message) {
    case WM_PAINT:
        paint(dlg, s);
        return TRUE;
    case WM_LBUTTONDOWN:
        onTap(dlg, s, lParam);
        return TRUE;
    case WM_HSCROLL:
        onSlider(dlg, s);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dlg, LOWORD(wParam));
        else if (LOWORD(wParam) == IdAdd) addCustom(dlg, s);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

BOOL ChooseColor(CHOOSECOLOR* cc)
{
    setError(0);
    if (!cc || cc->lStructSize != sizeof(CHOOSECOLOR)) {
        setError(CDERR_STRUCTSIZE);
        return FALSE;
    }
    ColourState s{cc};
    s.colour = (cc->Flags & CC_RGBINIT) ? cc->rgbResult & 0xFFFFFF : RGB(0, 0, 0);
    if (cc->lpCustColors) std::copy(cc->lpCustColors, cc->lpCustColors + 16, s.custom);
    else std::fill(s.custom, s.custom + 16, RGB(255, 255, 255));
    const DialogTemplate dialog{"Colour", DWORD{WS_POPUP} | DS_SETFONT, 0, 0, 0, 240, 268, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};
    INT_PTR r = DialogBoxIndirectParam(cc->hInstance, &dialog, cc->hwndOwner, colourProc, reinterpret_cast<LPARAM>(&s));
    if (r < 0) setError(CDERR_INITIALIZATION);
    if (r != IDOK) return FALSE;
    cc->rgbResult = s.colour;
    if (cc->lpCustColors) std::copy(s.custom, s.custom + 16, cc->lpCustColors);
    return TRUE;
}
