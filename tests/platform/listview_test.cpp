// The list view driven through its messages, the stylus and keys: items and
// states with the parent's consent, layout and hit testing per view mode,
// scrolling, owner and custom drawing, check boxes, callbacks and pixels.
#include "platform/controls/controls.h"
#include "tests/support/platform_support.h"

#include <functional>

using namespace platformtest;

namespace {

struct Notice {
    UINT code;
    int item;
    UINT oldState;
    UINT newState;
};

// What the parent window hears and how it answers.
struct ParentHooks {
    std::vector<Notice> notices;
    std::function<LRESULT(NMHDR*)> answer;     // WM_NOTIFY answers (0 when unset)
    std::function<void(MEASUREITEMSTRUCT*)> measure;
    std::vector<DRAWITEMSTRUCT> drawn;
    std::function<void(DRAWITEMSTRUCT*)> draw;
};
ParentHooks* hooks = nullptr;

LRESULT parentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hooks && message == WM_NOTIFY) {
        auto* h = reinterpret_cast<NMHDR*>(lParam);
        Notice n{h->code, -1, 0, 0};
        if (h->code == LVN_ITEMCHANGING || h->code == LVN_ITEMCHANGED || h->code == LVN_DELETEITEM ||
            h->code == LVN_INSERTITEM || h->code == NM_CLICK || h->code == NM_DBLCLK || h->code == NM_RETURN) {
            auto* nm = reinterpret_cast<NMLISTVIEW*>(lParam);
            n = Notice{h->code, nm->iItem, nm->uOldState, nm->uNewState};
        }
        if (h->code == LVN_KEYDOWN) n.item = reinterpret_cast<NMLVKEYDOWN*>(lParam)->wVKey;
        if (h->code == NM_CUSTOMDRAW) {
            auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
            n.item = cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT ? static_cast<int>(cd->nmcd.dwItemSpec) : -1;
            n.newState = cd->nmcd.dwDrawStage;
        }
        hooks->notices.push_back(n);
        return hooks->answer ? hooks->answer(h) : 0;
    }
    if (hooks && message == WM_MEASUREITEM && hooks->measure) {
        hooks->measure(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    }
    if (hooks && message == WM_DRAWITEM) {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        hooks->drawn.push_back(*d);
        if (hooks->draw) hooks->draw(d);
        return TRUE;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

class ListViews : public Headless {
protected:
    void SetUp() override
    {
        Headless::SetUp();
        InitCommonControls();
        hooks = &h;
        WNDCLASS wc{};
        wc.lpfnWndProc = parentProc;
        wc.lpszClassName = "ListViewParent";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClass(&wc);
        parent = CreateWindowEx(0, "ListViewParent", "parent", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        pump();
    }
    void TearDown() override
    {
        hooks = nullptr;
        for (HIMAGELIST l : lists) ImageList_Destroy(l);
        Headless::TearDown();
    }
    HWND makeList(DWORD style, int w = 200, int h = 150)
    {
        list = CreateWindowEx(0, WC_LISTVIEW, "List View", WS_CHILD | WS_VISIBLE | style, 0, 0, w, h, parent,
                              reinterpret_cast<HMENU>(static_cast<intptr_t>(1001)), nullptr, nullptr);
        return list;
    }
    int insert(int at, const char* text, LPARAM param = 0)
    {
        LVITEM item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = at;
        item.pszText = const_cast<char*>(text);
        item.lParam = param;
        return ListView_InsertItem(list, &item);
    }
    void fill(int count)
    {
        for (int i = 0; i < count; ++i) insert(i, ("item " + std::to_string(i)).c_str(), i);
    }
    void addColumn(int index, const char* text, int width, int fmt = LVCFMT_LEFT)
    {
        LVCOLUMN c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.pszText = const_cast<char*>(text);
        c.cx = width;
        c.fmt = fmt;
        ListView_InsertColumn(list, index, &c);
    }
    RECT rect(int index, int code = LVIR_BOUNDS)
    {
        RECT r{};
        EXPECT_TRUE(ListView_GetItemRect(list, index, &r, code)) << "item " << index;
        return r;
    }
    std::vector<int> selected()
    {
        std::vector<int> out;
        for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(list, i, LVNI_SELECTED))
            out.push_back(i);
        return out;
    }
    std::vector<Notice> noticesOf(UINT code) const
    {
        std::vector<Notice> out;
        for (const Notice& n : h.notices)
            if (n.code == code) out.push_back(n);
        return out;
    }
    void stylus(StylusAction a, int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(list, &p);
        PlatformStylusInput(a, p.x, p.y);
        pump();
    }
    void tap(int x, int y)
    {
        stylus(StylusDown, x, y);
        stylus(StylusUp, x, y);
        PlatformAdvanceClock(1000);  // no double tap with the next one
    }
    void tapItem(int index)
    {
        RECT r = rect(index);
        tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void key(UINT vk)
    {
        PlatformKeyInput(vk, true);
        pump();
        PlatformKeyInput(vk, false);
        pump();
    }
    COLORREF pixel(int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(list, &p);
        return screenPixel(p.x, p.y);
    }
    // A list of `count` solid images of one colour each.
    HIMAGELIST solidImages(int cx, int cy, std::vector<COLORREF> colours)
    {
        HIMAGELIST l = ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, 4, 4);
        lists.push_back(l);
        MemorySurface s(cx * static_cast<int>(colours.size()), cy);
        for (size_t i = 0; i < colours.size(); ++i) {
            RECT r{static_cast<LONG>(i) * cx, 0, static_cast<LONG>(i + 1) * cx, cy};
            HBRUSH b = CreateSolidBrush(colours[i]);
            FillRect(s.dc, &r, b);
            DeleteObject(b);
        }
        SelectObject(s.dc, s.old);
        ImageList_Add(l, s.bitmap, nullptr);
        s.old = SelectObject(s.dc, s.bitmap);
        return l;
    }
    ParentHooks h;
    HWND parent = nullptr;
    HWND list = nullptr;
    std::vector<HIMAGELIST> lists;
};

// ---- Items and states ----

TEST_F(ListViews, items_are_inserted_read_changed_and_deleted)
{
    makeList(LVS_REPORT);
    addColumn(0, "Name", 80);
    addColumn(1, "Size", 60, LVCFMT_RIGHT);
    EXPECT_EQ(insert(0, "b", 20), 0);
    EXPECT_EQ(insert(0, "a", 10), 0);
    EXPECT_EQ(insert(99, "c", 30), 2);  // past the end appends
    EXPECT_EQ(ListView_GetItemCount(list), 3);
    ListView_SetItemText(list, 2, 1, "3 KB");

    char buffer[16];
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = 1;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    ASSERT_TRUE(ListView_GetItem(list, &item));
    EXPECT_STREQ(buffer, "b");
    EXPECT_EQ(item.lParam, 20);
    item.iItem = 2;
    item.iSubItem = 1;
    ListView_GetItem(list, &item);
    EXPECT_STREQ(buffer, "3 KB");
    item.iItem = 7;
    EXPECT_FALSE(ListView_GetItem(list, &item));

    // Texts are cut to the buffer without splitting a character.
    ListView_SetItemText(list, 0, 0, "caf\xC3\xA9");
    LVITEM text{};
    text.pszText = buffer;
    text.cchTextMax = 5;  // room for "caf" and half of the last character
    EXPECT_EQ(SendMessage(list, LVM_GETITEMTEXT, 0, reinterpret_cast<LPARAM>(&text)), 3);
    EXPECT_STREQ(buffer, "caf");

    h.notices.clear();
    EXPECT_TRUE(ListView_DeleteItem(list, 0));
    ASSERT_EQ(noticesOf(LVN_DELETEITEM).size(), 1u);
    EXPECT_EQ(noticesOf(LVN_DELETEITEM)[0].item, 0);
    EXPECT_EQ(ListView_GetItemCount(list), 2);
    EXPECT_FALSE(ListView_DeleteItem(list, 5));
    h.notices.clear();
    EXPECT_TRUE(ListView_DeleteAllItems(list));
    EXPECT_EQ(ListView_GetItemCount(list), 0);
    EXPECT_EQ(noticesOf(LVN_DELETEALLITEMS).size(), 1u);
    EXPECT_EQ(noticesOf(LVN_DELETEITEM).size(), 2u);  // the parent did not answer TRUE
}

TEST_F(ListViews, state_changes_ask_the_parent_who_may_refuse_them)
{
    makeList(LVS_REPORT);
    fill(4);
    h.notices.clear();
    ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_EQ(h.notices.size(), 2u);
    EXPECT_EQ(h.notices[0].code, LVN_ITEMCHANGING);
    EXPECT_EQ(h.notices[1].code, LVN_ITEMCHANGED);
    EXPECT_EQ(h.notices[1].item, 1);
    EXPECT_EQ(h.notices[1].oldState, 0u);
    EXPECT_EQ(h.notices[1].newState, static_cast<UINT>(LVIS_SELECTED));

    // Setting what is already there changes nothing and says nothing.
    h.notices.clear();
    ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(h.notices.empty());

    // A parent answering TRUE keeps the old state.
    h.answer = [](NMHDR* n) -> LRESULT { return n->code == LVN_ITEMCHANGING; };
    ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(ListView_GetItemState(list, 2, LVIS_SELECTED), 0u);
    EXPECT_TRUE(noticesOf(LVN_ITEMCHANGED).empty());
    h.answer = nullptr;

    // One item holds the focus.
    ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_SetItemState(list, 3, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    EXPECT_EQ(ListView_GetItemState(list, 0, LVIS_FOCUSED), 0u);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 3);
    EXPECT_EQ(selected(), (std::vector<int>{1, 3}));
    EXPECT_EQ(ListView_GetSelectedCount(list), 2u);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED | LVNI_FOCUSED), 3);
    EXPECT_EQ(ListView_GetNextItem(list, 1, LVNI_ALL), 2);

    // Index -1 applies to every item.
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    EXPECT_TRUE(selected().empty());

    // Deleting items keeps focus and mark on the same items.
    ListView_SetSelectionMark(list, 3);
    ListView_DeleteItem(list, 1);
    EXPECT_EQ(ListView_GetSelectionMark(list), 2);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 2);
    ListView_DeleteItem(list, 2);
    EXPECT_EQ(ListView_GetSelectionMark(list), -1);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), -1);
}

