// The browser in a headless main window: filling from the tree, thumbnails
// from the worker, folder switches while it runs, multiple selection and
// files that other processes make or delete.
#include "tests/app/browser_fixture.h"

#include "app/browser/folder_tree.h"
#include "platform/window/input.h"
#include "platform/controls/controls.h"
#include "imagelib/formats.h"
#include "rawcodec/rawcodec.h"
#include "platform/gdi/gdi.h"
#include "platform/menu/menu.h"
#include "platform/platform.h"
#include "platform/window/window.h"
#include "tests/support/platform_support.h"

#include <chrono>
#include <thread>

using namespace fotrix;
using namespace browsertest;

namespace {

using BrowserList = BrowserWindow;

TEST_F(BrowserList, NavigatingFillsTheListAndTheWorkerMakesThumbnails)
{
    writeBmp(dir / "one.bmp", 64, 48);
    writeBmp(dir / "two.bmp", 30, 90);
    testsupport::writeFile(dir / "broken.bmp", std::string("BM this is no picture at all"));
    testsupport::writeFile(dir / "show.alb", std::string("PK"));
    ASSERT_TRUE(NavigateTo(folder()));
    EXPECT_EQ(gApp.currentFolder, folder());
    ASSERT_EQ(fileCount(), 4);
    settle();
    EXPECT_FALSE(BrowserBusy());
    // Name order: broken, one, show, two.
    EXPECT_EQ(gApp.files[0].state, EntryNoThumbnail);
    EXPECT_EQ(itemText(0, 1), "");
    EXPECT_EQ(gApp.files[1].state, EntryThumbnail);
    EXPECT_EQ(itemText(1, 1), "64x48,16M");
    EXPECT_EQ(itemText(1, 2), "BMP");
    EXPECT_EQ(gApp.files[2].state, EntryAlbum);
    EXPECT_EQ(itemText(2, 1), "Album");
    EXPECT_EQ(gApp.files[3].state, EntryThumbnail);
    // Reduced into the 60x60 cell of the default thumbnail size.
    EXPECT_EQ(gApp.files[1].thumbnailWidth, 60);
    EXPECT_EQ(gApp.files[1].thumbnailHeight, 45);
    EXPECT_EQ(gApp.files[3].thumbnailHeight, 60);
    EXPECT_EQ(itemText(1, 3), "9.05 KB");  // 54 + 192 x 48 = 9270 bytes
    // Names are item texts only in List mode; the other modes draw them.
    EXPECT_EQ(itemText(1, 0), "");
    EXPECT_EQ(ListItemShownText(1), "one.bmp");
    gApp.showExt = 0;
    EXPECT_EQ(ListItemShownText(1), "one");
    gApp.mode = ModeList;
    SetListItemTexts(true);
    EXPECT_EQ(itemText(1, 0), "one");
    EXPECT_EQ(ListItemShownText(1), "one | 64x48,16M | BMP | 9.05 KB | " + itemText(1, 4));
    gApp.showExt = 1;
    if (const char* shot = std::getenv("BROWSER_SCREENSHOT")) {
        gApp.mode = ModeThumbnails;
        SetWindowLong(gApp.listWindow, GWL_STYLE, GetWindowLong(gApp.listWindow, GWL_STYLE) | LVS_ICON);
        SelectOnly(1);
        PlatformRunPending();
        ASSERT_TRUE(PlatformScreenshot(shot));
    }
}

TEST_F(BrowserList, TreePathsAndNavigationToAMissingFolder)
{
    std::filesystem::create_directories(dir / "Alpha" / "beta");
    std::filesystem::create_directories(dir / "Alpha" / ".hidden");
    std::filesystem::create_directories(dir / "Alpha" / "Aardvark");
    ASSERT_TRUE(NavigateTo(folder("Alpha/beta")));
    HTREEITEM selected = reinterpret_cast<HTREEITEM>(SendMessage(gApp.treeWindow, TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_EQ(TreeItemPath(selected), folder("Alpha/beta"));
    HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessage(gApp.treeWindow, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    EXPECT_EQ(TreeItemPath(root), "/");
    // Case is ignored on the way down.
    ASSERT_TRUE(NavigateTo(folder("ALPHA")));
    EXPECT_EQ(gApp.currentFolder, folder("Alpha"));
    HTREEITEM alpha = FindTreeItem(folder("Alpha"));
    ASSERT_NE(alpha, nullptr);
    std::vector<std::string> children;
    for (HTREEITEM c = reinterpret_cast<HTREEITEM>(SendMessage(gApp.treeWindow, TVM_GETNEXTITEM, TVGN_CHILD,
                                                               reinterpret_cast<LPARAM>(alpha)));
         c; c = reinterpret_cast<HTREEITEM>(SendMessage(gApp.treeWindow, TVM_GETNEXTITEM, TVGN_NEXT,
                                                        reinterpret_cast<LPARAM>(c))))
        children.push_back(TreeItemPath(c));
    EXPECT_EQ(children, (std::vector<std::string>{folder("Alpha/Aardvark"), folder("Alpha/beta")}));
    EXPECT_FALSE(NavigateTo(folder("Alpha/gone")));
    EXPECT_EQ(gApp.currentFolder, folder("Alpha"));
    HTREEITEM made = InsertFolder(FindTreeItem(folder("Alpha")), "gamma");
    EXPECT_EQ(TreeItemPath(made), folder("Alpha/gamma"));
    RemoveFolder(made);
    EXPECT_EQ(FindTreeItem(folder("Alpha/gamma")), nullptr);
}

TEST_F(BrowserList, SwitchingFoldersWhileThumbnailsAreMadeKeepsTheOldFolderOut)
{
    std::filesystem::create_directories(dir / "many");
    std::filesystem::create_directories(dir / "few");
    for (int i = 0; i < 40; ++i) writeBmp(dir / "many" / ("p" + std::to_string(100 + i) + ".bmp"), 400, 300);
    for (int i = 0; i < 3; ++i) writeBmp(dir / "few" / ("q" + std::to_string(i) + ".bmp"), 20, 10);
    ASSERT_TRUE(NavigateTo(folder("many")));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PlatformRunPending();
    ASSERT_TRUE(NavigateTo(folder("few")));
    settle();
    ASSERT_EQ(fileCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gApp.files[static_cast<size_t>(i)].state, EntryThumbnail);
        EXPECT_EQ(itemText(i, 1), "20x10,16M") << i;
        EXPECT_EQ(gApp.files[static_cast<size_t>(i)].thumbnailWidth, 20);
    }
}

TEST_F(BrowserList, ThumbnailsWaitingWhenTheListChangesStillShowTheirTexts)
{
    for (int i = 0; i < 12; ++i) writeBmp(dir / ("t" + std::to_string(10 + i) + ".bmp"), 40, 20);
    ASSERT_TRUE(NavigateTo(folder()));
    // Let the worker post results without the main thread taking them, then change one entry.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    RefreshFile(folder(), "t10.bmp");
    settle();
    for (int i = 0; i < fileCount(); ++i) EXPECT_EQ(itemText(i, 1), "40x20,16M") << i;
}

TEST_F(BrowserList, SortingKeepsTheSelectionOnTheSameFiles)
{
    writeBmp(dir / "a.bmp", 10, 10);
    writeBmp(dir / "b.bmp", 50, 50);
    writeBmp(dir / "c.bmp", 30, 30);
    ASSERT_TRUE(NavigateTo(folder()));
    settle();
    SelectOnly(0);  // a.bmp
    gApp.sort = SortBySize | kSortDescending;
    SortList(true);
    auto selected = SelectedFiles(true);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].path, folder() + "a.bmp");
    EXPECT_EQ(selected[0].index, 2);
    EXPECT_EQ(itemText(0, 1), "50x50,16M");  // texts follow their entries
}

POINT itemCentre(int index)
{
    RECT r{};
    ListView_GetItemRect(gApp.listWindow, index, &r, LVIR_BOUNDS);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(gApp.listWindow, &p);
    return p;
}

void tap(POINT p)
{
    PlatformStylusInput(StylusDown, p.x, p.y);
    PlatformStylusInput(StylusUp, p.x, p.y);
    PlatformRunPending();
    PlatformAdvanceClock(1000);  // no double tap with the next one
    PlatformRunPending();
}

TEST_F(BrowserList, MultipleSelectionTapsToggleOneItem)
{
    for (int i = 0; i < 3; ++i) writeBmp(dir / ("m" + std::to_string(i) + ".bmp"), 8, 8);
    ASSERT_TRUE(NavigateTo(folder()));
    settle();
    tap(itemCentre(0));
    EXPECT_EQ(SelectedCount(), 1);
    RunBrowserCommand(main, CmdMultipleSelection);
    ASSERT_EQ(gApp.multiSelect, 1);
    tap(itemCentre(2));
    EXPECT_EQ(SelectedCount(), 2);
    tap(itemCentre(0));
    auto selected = SelectedFiles(false);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].index, 2);
    RunBrowserCommand(main, CmdSelectInvert);
    EXPECT_EQ(SelectedCount(), 2);
    RunBrowserCommand(main, CmdMultipleSelection);
    tap(itemCentre(1));
    EXPECT_EQ(SelectedCount(), 1);
}

