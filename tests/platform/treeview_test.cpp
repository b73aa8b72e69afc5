// The tree view driven through its messages, the stylus and keys, with a parent
// that records and answers its notifications.
#include "platform/controls/controls.h"
#include "tests/support/platform_support.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace platformtest;

namespace {

struct Note {
    UINT code;
    UINT action = 0;
    HTREEITEM oldItem = nullptr;
    HTREEITEM newItem = nullptr;
    UINT mask = 0;  // the fields asked for, for TVN_GETDISPINFO
    WORD key = 0;
};

std::vector<Note>& notes()
{
    static std::vector<Note> list;
    return list;
}
// How the parent answers a notification; null answers 0 to everything.
std::function<LRESULT(NMHDR*)>& answer()
{
    static std::function<LRESULT(NMHDR*)> f;
    return f;
}

LRESULT parentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_NOTIFY) return DefWindowProc(hwnd, message, wParam, lParam);
    NMHDR* h = reinterpret_cast<NMHDR*>(lParam);
    Note n{h->code};
    if (h->code == TVN_GETDISPINFO) {
        auto* d = reinterpret_cast<NMTVDISPINFO*>(h);
        n.newItem = d->item.hItem;
        n.mask = d->item.mask;
    } else if (h->code == TVN_KEYDOWN) {
        n.key = reinterpret_cast<NMTVKEYDOWN*>(h)->wVKey;
    } else if (static_cast<int>(h->code) <= -400 && static_cast<int>(h->code) > -500) {
        auto* tv = reinterpret_cast<NMTREEVIEW*>(h);
        n.action = tv->action;
        n.oldItem = tv->itemOld.hItem;
        n.newItem = tv->itemNew.hItem;
    }
    notes().push_back(n);
    return answer() ? answer()(h) : 0;
}

class TreeView : public Headless {
protected:
    void SetUp() override
    {
        Headless::SetUp();
        InitCommonControls();
        notes().clear();
        answer() = nullptr;
        WNDCLASS wc{};
        wc.lpfnWndProc = parentProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
        wc.lpszClassName = "TreeParent";
        WNDCLASS existing{};
        if (!GetClassInfo(nullptr, wc.lpszClassName, &existing)) RegisterClass(&wc);
        parent = CreateWindowEx(0, "TreeParent", "parent", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        answer() = nullptr;
        Headless::TearDown();
    }
    HWND makeTree(DWORD style = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, int w = 200, int h = 160)
    {
        tree = CreateWindowEx(0, WC_TREEVIEW, "Tree View", WS_CHILD | WS_VISIBLE | style, 0, 0, w, h, parent,
                              reinterpret_cast<HMENU>(static_cast<intptr_t>(1000)), nullptr, nullptr);
        pump();
        notes().clear();
        return tree;
    }
    HTREEITEM insert(HTREEITEM under, HTREEITEM after, const char* text, int children = 0, LPARAM param = 0)
    {
        TVINSERTSTRUCT ins{};
        ins.hParent = under;
        ins.hInsertAfter = after;
        ins.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM;
        ins.item.pszText = const_cast<char*>(text);
        ins.item.cChildren = children;
        ins.item.lParam = param;
        return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
    }
    HTREEITEM add(HTREEITEM under, const char* text) { return insert(under, TVI_LAST, text); }
    HTREEITEM next(HTREEITEM item, WPARAM how) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM caret() const { return next(nullptr, TVGN_CARET); }
    std::string text(HTREEITEM item) const
    {
        char buf[64] = "?";
        TVITEM it{};
        it.mask = TVIF_TEXT;
        it.hItem = item;
        it.pszText = buf;
        it.cchTextMax = sizeof buf;
        if (!SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it))) return "<none>";
        return buf;
    }
    // Texts of the children of `under` (null: the top level), in order.
    std::string childTexts(HTREEITEM under) const
    {
        std::string out;
        for (HTREEITEM c = next(under, TVGN_CHILD); c; c = next(c, TVGN_NEXT)) out += (out.empty() ? "" : " ") + text(c);
        return out;
    }
    // Texts of the visible rows from the first one shown.
    std::string visibleTexts() const
    {
        std::string out;
        for (HTREEITEM c = next(nullptr, TVGN_FIRSTVISIBLE); c; c = next(c, TVGN_NEXTVISIBLE)) out += (out.empty() ? "" : " ") + text(c);
        return out;
    }
    UINT state(HTREEITEM item) const
    {
        TVITEM it{};
        it.mask = TVIF_STATE;
        it.hItem = item;
        it.stateMask = 0xFFFF;
        SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it));
        return it.state;
    }
    bool itemRect(HTREEITEM item, RECT* r, bool labelOnly = true) const
    {
        std::memcpy(r, &item, sizeof item);
        return SendMessage(tree, TVM_GETITEMRECT, labelOnly, reinterpret_cast<LPARAM>(r)) != 0;
    }
    POINT labelCentre(HTREEITEM item) const
    {
        RECT r{};
        EXPECT_TRUE(itemRect(item, &r));
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void stylus(StylusAction a, POINT p) const
    {
        ClientToScreen(tree, &p);
        PlatformStylusInput(a, p.x, p.y);
        pump();
    }
    void tap(POINT p) const
    {
        stylus(StylusDown, p);
        stylus(StylusUp, p);
    }
    static void key(UINT vk)
    {
        PlatformKeyInput(vk, true);
        pump();
        PlatformKeyInput(vk, false);
        pump();
    }
    COLORREF pixel(int x, int y) const
    {
        POINT p{x, y};
        ClientToScreen(tree, &p);
        return screenPixel(p.x, p.y);
    }
    // How many pixels of a rectangle of the tree have the colour.
    int pixelsOf(const RECT& r, COLORREF colour) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += pixel(x, y) == colour;
        return n;
    }
    std::vector<UINT> codes() const
    {
        std::vector<UINT> out;
        for (const Note& n : notes())
            if (n.code != TVN_GETDISPINFO && n.code != NM_SETFOCUS && n.code != NM_KILLFOCUS) out.push_back(n.code);
        return out;
    }
    int count(UINT code) const
    {
        int n = 0;
        for (const Note& note : notes()) n += note.code == code;
        return n;
    }
    const Note* last(UINT code) const
    {
        for (auto it = notes().rbegin(); it != notes().rend(); ++it)
            if (it->code == code) return &*it;
        return nullptr;
    }
    HWND parent = nullptr;
    HWND tree = nullptr;
};

