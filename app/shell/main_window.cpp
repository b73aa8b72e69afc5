// The main window: its class, creation (with the hand-over to a running
// instance), WM_CREATE and the message map. The work of each message lives in
// the shell's other files; the handlers here are the table's rows.
#include "app/shell/main_window.h"

#include "app/album/album_commands.h"
#include "app/browser/browser.h"
#include "app/language.h"
#include "app/settings/general_settings.h"
#include "app/shell/commands.h"
#include "app/shell/peer_interfaces.h"
#include "app/shell/shell_internal.h"
#include "app/tools/tool_commands.h"
#include "app/viewer/main_view.h"
#include "platform/controls/controls.h"

#include <cstring>

namespace fotrix {

ShellState gShell;

namespace {

constexpr int kToolButtonCount = 6;

HIMAGELIST gButtonImages = nullptr;
HIMAGELIST gDisabledImages = nullptr;

HIMAGELIST loadImageList(int bitmap, int cell, COLORREF mask, int count)
{
    HBITMAP picture = LoadBitmap(gShell.instance, MAKEINTRESOURCE(bitmap));
    if (!picture) return nullptr;
    HIMAGELIST list = ImageList_Create(cell, cell == 31 ? 6 : cell, ILC_MASK | ILC_COLOR24, count, 0);
    if (list) ImageList_AddMasked(list, picture, mask);
    DeleteObject(picture);
    return list;
}

// The tool buttons' images: 16x16 from bitmap 114 (the bar loads them), and
// above 96 dpi the 32x32 ones of bitmap 152 instead; disabled buttons from
// 128 or 154.
void setToolButtonImages(HWND bar)
{
    bool large = gApp.dpiX > 96;
    if (large) {
        gButtonImages = loadImageList(kBitmapToolButtons32, 32, kToolButtonMask, kToolButtonCount);
        if (gButtonImages) SendMessage(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(gButtonImages));
    }
    int disabled = large ? kBitmapToolButtonsDisabled32 : kBitmapToolButtonsDisabled;
    gDisabledImages = loadImageList(disabled, large ? 32 : 16, kToolButtonMask, kToolButtonCount);
    if (gDisabledImages) SendMessage(bar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(gDisabledImages));
}

HWND createMenuBar(HWND hwnd)
{
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = hwnd;
    info.nToolBarId = kMenuMain;
    info.hInstRes = gShell.instance;
    info.nBmpId = kBitmapToolButtons;
    info.cBmpImages = kToolButtonCount;
    if (!SHCreateMenuBar(&info)) return nullptr;
    setToolButtonImages(info.hwndMB);
    return info.hwndMB;
}

int clientHeight(HWND hwnd)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    return client.bottom - client.top;
}

// The state starts fresh with every main window; the screen's resolution was
// read before it.
void resetState(HWND hwnd, HWND menuBar)
{
    int dpiX = gApp.dpiX, dpiY = gApp.dpiY;
    gApp = AppState{};
    gApp.dpiX = dpiX;
    gApp.dpiY = dpiY;
    gApp.mainWindow = hwnd;
    gApp.menuBar = menuBar;
    gApp.returnMode = -1;
    gApp.currentIndex = -1;
}

void readStartSettings(HWND hwnd)
{
    ReadGeneralSettings(gApp);
    if (gApp.userViewMode != 4) gApp.mode = gApp.userViewMode;
    if (gApp.treeViewHeight == 0) gApp.treeViewHeight = clientHeight(hwnd) / 2 - 16;
}

LRESULT onCreate(HWND hwnd, UINT, WPARAM, LPARAM)
{
    HWND bar = createMenuBar(hwnd);
    if (bar) TranslateMenu(bar, reinterpret_cast<HMENU>(SendMessage(bar, SHCMBM_GETMENU, 0, 0)));
    gShell.activation = SHACTIVATEINFO{};
    gShell.activation.cbSize = 12;
    resetState(hwnd, bar);
    readStartSettings(hwnd);
    gShell.fitChoice = gApp.fit == 2 ? 2 : gApp.fit == 1 ? 1 : 0;
    ApplyMenuChecks();
    gApp.splitterImages = loadImageList(kBitmapSplitter, 31, kSplitterMask, 4);
    return 0;
}

LRESULT onCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchCommandMap(&MainCommandMap(), hwnd, message, wParam, lParam);
}

LRESULT onActivate(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    SHHandleWMActivate(hwnd, wParam, lParam, &gShell.activation, 0);
    return 0;
}

LRESULT onSettingChange(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    SHHandleWMSettingChange(hwnd, wParam, lParam, &gShell.activation);
    LayoutMainWindow();
    return 0;
}

void destroyImageList(HIMAGELIST& list)
{
    if (list) ImageList_Destroy(list);
    list = nullptr;
}