// Runs messages in real time until `done` holds or a few seconds pass.
template <typename Done>
bool waitFor(Done done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        PlatformRunPending();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(BrowserList, FilesMadeAndDeletedByAnotherProcessComeAndGo)
{
    writeBmp(dir / "first.bmp", 16, 16);
    writeBmp(dir / "second.bmp", 16, 16);
    ASSERT_TRUE(NavigateTo(folder()));
    settle();
    ASSERT_EQ(fileCount(), 2);
    const std::string copy = "cp '" + (dir / "first.bmp").string() + "' '" + (dir / "third.bmp").string() + "'";
    ASSERT_EQ(testsupport::run(copy), 0);
    ASSERT_TRUE(waitFor([] { return fileCount() == 3; }));
    settle();
    EXPECT_EQ(gApp.files[2].path, folder() + "third.bmp");
    EXPECT_EQ(itemText(2, 1), "16x16,16M");
    EXPECT_EQ(ListView_GetItemCount(gApp.listWindow), 3);
    // Deleting the last file selects the new last one.
    SelectOnly(2);
    ASSERT_EQ(testsupport::run("rm '" + (dir / "third.bmp").string() + "'"), 0);
    ASSERT_TRUE(waitFor([] { return fileCount() == 2; }));
    auto selected = SelectedFiles(true);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].index, 1);
    // A file rewritten from outside gets its thumbnail made again.
    std::filesystem::create_directory(dir / "elsewhere");
    writeBmp(dir / "elsewhere" / "big.bmp", 24, 12);
    ASSERT_EQ(testsupport::run("cp '" + (dir / "elsewhere" / "big.bmp").string() + "' '" + (dir / "first.bmp").string() + "'"), 0);
    ASSERT_TRUE(waitFor([this] { return itemText(0, 1) == "24x12,16M"; }));
    // A file that is no picture never joins.
    testsupport::writeFile(dir / "readme.txt", std::string("text"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    PlatformRunPending();
    EXPECT_EQ(fileCount(), 2);
}

TEST_F(BrowserList, GoToCommandsWalkUpTheFolders)
{
    std::filesystem::create_directories(dir / "a" / "b");
    ASSERT_TRUE(NavigateTo(folder("a/b")));
    HMENU goTo = CreatePopupMenu();
    AppendMenu(goTo, MF_STRING, CmdGoUp, "Up");
    FillGoToMenu(goTo);
    const int count = GetMenuItemCount(goTo);
    ASSERT_GE(count, 3);
    // The last two path items are the temporary folder and a/ (the folder shown is left out).
    char text[128] = "";
    GetMenuString(goTo, static_cast<UINT>(count - 1), text, sizeof text, MF_BYPOSITION);
    EXPECT_NE(std::string(text).find("..."), std::string::npos);  // long paths are cut to 100 pixels
    const UINT lastId = GetMenuItemID(goTo, count - 1);
    DestroyMenu(goTo);
    RunBrowserCommand(main, static_cast<int>(lastId));
    EXPECT_EQ(gApp.currentFolder, folder("a"));
    ASSERT_TRUE(NavigateTo(folder("a/b")));
    RunBrowserCommand(main, CmdGoUp);
    EXPECT_EQ(gApp.currentFolder, folder("a"));
    setenv("FOTRIX_HOME", folder("a/b").c_str(), 1);
    RunBrowserCommand(main, CmdGoToMyDocuments);
    unsetenv("FOTRIX_HOME");
    EXPECT_EQ(gApp.currentFolder, folder("a/b"));
    EXPECT_TRUE(BrowserCommandReady(CmdPaste));
    EXPECT_FALSE(BrowserCommandReady(CmdAbout));
    EXPECT_TRUE(BrowserCommandReady(CmdGoToPathFolder0));
}

TEST(BrowserCells, CellSizeFollowsThumbSizeAndResolution)
{
    gApp = AppState{};
    const int expected[] = {38, 50, 60, 80, 102, 38};
    for (int size = 0; size <= 5; ++size) {
        gApp.thumbSize = size;
        EXPECT_EQ(ThumbnailCellWidth(), expected[size]) << size;
    }
    gApp.thumbSize = 2;
    gApp.dpiX = 192;
    gApp.dpiY = 131;
    EXPECT_EQ(ThumbnailCellWidth(), 120);
    EXPECT_EQ(ThumbnailCellHeight(), (60 * 131 + 48) / 96);
    gApp = AppState{};
}

}  // namespace

