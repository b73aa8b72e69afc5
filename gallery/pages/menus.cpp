// Menus: a menu bar in the menu-bar place at the bottom of the screen (File and
// View drop their menus up, three tool buttons with pictures send commands) and
// a pop-up menu with check marks, a radio group, a grayed item, a separator and
// a sub-menu, opened by a tap on the page's area. The last command chosen is
// shown there. In a screenshot run the pop-up opens by itself, with its sub-menu.
#include "gallery/gallery.h"
#include "gallery/layout.h"

#include <string>

namespace {

constexpr const char* kDemoClass = "GalleryMenuDemo";
constexpr UINT kShowOpenMenu = WM_APP + 1;
enum : UINT { kMenuId = 30100, kBarId = 30100, kPopupId = 30101, kImagesId = 30102 };

const MenuTemplateItem kBarMenu[] = {
    {MF_POPUP, "&File", 0},
        {MF_STRING, "&New folder", 4022},
        {MF_STRING | MF_GRAYED, "&Paste", 4026},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING, "E&xit", 4013},
    {MENU_END_POPUP, nullptr, 0},
    {MF_POPUP, "&View", 0},
        {MF_STRING | MF_CHECKED | MFT_RADIOCHECK, "&Thumbnails", 4007},
        {MF_STRING | MFT_RADIOCHECK, "&List", 4008},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING | MF_CHECKED, "File &names", 4225},
    {MENU_END_POPUP, nullptr, 0},
};
const MenuTemplateItem kPopupMenu[] = {
    {MF_POPUP, "Pop-up", 0},
        {MF_STRING | MF_CHECKED, "&Auto rotate", 4121},
        {MF_STRING | MF_CHECKED | MFT_RADIOCHECK, "&Fit window", 4122},
        {MF_STRING | MFT_RADIOCHECK, "Actual &size", 4125},
        {MF_POPUP, "&Zoom in", 0},
            {MF_STRING, "150%", 4128},
            {MF_STRING, "200%", 4123},
            {MF_STRING | MF_GRAYED, "400%", 4129},
        {MENU_END_POPUP, nullptr, 0},
        {MF_SEPARATOR, nullptr, 0},
        {MF_STRING | MF_GRAYED, "Previous page", 4223},
        {MF_STRING, "Properties\tCtrl+P", 4030},
    {MENU_END_POPUP, nullptr, 0},
};
const MenuResource kMenus[] = {
    {kMenuId, kBarMenu, static_cast<int>(std::size(kBarMenu))},
    {kPopupId, kPopupMenu, static_cast<int>(std::size(kPopupMenu))},
};
const MenuBarButtonTemplate kButtons[] = {
    {I_IMAGENONE, 4001, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, "File", 0},
    {I_IMAGENONE, 4004, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, "View", 1},
    {0, 4019, TBSTATE_ENABLED | TBSTATE_CHECKED, TBSTYLE_CHECK, nullptr, NOMENU},
    {1, 4020, TBSTATE_ENABLED, TBSTYLE_CHECK, nullptr, NOMENU},
    {2, 4027, 0, TBSTYLE_BUTTON, nullptr, NOMENU},
};
const MenuBarResource kBars[] = {{kBarId, kMenuId, kButtons, static_cast<int>(std::size(kButtons))}};

// Three 16 x 16 pictures on the mask colour: a play triangle, a frame, a cross.
void paintButtonImages(uint32_t* pixels, int width, int height)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int image = x / 16, u = x % 16, v = y;
            bool ink = false;
            if (image == 0) ink = u >= 4 && u <= 12 && v >= 3 && v <= 12 && (u - 4) * 2 <= std::min(v - 3, 12 - v) * 2 + 1;
            if (image == 1) ink = (u >= 2 && u <= 13 && v >= 3 && v <= 12) && (u <= 3 || u >= 12 || v <= 4 || v >= 11);
            if (image == 2) ink = u >= 3 && u <= 12 && v >= 3 && v <= 12 && ((u - v <= 1 && v - u <= 1) || (u + v >= 14 && u + v <= 16));
            pixels[y * width + x] = ink ? (image == 2 ? 0xC02020u : 0x2040A0u) : 0xC4C4C4u;
        }
}
const BitmapResource kImages[] = {{kImagesId, nullptr, 48, 16, paintButtonImages}};

