// Buttons: what each hardware key does in the viewer. A two-column list of
// the keys and their actions; choosing a row shows its action in the
// chooser below, choosing an action there gives it to the row.
#include "app/options/option_ids.h"
#include "app/options/option_page.h"
#include "app/options/option_pages.h"
#include "app/resources/texts.h"

#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgOption5";

const DialogItemTemplate kItems[] = {
    {WC_LISTVIEW, IdcKeyList, "", 8, 8, 224, 108,
     kStop | DWORD{WS_BORDER} | DWORD{LVS_REPORT} | DWORD{LVS_SINGLESEL} | DWORD{LVS_SHOWSELALWAYS}, 0},
    {WC_STATIC, IdcTAction, "Action:", 8, 127, 60, 14, kShown, 0},
    {WC_COMBOBOX, IdcAction, "", 70, 124, 162, 140, kDropList, 0},
    {WC_BUTTON, IdcRestore, "Restore defaults", 8, 152, 120, 22, kStop | DWORD{BS_PUSHBUTTON}, 0},
    {WC_STATIC, IdcButtonsText, "Choose a button in the list, then the action it starts.", 8, 182, 224, 44,
     kShown, 0},
};
const DialogTemplate kDialog = {"Buttons", kPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr LabelBinding kLabels[] = {
    {IdcTAction, "IDC_TACTION"},
    {IdcRestore, "IDC_RESTORE"},
    {IdcButtonsText, "IDC_TEXT"},
};

// The rows in KeyRow order, and the actions by KeyAction value.
constexpr TextId kKeyNames[kKeyRowCount] = {kIdsKeyUp, kIdsKeyDown, kIdsKeyLeft, kIdsKeyRight, kIdsKeyReturn};
constexpr TextId kActionNames[kKeyActionCount] = {kIdsNone,      kIdsNextImage, kIdsPrevImage, kIdsFullScreen,
                                                  kIdsSlideshow, kIdsZoomIn,    kIdsZoomOut};

HWND keyList(HWND page) { return GetDlgItem(page, IdcKeyList); }

// The row whose action the chooser shows: the one selected last (-1: none).
int currentRow = -1;

// A stored action outside the known ones is kept and shown as its number.
std::string actionText(int action)
{
    if (action >= 0 && action < kKeyActionCount) return Tr(kActionNames[action]);
    return std::to_string(action);
}

void showRow(HWND page, int row)
{
    std::string text = actionText(PageValues(page).keys[row]);
    ListView_SetItemText(keyList(page), row, 1, text.c_str());
}

void addColumns(HWND list)
{
    std::string names[2] = {Tr(kIdsButton), Tr(kIdsAssignment)};
    const int widths[2] = {ScaleForScreen(96), ScaleForScreen(122)};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMN column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = widths[i];
        column.pszText = names[i].data();
        column.iSubItem = i;
        ListView_InsertColumn(list, i, &column);
    }
}

void addRows(HWND page)
{
    HWND list = keyList(page);
    for (int row = 0; row < kKeyRowCount; ++row) {
        std::string name = Tr(kKeyNames[row]);
        LVITEM item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = name.data();
        ListView_InsertItem(list, &item);
        showRow(page, row);
    }
}

// The chooser follows the selected row; with none it is disabled.
void showChooser(HWND page)
{
    int row = currentRow;
    HWND chooser = GetDlgItem(page, IdcAction);
    int action = row >= 0 ? PageValues(page).keys[row] : -1;
    bool known = action >= 0 && action < kKeyActionCount;
    SendMessage(chooser, CB_SETCURSEL, known ? static_cast<WPARAM>(action) : static_cast<WPARAM>(-1), 0);
    EnableWindow(chooser, row >= 0);
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachPage(page, lParam);
    RelabelPage(page, kSection, kLabels);
    HWND list = keyList(page);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    addColumns(list);
    addRows(page);
    std::vector<std::string> actions;
    for (const TextId& name : kActionNames) actions.push_back(Tr(name));
    FillCombo(page, IdcAction, actions, -1);
    currentRow = -1;
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    showChooser(page);
    return TRUE;
}

LRESULT onActionChosen(HWND page, WORD, WORD code, LPARAM)
{
    int row = currentRow;
    if (code != CBN_SELCHANGE || row < 0) return TRUE;
    PageValues(page).keys[row] = ComboChoice(page, IdcAction, PageValues(page).keys[row]);
    showRow(page, row);
    return TRUE;
}

LRESULT onRestore(HWND page, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    for (int row = 0; row < kKeyRowCount; ++row) {
        PageValues(page).keys[row] = kDefaultKeyActions[row];
        showRow(page, row);
    }
    showChooser(page);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcAction, onActionChosen},
    {IdcRestore, onRestore},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

// The keys are edited in place; nothing is left to read at OK.
void apply(HWND, OptionValues&) {}

LRESULT onNotify(HWND page, UINT, WPARAM, LPARAM lParam)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->idFrom == static_cast<UINT_PTR>(IdcKeyList) && header->code == LVN_ITEMCHANGED) {
        auto* change = reinterpret_cast<NMLISTVIEW*>(lParam);
        bool selected = (change->uNewState & LVIS_SELECTED) != 0;
        if (selected) currentRow = change->iItem;
        else if (change->iItem == currentRow && (change->uOldState & LVIS_SELECTED)) currentRow = -1;
        showChooser(page);
        return TRUE;
    }
    return HandleSheetNotify(page, lParam, apply);
}

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_COMMAND, CommandMapProc<kCommandMap>},
    {WM_NOTIFY, onNotify},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

}  // namespace

OptionPage ButtonsPage() { return {&kDialog, procedure}; }

}  // namespace fotrix