using Codes = std::vector<UINT>;

TEST_F(TreeView, inserts_first_last_sorted_and_after_a_sibling)
{
    makeTree();
    HTREEITEM b = add(TVI_ROOT, "b");
    HTREEITEM d = add(nullptr, "d");
    add(TVI_ROOT, "x");
    insert(TVI_ROOT, TVI_FIRST, "a");
    insert(TVI_ROOT, b, "c");
    EXPECT_EQ(childTexts(nullptr), "a b c d x");
    // Sorted insertion goes by text without regard to case, after equal texts.
    HTREEITEM folder = add(d, "Zeta");
    insert(d, TVI_SORT, "alpha");
    insert(d, TVI_SORT, "Gamma");
    insert(d, TVI_SORT, "gamma");
    insert(d, TVI_SORT, "ZZ");
    EXPECT_EQ(childTexts(d), "alpha Gamma gamma Zeta ZZ");
    EXPECT_EQ(next(folder, TVGN_PARENT), d);
    EXPECT_EQ(next(d, TVGN_PARENT), nullptr);
    EXPECT_EQ(next(nullptr, TVGN_ROOT), next(nullptr, TVGN_CHILD));
    EXPECT_EQ(text(next(d, TVGN_PREVIOUS)), "c");
    EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 10);
    // A sibling of another parent, or a deleted parent, inserts nothing.
    EXPECT_EQ(insert(d, b, "wrong"), nullptr);
    SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(insert(b, TVI_LAST, "orphan"), nullptr);
    EXPECT_EQ(text(b), "<none>");
    EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 9);
}

TEST_F(TreeView, get_and_set_item_keep_the_fields_asked_for)
{
    makeTree();
    HTREEITEM a = insert(TVI_ROOT, TVI_LAST, "a long item text", 0, 77);
    TVITEM it{};
    it.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    it.hItem = a;
    char small[5];
    it.pszText = small;
    it.cchTextMax = sizeof small;
    ASSERT_TRUE(SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it)));
    EXPECT_STREQ(small, "a lo");  // cut to the buffer, terminated
    EXPECT_EQ(it.lParam, 77);
    EXPECT_EQ(it.cChildren, 0);
    TVITEM set{};
    set.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE | TVIF_TEXT;
    set.hItem = a;
    set.iImage = 3;
    set.iSelectedImage = 4;
    set.cChildren = 1;
    set.pszText = const_cast<char*>("renamed");
    set.state = TVIS_BOLD | TVIS_EXPANDED;
    set.stateMask = TVIS_BOLD | TVIS_EXPANDED;
    ASSERT_TRUE(SendMessage(tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&set)));
    it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_EQ(it.iImage, 3);
    EXPECT_EQ(it.iSelectedImage, 4);
    EXPECT_EQ(it.cChildren, 1);
    EXPECT_EQ(text(a), "renamed");
    // Expansion is the control's: setting the bit does not expand.
    EXPECT_EQ(state(a), static_cast<UINT>(TVIS_BOLD));
}

TEST_F(TreeView, expansion_notifies_before_and_after_and_can_be_refused)
{
    makeTree();
    HTREEITEM top = insert(TVI_ROOT, TVI_LAST, "top", 1);
    HTREEITEM kid = add(top, "kid");
    HTREEITEM after = add(TVI_ROOT, "after");
    answer() = [](NMHDR* h) -> LRESULT { return h->code == TVN_ITEMEXPANDING; };
    EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(top)));
    EXPECT_EQ(codes(), (Codes{TVN_ITEMEXPANDING}));
    EXPECT_EQ(visibleTexts(), "top after");
    RECT r;
    EXPECT_FALSE(itemRect(kid, &r));
    EXPECT_EQ(state(top) & TVIS_EXPANDED, 0u);

    answer() = nullptr;
    notes().clear();
    EXPECT_TRUE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(top)));
    EXPECT_EQ(codes(), (Codes{TVN_ITEMEXPANDING, TVN_ITEMEXPANDED}));
    EXPECT_EQ(notes().front().action, static_cast<UINT>(TVE_EXPAND));
    EXPECT_EQ(notes().front().newItem, top);
    EXPECT_EQ(visibleTexts(), "top kid after");
    EXPECT_EQ(state(top) & (TVIS_EXPANDED | TVIS_EXPANDEDONCE), static_cast<UINT>(TVIS_EXPANDED | TVIS_EXPANDEDONCE));
    EXPECT_TRUE(itemRect(kid, &r));
    // Expanding what is expanded changes nothing and says nothing.
    notes().clear();
    EXPECT_TRUE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(top)));
    EXPECT_TRUE(codes().empty());

    // Collapsing above the caret moves the caret up to the collapsed item.
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(kid));
    notes().clear();
    EXPECT_TRUE(SendMessage(tree, TVM_EXPAND, TVE_TOGGLE, reinterpret_cast<LPARAM>(top)));
    EXPECT_EQ(codes(), (Codes{TVN_ITEMEXPANDING, TVN_SELCHANGING, TVN_SELCHANGED, TVN_ITEMEXPANDED}));
    EXPECT_EQ(notes().front().action, static_cast<UINT>(TVE_COLLAPSE));
    EXPECT_EQ(caret(), top);
    EXPECT_EQ(visibleTexts(), "top after");

    // Collapse-reset deletes the children and forgets the item was ever expanded.
    SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(top));
    notes().clear();
    EXPECT_TRUE(SendMessage(tree, TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, reinterpret_cast<LPARAM>(top)));
    EXPECT_EQ(count(TVN_DELETEITEM), 1);
    EXPECT_EQ(next(top, TVGN_CHILD), nullptr);
    EXPECT_EQ(state(top) & (TVIS_EXPANDED | TVIS_EXPANDEDONCE), 0u);
    // An item without children does not expand.
    EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(after)));
}

