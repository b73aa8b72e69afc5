#pragma once
// What the dialog files share: the state of a dialog window (behind its last
// window word) and the helpers between template building, the default
// procedure, the modal loop and the keyboard navigation. Private to platform/.
#include "platform/dialog/dialog.h"
#include "platform/controls/controls.h"
#include "platform/gdi/gdi.h"
#include "platform/screen/metrics.h"
#include "platform/window/window.h"

namespace dialogs {

// One call of the dialog procedure in progress. When that procedure hands the
// same message on to DefDlgProc (as MessageMap tables with the dialog default
// do), the default work runs there once and the frame remembers it, so that it
// is not done a second time when the procedure returns FALSE.
struct ProcFrame {
    UINT message;
    bool defaulted = false;
    LRESULT defaultResult = 0;
    ProcFrame* outer = nullptr;
};

struct DialogState {
    HFONT font = nullptr;        // made from the template's DS_SETFONT face; deleted with the dialog
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    int defId = 0;               // DM_SETDEFID; 0 = none set (IDOK answers)
    HWND savedFocus = nullptr;   // the control that had the focus when the dialog was left
    bool noIdleMessage = false;  // DS_NOIDLEMSG
    ProcFrame* frame = nullptr;
};

constexpr int kStateSlot = static_cast<int>(3 * sizeof(LONG_PTR));

// Registers the dialog window class (once).
void registerDialogClass();
// The state of a dialog window; null for windows of other classes.
DialogState* stateOf(HWND hwnd);
bool isDialog(HWND hwnd);

// Builds the dialog window and its controls from a template and runs
// WM_INITDIALOG; null when a control could not be made.
HWND buildDialog(HINSTANCE instance, const DialogTemplate* dialog, HWND parent, DLGPROC proc, LPARAM param,
                 bool modal);

// The dialog's keyboard behaviour when a control asks for nothing special.
void focusControl(HWND dialog, HWND control, bool selectText);
int defaultButtonId(HWND dialog);
// The push button with BS_DEFPUSHBUTTON drawn as the default follows the focus
// among push buttons and goes back to the DM_SETDEFID one elsewhere.
void updateDefaultButton(HWND dialog, HWND focus);
// Sends WM_COMMAND (id, BN_CLICKED) for the control `id` as if it had been pressed.
void pressButton(HWND dialog, int id);
LRESULT controlCode(HWND control, const MSG* msg);
bool isPushButton(HWND control);
bool isAutoRadio(HWND control);

}  // namespace dialogs
