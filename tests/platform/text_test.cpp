// Text: font choice, metrics, extents, DrawText layout, and rendering against
// golden screenshots made with the fonts of Debian's fonts-wine and fonts-dejavu-core.
#include "tests/support/platform_support.h"

#include <cstring>
#include <vector>

using namespace platformtest;

namespace {

using TextTest = Headless;

struct FontScope {
    HDC dc;
    HFONT font;
    HGDIOBJ old;
    FontScope(HDC d, const char* face, int height, int weight = FW_NORMAL) : dc(d)
    {
        LOGFONT lf{};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", face);
        font = CreateFontIndirect(&lf);
        old = SelectObject(dc, font);
    }
    ~FontScope()
    {
        SelectObject(dc, old);
        DeleteObject(font);
    }
};

int width(HDC dc, const char* text)
{
    SIZE s{};
    GetTextExtentPoint32(dc, text, -1, &s);
    return s.cx;
}

TEST_F(TextTest, tahoma_8_points_has_the_metrics_of_its_font_tables)
{
    MemorySurface s(10, 10);
    FontScope f(s.dc, "Tahoma", -11);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(s.dc, &tm));
    // Tahoma's OS/2 table: winAscent 2049, winDescent 423, 2048 units per em.
    EXPECT_EQ(tm.tmAscent, 11);
    EXPECT_EQ(tm.tmDescent, 2);
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmInternalLeading, 2);
    char face[32];
    GetTextFace(s.dc, sizeof face, face);
    EXPECT_STREQ(face, "Tahoma");
}

TEST_F(TextTest, positive_height_asks_for_the_cell_and_zero_for_8_points)
{
    MemorySurface s(10, 10);
    TEXTMETRIC tm;
    {
        // The largest size whose cell fits: 21 pixels gives 21 + 4 (22 would give 22 + 5).
        FontScope f(s.dc, "Tahoma", 26);
        GetTextMetrics(s.dc, &tm);
        EXPECT_EQ(tm.tmHeight, 25);
    }
    {
        FontScope f(s.dc, "Tahoma", 0);
        GetTextMetrics(s.dc, &tm);
        EXPECT_EQ(tm.tmHeight, 13);
    }
}

TEST_F(TextTest, unknown_face_falls_back_to_dejavu_sans)
{
    MemorySurface s(10, 10);
    FontScope f(s.dc, "No Such Font", -12);
    char face[32];
    GetTextFace(s.dc, sizeof face, face);
    EXPECT_STREQ(face, "DejaVu Sans");
    EXPECT_GT(width(s.dc, "W"), 0);
}

TEST_F(TextTest, extents_add_up_and_count_utf8_bytes)
{
    MemorySurface s(10, 10);
    FontScope f(s.dc, "Tahoma", -11);
    EXPECT_EQ(width(s.dc, ""), 0);
    EXPECT_EQ(width(s.dc, "AVA"), width(s.dc, "A") * 2 + width(s.dc, "V"));  // no kerning, as the screen font
    EXPECT_GT(width(s.dc, "Bold"), width(s.dc, "Bol"));
    const char* text = "a\xC3\xA9z";  // a, e acute (two bytes), z
    int dx[4] = {};
    int fit = 0;
    SIZE size;
    ASSERT_TRUE(GetTextExtentExPoint(s.dc, text, 4, width(s.dc, "a\xC3\xA9"), &fit, dx, &size));
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(dx[1], dx[2]);
    EXPECT_EQ(dx[3], size.cx);
    EXPECT_EQ(size.cx, width(s.dc, text));
    ASSERT_TRUE(GetTextExtentExPoint(s.dc, text, 4, 0, &fit, nullptr, &size));
    EXPECT_EQ(fit, 0);
}