TEST_F(TreeView, lazy_children_are_asked_for_and_inserted_on_expansion)
{
    makeTree();
    int asks = 0;
    HTREEITEM folder = nullptr;
    HTREEITEM empty = nullptr;
    bool keep = true;
    answer() = [&](NMHDR* h) -> LRESULT {
        if (h->code == TVN_GETDISPINFO) {
            auto* d = reinterpret_cast<NMTVDISPINFO*>(h);
            if (d->item.mask & TVIF_CHILDREN) {
                ++asks;
                d->item.cChildren = 1;
                if (keep) d->item.mask |= TVIF_DI_SETITEM;
            }
        } else if (h->code == TVN_ITEMEXPANDING) {
            auto* tv = reinterpret_cast<NMTREEVIEW*>(h);
            // The folder tree's way: throw away what was there and list again.
            HTREEITEM item = tv->itemNew.hItem;
            while (HTREEITEM c = next(item, TVGN_CHILD)) SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(c));
            if (item == folder) {
                insert(item, TVI_LAST, "one", I_CHILDRENCALLBACK);
                insert(item, TVI_LAST, "two", I_CHILDRENCALLBACK);
            }
        }
        return 0;
    };
    folder = insert(TVI_ROOT, TVI_LAST, "folder", I_CHILDRENCALLBACK);
    empty = insert(TVI_ROOT, TVI_LAST, "empty", I_CHILDRENCALLBACK);
    pump();
    EXPECT_EQ(asks, 2);
    // The answers were kept: painting again asks nothing.
    InvalidateRect(tree, nullptr, TRUE);
    pump();
    EXPECT_EQ(asks, 2);
    // A tap on the folder's button expands it; the parent fills it while asked.
    UINT flags = 0;
    RECT r;
    itemRect(folder, &r);
    TVHITTESTINFO hit{{4, (r.top + r.bottom) / 2}, 0, nullptr};
    SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    flags = hit.flags;
    int buttonX = 0;
    for (int x = 0; x < r.left && !buttonX; ++x) {
        hit.pt.x = x;
        SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.flags == TVHT_ONITEMBUTTON) buttonX = x;
    }
    ASSERT_GT(buttonX, 0) << flags;
    tap(POINT{buttonX + 2, (r.top + r.bottom) / 2});
    EXPECT_EQ(visibleTexts(), "folder one two empty");
    EXPECT_EQ(caret(), nullptr);  // the button does not select
    // Expanding a folder that turns out to have nothing: no children, no button.
    EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(empty)));
    TVITEM it{};
    it.mask = TVIF_CHILDREN;
    it.hItem = empty;
    SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_EQ(it.cChildren, 0);
    // Without TVIF_DI_SETITEM every paint asks again.
    keep = false;
    HTREEITEM asking = insert(TVI_ROOT, TVI_LAST, "asking", I_CHILDRENCALLBACK);
    pump();
    int before = asks;
    InvalidateRect(tree, nullptr, TRUE);
    pump();
    EXPECT_GT(asks, before);
    EXPECT_NE(asking, nullptr);
}

TEST_F(TreeView, text_and_image_callbacks_ask_the_parent_and_cache_when_told)
{
    makeTree();
    int textAsks = 0;
    answer() = [&](NMHDR* h) -> LRESULT {
        if (h->code != TVN_GETDISPINFO) return 0;
        auto* d = reinterpret_cast<NMTVDISPINFO*>(h);
        if (d->item.mask & TVIF_TEXT) {
            ++textAsks;
            snprintf(d->item.pszText, d->item.cchTextMax, "item %d", static_cast<int>(d->item.lParam));
            if (d->item.lParam == 2) d->item.mask |= TVIF_DI_SETITEM;
        }
        return 0;
    };
    TVINSERTSTRUCT ins{};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = LPSTR_TEXTCALLBACK;
    ins.item.lParam = 1;
    HTREEITEM asking = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
    ins.item.lParam = 2;
    HTREEITEM cached = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
    pump();
    EXPECT_EQ(textAsks, 2);
    InvalidateRect(tree, nullptr, TRUE);
    pump();
    EXPECT_EQ(textAsks, 3);  // only the item without TVIF_DI_SETITEM asks again
    EXPECT_EQ(text(asking), "item 1");
    EXPECT_EQ(text(cached), "item 2");
    // The label is as wide as the answered text.
    RECT r;
    itemRect(asking, &r);
    EXPECT_GT(r.right - r.left, 20);
}

