// The JPEG quality question: four radio buttons for the qualities 25, 50, 75
// and 100 (75 chosen at first), OK and Cancel.
#include "app/language.h"
#include "app/viewer/adjust_dialog.h"
#include "platform/controls/controls.h"
#include "platform/window/message_map.h"

#include <iterator>

namespace fotrix {

namespace {

constexpr DWORD kRadio = DWORD{WS_VISIBLE | WS_TABSTOP} | BS_AUTORADIOBUTTON;
constexpr DWORD kButton = DWORD{WS_VISIBLE | WS_TABSTOP};
constexpr int kQualities[] = {25, 50, 75, 100};
constexpr int kInitialAnswer = 2;

const DialogItemTemplate kQualityItems[] = {
    {WC_STATIC, -1, "JPEG quality:", 8, 8, 200, 16, DWORD{WS_VISIBLE} | SS_LEFT, 0},
    {WC_BUTTON, IdcQualityFirst + 0, "Low (25)", 16, 28, 192, 20, kRadio | DWORD{WS_GROUP}, 0},
    {WC_BUTTON, IdcQualityFirst + 1, "Medium (50)", 16, 50, 192, 20, kRadio, 0},
    {WC_BUTTON, IdcQualityFirst + 2, "High (75)", 16, 72, 192, 20, kRadio, 0},
    {WC_BUTTON, IdcQualityFirst + 3, "Best (100)", 16, 94, 192, 20, kRadio, 0},
    {WC_BUTTON, IDOK, "OK", 40, 122, 68, 22, kButton | DWORD{WS_GROUP} | BS_DEFPUSHBUTTON, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 116, 122, 68, 22, kButton | BS_PUSHBUTTON, 0},
};
const DialogTemplate kQualityDialog = {
    "JPEG quality", DWORD{WS_POPUP | WS_BORDER | WS_CAPTION} | DS_SETFONT | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 224, 152,
    "Tahoma", 8, static_cast<int>(std::size(kQualityItems)), kQualityItems,
};

constexpr const char* kLabelKeys[] = {"IDC_LOW", "IDC_MEDIUM", "IDC_HIGH", "IDC_BEST"};

LRESULT onInitDialog(HWND dialog, UINT, WPARAM, LPARAM)
{
    BeginDialogSection("DlgJpegQuality");
    for (int i = 0; i < 4; ++i) SetDlgItemTr(dialog, IdcQualityFirst + i, kLabelKeys[i]);
    SetDlgItemTr(dialog, IDOK, "IDOK");
    SetDlgItemTr(dialog, IDCANCEL, "IDCANCEL");
    CheckDlgButton(dialog, IdcQualityFirst + kInitialAnswer, BST_CHECKED);
    return TRUE;
}

LRESULT onOk(HWND dialog, WORD, WORD, LPARAM)
{
    int answer = kInitialAnswer;
    for (int i = 0; i < 4; ++i)
        if (IsDlgButtonChecked(dialog, IdcQualityFirst + i) == BST_CHECKED) answer = i;
    EndDialog(dialog, 100 + answer);
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

}  // namespace

int AskJpegQuality(HWND owner)
{
    const INT_PTR result = DialogBoxIndirectParam(nullptr, &kQualityDialog, owner, MessageMapProc<kMessageMap>, 0);
    const INT_PTR answer = result - 100;
    return answer >= 0 && answer < 4 ? kQualities[answer] : 0;
}

}  // namespace fotrix
