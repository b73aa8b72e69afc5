#include "app/send/mail_options_dialog.h"

#include "app/language.h"
#include "app/resources/texts.h"
#include "app/tools/output_pages.h"

#include <iterator>
#include <string>

namespace fotrix::mail {

namespace {

constexpr const char* kSection = "DlgEmail";
constexpr int kRecipientsLimit = 259;  // the settings keep 260 characters with the zero

constexpr DWORD kDialogStyle = DWORD{WS_POPUP | WS_BORDER} | DS_SETFONT | DS_MODALFRAME | DS_CENTER;

const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdcEmTTo, "To:", 8, 8, 208, 14, kToolShown, 0},
    {WC_EDIT, IdcEmTo, "", 8, 22, 208, 20, kToolEdit, 0},
    {WC_STATIC, IdcEmTSize, "Size:", 8, 53, 70, 14, kToolShown, 0},
    {WC_COMBOBOX, IdcEmSize, "", 80, 50, 136, 120, kToolDropList, 0},
    {WC_STATIC, IdcEmTFormat, "Format:", 8, 81, 70, 14, kToolShown, 0},
    {WC_COMBOBOX, IdcEmFormat, "", 80, 78, 136, 140, kToolDropList, 0},
    {WC_STATIC, IdcEmTServices, "Account:", 8, 109, 70, 14, kToolShown, 0},
    {WC_COMBOBOX, IdcEmServices, "", 80, 106, 136, 120, kToolDropList, 0},
    {WC_BUTTON, IdcSend, "Send", 48, 142, 60, 22, kToolButton | DWORD{BS_DEFPUSHBUTTON}, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 116, 142, 60, 22, kToolButton, 0},
};
const DialogTemplate kDialog = {"E-mail", kDialogStyle, 0, 0, 0, 224, 174, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

struct Context {
    MailOptions* options;
    const std::vector<Account>* accounts;
};

Context& contextOf(HWND d) { return *reinterpret_cast<Context*>(GetWindowLongPtr(d, DWLP_USER)); }

int accountIndex(const std::vector<Account>& accounts, const std::string& name)
{
    const Account* found = FindAccount(accounts, name);
    return found ? static_cast<int>(found - accounts.data()) : 0;
}

LRESULT onInitDialog(HWND d, UINT, WPARAM, LPARAM lParam)
{
    SetWindowLongPtr(d, DWLP_USER, lParam);
    const Context& context = contextOf(d);
    static constexpr ToolLabel kLabels[] = {
        {IdcEmTTo, "IDC_EM_TTO"},         {IdcEmTSize, "IDC_EM_TSIZE"}, {IdcEmTFormat, "IDC_EM_TFORMAT"},
        {IdcEmTServices, "IDC_EM_TSERVICES"}, {IdcSend, "IDC_SEND"},    {IDCANCEL, "IDCANCEL"}};
    RelabelToolPage(d, kSection, kLabels);
    SendDlgItemMessage(d, IdcEmTo, EM_LIMITTEXT, kRecipientsLimit, 0);
    SetDlgItemText(d, IdcEmTo, context.options->to.c_str());
    FillToolCombo(d, IdcEmSize, {Tr(kIdsOriginalSize), "75%", "50%", "25%", "10%"}, context.options->size);
    FillToolCombo(d, IdcEmFormat,
              {Tr(kIdsOriginalFormat), "PNG", Tr(kIdsJpegHighQuality), Tr(kIdsJpegNormalQuality),
               Tr(kIdsJpegLowQuality), "GIF"},
              context.options->format);
    std::vector<std::string> names;
    for (const Account& account : *context.accounts) names.push_back(account.name);
    FillToolCombo(d, IdcEmServices, names, accountIndex(*context.accounts, context.options->services));
    SetFocus(GetDlgItem(d, IdcEmTo));
    return FALSE;
}

LRESULT onSend(HWND d, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    Context& context = contextOf(d);
    MailOptions& options = *context.options;
    char to[kRecipientsLimit + 1] = "";
    GetDlgItemText(d, IdcEmTo, to, sizeof to);
    options.to = to;
    options.size = ToolComboChoice(d, IdcEmSize, 0);
    options.format = ToolComboChoice(d, IdcEmFormat, 0);
    int account = ToolComboChoice(d, IdcEmServices, 0);
    if (account < static_cast<int>(context.accounts->size())) options.services = (*context.accounts)[account].name;
    WriteMailOptions(options);
    EndDialog(d, IDOK);
    return TRUE;
}

LRESULT onCancel(HWND d, WORD, WORD, LPARAM)
{
    EndDialog(d, IDCANCEL);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {{IdcSend, onSend}, {IDCANCEL, onCancel}};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

constexpr MessageEntry kMessages[] = {{WM_INITDIALOG, onInitDialog}, {WM_COMMAND, CommandMapProc<kCommandMap>}};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND d, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, d, message, wParam, lParam);
}

}  // namespace

bool RunMailOptionsDialog(HWND owner, MailOptions& options, const std::vector<Account>& accounts)
{
    Context context{&options, &accounts};
    return DialogBoxIndirectParam(nullptr, &kDialog, owner, procedure, reinterpret_cast<LPARAM>(&context)) == IDOK;
}

}  // namespace fotrix::mail