TEST_F(TreeView, selection_by_stylus_keys_and_messages_reports_its_cause)
{
    makeTree(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS);
    HTREEITEM a = add(TVI_ROOT, "alpha");
    HTREEITEM b = add(TVI_ROOT, "beta");
    HTREEITEM deep = add(add(b, "inner"), "deep");
    pump();
    tap(labelCentre(a));
    EXPECT_EQ(caret(), a);
    EXPECT_EQ(GetFocus(), tree);
    const Note* changed = last(TVN_SELCHANGED);
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(changed->action, static_cast<UINT>(TVC_BYMOUSE));
    EXPECT_EQ(changed->newItem, a);
    EXPECT_EQ(changed->oldItem, nullptr);
    EXPECT_EQ(codes(), (Codes{TVN_SELCHANGING, TVN_SELCHANGED, NM_CLICK}));
    EXPECT_EQ(state(a) & TVIS_SELECTED, static_cast<UINT>(TVIS_SELECTED));

    key(VK_DOWN);
    EXPECT_EQ(caret(), b);
    EXPECT_EQ(last(TVN_SELCHANGED)->action, static_cast<UINT>(TVC_BYKEYBOARD));
    EXPECT_EQ(last(TVN_SELCHANGED)->oldItem, a);
    EXPECT_EQ(state(a) & TVIS_SELECTED, 0u);

    // A refused change keeps the caret where it was.
    answer() = [](NMHDR* h) -> LRESULT { return h->code == TVN_SELCHANGING; };
    notes().clear();
    PlatformAdvanceClock(1000);  // not a double tap
    tap(labelCentre(a));
    key(VK_UP);
    EXPECT_FALSE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a)));
    EXPECT_EQ(caret(), b);
    EXPECT_EQ(count(TVN_SELCHANGED), 0);
    EXPECT_EQ(count(TVN_SELCHANGING), 3);
    answer() = nullptr;

    // Selecting a hidden item expands the way to it.
    notes().clear();
    EXPECT_TRUE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(deep)));
    EXPECT_EQ(caret(), deep);
    EXPECT_EQ(last(TVN_SELCHANGED)->action, static_cast<UINT>(TVC_UNKNOWN));
    EXPECT_EQ(visibleTexts(), "alpha beta inner deep");
    EXPECT_EQ(count(TVN_ITEMEXPANDED), 2);
    // Null clears the selection.
    EXPECT_TRUE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, 0));
    EXPECT_EQ(caret(), nullptr);
}

TEST_F(TreeView, deleting_items_moves_the_caret_and_tells_the_parent_of_each)
{
    makeTree();
    HTREEITEM a = add(TVI_ROOT, "a");
    HTREEITEM b = add(TVI_ROOT, "b");
    HTREEITEM c = add(TVI_ROOT, "c");
    add(add(b, "b1"), "b11");
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b));
    notes().clear();
    // The selected item with its subtree: three deletions, the caret to the next sibling.
    EXPECT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(b)));
    EXPECT_EQ(count(TVN_DELETEITEM), 3);
    EXPECT_EQ(caret(), c);
    EXPECT_EQ(state(c) & TVIS_SELECTED, static_cast<UINT>(TVIS_SELECTED));
    ASSERT_NE(last(TVN_SELCHANGED), nullptr);
    EXPECT_EQ(last(TVN_SELCHANGED)->newItem, c);
    // The last one: to the previous sibling; an only child: to its parent.
    SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(c));
    EXPECT_EQ(caret(), a);
    HTREEITEM only = add(a, "only");
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(only));
    SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(only));
    EXPECT_EQ(caret(), a);
    // Deleted handles are refused, not followed.
    EXPECT_FALSE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(b)));
    EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(only)));
    EXPECT_EQ(next(b, TVGN_NEXT), nullptr);
    // TVI_ROOT clears the tree.
    add(a, "x");
    notes().clear();
    EXPECT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
    EXPECT_EQ(count(TVN_DELETEITEM), 2);
    EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(caret(), nullptr);
    EXPECT_EQ(next(nullptr, TVGN_ROOT), nullptr);
    // Destroying the tree tells the parent of the items left.
    add(TVI_ROOT, "left");
    notes().clear();
    DestroyWindow(tree);
    EXPECT_EQ(count(TVN_DELETEITEM), 1);
}

TEST_F(TreeView, sorting_children_by_text_and_by_callback)
{
    makeTree();
    HTREEITEM top = add(TVI_ROOT, "top");
    for (const char* name : {"delta", "Alpha", "charlie", "Bravo", "alpha"}) insert(top, TVI_LAST, name, 0, name[0]);
    HTREEITEM inner = next(top, TVGN_CHILD);  // delta
    add(inner, "z");
    add(inner, "Y");
    EXPECT_TRUE(SendMessage(tree, TVM_SORTCHILDREN, FALSE, reinterpret_cast<LPARAM>(top)));
    EXPECT_EQ(childTexts(top), "Alpha alpha Bravo charlie delta");
    EXPECT_EQ(childTexts(inner), "z Y");  // not recursive
    SendMessage(tree, TVM_SORTCHILDREN, TRUE, reinterpret_cast<LPARAM>(top));
    EXPECT_EQ(childTexts(inner), "Y z");
    // By lParam (the first letter's code), largest first.
    TVSORTCB cb{top, [](LPARAM x, LPARAM y, LPARAM) { return static_cast<int>(y - x); }, 0};
    EXPECT_TRUE(SendMessage(tree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&cb)));
    EXPECT_EQ(childTexts(top), "delta charlie alpha Bravo Alpha");
    // The visible rows follow the new order.
    SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(top));
    EXPECT_EQ(visibleTexts(), "top delta charlie alpha Bravo Alpha");
}

