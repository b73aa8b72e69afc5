// Modal dialogs: a message loop of their own with the owner disabled, ended
// by EndDialog.
#include "platform/dialog/dialog_internal.h"

namespace {

// The owner of a modal dialog is always a top-level window.
HWND topLevelOwner(HWND owner)
{
    while (owner && (GetWindowLong(owner, GWL_STYLE) & WS_CHILD)) owner = GetParent(owner);
    return owner;
}

// Runs until EndDialog (or the dialog vanishes, or WM_QUIT); returns whether
// WM_QUIT ended it, with its exit code.
bool modalLoop(HWND dlg, HWND owner, int* quitCode)
{
    for (;;) {
        dialogs::DialogState* s = dialogs::stateOf(dlg);
        if (!s || s->ended) return false;
        MSG msg;
        if (!PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE) && owner && !s->noIdleMessage) {
            // Nothing to do: tell the owner (callers and tests use this to act while the dialog is up).
            SendMessage(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dlg));
            s = dialogs::stateOf(dlg);
            if (!s || s->ended) return false;
        }
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            *quitCode = static_cast<int>(msg.wParam);
            return true;
        }
        if (!IsDialogMessage(dlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
}

}  // namespace

INT_PTR DialogBoxIndirectParam(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC proc, LPARAM param)
{
    owner = topLevelOwner(owner);
    // The owner is disabled before the dialog is made, so that nothing reaches
    // it even while WM_INITDIALOG runs.
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    HWND dlg = dialogs::buildDialog(instance, dialog, owner, proc, param, true);
    if (!dlg) {
        if (ownerWasEnabled) EnableWindow(owner, TRUE);
        return -1;
    }
    int quitCode = 0;
    bool quit = modalLoop(dlg, owner, &quitCode);
    dialogs::DialogState* s = dialogs::stateOf(dlg);
    INT_PTR result = s && s->ended ? s->result : (s ? 0 : -1);
    // The owner comes back before the dialog goes, so that it takes the activation.
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (owner && IsWindow(owner) && IsWindow(dlg) && GetActiveWindow() == dlg) SetActiveWindow(owner);
    if (IsWindow(dlg)) DestroyWindow(dlg);
    if (quit) PostQuitMessage(quitCode);
    return result;
}

INT_PTR DialogBoxParam(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    const DialogTemplate* dialog = FindDialogTemplate(instance, templateName);
    if (!dialog) return -1;
    return DialogBoxIndirectParam(instance, dialog, owner, proc, param);
}
