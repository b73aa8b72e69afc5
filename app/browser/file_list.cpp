// The file list control (id 1001): creation, filling from a folder scan, the
// item texts, re-sorting and the list's resources. Item n always shows entry n.
#include "app/browser/browser_internal.h"

#include "app/browser/file_scan.h"
#include "app/browser/file_sort.h"
#include "app/browser/file_texts.h"
#include "app/browser/shell_calls.h"
#include "app/browser/thumbnail_worker.h"
#include "app/language.h"
#include "platform/controls/listview.h"
#include "platform/gdi/gdi.h"
#include "platform/resources/resources.h"
#include "platform/window/window.h"

#include <cstring>

namespace fotrix {

ListResources gListResources;
bool gProgramSelects = false;

namespace {

HFONT makeListFont(LONG weight)
{
    LOGFONT font{};
    font.lfHeight = -8 * gApp.dpiY / 72;
    font.lfWeight = weight;
    std::strncpy(font.lfFaceName, "MS Sans Serif", sizeof font.lfFaceName - 1);
    return CreateFontIndirect(&font);
}

struct ColumnSpec {
    UINT number;
    const char* key;
    int format;
};
constexpr ColumnSpec kColumns[] = {
    {4081, "IDS_NAME", LVCFMT_LEFT},  {4082, "IDS_PROPERTIES", LVCFMT_LEFT}, {4083, "IDS_TYPE", LVCFMT_RIGHT},
    {4084, "IDS_SIZE", LVCFMT_RIGHT}, {4085, "IDS_DATE", LVCFMT_RIGHT},
};

int textWidth(HWND list, const char* text)
{
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(list, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32(dc, text, static_cast<int>(std::strlen(text)), &size);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    return size.cx;
}

void insertColumns(HWND list)
{
    const int narrow = textWidth(list, "XXXXXX");
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        std::string title = Tr(kColumns[i].number, kColumns[i].key);
        LVCOLUMN column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = kColumns[i].format;
        column.cx = i == 0 ? 116 : narrow;
        column.pszText = title.data();
        column.iSubItem = i;
        ListView_InsertColumn(list, i, &column);
    }
}

void setText(HWND list, int index, int column, const std::string& text)
{
    ListView_SetItemText(list, index, column, text.c_str());
}

// Columns 1 to 4: what is known of the entry now.
void setDetailTexts(HWND list, int index)
{
    const FileEntry& entry = gApp.files[static_cast<size_t>(index)];
    if (entry.state == EntryThumbnail) {
        setText(list, index, 1, DimensionsText(entry.info));
        setText(list, index, 2, TypeText(entry.info));
    } else {
        setText(list, index, 1, entry.state == EntryAlbum ? Tr(4180, "IDS_ALBUM") : std::string());
        setText(list, index, 2, std::string());
    }
    setText(list, index, 3, SizeText(entry.size));
    setText(list, index, 4, DateText(entry.lastWriteTime));
}

std::string nameText(int index)
{
    return gApp.mode == ModeList ? DisplayName(gApp.files[static_cast<size_t>(index)].path, gApp.showExt != 0)
                                 : std::string();
}

void insertAllItems(HWND list)
{
    ListView_SetItemCount(list, fileCount());
    for (int i = 0; i < fileCount(); ++i) InsertListItem(list, i);
}

void freeAllEntries()
{
    for (FileEntry& entry : gApp.files) FreeEntry(entry);
    gApp.files.clear();
}

// Remembers the selection in the entries before a sort and puts it back after.
void rememberSelection(HWND list)
{
    const int mark = ListView_GetSelectionMark(list);
    for (int i = 0; i < fileCount(); ++i) {
        FileEntry& entry = gApp.files[static_cast<size_t>(i)];
        entry.wasSelected = ListView_GetItemState(list, i, LVIS_SELECTED) != 0;
        entry.wasFocused = i == mark;
    }
}

void restoreSelection(HWND list)
{
    ProgramSelection own;
    for (int i = 0; i < fileCount(); ++i) {
        const FileEntry& entry = gApp.files[static_cast<size_t>(i)];
        if (entry.wasSelected) ListView_SetItemState(list, i, LVIS_SELECTED, LVIS_SELECTED);
        if (entry.wasFocused) {
            ListView_SetSelectionMark(list, i);
            ListView_SetItemState(list, i, LVIS_FOCUSED, LVIS_FOCUSED);
        }
    }
}

}  // namespace

HWND CreateFileList(HWND parent)
{
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LVS_SHOWSELALWAYS |
                        LVS_AUTOARRANGE | LVS_SHAREIMAGELISTS;
    HWND list = CreateWindowEx(0, WC_LISTVIEW, "List View", style, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListControlId)), nullptr, nullptr);
    if (!list) return nullptr;
    gApp.listWindow = list;
    gListResources.boldFont = makeListFont(FW_BOLD);
    gListResources.normalFont = makeListFont(FW_NORMAL);
    insertColumns(list);
    RebuildCellSizes();
    return list;
}