// Settings first, then the worker, the view, the list and what they hold.
LRESULT onDestroy(HWND, UINT, WPARAM, LPARAM)
{
    if (gApp.menuBar) DestroyWindow(gApp.menuBar);
    gApp.menuBar = nullptr;
    KillTimer(gApp.mainWindow, kSlideshowTimer);
    WriteGeneralSettings(gApp);
    StopThumbnailWorker();
    StopDecodeAhead();
    ClearView();
    DestroyListImageLists();
    FreeFileList();
    FreeFileClipboard();
    destroyImageList(gApp.splitterImages);
    destroyImageList(gButtonImages);
    destroyImageList(gDisabledImages);
    ReleaseSoundLibrary();
    ReleaseControlFonts();
    gApp.mainWindow = nullptr;
    PostQuitMessage(0);
    return 0;
}

LRESULT onNotify(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->idFrom == static_cast<UINT_PTR>(kTreeControlId)) return OnTreeNotify(hwnd, header);
    if (header && header->idFrom == static_cast<UINT_PTR>(kListControlId)) return OnListNotify(hwnd, header);
    return DefWindowProc(hwnd, message, wParam, lParam);
}

LRESULT onThumbnailReady(HWND, UINT, WPARAM, LPARAM lParam)
{
    OnThumbnailReady(static_cast<int>(lParam));
    return 0;
}

LRESULT onThumbnailsDone(HWND, UINT, WPARAM, LPARAM) { return 0; }

LRESULT onMeasureItem(HWND, UINT, WPARAM wParam, LPARAM lParam)
{
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (wParam != static_cast<WPARAM>(kListControlId) || !measure) return FALSE;
    measure->itemWidth = 60;
    bool large = ThumbnailCellWidth() >= 60 && ThumbnailCellHeight() >= 60;
    measure->itemHeight = large ? ThumbnailCellHeight() : 60;
    return TRUE;
}

