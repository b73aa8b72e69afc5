// The output-folder page: the folder the outputs go to (empty: beside each
// source), the name prefix and suffix, keeping the source's modification
// time, and, for the tools that put them here, Apply and Apply to all.
#include "app/tools/output_pages.h"
#include "app/tools/tool_ids.h"

#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgFolder";
constexpr int kFolderCapacity = 260;

const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdcFdText, "Output folder (empty: beside each picture):", 8, 6, 224, 30, kToolShown, 0},
    {WC_EDIT, IdcFdFolder, "", 8, 38, 196, 20, kToolEdit, 0},
    {WC_BUTTON, IdcFdBrowse, "...", 208, 38, 24, 20, kToolButton, 0},
    {WC_STATIC, IdcFdTPrefix, "Prefix:", 8, 71, 80, 16, kToolShown, 0},
    {WC_EDIT, IdcFdPrefix, "", 90, 68, 142, 20, kToolEdit, 0},
    {WC_STATIC, IdcFdTSuffix, "Suffix:", 8, 99, 80, 16, kToolShown, 0},
    {WC_EDIT, IdcFdSuffix, "", 90, 96, 142, 20, kToolEdit, 0},
    {WC_BUTTON, IdcFdKeepTime, "Keep the date of the pictures", 8, 126, 224, 18, kToolCheck, 0},
    {WC_BUTTON, IdcApply, "Apply", 8, 156, 108, 24, kToolButton, 0},
    {WC_BUTTON, IdcApplyAll, "Apply to all", 124, 156, 108, 24, kToolButton, 0},
};
const DialogTemplate kDialog = {"Folder", kToolPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr ToolLabel kLabels[] = {
    {IdcFdText, "IDC_FD_TEXT"},         {IdcFdTPrefix, "IDC_FD_TPREFIX"}, {IdcFdTSuffix, "IDC_FD_TSUFFIX"},
    {IdcFdKeepTime, "IDC_FD_KEEPTIME"}, {IdcApply, "IDC_APPLY"},          {IdcApplyAll, "IDC_APPLYALL"},
};

void showButtons(HWND page, const BatchRun& run)
{
    bool shown = run.tool->folderButtons;
    ShowWindow(GetDlgItem(page, IdcApply), shown ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(page, IdcApplyAll), shown && run.files.size() > 1 ? SW_SHOW : SW_HIDE);
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachToolPage(page, lParam);
    BatchRun& run = PageRun(page);
    run.folderPage = page;
    RelabelToolPage(page, kSection, kLabels);
    SendDlgItemMessage(page, IdcFdFolder, EM_LIMITTEXT, kFolderCapacity - 1, 0);
    SendDlgItemMessage(page, IdcFdPrefix, EM_LIMITTEXT, kFolderTextLimit, 0);
    SendDlgItemMessage(page, IdcFdSuffix, EM_LIMITTEXT, kFolderTextLimit, 0);
    SetDlgItemText(page, IdcFdFolder, run.folder.folder.c_str());
    SetDlgItemText(page, IdcFdPrefix, run.folder.prefix.c_str());
    SetDlgItemText(page, IdcFdSuffix, run.folder.suffix.c_str());
    CheckDlgButton(page, IdcFdKeepTime, run.folder.keepTime ? BST_CHECKED : BST_UNCHECKED);
    showButtons(page, run);
    return TRUE;
}

LRESULT onBrowse(HWND page, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    char folder[kFolderCapacity] = "";
    std::string shown = ToolItemText(page, IdcFdFolder);
    if (shown.size() < sizeof folder) shown.copy(folder, shown.size());
    std::string title = ToolSectionText(kSection, "IDC_FD_CHOOSE", "Output folder");
    if (ChooseFolder(GetParent(page), title.c_str(), folder, kFolderCapacity, CHOOSEFOLDER_NEWFOLDER))
        SetDlgItemText(page, IdcFdFolder, folder);
    return TRUE;
}

LRESULT onApply(HWND page, WORD id, WORD code, LPARAM)
{
    if (code == BN_CLICKED) ApplyBatch(page, id == IdcApplyAll);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcFdBrowse, onBrowse},
    {IdcApply, onApply},
    {IdcApplyAll, onApply},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

LRESULT onNotify(HWND page, UINT, WPARAM, LPARAM lParam)
{
    if (reinterpret_cast<NMHDR*>(lParam)->code != PSN_APPLY) return FALSE;
    BatchRun& run = PageRun(page);
    ReadFolderPage(page, run.folder);
    WriteFolderSettings(run.folder);
    SetWindowLongPtr(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
}

LRESULT onDestroy(HWND page, UINT, WPARAM, LPARAM)
{
    BatchRun& run = PageRun(page);
    if (run.folderPage == page) {
        ReadFolderPage(page, run.folder);
        run.folderPage = nullptr;
    }
    return FALSE;
}

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_COMMAND, CommandMapProc<kCommandMap>},
    {WM_NOTIFY, onNotify},
    {WM_DESTROY, onDestroy},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

}  // namespace

void ReadFolderPage(HWND page, FolderSettings& s)
{
    s.folder = ToolItemText(page, IdcFdFolder);
    s.prefix = ToolItemText(page, IdcFdPrefix).substr(0, kFolderTextLimit);
    s.suffix = ToolItemText(page, IdcFdSuffix).substr(0, kFolderTextLimit);
    s.keepTime = IsDlgButtonChecked(page, IdcFdKeepTime) == BST_CHECKED;
}

ToolPage OutputFolderPage() { return {&kDialog, procedure, kIdsFolder}; }

}  // namespace fotrix
