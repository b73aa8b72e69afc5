// Tree view ("SysTreeView32"): the message table and the TVM_ messages. The
// items, the parent's notifications, layout, painting and input live in the
// other treeview_ files (see treeview_internal.h).
#include "platform/controls/treeview_internal.h"

#include <cstring>

using namespace treeview;

namespace treeview {

Tree* treeOf(HWND hwnd) { return controls::state<Tree>(hwnd); }

}  // namespace treeview

namespace {

Item* liveItem(Tree* t, LPARAM lParam)
{
    HTREEITEM h = reinterpret_cast<HTREEITEM>(lParam);
    return alive(t, h) ? h : nullptr;
}

LRESULT onCreate(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = controls::createState<Tree>(hwnd, message, wParam, lParam);
    Tree* t = treeOf(hwnd);
    t->root.state = TVIS_EXPANDED;
    t->root.depth = -1;
    return r;
}

// The parent hears TVN_DELETEITEM for every item while the window still exists.
LRESULT onDestroy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    t->destroying = true;
    deleteItem(hwnd, t, &t->root, false);
    return DefWindowProc(hwnd, message, wParam, lParam);
}

LRESULT onNcDestroy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    // Items the parent inserted while hearing of the deletions are freed here.
    if (t)
        for (Item* item : t->live) delete item;
    return controls::destroyState<Tree>(hwnd, message, wParam, lParam);
}

LRESULT onSetFont(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    t->font.font = reinterpret_cast<HFONT>(wParam);
    t->fontHeight = 0;
    t->widest = 0;
    clampScroll(hwnd, t);
    updateScrollBars(hwnd, t);
    if (LOWORD(static_cast<uintptr_t>(lParam))) InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}
// The font in use, also before one is set: callers change the size of the
// tree's text by copying this font with another height.
LRESULT onGetFont(HWND hwnd, UINT, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(treeOf(hwnd)->font.get()); }