namespace {

int cancelAtOnce(void*) { return 1; }

TEST(BrowserThumbnail, AStopAsksTheDecodeToEndAndAFailedLoadLeavesNothing)
{
    testsupport::TempDir dir;
    ASSERT_TRUE(platformtest::startHeadless());
    libraryInit();
    writeBmp(dir / "big.bmp", 300, 200);
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0;
    FileInfo info{};
    EXPECT_EQ(LoadThumbnail((dir / "big.bmp").string(), 60, 60, true, cancelAtOnce, nullptr, &bitmap, &width, &height,
                            &info),
              15);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(LoadThumbnail((dir / "big.bmp").string(), 60, 60, true, nullptr, nullptr, &bitmap, &width, &height, &info),
              0);
    EXPECT_EQ(width, 60);
    EXPECT_EQ(height, 40);
    EXPECT_EQ(info.width, 300);
    ASSERT_NE(bitmap, nullptr);
    DeleteObject(bitmap);
    freeFileInfo(info);
    libraryExit();
    PlatformShutdown();
}

}  // namespace

namespace {

TEST_F(BrowserList, StorageCardGoesToTheFirstCardFolderThatHoldsPictures)
{
    std::filesystem::create_directories(dir / "cardA" / "docs");
    std::filesystem::create_directories(dir / "cardB" / "DCIM" / "100CAM");
    testsupport::writeFile(dir / "cardA" / "docs" / "icon.ico", std::string("x"));  // icons do not count
    writeBmp(dir / "cardB" / "DCIM" / "100CAM" / "img1.bmp", 8, 8);
    const std::string cards = folder("cardA") + ":" + folder("cardB");
    setenv("FOTRIX_CARDS", cards.c_str(), 1);
    RunBrowserCommand(main, CmdGoToStorageCard);
    EXPECT_EQ(gApp.currentFolder, folder("cardB/DCIM/100CAM"));
    EXPECT_EQ(fileCount(), 1);
    // No card holds a picture: the last card's root.
    std::filesystem::remove(dir / "cardB" / "DCIM" / "100CAM" / "img1.bmp");
    RunBrowserCommand(main, CmdGoToStorageCard);
    EXPECT_EQ(gApp.currentFolder, folder("cardB"));
    unsetenv("FOTRIX_CARDS");
}

}  // namespace

