// The state file: its keys in their fixed order, values from the record and
// the list view, item lines in both list layouts, and extra writers.
#include "app/script/script.h"
#include "app/script/script_runtime.h"
#include "app/shell/app_state.h"
#include "app/viewer/main_view.h"
#include "tests/support/platform_support.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace fotrix;

namespace {

class ScriptState : public ::testing::Test {
protected:
    HWND main = nullptr;
    HWND list = nullptr;
    void SetUp() override
    {
        ASSERT_TRUE(platformtest::startHeadless());
        InitCommonControls();
        gApp = AppState{};
        WNDCLASS wc{};
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "StateMain";
        RegisterClass(&wc);
        main = CreateWindowEx(0, "StateMain", "Fotrix Pocket", WS_VISIBLE, 0, 26, 240, 294, nullptr, nullptr, nullptr, nullptr);
        SetActiveWindow(main);
    }
    void TearDown() override
    {
        DestroyWindow(main);
        PlatformRunPending();
        PlatformShutdown();
        gApp = AppState{};
    }
    void makeList(DWORD style, const std::vector<std::vector<std::string>>& rows, int columns)
    {
        list = CreateWindowEx(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 240, 200, main,
                              reinterpret_cast<HMENU>(1001), nullptr, nullptr);
        for (int c = 0; c < columns; ++c) {
            LVCOLUMN col{};
            col.mask = LVCF_WIDTH;
            col.cx = 40;
            ListViewSend(list, LVM_INSERTCOLUMN, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&col));
        }
        for (size_t r = 0; r < rows.size(); ++r) {
            LVITEM item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.pszText = const_cast<char*>(rows[r][0].c_str());
            ListView_InsertItem(list, &item);
            for (size_t c = 1; c < rows[r].size(); ++c) ListView_SetItemText(list, static_cast<int>(r), static_cast<int>(c), rows[r][c].c_str());
        }
        gApp.listWindow = list;
    }
    static void addEntry(const std::string& path, int state)
    {
        FileEntry e;
        e.path = path;
        e.state = state;
        gApp.files.push_back(e);
    }
};

std::vector<std::string> keysOf(const std::string& text)
{
    std::vector<std::string> keys;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) keys.push_back(line.substr(0, line.find(':')));
    return keys;
}

TEST_F(ScriptState, KeysComeInTheirOrderWithTheirValues)
{
    makeList(LVS_ICON, {{"a.jpg"}, {"b.png"}, {"trip.alb"}}, 0);
    addEntry("/pics/a.jpg", EntryThumbnail);
    addEntry("/pics/b.png", EntryNoThumbnail);
    addEntry("/pics/trip.alb", EntryAlbum);
    ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    gApp.mode = ModeThumbnails;
    gApp.returnMode = ModeDetails;
    gApp.currentFolder = "/pics/";
    gApp.sort = SortByDate | kSortDescending;
    gApp.currentIndex = 2;
    gApp.currentPage = 1;
    gApp.pageCount = 3;
    gApp.zoomPercent = -1;
    gApp.loadedWidth = 240;
    gApp.loadedHeight = 180;
    gApp.fullWidth = 1600;
    gApp.fullHeight = 1200;
    gApp.treeViewHeight = 90;
    gApp.treeHidden = 1;
    std::string text = script::StateText();
    EXPECT_EQ(text,
              "mode: 0\n"
              "return-mode: 2\n"
              "folder: /pics/\n"
              "sort: 4097\n"
              "items: 3\n"
              "selected: 0,2\n"
              "focused: 2\n"
              "current-index: 2\n"
              "current-page: 1\n"
              "page-count: 3\n"
              "zoom-percent: -1\n"
              "fit-mode: " + std::to_string(ViewGetFitMode()) + "\n"
              "view-zoom: " + std::to_string(ViewGetZoom()) + "\n"
              "loaded: 240x180\n"
              "full: 1600x1200\n"
              "tree-height: 90\n"
              "tree-hidden: 1\n"
              "list-hidden: 0\n"
              "slideshow: 0\n"
              "top-window: StateMain Fotrix Pocket\n"
              "message: \n"
              "slideshow-window: 0\n"
              "slide: -1\n"
              "sound: \n"
              "sheet: \n"
              "page: \n"
              "current-file: \n"
              "result: \n"
              "item: 0 a.jpg | a.jpg | 1\n"
              "item: 1 b.png | b.png | 0\n"
              "item: 2 trip.alb | trip.alb | 2\n");
}

TEST_F(ScriptState, ListModeShowsTheFiveColumns)
{
    makeList(LVS_REPORT, {{"a.jpg", "2026-01-02", "JPEG", "12 KB", "640x480"}}, 5);
    addEntry("/pics/a.jpg", EntryThumbnail);
    gApp.mode = ModeList;
    std::string text = script::StateText();
    EXPECT_NE(text.find("\nitem: 0 a.jpg | a.jpg | 2026-01-02 | JPEG | 12 KB | 640x480 | 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nselected: \nfocused: -1\n"), std::string::npos) << text;
}

TEST_F(ScriptState, NoListWindowAndTheSlideshow)
{
    addEntry("/pics/a.jpg", EntryNoThumbnail);
    gApp.mode = ModeSlideshow;
    std::string text = script::StateText();
    EXPECT_NE(text.find("\nselected: \nfocused: -1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nslideshow: 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nitem: 0 a.jpg |  | 0\n"), std::string::npos) << text;
}

TEST_F(ScriptState, ARegisteredItemTextSourceGivesTheText)
{
    makeList(LVS_ICON, {{"from the list"}}, 0);
    addEntry("/pics/a.jpg", EntryThumbnail);
    ScriptSetItemTextSource([](int index) { return "shown " + std::to_string(index) + "\nsecond line"; });
    std::string text = script::StateText();
    ScriptSetItemTextSource(nullptr);
    EXPECT_NE(text.find("\nitem: 0 a.jpg | shown 0\\nsecond line | 1\n"), std::string::npos) << text;
}

TEST_F(ScriptState, AMessageBoxShowsItsTextOnOneLine)
{
    HWND box = CreateMessageBox(main, "Two\nlines", "Fotrix", MB_OK);
    ASSERT_TRUE(box);
    SetActiveWindow(box);
    std::string text = script::StateText();
    EXPECT_NE(text.find("\nmessage: Two\\nlines\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\ntop-window: #32770 Fotrix\n"), std::string::npos) << text;
    DestroyWindow(box);
}

TEST_F(ScriptState, ExtraWritersFollowTheBuiltInKeysBeforeTheItems)
{
    addEntry("/pics/a.jpg", EntryNoThumbnail);
    ScriptAddStateWriter([](std::string& out) { out += "extra-key: 7\n"; });
    auto keys = keysOf(script::StateText());
    ASSERT_GE(keys.size(), 30u);
    EXPECT_EQ(keys[20], "message");
    EXPECT_EQ(keys[23], "sound");
    EXPECT_EQ(keys[27], "result");
    EXPECT_EQ(keys[28], "extra-key");
    EXPECT_EQ(keys[29], "item");
}

}  // namespace