TEST_F(ListViews, sorting_and_finding_keep_states_with_their_items)
{
    makeList(LVS_REPORT);
    insert(0, "Cherry", 3);
    insert(1, "apple", 1);
    insert(2, "Banana", 2);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(list, 0);
    auto byParam = [](LPARAM a, LPARAM b, LPARAM) -> int { return static_cast<int>(a - b); };
    ASSERT_TRUE(SendMessage(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(static_cast<PFNLVCOMPARE>(byParam))));
    EXPECT_EQ(selected(), (std::vector<int>{2}));
    EXPECT_EQ(ListView_GetSelectionMark(list), 2);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 2);

    LVFINDINFO find{};
    find.flags = LVFI_STRING;
    find.psz = "BANANA";
    EXPECT_EQ(SendMessage(list, LVM_FINDITEM, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 1);
    find.flags = LVFI_PARAM;
    find.lParam = 1;
    EXPECT_EQ(SendMessage(list, LVM_FINDITEM, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 0);
    EXPECT_EQ(SendMessage(list, LVM_FINDITEM, 0, reinterpret_cast<LPARAM>(&find)), -1);
    find.flags = LVFI_PARAM | LVFI_WRAP;
    EXPECT_EQ(SendMessage(list, LVM_FINDITEM, 0, reinterpret_cast<LPARAM>(&find)), 0);
}

TEST_F(ListViews, callback_texts_and_images_come_from_the_parent)
{
    makeList(LVS_REPORT);
    addColumn(0, "Name", 80);
    addColumn(1, "Type", 60);
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.pszText = LPSTR_TEXTCALLBACK;
    item.iImage = I_IMAGECALLBACK;
    item.lParam = 42;
    ListView_InsertItem(list, &item);
    ListView_SetItemText(list, 0, 1, LPSTR_TEXTCALLBACK);
    h.answer = [](NMHDR* n) -> LRESULT {
        if (n->code != LVN_GETDISPINFO) return 0;
        auto* d = reinterpret_cast<NMLVDISPINFO*>(n);
        if (d->item.mask & LVIF_TEXT)
            snprintf(d->item.pszText, static_cast<size_t>(d->item.cchTextMax), "p%d s%d", static_cast<int>(d->item.lParam),
                     d->item.iSubItem);
        if (d->item.mask & LVIF_IMAGE) d->item.iImage = 7;
        return 0;
    };
    char buffer[32];
    LVITEM out{};
    out.mask = LVIF_TEXT | LVIF_IMAGE;
    out.pszText = buffer;
    out.cchTextMax = sizeof buffer;
    ASSERT_TRUE(ListView_GetItem(list, &out));
    EXPECT_STREQ(buffer, "p42 s0");
    EXPECT_EQ(out.iImage, 7);
    out.iSubItem = 1;
    out.mask = LVIF_TEXT;
    ListView_GetItem(list, &out);
    EXPECT_STREQ(buffer, "p42 s1");
    EXPECT_EQ(noticesOf(LVN_GETDISPINFO).size(), 3u);
}

// ---- Layout ----

TEST_F(ListViews, icon_view_fills_rows_of_the_spacing_and_alignleft_fills_columns)
{
    makeList(LVS_ICON, 200, 150);
    ListView_SetIconSpacing(list, 60, 50);
    fill(7);
    // 200 / 60: three cells a row.
    RECT r = rect(4);
    EXPECT_EQ(r.left, 60);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 60);
    EXPECT_EQ(r.bottom - r.top, 50);
    EXPECT_EQ(ListView_GetNextItem(list, 4, LVNI_BELOW), -1);  // no item 7
    EXPECT_EQ(ListView_GetNextItem(list, 1, LVNI_BELOW), 4);
    EXPECT_EQ(ListView_GetNextItem(list, 3, LVNI_TOLEFT), -1);

    // The icon is centred at the top of the cell, the label below it.
    HIMAGELIST images = solidImages(20, 16, {RGB(200, 0, 0)});
    ListView_SetImageList(list, images, LVSIL_NORMAL);
    RECT icon = rect(4, LVIR_ICON), label = rect(4, LVIR_LABEL);
    EXPECT_EQ(icon.left, 60 + 20);
    EXPECT_EQ(icon.right - icon.left, 20);
    EXPECT_EQ(icon.bottom - icon.top, 16);
    EXPECT_GE(label.top, icon.bottom);
    EXPECT_LE(label.bottom, 100);

    // The one-row strip: items run down columns, here one row high.
    SetWindowLong(list, GWL_STYLE, static_cast<LONG>(GetWindowLong(list, GWL_STYLE) | LVS_ALIGNLEFT));
    MoveWindow(list, 0, 0, 200, 60, TRUE);
    r = rect(4);
    EXPECT_EQ(r.left, 4 * 60);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(ListView_GetNextItem(list, 0, LVNI_TORIGHT), 1);
    EXPECT_EQ(ListView_GetNextItem(list, 0, LVNI_BELOW), -1);
}