TEST_F(TreeView, keys_walk_expand_and_collapse)
{
    makeTree();
    HTREEITEM a = add(TVI_ROOT, "a");
    HTREEITEM a1 = add(a, "a1");
    add(a, "a2");
    HTREEITEM b = add(TVI_ROOT, "b");
    for (int i = 0; i < 30; ++i) add(TVI_ROOT, ("n" + std::to_string(i)).c_str());
    SetFocus(tree);
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a));
    notes().clear();
    key(VK_RIGHT);  // expands
    EXPECT_EQ(state(a) & TVIS_EXPANDED, static_cast<UINT>(TVIS_EXPANDED));
    EXPECT_EQ(caret(), a);
    key(VK_RIGHT);  // to the first child
    EXPECT_EQ(caret(), a1);
    key(VK_LEFT);   // to the parent
    EXPECT_EQ(caret(), a);
    key(VK_LEFT);   // collapses
    EXPECT_EQ(state(a) & TVIS_EXPANDED, 0u);
    key(VK_DOWN);
    EXPECT_EQ(caret(), b);
    // TVN_KEYDOWN comes first for every key.
    ASSERT_FALSE(notes().empty());
    EXPECT_EQ(notes().front().code, TVN_KEYDOWN);
    EXPECT_EQ(notes().front().key, VK_RIGHT);
    EXPECT_EQ(count(TVN_KEYDOWN), 5);

    key(VK_END);
    EXPECT_EQ(text(caret()), "n29");
    key(VK_HOME);
    EXPECT_EQ(caret(), a);
    int page = static_cast<int>(SendMessage(tree, TVM_GETVISIBLECOUNT, 0, 0));
    ASSERT_GT(page, 3);
    key(VK_NEXT);
    EXPECT_EQ(text(caret()), "n" + std::to_string(page - 3));  // a page is one row less than is shown
    // The caret row stays in view.
    RECT r;
    ASSERT_TRUE(itemRect(caret(), &r));
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.bottom, 160);
    key(VK_PRIOR);
    EXPECT_EQ(caret(), a);
    EXPECT_EQ(next(nullptr, TVGN_FIRSTVISIBLE), a);
    // Typed '+' and '-' expand and collapse; Return tells the parent.
    PlatformTextInput("+");
    pump();
    EXPECT_EQ(state(a) & TVIS_EXPANDED, static_cast<UINT>(TVIS_EXPANDED));
    PlatformTextInput("-");
    pump();
    EXPECT_EQ(state(a) & TVIS_EXPANDED, 0u);
    notes().clear();
    key(VK_RETURN);
    EXPECT_EQ(count(NM_RETURN), 1);
}

TEST_F(TreeView, stylus_toggles_on_double_tap_and_drags_unless_disabled)
{
    makeTree();
    HTREEITEM a = add(TVI_ROOT, "alpha");
    add(a, "child");
    pump();
    POINT p = labelCentre(a);
    tap(p);
    PlatformAdvanceClock(100);
    tap(p);
    EXPECT_EQ(count(NM_DBLCLK), 1);
    EXPECT_EQ(state(a) & TVIS_EXPANDED, static_cast<UINT>(TVIS_EXPANDED));
    // A parent that takes the double tap keeps the item as it is.
    answer() = [](NMHDR* h) -> LRESULT { return h->code == NM_DBLCLK; };
    PlatformAdvanceClock(1000);
    tap(p);
    PlatformAdvanceClock(100);
    tap(p);
    EXPECT_EQ(count(NM_DBLCLK), 2);
    EXPECT_EQ(state(a) & TVIS_EXPANDED, static_cast<UINT>(TVIS_EXPANDED));
    answer() = nullptr;
    // Dragging an item asks the parent to start a drag; no click follows.
    PlatformAdvanceClock(1000);
    notes().clear();
    stylus(StylusDown, p);
    stylus(StylusMove, POINT{p.x + 30, p.y + 30});
    stylus(StylusUp, POINT{p.x + 30, p.y + 30});
    EXPECT_EQ(count(TVN_BEGINDRAG), 1);
    EXPECT_EQ(last(TVN_BEGINDRAG)->newItem, a);
    EXPECT_EQ(count(NM_CLICK), 0);
    DestroyWindow(tree);
    makeTree(TVS_HASBUTTONS | TVS_DISABLEDRAGDROP);
    HTREEITEM b = add(TVI_ROOT, "beta");
    pump();
    p = labelCentre(b);
    stylus(StylusDown, p);
    stylus(StylusMove, POINT{p.x + 30, p.y + 30});
    stylus(StylusUp, POINT{p.x + 30, p.y + 30});
    EXPECT_EQ(count(TVN_BEGINDRAG), 0);
}

