// Dialog templates compiled into the program, and building a dialog window
// with its controls from one.
#include "platform/dialog/dialog_internal.h"
#include "platform/shell/taskbar.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

std::mutex& tableLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<DialogResource>& table()
{
    static std::vector<DialogResource> dialogs;
    return dialogs;
}

bool sameName(const DialogResource& r, const char* name)
{
    if (IS_INTRESOURCE(name)) return r.id != 0 && r.id == static_cast<int>(reinterpret_cast<uintptr_t>(name));
    return r.name && std::strcmp(r.name, name) == 0;
}

HFONT templateFont(const DialogTemplate* dialog)
{
    if (!(dialog->style & DS_SETFONT) || !dialog->fontFace) return nullptr;
    LOGFONT lf{};
    lf.lfHeight = -MulDiv(dialog->pointSize > 0 ? dialog->pointSize : 8, GetDeviceCaps(nullptr, LOGPIXELSY), 72);
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, dialog->fontFace, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

// Where the dialog goes: children relative to their parent, top-level dialogs
// relative to the work area they will have when shown over `owner`, or
// centred in it with DS_CENTER.
RECT placement(const DialogTemplate* dialog, HWND owner)
{
    int w = ScaleForScreen(dialog->cx), h = ScaleForScreen(dialog->cy);
    int x = ScaleForScreen(dialog->x), y = ScaleForScreen(dialog->y);
    if (!(dialog->style & WS_CHILD)) {
        RECT work = shellWorkAreaFor(owner);
        if (dialog->style & DS_CENTER) {
            x = (work.left + work.right - w) / 2;
            y = std::max<int>(work.top, (work.top + work.bottom - h) / 2);
        } else {
            x += work.left;
            y += work.top;
        }
    }
    return RECT{x, y, x + w, y + h};
}

bool createItems(HWND dlg, HINSTANCE instance, const DialogTemplate* dialog, HFONT font)
{
    for (int i = 0; i < dialog->itemCount; ++i) {
        const DialogItemTemplate& item = dialog->items[i];
        HWND control = CreateWindowEx(item.exStyle, item.className, item.text ? item.text : "", item.style | WS_CHILD,
                                      ScaleForScreen(item.x), ScaleForScreen(item.y), ScaleForScreen(item.cx),
                                      ScaleForScreen(item.cy), dlg,
                                      reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)), instance, nullptr);
        if (!control) {
            char line[160];
            std::snprintf(line, sizeof line, "Dialog \"%s\": cannot create control %d of class %s\n",
                          dialog->title ? dialog->title : "", item.id, item.className ? item.className : "(none)");
            OutputDebugString(line);
            return false;
        }
        if (font) SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return true;
}

// Shows the dialog and gives the focus chosen at WM_INITDIALOG.
void showDialog(HWND dlg, HWND focus, bool child)
{
    ShowWindow(dlg, SW_SHOW);
    if (!child) SetActiveWindow(dlg);
    if (focus) dialogs::focusControl(dlg, focus, true);
}

}  // namespace

void RegisterDialogs(const DialogResource* dialogs, int count)
{
    std::lock_guard<std::mutex> guard(tableLock());
    for (int i = 0; i < count; ++i) {
        auto& t = table();
        auto same = [&](const DialogResource& r) {
            return (dialogs[i].id && r.id == dialogs[i].id) || (!dialogs[i].id && r.name && dialogs[i].name && std::strcmp(r.name, dialogs[i].name) == 0);
        };
        auto it = std::find_if(t.begin(), t.end(), same);
        if (it != t.end()) *it = dialogs[i];
        else t.push_back(dialogs[i]);
    }
}

const DialogTemplate* FindDialogTemplate(HINSTANCE, const char* name)
{
    if (!name) return nullptr;
    std::lock_guard<std::mutex> guard(tableLock());
    for (const DialogResource& r : table())
        if (sameName(r, name)) return r.dialog;
    return nullptr;
}

namespace dialogs {

HWND buildDialog(HINSTANCE instance, const DialogTemplate* dialog, HWND parent, DLGPROC proc, LPARAM param, bool modal)
{
    if (!dialog) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    registerDialogClass();
    bool child = (dialog->style & WS_CHILD) != 0;
    RECT r = placement(dialog, parent);
    DWORD style = dialog->style & ~WS_VISIBLE;
    HWND dlg = CreateWindowEx(dialog->exStyle, WC_DIALOG, dialog->title ? dialog->title : "", style, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, parent, nullptr, instance, nullptr);
    if (!dlg) return nullptr;
    DialogState* s = stateOf(dlg);
    s->modal = modal;
    s->noIdleMessage = (dialog->style & DS_NOIDLEMSG) != 0;
    s->font = templateFont(dialog);
    SetWindowLongPtr(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    if (!createItems(dlg, instance, dialog, s->font)) {
        DestroyWindow(dlg);
        return nullptr;
    }
    if (s->font) SendMessage(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(s->font), FALSE);
    HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
    updateDefaultButton(dlg, nullptr);
    LRESULT setFocus = SendMessage(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dlg)) return nullptr;
    // TRUE: the dialog manager gives the focus to the first tab stop (asked
    // again: the procedure may have hidden or disabled controls meanwhile).
    HWND focus = setFocus ? GetNextDlgTabItem(dlg, nullptr, FALSE) : nullptr;
    DialogState* after = stateOf(dlg);
    if (after && after->ended) return dlg;  // EndDialog inside WM_INITDIALOG: never shown
    if (modal || (dialog->style & WS_VISIBLE)) showDialog(dlg, focus, child);
    else if (after && focus) after->savedFocus = focus;
    return dlg;
}

}  // namespace dialogs

HWND CreateDialogIndirectParam(HINSTANCE instance, const DialogTemplate* dialog, HWND parent, DLGPROC proc, LPARAM param)
{
    return dialogs::buildDialog(instance, dialog, parent, proc, param, false);
}

HWND CreateDialogParam(HINSTANCE instance, const char* templateName, HWND parent, DLGPROC proc, LPARAM param)
{
    return CreateDialogIndirectParam(instance, FindDialogTemplate(instance, templateName), parent, proc, param);
}
