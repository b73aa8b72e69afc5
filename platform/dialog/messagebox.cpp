// Message boxes built on the dialogs: the layout is worked out from the text
// (measured with the box's font at the screen's resolution) and turned into a
// template at 96 dpi; the box draws its title strip and its flat icon itself.
#include "platform/dialog/messagebox.h"
#include "platform/dialog/dialog_internal.h"
#include "platform/shell/taskbar.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum : int { kTextId = 0xFFFF };

// Layout at 96 dpi.
constexpr int kMaxWidth = 220;
constexpr int kMargin = 8;
constexpr int kTitleHeight = 20;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 56;
constexpr int kButtonHeight = 22;
constexpr int kButtonGap = 6;

struct ButtonSet {
    UINT type;
    int ids[3];
    int count;
};
constexpr ButtonSet kButtonSets[] = {
    {MB_OK, {IDOK}, 1},
    {MB_OKCANCEL, {IDOK, IDCANCEL}, 2},
    {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, 3},
    {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, 3},
    {MB_YESNO, {IDYES, IDNO}, 2},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, 2},
};

struct ButtonText {
    int id;
    const char* text;
};
constexpr ButtonText kButtonTexts[] = {{IDOK, "OK"},       {IDCANCEL, "Cancel"}, {IDABORT, "Abort"},
                                       {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}, {IDYES, "Yes"},
                                       {IDNO, "No"}};

// The flat icons: a filled shape and a white (or black) sign on it.
struct IconStyle {
    UINT icon;
    COLORREF fill;
    COLORREF sign;
    const char* text;
    bool triangle;
};
constexpr IconStyle kIcons[] = {
    {MB_ICONERROR, RGB(204, 0, 0), RGB(255, 255, 255), "X", false},
    {MB_ICONWARNING, RGB(255, 204, 0), RGB(0, 0, 0), "!", true},
    {MB_ICONINFORMATION, RGB(0, 84, 180), RGB(255, 255, 255), "i", false},
    {MB_ICONQUESTION, RGB(0, 84, 180), RGB(255, 255, 255), "?", false},
};

const ButtonSet& buttonsOf(UINT type)
{
    for (const ButtonSet& b : kButtonSets)
        if (b.type == (type & MB_TYPEMASK)) return b;
    return kButtonSets[0];
}

const char* buttonText(int id)
{
    for (const ButtonText& b : kButtonTexts)
        if (b.id == id) return b.text;
    return "";
}

const IconStyle* iconOf(UINT type)
{
    for (const IconStyle& i : kIcons)
        if (i.icon == (type & MB_ICONMASK)) return &i;
    return nullptr;
}

struct Box {
    UINT type;
    std::string caption;
    const ButtonSet* buttons;
    int defaultId;
    int iconX, iconY;  // at 96 dpi, in the client area
    bool modeless = false;
};

HFONT makeFont(bool bold)
{
    LOGFONT lf{};
    lf.lfHeight = -MulDiv(8, GetDeviceCaps(nullptr, LOGPIXELSY), 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    std::strcpy(lf.lfFaceName, "Tahoma");
    return CreateFontIndirect(&lf);
}

// Height at 96 dpi of the text word-wrapped to `width96`.
int textHeight96(const char* text, int width96)
{
    int dpi = GetDeviceCaps(nullptr, LOGPIXELSY);
    HDC dc = GetDC(nullptr);
    HFONT font = makeFont(false);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, ScaleForScreen(width96), 0};
    DrawText(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return (r.bottom * 96 + dpi - 1) / dpi;
}

void paintIcon(HDC dc, const IconStyle& icon, RECT r)
{
    HBRUSH fill = CreateSolidBrush(icon.fill);
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(icon.triangle ? BLACK_PEN : NULL_PEN));
    if (icon.triangle) {
        POINT p[3] = {{(r.left + r.right) / 2, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
        Polygon(dc, p, 3);
    } else {
        Ellipse(dc, r.left, r.top, r.right, r.bottom);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(fill);
    HFONT bold = makeFont(true);
    HGDIOBJ oldFont = SelectObject(dc, bold);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, icon.sign);
    if (icon.triangle) r.top += (r.bottom - r.top) / 4;
    DrawText(dc, icon.text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    DeleteObject(bold);
}

void paintBox(HWND dlg, const Box* box)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dlg, &ps);
    RECT client;
    GetClientRect(dlg, &client);
    RECT title{0, 0, client.right, ScaleForScreen(kTitleHeight)};
    FillRect(dc, &title, GetSysColorBrush(COLOR_ACTIVECAPTION));
    HFONT bold = makeFont(true);
    HGDIOBJ oldFont = SelectObject(dc, bold);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    RECT text = title;
    text.left += ScaleForScreen(kMargin / 2 + 2);
    // A box without a caption is titled by the program it belongs to.
    char caption[256] = "";
    shellTitleOf(dlg, caption, sizeof caption);
    DrawText(dc, caption, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    DeleteObject(bold);
    if (const IconStyle* icon = iconOf(box->type)) {
        int x = ScaleForScreen(box->iconX), y = ScaleForScreen(box->iconY), size = ScaleForScreen(kIconSize);
        paintIcon(dc, *icon, RECT{x, y, x + size, y + size});
    }
    EndPaint(dlg, &ps);
}

INT_PTR boxProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    Box* box = reinterpret_cast<Box*>(GetWindowLongPtr(dlg, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        box = reinterpret_cast<Box*>(lParam);
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        // Centred on the whole screen, whatever the bars take.
        RECT r;
        GetWindowRect(dlg, &r);
        int w = r.right - r.left, h = r.bottom - r.top;
        MoveWindow(dlg, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, TRUE);
        if (HWND def = GetDlgItem(dlg, box->defaultId)) SetFocus(def);
        if (box->type & MB_SETFOREGROUND) SetForegroundWindow(dlg);
        return FALSE;
    }
    case WM_PAINT:
        paintBox(dlg, box);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        const ButtonSet& set = *box->buttons;
        bool present = std::find(set.ids, set.ids + set.count, id) != set.ids + set.count;
        // Escape or closing a box with OK alone means OK; a box without Cancel cannot be cancelled.
        if (id == IDCANCEL && !present && set.count == 1) id = IDOK, present = true;
        if (present && box->modeless) DestroyWindow(dlg);
        else if (present) EndDialog(dlg, id);
        return TRUE;
    }
    case WM_NCDESTROY:
        if (box && box->modeless) delete box;
        return FALSE;
    default:
        return FALSE;
    }
}

