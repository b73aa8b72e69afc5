// The folder tree. Items carry only their name: the path is made by walking
// up to the root, and children are listed on demand, so that a tree of the
// whole file system costs only what has been opened.
#include "app/browser/folder_tree.h"

#include "app/browser/browser_internal.h"
#include "app/browser/file_sort.h"
#include "app/language.h"
#include "platform/controls/controls.h"
#include "platform/controls/imagelist.h"
#include "platform/files/files.h"
#include "platform/window/window.h"

#include <vector>

namespace fotrix {

namespace {

LRESULT treeSend(UINT message, WPARAM wParam, LPARAM lParam)
{
    return gApp.treeWindow ? SendMessage(gApp.treeWindow, message, wParam, lParam) : 0;
}

HTREEITEM relative(HTREEITEM item, WPARAM relation)
{
    return reinterpret_cast<HTREEITEM>(treeSend(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}
HTREEITEM rootItem() { return relative(nullptr, TVGN_ROOT); }

std::string itemText(HTREEITEM item)
{
    char text[MAX_PATH] = "";
    TVITEM tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    treeSend(TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
}

void setChildrenFlag(HTREEITEM item, int children)
{
    TVITEM tv{};
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tv.hItem = item;
    tv.cChildren = children;
    treeSend(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&tv));
}

bool isShownFolder(const WIN32_FIND_DATA& data)
{
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
}

std::vector<std::string> subFolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATA data{};
    HANDLE find = FindFirstFile((folder + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do
        if (isShownFolder(data)) names.push_back(data.cFileName);
    while (FindNextFile(find, &data));
    FindClose(find);
    return names;
}

HTREEITEM insertChild(HTREEITEM parent, const std::string& name)
{
    std::string text = name;
    TVINSERTSTRUCT insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = text.data();
    insert.item.iImage = I_IMAGECALLBACK;
    insert.item.iSelectedImage = I_IMAGECALLBACK;
    insert.item.cChildren = I_CHILDRENCALLBACK;
    return reinterpret_cast<HTREEITEM>(treeSend(TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&insert)));
}

void deleteChildren(HTREEITEM item)
{
    for (HTREEITEM child = relative(item, TVGN_CHILD); child; child = relative(item, TVGN_CHILD))
        treeSend(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));
}

void listChildren(HTREEITEM item)
{
    deleteChildren(item);
    for (const std::string& name : subFolderNames(TreeItemPath(item))) insertChild(item, name);
    treeSend(TVM_SORTCHILDREN, 0, reinterpret_cast<LPARAM>(item));
}

bool expand(HTREEITEM item) { return treeSend(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)) != 0; }
void select(HTREEITEM item) { treeSend(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }
bool treeReady() { return gApp.treeWindow && GetWindowLongPtr(gApp.treeWindow, GWLP_USERDATA) == 1; }

// The child of `item` whose folder begins `path`.
HTREEITEM matchingChild(HTREEITEM item, const std::string& prefix, const std::string& path, std::string* childPath)
{
    for (HTREEITEM child = relative(item, TVGN_CHILD); child; child = relative(child, TVGN_NEXT)) {
        const std::string candidate = prefix + itemText(child) + "/";
        if (candidate.size() <= path.size() && ComparePathsNoCase(candidate, path.substr(0, candidate.size())) == 0) {
            *childPath = candidate;
            return child;
        }
    }
    return nullptr;
}

LRESULT onItemExpanding(NMHDR* header)
{
    const NMTREEVIEW* tree = reinterpret_cast<const NMTREEVIEW*>(header);
    if ((tree->action & TVE_EXPAND) && !(tree->action & TVE_COLLAPSE)) listChildren(tree->itemNew.hItem);
    return 0;
}

LRESULT onGetDispInfo(NMHDR* header)
{
    NMTVDISPINFO* info = reinterpret_cast<NMTVDISPINFO*>(header);
    const std::string path = TreeItemPath(info->item.hItem);
    if (info->item.mask & TVIF_CHILDREN) {
        info->item.cChildren = HasSubFolders(path) ? 1 : 0;
        info->item.mask |= TVIF_DI_SETITEM;
    }
    if (info->item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) {
        SHFILEINFO file{};
        SHGetFileInfo(path.c_str(), 0, &file, sizeof file, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        info->item.iImage = info->item.iSelectedImage = file.iIcon;
    }
    return 0;
}

LRESULT onSelChanged(NMHDR* header)
{
    const NMTREEVIEW* tree = reinterpret_cast<const NMTREEVIEW*>(header);
    if (tree->itemNew.hItem && treeReady() && gApp.listWindow)
        FillFileList(gApp.listWindow, TreeItemPath(tree->itemNew.hItem));
    return 0;
}

struct TreeHandler {
    UINT code;
    LRESULT (*handle)(NMHDR*);
};
constexpr TreeHandler kHandlers[] = {
    {TVN_ITEMEXPANDING, onItemExpanding},
    {TVN_GETDISPINFO, onGetDispInfo},
    {TVN_SELCHANGED, onSelChanged},
};

}  // namespace

HWND CreateFolderTree(HWND parent)
{
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                        TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_TRACKSELECT;
    HWND tree = CreateWindowEx(0, WC_TREEVIEW, "Tree View", style, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTreeControlId)), nullptr, nullptr);
    if (!tree) return nullptr;
    gApp.treeWindow = tree;
    SHFILEINFO file{};
    HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfo(nullptr, 0, &file, sizeof file, SHGFI_SYSICONINDEX | SHGFI_PIDL | SHGFI_SMALLICON));
    SendMessage(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons));
    std::string text = Tr(4095, "IDS_TREEROOT");
    TVINSERTSTRUCT insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = text.data();
    insert.item.cChildren = 1;
    SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&insert));
    SetWindowLongPtr(tree, GWLP_USERDATA, 1);
    return tree;
}