void FreeEntry(FileEntry& entry)
{
    if (entry.thumbnail) DeleteObject(entry.thumbnail);
    entry.thumbnail = nullptr;
    freeFileInfo(entry.info);
}

void InsertListItem(HWND list, int index)
{
    std::string name = nameText(index);
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = name.data();
    item.lParam = index;
    ListView_InsertItem(list, &item);
    setDetailTexts(list, index);
}

void RefreshItem(int index)
{
    HWND list = gApp.listWindow;
    if (!list || index < 0 || index >= fileCount()) return;
    setDetailTexts(list, index);
    ListView_RedrawItems(list, index, index);
}

void SetListItemTexts(bool reportTexts)
{
    HWND list = gApp.listWindow;
    if (!list) return;
    for (int i = 0; i < fileCount(); ++i) {
        setText(list, i, 0, reportTexts ? DisplayName(gApp.files[static_cast<size_t>(i)].path, gApp.showExt != 0)
                                        : std::string());
        setDetailTexts(list, i);
    }
}

void FillFileList(HWND list, const std::string& folder)
{
    StopThumbnailWorker();
    HCURSOR previousCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    SendMessage(list, WM_SETREDRAW, FALSE, 0);
    const int multiSelect = gApp.multiSelect;
    gApp.multiSelect = 0;
    ListView_DeleteAllItems(list);
    freeAllEntries();
    ScanFolder(folder, gApp.recursive != 0, gApp.files);
    SortEntries(gApp.files, gApp.sort);
    insertAllItems(list);
    SendMessage(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    gApp.multiSelect = multiSelect;
    gApp.currentIndex = -1;
    gApp.currentFolder = folder;
    WatchCurrentFolder();
    StartThumbnailWorker();
    RebuildGoToMenu();
    UpdateMenuState();
    SetCursor(previousCursor);
}

void RefillFileList()
{
    if (gApp.listWindow && !gApp.currentFolder.empty()) FillFileList(gApp.listWindow, gApp.currentFolder);
}

void SortList(bool keepSelection)
{
    HWND list = gApp.listWindow;
    StopThumbnailWorker();
    if (!list) {
        SortEntries(gApp.files, gApp.sort);
        return;
    }
    if (keepSelection) rememberSelection(list);
    SortEntries(gApp.files, gApp.sort);
    SendMessage(list, WM_SETREDRAW, FALSE, 0);
    {
        ProgramSelection own;
        ListView_DeleteAllItems(list);
    }
    insertAllItems(list);
    if (keepSelection) restoreSelection(list);
    SendMessage(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    StartThumbnailWorker();
}

void FreeFileList()
{
    StopThumbnailWorker();
    if (gApp.listWindow) ListView_DeleteAllItems(gApp.listWindow);
    freeAllEntries();
}

std::string ListItemShownText(int index)
{
    HWND list = gApp.listWindow;
    if (!list || index < 0 || index >= fileCount()) return {};
    const FileEntry& entry = gApp.files[static_cast<size_t>(index)];
    auto column = [&](int c) {
        char text[MAX_PATH] = "";
        LVITEM item{};
        item.iSubItem = c;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessage(list, LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return std::string(text);
    };
    if (gApp.mode == ModeList)
        return column(0) + " | " + column(1) + " | " + column(2) + " | " + column(3) + " | " + column(4);
    if (gApp.mode == ModeDetails)
        return entry.path + " | " + column(1) + " | " + column(2) + " | " + column(4) + " | " + column(3);
    return gApp.showLabel ? DisplayName(entry.path, gApp.showExt != 0) : std::string();
}

void OnThumbnailReady(int index)
{
    if (TakeThumbnailResult(index)) RefreshItem(index);
}

}  // namespace fotrix
