// The gallery's frame driven in this process: Prev/Next and the arrow keys turn
// pages, and the controls on a page are live (the status line tells what they
// reported, linked controls follow each other).
#include "gallery/frame.h"
#include "gallery/gallery.h"
#include "tests/support/platform_support.h"

#include <cstring>

using namespace platformtest;

namespace {

class GalleryFrame : public Headless {
protected:
    void SetUp() override
    {
        Headless::SetUp();
        galleryRegisterClasses();
        frame = galleryCreateFrame(0);
        ASSERT_NE(frame, nullptr);
        run();
    }
    // The program's own loop: the frame sees keys before they are dispatched.
    void run()
    {
        for (int round = 0; round < 4; ++round) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (galleryTakeKey(frame, msg)) continue;
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
            PlatformRunPending();
        }
    }
    void tap(HWND w)
    {
        RECT r;
        GetWindowRect(w, &r);
        int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
        PlatformStylusInput(StylusDown, x, y);
        run();
        PlatformStylusInput(StylusUp, x, y);
        run();
    }
    void key(UINT vk)
    {
        PlatformKeyInput(vk, true);
        run();
        PlatformKeyInput(vk, false);
        run();
    }
    std::string status() const
    {
        char text[256] = "";
        GetWindowText(galleryStatusLine(frame), text, sizeof text);
        return text;
    }
    // The first child of `parent` with this text, or of this class when text is null.
    static HWND find(HWND parent, const char* cls, const char* text = nullptr)
    {
        for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
            char name[64] = "", title[128] = "";
            GetClassName(w, name, sizeof name);
            GetWindowText(w, title, sizeof title);
            if (std::strcmp(name, cls) == 0 && (!text || std::strcmp(title, text) == 0)) return w;
        }
        return nullptr;
    }
    HWND page() const { return galleryPageWindow(frame); }
    HWND frame = nullptr;
};

TEST_F(GalleryFrame, prev_and_next_turn_pages_and_wrap_around_at_the_ends)
{
    int count = static_cast<int>(galleryPages().size());
    HWND first = page();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(find(first, WC_BUTTON, "OK"), nullptr);  // the buttons page's own controls
    tap(find(frame, WC_BUTTON, "Next"));
    EXPECT_EQ(galleryCurrentPage(frame), 1);
    EXPECT_EQ(find(page(), WC_BUTTON, "OK"), nullptr);  // the old page and its controls are gone
    EXPECT_NE(find(page(), WC_STATIC, "Left"), nullptr);
    tap(find(frame, WC_BUTTON, "Prev"));
    tap(find(frame, WC_BUTTON, "Prev"));
    EXPECT_EQ(galleryCurrentPage(frame), count - 1);
    char title[128];
    GetWindowText(frame, title, sizeof title);
    EXPECT_NE(std::strstr(title, galleryPages()[count - 1].title), nullptr) << title;
}

TEST_F(GalleryFrame, arrow_keys_turn_pages_only_while_no_page_control_has_the_focus)
{
    SetFocus(frame);
    key(VK_RIGHT);
    key(VK_RIGHT);
    EXPECT_EQ(galleryCurrentPage(frame), 2);
    key(VK_LEFT);
    EXPECT_EQ(galleryCurrentPage(frame), 1);

    galleryShowPage(frame, 3);  // track bars
    run();
    HWND bar = find(page(), TRACKBAR_CLASS);
    ASSERT_NE(bar, nullptr);
    LRESULT before = SendMessage(bar, TBM_GETPOS, 0, 0);
    SetFocus(bar);
    key(VK_RIGHT);
    EXPECT_EQ(galleryCurrentPage(frame), 3);
    EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), before + 1);
}

TEST_F(GalleryFrame, status_line_tells_what_a_control_reported)
{
    HWND automatic = find(page(), WC_BUTTON, "Automatic");
    ASSERT_NE(automatic, nullptr);
    ASSERT_EQ(SendMessage(automatic, BM_GETCHECK, 0, 0), BST_CHECKED);
    tap(automatic);
    EXPECT_EQ(status(), "\"Automatic\" #" + std::to_string(GetDlgCtrlID(automatic)) + ": tapped, unchecked");
    tap(find(page(), WC_BUTTON, "Small"));
    EXPECT_NE(status().find("\"Small\""), std::string::npos) << status();
    EXPECT_EQ(SendMessage(find(page(), WC_BUTTON, "Medium"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // A new page starts with an empty status line.
    galleryShowPage(frame, 1);
    EXPECT_EQ(status(), "");
}

// Hiding the task bar gives the frame the whole top of the screen, and the
// page moves up with it.
TEST_F(GalleryFrame, the_frame_follows_the_work_area)
{
    RECT before, after;
    GetWindowRect(page(), &before);
    SHFullScreen(frame, SHFS_HIDETASKBAR);
    run();
    RECT frameRect;
    GetWindowRect(frame, &frameRect);
    EXPECT_EQ(frameRect.top, 0);
    GetWindowRect(page(), &after);
    EXPECT_EQ(after.top, before.top - ScaleForScreen(kTaskBarHeight96));
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + ScaleForScreen(kTaskBarHeight96));
    SHFullScreen(frame, SHFS_SHOWTASKBAR);
}

TEST_F(GalleryFrame, linked_controls_follow_each_other)
{
    galleryShowPage(frame, 2);  // progress bars: Step moves its bar
    run();
    HWND step = find(page(), WC_BUTTON, "Step");
    ASSERT_NE(step, nullptr);
    HWND stepped = GetWindow(step, GW_HWNDPREV);
    ASSERT_NE(stepped, nullptr);
    tap(step);
    tap(step);
    EXPECT_EQ(SendMessage(stepped, PBM_GETPOS, 0, 0), 20);

    galleryShowPage(frame, 3);  // track bars: one drives the progress bar under it
    run();
    HWND shown = find(page(), PROGRESS_CLASS);
    ASSERT_NE(shown, nullptr);
    HWND driver = GetWindow(shown, GW_HWNDPREV);
    SetFocus(driver);
    key(VK_END);
    EXPECT_EQ(SendMessage(driver, TBM_GETPOS, 0, 0), 20);
    EXPECT_EQ(SendMessage(shown, PBM_GETPOS, 0, 0), 20);
    EXPECT_NE(status().find("at 20"), std::string::npos) << status();
}

}  // namespace

TEST_F(GalleryFrame, an_up_down_control_reports_its_own_position)
{
    int index = -1;
    for (size_t i = 0; i < galleryPages().size(); ++i)
        if (std::strcmp(galleryPages()[i].name, "tabs") == 0) index = static_cast<int>(i);
    ASSERT_GE(index, 0);
    galleryShowPage(frame, index);
    run();
    HWND upDown = find(page(), UPDOWN_CLASS);
    ASSERT_NE(upDown, nullptr);
    RECT r;
    GetWindowRect(upDown, &r);
    int x = (r.left + r.right) / 2, y = r.top + (r.bottom - r.top) / 4;  // the upper arrow
    PlatformStylusInput(StylusDown, x, y);
    run();
    PlatformStylusInput(StylusUp, x, y);
    run();
    EXPECT_EQ(SendMessage(upDown, UDM_GETPOS32, 0, 0), 13);
    EXPECT_EQ(status(), "msctls_updown32 #" + std::to_string(GetDlgCtrlID(upDown)) + ": end track, at 13");
}
