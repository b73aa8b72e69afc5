// Screenshots of the six options pages and of the start screen at 240x320
// and 480x640 (FOTRIX_SCREENSHOT_DIR=docs/images/app keeps them for the
// docs). Each page is also checked for controls that leave the page or
// overlap one another.
#include "app/options/options_sheet.h"
#include "app/resources/raw_resources.h"
#include "app/resources/resource_ids.h"
#include "app/resources/texts.h"
#include "app/startscreen/start_screen.h"
#include "archive/zip.h"
#include "tests/app/options_fixture.h"

#include <filesystem>

using namespace fotrix;
using namespace optionstest;

namespace {

const char* const kPageNames[] = {"general", "browser", "viewer", "slideshow", "buttons", "associations"};

struct Control {
    HWND hwnd;
    RECT rect;
};

// Controls of a page (its direct children) that stick out of it or overlap.
std::string layoutFaults(HWND page)
{
    std::vector<Control> controls;
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        char name[32] = "";
        GetClassName(c, name, sizeof name);
        // A combo box's rectangle holds its dropped list: only its field counts.
        if (std::string(name) == WC_COMBOBOX) r.bottom = r.top + ScaleForScreen(22);
        controls.push_back({c, r});
    }
    RECT pageRect;
    GetWindowRect(page, &pageRect);
    std::string faults;
    for (size_t i = 0; i < controls.size(); ++i) {
        RECT inside;
        IntersectRect(&inside, &controls[i].rect, &pageRect);
        if (!EqualRect(&inside, &controls[i].rect)) faults += "control " + std::to_string(GetDlgCtrlID(controls[i].hwnd)) + " leaves the page; ";
        for (size_t j = i + 1; j < controls.size(); ++j) {
            RECT both;
            if (IntersectRect(&both, &controls[i].rect, &controls[j].rect))
                faults += std::to_string(GetDlgCtrlID(controls[i].hwnd)) + " overlaps " +
                          std::to_string(GetDlgCtrlID(controls[j].hwnd)) + "; ";
        }
    }
    return faults;
}

// A stand-in for the program's artwork: a sky, a band for the title and a
// framed square at each tile's place.
std::vector<uint8_t> artwork()
{
    const int w = 240, h = 320;
    std::vector<uint8_t> b(1078 + w * h, 0);
    b[0] = 'B';
    b[1] = 'M';
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 1078);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 8;
    const uint8_t palette[4][3] = {{250, 240, 225}, {215, 180, 120}, {90, 60, 30}, {160, 110, 40}};  // B, G, R
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c) b[54 + 4 * i + c] = palette[i][c];
    const int tiles[6][4] = {{10, 48, 74, 112},  {84, 48, 148, 112},  {164, 48, 228, 112},
                             {10, 165, 74, 229}, {84, 165, 148, 229}, {164, 165, 228, 229}};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t colour = y < 30 ? 3 : 0;
            for (const auto& t : tiles) {
                bool in = x >= t[0] && x < t[2] && y >= t[1] && y < t[3];
                bool edge = in && (x < t[0] + 3 || x >= t[2] - 3 || y < t[1] + 3 || y >= t[3] - 3);
                if (in) colour = edge ? 2 : 1;
            }
            b[1078 + static_cast<size_t>(h - 1 - y) * w + x] = colour;  // bottom-up
        }
    }
    return b;
}

// The program's own built-in texts, for pictures as the user sees them.
void useBuiltInTexts()
{
    static std::vector<StringResource> table;
    if (table.empty())
        for (const BuiltInText& text : BuiltInTexts()) table.push_back({text.number, text.english});
    RegisterStringTable(table.data(), static_cast<int>(table.size()));
}

class Screenshots : public AppWindowTest {
protected:
    void SetUp() override {}
    void shootPages(const std::string& size)
    {
        std::vector<Step> steps;
        std::vector<std::string> faults(6);
        for (int i = 0; i < 6; ++i) {
            steps.push_back([i](HWND sheet) { showPage(sheet, i); });
            steps.push_back([this, i, size, &faults](HWND sheet) {
                pump();
                std::string path = screenshotPath("options-" + std::string(kPageNames[i]) + "-" + size + ".png");
                EXPECT_TRUE(saveScreen(path));
                EXPECT_GT(std::filesystem::file_size(path), 1000u);
                faults[i] = layoutFaults(currentPage(sheet));
            });
        }
        steps.push_back([](HWND sheet) { pressCancel(sheet); });
        script(steps);
        EXPECT_FALSE(ShowOptionsSheet(mainWindow));
        EXPECT_TRUE(scriptDone());
        for (int i = 0; i < 6; ++i) EXPECT_EQ(faults[i], "") << kPageNames[i] << " at " << size;
    }
    void shootStartScreen(const std::string& size)
    {
        std::vector<uint8_t> bmp = artwork();
        testsupport::writeFile(dir / "splash.bmp", bmp);
        std::string zipPath = (dir / "splash.zip").string();
        ZipHandle* zip = zipCreate(zipPath.c_str());
        ASSERT_EQ(zipAdd(zip, "splash.bmp", (dir / "splash.bmp").string().c_str()), ZipOk);
        ASSERT_EQ(zipClose(zip), ZipOk);
        archive = testsupport::readFile(zipPath);
        RegisterRawResource("SPLASH", kSplashResource, archive.data(), archive.size());
        HWND screen = ShowStartScreen(mainWindow);
        ASSERT_NE(screen, nullptr);
        pump();
        // The options tile pressed: its caption turns red.
        RECT client;
        GetClientRect(screen, &client);
        stylusDown(screen, client.right * 196 / 240, client.bottom * 197 / 320);
        pump();
        std::string path = screenshotPath("start-screen-" + size + ".png");
        EXPECT_TRUE(saveScreen(path));
        RegisterRawResource("SPLASH", kSplashResource, nullptr, 0);
        DestroyWindow(screen);
    }
    std::vector<uint8_t> archive;
};

TEST_F(Screenshots, options_pages_and_start_screen_at_240x320)
{
    start(240, 320, 96);
    useBuiltInTexts();
    shootPages("240x320");
    shootStartScreen("240x320");
}

TEST_F(Screenshots, options_pages_and_start_screen_at_480x640)
{
    start(480, 640, 192);
    useBuiltInTexts();
    shootPages("480x640");
    shootStartScreen("480x640");
}

}  // namespace