TEST_F(TreeView, paints_selection_lines_buttons_and_the_hot_item)
{
    makeTree(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_TRACKSELECT);
    HTREEITEM a = add(TVI_ROOT, "alpha");
    HTREEITEM a1 = add(a, "one");
    HTREEITEM b = add(TVI_ROOT, "beta");
    SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(a));
    SetFocus(tree);
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b));
    pump();
    RECT rb, ra, r1;
    itemRect(b, &rb);
    itemRect(a, &ra);
    itemRect(a1, &r1);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
    int area = (rb.right - rb.left) * (rb.bottom - rb.top);
    EXPECT_GT(pixelsOf(rb, highlight), area / 2);
    EXPECT_EQ(pixelsOf(ra, highlight), 0);
    // Without the focus, the selection shows in the button face colour (TVS_SHOWSELALWAYS).
    SetFocus(parent);
    pump();
    EXPECT_EQ(pixelsOf(rb, highlight), 0);
    EXPECT_GT(pixelsOf(rb, face), area / 2);
    // Dotted lines: the child's row has a horizontal dotted run left of its label;
    // the expanded item's button shows a minus, the collapsed one would show a plus.
    int mid = (r1.top + r1.bottom) / 2;
    int dots = 0, gaps = 0;
    for (int x = r1.left - 8; x < r1.left - 2; ++x) (pixel(x, mid) == shadow ? dots : gaps)++;
    EXPECT_GE(dots, 2);
    EXPECT_GE(gaps, 2);
    TVHITTESTINFO hit{};
    int amid = (ra.top + ra.bottom) / 2;
    int buttonLeft = -1;
    for (int x = 0; x < ra.left && buttonLeft < 0; ++x) {
        hit.pt = POINT{x, amid};
        SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.flags == TVHT_ONITEMBUTTON) buttonLeft = x;
    }
    ASSERT_GE(buttonLeft, 0);
    int indent = static_cast<int>(SendMessage(tree, TVM_GETINDENT, 0, 0));
    int column = buttonLeft + indent / 2;
    COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_EQ(pixel(column, amid), ink);          // minus
    EXPECT_NE(pixel(column, amid - 2), ink);      // no bar: expanded
    SendMessage(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(a));
    pump();
    EXPECT_EQ(pixel(column, amid - 2), ink);      // plus
    // The hot item under the stylus is drawn in the highlight colour, and only while it is there.
    stylus(StylusDown, POINT{ra.right + 20, amid});
    stylus(StylusMove, labelCentre(a));
    EXPECT_GT(pixelsOf(ra, highlight), 0);
    stylus(StylusUp, POINT{ra.right + 20, amid});
    EXPECT_EQ(pixelsOf(ra, highlight), 0);
}

TEST_F(TreeView, no_lines_without_the_style_and_no_selection_band_without_focus)
{
    makeTree(TVS_HASBUTTONS);
    HTREEITEM a = add(TVI_ROOT, "alpha");
    HTREEITEM a1 = add(a, "one");
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a1));
    pump();
    RECT r1, ra;
    itemRect(a1, &r1);
    itemRect(a, &ra);
    EXPECT_EQ(ra.left, r1.left - SendMessage(tree, TVM_GETINDENT, 0, 0));
    // Without TVS_LINESATROOT the top level has no button column.
    EXPECT_LT(ra.left, 4);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    for (int x = 0; x < r1.left; ++x) EXPECT_NE(pixel(x, (r1.top + r1.bottom) / 2), shadow) << x;
    EXPECT_EQ(pixelsOf(r1, GetSysColor(COLOR_HIGHLIGHT)), 0);
    EXPECT_EQ(pixelsOf(r1, GetSysColor(COLOR_BTNFACE)), 0);
}

TEST_F(TreeView, item_rectangles_hit_tests_indent_font_and_height)
{
    makeTree();
    HTREEITEM a = add(TVI_ROOT, "alpha");
    HTREEITEM a1 = add(a, "one");
    SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(a));
    RECT label, row;
    ASSERT_TRUE(itemRect(a1, &label, true));
    ASSERT_TRUE(itemRect(a1, &row, false));
    EXPECT_EQ(row.left, 0);
    EXPECT_EQ(row.right, 200);
    EXPECT_EQ(row.top, label.top);
    int h = static_cast<int>(SendMessage(tree, TVM_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(row.bottom - row.top, h);
    EXPECT_EQ(row.top, h);
    auto hitAt = [&](int x, int y, HTREEITEM* item) {
        TVHITTESTINFO hit{{x, y}, 0, nullptr};
        *item = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        return hit.flags;
    };
    HTREEITEM got;
    int y = (label.top + label.bottom) / 2;
    EXPECT_EQ(hitAt(label.left + 1, y, &got), static_cast<UINT>(TVHT_ONITEMLABEL));
    EXPECT_EQ(got, a1);
    EXPECT_EQ(hitAt(label.right + 5, y, &got), static_cast<UINT>(TVHT_ONITEMRIGHT));
    EXPECT_EQ(hitAt(1, y, &got), static_cast<UINT>(TVHT_ONITEMINDENT));
    EXPECT_EQ(hitAt(10, 150, &got), static_cast<UINT>(TVHT_NOWHERE));
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(hitAt(10, -3, &got), static_cast<UINT>(TVHT_ABOVE));
    EXPECT_EQ(hitAt(10, 170, &got), static_cast<UINT>(TVHT_BELOW));
    EXPECT_EQ(hitAt(250, 10, &got), static_cast<UINT>(TVHT_TORIGHT));
    // A wider indent moves the child's label by the difference, per level.
    int indent = static_cast<int>(SendMessage(tree, TVM_GETINDENT, 0, 0));
    SendMessage(tree, TVM_SETINDENT, indent + 10, 0);
    RECT wider;
    itemRect(a1, &wider);
    EXPECT_EQ(wider.left, label.left + 20);  // two levels: the root column and one
    SendMessage(tree, TVM_SETINDENT, 1, 0);
    EXPECT_GT(SendMessage(tree, TVM_GETINDENT, 0, 0), 1);  // kept at a minimum
    // A bigger font, made as a copy of the one in use, makes taller rows; a set height wins over it.
    LOGFONT lf{};
    HFONT current = reinterpret_cast<HFONT>(SendMessage(tree, WM_GETFONT, 0, 0));
    ASSERT_EQ(GetObject(current, sizeof lf, &lf), static_cast<int>(sizeof lf));
    lf.lfHeight = -24;
    HFONT big = CreateFontIndirect(&lf);
    SendMessage(tree, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
    EXPECT_EQ(SendMessage(tree, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(big));
    EXPECT_GT(SendMessage(tree, TVM_GETITEMHEIGHT, 0, 0), h + 8);
    LRESULT fontHeight = SendMessage(tree, TVM_GETITEMHEIGHT, 0, 0);
    EXPECT_EQ(SendMessage(tree, TVM_SETITEMHEIGHT, 30, 0), fontHeight);
    EXPECT_EQ(SendMessage(tree, TVM_GETITEMHEIGHT, 0, 0), 30);
    ASSERT_TRUE(itemRect(a1, &row, false));
    EXPECT_EQ(row.top, 30);
    DestroyWindow(tree);
    DeleteObject(big);
}

TEST_F(TreeView, thousands_of_items_scroll_and_paint_only_what_shows)
{
    makeTree();
    int asks = 0;
    answer() = [&](NMHDR* h) -> LRESULT {
        if (h->code == TVN_GETDISPINFO) {
            auto* d = reinterpret_cast<NMTVDISPINFO*>(h);
            ++asks;
            snprintf(d->item.pszText, d->item.cchTextMax, "row %05d", static_cast<int>(d->item.lParam));
        }
        return 0;
    };
    TVINSERTSTRUCT ins{};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = LPSTR_TEXTCALLBACK;
    std::vector<HTREEITEM> items;
    for (int i = 0; i < 20000; ++i) {
        ins.item.lParam = i;
        items.push_back(reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins))));
    }
    pump();
    int shown = static_cast<int>(SendMessage(tree, TVM_GETVISIBLECOUNT, 0, 0));
    EXPECT_LE(asks, shown + 1);
    EXPECT_GT(asks, 0);
    // Scrolling an item into view puts it on the last full row.
    EXPECT_TRUE(SendMessage(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(items[15000])));
    EXPECT_EQ(next(nullptr, TVGN_FIRSTVISIBLE), items[15000 - shown + 1]);
    asks = 0;
    pump();
    EXPECT_LE(asks, shown + 1);
    EXPECT_GT(asks, 0);
    // The first visible item, and the last page that can be shown.
    EXPECT_TRUE(SendMessage(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(items[100])));
    EXPECT_EQ(next(nullptr, TVGN_FIRSTVISIBLE), items[100]);
    SendMessage(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(items[19999]));
    EXPECT_EQ(next(nullptr, TVGN_FIRSTVISIBLE), items[20000 - shown]);
    EXPECT_EQ(next(nullptr, TVGN_LASTVISIBLE), items[19999]);
    RECT r;
    ASSERT_TRUE(itemRect(items[19999], &r, false));
    EXPECT_LE(r.bottom, 160);
    EXPECT_GT(r.bottom, 160 - r.bottom + r.top);
    // Everything goes at once, expanded children included.
    HTREEITEM holder = items[0];
    for (int i = 0; i < 5000; ++i) add(holder, "x");
    SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(holder));
    EXPECT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
    EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 0);
}

}  // namespace

