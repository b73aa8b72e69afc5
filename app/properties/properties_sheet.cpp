// The properties sheet: each page is a two-column list (label, value) filled
// from the rows of the picture shown; Previous and Next below the list step
// through the pictures the sheet was opened on and refill every page made so far.
#include "app/properties/properties_sheet.h"

#include "app/language_file.h"
#include "app/properties/iptc_editor.h"
#include "app/properties/property_rows.h"
#include "app/resources/texts.h"
#include "metadata/jpeg_segments.h"
#include "platform/screen/metrics.h"

#include <algorithm>
#include <iterator>

namespace fotrix {

namespace {

enum PropertiesControl : int { IdcPropList = 1201, IdcPrevious = 1202, IdcNext = 1203 };
enum PageKind : int { PageInfos = 0, PageExif, PageIptc, kPageKinds };

constexpr const char* kSection = "DlgProp1";
constexpr int kTagColumn = 100;
constexpr int kValueColumn = 150;
constexpr int kButtonRow = 26;

struct Session {
    std::vector<std::string> paths;
    int index = 0;
    HWND lists[kPageKinds] = {};
    PropertyRows rows[kPageKinds];
    std::string titles[kPageKinds];
};
Session* gSession = nullptr;  // the open sheet's, for the script's state

struct PageBinding {
    Session* session;
    PageKind kind;
};

void loadRows(Session& s)
{
    const std::string& path = s.paths[static_cast<size_t>(s.index)];
    s.rows[PageInfos] = InfoRows(path);
    // A picture whose metadata cannot be read still shows its Infos page;
    // the listers report whatever a damaged block still holds.
    MetadataBlock* metadata = nullptr;
    if (metadataReadFile(path, metadata) != 0) metadata = nullptr;
    s.rows[PageExif] = ExifRows(metadata);
    s.rows[PageIptc] = IptcRows(metadata);
    metadataFreeList(metadata);
}

void addColumn(HWND list, int index, const std::string& title, int width)
{
    LVCOLUMN column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = ScaleForScreen(width);
    column.pszText = const_cast<char*>(title.c_str());
    column.iSubItem = index;
    ListView_InsertColumn(list, index, &column);
}

void fillList(HWND list, const PropertyRows& rows)
{
    SendMessage(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    for (size_t i = 0; i < rows.size(); ++i) {
        LVITEM item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(rows[i].label.c_str());
        int at = ListView_InsertItem(list, &item);
        if (at >= 0) ListView_SetItemText(list, at, 1, rows[i].value.c_str());
    }
    SendMessage(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void enableSteps(HWND page, const Session& s)
{
    EnableWindow(GetDlgItem(page, IdcPrevious), s.index > 0);
    EnableWindow(GetDlgItem(page, IdcNext), s.index + 1 < static_cast<int>(s.paths.size()));
}

void refillAll(Session& s)
{
    loadRows(s);
    for (int k = 0; k < kPageKinds; ++k) {
        if (!s.lists[k] || !IsWindow(s.lists[k])) continue;
        fillList(s.lists[k], s.rows[k]);
        enableSteps(GetParent(s.lists[k]), s);
    }
}

// The list fills the page above the row of step buttons.
void layoutPage(HWND page)
{
    RECT client{};
    GetClientRect(page, &client);
    int row = ScaleForScreen(kButtonRow);
    int gap = ScaleForScreen(2);
    int half = (client.right - 3 * gap) / 2;
    MoveWindow(GetDlgItem(page, IdcPropList), 0, 0, client.right, client.bottom - row, TRUE);
    MoveWindow(GetDlgItem(page, IdcPrevious), gap, client.bottom - row + gap, half, row - 2 * gap, TRUE);
    MoveWindow(GetDlgItem(page, IdcNext), 2 * gap + half, client.bottom - row + gap, half, row - 2 * gap, TRUE);
}

std::string sectionText(const char* key, const char* builtIn)
{
    std::string value;
    return languageLookup(kSection, key, value) ? value : std::string(builtIn);
}

PageBinding& bindingOf(HWND page) { return *reinterpret_cast<PageBinding*>(GetWindowLongPtr(page, DWLP_USER)); }

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    auto* binding = reinterpret_cast<PageBinding*>(reinterpret_cast<PROPSHEETPAGE*>(lParam)->lParam);
    SetWindowLongPtr(page, DWLP_USER, reinterpret_cast<LONG_PTR>(binding));
    HWND list = GetDlgItem(page, IdcPropList);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    addColumn(list, 0, Tr(kIdsTag), kTagColumn);
    addColumn(list, 1, Tr(kIdsValue), kValueColumn);
    SetDlgItemText(page, IdcPrevious, sectionText("IDC_PREVIOUS", "< Previous").c_str());
    SetDlgItemText(page, IdcNext, sectionText("IDC_NEXT", "Next >").c_str());
    Session& s = *binding->session;
    s.lists[binding->kind] = list;
    layoutPage(page);
    fillList(list, s.rows[binding->kind]);
    enableSteps(page, s);
    return TRUE;
}

LRESULT onSize(HWND page, UINT, WPARAM, LPARAM)
{
    layoutPage(page);
    return 0;
}

void step(HWND page, int by)
{
    Session& s = *bindingOf(page).session;
    int next = s.index + by;
    if (next < 0 || next >= static_cast<int>(s.paths.size())) return;
    s.index = next;
    refillAll(s);
}

LRESULT onPrevious(HWND page, WORD, WORD code, LPARAM)
{
    if (code == BN_CLICKED) step(page, -1);
    return TRUE;
}

LRESULT onNext(HWND page, WORD, WORD code, LPARAM)
{
    if (code == BN_CLICKED) step(page, 1);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {{IdcPrevious, onPrevious}, {IdcNext, onNext}};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_SIZE, onSize},
    {WM_COMMAND, CommandMapProc<kCommandMap>},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | DWORD{BS_PUSHBUTTON};
const DialogItemTemplate kItems[] = {
    {WC_LISTVIEW, IdcPropList, "", 0, 0, 240, 200,
     WS_VISIBLE | WS_TABSTOP | WS_BORDER | DWORD{LVS_REPORT} | DWORD{LVS_SINGLESEL} | DWORD{LVS_SHOWSELALWAYS}, 0},
    {WC_BUTTON, IdcPrevious, "<", 2, 204, 116, 22, kButton, 0},
    {WC_BUTTON, IdcNext, ">", 122, 204, 116, 22, kButton, 0},
};
const DialogTemplate kDialog = {"Properties", DWORD{WS_POPUP} | DS_SETFONT, 0, 0, 0, 240, 228, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};

std::string listText(HWND list, int index, int column)
{
    char buffer[512] = "";
    LVITEM item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessage(list, LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

int shownPage(const Session& s)
{
    for (int k = 0; k < kPageKinds; ++k)
        if (s.lists[k] && IsWindow(s.lists[k]) && IsWindowVisible(GetParent(s.lists[k]))) return k;
    return -1;
}

}  // namespace

void ShowPropertiesSheet(HWND owner, const std::vector<std::string>& paths, int first)
{
    if (paths.empty()) return;
    Session session;
    session.paths = paths;
    session.index = std::clamp(first, 0, static_cast<int>(paths.size()) - 1);
    loadRows(session);
    session.titles[PageInfos] = Tr(kIdsInfos);
    session.titles[PageExif] = "EXIF";
    session.titles[PageIptc] = "IPTC";
    PageBinding bindings[kPageKinds];
    PROPSHEETPAGE pages[kPageKinds];
    for (int k = 0; k < kPageKinds; ++k) {
        bindings[k] = {&session, static_cast<PageKind>(k)};
        pages[k] = PROPSHEETPAGE{sizeof(PROPSHEETPAGE), PSP_DLGINDIRECT | PSP_USETITLE, nullptr, nullptr, &kDialog,
                                 nullptr, session.titles[k].c_str(), procedure,
                                 reinterpret_cast<LPARAM>(&bindings[k]), nullptr, nullptr};
    }
    std::string caption = Tr(kIdsProperties);
    PROPSHEETHEADER header{sizeof(PROPSHEETHEADER), PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW, owner, nullptr, nullptr,
                           caption.c_str(), kPageKinds, 0, pages, nullptr, nullptr};
    Session* outer = gSession;
    gSession = &session;
    PropertySheet(&header);
    gSession = outer;
}

// The IPTC editor is opened on its own, never from within this sheet; its
// state stands in when this sheet is not open.
std::string PropertiesSheetName() { return gSession ? "properties" : IptcEditorSheetName(); }

std::string PropertiesPageTitle()
{
    if (!gSession) return IptcEditorPageTitle();
    int page = shownPage(*gSession);
    return page >= 0 ? gSession->titles[page] : std::string();
}

void WritePropertiesState(std::string& out)
{
    if (!gSession) {
        WriteIptcEditorState(out);
        return;
    }
    int page = shownPage(*gSession);
    if (page < 0) return;
    HWND list = gSession->lists[page];
    for (int i = 0, n = ListView_GetItemCount(list); i < n; ++i)
        out += "row: " + StateLineText(listText(list, i, 0)) + " | " + StateLineText(listText(list, i, 1)) + "\n";
}

}  // namespace fotrix
