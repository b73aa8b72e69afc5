// Batch rename: the dialog opens with the stored name (or the first file's
// name) and the first file's extension; Apply moves every selected file to
// the new name with its number and updates the browser's entries.
#include "app/tools/rename_tool.h"

#include "app/browser/browser.h"
#include "app/browser/browser_internal.h"
#include "app/browser/file_names.h"
#include "app/settings.h"
#include "app/tools/batch_save.h"
#include "app/tools/convert_tool.h"
#include "app/tools/output_pages.h"
#include "app/tools/tool_ids.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgBatchRename";
constexpr int kNameCapacity = 260;
constexpr int kStartMin = 0, kStartMax = 20;
constexpr int kDigitMin = 1, kDigitMax = 20;
constexpr DWORD kDialogStyle = DWORD{WS_POPUP | WS_BORDER} | DS_SETFONT | DS_MODALFRAME | DS_CENTER;
constexpr DWORD kSpin = kToolShown | DWORD{UDS_SETBUDDYINT} | DWORD{UDS_ALIGNRIGHT} | DWORD{UDS_ARROWKEYS} |
                        DWORD{UDS_NOTHOUSANDS};

const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdcRenTNewName, "New name:", 8, 8, 208, 14, kToolShown, 0},
    {WC_EDIT, IdcRenName, "", 8, 22, 208, 20, kToolEdit, 0},
    {WC_STATIC, IdcRenTExt, "Extension:", 8, 50, 100, 14, kToolShown, 0},
    {WC_EDIT, IdcRenExt, "", 116, 47, 100, 20, kToolEdit, 0},
    {WC_STATIC, IdcRenTStart, "Start at:", 8, 78, 100, 14, kToolShown, 0},
    {WC_EDIT, IdcRenStart, "", 116, 75, 84, 20, kToolEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcRenStartSpin, "", 200, 75, 16, 20, kSpin, 0},
    {WC_STATIC, IdcRenTDigit, "Digits:", 8, 106, 100, 14, kToolShown, 0},
    {WC_EDIT, IdcRenDigit, "", 116, 103, 84, 20, kToolEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcRenDigitSpin, "", 200, 103, 16, 20, kSpin, 0},
    {WC_BUTTON, IdcApply, "Apply", 48, 134, 60, 22, kToolButton | DWORD{BS_DEFPUSHBUTTON}, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 116, 134, 60, 22, kToolButton, 0},
};
const DialogTemplate kDialog = {"Batch rename", kDialogStyle, 0, 0, 0, 224, 166, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};
constexpr ToolLabel kLabels[] = {
    {IdcRenTNewName, "IDC_REN_TNEWNAME"}, {IdcRenTExt, "IDC_REN_TEXT"}, {IdcRenTStart, "IDC_REN_TSTART"},
    {IdcRenTDigit, "IDC_REN_TDIGIT"},     {IdcApply, "IDC_APPLY"},     {IDCANCEL, "IDCANCEL"},
};

struct RenameRun {
    std::vector<SelectedFile> files;
};