TEST_F(ListViews, every_item_is_hit_where_it_is_drawn_in_every_mode)
{
    const DWORD modes[] = {LVS_ICON, LVS_ICON | LVS_ALIGNLEFT, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    makeList(LVS_ICON, 200, 150);
    addColumn(0, "Name", 120);
    addColumn(1, "Size", 60);
    ListView_SetIconSpacing(list, 64, 48);
    fill(30);
    for (DWORD mode : modes) {
        SetWindowLong(list, GWL_STYLE, static_cast<LONG>(WS_CHILD | WS_VISIBLE | mode));
        for (int i = 0; i < 30; ++i) {
            RECT r = rect(i);
            RECT client;
            GetClientRect(list, &client);
            if (r.right > client.right || r.bottom > client.bottom) continue;  // out of sight
            LVHITTESTINFO hit{};
            hit.pt = POINT{(r.left + r.right) / 2 - (mode == LVS_REPORT ? 50 : 0), (r.top + r.bottom) / 2};
            EXPECT_EQ(ListView_HitTest(list, &hit), i) << "mode " << mode;
            EXPECT_NE(hit.flags & LVHT_ONITEM, 0u);
        }
        LVHITTESTINFO none{};
        none.pt = POINT{199, 149};
        RECT last = rect(29);
        if (last.right <= 199 && last.bottom <= 149) continue;
        EXPECT_TRUE(ListView_HitTest(list, &none) == -1 || ListView_HitTest(list, &none) < 30);
    }
    // Report rows stand under the header, one row height apart.
    RECT a = rect(0), b = rect(1);
    EXPECT_GT(a.top, 0);
    EXPECT_EQ(b.top, a.bottom);
    EXPECT_EQ(a.right - a.left, 180);  // as wide as the columns
    // Beside the first column nothing is hit, unless full rows are selected.
    LVHITTESTINFO side{};
    side.pt = POINT{150, (a.top + a.bottom) / 2};
    EXPECT_EQ(ListView_HitTest(list, &side), -1);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    EXPECT_EQ(ListView_HitTest(list, &side), 0);
    EXPECT_EQ(SendMessage(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&side)), 0);
    EXPECT_EQ(side.iSubItem, 1);
}