struct Demo {
    HWND bar = nullptr;
    std::string last = "Tap here for a pop-up menu";
};

Demo* demoOf(HWND hwnd) { return reinterpret_cast<Demo*>(GetWindowLongPtr(hwnd, 0)); }

void showPopup(HWND hwnd, POINT screen)
{
    HMENU menu = LoadMenu(nullptr, MAKEINTRESOURCE(kPopupId));
    UINT id = static_cast<UINT>(TrackPopupMenuEx(GetSubMenu(menu, 0), TPM_RETURNCMD, screen.x, screen.y, hwnd, nullptr));
    if (!IsWindow(hwnd)) {
        DestroyMenu(menu);
        return;
    }
    char text[64] = "";
    if (id) GetMenuString(menu, id, text, sizeof text, MF_BYCOMMAND);
    demoOf(hwnd)->last = id ? std::string("Chose \"") + text + "\" (" + std::to_string(id) + ")" : "Menu cancelled";
    InvalidateRect(hwnd, nullptr, TRUE);
    DestroyMenu(menu);
}

LRESULT onCreate(HWND hwnd, UINT, WPARAM, LPARAM)
{
    auto* demo = new Demo();
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(demo));
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = hwnd;
    info.nToolBarId = kBarId;
    info.nBmpId = kImagesId;
    info.cBmpImages = 3;
    if (SHCreateMenuBar(&info)) demo->bar = info.hwndMB;
    if (galleryScreenshotRun()) PostMessage(hwnd, kShowOpenMenu, 0, 0);
    return 0;
}

LRESULT onDestroy(HWND hwnd, UINT, WPARAM, LPARAM)
{
    // The bar belongs to the frame's top-level window, not to this page: it goes with the page.
    Demo* demo = demoOf(hwnd);
    if (demo && demo->bar) DestroyWindow(demo->bar);
    delete demo;
    SetWindowLongPtr(hwnd, 0, 0);
    return 0;
}

LRESULT onPaint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    if (Demo* demo = demoOf(hwnd))
        DrawText(dc, demo->last.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT onTap(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd, &p);
    showPopup(hwnd, p);
    return 0;
}

// Screenshot runs: the pop-up opens at the top left of the area with its sub-menu open.
LRESULT onShowOpenMenu(HWND hwnd, UINT, WPARAM, LPARAM)
{
    POINT p{ScaleForScreen(8), ScaleForScreen(8)};
    ClientToScreen(hwnd, &p);
    for (int i = 0; i < 4; ++i) PlatformKeyInput(VK_DOWN, true);
    PlatformKeyInput(VK_RIGHT, true);
    PlatformKeyInput(VK_DOWN, true);
    showPopup(hwnd, p);
    return 0;
}

// Menu items and tool buttons of the bar.
LRESULT onCommand(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    Demo* demo = demoOf(hwnd);
    demo->last = "Command " + std::to_string(LOWORD(wParam));
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

constexpr MessageEntry kDemoMessages[] = {
    {WM_CREATE, onCreate}, {WM_DESTROY, onDestroy}, {WM_PAINT, onPaint},
    {WM_LBUTTONDOWN, onTap}, {kShowOpenMenu, onShowOpenMenu}, {WM_COMMAND, onCommand},
};
constexpr MessageMap kDemoMap = makeMessageMap(kDemoMessages, DefaultProcWindow);
LRESULT demoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kDemoMap, hwnd, message, wParam, lParam);
}

void registerOnce()
{
    WNDCLASS existing{};
    if (GetClassInfo(nullptr, kDemoClass, &existing)) return;
    RegisterMenus(kMenus, static_cast<int>(std::size(kMenus)));
    RegisterMenuBars(kBars, static_cast<int>(std::size(kBars)));
    RegisterBitmaps(kImages, static_cast<int>(std::size(kImages)));
    WNDCLASS wc{};
    wc.lpfnWndProc = demoProc;
    wc.cbWndExtra = sizeof(void*);
    wc.lpszClassName = kDemoClass;
    RegisterClass(&wc);
}

}  // namespace

void createMenusPage(HWND page)
{
    registerOnce();
    PageLayout layout(page);
    layout.add(WC_STATIC, "The menu bar is at the bottom: File and View open menus, the pictures are tool buttons.",
               SS_LEFT, layout.row(42));
    layout.add(kDemoClass, "", 0, layout.rest());
}
