// fotrix-platform-demo [--headless] [--screenshot FILE] [--screen WxH] [--dpi N] [--zoom N]
// Draws a test scene; with --screenshot it writes the screen as a PNG after two
// timer ticks and ends. Each run counts itself in the registry
// (HKEY_CURRENT_USER\Software\Fotrix Pocket\Demo, number Runs).
#include "platform/windows.h"
#include "scene.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char* kClassName = "FotrixDemo";
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT WM_DEMO_SHOT = WM_APP + 1;
constexpr int kTicksBeforeShot = 2;

DemoScene scene;
std::string screenshotPath;
int exitCode = 0;

DWORD countRun()
{
    HKEY key;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Fotrix Pocket\\Demo", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return 0;
    DWORD runs = 0, type = 0, size = sizeof runs;
    if (RegQueryValueEx(key, "Runs", nullptr, &type, reinterpret_cast<BYTE*>(&runs), &size) != ERROR_SUCCESS || type != REG_DWORD)
        runs = 0;
    ++runs;
    RegSetValueEx(key, "Runs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&runs), sizeof runs);
    RegCloseKey(key);
    return runs;
}

LRESULT onCreate(HWND hwnd, UINT, WPARAM, LPARAM)
{
    if (!sceneCreate(scene)) return -1;
    SetTimer(hwnd, kTickTimer, 500, nullptr);
    return 0;
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    scenePaint(scene, hdc, client);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT onTimer(HWND hwnd, UINT, WPARAM, LPARAM)
{
    ++scene.tick;
    RECT client;
    GetClientRect(hwnd, &client);
    RECT box = sceneTickBox(client);
    InvalidateRect(hwnd, &box, FALSE);
    // Posted, so the shot is taken after the box has been repainted.
    if (!screenshotPath.empty() && scene.tick == kTicksBeforeShot) PostMessage(hwnd, WM_DEMO_SHOT, 0, 0);
    return 0;
}

LRESULT onShot(HWND hwnd, UINT, WPARAM, LPARAM)
{
    if (!PlatformScreenshot(screenshotPath.c_str())) {
        std::fprintf(stderr, "fotrix-platform-demo: cannot write %s\n", screenshotPath.c_str());
        exitCode = 1;
    }
    DestroyWindow(hwnd);
    return 0;
}

LRESULT onDestroy(HWND hwnd, UINT, WPARAM, LPARAM)
{
    KillTimer(hwnd, kTickTimer);
    sceneDestroy(scene);
    PostQuitMessage(exitCode);
    return 0;
}

constexpr MessageEntry kMessages[] = {
    {WM_CREATE, onCreate}, {WM_PAINT, onPaint}, {WM_TIMER, onTimer}, {WM_DEMO_SHOT, onShot}, {WM_DESTROY, onDestroy},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcWindow);

LRESULT demoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, hwnd, message, wParam, lParam);
}

int usage()
{
    std::fprintf(stderr, "usage: fotrix-platform-demo [--headless] [--screenshot FILE] [--screen WxH] [--dpi N] [--zoom N]\n");
    return 64;
}

}  // namespace

int main(int argc, char** argv)
{
    PlatformConfig config;
    char error[128];
    if (PlatformParseArgs(&argc, argv, &config, error, sizeof error) != 0) {
        std::fprintf(stderr, "fotrix-platform-demo: %s\n", error);
        return usage();
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) screenshotPath = argv[++i];
        else return usage();
    }
    if (!PlatformInit(&config)) {
        std::fprintf(stderr, "fotrix-platform-demo: cannot start the %s back end\n", config.headless ? "headless" : "SDL");
        return 1;
    }
    scene.runs = countRun();
    WNDCLASS wc{};
    wc.lpfnWndProc = demoProc;
    wc.hInstance = GetModuleHandle(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClass(&wc);
    HWND hwnd = CreateWindowEx(0, kClassName, "Platform demo", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) {
        PlatformShutdown();
        return 1;
    }
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    PlatformShutdown();
    return static_cast<int>(msg.wParam);
}