namespace {

TEST_F(BrowserList, DetailsRowsAreShadedByIndexAndSelectionAndShowTheThumbnail)
{
    writeBmp(dir / "a.bmp", 40, 40, 10);
    writeBmp(dir / "b.bmp", 40, 40, 10);
    ASSERT_TRUE(NavigateTo(folder()));
    settle();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP surface = CreateCompatibleBitmap(screen, 240, 64);
    HGDIOBJ old = SelectObject(dc, surface);
    auto drawRow = [&](int index, UINT state) {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_LISTVIEW;
        draw.itemID = static_cast<UINT>(index);
        draw.itemState = state;
        draw.hwndItem = gApp.listWindow;
        draw.hDC = dc;
        draw.rcItem = RECT{0, 0, 240, 64};
        DrawDetailsRow(&draw);
    };
    drawRow(0, 0);
    EXPECT_EQ(GetPixel(dc, 2, 62), 0xE6E6EBu);
    // The 40x40 thumbnail, centred in the 60-pixel cell 6 pixels from the left.
    EXPECT_EQ(GetPixel(dc, 6 + 30, 32), RGB(10, 10, 10));
    EXPECT_EQ(GetPixel(dc, 6 + 5, 32), 0xE6E6EBu);
    drawRow(1, 0);
    EXPECT_EQ(GetPixel(dc, 2, 62), 0xCAEDEDu);
    drawRow(1, ODS_SELECTED);
    EXPECT_EQ(GetPixel(dc, 2, 62), 0xE3D6CEu);
    SelectObject(dc, old);
    DeleteObject(surface);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    MEASUREITEMSTRUCT measure{};
    MeasureDetailsRow(&measure);
    EXPECT_EQ(measure.itemHeight, 64u);
}

}  // namespace

