// The view as a user sees it, at 240 x 320 and 480 x 640: a photo fitted with
// its label, zoomed with scroll bars and a selection, and an empty view after
// a failed load. The screenshots go to FOTRIX_DOC_IMAGES when it is set (the
// pictures of docs/viewer.md), else to a scratch folder.
#include "app/viewer/main_view.h"
#include "app/viewer/view_window.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "tests/app/viewer_fixture.h"

#include <cstdlib>
#include <filesystem>

using namespace fotrix;
using namespace viewertest;
namespace fs = std::filesystem;

namespace {

bool isRed(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; }

class Screenshots : public ViewerTest {
protected:
    testsupport::TempDir scratch;
    HWND view = nullptr;
    RECT work{};
    void SetUp() override {}
    void open(int width, int height)
    {
        start(width, height);
        libraryInit();
        SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
        view = makeView(work.right - work.left, work.bottom - work.top, 0x808080);
    }
    void TearDown() override
    {
        libraryExit();
        ViewerTest::TearDown();
    }
    fs::path shot(const std::string& name)
    {
        const char* folder = std::getenv("FOTRIX_DOC_IMAGES");
        fs::path path = (folder ? fs::path(folder) : scratch.path()) / name;
        EXPECT_TRUE(PlatformScreenshot(path.string().c_str()));
        EXPECT_TRUE(fs::exists(path));
        return path;
    }
    bool showPhoto()
    {
        fs::path photo = testsupport::testdata("libjpeg-turbo/testorig.jpg");
        if (!fs::exists(photo)) return false;
        Bitmap picture;
        LoadParams params;
        loadParamsDefaults(params);
        params.channelOrder = 1;
        params.options = NoAlpha;
        if (loadBitmap(photo.string(), picture, params, nullptr) != 0) return false;
        SetPicture(view, &picture, true);
        pump();
        return true;
    }
    int countPixels(int top, int bottom, bool (*match)(COLORREF))
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < work.right; ++x) n += match(viewPixel(view, x, y));
        return n;
    }
    void shootSet(const std::string& size)
    {
        ASSERT_TRUE(showPhoto()) << "no test photo";
        SetFitMode(view, FitWindow);
        SetLabel(view, "testorig.jpg");
        pump();
        SIZE display = GetDisplaySize(view);
        RECT client;
        GetClientRect(view, &client);
        EXPECT_EQ(display.cx, client.right);  // a wide photo fills the width
        POINT scroll = GetScrollPosition(view);
        EXPECT_EQ(viewPixel(view, client.right / 2, -scroll.y - 2), RGB(0x80, 0x80, 0x80));
        EXPECT_GT(countPixels(0, 20, isRed), 20);  // the label
        shot("viewer-fit-" + size + ".png");

        SetLabel(view, nullptr);
        SetScrollbars(view, true);
        SetZoom(view, 400);
        ScrollBy(view, -10000, -10000);
        ScrollBy(view, 300, 160);
        Rect selection{100, 60, 40, 30};
        SetSelection(view, &selection);
        pump();
        EXPECT_TRUE(GetWindowLong(view, GWL_STYLE) & WS_HSCROLL);
        EXPECT_TRUE(GetWindowLong(view, GWL_STYLE) & WS_VSCROLL);
        EXPECT_GT(countPixels(0, client.bottom - GetSystemMetrics(SM_CYHSCROLL), isRed), 100);  // the frame
        shot("viewer-zoom-" + size + ".png");

        SetScrollbars(view, false);
        SetPicture(view, nullptr, true);
        pump();
        EXPECT_EQ(viewPixel(view, client.right / 2, client.bottom / 2), RGB(0x80, 0x80, 0x80));
    }
};

TEST_F(Screenshots, at_240_by_320)
{
    open(240, 320);
    shootSet("240x320");
}

TEST_F(Screenshots, at_480_by_640)
{
    open(480, 640);
    shootSet("480x640");
}

}  // namespace