std::string stem(const std::string& path)
{
    std::string name = FileNameOf(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string extensionOf(const std::string& path)
{
    std::string name = FileNameOf(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot + 1);
}

void setUpSpin(HWND dialog, int spinId, int editId, int lower, int upper, int value)
{
    HWND spin = GetDlgItem(dialog, spinId);
    SendMessage(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(dialog, editId)), 0);
    SendMessage(spin, UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
    SendMessage(spin, UDM_SETPOS32, 0, std::clamp(value, lower, upper));
}

int typedNumber(HWND dialog, int id, int lower, int upper, int fallback)
{
    BOOL number = FALSE;
    int typed = static_cast<int>(GetDlgItemInt(dialog, id, &number, TRUE));
    return std::clamp(number ? typed : fallback, lower, upper);
}

LRESULT onInitDialog(HWND dialog, UINT, WPARAM, LPARAM lParam)
{
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    auto& run = *reinterpret_cast<RenameRun*>(lParam);
    RelabelToolPage(dialog, kSection, kLabels);
    std::string name;
    ReadText("Rename", "Name", "", name, kNameCapacity);
    if (name.empty()) name = stem(run.files.front().path);
    SetDlgItemText(dialog, IdcRenName, name.c_str());
    SetDlgItemText(dialog, IdcRenExt, extensionOf(run.files.front().path).c_str());
    setUpSpin(dialog, IdcRenStartSpin, IdcRenStart, kStartMin, kStartMax, ReadNumber("Rename", "Start", 1));
    setUpSpin(dialog, IdcRenDigitSpin, IdcRenDigit, kDigitMin, kDigitMax, ReadNumber("Rename", "Digit", 2));
    SendDlgItemMessage(dialog, IdcRenName, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dialog, IdcRenName));
    return FALSE;
}

// The browser's entry follows its file to the new name.
void updateEntry(int index, const std::string& path)
{
    if (index < 0 || index >= fileCount()) return;
    gApp.files[static_cast<size_t>(index)].path = path;
    RefreshItem(index);
}

LRESULT onApply(HWND dialog, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    auto& run = *reinterpret_cast<RenameRun*>(GetWindowLongPtr(dialog, DWLP_USER));
    std::string name = ToolItemText(dialog, IdcRenName);
    std::string extension = ToolItemText(dialog, IdcRenExt);
    // The new names must stay plain names in each file's own folder.
    if (!IsPlainName(BatchRenameName(name, 0, kDigitMax, extension))) {
        MessageBeep(MB_ICONSTOP);
        return TRUE;
    }
    int start = typedNumber(dialog, IdcRenStart, kStartMin, kStartMax, 1);
    int digits = typedNumber(dialog, IdcRenDigit, kDigitMin, kDigitMax, 2);
    std::vector<std::string> paths;
    for (const SelectedFile& f : run.files) paths.push_back(f.path);
    std::vector<RenameOutcome> outcomes = RenameFiles(paths, name, start, digits, extension);
    for (size_t i = 0; i < outcomes.size(); ++i)
        if (outcomes[i].moved) updateEntry(run.files[i].index, outcomes[i].to);
    WriteText("Rename", "Name", name.c_str());
    WriteNumber("Rename", "Start", start);
    WriteNumber("Rename", "Digit", digits);
    EndDialog(dialog, IDOK);
    return TRUE;
}

LRESULT onCancel(HWND dialog, WORD, WORD, LPARAM)
{
    EndDialog(dialog, IDCANCEL);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {{IdcApply, onApply}, {IDOK, onApply}, {IDCANCEL, onCancel}};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

LRESULT onCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // OK (Enter, or the task bar's ok) renames as Apply does.
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

std::string BatchRenameName(const std::string& name, int number, int digits, const std::string& extension)
{
    char formatted[32];
    std::snprintf(formatted, sizeof formatted, "%0*d", std::clamp(digits, kDigitMin, kDigitMax), number);
    return name + formatted + "." + extension;
}

std::vector<RenameOutcome> RenameFiles(const std::vector<std::string>& files, const std::string& name, int start,
                                       int digits, const std::string& extension)
{
    std::vector<RenameOutcome> outcomes;
    for (size_t i = 0; i < files.size(); ++i) {
        std::string to = FolderOf(files[i]) + BatchRenameName(name, start + static_cast<int>(i), digits, extension);
        bool moved = to == files[i] || MoveFile(files[i].c_str(), to.c_str());
        outcomes.push_back({files[i], to, moved});
    }
    return outcomes;
}

// The selected files themselves are renamed (folders and albums left out),
// and the list entries updated are theirs.
void RunBatchRename(HWND mainWindow)
{
    RenameRun run;
    for (const SelectedFile& f : SelectedFiles(false)) {
        DWORD attributes = GetFileAttributes(f.path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) run.files.push_back(f);
    }
    if (run.files.empty()) return;
    DialogBoxIndirectParam(nullptr, &kDialog, mainWindow, procedure, reinterpret_cast<LPARAM>(&run));
}

}  // namespace fotrix
