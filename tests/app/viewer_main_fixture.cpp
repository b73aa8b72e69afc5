// The main-view fixture: its main window answers message boxes and records
// commands; the animation timer reaches the main view as in the program.
#include "tests/app/viewer_main_fixture.h"

using namespace fotrix;

namespace viewertest {

std::vector<std::string> boxTexts;
std::vector<int> commands;

namespace {

BOOL collectText(HWND child, LPARAM)
{
    char text[512] = "";
    GetWindowText(child, text, sizeof text);
    if (text[0]) boxTexts.back() += std::string(text) + "|";
    return TRUE;
}

LRESULT mainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        HWND box = reinterpret_cast<HWND>(lParam);
        char title[128] = "";
        GetWindowText(box, title, sizeof title);
        boxTexts.push_back(std::string(title) + "|");
        EnumChildWindows(box, collectText, 0);
        PostMessage(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    if (message == WM_COMMAND) commands.push_back(LOWORD(wParam));
    if (message == WM_TIMER && wParam == kAnimationTimer) OnAnimationTimer(hwnd);
    return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

void MainView::SetUp()
{
    ViewerTest::SetUp();
    libraryInit();
    boxTexts.clear();
    commands.clear();
    gApp = AppState{};
    gApp.rotateAuto = 0;
    WNDCLASS wc{};
    wc.lpfnWndProc = mainProc;
    wc.lpszClassName = "ViewerTestMain";
    RegisterClass(&wc);
    RECT work{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    gApp.mainWindow = CreateWindow("ViewerTestMain", "main", WS_VISIBLE | WS_POPUP, 0, work.top, 240, 268,
                                   nullptr, nullptr, nullptr, nullptr);
    HWND view = CreateMainView(gApp.mainWindow);
    MoveWindow(view, 0, 0, 240, 268, TRUE);
    ShowWindow(view, SW_SHOW);
    SetFitMode(view, ShrinkLarge);
    pump();
}

void MainView::TearDown()
{
    StopDecodeAhead();
    ClearView();
    gApp = AppState{};
    libraryExit();
    ViewerTest::TearDown();
}

int MainView::addJpeg(const std::string& name, int width, int height)
{
    Bitmap picture = patternPicture(width, height);
    SaveParams params;
    saveParamsDefaults(params);
    params.format = FormatJpeg;
    params.quality = 90;
    std::string path = (dir / name).string();
    EXPECT_EQ(saveBitmap(path, picture, params), 0);
    bitmapFree(picture);
    return addFile(path);
}

int MainView::addFile(const std::string& path)
{
    FileEntry entry;
    entry.path = path;
    gApp.files.push_back(entry);
    return fileCount() - 1;
}

}  // namespace viewertest