LRESULT onSize(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Tree* t = treeOf(hwnd);
    clampScroll(hwnd, t);
    // While the bars are being set they change the size themselves.
    if (!t->settingBars) updateScrollBars(hwnd, t);
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

LRESULT onFocus(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    Tree* t = treeOf(hwnd);
    t->focused = message == WM_SETFOCUS;
    if (t->caret) repaintItem(hwnd, t, t->caret);
    NMHDR header{};
    sendNotify(hwnd, &header, t->focused ? NM_SETFOCUS : NM_KILLFOCUS);
    return 0;
}

LRESULT onInsertItem(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    const TVINSERTSTRUCT* ins = reinterpret_cast<const TVINSERTSTRUCT*>(lParam);
    if (!ins || t->destroying) return 0;
    Item* parent = parentItem(t, ins->hParent);
    if (!parent) return 0;
    Item* item = insertItem(hwnd, t, parent, ins->hInsertAfter, ins->item);
    if (!item) return 0;
    // The new row, or the parent's button that may have just appeared.
    repaintFrom(hwnd, t, parent == &t->root ? item : parent);
    updateScrollBars(hwnd, t);
    return reinterpret_cast<LRESULT>(item);
}

LRESULT onDeleteItem(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    HTREEITEM h = reinterpret_cast<HTREEITEM>(lParam);
    if (h == TVI_ROOT) {
        deleteItem(hwnd, t, &t->root);
        return TRUE;
    }
    Item* item = liveItem(t, lParam);
    if (!item) return FALSE;
    deleteItem(hwnd, t, item);
    return TRUE;
}

LRESULT onExpand(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    Item* item = liveItem(t, lParam);
    return item && expandItem(hwnd, t, item, static_cast<UINT>(wParam)) ? TRUE : FALSE;
}

// lParam points at a RECT whose first bytes hold the item on the way in.
LRESULT onGetItemRect(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    RECT* out = reinterpret_cast<RECT*>(lParam);
    if (!out) return FALSE;
    HTREEITEM h;
    std::memcpy(&h, out, sizeof h);
    Item* item = alive(t, h) ? h : nullptr;
    int row = item ? rowOf(t, item) : -1;
    if (row < 0) return FALSE;
    RowParts parts = rowParts(hwnd, t, item, row);
    *out = wParam ? parts.label : parts.row;
    return TRUE;
}

LRESULT onGetCount(HWND hwnd, UINT, WPARAM, LPARAM) { return static_cast<LRESULT>(treeOf(hwnd)->count); }
LRESULT onGetIndent(HWND hwnd, UINT, WPARAM, LPARAM) { return metrics(hwnd, treeOf(hwnd)).indent; }
LRESULT onSetIndent(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Tree* t = treeOf(hwnd);
    t->indent = std::max(minimumIndent(), static_cast<int>(wParam));
    t->widest = 0;
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

LRESULT onGetImageList(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Tree* t = treeOf(hwnd);
    return wParam == TVSIL_NORMAL ? reinterpret_cast<LRESULT>(t->images) : 0;
}
LRESULT onSetImageList(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    // Only the normal list: items have no state pictures.
    if (wParam != TVSIL_NORMAL) return 0;
    HIMAGELIST old = t->images;
    t->images = reinterpret_cast<HIMAGELIST>(lParam);
    t->widest = 0;
    clampScroll(hwnd, t);
    updateScrollBars(hwnd, t);
    InvalidateRect(hwnd, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
}

Item* visibleAt(Tree* t, int row)
{
    const std::vector<Item*>& rows = visibleRows(t);
    return row >= 0 && row < static_cast<int>(rows.size()) ? rows[row] : nullptr;
}

LRESULT onGetNextItem(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    Item* item = liveItem(t, lParam);
    Item* found = nullptr;
    switch (wParam) {
    case TVGN_ROOT: found = t->root.firstChild; break;
    case TVGN_CARET: found = t->caret; break;
    case TVGN_DROPHILITE: found = t->dropHilite; break;
    case TVGN_FIRSTVISIBLE: found = visibleAt(t, t->topRow); break;
    case TVGN_LASTVISIBLE: found = visibleAt(t, static_cast<int>(visibleRows(t).size()) - 1); break;
    case TVGN_CHILD: {
        Item* parent = parentItem(t, reinterpret_cast<HTREEITEM>(lParam));
        found = parent ? parent->firstChild : nullptr;
        break;
    }
    case TVGN_NEXT: found = item ? item->next : nullptr; break;
    case TVGN_PREVIOUS: found = item ? item->prev : nullptr; break;
    case TVGN_PARENT: found = item && item->parent != &t->root ? item->parent : nullptr; break;
    case TVGN_NEXTVISIBLE: found = item && rowOf(t, item) >= 0 ? visibleAt(t, rowOf(t, item) + 1) : nullptr; break;
    case TVGN_PREVIOUSVISIBLE: found = item && rowOf(t, item) >= 0 ? visibleAt(t, rowOf(t, item) - 1) : nullptr; break;
    default: break;
    }
    return reinterpret_cast<LRESULT>(found);
}

LRESULT onSelectItem(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    Item* item = liveItem(t, lParam);
    if (lParam && !item) return FALSE;
    switch (wParam) {
    case TVGN_CARET: return selectItem(hwnd, t, item, TVC_UNKNOWN);
    case TVGN_FIRSTVISIBLE:
        if (!item || !ensureVisible(hwnd, t, item)) return FALSE;
        scrollToRow(hwnd, t, rowOf(t, item));
        return TRUE;
    case TVGN_DROPHILITE:
        if (t->dropHilite) repaintItem(hwnd, t, t->dropHilite);
        t->dropHilite = item;
        if (item) repaintItem(hwnd, t, item);
        return TRUE;
    default: return FALSE;
    }
}

LRESULT onGetItem(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    TVITEM* out = reinterpret_cast<TVITEM*>(lParam);
    if (!out || !alive(t, out->hItem)) return FALSE;
    Item* item = out->hItem;
    if (out->mask & TVIF_STATE) out->state = item->state & out->stateMask;
    if (out->mask & TVIF_PARAM) out->lParam = item->param;
    if (out->mask & TVIF_IMAGE) out->iImage = itemImage(hwnd, t, item, false);
    if (alive(t, item) && (out->mask & TVIF_SELECTEDIMAGE)) out->iSelectedImage = itemImage(hwnd, t, item, true);
    if (alive(t, item) && (out->mask & TVIF_CHILDREN))
        out->cChildren = item->children == I_CHILDRENCALLBACK ? (hasChildren(hwnd, t, item) ? 1 : 0) : (item->firstChild ? 1 : item->children);
    if (alive(t, item) && (out->mask & TVIF_TEXT) && out->pszText && out->cchTextMax > 0) {
        std::string text = itemText(hwnd, t, item);
        size_t n = std::min(text.size(), static_cast<size_t>(out->cchTextMax - 1));
        std::memcpy(out->pszText, text.data(), n);
        out->pszText[n] = 0;
    }
    return alive(t, item) ? TRUE : FALSE;
}

LRESULT onSetItem(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    const TVITEM* in = reinterpret_cast<const TVITEM*>(lParam);
    if (!in || !alive(t, in->hItem)) return FALSE;
    setItemFields(in->hItem, *in);
    repaintItem(hwnd, t, in->hItem);
    return TRUE;
}

LRESULT onGetVisibleCount(HWND hwnd, UINT, WPARAM, LPARAM) { return fullRowsShown(hwnd, treeOf(hwnd)); }

LRESULT onHitTest(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    TVHITTESTINFO* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
    if (!info) return 0;
    info->hItem = hitTest(hwnd, treeOf(hwnd), info->pt, &info->flags);
    return reinterpret_cast<LRESULT>(info->hItem);
}

LRESULT onSortChildren(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    Item* parent = parentItem(t, reinterpret_cast<HTREEITEM>(lParam));
    if (!parent) return FALSE;
    sortChildren(hwnd, t, parent, wParam != 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
}

LRESULT onSortChildrenCb(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    const TVSORTCB* sort = reinterpret_cast<const TVSORTCB*>(lParam);
    if (!sort || !sort->lpfnCompare) return FALSE;
    Item* parent = parentItem(t, sort->hParent);
    if (!parent) return FALSE;
    sortChildrenBy(t, parent, sort->lpfnCompare, sort->lParam);
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
}

LRESULT onEnsureVisible(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Tree* t = treeOf(hwnd);
    Item* item = liveItem(t, lParam);
    return item && ensureVisible(hwnd, t, item) ? TRUE : FALSE;
}

LRESULT onSetItemHeight(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Tree* t = treeOf(hwnd);
    int old = metrics(hwnd, t).itemHeight;
    int h = static_cast<int>(static_cast<intptr_t>(static_cast<int16_t>(LOWORD(wParam))));
    t->itemHeight = h > 0 ? h : 0;
    clampScroll(hwnd, t);
    updateScrollBars(hwnd, t);
    InvalidateRect(hwnd, nullptr, TRUE);
    return old;
}
LRESULT onGetItemHeight(HWND hwnd, UINT, WPARAM, LPARAM) { return metrics(hwnd, treeOf(hwnd)).itemHeight; }

constexpr MessageEntry kRows[] = {
    {WM_NCCREATE, onCreate},
    {WM_DESTROY, onDestroy},
    {WM_NCDESTROY, onNcDestroy},
    {WM_PAINT, onPaint},
    {WM_ERASEBKGND, controls::paintsOwnBackground},
    {WM_SETFONT, onSetFont},
    {WM_GETFONT, onGetFont},
    {WM_SIZE, onSize},
    {WM_SETFOCUS, onFocus},
    {WM_KILLFOCUS, onFocus},
    {WM_LBUTTONDOWN, onLButtonDown},
    {WM_LBUTTONDBLCLK, onLButtonDblClk},
    {WM_MOUSEMOVE, onMouseMove},
    {WM_LBUTTONUP, onLButtonUp},
    {WM_CAPTURECHANGED, onCaptureChanged},
    {WM_VSCROLL, onVScroll},
    {WM_HSCROLL, onHScroll},
    {WM_KEYDOWN, onKeyDown},
    {WM_CHAR, onChar},
    {TVM_INSERTITEM, onInsertItem},
    {TVM_DELETEITEM, onDeleteItem},
    {TVM_EXPAND, onExpand},
    {TVM_GETITEMRECT, onGetItemRect},
    {TVM_GETCOUNT, onGetCount},
    {TVM_GETINDENT, onGetIndent},
    {TVM_SETINDENT, onSetIndent},
    {TVM_GETIMAGELIST, onGetImageList},
    {TVM_SETIMAGELIST, onSetImageList},
    {TVM_GETNEXTITEM, onGetNextItem},
    {TVM_SELECTITEM, onSelectItem},
    {TVM_GETITEM, onGetItem},
    {TVM_SETITEM, onSetItem},
    {TVM_GETVISIBLECOUNT, onGetVisibleCount},
    {TVM_HITTEST, onHitTest},
    {TVM_SORTCHILDREN, onSortChildren},
    {TVM_SORTCHILDRENCB, onSortChildrenCb},
    {TVM_ENSUREVISIBLE, onEnsureVisible},
    {TVM_SETITEMHEIGHT, onSetItemHeight},
    {TVM_GETITEMHEIGHT, onGetItemHeight},
};
constexpr MessageMap kMap = makeMessageMap(kRows, DefaultProcWindow);

}  // namespace

void registerTreeViewClass() { controls::registerControlClass(WC_TREEVIEW, MessageMapProc<kMap>, CS_DBLCLKS); }
