// The name dialogs: one procedure for all four, driven by a row per kind
// (template, language section and the keys of its labels).
#include "app/browser/name_dialogs.h"

#include "app/language.h"
#include "platform/controls/controls.h"
#include "platform/controls/edit.h"
#include "platform/window/message_map.h"

#include <iterator>

namespace fotrix {

const DialogTemplate* OrganizeFavoritesTemplate();

namespace {

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kLabel = kShown | SS_LEFT | SS_NOPREFIX;
constexpr DWORD kDialogStyle = DWORD{WS_POPUP | WS_BORDER} | DS_SETFONT | DS_MODALFRAME | DS_CENTER;
constexpr DWORD kEditStyle = kShown | DWORD{WS_BORDER | WS_TABSTOP} | DWORD{ES_AUTOHSCROLL};
constexpr DWORD kButton = kShown | DWORD{WS_TABSTOP};

// Rows up to the name field; the old-name row only where there is an old
// name. The title shows in the task bar, as for every dialog.
#define NAME_DIALOG_HEAD()                                                           \
    {WC_STATIC, IdcNameFolderLabel, "Folder:", 8, 8, 208, 14, kLabel, 0}, \
        {WC_STATIC, IdcNameFolder, "", 8, 22, 208, 28, kLabel, 0}
#define NAME_DIALOG_TAIL(y, label)                                                                  \
    {WC_STATIC, IdcNameNewLabel, label, 8, y, 208, 14, kLabel, 0},                                  \
        {WC_EDIT, IdcNameEdit, "", 8, y + 14, 208, 20, kEditStyle, 0},                               \
        {WC_BUTTON, IDOK, "OK", 48, y + 42, 60, 22, kButton | DWORD{WS_GROUP} | BS_DEFPUSHBUTTON, 0}, \
        {WC_BUTTON, IDCANCEL, "Cancel", 116, y + 42, 60, 22, kButton | BS_PUSHBUTTON, 0}
#define OLD_NAME_ROW(label)                                                  \
    {WC_STATIC, IdcNameOldLabel, label, 8, 52, 208, 14, kLabel, 0}, \
        {WC_STATIC, IdcNameOld, "", 8, 66, 208, 14, kLabel, 0}

const DialogItemTemplate kNewFolderItems[] = {NAME_DIALOG_HEAD(), NAME_DIALOG_TAIL(52, "Name:")};
const DialogItemTemplate kRenameFolderItems[] = {NAME_DIALOG_HEAD(), OLD_NAME_ROW("Folder name:"),
                                                 NAME_DIALOG_TAIL(84, "New name:")};
const DialogItemTemplate kRenameFileItems[] = {NAME_DIALOG_HEAD(), OLD_NAME_ROW("File name:"),
                                               NAME_DIALOG_TAIL(84, "New name:")};
const DialogItemTemplate kAddFavoriteItems[] = {NAME_DIALOG_HEAD(), NAME_DIALOG_TAIL(52, "Name:")};

#undef NAME_DIALOG_HEAD
#undef NAME_DIALOG_TAIL
#undef OLD_NAME_ROW

template <size_t N>
constexpr DialogTemplate nameTemplate(const char* title, const DialogItemTemplate (&items)[N], int height)
{
    return DialogTemplate{title, kDialogStyle, 0, 0, 0, 224, height, "Tahoma", 8, static_cast<int>(N), items};
}
const DialogTemplate kNewFolder = nameTemplate("New folder", kNewFolderItems, 124);
const DialogTemplate kRenameFolder = nameTemplate("Rename folder", kRenameFolderItems, 156);
const DialogTemplate kRenameFile = nameTemplate("Rename", kRenameFileItems, 156);
const DialogTemplate kAddFavorite = nameTemplate("Add favorite", kAddFavoriteItems, 124);

struct LabelKey {
    int id;
    const char* key;
};
struct NameDialogKind {
    NameDialog kind;
    const char* section;
    const DialogTemplate* dialog;
    LabelKey labels[4];
};
const NameDialogKind kKinds[] = {
    {NameDialog::NewFolder, "CDlgNewFolder", &kNewFolder,
     {{IDOK, "IDC_APPLY"}, {IdcNameFolderLabel, "IDC_NF_TFOLDER"},
      {IdcNameNewLabel, "IDC_NF_TNEWFOLDER"}, {0, nullptr}}},
    {NameDialog::RenameFolder, "DlgRenFolder", &kRenameFolder,
     {{IDOK, "IDC_APPLY"}, {IdcNameFolderLabel, "IDC_RF_TFOLDER"},
      {IdcNameOldLabel, "IDC_RF_TOLDNAME"}, {IdcNameNewLabel, "IDC_RF_TNEWNAME"}}},
    {NameDialog::RenameFile, "DlgRename", &kRenameFile,
     {{IDOK, "IDC_APPLY"}, {IdcNameFolderLabel, "IDC_REN_TFOLDER"}, {IdcNameOldLabel, "IDC_REN_TFILENAME"},
      {IdcNameNewLabel, "IDC_REN_TNEWNAME"}}},
    {NameDialog::AddFavorite, "DlgAddFavorites", &kAddFavorite,
     {{IDOK, "IDC_APPLY"}, {IdcNameFolderLabel, "IDC_AF_TFOLDER"},
      {IdcNameNewLabel, "IDC_AF_TNAME"}, {0, nullptr}}},
};

const NameDialogKind& kindRow(NameDialog kind)
{
    for (const NameDialogKind& row : kKinds)
        if (row.kind == kind) return row;
    return kKinds[0];
}

// What the dialog gets and returns, kept in its user-data word.
struct NameRequest {
    const NameDialogKind* row;
    const std::string* folder;
    std::string* name;
};

NameRequest* requestOf(HWND dialog) { return reinterpret_cast<NameRequest*>(GetWindowLongPtr(dialog, DWLP_USER)); }

LRESULT onInitDialog(HWND dialog, UINT, WPARAM, LPARAM lParam)
{
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    const NameRequest* request = reinterpret_cast<NameRequest*>(lParam);
    BeginDialogSection(request->row->section);
    for (const LabelKey& label : request->row->labels)
        if (label.key) SetDlgItemTr(dialog, label.id, label.key);
    SetDlgItemText(dialog, IdcNameFolder, request->folder->c_str());
    SetDlgItemText(dialog, IdcNameOld, request->name->c_str());
    SetDlgItemText(dialog, IdcNameEdit, request->name->c_str());
    SendDlgItemMessage(dialog, IdcNameEdit, EM_LIMITTEXT, 255, 0);
    HWND edit = GetDlgItem(dialog, IdcNameEdit);
    SendMessage(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
    return FALSE;  // the focus is set
}

LRESULT onOk(HWND dialog, WORD, WORD, LPARAM)
{
    char text[1024] = "";
    GetDlgItemText(dialog, IdcNameEdit, text, sizeof text);
    *requestOf(dialog)->name = text;
    EndDialog(dialog, IDOK);
    return TRUE;
}
LRESULT onCancel(HWND dialog, WORD, WORD, LPARAM)
{
    EndDialog(dialog, IDCANCEL);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {{IDOK, onOk}, {IDCANCEL, onCancel}};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

constexpr MessageEntry kMessages[] = {{WM_INITDIALOG, onInitDialog}, {WM_COMMAND, CommandMapProc<kCommandMap>}};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, dialog, message, wParam, lParam);
}

}  // namespace

bool AskForName(HWND owner, NameDialog kind, const std::string& folder, std::string* name)
{
    const NameDialogKind& row = kindRow(kind);
    std::string entered = *name;
    NameRequest request{&row, &folder, &entered};
    const INT_PTR result = DialogBoxIndirectParam(nullptr, BrowserDialogTemplate(row.section), owner, procedure,
                                                  reinterpret_cast<LPARAM>(&request));
    if (result != IDOK) return false;
    *name = entered;
    return true;
}

const DialogTemplate* BrowserDialogTemplate(const char* name)
{
    if (const DialogTemplate* registered = FindDialogTemplate(nullptr, name)) return registered;
    for (const NameDialogKind& row : kKinds)
        if (std::string(row.section) == name) return row.dialog;
    return std::string(name) == "DlgFavorites" ? OrganizeFavoritesTemplate() : nullptr;
}

void RegisterBrowserDialogs()
{
    static bool registered = false;
    if (registered) return;
    registered = true;
    static const DialogResource dialogs[] = {
        {0, "CDlgNewFolder", &kNewFolder},     {0, "DlgRenFolder", &kRenameFolder},
        {0, "DlgRename", &kRenameFile},        {0, "DlgAddFavorites", &kAddFavorite},
        {0, "DlgFavorites", OrganizeFavoritesTemplate()},
    };
    RegisterDialogs(dialogs, static_cast<int>(std::size(dialogs)));
}

}  // namespace fotrix
