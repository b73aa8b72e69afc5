// Image lists: adding strips with masks, masked and blended drawing checked by
// pixels; the system icon lists and SHGetFileInfo on real files and folders.
#include "platform/controls/controls.h"
#include "tests/support/platform_support.h"

#include <cstdlib>
#include <filesystem>

using namespace platformtest;
namespace fs = std::filesystem;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);

// A 32-bit bitmap whose pixels come from a function of (x, y).
template <class F>
HBITMAP makeBitmap(int w, int h, F colourAt)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* p = static_cast<uint32_t*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = colourAt(x, y);
            p[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return b;
}

// Three 4 x 4 cells: red, blue, green, each with a magenta left column.
HBITMAP threeCells()
{
    return makeBitmap(12, 4, [](int x, int) {
        if (x % 4 == 0) return kMagenta;
        return x < 4 ? kRed : x < 8 ? kBlue : kGreen;
    });
}

class ImageLists : public Headless {
protected:
    void TearDown() override
    {
        for (HIMAGELIST l : made) ImageList_Destroy(l);
        Headless::TearDown();
    }
    HIMAGELIST create(int cx, int cy, UINT flags)
    {
        HIMAGELIST l = ImageList_Create(cx, cy, flags, 4, 4);
        made.push_back(l);
        return l;
    }
    std::vector<HIMAGELIST> made;
};

TEST_F(ImageLists, strips_are_cut_into_cells_and_counted)
{
    HIMAGELIST l = create(4, 4, ILC_COLOR24 | ILC_MASK);
    ASSERT_NE(l, nullptr);
    HBITMAP strip = threeCells();
    EXPECT_EQ(ImageList_AddMasked(l, strip, kMagenta), 0);
    EXPECT_EQ(ImageList_AddMasked(l, strip, kMagenta), 3);  // returns the first new index
    EXPECT_EQ(ImageList_GetImageCount(l), 6);
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(l, &cx, &cy));
    EXPECT_EQ(cx, 4);
    EXPECT_EQ(cy, 4);

    // A bitmap narrower than a cell still gives one picture.
    HBITMAP narrow = makeBitmap(2, 4, [](int, int) { return kRed; });
    EXPECT_EQ(ImageList_Add(l, narrow, nullptr), 6);
    EXPECT_EQ(ImageList_GetImageCount(l), 7);

    EXPECT_TRUE(ImageList_Remove(l, 1));
    EXPECT_EQ(ImageList_GetImageCount(l), 6);
    EXPECT_FALSE(ImageList_Remove(l, 6));
    EXPECT_TRUE(ImageList_Remove(l, -1));
    EXPECT_EQ(ImageList_GetImageCount(l), 0);
    EXPECT_EQ(ImageList_Add(l, nullptr, nullptr), -1);
    EXPECT_EQ(ImageList_Create(0, 4, ILC_COLOR, 1, 1), nullptr);
    DeleteObject(strip);
    DeleteObject(narrow);
}

TEST_F(ImageLists, masked_pictures_leave_the_background_and_fill_it_with_the_bk_colour)
{
    HIMAGELIST l = create(4, 4, ILC_COLOR32 | ILC_MASK);
    HBITMAP strip = threeCells();
    ImageList_AddMasked(l, strip, kMagenta);
    MemorySurface s(20, 10, RGB(255, 255, 255));

    EXPECT_TRUE(ImageList_Draw(l, 1, s.dc, 2, 3, ILD_NORMAL));
    EXPECT_EQ(s.at(2, 3), RGB(255, 255, 255));  // masked column shows the surface
    EXPECT_EQ(s.at(3, 3), kBlue);
    EXPECT_EQ(s.at(5, 6), kBlue);
    EXPECT_EQ(s.at(6, 3), RGB(255, 255, 255));  // right of the cell untouched

    EXPECT_EQ(ImageList_SetBkColor(l, RGB(1, 2, 3)), CLR_NONE);
    EXPECT_EQ(ImageList_GetBkColor(l), RGB(1, 2, 3));
    ImageList_Draw(l, 0, s.dc, 10, 0, ILD_NORMAL);
    EXPECT_EQ(s.at(10, 0), RGB(1, 2, 3));  // transparent pixels take the list's background
    EXPECT_EQ(s.at(11, 0), kRed);
    ImageList_Draw(l, 0, s.dc, 15, 0, ILD_TRANSPARENT);
    EXPECT_EQ(s.at(15, 0), RGB(255, 255, 255));  // ... unless drawn transparent
    // DrawEx's own background overrides the list's.
    ImageList_DrawEx(l, 2, s.dc, 10, 5, 0, 0, RGB(9, 9, 9), CLR_DEFAULT, ILD_NORMAL);
    EXPECT_EQ(s.at(10, 5), RGB(9, 9, 9));
    EXPECT_EQ(s.at(12, 5), kGreen);
    DeleteObject(strip);
}