// ---- Stylus and keys ----

TEST_F(ListViews, a_tap_selects_the_item_alone_and_clicks_when_the_stylus_lifts)
{
    makeList(LVS_ICON, 200, 150);
    ListView_SetIconSpacing(list, 60, 50);
    fill(6);
    tapItem(1);
    EXPECT_EQ(selected(), (std::vector<int>{1}));
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 1);
    EXPECT_EQ(ListView_GetSelectionMark(list), 1);
    EXPECT_EQ(GetFocus(), list);
    // NM_CLICK comes after the selection changed.
    ASSERT_FALSE(h.notices.empty());
    auto clicks = noticesOf(NM_CLICK);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].item, 1);
    EXPECT_EQ(h.notices.back().code, NM_CLICK);

    tapItem(4);
    EXPECT_EQ(selected(), (std::vector<int>{4}));
    // Empty space clears the selection; the click names no item.
    h.notices.clear();
    tap(190, 140);
    EXPECT_TRUE(selected().empty());
    ASSERT_EQ(noticesOf(NM_CLICK).size(), 1u);
    EXPECT_EQ(noticesOf(NM_CLICK)[0].item, -1);

    // A double tap opens: NM_DBLCLK for the item, and no click for its second lift.
    h.notices.clear();
    RECT r = rect(2);
    stylus(StylusDown, r.left + 5, r.top + 5);
    stylus(StylusUp, r.left + 5, r.top + 5);
    stylus(StylusDown, r.left + 5, r.top + 5);
    stylus(StylusUp, r.left + 5, r.top + 5);
    ASSERT_EQ(noticesOf(NM_DBLCLK).size(), 1u);
    EXPECT_EQ(noticesOf(NM_DBLCLK)[0].item, 2);
    EXPECT_EQ(noticesOf(NM_CLICK).size(), 1u);
}

TEST_F(ListViews, a_parent_that_refuses_changes_can_toggle_on_click)
{
    // The browser's multiple selection: taps change nothing by themselves,
    // the parent toggles the tapped item when it hears NM_CLICK.
    makeList(LVS_REPORT | LVS_SHOWSELALWAYS);
    addColumn(0, "Name", 150);
    fill(5);
    bool ownChange = false;
    h.answer = [&](NMHDR* n) -> LRESULT {
        if (n->code == LVN_ITEMCHANGING) return ownChange ? FALSE : TRUE;
        if (n->code == NM_CLICK) {
            int i = reinterpret_cast<NMITEMACTIVATE*>(n)->iItem;
            if (i < 0) return 0;
            ownChange = true;
            UINT now = ListView_GetItemState(list, i, LVIS_SELECTED);
            ListView_SetItemState(list, i, now ? 0u : static_cast<UINT>(LVIS_SELECTED), LVIS_SELECTED);
            ownChange = false;
        }
        return 0;
    };
    tapItem(0);
    tapItem(3);
    EXPECT_EQ(selected(), (std::vector<int>{0, 3}));
    tapItem(0);
    EXPECT_EQ(selected(), (std::vector<int>{3}));
}

