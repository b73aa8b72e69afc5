// The organize favorites dialog ("DlgFavorites"): the favorites in a list,
// the chosen one's name and folder in two fields. "Open" goes there,
// "Delete/Modify" stores the fields under the favorite (renaming it when the
// name changed) or, with the name emptied, deletes it.
#include "app/browser/favorites.h"

#include "app/browser/file_messages.h"
#include "app/browser/name_dialogs.h"
#include "app/language.h"
#include "platform/controls/controls.h"
#include "platform/controls/edit.h"
#include "platform/controls/listbox.h"
#include "platform/window/message_map.h"

#include <iterator>

namespace fotrix {

namespace {

enum : int {
    IdcFavList = 1321,
    IdcFavNameLabel = 1322,
    IdcFavName = 1323,
    IdcFavPathLabel = 1324,
    IdcFavPath = 1325,
    IdcFavOpen = 1326,
    IdcFavDeleteModify = 1327,
    IdcFavHint = 1328,
};

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kLabel = kShown | SS_LEFT | SS_NOPREFIX;
constexpr DWORD kEdit = kShown | DWORD{WS_BORDER | WS_TABSTOP} | DWORD{ES_AUTOHSCROLL};
constexpr DWORD kButton = kShown | DWORD{WS_TABSTOP} | BS_PUSHBUTTON;

const DialogItemTemplate kItems[] = {
    {WC_LISTBOX, IdcFavList, "", 8, 6, 208, 96,
     kShown | DWORD{WS_BORDER | WS_VSCROLL | WS_TABSTOP} | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0},
    {WC_STATIC, IdcFavNameLabel, "Name:", 8, 108, 50, 14, kLabel, 0},
    {WC_EDIT, IdcFavName, "", 60, 106, 156, 20, kEdit, 0},
    {WC_STATIC, IdcFavPathLabel, "Folder:", 8, 132, 50, 14, kLabel, 0},
    {WC_EDIT, IdcFavPath, "", 60, 130, 156, 20, kEdit, 0},
    {WC_BUTTON, IdcFavOpen, "Open", 8, 158, 64, 22, kButton | DWORD{WS_GROUP}, 0},
    {WC_BUTTON, IdcFavDeleteModify, "Delete/Modify", 78, 158, 88, 22, kButton, 0},
    {WC_BUTTON, IDCANCEL, "Close", 172, 158, 44, 22, kButton, 0},
    {WC_STATIC, IdcFavHint, "Empty the name to delete the favorite.", 8, 186, 208, 28, kLabel, 0},
};
const DialogTemplate kDialog = {"Organize favorites",
                                DWORD{WS_POPUP | WS_BORDER} | DS_SETFONT | DS_MODALFRAME | DS_CENTER,
                                0, 0, 0, 224, 220, "Tahoma", 8, static_cast<int>(std::size(kItems)), kItems};

struct OrganizeState {
    std::vector<FavoriteEntry> favorites;
    std::string* open;
};

OrganizeState* stateOf(HWND dialog) { return reinterpret_cast<OrganizeState*>(GetWindowLongPtr(dialog, DWLP_USER)); }

std::string itemText(HWND dialog, int id)
{
    char text[1024] = "";
    GetDlgItemText(dialog, id, text, sizeof text);
    return text;
}

int chosenIndex(HWND dialog)
{
    const int index = static_cast<int>(SendDlgItemMessage(dialog, IdcFavList, LB_GETCURSEL, 0, 0));
    return index >= 0 && static_cast<size_t>(index) < stateOf(dialog)->favorites.size() ? index : -1;
}

void showChosen(HWND dialog)
{
    const int index = chosenIndex(dialog);
    const FavoriteEntry none;
    const FavoriteEntry& entry = index >= 0 ? stateOf(dialog)->favorites[static_cast<size_t>(index)] : none;
    SetDlgItemText(dialog, IdcFavName, entry.name.c_str());
    SetDlgItemText(dialog, IdcFavPath, entry.path.c_str());
}

// Reads the favorites again and shows them, choosing `select` (or the last one).
void fillList(HWND dialog, int select)
{
    OrganizeState* state = stateOf(dialog);
    state->favorites = LoadFavorites();
    SendDlgItemMessage(dialog, IdcFavList, LB_RESETCONTENT, 0, 0);
    for (const FavoriteEntry& entry : state->favorites)
        SendDlgItemMessage(dialog, IdcFavList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name.c_str()));
    const int count = static_cast<int>(state->favorites.size());
    if (select >= count) select = count - 1;
    SendDlgItemMessage(dialog, IdcFavList, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
    showChosen(dialog);
}

LRESULT onInitDialog(HWND dialog, UINT, WPARAM, LPARAM lParam)
{
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    BeginDialogSection("DlgFavorites");
    SetDlgItemTr(dialog, IdcFavNameLabel, "IDC_FAV_TNAME");
    SetDlgItemTr(dialog, IdcFavPathLabel, "IDC_FAV_TFOLDER");
    SetDlgItemTr(dialog, IdcFavHint, "IDC_FAV_HINT");
    SetDlgItemText(dialog, IdcFavOpen, Tr(kIdsOpen).c_str());
    SetDlgItemText(dialog, IdcFavDeleteModify, Tr(kIdsDeleteModify).c_str());
    fillList(dialog, 0);
    return TRUE;
}

LRESULT onOpen(HWND dialog, WORD, WORD, LPARAM)
{
    const std::string path = itemText(dialog, IdcFavPath);
    if (path.empty() || path[0] != '/') return TRUE;
    *stateOf(dialog)->open = path.back() == '/' ? path : path + "/";
    EndDialog(dialog, IDOK);
    return TRUE;
}

LRESULT onDeleteModify(HWND dialog, WORD, WORD, LPARAM)
{
    const int index = chosenIndex(dialog);
    if (index < 0) return TRUE;
    const FavoriteEntry old = stateOf(dialog)->favorites[static_cast<size_t>(index)];
    const std::string name = itemText(dialog, IdcFavName);
    std::string path = itemText(dialog, IdcFavPath);
    if (!path.empty() && path.back() != '/') path += '/';
    if (name.empty()) {
        if (!DeleteFavorite(old.name)) ShowFileFailure(old.name, ERROR_ACCESS_DENIED);
    } else if (!IsFavoriteName(name) || path.empty() || path[0] != '/') {
        ShowFileFailure(name, ERROR_INVALID_NAME);
        return TRUE;
    } else if (!ModifyFavorite(old.name, name, path)) {
        ShowFileFailure(name, ERROR_ACCESS_DENIED);
    }
    fillList(dialog, index);
    return TRUE;
}

LRESULT onList(HWND dialog, WORD, WORD code, LPARAM)
{
    if (code == LBN_SELCHANGE) showChosen(dialog);
    if (code == LBN_DBLCLK) onOpen(dialog, IdcFavOpen, BN_CLICKED, 0);
    return TRUE;
}

LRESULT onClose(HWND dialog, WORD, WORD, LPARAM)
{
    EndDialog(dialog, IDCANCEL);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcFavOpen, onOpen}, {IdcFavDeleteModify, onDeleteModify}, {IdcFavList, onList}, {IDCANCEL, onClose}};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

constexpr MessageEntry kMessages[] = {{WM_INITDIALOG, onInitDialog}, {WM_COMMAND, CommandMapProc<kCommandMap>}};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, dialog, message, wParam, lParam);
}

}  // namespace

const DialogTemplate* OrganizeFavoritesTemplate() { return &kDialog; }

bool ShowOrganizeFavorites(HWND owner, std::string* open)
{
    OrganizeState state{{}, open};
    return DialogBoxIndirectParam(nullptr, BrowserDialogTemplate("DlgFavorites"), owner, procedure,
                                  reinterpret_cast<LPARAM>(&state)) == IDOK;
}

}  // namespace fotrix