namespace {

// One file of each kind the library reads, from the public test suites (the
// other camera raw samples there are stripped of every picture).
const char* const kEveryFormat[] = {
    "BMP.bmp", "ExifTool.jpg", "GIF.gif", "ICO.ico", "PCX.pcx", "PNG.png", "PPM.ppm", "Photoshop.psd",
    "ExifTool.tif", "FujiFilm.raf",
};

TEST_F(BrowserList, AFolderOfEveryFormatGetsThumbnails)
{
    rawcodecAttach();
    int copied = 0;
    for (const char* name : kEveryFormat) {
        const auto source = testsupport::testdata(std::string("exiftool/") + name);
        if (!std::filesystem::exists(source)) continue;
        std::filesystem::copy_file(source, dir / name);
        ++copied;
    }
    if (copied == 0) SKIP_MISSING("no test data");
    if (testsupport::haveTool("convert")) {
        ASSERT_EQ(testsupport::run("convert -size 50x20 xc:red '" + (dir / "made.tga").string() + "'"), 0);
        ++copied;
    }
    ASSERT_TRUE(NavigateTo(folder()));
    ASSERT_EQ(fileCount(), copied);
    settle(60);
    for (int i = 0; i < fileCount(); ++i) {
        const FileEntry& entry = gApp.files[static_cast<size_t>(i)];
        EXPECT_EQ(entry.state, EntryThumbnail) << entry.path;
        EXPECT_NE(itemText(i, 2), "") << entry.path;
        EXPECT_LE(entry.thumbnailWidth, ThumbnailCellWidth()) << entry.path;
        EXPECT_LE(entry.thumbnailHeight, ThumbnailCellHeight()) << entry.path;
    }
}

}  // namespace

namespace {

TEST_F(BrowserList, NamesThatAreNotUtf8AreListedAndDrawn)
{
    const std::string odd = std::string("caf\xE9-\xFF\xFE-a-rather-long-name") + ".bmp";
    writeBmp(dir / odd, 12, 12);
    writeBmp(dir / "plain.bmp", 12, 12);
    ASSERT_TRUE(NavigateTo(folder()));
    settle();
    ASSERT_EQ(fileCount(), 2);
    EXPECT_EQ(gApp.files[0].path, folder() + odd);
    EXPECT_EQ(gApp.files[0].state, EntryThumbnail);
    InvalidateRect(gApp.listWindow, nullptr, TRUE);
    PlatformRunPending();  // paints the cut labels
    HDC dc = GetDC(gApp.listWindow);
    const std::string cut = FitText(dc, odd, 40);
    ReleaseDC(gApp.listWindow, dc);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_LT(cut.size(), odd.size());
}

}  // namespace

namespace {

// A 24-bit BMP of alternating black and white columns.
void writeStripes(const std::filesystem::path& path, int width, int height)
{
    writeBmp(path, width, height, 0);
    std::vector<uint8_t> bytes = testsupport::readFile(path);
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    for (int y = 0; y < height; ++y)
        for (int x = 1; x < width; x += 2)
            for (int c = 0; c < 3; ++c) bytes[54 + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3 + c] = 255;
    testsupport::writeFile(path, bytes);
}

COLORREF centrePixel(HBITMAP bitmap, int width, int height)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, width / 2, height / 2);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

TEST(BrowserThumbnail, HighQualityAveragesWhatNearestPicks)
{
    testsupport::TempDir dir;
    ASSERT_TRUE(platformtest::startHeadless());
    libraryInit();
    writeStripes(dir / "stripes.bmp", 120, 120);
    for (bool high : {false, true}) {
        HBITMAP bitmap = nullptr;
        int width = 0, height = 0;
        FileInfo info{};
        ASSERT_EQ(LoadThumbnail((dir / "stripes.bmp").string(), 60, 60, high, nullptr, nullptr, &bitmap, &width, &height,
                                &info),
                  0);
        ASSERT_EQ(width, 60);
        const int red = GetRValue(centrePixel(bitmap, width, height));
        if (high) EXPECT_NEAR(red, 128, 2);
        else EXPECT_TRUE(red == 0 || red == 255) << red;
        DeleteObject(bitmap);
        freeFileInfo(info);
    }
    libraryExit();
    PlatformShutdown();
}

}  // namespace