TEST_F(ImageLists, without_ilc_mask_the_mask_colour_is_drawn)
{
    HIMAGELIST l = create(4, 4, ILC_COLOR24);
    HBITMAP strip = threeCells();
    ImageList_AddMasked(l, strip, kMagenta);
    MemorySurface s(8, 8, RGB(255, 255, 255));
    ImageList_Draw(l, 0, s.dc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(s.at(0, 0), kMagenta);
    EXPECT_EQ(s.at(1, 0), kRed);
    DeleteObject(strip);
}

TEST_F(ImageLists, a_mask_bitmap_marks_white_pixels_transparent)
{
    HIMAGELIST l = create(4, 4, ILC_COLOR24 | ILC_MASK);
    HBITMAP image = makeBitmap(4, 4, [](int, int) { return kRed; });
    HBITMAP mask = makeBitmap(4, 4, [](int x, int y) { return (x + y) % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0); });
    ASSERT_EQ(ImageList_Add(l, image, mask), 0);
    MemorySurface s(4, 4, kBlue);
    ImageList_Draw(l, 0, s.dc, 0, 0, ILD_NORMAL);
    EXPECT_EQ(s.at(0, 0), kRed);
    EXPECT_EQ(s.at(1, 0), kBlue);
    EXPECT_EQ(s.at(1, 1), kRed);
    ImageList_Draw(l, 0, s.dc, 0, 0, ILD_MASK);
    EXPECT_EQ(s.at(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(s.at(1, 0), RGB(255, 255, 255));

    // Replacing keeps the count and changes the picture.
    HBITMAP green = makeBitmap(4, 4, [](int, int) { return kGreen; });
    EXPECT_TRUE(ImageList_Replace(l, 0, green, nullptr));
    EXPECT_FALSE(ImageList_Replace(l, 1, green, nullptr));
    ImageList_Draw(l, 0, s.dc, 0, 0, ILD_NORMAL);
    EXPECT_EQ(s.at(1, 0), kGreen);
    EXPECT_EQ(ImageList_GetImageCount(l), 1);
    DeleteObject(image);
    DeleteObject(mask);
    DeleteObject(green);
}

TEST_F(ImageLists, selected_and_focused_pictures_blend_with_the_highlight)
{
    HIMAGELIST l = create(4, 4, ILC_COLOR24 | ILC_MASK);
    HBITMAP strip = threeCells();
    ImageList_AddMasked(l, strip, kMagenta);
    MemorySurface s(12, 4, RGB(255, 255, 255));
    COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);

    ImageList_Draw(l, 0, s.dc, 0, 0, ILD_SELECTED);
    COLORREF half = s.at(1, 1);
    EXPECT_EQ(GetRValue(half), (255 + GetRValue(hl)) / 2);
    EXPECT_EQ(GetGValue(half), (0 + GetGValue(hl)) / 2);
    EXPECT_EQ(GetBValue(half), (0 + GetBValue(hl)) / 2);
    EXPECT_EQ(s.at(0, 1), RGB(255, 255, 255));  // transparent pixels are not tinted

    ImageList_Draw(l, 0, s.dc, 4, 0, ILD_FOCUS);
    COLORREF quarter = s.at(5, 1);
    EXPECT_EQ(GetRValue(quarter), (255 * 3 + GetRValue(hl)) / 4);
    EXPECT_EQ(GetBValue(quarter), (0 * 3 + GetBValue(hl)) / 4);

    // An explicit foreground colour replaces the highlight.
    ImageList_DrawEx(l, 1, s.dc, 8, 0, 0, 0, CLR_NONE, RGB(255, 255, 255), ILD_BLEND50);
    EXPECT_EQ(s.at(9, 1), RGB(127, 127, 255));
    DeleteObject(strip);
}

TEST_F(ImageLists, drawing_is_clipped_and_bad_indices_and_handles_are_refused)
{
    HIMAGELIST l = create(4, 4, ILC_COLOR24 | ILC_MASK);
    HBITMAP strip = threeCells();
    ImageList_AddMasked(l, strip, kMagenta);
    MemorySurface s(4, 4, RGB(255, 255, 255));
    EXPECT_TRUE(ImageList_Draw(l, 0, s.dc, -2, -2, ILD_NORMAL));
    EXPECT_EQ(s.at(0, 0), kRed);
    EXPECT_EQ(s.at(2, 2), RGB(255, 255, 255));
    EXPECT_TRUE(ImageList_Draw(l, 2, s.dc, 3, 3, ILD_NORMAL));
    EXPECT_EQ(s.at(3, 3), RGB(255, 255, 255));  // the masked column lands there
    // A part of the picture only: cx x cy from its top-left.
    MemorySurface t(4, 4, RGB(255, 255, 255));
    ImageList_DrawEx(l, 0, t.dc, 0, 0, 2, 1, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
    EXPECT_EQ(t.at(1, 0), kRed);
    EXPECT_EQ(t.at(2, 0), RGB(255, 255, 255));
    EXPECT_EQ(t.at(1, 1), RGB(255, 255, 255));

    EXPECT_FALSE(ImageList_Draw(l, 3, s.dc, 0, 0, ILD_NORMAL));
    EXPECT_FALSE(ImageList_Draw(l, -1, s.dc, 0, 0, ILD_NORMAL));
    HIMAGELIST gone = ImageList_Create(4, 4, ILC_COLOR, 1, 1);
    EXPECT_TRUE(ImageList_Destroy(gone));
    EXPECT_FALSE(ImageList_Destroy(gone));
    EXPECT_EQ(ImageList_GetImageCount(gone), 0);
    EXPECT_EQ(ImageList_AddMasked(gone, strip, kMagenta), -1);
    EXPECT_FALSE(ImageList_Draw(gone, 0, s.dc, 0, 0, ILD_NORMAL));
    DeleteObject(strip);
}

TEST_F(ImageLists, icons_are_scaled_into_the_cell_with_their_transparency)
{
    static const char* const kRows[] = {"#o", ".r"};
    const ArtResource icons[] = {{0, "TwoByTwo", 0, 0, 2, kRows}};
    RegisterIcons(icons, 1);
    HICON icon = LoadIcon(GetModuleHandle(nullptr), "TwoByTwo");
    ASSERT_NE(icon, nullptr);
    HIMAGELIST l = create(4, 4, ILC_COLOR32 | ILC_MASK);
    EXPECT_EQ(ImageList_AddIcon(l, icon), 0);
    EXPECT_EQ(ImageList_ReplaceIcon(l, 0, icon), 0);
    EXPECT_EQ(ImageList_ReplaceIcon(l, 5, icon), -1);
    MemorySurface s(4, 4, kBlue);
    ImageList_Draw(l, 0, s.dc, 0, 0, ILD_NORMAL);
    EXPECT_EQ(s.at(1, 1), RGB(0, 0, 0));       // '#' doubled
    EXPECT_EQ(s.at(3, 0), RGB(255, 255, 255));  // 'o'
    EXPECT_EQ(s.at(0, 3), kBlue);               // '.' transparent
    EXPECT_EQ(GetBValue(s.at(3, 3)), 0x20);     // 'r'
    EXPECT_EQ(GetRValue(s.at(3, 3)), 0xE0);
}

// ---- System icon lists ----

class ShellInfo : public ImageLists {
protected:
    testsupport::TempDir dir;
    std::string path(const std::string& name) const { return (dir / name).string(); }
};

TEST_F(ShellInfo, folders_and_files_get_their_icons_names_and_types)
{
    fs::create_directory(dir / "Holidays");
    fs::create_directory(dir / "Holidays" / "Day 1");
    fs::create_directory(dir / "Empty");
    testsupport::writeFile(dir / "Beach.JPG", std::string("x"));
    testsupport::writeFile(dir / "show.alb", std::string("x"));
    testsupport::writeFile(dir / "notes.txt", std::string("x"));

    SHFILEINFO info{};
    UINT all = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_ATTRIBUTES;
    auto small = reinterpret_cast<HIMAGELIST>(SHGetFileInfo(path("Holidays/").c_str(), 0, &info, sizeof info, all));
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(info.iIcon, SYSICON_FOLDER);
    EXPECT_STREQ(info.szDisplayName, "Holidays");
    EXPECT_STREQ(info.szTypeName, "Folder");
    EXPECT_EQ(info.dwAttributes & (SFGAO_FOLDER | SFGAO_HASSUBFOLDER), SFGAO_FOLDER | SFGAO_HASSUBFOLDER);
    EXPECT_EQ(SHGetFileInfo(path("Empty").c_str(), 0, &info, sizeof info, all), reinterpret_cast<DWORD_PTR>(small));
    EXPECT_EQ(info.dwAttributes & SFGAO_HASSUBFOLDER, 0u);
    SHGetFileInfo(path("Empty").c_str(), 0, &info, sizeof info, all | SHGFI_OPENICON);
    EXPECT_EQ(info.iIcon, SYSICON_FOLDER_OPEN);

    SHGetFileInfo(path("Beach.JPG").c_str(), 0, &info, sizeof info, all);
    EXPECT_EQ(info.iIcon, SYSICON_PICTURE);
    EXPECT_STREQ(info.szTypeName, "JPG File");
    EXPECT_EQ(info.dwAttributes & SFGAO_FOLDER, 0u);
    SHGetFileInfo(path("show.alb").c_str(), 0, &info, sizeof info, all);
    EXPECT_EQ(info.iIcon, SYSICON_ALBUM);
    SHGetFileInfo(path("notes.txt").c_str(), 0, &info, sizeof info, all);
    EXPECT_EQ(info.iIcon, SYSICON_FILE);

    // Without SHGFI_SYSICONINDEX the answer is plain success; a missing file fails.
    EXPECT_EQ(SHGetFileInfo(path("notes.txt").c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME), 1u);
    EXPECT_EQ(SHGetFileInfo(path("missing.jpg").c_str(), 0, &info, sizeof info, all), 0u);
    // ... unless the caller tells the attributes.
    info.iIcon = -1;
    EXPECT_NE(SHGetFileInfo(path("missing").c_str(), FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                            all | SHGFI_USEFILEATTRIBUTES),
              0u);
    EXPECT_EQ(info.iIcon, SYSICON_FOLDER);
    EXPECT_EQ(SHGetFileInfo(path("notes.txt").c_str(), 0, &info, sizeof info - 1, all), 0u);
}

TEST_F(ShellInfo, the_root_and_storage_cards_have_their_own_icons)
{
    fs::create_directory(dir / "Card");
    setenv("FOTRIX_STORAGE_ROOTS", dir.path().string().c_str(), 1);
    SHFILEINFO info{};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_ATTRIBUTES | SHGFI_DISPLAYNAME;
    SHGetFileInfo(path("Card").c_str(), 0, &info, sizeof info, flags);
    unsetenv("FOTRIX_STORAGE_ROOTS");
    EXPECT_EQ(info.iIcon, SYSICON_STORAGE_CARD);
    EXPECT_NE(info.dwAttributes & SFGAO_REMOVABLE, 0u);
    // The item list of the root (null) is the device.
    EXPECT_NE(SHGetFileInfo(nullptr, 0, &info, sizeof info, flags | SHGFI_PIDL), 0u);
    EXPECT_EQ(info.iIcon, SYSICON_DEVICE);
    EXPECT_STREQ(info.szDisplayName, "My Device");
}

TEST_F(ShellInfo, system_lists_follow_the_icon_sizes_and_cannot_be_changed)
{
    SHFILEINFO info{};
    auto small = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfo(dir.path().string().c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    auto large = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfo(dir.path().string().c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_LARGEICON));
    ASSERT_NE(small, large);
    int cx, cy;
    ImageList_GetIconSize(small, &cx, &cy);
    EXPECT_EQ(cx, GetSystemMetrics(SM_CXSMICON));
    ImageList_GetIconSize(large, &cx, &cy);
    EXPECT_EQ(cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(ImageList_GetImageCount(small), SYSICON_COUNT);
    EXPECT_FALSE(ImageList_Destroy(small));
    EXPECT_FALSE(ImageList_Remove(small, -1));
    EXPECT_EQ(ImageList_GetImageCount(small), SYSICON_COUNT);

    // Every picture is drawn (something opaque near its middle) and they differ.
    std::vector<std::vector<COLORREF>> seen;
    for (int i = 0; i < SYSICON_COUNT; ++i) {
        MemorySurface s(cx, cy, RGB(1, 1, 1));
        ASSERT_TRUE(ImageList_Draw(large, i, s.dc, 0, 0, ILD_TRANSPARENT));
        EXPECT_NE(s.at(cx / 2, cy * 3 / 4), RGB(1, 1, 1)) << "icon " << i;
        std::vector<COLORREF> pixels;
        for (int y = 0; y < cy; ++y)
            for (int x = 0; x < cx; ++x) pixels.push_back(s.at(x, y));
        for (const auto& other : seen) EXPECT_NE(pixels, other) << "icon " << i;
        seen.push_back(pixels);
    }

    // At twice the resolution the same handles hold larger art.
    stop();
    start(480, 640, 192);
    auto again = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfo(dir.path().string().c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    EXPECT_EQ(again, small);
    ImageList_GetIconSize(again, &cx, &cy);
    EXPECT_EQ(cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_GT(cx, 16);
}

}  // namespace
