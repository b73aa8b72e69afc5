// The file-open dialog: the folder shown at the top with an Up button, its
// sub-folders and the files of the chosen type in a list, a name field, the
// type list, OK and Cancel. A double tap opens a folder or chooses a file.
#include "platform/dialog/browse.h"
#include "platform/dialog/commdlg.h"
#include "platform/dialog/dialog_internal.h"
#include "platform/controls/combo.h"
#include "platform/controls/edit.h"
#include "platform/controls/listbox.h"
#include "platform/dialog/messagebox.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

using namespace commdlg;

namespace {

enum : int { IdNameLabel = 1103, IdName = 1104, IdTypeLabel = 1105, IdType = 1106 };

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kStop = WS_VISIBLE | WS_TABSTOP;
// Positions at 96 dpi for a 240 x 268 work area; layout() stretches them to the real one.
const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdFolder, "", 4, 6, 190, 14, kShown | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0},
    {WC_BUTTON, IdUp, "Up", 200, 3, 36, 20, kStop | BS_PUSHBUTTON, 0},
    {WC_LISTBOX, IdList, "", 4, 26, 232, 150, kStop | DWORD{WS_VSCROLL | WS_BORDER} | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0},
    {WC_STATIC, IdNameLabel, "Name:", 4, 184, 40, 14, kShown, 0},
    {WC_EDIT, IdName, "", 46, 181, 190, 20, kStop | DWORD{WS_BORDER} | ES_AUTOHSCROLL, 0},
    {WC_STATIC, IdTypeLabel, "Type:", 4, 210, 40, 14, kShown, 0},
    {WC_COMBOBOX, IdType, "", 46, 207, 190, 100, kStop | CBS_DROPDOWNLIST, 0},
    {WC_BUTTON, IDOK, "OK", 100, 240, 64, 22, kStop | DWORD{WS_GROUP} | BS_DEFPUSHBUTTON, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 172, 240, 64, 22, kStop | BS_PUSHBUTTON, 0},
};

struct Filter {
    std::string title;
    std::vector<std::string> patterns;
};

struct OpenState : FolderView {
    const OPENFILENAME* ofn;
    std::string title;
    std::vector<Filter> filters;
    int filter = 0;
    std::vector<std::string> typedPatterns;  // a name with wildcards typed into the name field
    std::string result;
};

std::vector<Filter> parseFilters(const char* text)
{
    std::vector<Filter> out;
    while (text && *text) {
        const char* patterns = text + std::strlen(text) + 1;
        out.push_back({text, splitPatterns(patterns)});
        text = patterns + std::strlen(patterns) + 1;
    }
    return out;
}

OpenState* stateOf(HWND dlg) { return reinterpret_cast<OpenState*>(GetWindowLongPtr(dlg, DWLP_USER)); }

