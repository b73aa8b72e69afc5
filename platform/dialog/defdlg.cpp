// The dialog window class and DefDlgProc: the dialog procedure answers first;
// what it leaves (returns FALSE for) gets the dialog manager's default work.
#include "platform/dialog/dialog_internal.h"

#include <cstring>

namespace dialogs {

namespace {

// Messages whose answer is the dialog procedure's return value itself rather
// than DWLP_MSGRESULT.
bool answersDirectly(UINT message)
{
    return (message >= 0x0132 && message <= 0x0138);  // WM_CTLCOLOR*
}

DLGPROC procOf(HWND hwnd) { return reinterpret_cast<DLGPROC>(GetWindowLongPtr(hwnd, DWLP_DLGPROC)); }

LRESULT closeAsCancel(HWND hwnd)
{
    // Closing a dialog is the same as pressing its Cancel button.
    SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
    return 0;
}

LRESULT eraseBackground(HWND hwnd, HDC hdc)
{
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(hdc, &r, GetSysColorBrush(COLOR_WINDOW));
    return 1;
}

bool ownsControl(HWND dialog, HWND control) { return control && control != dialog && IsChild(dialog, control); }

// Activation: leaving keeps the focused control, coming back restores it (or
// the first tab stop).
LRESULT activate(HWND hwnd, WPARAM wParam)
{
    DialogState* s = stateOf(hwnd);
    if (!s) return 0;
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (ownsControl(hwnd, focus)) s->savedFocus = focus;
        return 0;
    }
    HWND focus = GetFocus();
    if (ownsControl(hwnd, focus)) return 0;
    HWND target = IsWindow(s->savedFocus) && IsChild(hwnd, s->savedFocus) ? s->savedFocus : GetNextDlgTabItem(hwnd, nullptr, FALSE);
    if (target) focusControl(hwnd, target, false);
    else SetFocus(hwnd);
    return 0;
}

LRESULT setFocus(HWND hwnd)
{
    DialogState* s = stateOf(hwnd);
    HWND target = s && IsWindow(s->savedFocus) && IsChild(hwnd, s->savedFocus) ? s->savedFocus : GetNextDlgTabItem(hwnd, nullptr, FALSE);
    if (target) focusControl(hwnd, target, false);
    return 0;
}

// WM_NEXTDLGCTL: lParam TRUE: wParam is the control; else wParam 0 is the
// next tab stop and non-zero the previous one.
LRESULT nextControl(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    HWND target;
    if (LOWORD(lParam)) target = reinterpret_cast<HWND>(wParam);
    else {
        HWND focus = GetFocus();
        target = GetNextDlgTabItem(hwnd, ownsControl(hwnd, focus) ? focus : nullptr, wParam != 0);
    }
    if (target && IsChild(hwnd, target)) focusControl(hwnd, target, true);
    return 0;
}

LRESULT setDefId(HWND hwnd, WPARAM wParam)
{
    DialogState* s = stateOf(hwnd);
    if (!s) return FALSE;
    s->defId = static_cast<int>(wParam);
    HWND focus = GetFocus();
    updateDefaultButton(hwnd, ownsControl(hwnd, focus) ? focus : nullptr);
    return TRUE;
}

LRESULT destroyState(HWND hwnd)
{
    DialogState* s = stateOf(hwnd);
    if (!s) return 0;
    if (s->font) DeleteObject(s->font);
    delete s;
    SetWindowLongPtr(hwnd, kStateSlot, 0);
    return 0;
}

// The default work of the dialog manager for one message.
LRESULT defaultWork(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        return closeAsCancel(hwnd);
    case WM_ERASEBKGND:
        return eraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_ACTIVATE:
        return activate(hwnd, wParam);
    case WM_SETFOCUS:
        return setFocus(hwnd);
    case WM_NEXTDLGCTL:
        return nextControl(hwnd, wParam, lParam);
    case DM_GETDEFID:
        return stateOf(hwnd) ? MAKELRESULT(defaultButtonId(hwnd), DC_HASDEFID) : 0;
    case DM_SETDEFID:
        return setDefId(hwnd, wParam);
    case WM_GETFONT:
        return stateOf(hwnd) ? reinterpret_cast<LRESULT>(stateOf(hwnd)->font) : 0;
    case WM_NCDESTROY:
        destroyState(hwnd);
        return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_INITDIALOG:
        return TRUE;
    case WM_ENTERIDLE:
        // A dialog run over this one went idle: the program's window that
        // owns this dialog hears it too.
        if (HWND owner = GetWindow(hwnd, GW_OWNER)) SendMessage(owner, message, wParam, lParam);
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// Calls the dialog procedure under a frame and turns its answer into the
// window procedure's result.
LRESULT runDialogProc(HWND hwnd, DialogState* s, UINT message, WPARAM wParam, LPARAM lParam)
{
    DLGPROC proc = procOf(hwnd);
    if (!proc) return defaultWork(hwnd, message, wParam, lParam);
    ProcFrame frame{message};
    frame.outer = s->frame;
    s->frame = &frame;
    INT_PTR handled = proc(hwnd, message, wParam, lParam);
    // The procedure may have destroyed the dialog (and its state) meanwhile.
    DialogState* still = stateOf(hwnd);
    if (still) still->frame = frame.outer;
    // WM_INITDIALOG answers whether the dialog manager should set the focus.
    if (message == WM_INITDIALOG) return handled;
    // A procedure that handed the message to DefDlgProc passes on the default
    // answer (a table procedure returns it as its own result).
    if (frame.defaulted) return frame.defaultResult;
    if (answersDirectly(message) && handled) return handled;
    if (handled) return still ? GetWindowLongPtr(hwnd, DWLP_MSGRESULT) : 0;
    if (!still && message != WM_NCDESTROY) return 0;
    return defaultWork(hwnd, message, wParam, lParam);
}

LRESULT dialogClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        SetWindowLongPtr(hwnd, kStateSlot, reinterpret_cast<LONG_PTR>(new DialogState()));
        return TRUE;
    }
    DialogState* s = stateOf(hwnd);
    if (!s) return DefWindowProc(hwnd, message, wParam, lParam);
    return runDialogProc(hwnd, s, message, wParam, lParam);
}

}  // namespace