LRESULT onDrawItem(HWND, UINT, WPARAM wParam, LPARAM lParam)
{
    if (wParam != static_cast<WPARAM>(kListControlId) || !lParam) return FALSE;
    DrawDetailsRow(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
}

// The folder a screen capture goes to: the home folder when set.
std::string captureFolder() { return gApp.homeFolder.empty() ? gApp.currentFolder : gApp.homeFolder; }

LRESULT onTimer(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    switch (wParam) {
    case kSlideshowTimer:
        SystemIdleTimerReset();
        StepSlideshow(+1);
        break;
    case kCaptureTimer:
        KillTimer(hwnd, kCaptureTimer);
        TakeScreenCapture(hwnd, captureFolder());
        break;
    case kAnimationTimer:
        OnAnimationTimer(hwnd);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT onSize(HWND, UINT, WPARAM, LPARAM)
{
    LayoutMainWindow();
    return 0;
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    PaintSplitter(hwnd);
    return 0;
}

LRESULT onButtonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    SplitterButtonDown(hwnd, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT onButtonUp(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    SplitterButtonUp(hwnd, GET_X_LPARAM(lParam));
    return 0;
}

LRESULT onMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    SplitterMouseMove(hwnd, GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT onKeyDown(HWND, UINT, WPARAM wParam, LPARAM)
{
    HandleKeyDown(static_cast<UINT>(wParam));
    return 0;
}

// The favorites drop-down is the fourth pop-up of the bar's menu; File ▸ Go to
// (the first pop-up of File) lists the folders of the current path.
LRESULT onInitMenuPopup(HWND, UINT, WPARAM wParam, LPARAM)
{
    HMENU menu = BarMenu();
    HMENU popup = reinterpret_cast<HMENU>(wParam);
    if (!menu || !popup) return 0;
    if (popup == GetSubMenu(menu, 3)) FillFavoritesMenu(popup);
    else if (popup == GetSubMenu(GetSubMenu(menu, 0), 0)) FillGoToMenu(popup);
    return 0;
}

// Another instance's command line: a UTF-8 path with its terminating zero.
LRESULT onCopyData(HWND, UINT, WPARAM, LPARAM lParam)
{
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || !data->lpData || data->cbData == 0 || data->cbData > 4 * MAX_PATH) return FALSE;
    const char* text = static_cast<const char*>(data->lpData);
    std::string path(text, strnlen(text, data->cbData));
    return OpenPath(path) ? TRUE : FALSE;
}

LRESULT onFileChange(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    OnFileChange(hwnd, wParam, lParam);
    SHChangeNotifyFree(reinterpret_cast<FILECHANGENOTIFY*>(lParam));
    return 0;
}

LRESULT onDecodeAheadDone(HWND, UINT, WPARAM, LPARAM)
{
    OnDecodeAheadDone();
    return 0;
}

constexpr UINT kThumbnailReady = WM_USER + 1;
constexpr UINT kThumbnailsDone = WM_USER + 2;
constexpr UINT kFileChangeNotify = WM_APP + 0x101;

const MessageEntry kMainMessages[] = {
    {WM_COMMAND, onCommand},
    {WM_CREATE, onCreate},
    {WM_ACTIVATE, onActivate},
    {WM_SETTINGCHANGE, onSettingChange},
    {WM_DESTROY, onDestroy},
    {WM_NOTIFY, onNotify},
    {kThumbnailReady, onThumbnailReady},
    {kThumbnailsDone, onThumbnailsDone},
    {WM_MEASUREITEM, onMeasureItem},
    {WM_DRAWITEM, onDrawItem},
    {WM_TIMER, onTimer},
    {WM_SIZE, onSize},
    {WM_PAINT, onPaint},
    {WM_LBUTTONUP, onButtonUp},
    {WM_LBUTTONDOWN, onButtonDown},
    {WM_MOUSEMOVE, onMouseMove},
    {WM_KEYDOWN, onKeyDown},
    {WM_INITMENUPOPUP, onInitMenuPopup},
    {WM_COPYDATA, onCopyData},
    {kFileChangeNotify, onFileChange},
    {kDecodeAheadDone, onDecodeAheadDone},
};
const MessageMap kMainMessageMap = makeMessageMap(kMainMessages, DefaultProcWindow);

bool registerMainClass(HINSTANCE instance)
{
    WNDCLASS existing{};
    if (GetClassInfo(instance, kMainWindowClass, &existing)) return true;
    WNDCLASS wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MessageMapProc<kMainMessageMap>;
    wc.hInstance = instance;
    wc.hIcon = LoadIcon(instance, MAKEINTRESOURCE(kIconApp));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kMainWindowClass;
    return RegisterClass(&wc) != 0;
}

// A running instance gets our command line and comes to the front.
bool handOverToRunningInstance(const std::string& commandLine)
{
    if (InstanceClaim(kInstanceChannel) == InstanceFirst) return false;
    HWND other = FindWindow(kMainWindowClass, kMainWindowTitle);
    if (!other) return false;
    SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(other) | 1));
    if (!commandLine.empty()) {
        COPYDATASTRUCT data{0, static_cast<DWORD>(commandLine.size() + 1), const_cast<char*>(commandLine.c_str())};
        SendMessage(other, WM_COPYDATA, reinterpret_cast<WPARAM>(other), reinterpret_cast<LPARAM>(&data));
    }
    return true;
}

void createPanes(HWND hwnd)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    int height = client.bottom - client.top;
    int middle = height / 2;
    gApp.treeWindow = CreateFolderTree(hwnd);
    if (gApp.treeWindow) MoveWindow(gApp.treeWindow, 0, 0, client.right, height / 2 - 16, FALSE);
    SetControlFontHeight(gApp.treeWindow, gApp.fontTree);
    gApp.listWindow = CreateFileList(hwnd);
    if (gApp.listWindow) MoveWindow(gApp.listWindow, 0, middle - 12, client.right, 24, FALSE);
    SetControlFontHeight(gApp.listWindow, gApp.fontThumb);
    gApp.viewWindow = CreateMainView(hwnd);
    ViewSetBackground(0x808080);
}

// The zoom the view starts with, from the Fit item the settings checked.
void applyStartZoom()
{
    if (FitChoice() == 2) {
        SendMessage(gApp.mainWindow, WM_COMMAND, CmdActualSize, 0);
        gApp.zoomPercent = 100;
    } else {
        ViewSetFitMode(ShrinkLarge);
        gApp.zoomPercent = -1;
    }
    ViewSetMouseMode(gApp.viewMove);
    ViewSetScrollbars(gApp.useScrollbar != 0);
    ViewSetBackground(gApp.viewBackColor);
}

}  // namespace

HMENU BarMenu()
{
    if (!gApp.menuBar) return nullptr;
    return reinterpret_cast<HMENU>(SendMessage(gApp.menuBar, SHCMBM_GETMENU, 0, 0));
}

HWND CreateMainWindow(HINSTANCE instance, const std::string& commandLine, bool* otherInstance)
{
    if (otherInstance) *otherInstance = false;
    if (handOverToRunningInstance(commandLine)) {
        if (otherInstance) *otherInstance = true;
        return nullptr;
    }
    gShell = ShellState{};
    gShell.instance = instance;
    for (int& width : gShell.columnWidths) width = ScaleForScreen(width);
    if (!registerMainClass(instance)) return nullptr;
    HWND hwnd = CreateWindowEx(0, kMainWindowClass, kMainWindowTitle, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return nullptr;
    // CW_USEDEFAULT already gives the work area above the menu-bar place, so
    // the window keeps its size whether or not the bar exists.
    ShowWindow(hwnd, SW_HIDE);
    createPanes(hwnd);
    applyStartZoom();
    int mode = gApp.mode;
    bool browse = mode >= ModeList && mode <= ModeStrip;
    SetViewMode(browse ? CmdModeThumbnails + mode : CmdModeThumbnails);
    return hwnd;
}

}  // namespace fotrix
