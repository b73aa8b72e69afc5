// Tree views: a folder tree as the browser shows it (buttons, dotted lines,
// lines at the root, the system's small folder pictures, the open folder on
// the selected item), and a plain one with buttons but no lines that keeps
// showing its selection without the focus.
#include "gallery/gallery.h"
#include "gallery/layout.h"

namespace {

HTREEITEM addItem(HWND tree, HTREEITEM parent, const char* text, int image, int selectedImage)
{
    TVINSERTSTRUCT ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.pszText = const_cast<char*>(text);
    ins.item.iImage = image;
    ins.item.iSelectedImage = selectedImage;
    return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
}

HTREEITEM addFolder(HWND tree, HTREEITEM parent, const char* text)
{
    return addItem(tree, parent, text, SYSICON_FOLDER, SYSICON_FOLDER_OPEN);
}

void expand(HWND tree, HTREEITEM item) { SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)); }

void fillFolders(HWND tree)
{
    SHFILEINFO info{};
    auto icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfo(nullptr, 0, &info, sizeof info, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    SendMessage(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons));
    HTREEITEM root = addItem(tree, TVI_ROOT, "My Device", SYSICON_DEVICE, SYSICON_DEVICE);
    HTREEITEM documents = addFolder(tree, root, "My Documents");
    HTREEITEM pictures = addFolder(tree, documents, "My Pictures");
    addFolder(tree, pictures, "Holidays");
    addFolder(tree, pictures, "Garden");
    addFolder(tree, documents, "Albums");
    addFolder(tree, root, "Program Files");
    HTREEITEM card = addItem(tree, root, "Storage Card", SYSICON_STORAGE_CARD, SYSICON_STORAGE_CARD);
    addFolder(tree, card, "DCIM");
    addFolder(tree, root, "Temp");
    addFolder(tree, root, "Windows");
    expand(tree, root);
    expand(tree, documents);
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(pictures));
}

void fillPlain(HWND tree)
{
    HTREEITEM colours = addItem(tree, TVI_ROOT, "Colours", 0, 0);
    for (const char* name : {"Red", "Green", "Blue"}) addItem(tree, colours, name, 0, 0);
    HTREEITEM shapes = addItem(tree, TVI_ROOT, "Shapes", 0, 0);
    for (const char* name : {"Circle", "Square"}) addItem(tree, shapes, name, 0, 0);
    expand(tree, colours);
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(shapes));
}

}  // namespace

void createTreeViewPage(HWND page)
{
    PageLayout layout(page);
    RECT rest = layout.rest();
    int split = rest.top + (rest.bottom - rest.top) * 3 / 5;
    HWND folders = layout.add(WC_TREEVIEW, "Tree View",
                              TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_TRACKSELECT | kBorder | kTabStop,
                              RECT{rest.left, rest.top, rest.right, split});
    fillFolders(folders);
    HWND plain = layout.add(WC_TREEVIEW, "Plain", TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | kBorder | kTabStop,
                            RECT{rest.left, split + ScaleForScreen(4), rest.right, rest.bottom});
    fillPlain(plain);
}