void registerDialogClass()
{
    WNDCLASS existing{};
    if (GetClassInfo(nullptr, WC_DIALOG, &existing)) return;
    WNDCLASS wc{};
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = dialogClassProc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.lpszClassName = WC_DIALOG;
    RegisterClass(&wc);
}

bool isDialog(HWND hwnd) { return stateOf(hwnd) != nullptr; }

// Also while the window is being destroyed, so that the dialog procedure
// hears WM_DESTROY and WM_NCDESTROY and the state is freed.
DialogState* stateOf(HWND hwnd)
{
    char name[16];
    if (GetClassName(hwnd, name, sizeof name) == 0 || std::strcmp(name, WC_DIALOG) != 0) return nullptr;
    return reinterpret_cast<DialogState*>(GetWindowLongPtr(hwnd, kStateSlot));
}

}  // namespace dialogs

using namespace dialogs;

LRESULT DefDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogState* s = stateOf(hwnd);
    if (!s) {
        // A window of another class that takes the dialog default: the default work only.
        if (message == WM_CLOSE) return closeAsCancel(hwnd);
        if (message == WM_ERASEBKGND) return eraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    // Called from inside the dialog procedure for the message it is handling:
    // do the default work here, once.
    if (s->frame && s->frame->message == message && !s->frame->defaulted) {
        ProcFrame* frame = s->frame;
        LRESULT r = defaultWork(hwnd, message, wParam, lParam);
        frame->defaulted = true;
        frame->defaultResult = r;
        return r;
    }
    return runDialogProc(hwnd, s, message, wParam, lParam);
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    DialogState* s = stateOf(dialog);
    if (!s) return FALSE;
    s->ended = true;
    s->result = result;
    ShowWindow(dialog, SW_HIDE);
    // Wake the modal loop, which may be waiting for a message.
    PostMessage(dialog, WM_NULL, 0, 0);
    return TRUE;
}