namespace {

// Two 20 x 20 pictures, red then blue.
HIMAGELIST redAndBlue()
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 40;
    info.bmiHeader.biHeight = -20;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP strip = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* p = static_cast<uint32_t*>(bits);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) p[y * 40 + x] = x < 20 ? 0xFF0000u : 0x0000FFu;
    HIMAGELIST list = ImageList_Create(20, 20, ILC_COLOR24, 2, 0);
    ImageList_Add(list, strip, nullptr);
    DeleteObject(strip);
    return list;
}

TEST_F(TreeView, pictures_come_from_the_image_list_and_the_selected_one_shows_when_selected)
{
    makeTree();
    HIMAGELIST list = redAndBlue();
    int plainHeight = static_cast<int>(SendMessage(tree, TVM_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(SendMessage(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list)), 0);
    EXPECT_EQ(SendMessage(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0), reinterpret_cast<LRESULT>(list));
    EXPECT_GE(SendMessage(tree, TVM_GETITEMHEIGHT, 0, 0), 21);
    EXPECT_GE(SendMessage(tree, TVM_GETITEMHEIGHT, 0, 0), plainHeight);
    // Rows wide enough for the picture, and an indent beyond it.
    EXPECT_GT(SendMessage(tree, TVM_GETINDENT, 0, 0), 20);
    TVINSERTSTRUCT ins{};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.pszText = const_cast<char*>("fixed");
    ins.item.iImage = 0;
    ins.item.iSelectedImage = 1;
    HTREEITEM fixed = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
    ins.item.pszText = const_cast<char*>("asked");
    ins.item.iImage = I_IMAGECALLBACK;
    ins.item.iSelectedImage = I_IMAGECALLBACK;
    HTREEITEM asked = reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
    answer() = [](NMHDR* h) -> LRESULT {
        if (h->code != TVN_GETDISPINFO) return 0;
        auto* d = reinterpret_cast<NMTVDISPINFO*>(h);
        if (d->item.mask & TVIF_IMAGE) d->item.iImage = 1;
        if (d->item.mask & TVIF_SELECTEDIMAGE) d->item.iSelectedImage = 0;
        return 0;
    };
    pump();
    // The picture sits just left of the label.
    auto pictureColour = [&](HTREEITEM item) {
        RECT r;
        itemRect(item, &r);
        return pixel(r.left - 10, (r.top + r.bottom) / 2);
    };
    EXPECT_EQ(pictureColour(fixed), RGB(255, 0, 0));
    EXPECT_EQ(pictureColour(asked), RGB(0, 0, 255));
    TVHITTESTINFO hit{};
    RECT r;
    itemRect(fixed, &r);
    hit.pt = POINT{r.left - 10, (r.top + r.bottom) / 2};
    SendMessage(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    EXPECT_EQ(hit.flags, static_cast<UINT>(TVHT_ONITEMICON));
    EXPECT_EQ(hit.hItem, fixed);
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(fixed));
    pump();
    EXPECT_EQ(pictureColour(fixed), RGB(0, 0, 255));
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(asked));
    pump();
    EXPECT_EQ(pictureColour(asked), RGB(255, 0, 0));
    EXPECT_EQ(pictureColour(fixed), RGB(255, 0, 0));
    // Items have no state pictures.
    EXPECT_EQ(SendMessage(tree, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(list)), 0);
    EXPECT_EQ(SendMessage(tree, TVM_GETIMAGELIST, TVSIL_STATE, 0), 0);
    DestroyWindow(tree);
    ImageList_Destroy(list);
}

}  // namespace