std::string TreeItemPath(HTREEITEM item)
{
    std::vector<std::string> names;
    for (HTREEITEM at = item; at; at = relative(at, TVGN_PARENT))
        if (relative(at, TVGN_PARENT)) names.push_back(itemText(at));
    std::string path = "/";
    for (auto name = names.rbegin(); name != names.rend(); ++name) path += *name + "/";
    return path;
}

bool HasSubFolders(const std::string& folder)
{
    WIN32_FIND_DATA data{};
    HANDLE find = FindFirstFile((folder + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    do found = isShownFolder(data);
    while (!found && FindNextFile(find, &data));
    FindClose(find);
    return found;
}

bool NavigateTo(const std::string& folder)
{
    HTREEITEM item = rootItem();
    if (!item || folder.empty() || folder[0] != '/') return false;
    expand(item);
    if (folder == "/") {
        select(item);
        return true;
    }
    std::string prefix = "/";
    bool reached = false;
    for (;;) {
        std::string childPath;
        HTREEITEM child = matchingChild(item, prefix, folder, &childPath);
        if (!child) break;
        item = child;
        prefix = childPath;
        expand(item);
        if (childPath.size() == folder.size()) {
            select(item);
            reached = true;
            break;
        }
    }
    InvalidateRect(gApp.treeWindow, nullptr, TRUE);
    return reached;
}

HTREEITEM FindTreeItem(const std::string& folder)
{
    HTREEITEM item = rootItem();
    std::string prefix = "/";
    while (item && prefix.size() < folder.size()) {
        std::string childPath;
        item = matchingChild(item, prefix, folder, &childPath);
        prefix = childPath;
    }
    return item && prefix.size() == folder.size() ? item : nullptr;
}

HTREEITEM InsertFolder(HTREEITEM parent, const std::string& name)
{
    if (!parent) return nullptr;
    HTREEITEM child = insertChild(parent, name);
    setChildrenFlag(parent, 1);
    expand(parent);
    return child;
}

void RenameFolder(HTREEITEM item, const std::string& name)
{
    std::string text = name;
    TVITEM tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = text.data();
    treeSend(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&tv));
}

void RemoveFolder(HTREEITEM item)
{
    if (!item) return;
    HTREEITEM parent = relative(item, TVGN_PARENT);
    HTREEITEM next = relative(item, TVGN_NEXT);
    if (!next) next = relative(item, TVGN_PREVIOUS);
    if (!next) next = parent;
    if (next) select(next);
    if (!relative(item, TVGN_CHILD)) treeSend(TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
    treeSend(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    if (parent && !relative(parent, TVGN_CHILD)) setChildrenFlag(parent, 0);
}

LRESULT OnTreeNotify(HWND, NMHDR* header)
{
    if (!header) return 0;
    for (const TreeHandler& handler : kHandlers)
        if (handler.code == header->code) return handler.handle(header);
    return 0;
}

}  // namespace fotrix
