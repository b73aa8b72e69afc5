// Tree view item store: sibling links under a hidden root, insertion at the
// places TVINSERTSTRUCT names, sorting of children, and the list of visible
// rows, rebuilt only after a change so that painting and hit tests do not walk
// the whole tree.
#include "platform/controls/treeview_internal.h"

#include <algorithm>
#include <cctype>

namespace treeview {

bool alive(const Tree* t, HTREEITEM item) { return item && t->live.count(item) != 0; }

Item* parentItem(Tree* t, HTREEITEM handle)
{
    if (!handle || handle == TVI_ROOT) return &t->root;
    return alive(t, handle) ? handle : nullptr;
}

bool isExpanded(const Item* item) { return item->state & TVIS_EXPANDED; }

bool isAncestor(const Item* ancestor, const Item* item)
{
    for (const Item* p = item ? item->parent : nullptr; p; p = p->parent)
        if (p == ancestor) return true;
    return false;
}

void markRowsChanged(Tree* t) { t->rowsDirty = true; }

namespace {

void linkAfter(Item* parent, Item* prev, Item* item)
{
    item->parent = parent;
    item->prev = prev;
    item->next = prev ? prev->next : parent->firstChild;
    if (item->next) item->next->prev = item;
    else parent->lastChild = item;
    if (prev) prev->next = item;
    else parent->firstChild = item;
}

void unlink(Item* item)
{
    Item* parent = item->parent;
    if (item->prev) item->prev->next = item->next;
    else parent->firstChild = item->next;
    if (item->next) item->next->prev = item->prev;
    else parent->lastChild = item->prev;
    item->prev = item->next = nullptr;
}

// The text to sort by: callback texts are asked of the parent.
std::string sortText(HWND hwnd, Tree* t, Item* item) { return item->textCallback ? itemText(hwnd, t, item) : item->text; }

void applyFields(Item* item, const TVITEM& f)
{
    if (f.mask & TVIF_TEXT) {
        item->textCallback = f.pszText == LPSTR_TEXTCALLBACK;
        item->text = (f.pszText && !item->textCallback) ? f.pszText : "";
    }
    if (f.mask & TVIF_IMAGE) item->image = f.iImage;
    if (f.mask & TVIF_SELECTEDIMAGE) item->selectedImage = f.iSelectedImage;
    if (f.mask & TVIF_CHILDREN) item->children = f.cChildren == I_CHILDRENCALLBACK ? I_CHILDRENCALLBACK : (f.cChildren ? 1 : 0);
    if (f.mask & TVIF_PARAM) item->param = f.lParam;
    // Selection and expansion belong to the control; other state bits are the caller's.
    if (f.mask & TVIF_STATE) {
        UINT own = f.stateMask & ~(TVIS_SELECTED | TVIS_EXPANDED | TVIS_EXPANDEDONCE);
        item->state = (item->state & ~own) | (f.state & own);
    }
}

}  // namespace

Item* insertItem(HWND hwnd, Tree* t, Item* parent, HTREEITEM after, const TVITEM& fields)
{
    Item* prev = nullptr;
    if (after == TVI_FIRST) {
        prev = nullptr;
    } else if (after == TVI_LAST || !after) {
        prev = parent->lastChild;
    } else if (after == TVI_SORT) {
        std::string text = fields.mask & TVIF_TEXT ? (fields.pszText == LPSTR_TEXTCALLBACK || !fields.pszText ? "" : fields.pszText) : "";
        // After the last sibling that does not sort after it, so that equal texts keep their order.
        for (Item* c = parent->lastChild; c; c = c->prev) {
            if (compareText(sortText(hwnd, t, c), text) <= 0) {
                prev = c;
                break;
            }
        }
    } else if (alive(t, after) && after->parent == parent) {
        prev = after;
    } else {
        return nullptr;
    }
    Item* item = new Item();
    applyFields(item, fields);
    item->depth = parent->depth + 1;
    linkAfter(parent, prev, item);
    t->live.insert(item);
    ++t->count;
    // Only children of an expanded item can add a row; the test must not rebuild
    // the rows itself, or inserting many items would take quadratic time.
    if (parent == &t->root || isExpanded(parent)) markRowsChanged(t);
    return item;
}

void setItemFields(Item* item, const TVITEM& fields) { applyFields(item, fields); }

std::vector<Item*> unlinkSubtree(Tree* t, Item* item)
{
    bool shown = item->parent == &t->root || isExpanded(item->parent);
    unlink(item);
    std::vector<Item*> out{item};
    for (size_t i = 0; i < out.size(); ++i)
        for (Item* c = out[i]->firstChild; c; c = c->next) out.push_back(c);
    for (Item* gone : out) t->live.erase(gone);
    t->count -= out.size();
    if (shown) markRowsChanged(t);
    return out;
}

int compareText(const std::string& a, const std::string& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i]));
        int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

namespace {

void relink(Item* parent, const std::vector<Item*>& kids)
{
    parent->firstChild = parent->lastChild = nullptr;
    Item* prev = nullptr;
    for (Item* k : kids) {
        k->prev = k->next = nullptr;
        linkAfter(parent, prev, k);
        prev = k;
    }
}

std::vector<Item*> childrenOf(Item* parent)
{
    std::vector<Item*> kids;
    for (Item* c = parent->firstChild; c; c = c->next) kids.push_back(c);
    return kids;
}

}  // namespace

void sortChildren(HWND hwnd, Tree* t, Item* parent, bool recurse)
{
    std::vector<Item*> kids = childrenOf(parent);
    // Texts are fetched once per item, not once per comparison.
    std::vector<std::pair<std::string, Item*>> keyed;
    keyed.reserve(kids.size());
    for (Item* k : kids) keyed.push_back({sortText(hwnd, t, k), k});
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return compareText(a.first, b.first) < 0; });
    for (size_t i = 0; i < kids.size(); ++i) kids[i] = keyed[i].second;
    relink(parent, kids);
    if (recurse)
        for (Item* k : kids) sortChildren(hwnd, t, k, true);
    markRowsChanged(t);
}

void sortChildrenBy(Tree* t, Item* parent, PFNTVCOMPARE compare, LPARAM data)
{
    std::vector<Item*> kids = childrenOf(parent);
    std::stable_sort(kids.begin(), kids.end(), [&](Item* a, Item* b) { return compare(a->param, b->param, data) < 0; });
    relink(parent, kids);
    markRowsChanged(t);
}

const std::vector<Item*>& visibleRows(Tree* t)
{
    if (!t->rowsDirty) return t->rows;
    t->rows.clear();
    ++t->generation;
    Item* item = t->root.firstChild;
    while (item) {
        item->row = static_cast<int>(t->rows.size());
        item->rowGeneration = t->generation;
        t->rows.push_back(item);
        if (isExpanded(item) && item->firstChild) {
            item = item->firstChild;
            continue;
        }
        while (item && !item->next) {
            item = item->parent;
            if (item == &t->root) item = nullptr;
        }
        if (item) item = item->next;
    }
    t->rowsDirty = false;
    return t->rows;
}

int rowOf(Tree* t, const Item* item)
{
    if (!item || item == &t->root) return -1;
    visibleRows(t);
    return item->rowGeneration == t->generation ? item->row : -1;
}

}  // namespace treeview
