// The search dialog: folder, name text, size and type lists and the
// sub-folder check; Apply searches, counts the matches in the status line
// and offers to show them in the file browser.
#include "app/browser/browser_internal.h"
#include "app/browser/file_scan.h"
#include "app/browser/thumbnail_worker.h"
#include "app/settings.h"
#include "app/tools/convert_tool.h"
#include "app/tools/output_pages.h"
#include "app/tools/search_tool.h"
#include "app/tools/tool_ids.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgSearch";
constexpr int kFolderCapacity = 260;
constexpr int kNameLimit = 64;
constexpr DWORD kDialogStyle = DWORD{WS_POPUP | WS_BORDER} | DS_SETFONT | DS_MODALFRAME | DS_CENTER;

const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdcSchTFolder, "Look in:", 8, 8, 208, 14, kToolShown, 0},
    {WC_EDIT, IdcSchFolder, "", 8, 22, 180, 20, kToolEdit, 0},
    {WC_BUTTON, IdcSchBrowse, "...", 192, 22, 24, 20, kToolButton, 0},
    {WC_STATIC, IdcSchTFileName, "Name contains:", 8, 50, 208, 14, kToolShown, 0},
    {WC_EDIT, IdcSchFileName, "", 8, 64, 208, 20, kToolEdit, 0},
    {WC_STATIC, IdcSchTFileSize, "Size:", 8, 95, 100, 14, kToolShown, 0},
    {WC_COMBOBOX, IdcSchFileSize, "", 110, 92, 106, 140, kToolDropList, 0},
    {WC_STATIC, IdcSchTFileType, "Type:", 8, 123, 100, 14, kToolShown, 0},
    {WC_COMBOBOX, IdcSchFileType, "", 110, 120, 106, 140, kToolDropList, 0},
    {WC_BUTTON, IdcSchSubFolder, "Search sub-folders", 8, 148, 208, 18, kToolCheck, 0},
    {WC_STATIC, IdcSchStatus, "", 8, 172, 208, 14, kToolShown, 0},
    {WC_BUTTON, IdcApply, "Search", 48, 192, 60, 22, kToolButton | DWORD{BS_DEFPUSHBUTTON}, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 116, 192, 60, 22, kToolButton, 0},
};
const DialogTemplate kDialog = {"Search", kDialogStyle, 0, 0, 0, 224, 222, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};
constexpr ToolLabel kLabels[] = {
    {IdcSchTFolder, "IDC_SCH_TFOLDER"},     {IdcSchTFileName, "IDC_SCH_TFILENAME"},
    {IdcSchTFileSize, "IDC_SCH_TFILESIZE"}, {IdcSchTFileType, "IDC_SCH_TFILETYPE"},
    {IdcSchSubFolder, "IDC_SCH_SUBFOLDER"}, {IdcApply, "IDC_APPLY"},
    {IDCANCEL, "IDCANCEL"},
};

std::vector<std::string> sizeItems() { return {Tr(kIdsIgnored), "< 50K", "> 50K", "< 100K", "> 100K", "< 200K", "> 200K"}; }
std::vector<std::string> typeItems()
{
    return {Tr(kIdsIgnored), Tr(kIdsJpegFiles), Tr(kIdsGifFiles), Tr(kIdsBmpFiles), Tr(kIdsPngFiles), Tr(kIdsTgaFiles)};
}

