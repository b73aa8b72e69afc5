// The folder chooser: the folder shown at the top with an Up button, its
// sub-folders in a list (a double tap opens one), optionally a button that
// makes a new folder, OK and Cancel. OK takes the sub-folder selected in the
// list, or else the folder shown.
#include "platform/dialog/browse.h"
#include "platform/dialog/commdlg.h"
#include "platform/dialog/dialog_internal.h"
#include "platform/controls/edit.h"
#include "platform/controls/listbox.h"
#include "platform/dialog/messagebox.h"
#include "platform/files/files.h"

#include <cstring>
#include <string>
#include <vector>

using namespace commdlg;

namespace {

enum : int { IdNewFolder = 1107, IdNewName = 1108 };

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kStop = WS_VISIBLE | WS_TABSTOP;
const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdFolder, "", 4, 6, 190, 14, kShown | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0},
    {WC_BUTTON, IdUp, "Up", 200, 3, 36, 20, kStop | BS_PUSHBUTTON, 0},
    {WC_LISTBOX, IdList, "", 4, 26, 232, 206, kStop | DWORD{WS_VSCROLL | WS_BORDER} | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0},
    {WC_BUTTON, IdNewFolder, "New folder", 4, 240, 80, 22, kStop | DWORD{WS_GROUP} | BS_PUSHBUTTON, 0},
    {WC_BUTTON, IDOK, "OK", 100, 240, 64, 22, kStop | BS_DEFPUSHBUTTON, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 172, 240, 64, 22, kStop | BS_PUSHBUTTON, 0},
};

const DialogItemTemplate kAskItems[] = {
    {WC_STATIC, 0xFFFF, "Name of the new folder:", 8, 28, 200, 14, kShown, 0},
    {WC_EDIT, IdNewName, "", 8, 46, 200, 20, kStop | DWORD{WS_BORDER} | ES_AUTOHSCROLL, 0},
    {WC_BUTTON, IDOK, "OK", 76, 76, 64, 22, kStop | BS_DEFPUSHBUTTON, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 146, 76, 64, 22, kStop | BS_PUSHBUTTON, 0},
};

struct FolderState : FolderView {
    std::string title;
    bool newFolder = false;
    std::string result;
};

FolderState* stateOf(HWND dlg) { return reinterpret_cast<FolderState*>(GetWindowLongPtr(dlg, DWLP_USER)); }

void layout(HWND dlg, bool newFolder)
{
    RECT c;
    GetClientRect(dlg, &c);
    int m = ScaleForScreen(4), row = ScaleForScreen(22), up = ScaleForScreen(36), bw = ScaleForScreen(64);
    int w = c.right, h = c.bottom, buttonsY = h - m - row;
    auto place = [&](int id, int x, int y, int cx, int cy) { MoveWindow(GetDlgItem(dlg, id), x, y, cx, cy, TRUE); };
    place(IdFolder, m, m + ScaleForScreen(3), w - up - 3 * m, row - ScaleForScreen(6));
    place(IdUp, w - m - up, m, up, row);
    place(IdList, m, 2 * m + row, w - 2 * m, buttonsY - 3 * m - row);
    place(IdNewFolder, m, buttonsY, ScaleForScreen(80), row);
    place(IDCANCEL, w - m - bw, buttonsY, bw, row);
    place(IDOK, w - 2 * m - 2 * bw, buttonsY, bw, row);
    ShowWindow(GetDlgItem(dlg, IdNewFolder), newFolder ? SW_SHOW : SW_HIDE);
}

void refresh(HWND dlg, FolderState* s) { showFolder(dlg, *s, {}, false); }

void navigate(HWND dlg, FolderState* s, const std::string& folder) { enterFolder(dlg, *s, folder, {}, false); }

INT_PTR askProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        SendDlgItemMessage(dlg, IdNewName, EM_LIMITTEXT, MAX_PATH - 1, 0);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) {
        char name[MAX_PATH] = "";
        GetDlgItemText(dlg, IdNewName, name, sizeof name);
        *reinterpret_cast<std::string*>(GetWindowLongPtr(dlg, DWLP_USER)) = name;
        EndDialog(dlg, IDOK);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// Asks for a name and makes the folder inside the one shown, then shows it.
void makeFolder(HWND dlg, FolderState* s)
{
    std::string name;
    const DialogTemplate ask{"New folder", DWORD{WS_POPUP | WS_BORDER} | DS_SETFONT | DS_CENTER, 0, 0, 0, 220, 106,
                             "Tahoma", 8, static_cast<int>(std::size(kAskItems)), kAskItems};
    if (DialogBoxIndirectParam(nullptr, &ask, dlg, askProc, reinterpret_cast<LPARAM>(&name)) != IDOK) return;
    // A name, not a path: no separators, and not "." or "..".
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        MessageBox(dlg, "A folder name cannot contain \"/\" or be empty.", s->title.c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    std::string path = s->folder + name;
    if (!CreateDirectory(path.c_str(), nullptr)) {
        MessageBox(dlg, "The folder could not be made.", s->title.c_str(), MB_OK | MB_ICONERROR);
        return;
    }
    navigate(dlg, s, path);
}

INT_PTR folderProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* s = reinterpret_cast<FolderState*>(lParam);
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        SHINITDLGINFO info{SHIDIM_FLAGS, dlg, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU};
        SHInitDialog(&info);
        layout(dlg, s->newFolder);
        refresh(dlg, s);
        SetFocus(GetDlgItem(dlg, IdList));
        return FALSE;
    }
    FolderState* s = stateOf(dlg);
    if (!s || message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK: {
        const FolderEntry* e = selectedEntry(dlg, s);
        s->result = e ? s->folder + e->name + "/" : s->folder;
        EndDialog(dlg, IDOK);
        return TRUE;
    }
    case IDCANCEL:
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    case IdUp:
        navigate(dlg, s, parentFolder(s->folder));
        return TRUE;
    case IdNewFolder:
        makeFolder(dlg, s);
        return TRUE;
    case IdList:
        if (HIWORD(wParam) == LBN_DBLCLK) {
            if (const FolderEntry* e = selectedEntry(dlg, s)) navigate(dlg, s, s->folder + e->name);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

BOOL ChooseFolder(HWND owner, const char* title, char* folder, int capacity, DWORD flags)
{
    setError(0);
    if (!folder || capacity <= 0) {
        setError(CDERR_INITIALIZATION);
        return FALSE;
    }
    FolderState s;
    s.title = title ? title : "Choose a folder";
    s.folder = startFolder(std::string(folder, strnlen(folder, static_cast<size_t>(capacity))));
    s.newFolder = (flags & CHOOSEFOLDER_NEWFOLDER) != 0;
    const DialogTemplate dialog{s.title.c_str(), DWORD{WS_POPUP} | DS_SETFONT, 0, 0, 0, 240, 268, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};
    INT_PTR r = DialogBoxIndirectParam(nullptr, &dialog, owner, folderProc, reinterpret_cast<LPARAM>(&s));
    if (r < 0) setError(CDERR_INITIALIZATION);
    if (r != IDOK) return FALSE;
    if (s.result.size() + 1 > static_cast<size_t>(capacity)) {
        setError(FNERR_BUFFERTOOSMALL);
        return FALSE;
    }
    std::memcpy(folder, s.result.c_str(), s.result.size() + 1);
    return TRUE;
}
