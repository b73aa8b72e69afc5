// The template list dialog ("DlgIptcList").
#include "app/properties/iptc_template_dialog.h"

#include "app/language.h"
#include "app/language_file.h"
#include "app/properties/iptc_templates.h"
#include "app/resources/texts.h"

#include <iterator>
#include <utility>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgIptcList";

enum TemplateControl : int { IdcNames = 2700, IdcName = 2701, IdcLoad = 2702, IdcApply = 2703, IdcIptcDel = 2704 };

constexpr DWORD kStop = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kButton = kStop | DWORD{BS_PUSHBUTTON};
const DialogItemTemplate kItems[] = {
    {WC_EDIT, IdcName, "", 4, 4, 232, 20, kStop | DWORD{WS_BORDER} | DWORD{ES_AUTOHSCROLL}, 0},
    {WC_LISTBOX, IdcNames, "", 4, 28, 232, 150, kStop | DWORD{WS_BORDER} | DWORD{WS_VSCROLL} | DWORD{LBS_NOTIFY}, 0},
    {WC_BUTTON, IdcLoad, "Load", 4, 184, 56, 22, kButton, 0},
    {WC_BUTTON, IdcApply, "Save", 63, 184, 56, 22, kButton, 0},
    {WC_BUTTON, IdcIptcDel, "Delete", 122, 184, 56, 22, kButton, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 181, 184, 56, 22, kButton, 0},
};
const DialogTemplate kDialog = {"Templates", DWORD{WS_POPUP} | DWORD{WS_CAPTION} | DS_SETFONT, 0, 0, 0, 240, 212,
                                "Tahoma", 8, static_cast<int>(std::size(kItems)), kItems};

struct Context {
    IptcRecord* record;
    bool saving;
};

Context& contextOf(HWND d) { return *reinterpret_cast<Context*>(GetWindowLongPtr(d, DWLP_USER)); }

std::string sectionText(const char* key, const char* builtIn)
{
    std::string value;
    return languageLookup(kSection, key, value) ? value : std::string(builtIn);
}

std::string typedName(HWND d)
{
    char name[512] = "";
    GetDlgItemText(d, IdcName, name, sizeof name);
    return name;
}

void fillNames(HWND d)
{
    HWND list = GetDlgItem(d, IdcNames);
    SendMessage(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : ListIptcTemplates())
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

LRESULT onInitDialog(HWND d, UINT, WPARAM, LPARAM lParam)
{
    SetWindowLongPtr(d, DWLP_USER, lParam);
    BeginDialogSection(kSection);
    static const std::pair<int, const char*> kLabels[] = {
        {IdcLoad, "IDC_LOAD"}, {IdcApply, "IDC_APPLY"}, {IdcIptcDel, "IDC_IPTCDEL"}, {IDCANCEL, "IDCANCEL"}};
    for (const auto& [id, key] : kLabels) SetDlgItemTr(d, id, key);
    fillNames(d);
    if (contextOf(d).saving) SetFocus(GetDlgItem(d, IdcName));
    return !contextOf(d).saving;
}

// The chosen name goes into the name field, for Load and Delete alike.
LRESULT onNames(HWND d, WORD, WORD code, LPARAM)
{
    if (code != LBN_SELCHANGE) return TRUE;
    LRESULT at = SendDlgItemMessage(d, IdcNames, LB_GETCURSEL, 0, 0);
    if (at < 0) return TRUE;
    char name[512] = "";
    if (SendDlgItemMessage(d, IdcNames, LB_GETTEXTLEN, static_cast<WPARAM>(at), 0) < static_cast<LRESULT>(sizeof name))
        SendDlgItemMessage(d, IdcNames, LB_GETTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(name));
    SetDlgItemText(d, IdcName, name);
    return TRUE;
}

LRESULT onLoad(HWND d, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    IptcRecord loaded;
    if (!LoadIptcTemplate(typedName(d), loaded)) return TRUE;
    *contextOf(d).record = loaded;
    EndDialog(d, IDOK);
    return TRUE;
}

LRESULT onSave(HWND d, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    std::string name = typedName(d);
    if (!IsValidTemplateName(name)) {
        MessageBox(d, sectionText("IDC_BADNAME", "This name cannot be used for a template.").c_str(), "IPTC",
                   MB_OK | MB_ICONWARNING);
        return TRUE;
    }
    if (!SaveIptcTemplate(name, *contextOf(d).record)) {
        MessageBox(d, Tr(kIdsProblemSaving).c_str(), "IPTC", MB_OK | MB_ICONSTOP);
        return TRUE;
    }
    EndDialog(d, IDOK);
    return TRUE;
}

LRESULT onDelete(HWND d, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    if (DeleteIptcTemplate(typedName(d))) {
        SetDlgItemText(d, IdcName, "");
        fillNames(d);
    }
    return TRUE;
}

LRESULT onCancel(HWND d, WORD, WORD, LPARAM)
{
    EndDialog(d, IDCANCEL);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcNames, onNames}, {IdcLoad, onLoad}, {IdcApply, onSave}, {IdcIptcDel, onDelete}, {IDCANCEL, onCancel},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

constexpr MessageEntry kMessages[] = {{WM_INITDIALOG, onInitDialog}, {WM_COMMAND, CommandMapProc<kCommandMap>}};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND d, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, d, message, wParam, lParam);
}

}  // namespace

void RunIptcTemplateDialog(HWND owner, IptcRecord& record, bool saving)
{
    Context context{&record, saving};
    DialogBoxIndirectParam(nullptr, &kDialog, owner, procedure, reinterpret_cast<LPARAM>(&context));
}

}  // namespace fotrix
