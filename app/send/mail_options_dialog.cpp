#include "app/send/mail_options_dialog.h"

#include "app/language.h"
#include "app/resources/texts.h"

#include <iterator>
#include <string>
#include <utility>

namespace fotrix::mail {

namespace {

constexpr const char* kSection = "DlgEmail";
constexpr int kRecipientsLimit = 259;  // the settings keep 260 characters with the zero

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kStop = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kEdit = kStop | DWORD{WS_BORDER} | DWORD{ES_AUTOHSCROLL};
constexpr DWORD kDropList = kStop | DWORD{CBS_DROPDOWNLIST} | DWORD{WS_VSCROLL};
constexpr DWORD kButton = kStop | DWORD{BS_PUSHBUTTON};
constexpr DWORD kDialogStyle = DWORD{WS_POPUP | WS_BORDER} | DS_SETFONT | DS_MODALFRAME | DS_CENTER;

const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdcEmTTo, "To:", 8, 8, 208, 14, kShown, 0},
    {WC_EDIT, IdcEmTo, "", 8, 22, 208, 20, kEdit, 0},
    {WC_STATIC, IdcEmTSize, "Size:", 8, 53, 70, 14, kShown, 0},
    {WC_COMBOBOX, IdcEmSize, "", 80, 50, 136, 120, kDropList, 0},
    {WC_STATIC, IdcEmTFormat, "Format:", 8, 81, 70, 14, kShown, 0},
    {WC_COMBOBOX, IdcEmFormat, "", 80, 78, 136, 140, kDropList, 0},
    {WC_STATIC, IdcEmTServices, "Account:", 8, 109, 70, 14, kShown, 0},
    {WC_COMBOBOX, IdcEmServices, "", 80, 106, 136, 120, kDropList, 0},
    {WC_BUTTON, IdcSend, "Send", 48, 142, 60, 22, kButton | DWORD{BS_DEFPUSHBUTTON}, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 116, 142, 60, 22, kButton, 0},
};
const DialogTemplate kDialog = {"E-mail", kDialogStyle, 0, 0, 0, 224, 174, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

struct Context {
    MailOptions* options;
    const std::vector<Account>* accounts;
};

Context& contextOf(HWND d) { return *reinterpret_cast<Context*>(GetWindowLongPtr(d, DWLP_USER)); }

void fillCombo(HWND d, int id, const std::vector<std::string>& items, int selected)
{
    HWND combo = GetDlgItem(d, id);
    SendMessage(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessage(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int comboChoice(HWND d, int id)
{
    LRESULT chosen = SendDlgItemMessage(d, id, CB_GETCURSEL, 0, 0);
    return chosen >= 0 ? static_cast<int>(chosen) : 0;
}

int accountIndex(const std::vector<Account>& accounts, const std::string& name)
{
    const Account* found = FindAccount(accounts, name);
    return found ? static_cast<int>(found - accounts.data()) : 0;
}

LRESULT onInitDialog(HWND d, UINT, WPARAM, LPARAM lParam)
{
    SetWindowLongPtr(d, DWLP_USER, lParam);
    const Context& context = contextOf(d);
    BeginDialogSection(kSection);
    static const std::pair<int, const char*> kLabels[] = {
        {IdcEmTTo, "IDC_EM_TTO"},         {IdcEmTSize, "IDC_EM_TSIZE"}, {IdcEmTFormat, "IDC_EM_TFORMAT"},
        {IdcEmTServices, "IDC_EM_TSERVICES"}, {IdcSend, "IDC_SEND"},    {IDCANCEL, "IDCANCEL"}};
    for (const auto& [id, key] : kLabels) SetDlgItemTr(d, id, key);
    SendDlgItemMessage(d, IdcEmTo, EM_LIMITTEXT, kRecipientsLimit, 0);
    SetDlgItemText(d, IdcEmTo, context.options->to.c_str());
    fillCombo(d, IdcEmSize, {Tr(kIdsOriginalSize), "75%", "50%", "25%", "10%"}, context.options->size);
    fillCombo(d, IdcEmFormat,
              {Tr(kIdsOriginalFormat), "PNG", Tr(kIdsJpegHighQuality), Tr(kIdsJpegNormalQuality),
               Tr(kIdsJpegLowQuality), "GIF"},
              context.options->format);
    std::vector<std::string> names;
    for (const Account& account : *context.accounts) names.push_back(account.name);
    fillCombo(d, IdcEmServices, names, accountIndex(*context.accounts, context.options->services));
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
    options.size = comboChoice(d, IdcEmSize);
    options.format = comboChoice(d, IdcEmFormat);
    int account = comboChoice(d, IdcEmServices);
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

LRESULT onCommand(HWND d, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchCommandMap(&kCommandMap, d, message, wParam, lParam);
}

constexpr MessageEntry kMessages[] = {{WM_INITDIALOG, onInitDialog}, {WM_COMMAND, onCommand}};
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