std::string itemText(HWND dlg, int id)
{
    HWND item = GetDlgItem(dlg, id);
    std::string text(static_cast<size_t>(GetWindowTextLength(item)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowText(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Places the controls over the whole client area: the list takes the height left.
void layout(HWND dlg)
{
    RECT c;
    GetClientRect(dlg, &c);
    int m = ScaleForScreen(4), row = ScaleForScreen(22), label = ScaleForScreen(40), up = ScaleForScreen(36);
    int w = c.right, h = c.bottom;
    auto place = [&](int id, int x, int y, int cx, int cy) { MoveWindow(GetDlgItem(dlg, id), x, y, cx, cy, TRUE); };
    int buttonsY = h - m - row, typeY = buttonsY - m - row, nameY = typeY - m - row;
    place(IdFolder, m, m + ScaleForScreen(3), w - up - 3 * m, row - ScaleForScreen(6));
    place(IdUp, w - m - up, m, up, row);
    place(IdList, m, 2 * m + row, w - 2 * m, nameY - 3 * m - row);
    place(IdNameLabel, m, nameY + ScaleForScreen(3), label, row);
    place(IdName, 2 * m + label, nameY, w - 3 * m - label, row);
    place(IdTypeLabel, m, typeY + ScaleForScreen(3), label, row);
    place(IdType, 2 * m + label, typeY, w - 3 * m - label, ScaleForScreen(100));
    int bw = ScaleForScreen(64);
    place(IDCANCEL, w - m - bw, buttonsY, bw, row);
    place(IDOK, w - 2 * m - 2 * bw, buttonsY, bw, row);
}

const std::vector<std::string>& currentPatterns(const OpenState* s)
{
    static const std::vector<std::string> everything{"*"};
    if (!s->typedPatterns.empty()) return s->typedPatterns;
    if (s->filters.empty()) return everything;
    return s->filters[s->filter].patterns;
}

void refresh(HWND dlg, OpenState* s) { showFolder(dlg, *s, currentPatterns(s), true); }

void navigate(HWND dlg, OpenState* s, const std::string& folder)
{
    enterFolder(dlg, *s, folder, currentPatterns(s), true);
}

std::string trimmed(const std::string& text)
{
    size_t a = text.find_first_not_of(" \t"), b = text.find_last_not_of(" \t");
    return a == std::string::npos ? std::string() : text.substr(a, b - a + 1);
}

bool complain(HWND dlg, const OpenState* s, const std::string& name, const char* problem)
{
    std::string text = name + "\n" + problem;
    MessageBox(dlg, text.c_str(), s->title.c_str(), MB_OK | MB_ICONWARNING);
    return false;
}

// OK: a folder name opens the folder, a name with wildcards becomes the
// pattern, anything else is the chosen file (checked against the flags).
void accept(HWND dlg, OpenState* s)
{
    std::string name = trimmed(itemText(dlg, IdName));
    if (name.empty()) {
        const FolderEntry* e = selectedEntry(dlg, s);
        if (e && e->folder) navigate(dlg, s, s->folder + e->name);
        else if (e) name = e->name;
        if (name.empty()) return;
    }
    std::string path = name[0] == '/' ? name : s->folder + name;
    if (folderExists(path)) {
        SetDlgItemText(dlg, IdName, "");
        navigate(dlg, s, path);
        return;
    }
    if (name.find_first_of("*?") != std::string::npos) {
        s->typedPatterns = splitPatterns(name);
        SetDlgItemText(dlg, IdName, "");
        refresh(dlg, s);
        return;
    }
    size_t slash = path.find_last_of('/');
    std::string base = path.substr(slash + 1);
    const OPENFILENAME* ofn = s->ofn;
    if (base.find('.') == std::string::npos && ofn->lpstrDefExt && *ofn->lpstrDefExt && !fileExists(path))
        path += std::string(".") + ofn->lpstrDefExt;
    if (base.empty()) return;
    if ((ofn->Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) && !folderExists(path.substr(0, slash + 1))) {
        complain(dlg, s, name, "The folder does not exist.");
        return;
    }
    if ((ofn->Flags & OFN_FILEMUSTEXIST) && !fileExists(path)) {
        complain(dlg, s, name, "File not found. Check the name and try again.");
        return;
    }
    s->result = path;
    EndDialog(dlg, IDOK);
}

INT_PTR onInit(HWND dlg, OpenState* s)
{
    SetWindowLongPtr(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
    SHINITDLGINFO info{SHIDIM_FLAGS, dlg, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU};
    SHInitDialog(&info);
    layout(dlg);
    HWND type = GetDlgItem(dlg, IdType);
    for (const Filter& f : s->filters) SendMessage(type, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.title.c_str()));
    SendMessage(type, CB_SETCURSEL, s->filter, 0);
    EnableWindow(type, !s->filters.empty());
    refresh(dlg, s);
    std::string start(s->ofn->lpstrFile, strnlen(s->ofn->lpstrFile, s->ofn->nMaxFile));
    size_t slash = start.find_last_of('/');
    SetDlgItemText(dlg, IdName, slash == std::string::npos ? start.c_str() : start.c_str() + slash + 1);
    SetFocus(GetDlgItem(dlg, IdList));
    return FALSE;
}

void onListCommand(HWND dlg, OpenState* s, WORD code)
{
    const FolderEntry* e = selectedEntry(dlg, s);
    if (!e) return;
    if (code == LBN_SELCHANGE && !e->folder) SetDlgItemText(dlg, IdName, e->name.c_str());
    if (code != LBN_DBLCLK) return;
    if (e->folder) {
        navigate(dlg, s, s->folder + e->name);
    } else {
        SetDlgItemText(dlg, IdName, e->name.c_str());
        accept(dlg, s);
    }
}

INT_PTR openProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) return onInit(dlg, reinterpret_cast<OpenState*>(lParam));
    OpenState* s = stateOf(dlg);
    if (!s || message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        accept(dlg, s);
        return TRUE;
    case IDCANCEL:
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    case IdUp:
        navigate(dlg, s, parentFolder(s->folder));
        return TRUE;
    case IdList:
        onListCommand(dlg, s, HIWORD(wParam));
        return TRUE;
    case IdType:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            LRESULT i = SendDlgItemMessage(dlg, IdType, CB_GETCURSEL, 0, 0);
            if (i >= 0) s->filter = static_cast<int>(i);
            s->typedPatterns.clear();
            refresh(dlg, s);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

// The chosen path goes back only when it fits whole, with the name too when asked for.
BOOL deliver(OPENFILENAME* ofn, const OpenState& s)
{
    const std::string& path = s.result;
    size_t slash = path.find_last_of('/');
    std::string name = path.substr(slash + 1);
    if (path.size() + 1 > ofn->nMaxFile || (ofn->lpstrFileTitle && name.size() + 1 > ofn->nMaxFileTitle)) {
        setError(FNERR_BUFFERTOOSMALL);
        return FALSE;
    }
    std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    if (ofn->lpstrFileTitle) std::memcpy(ofn->lpstrFileTitle, name.c_str(), name.size() + 1);
    ofn->nFileOffset = static_cast<WORD>(slash + 1);
    size_t dot = name.find_last_of('.');
    ofn->nFileExtension = dot == std::string::npos ? 0 : static_cast<WORD>(slash + 1 + dot + 1);
    if (!s.filters.empty()) ofn->nFilterIndex = static_cast<DWORD>(s.filter + 1);
    return TRUE;
}

}  // namespace

BOOL GetOpenFileName(OPENFILENAME* ofn)
{
    setError(0);
    if (!ofn || ofn->lStructSize != sizeof(OPENFILENAME)) {
        setError(CDERR_STRUCTSIZE);
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        setError(CDERR_INITIALIZATION);
        return FALSE;
    }
    OpenState s;
    s.ofn = ofn;
    s.title = ofn->lpstrTitle ? ofn->lpstrTitle : "Open";
    s.filters = parseFilters(ofn->lpstrFilter);
    int wanted = static_cast<int>(ofn->nFilterIndex) - 1;
    s.filter = wanted >= 0 && wanted < static_cast<int>(s.filters.size()) ? wanted : 0;
    // The start: the initial folder, else the folder of a path already in the buffer.
    std::string start = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "";
    std::string given(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
    if (start.empty() && given.find('/') != std::string::npos) start = given.substr(0, given.find_last_of('/') + 1);
    s.folder = startFolder(start);
    const DialogTemplate dialog{s.title.c_str(), DWORD{WS_POPUP} | DS_SETFONT, 0, 0, 0, 240, 268, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};
    INT_PTR r = DialogBoxIndirectParam(ofn->hInstance, &dialog, ofn->hwndOwner, openProc, reinterpret_cast<LPARAM>(&s));
    if (r < 0) {
        setError(CDERR_INITIALIZATION);
        return FALSE;
    }
    if (r != IDOK) return FALSE;
    return deliver(ofn, s);
}
