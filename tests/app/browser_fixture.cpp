#include "tests/app/browser_fixture.h"

#include "imagelib/formats.h"
#include "platform/controls/controls.h"
#include "platform/platform.h"
#include "platform/shell/changenotify.h"
#include "platform/window/window.h"
#include "tests/support/platform_support.h"

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace fotrix;

namespace browsertest {

namespace {

const StringResource kStrings[] = {
    {4086, "bytes"}, {4087, "KB"}, {4088, "MB"}, {4089, "GB"}, {4095, "My Device"}, {4180, "Album"},
};

std::deque<DialogStep> dialogSteps;
int unexpected = 0;

void answerIdleDialog(HWND dialog)
{
    if (dialogSteps.empty()) {
        ++unexpected;
        EndDialog(dialog, IDCANCEL);
        return;
    }
    DialogStep step = std::move(dialogSteps.front());
    dialogSteps.pop_front();
    step(dialog);
    if (IsWindow(dialog)) PostMessage(dialog, WM_NULL, 0, 0);
}

LRESULT mainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ENTERIDLE:
        if (wParam == MSGF_DIALOGBOX) answerIdleDialog(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == kTreeControlId) return OnTreeNotify(hwnd, header);
        if (header->idFrom == kListControlId) return OnListNotify(hwnd, header);
        return 0;
    }
    case WM_USER + 1: OnThumbnailReady(static_cast<int>(lParam)); return 0;
    case WM_USER + 2: return 0;
    case WM_FILECHANGEINFO: OnFileChange(hwnd, wParam, lParam); return 0;
    case WM_MEASUREITEM: MeasureDetailsRow(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)); return TRUE;
    case WM_DRAWITEM: DrawDetailsRow(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    default: return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

void put16(std::vector<uint8_t>& b, uint32_t v) { b.push_back(v & 0xFF), b.push_back((v >> 8) & 0xFF); }
void put32(std::vector<uint8_t>& b, uint32_t v) { put16(b, v & 0xFFFF), put16(b, v >> 16); }

}  // namespace

void writeBmp(const std::filesystem::path& path, int width, int height, uint8_t grey)
{
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t pixels = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> b;
    b.push_back('B'), b.push_back('M');
    put32(b, 54 + pixels), put32(b, 0), put32(b, 54);
    put32(b, 40), put32(b, static_cast<uint32_t>(width)), put32(b, static_cast<uint32_t>(height));
    put16(b, 1), put16(b, 24), put32(b, 0), put32(b, pixels), put32(b, 2835), put32(b, 2835), put32(b, 0), put32(b, 0);
    b.resize(b.size() + pixels, grey);
    testsupport::writeFile(path, b);
}

void answerDialogs(std::deque<DialogStep> steps)
{
    dialogSteps = std::move(steps);
    unexpected = 0;
}
bool dialogStepsDone() { return dialogSteps.empty(); }
int unexpectedDialogs() { return unexpected; }

std::string messageBoxText(HWND dialog)
{
    char text[1024] = "";
    GetDlgItemText(dialog, 0xFFFF, text, sizeof text);
    return text;
}

DialogStep press(int id)
{
    return [id](HWND dialog) { SendMessage(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); };
}

void BrowserWindow::SetUp()
{
    answerDialogs({});
    setenv("FOTRIX_CONFIG_DIR", configDir.path().c_str(), 1);
    ASSERT_TRUE(platformtest::startHeadless());
    InitCommonControls();
    libraryInit();
    RegisterStringTable(kStrings, static_cast<int>(std::size(kStrings)));
    gApp = AppState{};
    WNDCLASS wc{};
    wc.lpfnWndProc = mainProc;
    wc.lpszClassName = "BrowserTestMain";
    RegisterClass(&wc);
    main = CreateWindow("BrowserTestMain", "Fotrix Pocket", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                        nullptr);
    gApp.mainWindow = main;
    HWND tree = CreateFolderTree(main);
    HWND list = CreateFileList(main);
    MoveWindow(tree, 0, 0, 240, 100, TRUE);
    MoveWindow(list, 0, 100, 240, 220, TRUE);
}

void BrowserWindow::TearDown()
{
    FreeFileList();
    DestroyListImageLists();
    SHChangeNotifyDeregister(main);
    DestroyWindow(main);
    gApp = AppState{};
    PlatformRunPending();
    libraryExit();
    PlatformShutdown();
}

std::string BrowserWindow::folder(const std::string& relative) const
{
    std::string path = (dir.path() / relative).string();
    if (path.back() != '/') path += '/';
    return path;
}

void BrowserWindow::settle(double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        PlatformRunPending();
        if (!BrowserBusy()) {
            PlatformRunPending();
            return;
        }
        if (std::chrono::steady_clock::now() > end) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string BrowserWindow::itemText(int index, int column) const
{
    char text[260] = "";
    LVITEM item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessage(gApp.listWindow, LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

}  // namespace browsertest