TEST_F(TextTest, draw_text_measures_lines_words_and_prefixes)
{
    MemorySurface s(10, 10);
    FontScope f(s.dc, "Tahoma", -11);
    RECT r{0, 0, 200, 0};
    EXPECT_EQ(DrawText(s.dc, "one\r\ntwo\nthree", -1, &r, DT_CALCRECT), 39);
    EXPECT_EQ(r.bottom, 39);
    EXPECT_EQ(r.right, width(s.dc, "three"));
    r = RECT{0, 0, 200, 0};
    DrawText(s.dc, "one\ntwo", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.bottom, 13);
    EXPECT_EQ(r.right, width(s.dc, "onetwo"));
    // Wrapping at spaces; a word wider than the box keeps a line of its own.
    int w = width(s.dc, "alpha beta");
    r = RECT{0, 0, w, 0};
    EXPECT_EQ(DrawText(s.dc, "alpha beta gamma", -1, &r, DT_CALCRECT | DT_WORDBREAK), 26);
    r = RECT{0, 0, 10, 0};
    EXPECT_EQ(DrawText(s.dc, "Supercalifragilistic x", -1, &r, DT_CALCRECT | DT_WORDBREAK), 26);
    EXPECT_EQ(r.right, width(s.dc, "Supercalifragilistic"));
    // Prefix characters.
    r = RECT{0, 0, 200, 0};
    DrawText(s.dc, "&File", -1, &r, DT_CALCRECT);
    EXPECT_EQ(r.right, width(s.dc, "File"));
    r = RECT{0, 0, 200, 0};
    DrawText(s.dc, "A&&B", -1, &r, DT_CALCRECT);
    EXPECT_EQ(r.right, width(s.dc, "A&B"));
    r = RECT{0, 0, 200, 0};
    DrawText(s.dc, "&File", -1, &r, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(r.right, width(s.dc, "&File"));
}

// Bounding box of the pixels that differ from white.
RECT inkBox(const MemorySurface& s)
{
    RECT box{s.width, s.height, -1, -1};
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.at(x, y) != RGB(255, 255, 255)) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

TEST_F(TextTest, centred_single_line_lands_in_the_middle_and_stays_inside_its_box)
{
    MemorySurface s(120, 40);
    FontScope f(s.dc, "Tahoma", -11);
    SetBkMode(s.dc, TRANSPARENT);
    RECT r{0, 0, 120, 40};
    DrawText(s.dc, "Middle", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RECT ink = inkBox(s);
    int textWidth = width(s.dc, "Middle");
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 60, 2.0);
    EXPECT_LE(ink.right - ink.left, textWidth);
    EXPECT_GE(ink.top, (40 - 13) / 2);
    EXPECT_LE(ink.bottom, (40 - 13) / 2 + 13);
    // Clipped to the rectangle unless DT_NOCLIP.
    MemorySurface t(40, 20);
    FontScope g(t.dc, "Tahoma", -11);
    RECT small{0, 0, 10, 20};
    DrawText(t.dc, "WWWW", -1, &small, DT_SINGLELINE);
    EXPECT_LE(inkBox(t).right, 10);
}

TEST_F(TextTest, end_ellipsis_shortens_to_fit)
{
    MemorySurface s(200, 20);
    FontScope f(s.dc, "Tahoma", -11);
    RECT r{0, 0, width(s.dc, "Long name..."), 20};
    SetBkMode(s.dc, TRANSPARENT);
    DrawText(s.dc, "Long name of a picture.jpg", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(inkBox(s).right, r.right);
}

TEST_F(TextTest, path_ellipsis_keeps_the_file_name)
{
    const char* path = "/tmp/demo/Pictures/Holiday/field.jpg";
    auto drawn = [](const char* text, int right, UINT format) {
        MemorySurface s(240, 20);
        FontScope f(s.dc, "Tahoma", -11);
        SetBkMode(s.dc, TRANSPARENT);
        RECT r{0, 0, right, 20};
        DrawText(s.dc, text, -1, &r, DT_SINGLELINE | format);
        return std::vector<uint32_t>(s.bits, s.bits + 240 * 20);
    };
    MemorySurface m(10, 10);
    FontScope f(m.dc, "Tahoma", -11);
    // Room for "/tmp/.../field.jpg" and not one letter more of the folders.
    const int room = width(m.dc, "/tmp/.../field.jpg");
    EXPECT_TRUE(drawn(path, room, DT_PATH_ELLIPSIS) == drawn("/tmp/.../field.jpg", 240, 0));
    // A path that fits is drawn whole; with no room for the name even, the name is cut at its end.
    EXPECT_TRUE(drawn(path, 240, DT_PATH_ELLIPSIS) == drawn(path, 240, 0));
    const int small = width(m.dc, ".../fie...");
    EXPECT_TRUE(drawn(path, small, DT_PATH_ELLIPSIS) == drawn(".../fie...", 240, 0));
}

TEST_F(TextTest, opaque_background_fills_the_text_cell)
{
    MemorySurface s(60, 20);
    FontScope f(s.dc, "Tahoma", -11);
    SetBkColor(s.dc, RGB(0, 0, 128));
    SetTextColor(s.dc, RGB(255, 255, 255));
    SetBkMode(s.dc, OPAQUE);
    TextOut(s.dc, 2, 3, "ab", 2);
    EXPECT_EQ(s.at(2, 3), RGB(0, 0, 128));
    EXPECT_EQ(s.at(2 + width(s.dc, "ab") - 1, 3 + 12), RGB(0, 0, 128));
    EXPECT_EQ(s.at(2 + width(s.dc, "ab"), 3), RGB(255, 255, 255));
    EXPECT_EQ(s.at(2, 3 + 13), RGB(255, 255, 255));
}

void drawSample(HDC dc, const char* face, int weight)
{
    FontScope f(dc, face, -11, weight);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOut(dc, 2, 1, "Fotrix Pocket 0123", -1);
    SetTextColor(dc, RGB(0, 0, 160));
    TextOut(dc, 2, 15, "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC ygq!", -1);
}

TEST_F(TextTest, tahoma_renders_like_the_golden)
{
    MemorySurface s(120, 30);
    drawSample(s.dc, "Tahoma", FW_NORMAL);
    EXPECT_TRUE(matchesGolden(s.dc, 120, 30, "text_tahoma.png"));
}

TEST_F(TextTest, tahoma_bold_renders_like_the_golden)
{
    MemorySurface s(120, 30);
    drawSample(s.dc, "Tahoma", FW_BOLD);
    EXPECT_TRUE(matchesGolden(s.dc, 120, 30, "text_tahoma_bold.png"));
}

TEST_F(TextTest, ms_sans_serif_renders_like_the_golden)
{
    MemorySurface s(120, 30);
    drawSample(s.dc, "MS Sans Serif", FW_NORMAL);
    EXPECT_TRUE(matchesGolden(s.dc, 120, 30, "text_ms_sans_serif.png"));
}

TEST_F(TextTest, dejavu_renders_like_the_golden)
{
    MemorySurface s(120, 30);
    drawSample(s.dc, "DejaVu Sans", FW_NORMAL);
    EXPECT_TRUE(matchesGolden(s.dc, 120, 30, "text_dejavu.png"));
}

TEST_F(TextTest, wrapped_paragraph_renders_like_the_golden)
{
    MemorySurface s(100, 60);
    FontScope f(s.dc, "Tahoma", -11);
    SetBkMode(s.dc, TRANSPARENT);
    RECT r{2, 2, 98, 58};
    DrawText(s.dc, "&Open the picture\nfull screen, or press Return", -1, &r, DT_WORDBREAK | DT_CENTER);
    EXPECT_TRUE(matchesGolden(s.dc, 100, 60, "text_drawtext.png"));
}

}  // namespace