TEST_F(ListViews, keys_move_the_selection_by_the_layout)
{
    makeList(LVS_ICON, 200, 150);
    ListView_SetIconSpacing(list, 60, 50);
    fill(10);
    SetFocus(list);
    key(VK_DOWN);  // nothing focused: the first item
    EXPECT_EQ(selected(), (std::vector<int>{0}));
    key(VK_RIGHT);
    key(VK_DOWN);
    EXPECT_EQ(selected(), (std::vector<int>{4}));
    key(VK_END);
    EXPECT_EQ(selected(), (std::vector<int>{9}));
    key(VK_RIGHT);  // nothing right of the last one
    EXPECT_EQ(selected(), (std::vector<int>{9}));
    key(VK_HOME);
    EXPECT_EQ(selected(), (std::vector<int>{0}));
    key(VK_NEXT);  // a page: three rows of three
    EXPECT_EQ(selected(), (std::vector<int>{9}));
    // The parent hears every key first; Return asks to open.
    h.notices.clear();
    key(VK_RETURN);
    ASSERT_EQ(noticesOf(LVN_KEYDOWN).size(), 1u);
    EXPECT_EQ(noticesOf(LVN_KEYDOWN)[0].item, static_cast<int>(VK_RETURN));
    ASSERT_EQ(noticesOf(NM_RETURN).size(), 1u);
    EXPECT_EQ(noticesOf(NM_RETURN)[0].item, 9);

    // In the strip, Right runs along the row and scrolls to keep the item in
    // sight. The strip is one cell high plus its horizontal scroll bar.
    SetWindowLong(list, GWL_STYLE, static_cast<LONG>(WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_ALIGNLEFT));
    MoveWindow(list, 0, 0, 200, 50 + GetSystemMetrics(SM_CYHSCROLL), TRUE);
    key(VK_HOME);
    for (int i = 0; i < 5; ++i) key(VK_RIGHT);
    EXPECT_EQ(selected(), (std::vector<int>{5}));
    RECT r = rect(5);
    EXPECT_LE(r.right, 200);
    EXPECT_GE(r.left, 0);
    EXPECT_EQ(r.right, 200);  // scrolled just far enough
    key(VK_UP);                // no row above in a one-row strip
    EXPECT_EQ(selected(), (std::vector<int>{5}));
}

TEST_F(ListViews, check_boxes_toggle_by_tap_and_space_without_selecting)
{
    makeList(LVS_REPORT);
    addColumn(0, "Name", 150);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES);
    fill(3);
    EXPECT_FALSE(ListView_GetCheckState(list, 0));
    EXPECT_EQ(ListView_GetItemState(list, 0, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1));
    RECT r = rect(1);
    h.notices.clear();
    tap(r.left + ScaleForScreen(1) + ScaleForScreen(13) / 2, (r.top + r.bottom) / 2);
    EXPECT_TRUE(ListView_GetCheckState(list, 1));
    EXPECT_TRUE(selected().empty());
    ASSERT_FALSE(noticesOf(LVN_ITEMCHANGED).empty());
    EXPECT_EQ(noticesOf(LVN_ITEMCHANGED)[0].newState & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));
    key(VK_SPACE);
    EXPECT_FALSE(ListView_GetCheckState(list, 1));
    ListView_SetCheckState(list, 2, TRUE);
    EXPECT_TRUE(ListView_GetCheckState(list, 2));
    pump();
    // A checked box shows its tick, a clear one is white inside.
    RECT box2 = rect(2), box0 = rect(0);
    int side = ScaleForScreen(13);
    int cx = box2.left + 1 + side / 2;
    bool tick = false;
    for (int y = box2.top; y < box2.bottom; ++y) tick |= pixel(cx, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_TRUE(tick);
    for (int y = box0.top + 3; y < box0.bottom - 3; ++y) EXPECT_EQ(pixel(cx, y), GetSysColor(COLOR_WINDOW));
}

// ---- Scrolling ----

TEST_F(ListViews, report_view_scrolls_whole_rows_and_brings_items_into_view)
{
    makeList(LVS_REPORT, 200, 150);
    addColumn(0, "Name", 150);
    fill(100);
    int perPage = ListView_GetCountPerPage(list);
    ASSERT_GT(perPage, 2);
    int rowH = rect(1).top - rect(0).top;
    RECT first = rect(0);
    EXPECT_LE(first.top + perPage * rowH, 150);
    EXPECT_GT(first.top + (perPage + 1) * rowH, 150);

    SendMessage(list, WM_VSCROLL, 1 /* line down */, 0);
    EXPECT_EQ(ListView_GetTopIndex(list), 1);
    SendMessage(list, WM_VSCROLL, 3 /* page down */, 0);
    EXPECT_EQ(ListView_GetTopIndex(list), 1 + perPage);
    ListView_Scroll(list, 0, 1);  // a pixel counts as a row
    EXPECT_EQ(ListView_GetTopIndex(list), 2 + perPage);
    SendMessage(list, WM_VSCROLL, 7 /* bottom */, 0);
    EXPECT_EQ(ListView_GetTopIndex(list), 100 - perPage);
    EXPECT_LE(rect(99).bottom, 150);
    ListView_EnsureVisible(list, 10, FALSE);
    EXPECT_EQ(ListView_GetTopIndex(list), 10);
    ListView_EnsureVisible(list, 50, FALSE);
    EXPECT_EQ(ListView_GetTopIndex(list), 50 - perPage + 1);
    SendMessage(list, WM_VSCROLL, 6 /* top */, 0);
    EXPECT_EQ(ListView_GetTopIndex(list), 0);
    ListView_Scroll(list, 0, -50);
    EXPECT_EQ(ListView_GetTopIndex(list), 0);
}

