// Keyboard navigation of dialogs: tab order, groups, the default push button,
// Enter and Escape, and IsDialogMessage which ties them together.
#include "platform/dialog/dialog_internal.h"

#include <cstring>
#include <vector>

namespace dialogs {

namespace {

constexpr UINT kEmSetSel = 0x00B1;           // select the whole text of an edit control reached by Tab
constexpr UINT kCbGetDroppedState = 0x0157;  // whether a combo box shows its list

bool hasClass(HWND hwnd, const char* name)
{
    char cls[32];
    return GetClassName(hwnd, cls, sizeof cls) > 0 && std::strcmp(cls, name) == 0;
}

DWORD styleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }

// Child dialogs (property sheet pages) hand their controls to the tab order
// of the dialog around them.
bool isControlParent(HWND hwnd)
{
    const DWORD both = static_cast<DWORD>(WS_CHILD) | static_cast<DWORD>(DS_CONTROL);
    return isDialog(hwnd) && (styleOf(hwnd) & both) == both;
}

void collect(HWND parent, std::vector<HWND>& out)
{
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (isControlParent(c)) {
            if ((styleOf(c) & WS_VISIBLE) && IsWindowEnabled(c)) collect(c, out);
        } else {
            out.push_back(c);
        }
    }
}

// A control's own WS_VISIBLE counts, not its dialog's: the order is known
// while the dialog is still hidden.
bool usable(HWND c) { return (styleOf(c) & WS_VISIBLE) && IsWindowEnabled(c); }