// Works out the layout of a box for `text` and makes its template; `items`
// holds the controls the template points at.
DialogTemplate boxTemplate(Box& box, const char* text, std::vector<DialogItemTemplate>& items)
{
    UINT type = box.type;
    const ButtonSet& set = *box.buttons;
    int defIndex = std::min(static_cast<int>((type & MB_DEFMASK) >> 8), set.count - 1);
    box.defaultId = set.ids[defIndex];

    int screen96 = GetSystemMetrics(SM_CXSCREEN) * 96 / GetDeviceCaps(nullptr, LOGPIXELSX);
    int width = std::min(kMaxWidth, screen96 - 2 * kMargin);
    bool icon = iconOf(type) != nullptr;
    int textX = kMargin + (icon ? kIconSize + kMargin : 0);
    int textW = width - textX - kMargin - 2;
    int textH = std::max(textHeight96(text ? text : "", textW), icon ? kIconSize : 0);
    int buttonsY = kTitleHeight + kMargin + textH + kMargin + 2;
    int height = buttonsY + kButtonHeight + kMargin + 2;

    items.clear();
    items.push_back({WC_STATIC, kTextId, text ? text : "", textX, kTitleHeight + kMargin, textW, textH,
                     DWORD{WS_VISIBLE} | SS_LEFT | SS_NOPREFIX, 0});
    int rowWidth = set.count * kButtonWidth + (set.count - 1) * kButtonGap;
    int x = (width - 2 - rowWidth) / 2;
    for (int i = 0; i < set.count; ++i) {
        DWORD kind = set.ids[i] == box.defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        items.push_back({WC_BUTTON, set.ids[i], buttonText(set.ids[i]), x, buttonsY, kButtonWidth, kButtonHeight,
                         DWORD{WS_VISIBLE | WS_TABSTOP} | (i == 0 ? DWORD{WS_GROUP} : 0u) | kind, 0});
        x += kButtonWidth + kButtonGap;
    }
    DWORD exStyle = (type & MB_TOPMOST) ? DWORD{WS_EX_TOPMOST} : 0u;
    return DialogTemplate{box.caption.c_str(), DWORD{WS_POPUP | WS_BORDER} | DS_SETFONT | DS_MODALFRAME, exStyle,
                          0, 0, width, height, "Tahoma", 8, static_cast<int>(items.size()), items.data()};
}

}  // namespace

int MessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    Box box{type, caption ? caption : "Error", &buttonsOf(type), 0, kMargin, kTitleHeight + kMargin};
    std::vector<DialogItemTemplate> items;
    DialogTemplate dialog = boxTemplate(box, text, items);
    if (type & MB_ICONMASK) MessageBeep(type & MB_ICONMASK);
    INT_PTR r = DialogBoxIndirectParam(nullptr, &dialog, owner, boxProc, reinterpret_cast<LPARAM>(&box));
    return r < 0 ? 0 : static_cast<int>(r);
}

HWND CreateMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    auto* box = new Box{type, caption ? caption : "Error", &buttonsOf(type), 0, kMargin, kTitleHeight + kMargin};
    box->modeless = true;
    std::vector<DialogItemTemplate> items;
    DialogTemplate dialog = boxTemplate(*box, text, items);
    dialog.style |= WS_VISIBLE;
    HWND dlg = CreateDialogIndirectParam(nullptr, &dialog, owner, boxProc, reinterpret_cast<LPARAM>(box));
    if (!dlg) delete box;  // never reached its WM_INITDIALOG, so nothing else holds it
    return dlg;
}