TEST_F(ListViews, thousands_of_items_paint_only_what_is_visible)
{
    makeList(LVS_REPORT, 200, 150);
    addColumn(0, "Name", 150);
    ListView_SetItemCount(list, 5000);
    fill(5000);
    h.answer = [](NMHDR* n) -> LRESULT {
        if (n->code != NM_CUSTOMDRAW) return 0;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(n);
        return cd->nmcd.dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    };
    InvalidateRect(list, nullptr, FALSE);
    h.notices.clear();
    pump();
    std::vector<int> painted;
    for (const Notice& n : noticesOf(NM_CUSTOMDRAW))
        if (n.newState == CDDS_ITEMPREPAINT) painted.push_back(n.item);
    int perPage = ListView_GetCountPerPage(list);
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted.front(), 0);
    EXPECT_LE(static_cast<int>(painted.size()), perPage + 1);

    SetFocus(list);
    key(VK_END);
    EXPECT_EQ(selected(), (std::vector<int>{4999}));
    EXPECT_EQ(ListView_GetTopIndex(list), 5000 - perPage);
    h.notices.clear();
    InvalidateRect(list, nullptr, FALSE);
    pump();
    painted.clear();
    for (const Notice& n : noticesOf(NM_CUSTOMDRAW))
        if (n.newState == CDDS_ITEMPREPAINT) painted.push_back(n.item);
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted.back(), 4999);
    EXPECT_GE(painted.front(), 5000 - perPage - 1);
}

// ---- Drawing ----

