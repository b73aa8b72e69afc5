#include "app/startscreen/start_screen.h"

#include "app/language.h"
#include "app/shell/app_state.h"
#include "app/startscreen/splash_picture.h"
#include "app/startscreen/start_actions.h"
#include "app/startscreen/start_tiles.h"

#include <string>

namespace fotrix {

namespace {

// Kept in the window's user-data word from WM_CREATE to WM_DESTROY.
struct StartScreen {
    HBITMAP picture = nullptr;  // null: no picture, the captions alone
    HWND mainWindow = nullptr;
    StartTiles tiles{};
};

StartScreen* screenOf(HWND hwnd) { return reinterpret_cast<StartScreen*>(GetWindowLongPtr(hwnd, GWLP_USERDATA)); }

LRESULT onCreate(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    auto* create = reinterpret_cast<CREATESTRUCT*>(lParam);
    auto* screen = new StartScreen;
    screen->mainWindow = static_cast<HWND>(create->lpCreateParams);
    screen->picture = LoadSplashPicture();
    HDC dc = GetDC(hwnd);
    screen->tiles = MakeStartTiles(GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(hwnd, dc);
    SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(screen));
    return 0;
}

void paintPicture(HDC dc, const RECT& client, HBITMAP picture)
{
    if (!picture) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        return;
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, kSplashWidth, kSplashHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

// The caption's text with the two characters "\n" as a line break.
std::string captionText(const StartTile& tile)
{
    std::string source = Tr(tile.number, tile.key);
    std::string text;
    for (size_t i = 0; i < source.size(); ++i) {
        bool lineBreak = source[i] == '\\' && i + 1 < source.size() && source[i + 1] == 'n';
        text += lineBreak ? '\n' : source[i];
        if (lineBreak) ++i;
    }
    return text;
}

HFONT makeCaptionFont(HDC dc)
{
    LOGFONT font{};
    font.lfHeight = -8 * GetDeviceCaps(dc, LOGPIXELSY) / 72;
    font.lfWeight = FW_BOLD;
    std::string("Tahoma").copy(font.lfFaceName, sizeof font.lfFaceName - 1);
    return CreateFontIndirect(&font);
}

void paintCaptions(HDC dc, const StartTiles& tiles)
{
    HFONT font = makeCaptionFont(dc);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRIC metrics{};
    GetTextMetrics(dc, &metrics);
    SetBkMode(dc, TRANSPARENT);
    for (const StartTile& tile : tiles) {
        RECT box{tile.rect.left, tile.rect.bottom, tile.rect.right, tile.rect.bottom + 2 * metrics.tmHeight};
        SetTextColor(dc, tile.marked ? RGB(255, 0, 0) : RGB(0, 0, 0));
        std::string text = captionText(tile);
        DrawText(dc, text.c_str(), -1, &box, DT_CENTER | DT_NOPREFIX);
    }
    SelectObject(dc, old);
    DeleteObject(font);
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    if (StartScreen* screen = screenOf(hwnd)) {
        paintPicture(dc, client, screen->picture);
        paintCaptions(dc, screen->tiles);
    }
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT onButtonDown(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    StartScreen* screen = screenOf(hwnd);
    if (!screen) return 0;
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    MarkStartTile(screen->tiles, StartTileAt(screen->tiles, at));
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

// Gives the screen back to the main window with its task bar.
void showMainWindow(HWND hwnd, HWND mainWindow)
{
    ShowWindow(mainWindow, SW_SHOW);
    SHFullScreen(mainWindow, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON);
    SHFullScreen(hwnd, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON);
}

LRESULT onButtonUp(HWND hwnd, UINT, WPARAM, LPARAM)
{
    StartScreen* screen = screenOf(hwnd);
    int tile = screen ? MarkedStartTile(screen->tiles) : -1;
    if (tile < 0) return 0;
    HWND mainWindow = screen->mainWindow;
    showMainWindow(hwnd, mainWindow);
    RunStartTile(tile, hwnd, mainWindow);
    DestroyWindow(hwnd);
    return 0;
}

// A chooser run over the start screen went idle: the main window hears it
// too, as it would from a dialog of its own.
LRESULT onEnterIdle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    StartScreen* screen = screenOf(hwnd);
    if (screen && screen->mainWindow) SendMessage(screen->mainWindow, message, wParam, lParam);
    return 0;
}

LRESULT onDestroy(HWND hwnd, UINT, WPARAM, LPARAM)
{
    StartScreen* screen = screenOf(hwnd);
    SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
    if (!screen) return 0;
    if (screen->picture) DeleteObject(screen->picture);
    delete screen;
    return 0;
}

constexpr MessageEntry kMessages[] = {
    {WM_CREATE, onCreate},
    {WM_PAINT, onPaint},
    {WM_LBUTTONDOWN, onButtonDown},
    {WM_LBUTTONUP, onButtonUp},
    {WM_ENTERIDLE, onEnterIdle},
    {WM_DESTROY, onDestroy},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcWindow);

LRESULT procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, hwnd, message, wParam, lParam);
}

void registerClass()
{
    WNDCLASS wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandle(nullptr);
    wc.lpszClassName = kStartScreenClass;
    RegisterClass(&wc);
}

}  // namespace

HWND ShowStartScreen(HWND mainWindow)
{
    registerClass();
    HWND hwnd = CreateWindow(kStartScreenClass, "", WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                             GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, GetModuleHandle(nullptr), mainWindow);
    if (!hwnd) return nullptr;
    SHFullScreen(hwnd, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
    UpdateWindow(hwnd);
    return hwnd;
}

}  // namespace fotrix
