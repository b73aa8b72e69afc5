// Tree view and its parent: fields asked for through TVN_GETDISPINFO, and the
// changes the parent hears of (and may refuse): expansion, selection, deletion.
// The parent may change the tree while it answers (the folder tree deletes and
// inserts children during TVN_ITEMEXPANDING), so after every notification the
// items involved are looked up again before they are touched.
#include "platform/controls/treeview_internal.h"

namespace treeview {

LRESULT sendNotify(HWND hwnd, NMHDR* header, UINT code) { return controls::notifyParent(hwnd, header, code); }

void describeItem(const Item* item, TVITEM* out)
{
    out->mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    out->hItem = const_cast<Item*>(item);
    out->state = item->state;
    out->stateMask = 0xFFFF;
    out->pszText = item->textCallback ? LPSTR_TEXTCALLBACK : const_cast<char*>(item->text.c_str());
    out->cchTextMax = static_cast<int>(item->text.size()) + 1;
    out->iImage = item->image;
    out->iSelectedImage = item->selectedImage;
    out->cChildren = item->children;
    out->lParam = item->param;
}

namespace {

constexpr int kTextBuffer = 1024;

// Asks the parent for the fields in `mask`; keeps them when it answers with TVIF_DI_SETITEM.
TVITEM askDisplayInfo(HWND hwnd, Tree* t, Item* item, UINT mask, char* buffer)
{
    NMTVDISPINFO info{};
    info.item.mask = mask;
    info.item.hItem = item;
    info.item.state = item->state;
    info.item.stateMask = 0xFFFF;
    info.item.lParam = item->param;
    info.item.pszText = buffer;
    info.item.cchTextMax = kTextBuffer;
    info.item.iImage = item->image;
    info.item.iSelectedImage = item->selectedImage;
    info.item.cChildren = 0;
    buffer[0] = 0;
    sendNotify(hwnd, &info.hdr, TVN_GETDISPINFO);
    TVITEM& answer = info.item;
    // A text pointer of the parent's own is read once; one into our buffer is cut at its end.
    if ((mask & TVIF_TEXT) && answer.pszText == buffer) buffer[kTextBuffer - 1] = 0;
    if ((mask & TVIF_TEXT) && (!answer.pszText || answer.pszText == LPSTR_TEXTCALLBACK)) answer.pszText = buffer, buffer[0] = 0;
    if ((answer.mask & TVIF_DI_SETITEM) && alive(t, item)) {
        if (mask & TVIF_TEXT) {
            item->text = answer.pszText;
            item->textCallback = false;
        }
        if ((mask & TVIF_IMAGE) && answer.iImage != I_IMAGECALLBACK) item->image = answer.iImage;
        if ((mask & TVIF_SELECTEDIMAGE) && answer.iSelectedImage != I_IMAGECALLBACK) item->selectedImage = answer.iSelectedImage;
        if ((mask & TVIF_CHILDREN) && answer.cChildren != I_CHILDRENCALLBACK) item->children = answer.cChildren ? 1 : 0;
    }
    return answer;
}

}  // namespace

std::string itemText(HWND hwnd, Tree* t, Item* item)
{
    if (!item->textCallback) return item->text;
    char buffer[kTextBuffer];
    TVITEM answer = askDisplayInfo(hwnd, t, item, TVIF_TEXT, buffer);
    return answer.pszText;
}

int itemImage(HWND hwnd, Tree* t, Item* item, bool selected)
{
    int image = selected ? item->selectedImage : item->image;
    if (image != I_IMAGECALLBACK) return image;
    char buffer[kTextBuffer];
    TVITEM answer = askDisplayInfo(hwnd, t, item, selected ? TVIF_SELECTEDIMAGE : TVIF_IMAGE, buffer);
    return selected ? answer.iSelectedImage : answer.iImage;
}

bool hasChildren(HWND hwnd, Tree* t, Item* item)
{
    if (item->firstChild) return true;
    if (item->children != I_CHILDRENCALLBACK) return item->children != 0;
    char buffer[kTextBuffer];
    TVITEM answer = askDisplayInfo(hwnd, t, item, TVIF_CHILDREN, buffer);
    return answer.cChildren != 0 && answer.cChildren != I_CHILDRENCALLBACK;
}

namespace {

LRESULT notifyTreeView(HWND hwnd, UINT code, UINT action, Item* oldItem, Item* newItem)
{
    NMTREEVIEW nm{};
    nm.action = action;
    if (oldItem) describeItem(oldItem, &nm.itemOld);
    if (newItem) describeItem(newItem, &nm.itemNew);
    return sendNotify(hwnd, &nm.hdr, code);
}

bool collapse(HWND hwnd, Tree* t, Item* item, bool reset)
{
    if (!isExpanded(item) && !reset) return true;
    if (notifyTreeView(hwnd, TVN_ITEMEXPANDING, TVE_COLLAPSE, nullptr, item) || !alive(t, item)) return false;
    // The caret does not stay hidden under a collapsed item: it moves up to it.
    if (t->caret && isAncestor(item, t->caret)) {
        selectItem(hwnd, t, item, TVC_UNKNOWN);
        if (!alive(t, item)) return false;
    }
    item->state &= ~TVIS_EXPANDED;
    markRowsChanged(t);
    if (reset) {
        while (item->firstChild) deleteItem(hwnd, t, item->firstChild);
        if (!alive(t, item)) return false;
        item->state &= ~TVIS_EXPANDEDONCE;
    }
    clampScroll(hwnd, t);
    repaintFrom(hwnd, t, item);
    notifyTreeView(hwnd, TVN_ITEMEXPANDED, TVE_COLLAPSE, nullptr, item);
    return true;
}

bool expand(HWND hwnd, Tree* t, Item* item)
{
    if (isExpanded(item)) return true;
    if (!hasChildren(hwnd, t, item) || !alive(t, item)) return false;
    if (notifyTreeView(hwnd, TVN_ITEMEXPANDING, TVE_EXPAND, nullptr, item) || !alive(t, item)) return false;
    if (!item->firstChild) {
        // The parent found nothing to put under it: no button any more, nothing expanded.
        item->children = 0;
        repaintItem(hwnd, t, item);
        return false;
    }
    item->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    markRowsChanged(t);
    repaintFrom(hwnd, t, item);
    updateScrollBars(hwnd, t);
    notifyTreeView(hwnd, TVN_ITEMEXPANDED, TVE_EXPAND, nullptr, item);
    return true;
}

}  // namespace

bool expandItem(HWND hwnd, Tree* t, Item* item, UINT action)
{
    if (!item || item == &t->root) return false;
    switch (action & 0x3) {
    case TVE_EXPAND: return expand(hwnd, t, item);
    case TVE_COLLAPSE: return collapse(hwnd, t, item, action & TVE_COLLAPSERESET);
    case TVE_TOGGLE: return isExpanded(item) ? collapse(hwnd, t, item, false) : expand(hwnd, t, item);
    default: return false;
    }
}

bool selectItem(HWND hwnd, Tree* t, Item* item, UINT cause)
{
    if (item == t->caret) return true;
    Item* old = t->caret;
    if (notifyTreeView(hwnd, TVN_SELCHANGING, cause, old, item)) return false;
    if (item && !alive(t, item)) return false;
    if (old && !alive(t, old)) old = nullptr;
    if (old) {
        old->state &= ~TVIS_SELECTED;
        repaintItem(hwnd, t, old);
    }
    t->caret = item;
    if (item) {
        item->state |= TVIS_SELECTED;
        ensureVisible(hwnd, t, item);
        if (!alive(t, item)) return false;
        repaintItem(hwnd, t, item);
    }
    notifyTreeView(hwnd, TVN_SELCHANGED, cause, old, alive(t, item) ? item : nullptr);
    return true;
}

namespace {

// Unlinks and frees an item with its subtree, telling the parent of each item.
// Returns whether the caret was among them; it then passes to the next sibling,
// else the previous one, else the parent.
bool removeSubtree(HWND hwnd, Tree* t, Item* item)
{
    bool caretGoes = t->caret == item || isAncestor(item, t->caret);
    Item* successor = item->next ? item->next : item->prev ? item->prev : (item->parent != &t->root ? item->parent : nullptr);
    std::vector<Item*> gone = unlinkSubtree(t, item);
    for (Item* g : gone) {
        if (t->dropHilite == g) t->dropHilite = nullptr;
        if (t->hot == g) t->hot = nullptr;
        if (t->pressed == g) t->pressed = nullptr;
    }
    if (caretGoes) {
        t->caret = successor;
        if (successor) successor->state |= TVIS_SELECTED;
    }
    // The parent hears of each item while its lParam is still valid to it, but the
    // handles no longer work: whatever it does with them cannot reach freed items.
    for (Item* g : gone) {
        NMTREEVIEW nm{};
        describeItem(g, &nm.itemOld);
        sendNotify(hwnd, &nm.hdr, TVN_DELETEITEM);
    }
    for (Item* g : gone) delete g;
    return caretGoes;
}

}  // namespace

void deleteItem(HWND hwnd, Tree* t, Item* item, bool notifySelection)
{
    bool caretGone;
    if (item == &t->root) {
        caretGone = t->caret != nullptr;
        while (t->root.firstChild) removeSubtree(hwnd, t, t->root.firstChild);
        t->caret = nullptr;
        t->topRow = 0;
        t->scrollX = 0;
        t->widest = 0;
        InvalidateRect(hwnd, nullptr, TRUE);
    } else {
        repaintFrom(hwnd, t, item);
        caretGone = removeSubtree(hwnd, t, item);
        if (t->caret && !alive(t, t->caret)) t->caret = nullptr;
        clampScroll(hwnd, t);
    }
    updateScrollBars(hwnd, t);
    if (caretGone && notifySelection) {
        if (t->caret) ensureVisible(hwnd, t, t->caret);
        notifyTreeView(hwnd, TVN_SELCHANGED, TVC_UNKNOWN, nullptr, t->caret);
    }
}

bool ensureVisible(HWND hwnd, Tree* t, Item* item)
{
    std::vector<Item*> chain;
    for (Item* p = item->parent; p && p != &t->root; p = p->parent) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!alive(t, *it)) return false;
        if (!isExpanded(*it)) expandItem(hwnd, t, *it, TVE_EXPAND);
    }
    if (!alive(t, item)) return false;
    int row = rowOf(t, item);
    if (row < 0) return false;
    int shown = std::max(1, fullRowsShown(hwnd, t));
    if (row < t->topRow) scrollToRow(hwnd, t, row);
    else if (row >= t->topRow + shown) scrollToRow(hwnd, t, row - shown + 1);
    return true;
}

}  // namespace treeview