TEST_F(ListViews, custom_drawing_can_replace_items_and_colour_their_text_background)
{
    makeList(LVS_ICON, 200, 150);
    ListView_SetIconSpacing(list, 60, 50);
    fill(4);
    h.answer = [&](NMHDR* n) -> LRESULT {
        if (n->code != NM_CUSTOMDRAW) return 0;
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(n);
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (cd->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return 0;
        if (cd->nmcd.dwItemSpec == 1) {
            // The program's own thumbnail cell: a filled box over the item's bounds.
            HBRUSH b = CreateSolidBrush(RGB(0, 128, 255));
            FillRect(cd->nmcd.hdc, &cd->nmcd.rc, b);
            DeleteObject(b);
            return CDRF_SKIPDEFAULT;
        }
        cd->clrTextBk = RGB(0xC3, 0xC3, 0xC3);
        return CDRF_DODEFAULT;
    };
    InvalidateRect(list, nullptr, FALSE);
    pump();
    RECT one = rect(1);
    EXPECT_EQ(pixel(one.left + 1, one.top + 1), RGB(0, 128, 255));
    EXPECT_EQ(pixel(one.right - 1, one.bottom - 1), RGB(0, 128, 255));
    // Item 0 is drawn by the list with the grey behind its label.
    RECT label = rect(0, LVIR_LABEL);
    int cy = label.top + 3;
    bool grey = false;
    for (int x = label.left; x < label.right; ++x) grey |= pixel(x, cy) == RGB(0xC3, 0xC3, 0xC3);
    EXPECT_TRUE(grey);
    EXPECT_NE(pixel(one.left + 1, one.top + 1), pixel(rect(0).left + 1, rect(0).top + 1));
}

TEST_F(ListViews, owner_drawn_rows_take_their_height_from_the_parent)
{
    h.measure = [](MEASUREITEMSTRUCT* m) {
        EXPECT_EQ(m->CtlType, static_cast<UINT>(ODT_LISTVIEW));
        EXPECT_EQ(m->CtlID, 1001u);
        m->itemHeight = 40;
    };
    h.draw = [](DRAWITEMSTRUCT* d) {
        HBRUSH b = CreateSolidBrush((d->itemState & ODS_SELECTED) ? RGB(0xCE, 0xD6, 0xE3) : RGB(0xEB, 0xE6, 0xE6));
        FillRect(d->hDC, &d->rcItem, b);
        DeleteObject(b);
    };
    makeList(LVS_REPORT, 200, 150);
    addColumn(0, "Name", 200);
    fill(50);
    SetWindowLong(list, GWL_STYLE,
                  static_cast<LONG>(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER));
    ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
    h.drawn.clear();
    InvalidateRect(list, nullptr, FALSE);
    pump();
    RECT r0 = rect(0), r1 = rect(1);
    EXPECT_EQ(r0.top, 0);  // no header
    EXPECT_EQ(r0.bottom - r0.top, 40);
    EXPECT_EQ(r1.top, 40);
    // 150 pixels show four rows: only they are drawn.
    ASSERT_EQ(h.drawn.size(), 4u);
    EXPECT_EQ(h.drawn[1].itemID, 1u);
    EXPECT_EQ(h.drawn[1].CtlType, static_cast<UINT>(ODT_LISTVIEW));
    EXPECT_NE(h.drawn[1].itemState & ODS_SELECTED, 0u);
    EXPECT_EQ(h.drawn[0].itemState & ODS_SELECTED, 0u);
    EXPECT_EQ(h.drawn[2].itemData, 2u);
    EXPECT_EQ(pixel(100, 60), RGB(0xCE, 0xD6, 0xE3));
    EXPECT_EQ(pixel(100, 20), RGB(0xEB, 0xE6, 0xE6));
}

TEST_F(ListViews, report_view_draws_header_columns_and_the_selected_row)
{
    makeList(LVS_REPORT | LVS_SHOWSELALWAYS, 200, 150);
    addColumn(0, "Name", 100);
    addColumn(1, "Size", 100, LVCFMT_RIGHT);
    fill(3);
    ListView_SetItemText(list, 0, 1, "WWW");
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    SetFocus(list);
    ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);
    pump();
    RECT first = rect(0);
    // The header: button face with a dividing line at the column edge.
    EXPECT_EQ(pixel(50, 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(first.top, 8);
    // The right-aligned sub-item text ends near the right edge of its column.
    auto inkBetween = [&](int x0, int x1, const RECT& row) {
        for (int x = x0; x < x1; ++x)
            for (int y = row.top; y < row.bottom; ++y)
                if (pixel(x, y) != GetSysColor(COLOR_WINDOW)) return true;
        return false;
    };
    EXPECT_TRUE(inkBetween(170, 198, first));
    EXPECT_FALSE(inkBetween(104, 140, first));
    // A full selected row is the highlight from edge to edge.
    RECT sel = rect(2);
    EXPECT_EQ(pixel(1, sel.top + 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(pixel(160, sel.bottom - 2), GetSysColor(COLOR_HIGHLIGHT));
    // Columns can be read back, resized and removed.
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), 100);
    ListView_SetColumnWidth(list, 1, LVSCW_AUTOSIZE_USEHEADER);
    int autoWidth = ListView_GetColumnWidth(list, 1);
    EXPECT_GT(autoWidth, 10);
    EXPECT_LT(autoWidth, 100);
    EXPECT_TRUE(SendMessage(list, LVM_DELETECOLUMN, 1, 0));
    EXPECT_EQ(rect(0).right - rect(0).left, 100);
}

TEST_F(ListViews, images_are_drawn_and_tinted_when_selected)
{
    makeList(LVS_ICON, 200, 150);
    ListView_SetIconSpacing(list, 60, 50);
    HIMAGELIST images = solidImages(20, 16, {RGB(200, 0, 0), RGB(0, 200, 0)});
    ListView_SetImageList(list, images, LVSIL_NORMAL);
    for (int i = 0; i < 2; ++i) {
        LVITEM item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.iImage = i;
        item.pszText = const_cast<char*>("x");
        ListView_InsertItem(list, &item);
    }
    pump();
    RECT a = rect(0, LVIR_ICON), b = rect(1, LVIR_ICON);
    EXPECT_EQ(pixel(a.left + 5, a.top + 5), RGB(200, 0, 0));
    EXPECT_EQ(pixel(b.left + 5, b.top + 5), RGB(0, 200, 0));
    SetFocus(list);
    ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
    pump();
    COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
    COLORREF tinted = pixel(b.left + 5, b.top + 5);
    EXPECT_EQ(GetGValue(tinted), (200 + GetGValue(hl)) / 2);
    EXPECT_EQ(GetBValue(tinted), (0 + GetBValue(hl)) / 2);
    // The list is told its image lists are shared, or it destroys them with itself.
    EXPECT_EQ(ListView_SetImageList(list, nullptr, LVSIL_NORMAL), images);
}

TEST_F(ListViews, with_redraw_off_nothing_is_painted_until_it_is_on_again)
{
    makeList(LVS_REPORT | LVS_SHOWSELALWAYS, 200, 150);
    addColumn(0, "Name", 200);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    pump();
    SendMessage(list, WM_SETREDRAW, FALSE, 0);
    fill(3);
    ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
    InvalidateRect(list, nullptr, FALSE);
    pump();
    RECT r = rect(0);
    EXPECT_EQ(pixel(150, r.top + 2), GetSysColor(COLOR_WINDOW));
    SendMessage(list, WM_SETREDRAW, TRUE, 0);
    pump();
    EXPECT_EQ(pixel(150, r.top + 2), GetSysColor(COLOR_BTNFACE));  // selected, without the focus
}

}  // namespace

namespace {

TEST_F(ListViews, window_scroll_bars_follow_the_list_and_scroll_it)
{
    makeList(static_cast<DWORD>(LVS_REPORT) | WS_VSCROLL | WS_HSCROLL, 200, 150);
    addColumn(0, "Name", 150);
    fill(3);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(client.right, 200);  // everything fits: no bars
    EXPECT_EQ(client.bottom, 150);

    fill(100);
    GetClientRect(list, &client);
    EXPECT_LT(client.right, 200);  // the vertical bar took its strip
    EXPECT_EQ(client.bottom, 150);  // the columns still fit across
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &si));
    int perPage = ListView_GetCountPerPage(list);
    EXPECT_EQ(si.nMax, 102);  // rows 0..102
    EXPECT_EQ(static_cast<int>(si.nPage), perPage);
    EXPECT_EQ(si.nPos, 0);

    ListView_EnsureVisible(list, 50, FALSE);
    GetScrollInfo(list, SB_VERT, &si);
    EXPECT_EQ(si.nPos, ListView_GetTopIndex(list));

    // A tap on the bar's lower arrow scrolls a row.
    int top = ListView_GetTopIndex(list);
    RECT window;
    GetWindowRect(list, &window);
    PlatformStylusInput(StylusDown, window.right - 3, window.bottom - 3);
    pump();
    PlatformStylusInput(StylusUp, window.right - 3, window.bottom - 3);
    pump();
    EXPECT_EQ(ListView_GetTopIndex(list), top + 1);

    // Dragging the thumb arrives as a position in rows.
    SendMessage(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    EXPECT_EQ(ListView_GetTopIndex(list), 0);
    ListView_DeleteAllItems(list);
    GetClientRect(list, &client);
    EXPECT_EQ(client.right, 200);  // nothing to scroll: the bar is gone
}

}  // namespace

