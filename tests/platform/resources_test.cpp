// Resources compiled into the program: strings, painted bitmaps, cursor art.
#include "tests/support/platform_support.h"

using namespace platformtest;

namespace {

using ResourcesTest = Headless;

void paintStripes(uint32_t* pixels, int width, int height)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[y * width + x] = x % 2 ? 0xFF0000 : 0x0000FF;
}

const char* const kPointer[] = {"#.", "o#"};

TEST_F(ResourcesTest, strings_bitmaps_and_cursors_load_from_the_tables)
{
    const StringResource strings[] = {{9001, "Caf\xC3\xA9"}, {9002, "Plain"}};
    RegisterStringTable(strings, 2);
    char buffer[16];
    EXPECT_EQ(LoadString(GetModuleHandle(nullptr), 9001, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "Caf\xC3\xA9");
    EXPECT_EQ(LoadString(GetModuleHandle(nullptr), 9001, buffer, 5), 3);  // never half a character
    EXPECT_STREQ(buffer, "Caf");
    EXPECT_EQ(LoadString(GetModuleHandle(nullptr), 9999, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");

    const BitmapResource bitmaps[] = {{192, nullptr, 4, 2, paintStripes}};
    RegisterBitmaps(bitmaps, 1);
    HBITMAP b = LoadBitmap(GetModuleHandle(nullptr), MAKEINTRESOURCE(192));
    ASSERT_NE(b, nullptr);
    BITMAP info;
    GetObject(b, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmHeight, 2);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, b);
    EXPECT_EQ(GetPixel(mem, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(mem, 1, 1), RGB(255, 0, 0));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(b);
    EXPECT_EQ(LoadBitmap(GetModuleHandle(nullptr), "NoSuchBitmap"), nullptr);

    const ArtResource cursors[] = {{0, "HandCur", 1, 0, 2, kPointer}};
    RegisterCursors(cursors, 1);
    HCURSOR hand = LoadCursor(GetModuleHandle(nullptr), "HandCur");
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(LoadCursor(GetModuleHandle(nullptr), "HandCur"), hand);
    EXPECT_EQ(LoadIcon(GetModuleHandle(nullptr), "HandCur"), nullptr);  // a cursor is not an icon
    CursorImage image;
    ASSERT_TRUE(cursorImageOf(hand, &image));
    EXPECT_EQ(image.hotX, 1);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFF000000, 0, 0xFFFFFFFF, 0xFF000000}));
}

}  // namespace
