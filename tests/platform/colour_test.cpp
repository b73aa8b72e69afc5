// The colour chooser: start colour, cells, sliders, custom colours, Cancel.
#include "tests/platform/dialog_fixture.h"

using namespace platformtest;

namespace {

enum : int { IdRed = 1200, IdGreen = 1201, IdBlue = 1202, IdRedValue = 1210, IdAdd = 1220 };

class ColourChooser : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        for (int i = 0; i < 16; ++i) custom[i] = RGB(i, i, i);
        cc = CHOOSECOLOR{sizeof(CHOOSECOLOR), owner, nullptr, RGB(10, 200, 30), custom, CC_RGBINIT | CC_FULLOPEN, 0,
                         nullptr, nullptr};
    }
    BOOL choose(std::vector<Step> steps)
    {
        script(std::move(steps));
        return ChooseColor(&cc);
    }
    // The swatch of the chosen colour, at 96 dpi (204, 170) .. (234, 226).
    static COLORREF swatch(HWND dlg) { return pixelAt(dlg, ScaleForScreen(219), ScaleForScreen(198)); }
    // Basic cell (row, column) and custom cell (row, column) centres.
    static POINT basicCell(int row, int column) { return {ScaleForScreen(8 + column * 28 + 13), ScaleForScreen(6 + row * 18 + 8)}; }
    static POINT customCell(int row, int column) { return {ScaleForScreen(8 + column * 28 + 13), ScaleForScreen(130 + row * 18 + 8)}; }
    COLORREF custom[16];
    CHOOSECOLOR cc;
};

TEST_F(ColourChooser, starts_with_the_callers_colour_and_cancel_changes_nothing)
{
    COLORREF shown = 0;
    int red = -1, green = -1;
    char redText[8] = "";
    EXPECT_FALSE(choose({[&](HWND dlg) {
                             shown = swatch(dlg);
                             red = static_cast<int>(SendDlgItemMessage(dlg, IdRed, TBM_GETPOS, 0, 0));
                             green = static_cast<int>(SendDlgItemMessage(dlg, IdGreen, TBM_GETPOS, 0, 0));
                             GetDlgItemText(dlg, IdRedValue, redText, sizeof redText);
                             POINT p = basicCell(1, 0);
                             tapAt(dlg, p.x, p.y);
                         },
                         key(VK_ESCAPE)}));
    EXPECT_EQ(shown, RGB(10, 200, 30));
    EXPECT_EQ(red, 10);
    EXPECT_EQ(green, 200);
    EXPECT_STREQ(redText, "10");
    EXPECT_EQ(cc.rgbResult, RGB(10, 200, 30));
    EXPECT_EQ(custom[3], RGB(3, 3, 3));
    // Without CC_RGBINIT the chooser starts from black.
    cc.Flags = 0;
    EXPECT_TRUE(choose({key(VK_RETURN)}));
    EXPECT_EQ(cc.rgbResult, RGB(0, 0, 0));
}

TEST_F(ColourChooser, a_tapped_cell_is_the_colour_chosen)
{
    COLORREF cellPixel = 0, after = 0, customPixel = 0;
    EXPECT_TRUE(choose({[&](HWND dlg) {
                            POINT p = basicCell(1, 5);  // pure blue in the row of the hues themselves
                            cellPixel = pixelAt(dlg, p.x, p.y);
                            tapAt(dlg, p.x, p.y);
                        },
                        [&](HWND dlg) {
                            after = swatch(dlg);
                            POINT p = customCell(1, 2);  // custom colour 10
                            customPixel = pixelAt(dlg, p.x, p.y);
                        },
                        [&](HWND dlg) { tapCentre(GetDlgItem(dlg, IDOK)); }}));
    EXPECT_EQ(cellPixel, RGB(0, 0, 255));
    EXPECT_EQ(after, cellPixel);
    EXPECT_EQ(cc.rgbResult, RGB(0, 0, 255));
    EXPECT_EQ(customPixel, RGB(10, 10, 10));
}

TEST_F(ColourChooser, sliders_set_channels_and_custom_colours_come_back_on_ok)
{
    COLORREF shown = 0;
    EXPECT_TRUE(choose({[](HWND dlg) { SetFocus(GetDlgItem(dlg, IdRed)); },
                        key(VK_END),   // red to 255
                        [](HWND dlg) { SetFocus(GetDlgItem(dlg, IdBlue)); },
                        key(VK_RIGHT), // blue 30 -> 31
                        [&](HWND dlg) {
                            shown = swatch(dlg);
                            // A custom cell chosen first receives the colour.
                            POINT p = customCell(0, 4);
                            tapAt(dlg, p.x, p.y);
                        },
                        [](HWND dlg) {
                            SetFocus(GetDlgItem(dlg, IdGreen));
                            keyPress(VK_HOME);  // green to 0: the colour is now custom 4's with green 0
                        },
                        [](HWND dlg) { tapCentre(GetDlgItem(dlg, IdAdd)); },
                        [](HWND dlg) { tapCentre(GetDlgItem(dlg, IDOK)); }}));
    EXPECT_EQ(shown, RGB(255, 200, 31));
    // Tapping custom 4 took its colour (4, 4, 4); green to 0 gives (4, 0, 4), which went into custom 4.
    EXPECT_EQ(cc.rgbResult, RGB(4, 0, 4));
    EXPECT_EQ(custom[4], RGB(4, 0, 4));
    EXPECT_EQ(custom[5], RGB(5, 5, 5));
    // Cancel keeps the custom colours as they were.
    EXPECT_FALSE(choose({[](HWND dlg) { tapCentre(GetDlgItem(dlg, IdAdd)); }, key(VK_ESCAPE)}));
    EXPECT_EQ(custom[0], RGB(0, 0, 0));
    CHOOSECOLOR bad{};
    EXPECT_FALSE(ChooseColor(&bad));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
}

}  // namespace