namespace {

// The browser switches modes by replacing the style bits under the mask
// 0x304C03 (view, alignment, owner drawing, header, both scroll bars).
void switchMode(HWND list, DWORD bits)
{
    DWORD style = static_cast<DWORD>(GetWindowLong(list, GWL_STYLE));
    SetWindowLong(list, GWL_STYLE, static_cast<LONG>((style & ~0x304C03u) | bits));
}

TEST_F(ListViews, mode_switches_by_style_lay_the_items_out_again)
{
    makeList(LVS_REPORT | LVS_SHOWSELALWAYS, 200, 150);
    addColumn(0, "Name", 100);
    addColumn(1, "Size", 60);
    fill(60);
    ListView_SetItemState(list, 40, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, 40, FALSE);
    EXPECT_NE(GetWindowLong(list, GWL_STYLE) & WS_VSCROLL, 0);

    // Thumbnails: the focused item stays in view in the new arrangement.
    switchMode(list, LVS_ICON);
    ListView_SetIconSpacing(list, 60, 50);
    RECT r = rect(40);
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(r.right - r.left, 60);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.bottom, client.bottom);
    EXPECT_NE(GetWindowLong(list, GWL_STYLE) & WS_VSCROLL, 0);  // the bar came back

    // Details: owner-drawn rows without a header, as tall as the parent says.
    h.measure = [](MEASUREITEMSTRUCT* m) { m->itemHeight = 30; };
    switchMode(list, LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER);
    ListView_SetColumnWidth(list, 1, 0);
    ListView_SetColumnWidth(list, 0, 150);
    EXPECT_EQ(rect(1).top - rect(0).top, 30);
    h.drawn.clear();
    InvalidateRect(list, nullptr, FALSE);
    pump();
    ASSERT_FALSE(h.drawn.empty());
    for (const DRAWITEMSTRUCT& d : h.drawn) EXPECT_EQ(d.rcItem.bottom - d.rcItem.top, 30);

    // Strip: one row scrolled sideways; few items leave no bar at all.
    ListView_DeleteAllItems(list);
    fill(2);
    switchMode(list, LVS_ICON | LVS_ALIGNLEFT | WS_HSCROLL);
    MoveWindow(list, 0, 0, 200, 50 + GetSystemMetrics(SM_CYHSCROLL), TRUE);
    EXPECT_EQ(rect(1).left, 60);
    EXPECT_EQ(rect(1).top, 0);
    EXPECT_EQ(GetWindowLong(list, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
    fill(10);
    EXPECT_NE(GetWindowLong(list, GWL_STYLE) & WS_HSCROLL, 0);
    EXPECT_EQ(GetWindowLong(list, GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_EQ(rect(11).top, 0);
}

}  // namespace

namespace {

TEST_F(ListViews, header_taps_name_the_column_and_focus_is_reported)
{
    makeList(LVS_REPORT, 200, 150);
    addColumn(0, "Name", 100);
    addColumn(1, "Size", 60);
    fill(3);
    int column = -1;
    h.answer = [&](NMHDR* n) -> LRESULT {
        if (n->code == LVN_COLUMNCLICK) column = reinterpret_cast<NMLISTVIEW*>(n)->iSubItem;
        return 0;
    };
    h.notices.clear();
    tap(130, 3);
    ASSERT_EQ(noticesOf(LVN_COLUMNCLICK).size(), 1u);
    EXPECT_EQ(column, 1);
    EXPECT_TRUE(selected().empty());  // the header selects nothing
    EXPECT_TRUE(noticesOf(NM_CLICK).empty());
    EXPECT_EQ(noticesOf(NM_SETFOCUS).size(), 1u);
    SetFocus(parent);
    EXPECT_EQ(noticesOf(NM_KILLFOCUS).size(), 1u);

    // LVIF_STATE through LVM_SETITEM goes through the same consent.
    LVITEM item{};
    item.mask = LVIF_STATE;
    item.iItem = 2;
    item.state = LVIS_SELECTED;
    item.stateMask = LVIS_SELECTED;
    h.notices.clear();
    ListView_SetItem(list, &item);
    EXPECT_EQ(noticesOf(LVN_ITEMCHANGING).size(), 1u);
    LVITEM out{};
    out.mask = LVIF_STATE;
    out.iItem = 2;
    out.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_GetItem(list, &out);
    EXPECT_EQ(out.state, static_cast<UINT>(LVIS_SELECTED));
}

}  // namespace

namespace {

TEST_F(ListViews, control_toggles_and_shift_extends_unless_single_selection)
{
    makeList(LVS_REPORT, 200, 150);
    addColumn(0, "Name", 150);
    fill(6);
    auto press = [&](int index, WPARAM keys) {
        RECT r = rect(index);
        LPARAM at = MAKELPARAM(r.left + 10, (r.top + r.bottom) / 2);
        SendMessage(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
        SendMessage(list, WM_LBUTTONUP, keys, at);
    };
    press(1, 0);
    press(3, MK_CONTROL);
    EXPECT_EQ(selected(), (std::vector<int>{1, 3}));
    press(1, MK_CONTROL);
    EXPECT_EQ(selected(), (std::vector<int>{3}));
    press(4, MK_CONTROL);
    EXPECT_EQ(ListView_GetSelectionMark(list), 4);
    press(2, MK_SHIFT);  // from the mark to here, the rest cleared
    EXPECT_EQ(selected(), (std::vector<int>{2, 3, 4}));
    press(5, MK_SHIFT);  // the mark stays where the range began
    EXPECT_EQ(selected(), (std::vector<int>{4, 5}));
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 5);

    SetWindowLong(list, GWL_STYLE, GetWindowLong(list, GWL_STYLE) | static_cast<LONG>(LVS_SINGLESEL));
    press(0, MK_CONTROL);
    EXPECT_EQ(selected(), (std::vector<int>{0}));
}

}  // namespace