LRESULT onInitDialog(HWND dialog, UINT, WPARAM, LPARAM)
{
    RelabelToolPage(dialog, kSection, kLabels);
    std::string contains;
    ReadText("Search", "Contain", "", contains, kNameLimit + 1);
    SendDlgItemMessage(dialog, IdcSchFolder, EM_LIMITTEXT, kFolderCapacity - 1, 0);
    SendDlgItemMessage(dialog, IdcSchFileName, EM_LIMITTEXT, kNameLimit, 0);
    SetDlgItemText(dialog, IdcSchFolder, gApp.currentFolder.c_str());
    SetDlgItemText(dialog, IdcSchFileName, contains.c_str());
    FillToolCombo(dialog, IdcSchFileSize, sizeItems(), std::clamp<int>(ReadNumber("Search", "Size", 0), 0, 6));
    FillToolCombo(dialog, IdcSchFileType, typeItems(), std::clamp<int>(ReadNumber("Search", "Type", 0), 0, 5));
    CheckDlgButton(dialog, IdcSchSubFolder, ReadNumber("Search", "SubFolder", 0) ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

SearchCriteria criteriaOf(HWND dialog)
{
    SearchCriteria c;
    c.folder = ToolItemText(dialog, IdcSchFolder);
    c.contains = ToolItemText(dialog, IdcSchFileName).substr(0, kNameLimit);
    c.sizeIndex = ToolComboChoice(dialog, IdcSchFileSize, 0);
    c.typeIndex = ToolComboChoice(dialog, IdcSchFileType, 0);
    c.subFolders = IsDlgButtonChecked(dialog, IdcSchSubFolder) == BST_CHECKED;
    return c;
}

void storeCriteria(const SearchCriteria& c)
{
    WriteText("Search", "Contain", c.contains.c_str());
    WriteNumber("Search", "Size", c.sizeIndex);
    WriteNumber("Search", "Type", c.typeIndex);
    WriteNumber("Search", "SubFolder", c.subFolders ? 1 : 0);
}

// The browser's list shows the files found instead of the folder's.
void showFoundFiles(const std::vector<std::string>& paths)
{
    HWND list = gApp.listWindow;
    if (!list) return;
    StopThumbnailWorker();
    SendMessage(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    for (FileEntry& entry : gApp.files) FreeEntry(entry);
    gApp.files.clear();
    for (const std::string& path : paths) {
        WIN32_FIND_DATA data{};
        HANDLE find = FindFirstFile(path.c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) continue;
        FindClose(find);
        size_t slash = path.rfind('/');
        gApp.files.push_back(MakeFileEntry(path.substr(0, slash + 1), data));
    }
    for (int i = 0; i < fileCount(); ++i) InsertListItem(list, i);
    gApp.currentIndex = -1;
    SendMessage(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    StartThumbnailWorker();
}

void showCount(HWND dialog, int count)
{
    char text[128];
    std::snprintf(text, sizeof text, Tr(kIdsFoundFiles).c_str(), count);
    SetDlgItemText(dialog, IdcSchStatus, text);
    UpdateWindow(GetDlgItem(dialog, IdcSchStatus));
}

LRESULT onApply(HWND dialog, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    SearchCriteria criteria = criteriaOf(dialog);
    HCURSOR previousCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    showCount(dialog, 0);
    std::vector<std::string> found = SearchFiles(criteria, [dialog](int count) { showCount(dialog, count); });
    SetCursor(previousCursor);
    if (found.empty()) return TRUE;
    if (MessageBox(dialog, Tr(kIdsShowFiles).c_str(), "", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return TRUE;
    showFoundFiles(found);
    storeCriteria(criteria);
    EndDialog(dialog, IDOK);
    return TRUE;
}

LRESULT onBrowse(HWND dialog, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    char folder[kFolderCapacity] = "";
    std::string shown = ToolItemText(dialog, IdcSchFolder);
    if (shown.size() < sizeof folder) shown.copy(folder, shown.size());
    if (ChooseFolder(dialog, "", folder, kFolderCapacity, 0)) SetDlgItemText(dialog, IdcSchFolder, folder);
    return TRUE;
}

LRESULT onCancel(HWND dialog, WORD, WORD, LPARAM)
{
    EndDialog(dialog, IDCANCEL);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcApply, onApply}, {IDOK, onApply}, {IdcSchBrowse, onBrowse}, {IDCANCEL, onCancel}};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

LRESULT onCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDOK) return onApply(dialog, IDOK, BN_CLICKED, lParam);
    return DispatchCommandMap(&kCommandMap, dialog, message, wParam, lParam);
}

constexpr MessageEntry kMessages[] = {{WM_INITDIALOG, onInitDialog}, {WM_COMMAND, onCommand}};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, dialog, message, wParam, lParam);
}

}  // namespace

void RunFileSearch(HWND mainWindow) { DialogBoxIndirectParam(nullptr, &kDialog, mainWindow, procedure, 0); }

}  // namespace fotrix
