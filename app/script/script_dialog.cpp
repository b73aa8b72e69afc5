// Commands on the active dialog, property sheet page or message box: a button
// pressed, an edit field filled, a check box set, a list item chosen, each
// with the notification that the control itself sends when a user does it.
#include "app/script/script_runners.h"
#include "app/script/script_windows.h"

namespace fotrix::script {

namespace {

// Where a command finds its control: the sheet's current page first, then the
// dialog (a sheet's own OK and Cancel belong to the sheet).
struct Target {
    HWND dialog = nullptr;
    HWND page = nullptr;
    HWND control = nullptr;
};

StepResult failWith(Step& step, std::string why)
{
    step.error = std::move(why);
    return StepResult::Failed;
}

bool findTarget(const Command& c, Step& step, Target* t)
{
    t->dialog = ActiveDialog();
    if (!t->dialog) {
        step.error = std::string(c.spec->name) + ": no dialog is shown";
        return false;
    }
    t->page = CurrentSheetPage(t->dialog);
    int id = static_cast<int>(c.number(0));
    if (t->page) t->control = GetDlgItem(t->page, id);
    if (!t->control) t->control = GetDlgItem(t->dialog, id);
    return true;
}

bool needControl(const Command& c, Step& step, const Target& t)
{
    if (t.control) return true;
    step.error = std::string(c.spec->name) + ": no control " + std::to_string(c.number(0)) + " in the active dialog";
    return false;
}

void notifyOwner(HWND control, WORD code)
{
    SendMessage(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

UINT buttonType(HWND button) { return static_cast<UINT>(GetWindowLong(button, GWL_STYLE)) & BS_TYPEMASK; }

bool isAutomatic(UINT type) { return type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON || type == BS_AUTO3STATE; }

}  // namespace

// Posted, as a button's click would be: a dialog it opens runs its own loop,
// where the script goes on. The standard ids need no button (Escape sends
// IDCANCEL to any dialog); another id must be an enabled control.
StepResult RunDialogCommand(const Command& c, Step& step)
{
    Target t;
    if (!findTarget(c, step, &t)) return StepResult::Failed;
    int id = static_cast<int>(c.number(0));
    bool standard = id >= IDOK && id <= IDNO;
    if (!standard && !needControl(c, step, t)) return StepResult::Failed;
    if (t.control && !IsWindowEnabled(t.control))
        return failWith(step, "dialog-command: control " + std::to_string(id) + " is disabled");
    HWND to = t.control ? GetParent(t.control) : t.dialog;
    PostMessage(to, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(t.control));
    return StepResult::Done;
}

// An edit field tells its owner EN_CHANGE itself when its text is set; a combo
// box's edit part is filled through the box, which then tells CBN_EDITCHANGE.
StepResult RunDialogText(const Command& c, Step& step)
{
    Target t;
    if (!findTarget(c, step, &t) || !needControl(c, step, t)) return StepResult::Failed;
    if (HasClass(t.control, WC_EDIT)) {
        SetWindowText(t.control, c.text(1).c_str());
        return StepResult::Done;
    }
    if (HasClass(t.control, WC_COMBOBOX)) {
        SetWindowText(t.control, c.text(1).c_str());
        notifyOwner(t.control, CBN_EDITCHANGE);
        return StepResult::Done;
    }
    return failWith(step, "dialog-text: control " + std::to_string(c.number(0)) + " is no edit field");
}

// An automatic button whose state must change is clicked, so that it changes
// itself (a radio button also clears its group) and notifies; otherwise the
// state is set and the owner hears BN_CLICKED as after a tap.
StepResult RunDialogCheck(const Command& c, Step& step)
{
    Target t;
    if (!findTarget(c, step, &t) || !needControl(c, step, t)) return StepResult::Failed;
    if (!HasClass(t.control, WC_BUTTON))
        return failWith(step, "dialog-check: control " + std::to_string(c.number(0)) + " is no check box or radio button");
    WPARAM wanted = c.number(1) ? BST_CHECKED : BST_UNCHECKED;
    bool differs = static_cast<WPARAM>(SendMessage(t.control, BM_GETCHECK, 0, 0)) != wanted;
    UINT type = buttonType(t.control);
    bool clickDoesIt = differs && isAutomatic(type) && (type != BS_AUTORADIOBUTTON || wanted == BST_CHECKED) &&
                       type != BS_AUTO3STATE;
    if (clickDoesIt) {
        SendMessage(t.control, BM_CLICK, 0, 0);
        return StepResult::Done;
    }
    SendMessage(t.control, BM_SETCHECK, wanted, 0);
    notifyOwner(t.control, BN_CLICKED);
    return StepResult::Done;
}

StepResult RunDialogSelect(const Command& c, Step& step)
{
    Target t;
    if (!findTarget(c, step, &t) || !needControl(c, step, t)) return StepResult::Failed;
    bool combo = HasClass(t.control, WC_COMBOBOX);
    if (!combo && !HasClass(t.control, WC_LISTBOX))
        return failWith(step, "dialog-select: control " + std::to_string(c.number(0)) + " is no combo box or list box");
    UINT countMessage = combo ? UINT{CB_GETCOUNT} : UINT{LB_GETCOUNT};
    LRESULT count = SendMessage(t.control, countMessage, 0, 0);
    long index = c.number(1);
    if (index >= count)
        return failWith(step, "dialog-select: item " + std::to_string(index) + " is past the " + std::to_string(count) +
                                  " items of control " + std::to_string(c.number(0)));
    if (combo) {
        SendMessage(t.control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        notifyOwner(t.control, CBN_SELCHANGE);
        return StepResult::Done;
    }
    DWORD style = static_cast<DWORD>(GetWindowLong(t.control, GWL_STYLE));
    if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) SendMessage(t.control, LB_SETSEL, TRUE, index);
    else SendMessage(t.control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    notifyOwner(t.control, LBN_SELCHANGE);
    return StepResult::Done;
}

}  // namespace fotrix::script
