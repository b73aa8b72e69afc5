#include "tests/app/options_fixture.h"

#include "app/language.h"
#include "imagelib/formats.h"
#include "tests/support/platform_support.h"

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <iterator>

namespace optionstest {

namespace {

std::deque<Step> steps;
std::vector<int> received;

LRESULT mainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        received.push_back(LOWORD(wParam));
        return 0;
    }
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        testsupport::runNextStep(steps, reinterpret_cast<HWND>(lParam));
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

// The built-in texts the pages and the start screen show.
const StringResource kStrings[] = {
    {4122, "General"},      {4123, "Slideshow"},     {4148, "Associations"}, {4149, "Album files"},
    {4157, "The new language applies when you start Fotrix Pocket again."},
    {4189, "Browse\\nfolders"}, {4190, "Play\\nan album"}, {4191, "Make\\nan album"},
    {4192, "Make a\\nslideshow"}, {4194, "Storage\\ncard"}, {4195, "Options"},
    {4193, "Browser"},      {4196, "Buttons"},       {4197, "Button"},       {4198, "Assignment"},
    {4199, "None"},         {4200, "Next picture"},  {4201, "Previous picture"}, {4202, "Full screen"},
    {4203, "Zoom in"},      {4204, "Zoom out"},      {4205, "Up"},           {4206, "Down"},
    {4207, "Right"},        {4208, "Left"},          {4209, "Action"},       {4222, "Viewer"},
};

BOOL destroyEach(HWND hwnd, LPARAM)
{
    if (hwnd != screenTaskBar()) DestroyWindow(hwnd);
    return TRUE;
}

BOOL collectText(HWND child, LPARAM lParam)
{
    char text[512] = "";
    GetWindowText(child, text, sizeof text);
    auto* all = reinterpret_cast<std::string*>(lParam);
    *all += text;
    *all += "|";
    return TRUE;
}

}  // namespace

void AppWindowTest::start(int width, int height, int dpi)
{
    setenv("FOTRIX_CONFIG_DIR", (dir / "config").string().c_str(), 1);
    std::filesystem::create_directories(dir / "config");
    std::filesystem::create_directories(dir / "languages");
    ASSERT_TRUE(platformtest::startHeadless(width, height, dpi));
    InitCommonControls();
    RegisterStringTable(kStrings, static_cast<int>(std::size(kStrings)));
    fotrix::libraryInit();
    fotrix::SetLanguageFolder((dir / "languages").string().append("/").c_str());
    fotrix::gApp = fotrix::AppState{};
    WNDCLASS wc{};
    wc.lpfnWndProc = mainProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
    wc.lpszClassName = "StandInMain";
    RegisterClass(&wc);
    mainWindow = CreateWindow("StandInMain", "Fotrix Pocket", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    fotrix::gApp.mainWindow = mainWindow;
    steps.clear();
    received.clear();
    pump();
}

void AppWindowTest::TearDown()
{
    steps.clear();
    EnumWindows(destroyEach, 0);
    ReleaseCapture();
    SetFocus(nullptr);
    PlatformRunPending();
    fotrix::CloseLanguage();
    fotrix::SetLanguageFolder(nullptr);
    fotrix::libraryExit();
    PlatformShutdown();
    unsetenv("FOTRIX_CONFIG_DIR");
}

void AppWindowTest::script(std::vector<Step> list) { steps.assign(list.begin(), list.end()); }
bool AppWindowTest::scriptDone() const { return steps.empty(); }
std::vector<int> AppWindowTest::commands() const { return received; }

std::string AppWindowTest::screenshotPath(const std::string& name) const
{
    // FOTRIX_SCREENSHOT_DIR collects them for the docs; otherwise they stay in the test's folder.
    const char* folder = std::getenv("FOTRIX_SCREENSHOT_DIR");
    std::filesystem::path base = folder ? std::filesystem::path(folder) : dir.path();
    return (base / name).string();
}

void stylusDown(HWND w, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(w, &p);
    PlatformStylusInput(StylusDown, p.x, p.y);
}

void stylusUp(HWND w, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(w, &p);
    PlatformStylusInput(StylusUp, p.x, p.y);
}

void tapAt(HWND w, int x, int y)
{
    stylusDown(w, x, y);
    stylusUp(w, x, y);
}

void keyPress(UINT vk)
{
    PlatformKeyInput(vk, true);
    PlatformKeyInput(vk, false);
}

void pump() { PlatformRunPending(); }

void setCheck(HWND dialog, int id, bool on)
{
    if ((IsDlgButtonChecked(dialog, id) == BST_CHECKED) != on) SendDlgItemMessage(dialog, id, BM_CLICK, 0, 0);
}

void chooseComboItem(HWND dialog, int id, int index)
{
    HWND combo = GetDlgItem(dialog, id);
    SendMessage(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void setText(HWND dialog, int id, const char* text) { SetDlgItemText(dialog, id, text); }

HWND currentPage(HWND sheet) { return reinterpret_cast<HWND>(SendMessage(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }
void showPage(HWND sheet, int index) { SendMessage(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0); }
void pressOk(HWND sheet) { PostMessage(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0); }
void pressCancel(HWND sheet) { PostMessage(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }

std::string dialogTexts(HWND dialog)
{
    std::string all;
    EnumChildWindows(dialog, collectText, reinterpret_cast<LPARAM>(&all));
    return all;
}

bool saveScreen(const std::string& path)
{
    HDC dc = GetDC(nullptr);
    RECT all{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    BOOL ok = SaveDCToPng(dc, &all, path.c_str());
    ReleaseDC(nullptr, dc);
    return ok;
}

}  // namespace optionstest