std::vector<HWND> siblingsOf(HWND control)
{
    std::vector<HWND> out;
    for (HWND c = GetWindow(GetParent(control), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
}

HWND focusWithin(HWND dialog)
{
    HWND focus = GetFocus();
    return focus && focus != dialog && IsChild(dialog, focus) ? focus : nullptr;
}

HWND findControl(HWND dialog, int id)
{
    std::vector<HWND> all;
    collect(dialog, all);
    for (HWND c : all)
        if (GetDlgCtrlID(c) == id) return c;
    return nullptr;
}

}  // namespace

bool isPushButton(HWND control)
{
    if (!hasClass(control, WC_BUTTON)) return false;
    DWORD t = styleOf(control) & BS_TYPEMASK;
    return t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON;
}

bool isAutoRadio(HWND control) { return hasClass(control, WC_BUTTON) && (styleOf(control) & BS_TYPEMASK) == BS_AUTORADIOBUTTON; }

// What a control keeps for itself. Controls that do not answer WM_GETDLGCODE:
// buttons and static texts keep nothing; any other control keeps its arrow
// keys and characters, so that lists and sliders still move with the arrows;
// edit fields also select their text when Tab reaches them.
LRESULT controlCode(HWND control, const MSG* msg)
{
    LRESULT code = SendMessage(control, WM_GETDLGCODE, msg ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg));
    if (code) return code;
    if (hasClass(control, WC_BUTTON)) {
        DWORD t = styleOf(control) & BS_TYPEMASK;
        if (t == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        if (t == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        if (t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON) return DLGC_BUTTON | DLGC_RADIOBUTTON;
        return DLGC_BUTTON;
    }
    if (hasClass(control, WC_STATIC)) return DLGC_STATIC;
    // An open combo box list takes Enter and Escape itself (to choose or
    // cancel), also while its edit field has the focus.
    HWND box = hasClass(control, "ComboBox") ? control : GetParent(control);
    if (box && hasClass(box, "ComboBox") && SendMessage(box, kCbGetDroppedState, 0, 0)) return DLGC_WANTALLKEYS;
    if (hasClass(control, "Edit")) return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

int defaultButtonId(HWND dialog)
{
    DialogState* s = stateOf(dialog);
    return s && s->defId ? s->defId : IDOK;
}

void updateDefaultButton(HWND dialog, HWND focus)
{
    DialogState* s = stateOf(dialog);
    if (!s) return;
    std::vector<HWND> all;
    collect(dialog, all);
    if (!s->defId) {
        // Until DM_SETDEFID, the template's BS_DEFPUSHBUTTON names the default.
        for (HWND c : all)
            if (hasClass(c, WC_BUTTON) && (styleOf(c) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                s->defId = GetDlgCtrlID(c);
                break;
            }
    }
    HWND marked = focus && isPushButton(focus) ? focus : nullptr;
    for (HWND c : all) {
        if (!isPushButton(c)) continue;
        bool isDefault = marked ? c == marked : GetDlgCtrlID(c) == defaultButtonId(dialog);
        DWORD style = styleOf(c);
        DWORD type = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((style & BS_TYPEMASK) != type) SendMessage(c, BM_SETSTYLE, (style & 0xFFFF & ~BS_TYPEMASK) | type, TRUE);
    }
}

void focusControl(HWND dialog, HWND control, bool selectText)
{
    SetFocus(control);
    if (selectText && (controlCode(control, nullptr) & DLGC_HASSETSEL)) SendMessage(control, kEmSetSel, 0, -1);
    updateDefaultButton(dialog, control);
}

void pressButton(HWND dialog, int id)
{
    HWND control = findControl(dialog, id);
    if (control && !IsWindowEnabled(control)) return;  // a disabled button cannot be pressed from the keyboard
    // The command goes where the button's own clicks go: its parent (a page of a sheet, or the dialog).
    HWND target = control ? GetParent(control) : dialog;
    SendMessage(target, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

}  // namespace dialogs

using namespace dialogs;

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous)
{
    if (!IsWindow(dialog)) return nullptr;
    std::vector<HWND> all;
    collect(dialog, all);
    int n = static_cast<int>(all.size());
    if (n == 0) return nullptr;
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (all[i] == control) start = i;
    int step = previous ? -1 : 1;
    int i = start >= 0 ? start : (previous ? 0 : n - 1);
    for (int k = 0; k < n; ++k) {
        i = (i + step + n) % n;
        if ((styleOf(all[i]) & WS_TABSTOP) && usable(all[i])) return all[i];
    }
    return nullptr;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous)
{
    if (!IsWindow(dialog)) return nullptr;
    if (!control || !IsChild(dialog, control)) {
        std::vector<HWND> all;
        collect(dialog, all);
        for (HWND c : all)
            if (usable(c)) return c;
        return nullptr;
    }
    // The group runs from the nearest WS_GROUP control at or before `control`
    // to the control before the next WS_GROUP one.
    std::vector<HWND> sib = siblingsOf(control);
    int n = static_cast<int>(sib.size()), at = 0;
    for (int i = 0; i < n; ++i)
        if (sib[i] == control) at = i;
    int first = at;
    while (first > 0 && !(styleOf(sib[first]) & WS_GROUP)) --first;
    int last = at + 1;
    while (last < n && !(styleOf(sib[last]) & WS_GROUP)) ++last;
    int size = last - first, step = previous ? -1 : 1;
    for (int k = 1; k <= size; ++k) {
        HWND c = sib[first + ((at - first + step * k) % size + size) % size];
        if (usable(c)) return c;
    }
    return control;
}

BOOL IsDialogMessage(HWND dialog, MSG* msg)
{
    if (!msg || !IsWindow(dialog)) return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
    if (msg->message == WM_KEYDOWN) {
        HWND from = msg->hwnd != dialog ? msg->hwnd : nullptr;
        LRESULT code = from ? controlCode(from, msg) : 0;
        bool keepsAll = (code & DLGC_WANTALLKEYS) != 0;
        switch (msg->wParam) {
        case VK_TAB:
            if (keepsAll || (code & DLGC_WANTTAB)) break;
            if (HWND next = GetNextDlgTabItem(dialog, focusWithin(dialog), GetKeyState(VK_SHIFT) < 0))
                focusControl(dialog, next, true);
            return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if (keepsAll || (code & DLGC_WANTARROWS) || !from) break;
            bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
            HWND next = GetNextDlgGroupItem(dialog, from, back);
            if (next && next != from) {
                focusControl(dialog, next, true);
                // Moving onto an automatic radio button chooses it.
                if (isAutoRadio(next)) SendMessage(next, BM_CLICK, 0, 0);
            }
            return TRUE;
        }
        case VK_RETURN: {
            if (keepsAll) break;
            bool onPush = from && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
            pressButton(dialog, onPush ? GetDlgCtrlID(from) : defaultButtonId(dialog));
            return TRUE;
        }
        case VK_ESCAPE:
            if (keepsAll) break;
            pressButton(dialog, IDCANCEL);
            return TRUE;
        default:
            break;
        }
    }
    TranslateMessage(msg);
    DispatchMessage(msg);
    return TRUE;
}
