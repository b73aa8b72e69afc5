// Message boxes: buttons and results, keys, layout and icons.
#include "tests/platform/dialog_fixture.h"

using namespace platformtest;

namespace {

class MessageBoxes : public DialogTest {
protected:
    int show(UINT type, std::vector<Step> steps, const char* text = "Replace the file?")
    {
        script(std::move(steps));
        return MessageBox(owner, text, "Fotrix Pocket", type);
    }
    static RECT rectOf(HWND w)
    {
        RECT r;
        GetWindowRect(w, &r);
        return r;
    }
};

TEST_F(MessageBoxes, each_kind_answers_with_its_buttons)
{
    struct Case {
        UINT type;
        UINT vk;
        int expected;
    };
    const Case cases[] = {
        {MB_OK, VK_RETURN, IDOK},
        {MB_OK, VK_ESCAPE, IDOK},  // a box with OK alone: Escape means OK
        {MB_OKCANCEL, VK_ESCAPE, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON2, VK_RETURN, IDCANCEL},
        {MB_YESNO, VK_RETURN, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, VK_RETURN, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, VK_RETURN, IDCANCEL},
        {MB_YESNOCANCEL, VK_ESCAPE, IDCANCEL},
        {MB_RETRYCANCEL, VK_RETURN, IDRETRY},
        {MB_OK | MB_DEFBUTTON3, VK_RETURN, IDOK},  // a default beyond the buttons falls back to the last
    };
    for (const Case& c : cases) EXPECT_EQ(show(c.type, {key(c.vk)}), c.expected) << std::hex << c.type << " key " << c.vk;
    EXPECT_EQ(show(MB_OK, {[](HWND dlg) { PostMessage(dlg, WM_CLOSE, 0, 0); }}), IDOK);
    // Yes/No has no Cancel: Escape and closing leave the box up.
    bool stillUp = false;
    EXPECT_EQ(show(MB_YESNO, {key(VK_ESCAPE), [](HWND dlg) { PostMessage(dlg, WM_CLOSE, 0, 0); },
                              [&](HWND dlg) {
                                  stillUp = IsWindowVisible(dlg);
                                  keyPress(VK_RETURN);
                              }}),
              IDYES);
    EXPECT_TRUE(stillUp);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(MessageBoxes, buttons_sit_in_a_row_in_order_and_answer_taps)
{
    std::vector<RECT> rects;
    bool ownerDisabled = false;
    int focusId = 0;
    int r = show(MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2, {[&](HWND dlg) {
                     ownerDisabled = !IsWindowEnabled(owner);
                     focusId = GetDlgCtrlID(GetFocus());
                     for (int id : std::vector<int>{IDYES, IDNO, IDCANCEL}) rects.push_back(rectOf(GetDlgItem(dlg, id)));
                     tapCentre(GetDlgItem(dlg, IDYES));
                 }});
    EXPECT_EQ(r, IDYES);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_EQ(focusId, IDNO);  // the default button starts with the focus
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].top, rects[1].top);
    EXPECT_EQ(rects[1].top, rects[2].top);
    EXPECT_LT(rects[0].right, rects[1].left);
    EXPECT_LT(rects[1].right, rects[2].left);
}

TEST_F(MessageBoxes, long_text_wraps_and_the_box_is_centred_on_the_screen)
{
    RECT oneLine{}, wrapped{}, box{};
    show(MB_OK, {[&](HWND dlg) { oneLine = rectOf(GetDlgItem(dlg, 0xFFFF)); }, key(VK_RETURN)}, "Short");
    show(MB_OK, {[&](HWND dlg) {
             wrapped = rectOf(GetDlgItem(dlg, 0xFFFF));
             box = rectOf(dlg);
         },
         key(VK_RETURN)},
         "This text is far too long for one line of a message box on a small screen, so it wraps.");
    EXPECT_GE(wrapped.bottom - wrapped.top, 3 * (oneLine.bottom - oneLine.top));
    EXPECT_LE(box.right - box.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(std::abs((box.left + box.right) - GetSystemMetrics(SM_CXSCREEN)), 1);
    EXPECT_LE(std::abs((box.top + box.bottom) - GetSystemMetrics(SM_CYSCREEN)), 1);
    // Buttons lie below the whole text.
    RECT ok{};
    show(MB_OK, {[&](HWND dlg) {
             ok = rectOf(GetDlgItem(dlg, IDOK));
             wrapped = rectOf(GetDlgItem(dlg, 0xFFFF));
         },
         key(VK_RETURN)},
         "Line one\nLine two\nLine three\nLine four");
    EXPECT_GE(ok.top, wrapped.bottom);
}

TEST_F(MessageBoxes, flat_icons_and_the_title_strip_are_drawn)
{
    struct Case {
        UINT icon;
        COLORREF centreish;
    };
    for (Case c : {Case{MB_ICONERROR, RGB(204, 0, 0)}, Case{MB_ICONINFORMATION, RGB(0, 84, 180)},
                   Case{MB_ICONWARNING, RGB(255, 204, 0)}}) {
        COLORREF iconPixel = 0, titlePixel = 0;
        RECT text{};
        show(MB_OK | c.icon, {[&](HWND dlg) {
                 // A little left of the icon's centre, clear of its sign, low enough for the triangle.
                 iconPixel = pixelAt(dlg, ScaleForScreen(8 + 8), ScaleForScreen(28 + 24));
                 titlePixel = pixelAt(dlg, 2, 2);
                 text = rectOf(GetDlgItem(dlg, 0xFFFF));
                 POINT p{text.left, text.top};
                 ScreenToClient(dlg, &p);
                 text.left = p.x;
             },
             key(VK_RETURN)});
        EXPECT_EQ(iconPixel, c.centreish) << std::hex << c.icon;
        EXPECT_EQ(titlePixel, GetSysColor(COLOR_ACTIVECAPTION));
        EXPECT_GE(text.left, ScaleForScreen(8 + 32));  // the text starts right of the icon
    }
    COLORREF plain = 0;
    show(MB_OK, {[&](HWND dlg) { plain = pixelAt(dlg, ScaleForScreen(16), ScaleForScreen(52)); }, key(VK_RETURN)}, "");
    EXPECT_EQ(plain, GetSysColor(COLOR_WINDOW));
}

TEST_F(MessageBoxes, a_modeless_box_shows_at_once_and_goes_with_its_button)
{
    HWND box = CreateMessageBox(owner, "Saved.", "Fotrix Pocket", MB_OKCANCEL | MB_ICONINFORMATION);
    ASSERT_TRUE(box);
    pump();
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(GetDlgItem(box, IDCANCEL));
    // Enter on a button, with Escape for the Cancel: the box goes either way.
    MSG msg{GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessage(box, &msg));
    EXPECT_FALSE(IsWindow(box));
    HWND second = CreateMessageBox(owner, "Again.", "Fotrix Pocket", MB_OK);
    ASSERT_TRUE(second);
    pump();
    tapCentre(GetDlgItem(second, IDOK));
    pump();
    EXPECT_FALSE(IsWindow(second));
}

}  // namespace