namespace {

TEST_F(TreeView, scroll_messages_move_by_rows_and_pixels_within_range)
{
    makeTree(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 120, 100);
    std::vector<HTREEITEM> items;
    for (int i = 0; i < 40; ++i) items.push_back(add(TVI_ROOT, ("item " + std::to_string(i)).c_str()));
    HTREEITEM deep = items[0];
    for (int i = 0; i < 12; ++i) deep = add(deep, "a rather long label deep down");
    pump();
    int shown = static_cast<int>(SendMessage(tree, TVM_GETVISIBLECOUNT, 0, 0));
    auto first = [&] { return next(nullptr, TVGN_FIRSTVISIBLE); };
    SendMessage(tree, WM_VSCROLL, MAKEWPARAM(1, 0), 0);  // a line down
    EXPECT_EQ(first(), items[1]);
    SendMessage(tree, WM_VSCROLL, MAKEWPARAM(3, 0), 0);  // a page down
    EXPECT_EQ(first(), items[1 + shown]);
    SendMessage(tree, WM_VSCROLL, MAKEWPARAM(5, 20), 0);  // thumb dragged to row 20
    EXPECT_EQ(first(), items[20]);
    SendMessage(tree, WM_VSCROLL, MAKEWPARAM(7, 0), 0);  // the bottom: the last page full
    EXPECT_EQ(first(), items[40 - shown]);
    SendMessage(tree, WM_VSCROLL, MAKEWPARAM(1, 0), 0);
    EXPECT_EQ(first(), items[40 - shown]);
    SendMessage(tree, WM_VSCROLL, MAKEWPARAM(6, 0), 0);  // the top
    EXPECT_EQ(first(), items[0]);
    SendMessage(tree, WM_VSCROLL, MAKEWPARAM(0, 0), 0);
    EXPECT_EQ(first(), items[0]);
    // Horizontally: nothing to scroll until a wide label has been drawn.
    RECT before, after;
    SendMessage(tree, WM_HSCROLL, MAKEWPARAM(3, 0), 0);
    ASSERT_TRUE(itemRect(items[1], &before));
    EXPECT_LT(before.left, 40);
    SendMessage(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(deep));
    pump();
    SendMessage(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(items[0]));
    ASSERT_TRUE(itemRect(items[1], &before));
    SendMessage(tree, WM_HSCROLL, MAKEWPARAM(1, 0), 0);  // a step right
    ASSERT_TRUE(itemRect(items[1], &after));
    EXPECT_LT(after.left, before.left);
    SendMessage(tree, WM_HSCROLL, MAKEWPARAM(7, 0), 0);  // as far as it goes: the widest label ends at the edge
    RECT deepRect, client;
    SendMessage(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(deep));
    ASSERT_TRUE(itemRect(deep, &deepRect));
    GetClientRect(tree, &client);
    EXPECT_EQ(deepRect.right, client.right);
    SendMessage(tree, WM_HSCROLL, MAKEWPARAM(6, 0), 0);
    ASSERT_TRUE(itemRect(items[1], &after));
    EXPECT_EQ(after.left, before.left);
}

}  // namespace

namespace {

TEST_F(TreeView, scroll_bars_show_when_rows_overflow_and_taps_on_them_scroll)
{
    makeTree(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | WS_BORDER, 120, 100);
    HTREEITEM a = add(TVI_ROOT, "a");
    pump();
    EXPECT_FALSE(GetWindowLong(tree, GWL_STYLE) & WS_VSCROLL);
    std::vector<HTREEITEM> items{a};
    for (int i = 1; i < 30; ++i) items.push_back(add(TVI_ROOT, "item"));
    pump();
    EXPECT_TRUE(GetWindowLong(tree, GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(GetWindowLong(tree, GWL_STYLE) & WS_HSCROLL);
    int shown = static_cast<int>(SendMessage(tree, TVM_GETVISIBLECOUNT, 0, 0));
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(tree, SB_VERT, &info);
    EXPECT_EQ(info.nMax, 29);
    EXPECT_EQ(static_cast<int>(info.nPage), shown);
    // The bar follows the keys.
    SetFocus(tree);
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a));
    key(VK_END);
    pump();
    GetScrollInfo(tree, SB_VERT, &info);
    EXPECT_EQ(info.nPos, 30 - shown);
    // A tap on the bar's top arrow scrolls a row up.
    RECT window;
    GetWindowRect(tree, &window);
    PlatformStylusInput(StylusDown, window.right - 3, window.top + 3);
    pump();
    PlatformStylusInput(StylusUp, window.right - 3, window.top + 3);
    pump();
    EXPECT_EQ(next(nullptr, TVGN_FIRSTVISIBLE), items[30 - shown - 1]);
    // Collapsing to fewer rows than fit hides the bar again.
    SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    add(TVI_ROOT, "alone");
    pump();
    EXPECT_FALSE(GetWindowLong(tree, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(next(nullptr, TVGN_FIRSTVISIBLE), next(nullptr, TVGN_ROOT));
}

}  // namespace
