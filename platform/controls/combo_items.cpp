// The combo box's items: adding (sorted with CBS_SORT), inserting, deleting,
// their texts and data words, finding by text, and the selection.
#include "platform/controls/combo_internal.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

using namespace controls;

namespace combo {

namespace {

int compareText(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()); }

bool startsWith(const std::string& text, const char* prefix)
{
    size_t n = std::strlen(prefix);
    return text.size() >= n && strncasecmp(text.c_str(), prefix, n) == 0;
}

LRESULT insertAt(HWND hwnd, int index, const char* text)
{
    Combo* c = comboOf(hwnd);
    c->items.insert(c->items.begin() + index, Item{text ? text : "", 0});
    if (c->sel >= index) ++c->sel;
    if (c->list) InvalidateRect(c->list, nullptr, FALSE);
    return index;
}

const Item* itemAt(HWND hwnd, WPARAM index)
{
    Combo* c = comboOf(hwnd);
    int i = static_cast<int>(index);
    return i >= 0 && i < static_cast<int>(c->items.size()) ? &c->items[static_cast<size_t>(i)] : nullptr;
}

}  // namespace

// The first item after `start` (-1: from the first), wrapping round, that
// matches: by prefix or whole, without regard to case.
LRESULT find(Combo* c, WPARAM start, const char* text, bool exact)
{
    if (!text) return CB_ERR;
    int count = static_cast<int>(c->items.size());
    int from = static_cast<int>(start);
    if (from < -1 || from >= count) from = -1;
    for (int k = 1; k <= count; ++k) {
        int i = (from + k) % count;
        const std::string& t = c->items[static_cast<size_t>(i)].text;
        if (exact ? strcasecmp(t.c_str(), text) == 0 : startsWith(t, text)) return i;
    }
    return CB_ERR;
}

LRESULT itemAddString(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    Combo* c = comboOf(hwnd);
    const char* text = reinterpret_cast<const char*>(lParam);
    std::string t = text ? text : "";
    int at = static_cast<int>(c->items.size());
    if (GetWindowLong(hwnd, GWL_STYLE) & CBS_SORT) {
        // After the equal ones, so that equal texts keep their order.
        at = static_cast<int>(std::upper_bound(c->items.begin(), c->items.end(), t,
                                               [](const std::string& v, const Item& i) { return compareText(v, i.text) < 0; }) -
                              c->items.begin());
    }
    return insertAt(hwnd, at, text);
}

LRESULT itemInsertString(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Combo* c = comboOf(hwnd);
    int index = static_cast<int>(wParam);
    int count = static_cast<int>(c->items.size());
    if (index == -1) index = count;
    if (index < 0 || index > count) return CB_ERR;
    return insertAt(hwnd, index, reinterpret_cast<const char*>(lParam));
}

LRESULT itemDeleteString(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Combo* c = comboOf(hwnd);
    int index = static_cast<int>(wParam);
    if (index < 0 || index >= static_cast<int>(c->items.size())) return CB_ERR;
    c->items.erase(c->items.begin() + index);
    if (c->sel == index) c->sel = -1;
    else if (c->sel > index) --c->sel;
    if (c->list) InvalidateRect(c->list, nullptr, FALSE);
    InvalidateRect(hwnd, nullptr, FALSE);
    return static_cast<LRESULT>(c->items.size());
}

LRESULT itemResetContent(HWND hwnd, UINT, WPARAM, LPARAM)
{
    Combo* c = comboOf(hwnd);
    c->items.clear();
    select(hwnd, c, -1);
    if (c->list) InvalidateRect(c->list, nullptr, FALSE);
    return CB_OKAY;
}

LRESULT itemGetCount(HWND hwnd, UINT, WPARAM, LPARAM) { return static_cast<LRESULT>(comboOf(hwnd)->items.size()); }
LRESULT itemGetCurSel(HWND hwnd, UINT, WPARAM, LPARAM) { return comboOf(hwnd)->sel; }

// Selects an item without telling the parent; -1 or an index past the end
// clears the selection and answers CB_ERR.
LRESULT itemSetCurSel(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Combo* c = comboOf(hwnd);
    int index = static_cast<int>(wParam);
    select(hwnd, c, index);
    return c->sel == index && index >= 0 ? static_cast<LRESULT>(index) : CB_ERR;
}

// The buffer must hold CB_GETLBTEXTLEN + 1 bytes, as the message carries no size.
LRESULT itemGetLbText(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    const Item* item = itemAt(hwnd, wParam);
    auto* buffer = reinterpret_cast<char*>(lParam);
    if (!item || !buffer) return CB_ERR;
    item->text.copy(buffer, item->text.size());
    buffer[item->text.size()] = 0;
    return static_cast<LRESULT>(item->text.size());
}

LRESULT itemGetLbTextLen(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    const Item* item = itemAt(hwnd, wParam);
    return item ? static_cast<LRESULT>(item->text.size()) : CB_ERR;
}

LRESULT itemGetItemData(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    const Item* item = itemAt(hwnd, wParam);
    return item ? item->data : CB_ERR;
}

LRESULT itemSetItemData(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    auto* item = const_cast<Item*>(itemAt(hwnd, wParam));
    if (!item) return CB_ERR;
    item->data = lParam;
    return TRUE;
}

LRESULT itemFindString(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    return find(comboOf(hwnd), wParam, reinterpret_cast<const char*>(lParam), false);
}
LRESULT itemFindStringExact(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    return find(comboOf(hwnd), wParam, reinterpret_cast<const char*>(lParam), true);
}

LRESULT itemSelectString(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    Combo* c = comboOf(hwnd);
    LRESULT i = find(c, wParam, reinterpret_cast<const char*>(lParam), false);
    if (i != CB_ERR) select(hwnd, c, static_cast<int>(i));
    return i;
}

}  // namespace combo
