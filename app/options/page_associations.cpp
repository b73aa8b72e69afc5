// Associations: the picture file types that the program opens, one checked
// row per format (extension and description). The checks are kept in the
// list of AssociationChoices when the sheet closes with OK.
#include "app/options/option_ids.h"
#include "app/options/option_page.h"
#include "app/options/option_pages.h"

#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgOption6";

const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdcAssociationsText, "Open these types of file with Fotrix Pocket:", 8, 8, 224, 30, kShown, 0},
    {WC_LISTVIEW, IdcTypeList, "", 8, 40, 224, 188,
     kStop | DWORD{WS_BORDER} | DWORD{LVS_REPORT} | DWORD{LVS_SINGLESEL} | DWORD{LVS_NOCOLUMNHEADER}, 0},
};
const DialogTemplate kDialog = {"Associations", kPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

constexpr LabelBinding kLabels[] = {{IdcAssociationsText, "IDC_TEXT"}};

HWND typeList(HWND page) { return GetDlgItem(page, IdcTypeList); }

void addColumns(HWND list)
{
    const int widths[2] = {ScaleForScreen(64), ScaleForScreen(150)};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMN column{};
        column.mask = LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = widths[i];
        column.iSubItem = i;
        ListView_InsertColumn(list, i, &column);
    }
}

void addRows(HWND list, const std::vector<FileTypeChoice>& choices)
{
    for (size_t i = 0; i < choices.size(); ++i) {
        int row = static_cast<int>(i);
        std::string extension = choices[i].extension;
        LVITEM item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = extension.data();
        ListView_InsertItem(list, &item);
        ListView_SetItemText(list, row, 1, choices[i].description.c_str());
        ListView_SetCheckState(list, row, choices[i].checked);
    }
}

void apply(HWND page, OptionValues& values)
{
    HWND list = typeList(page);
    for (size_t i = 0; i < values.associations.size(); ++i)
        values.associations[i].checked = ListView_GetCheckState(list, static_cast<int>(i)) != FALSE;
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachPage(page, lParam);
    RelabelPage(page, kSection, kLabels);
    HWND list = typeList(page);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    addColumns(list);
    addRows(list, PageValues(page).associations);
    return TRUE;
}

LRESULT onNotify(HWND page, UINT, WPARAM, LPARAM lParam) { return HandleSheetNotify(page, lParam, apply); }

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_NOTIFY, onNotify},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

}  // namespace

OptionPage AssociationsPage() { return {&kDialog, procedure}; }

}  // namespace fotrix
