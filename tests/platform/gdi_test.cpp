// Pixel-exact drawing: fills, rectangles, lines, pattern and block transfers,
// stretching, DIB sections of 8, 24 and 32 bits, clipping and viewport origins.
#include "tests/support/platform_support.h"

using namespace platformtest;

namespace {

using GdiTest = Headless;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The surface as rows of characters: '#' for `ink`, '.' for anything else.
std::vector<std::string> picture(const MemorySurface& s, COLORREF ink)
{
    std::vector<std::string> rows;
    for (int y = 0; y < s.height; ++y) {
        std::string row;
        for (int x = 0; x < s.width; ++x) row += s.at(x, y) == ink ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST_F(GdiTest, fill_rect_leaves_out_the_right_and_bottom_edges)
{
    MemorySurface s(6, 5);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT r{1, 1, 4, 3};
    FillRect(s.dc, &r, red);
    EXPECT_EQ(picture(s, kRed), (std::vector<std::string>{"......", ".###..", ".###..", "......", "......"}));
    // An upside-down or empty rectangle draws nothing.
    RECT empty{4, 4, 4, 5};
    FillRect(s.dc, &empty, red);
    EXPECT_EQ(s.at(4, 4), kWhite);
    DeleteObject(red);
}

TEST_F(GdiTest, rectangle_draws_pen_outline_and_brush_inside)
{
    MemorySurface s(6, 5);
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ oldBrush = SelectObject(s.dc, red);
    Rectangle(s.dc, 0, 0, 5, 4);
    EXPECT_EQ(picture(s, kBlack), (std::vector<std::string>{"#####.", "#...#.", "#...#.", "#####.", "......"}));
    EXPECT_EQ(picture(s, kRed), (std::vector<std::string>{"......", ".###..", ".###..", "......", "......"}));
    SelectObject(s.dc, GetStockObject(NULL_BRUSH));
    SelectObject(s.dc, GetStockObject(WHITE_PEN));
    Rectangle(s.dc, 0, 0, 5, 4);
    EXPECT_EQ(s.at(2, 2), kRed);  // the null brush leaves the inside alone
    EXPECT_EQ(s.at(0, 0), kWhite);
    SelectObject(s.dc, oldBrush);
    DeleteObject(red);
}

TEST_F(GdiTest, lines_leave_out_their_last_point)
{
    MemorySurface s(7, 4);
    MoveToEx(s.dc, 0, 0, nullptr);
    LineTo(s.dc, 6, 2);
    EXPECT_EQ(picture(s, kBlack), (std::vector<std::string>{"##.....", "..###..", ".....#.", "......."}));
    // Each segment leaves out its end, which the next segment starts with.
    MemorySurface p(5, 3);
    POINT pts[] = {{0, 0}, {4, 0}, {4, 2}};
    Polyline(p.dc, pts, 3);
    EXPECT_EQ(picture(p, kBlack), (std::vector<std::string>{"#####", "....#", "....."}));
    POINT cur;
    MoveToEx(s.dc, 1, 2, &cur);
    EXPECT_EQ(cur.x, 6);
    EXPECT_EQ(cur.y, 2);
}

TEST_F(GdiTest, wide_pen_draws_a_square_per_point)
{
    MemorySurface s(8, 6);
    HPEN pen = CreatePen(PS_SOLID, 3, kRed);
    HGDIOBJ old = SelectObject(s.dc, pen);
    MoveToEx(s.dc, 2, 2, nullptr);
    LineTo(s.dc, 5, 2);
    EXPECT_EQ(picture(s, kRed), (std::vector<std::string>{"........", ".#####..", ".#####..", ".#####..", "........", "........"}));
    SelectObject(s.dc, old);
    DeleteObject(pen);
}

TEST_F(GdiTest, pattern_blits_invert_and_fill)
{
    MemorySurface s(4, 2, RGB(0x10, 0x20, 0x30));
    PatBlt(s.dc, 0, 0, 2, 2, DSTINVERT);
    EXPECT_EQ(s.at(0, 0), RGB(0xEF, 0xDF, 0xCF));
    EXPECT_EQ(s.at(2, 0), RGB(0x10, 0x20, 0x30));
    HBRUSH b = CreateSolidBrush(RGB(0xFF, 0x00, 0x0F));
    HGDIOBJ old = SelectObject(s.dc, b);
    PatBlt(s.dc, 2, 0, 2, 1, PATINVERT);
    EXPECT_EQ(s.at(2, 0), RGB(0xEF, 0x20, 0x3F));
    PatBlt(s.dc, 2, 1, 1, 1, PATCOPY);
    EXPECT_EQ(s.at(2, 1), RGB(0xFF, 0x00, 0x0F));
    PatBlt(s.dc, 3, 1, 1, 1, WHITENESS);
    EXPECT_EQ(s.at(3, 1), kWhite);
    EXPECT_FALSE(PatBlt(s.dc, 0, 0, 1, 1, SRCCOPY));  // needs a source
    SelectObject(s.dc, old);
    DeleteObject(b);
}

TEST_F(GdiTest, bitblt_copies_combines_and_skips_what_lies_outside_the_source)
{
    MemorySurface src(3, 3, RGB(0x0F, 0xF0, 0x33));
    SetPixel(src.dc, 1, 1, RGB(0xFF, 0x00, 0xFF));
    MemorySurface dst(5, 5, RGB(0x11, 0x11, 0x11));
    // Source origin (-1, -1): the first row and column come from outside and stay as they were.
    BitBlt(dst.dc, 0, 0, 4, 4, src.dc, -1, -1, SRCCOPY);
    EXPECT_EQ(dst.at(0, 0), RGB(0x11, 0x11, 0x11));
    EXPECT_EQ(dst.at(1, 1), RGB(0x0F, 0xF0, 0x33));
    EXPECT_EQ(dst.at(2, 2), RGB(0xFF, 0x00, 0xFF));
    EXPECT_EQ(dst.at(3, 3), RGB(0x0F, 0xF0, 0x33));
    EXPECT_EQ(dst.at(4, 4), RGB(0x11, 0x11, 0x11));
    MemorySurface d2(1, 3, RGB(0x3C, 0x3C, 0x3C));
    BitBlt(d2.dc, 0, 0, 1, 1, src.dc, 0, 0, SRCAND);
    BitBlt(d2.dc, 0, 1, 1, 1, src.dc, 0, 0, SRCPAINT);
    BitBlt(d2.dc, 0, 2, 1, 1, src.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(d2.at(0, 0), RGB(0x0C, 0x30, 0x30));
    EXPECT_EQ(d2.at(0, 1), RGB(0x3F, 0xFC, 0x3F));
    EXPECT_EQ(d2.at(0, 2), RGB(0x33, 0xCC, 0x0F));
}

TEST_F(GdiTest, bitblt_within_one_surface_reads_the_old_pixels)
{
    MemorySurface s(6, 1);
    for (int x = 0; x < 6; ++x) SetPixel(s.dc, x, 0, RGB(x * 10, 0, 0));
    BitBlt(s.dc, 1, 0, 5, 1, s.dc, 0, 0, SRCCOPY);  // scroll right by one
    for (int x = 1; x < 6; ++x) EXPECT_EQ(s.at(x, 0), RGB((x - 1) * 10, 0, 0)) << x;
}

TEST_F(GdiTest, stretch_blt_samples_pixel_centres_and_mirrors)
{
    MemorySurface src(2, 2);
    SetPixel(src.dc, 0, 0, RGB(1, 0, 0));
    SetPixel(src.dc, 1, 0, RGB(2, 0, 0));
    SetPixel(src.dc, 0, 1, RGB(3, 0, 0));
    SetPixel(src.dc, 1, 1, RGB(4, 0, 0));
    MemorySurface up(4, 4);
    StretchBlt(up.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY);
    int expected[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(up.at(x, y), RGB(expected[y][x], 0, 0)) << x << "," << y;
    MemorySurface big(6, 1);
    for (int x = 0; x < 6; ++x) SetPixel(big.dc, x, 0, RGB(x, 0, 0));
    MemorySurface down(3, 1);
    StretchBlt(down.dc, 0, 0, 3, 1, big.dc, 0, 0, 6, 1, SRCCOPY);
    EXPECT_EQ(down.at(0, 0), RGB(1, 0, 0));
    EXPECT_EQ(down.at(1, 0), RGB(3, 0, 0));
    EXPECT_EQ(down.at(2, 0), RGB(5, 0, 0));
    // A negative width runs leftwards from x: pixels 2, 1, 0.
    MemorySurface mirror(3, 1);
    StretchBlt(mirror.dc, 2, 0, -3, 1, big.dc, 0, 0, 6, 1, SRCCOPY);
    EXPECT_EQ(mirror.at(0, 0), RGB(5, 0, 0));
    EXPECT_EQ(mirror.at(2, 0), RGB(1, 0, 0));
}

TEST_F(GdiTest, eight_bit_dib_section_reads_through_its_palette_and_takes_nearest_colours)
{
    BITMAPINFO256 info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = -1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biClrUsed = 3;
    info.bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    info.bmiColors[1] = RGBQUAD{0, 0, 200, 0};   // red 200
    info.bmiColors[2] = RGBQUAD{250, 250, 250, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    auto* p = static_cast<uint8_t*>(bits);
    p[0] = 1;
    p[1] = 2;
    p[2] = 0;
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, dib);
    MemorySurface out(3, 1);
    BitBlt(out.dc, 0, 0, 3, 1, mem, 0, 0, SRCCOPY);
    EXPECT_EQ(out.at(0, 0), RGB(200, 0, 0));
    EXPECT_EQ(out.at(1, 0), RGB(250, 250, 250));
    EXPECT_EQ(out.at(2, 0), kBlack);
    SetPixel(mem, 2, 0, RGB(255, 20, 20));
    EXPECT_EQ(p[2], 1);
    DIBSECTION ds;
    ASSERT_EQ(GetObject(dib, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 4);
    EXPECT_EQ(ds.dsBmih.biClrUsed, 3u);
    SelectObject(mem, old);
    DeleteDC(mem);
    EXPECT_TRUE(DeleteObject(dib));
}

TEST_F(GdiTest, bottom_up_24_bit_pictures_keep_their_first_row_last_in_memory)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, dib);
    SetPixel(mem, 1, 0, RGB(10, 20, 30));
    auto* p = static_cast<uint8_t*>(bits);
    // Rows are 8 bytes (6 rounded up to 4); the top row is the second in memory.
    EXPECT_EQ(p[8 + 3], 30);
    EXPECT_EQ(p[8 + 4], 20);
    EXPECT_EQ(p[8 + 5], 10);
    // StretchDIBits draws caller memory the same way.
    MemorySurface out(2, 2);
    StretchDIBits(out.dc, 0, 0, 2, 2, 0, 0, 2, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(out.at(1, 0), RGB(10, 20, 30));
    EXPECT_EQ(out.at(1, 1), kBlack);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
}

TEST_F(GdiTest, bad_dib_headers_are_refused)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biBitCount = 16;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biWidth = 100000;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = INT32_MIN;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    MemorySurface out(2, 2);
    info.bmiHeader.biHeight = 4;
    EXPECT_EQ(StretchDIBits(out.dc, 0, 0, 2, 2, 0, 0, 2, 2, nullptr, &info, DIB_RGB_COLORS, SRCCOPY), 0);
    // Enormous source and destination rectangles cost only what lies on the surfaces.
    MemorySurface src(4, 4, kRed);
    EXPECT_TRUE(StretchBlt(out.dc, 0, 0, 2, 2, src.dc, -30000, -30000, 60000, 60000, SRCCOPY));
    EXPECT_TRUE(BitBlt(out.dc, -30000, -30000, 60000, 60000, src.dc, -30000, -30000, SRCCOPY));
    EXPECT_EQ(out.at(0, 0), kRed);
}

TEST_F(GdiTest, clip_and_viewport_origin)
{
    MemorySurface s(6, 4);
    HBRUSH red = CreateSolidBrush(kRed);
    SetViewportOrgEx(s.dc, 2, 1, nullptr);
    IntersectClipRect(s.dc, 0, 0, 3, 2);  // logical, so device (2,1)-(5,3)
    RECT all{-10, -10, 10, 10};
    FillRect(s.dc, &all, red);
    EXPECT_EQ(picture(s, kRed), (std::vector<std::string>{"......", "..###.", "..###.", "......"}));
    RECT box;
    EXPECT_EQ(GetClipBox(s.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 3);
    EXPECT_EQ(GetPixel(s.dc, 5, 0), CLR_INVALID);
    DeleteObject(red);
}

TEST_F(GdiTest, excluded_rectangle_stays_untouched_and_restore_brings_back_the_state)
{
    MemorySurface s(5, 5);
    HBRUSH red = CreateSolidBrush(kRed);
    int saved = SaveDC(s.dc);
    EXPECT_EQ(saved, 1);
    HGDIOBJ old = SelectObject(s.dc, red);
    SetTextColor(s.dc, RGB(1, 2, 3));
    EXPECT_EQ(ExcludeClipRect(s.dc, 1, 1, 3, 3), COMPLEXREGION);
    PatBlt(s.dc, 0, 0, 5, 5, PATCOPY);
    EXPECT_EQ(picture(s, kRed), (std::vector<std::string>{"#####", "#..##", "#..##", "#####", "#####"}));
    // The brush is held by the DC, so it cannot be deleted yet.
    EXPECT_FALSE(DeleteObject(red));
    EXPECT_TRUE(RestoreDC(s.dc, -1));
    EXPECT_EQ(GetTextColor(s.dc), kBlack);
    EXPECT_EQ(GetCurrentObject(s.dc, OBJ_BRUSH), old);
    PatBlt(s.dc, 0, 0, 5, 5, PATCOPY);  // the white stock brush, no clip left
    EXPECT_EQ(s.at(2, 2), kWhite);
    EXPECT_FALSE(RestoreDC(s.dc, -1));
    EXPECT_TRUE(DeleteObject(red));
}

TEST_F(GdiTest, child_window_dc_is_clipped_to_its_client_area)
{
    HWND top = makeWindow("top");
    HWND child = makeWindow("c", WS_CHILD | WS_VISIBLE | WS_BORDER, top, 10, 10, 20, 20);
    pump();
    HDC dc = GetDC(child);
    RECT huge{-100, -100, 300, 300};
    HBRUSH red = CreateSolidBrush(kRed);
    FillRect(dc, &huge, red);
    ReleaseDC(child, dc);
    DeleteObject(red);
    EXPECT_EQ(screenPixel(11, 26 + 11), kRed);
    EXPECT_EQ(screenPixel(28, 26 + 28), kRed);
    EXPECT_EQ(screenPixel(10, 26 + 10), kBlack);  // the border stays
    EXPECT_EQ(screenPixel(29, 26 + 29), kBlack);
    EXPECT_EQ(screenPixel(9, 26 + 15), GetSysColor(COLOR_WINDOW));
}

TEST_F(GdiTest, objects_in_use_are_not_deleted_and_stock_objects_never)
{
    MemorySurface s(2, 2);
    HBRUSH b = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(s.dc, b);
    EXPECT_FALSE(DeleteObject(b));
    SelectObject(s.dc, old);
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_FALSE(DeleteObject(b));
    EXPECT_FALSE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    // A bitmap lives in one DC at a time.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, s.bitmap), nullptr);
    DeleteDC(other);
}

TEST_F(GdiTest, shapes_match_golden)
{
    MemorySurface s(64, 40);
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    HPEN blue = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ ob = SelectObject(s.dc, green);
    HGDIOBJ op = SelectObject(s.dc, blue);
    Ellipse(s.dc, 2, 2, 30, 22);
    POINT tri[] = {{34, 36}, {48, 4}, {62, 36}};
    Polygon(s.dc, tri, 3);
    HPEN dash = CreatePen(PS_DASH, 1, RGB(200, 0, 0));
    SelectObject(s.dc, dash);
    MoveToEx(s.dc, 2, 30, nullptr);
    LineTo(s.dc, 30, 38);
    SelectObject(s.dc, ob);
    SelectObject(s.dc, op);
    DeleteObject(green);
    DeleteObject(blue);
    DeleteObject(dash);
    EXPECT_TRUE(matchesGolden(s.dc, 64, 40, "shapes.png"));
}

}  // namespace
