#include "gallery/frame.h"

#include "gallery/gallery.h"
#include "platform/window/message_map.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kFrameClass = "FotrixGallery";
constexpr const char* kPageClass = "FotrixGalleryPage";
enum : int { kPrevId = 1, kTitleId, kNextId, kPageId, kStatusId };
constexpr int kHeaderHeight96 = 24;
constexpr int kStatusHeight96 = 18;

// ---- The page window: owns what its page handed it, reports notifications ----

struct Link {
    HWND source;
    HWND target;
    UINT message;
};
struct PageState {
    std::vector<HGDIOBJ> owned;
    std::vector<Link> links;
};

PageState* pageState(HWND page) { return reinterpret_cast<PageState*>(GetWindowLongPtr(page, 0)); }

std::string controlName(HWND control)
{
    char text[64] = "", cls[32] = "";
    GetWindowText(control, text, sizeof text);
    GetClassName(control, cls, sizeof cls);
    std::string name = text[0] ? std::string("\"") + text + "\"" : std::string(cls);
    return name + " #" + std::to_string(GetDlgCtrlID(control));
}

const char* checkText(HWND control)
{
    char cls[32] = "";
    GetClassName(control, cls, sizeof cls);
    if (std::string(cls) != WC_BUTTON) return "";
    DWORD type = static_cast<DWORD>(GetWindowLong(control, GWL_STYLE)) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_GROUPBOX) return "";
    switch (SendMessage(control, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED: return ", checked";
    case BST_INDETERMINATE: return ", indeterminate";
    default: return ", unchecked";
    }
}

const char* scrollCodeName(WORD code)
{
    static const char* const kNames[] = {"line up", "line down", "page up", "page down", "thumb position",
                                         "thumb track",  "top",       "bottom",  "end track"};
    return code < sizeof kNames / sizeof kNames[0] ? kNames[code] : "?";
}

void report(HWND page, const std::string& text)
{
    HWND frame = GetParent(page);
    if (frame) SetWindowText(galleryStatusLine(frame), text.c_str());
}

void followLinks(HWND page, HWND source, WPARAM value)
{
    if (PageState* s = pageState(page))
        for (const Link& link : s->links)
            if (link.source == source) SendMessage(link.target, link.message, value, 0);
}

LRESULT pageCreate(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    SetWindowLongPtr(page, 0, reinterpret_cast<LONG_PTR>(new PageState()));
    return DefWindowProc(page, message, wParam, lParam);
}

LRESULT pageDestroy(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    PageState* s = pageState(page);
    if (s)
        for (HGDIOBJ object : s->owned) DeleteObject(object);
    delete s;
    SetWindowLongPtr(page, 0, 0);
    return DefWindowProc(page, message, wParam, lParam);
}

LRESULT pageCommand(HWND page, UINT, WPARAM wParam, LPARAM lParam)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    if (!control) return 0;
    WORD code = HIWORD(wParam);
    std::string what = code == BN_CLICKED ? "tapped" : "code " + std::to_string(code);
    report(page, controlName(control) + ": " + what + checkText(control));
    if (code == BN_CLICKED) followLinks(page, control, 0);
    return 0;
}

LRESULT pageScroll(HWND page, UINT, WPARAM wParam, LPARAM lParam)
{
    HWND bar = reinterpret_cast<HWND>(lParam);
    if (!bar) return 0;
    char cls[32] = "";
    GetClassName(bar, cls, sizeof cls);
    LRESULT position = std::string(cls) == UPDOWN_CLASS ? SendMessage(bar, UDM_GETPOS32, 0, 0) : SendMessage(bar, TBM_GETPOS, 0, 0);
    report(page, controlName(bar) + ": " + scrollCodeName(LOWORD(wParam)) + ", at " + std::to_string(position));
    followLinks(page, bar, static_cast<WPARAM>(position));
    return 0;
}

LRESULT pageNotify(HWND page, UINT, WPARAM, LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    // Custom-draw questions come with every repaint; they are not events.
    if (header && header->code == NM_CUSTOMDRAW) return 0;
    if (header) report(page, controlName(header->hwndFrom) + ": notification " + std::to_string(static_cast<int>(header->code)));
    return 0;
}

// A tap on the page's empty space gives the frame the focus, so that the Left
// and Right keys turn pages again.
LRESULT pageTap(HWND page, UINT, WPARAM, LPARAM)
{
    SetFocus(GetParent(page));
    return 0;
}

constexpr MessageEntry kPageMessages[] = {
    {WM_NCCREATE, pageCreate}, {WM_NCDESTROY, pageDestroy}, {WM_COMMAND, pageCommand}, {WM_HSCROLL, pageScroll},
    {WM_VSCROLL, pageScroll},  {WM_NOTIFY, pageNotify},     {WM_LBUTTONDOWN, pageTap},
};
constexpr MessageMap kPageMap = makeMessageMap(kPageMessages, DefaultProcWindow);
LRESULT pageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kPageMap, hwnd, message, wParam, lParam);
}

// ---- The frame ----

struct Frame {
    int page = 0;
    SHACTIVATEINFO activation{};
};
Frame frameState;

RECT pageArea(HWND frame)
{
    RECT client;
    GetClientRect(frame, &client);
    return {0, ScaleForScreen(kHeaderHeight96), client.right, client.bottom - ScaleForScreen(kStatusHeight96)};
}

void placeChildren(HWND frame)
{
    RECT client;
    GetClientRect(frame, &client);
    int header = ScaleForScreen(kHeaderHeight96), status = ScaleForScreen(kStatusHeight96);
    int gap = ScaleForScreen(2), button = ScaleForScreen(40);
    MoveWindow(GetDlgItem(frame, kPrevId), gap, gap, button, header - 2 * gap, TRUE);
    MoveWindow(GetDlgItem(frame, kNextId), client.right - gap - button, gap, button, header - 2 * gap, TRUE);
    int textTop = (header - ScaleForScreen(14)) / 2;
    MoveWindow(GetDlgItem(frame, kTitleId), 2 * gap + button, textTop, client.right - 4 * gap - 2 * button, header - textTop, TRUE);
    MoveWindow(GetDlgItem(frame, kStatusId), gap, client.bottom - status + gap, client.right - 2 * gap, status - gap, TRUE);
    RECT area = pageArea(frame);
    if (HWND page = galleryPageWindow(frame)) MoveWindow(page, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

HWND addChild(HWND frame, const char* cls, const char* text, DWORD style, int id)
{
    return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, frame, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                          nullptr, nullptr);
}

LRESULT frameCreate(HWND frame, UINT, WPARAM, LPARAM)
{
    addChild(frame, WC_BUTTON, "Prev", BS_PUSHBUTTON, kPrevId);
    addChild(frame, WC_STATIC, "", SS_CENTER | SS_NOPREFIX, kTitleId);
    addChild(frame, WC_BUTTON, "Next", BS_PUSHBUTTON, kNextId);
    addChild(frame, WC_STATIC, "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, kStatusId);
    placeChildren(frame);
    return 0;
}

LRESULT frameSize(HWND frame, UINT, WPARAM, LPARAM)
{
    placeChildren(frame);
    return 0;
}

LRESULT frameCommand(HWND frame, UINT, WPARAM wParam, LPARAM)
{
    int id = LOWORD(wParam);
    if (id == kPrevId) galleryShowPage(frame, frameState.page - 1);
    if (id == kNextId) galleryShowPage(frame, frameState.page + 1);
    return 0;
}

// A line across under the header and one above the status line.
LRESULT framePaint(HWND frame, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(frame, &ps);
    RECT area = pageArea(frame), client;
    GetClientRect(frame, &client);
    RECT top{0, area.top - 1, client.right, area.top}, bottom{0, area.bottom, client.right, area.bottom + 1};
    FillRect(dc, &top, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, &bottom, GetSysColorBrush(COLOR_BTNSHADOW));
    EndPaint(frame, &ps);
    return 0;
}

LRESULT frameActivate(HWND frame, UINT, WPARAM wParam, LPARAM lParam)
{
    frameState.activation.cbSize = sizeof frameState.activation;
    SHHandleWMActivate(frame, wParam, lParam, &frameState.activation, 0);
    return 0;
}

// The frame follows the work area when the task bar or the menu-bar place
// comes or goes; WM_SIZE then lays it out again.
LRESULT frameSettingChange(HWND frame, UINT, WPARAM wParam, LPARAM lParam)
{
    SHHandleWMSettingChange(frame, wParam, lParam, &frameState.activation);
    return 0;
}

LRESULT frameDestroy(HWND, UINT, WPARAM, LPARAM)
{
    PostQuitMessage(0);
    return 0;
}

constexpr MessageEntry kFrameMessages[] = {
    {WM_CREATE, frameCreate},         {WM_SIZE, frameSize},       {WM_COMMAND, frameCommand},
    {WM_PAINT, framePaint},           {WM_ACTIVATE, frameActivate}, {WM_SETTINGCHANGE, frameSettingChange},
    {WM_DESTROY, frameDestroy},
};
constexpr MessageMap kFrameMap = makeMessageMap(kFrameMessages, DefaultProcWindow);
LRESULT frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kFrameMap, hwnd, message, wParam, lParam);
}

}  // namespace

namespace {
bool screenshotRun = false;
}  // namespace

bool galleryScreenshotRun() { return screenshotRun; }
void gallerySetScreenshotRun(bool on) { screenshotRun = on; }

void galleryOwn(HWND page, HGDIOBJ object)
{
    if (PageState* s = pageState(page)) s->owned.push_back(object);
    else DeleteObject(object);
}

void galleryLink(HWND source, HWND target, UINT message)
{
    if (PageState* s = pageState(GetParent(source))) s->links.push_back({source, target, message});
}

void galleryRegisterClasses()
{
    InitCommonControls();
    WNDCLASS wc{};
    wc.lpfnWndProc = frameProc;
    wc.hInstance = GetModuleHandle(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_STATIC + 1);
    wc.lpszClassName = kFrameClass;
    RegisterClass(&wc);
    wc.lpfnWndProc = pageProc;
    wc.cbWndExtra = sizeof(void*);
    wc.lpszClassName = kPageClass;
    RegisterClass(&wc);
}

HWND galleryCreateFrame(int first)
{
    frameState = Frame{};
    HWND frame = CreateWindowEx(0, kFrameClass, "Gallery", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                nullptr, nullptr, GetModuleHandle(nullptr), nullptr);
    if (frame) galleryShowPage(frame, first);
    return frame;
}

void galleryShowPage(HWND frame, int index)
{
    std::span<const GalleryPage> pages = galleryPages();
    int count = static_cast<int>(pages.size());
    index = ((index % count) + count) % count;
    if (HWND old = galleryPageWindow(frame)) DestroyWindow(old);
    frameState.page = index;
    RECT area = pageArea(frame);
    HWND page = CreateWindowEx(0, kPageClass, pages[index].name, WS_CHILD | WS_VISIBLE, area.left, area.top, area.right - area.left,
                               area.bottom - area.top, frame, reinterpret_cast<HMENU>(static_cast<intptr_t>(kPageId)), nullptr, nullptr);
    if (page) pages[index].create(page);
    char title[96];
    // The page's title shows in the task bar; between Prev and Next there is
    // only room for the page number on a small screen.
    std::snprintf(title, sizeof title, "%d / %d", index + 1, count);
    SetDlgItemText(frame, kTitleId, title);
    SetWindowText(frame, (std::string("Gallery: ") + pages[index].title).c_str());
    SetWindowText(galleryStatusLine(frame), "");
}

int galleryCurrentPage(HWND) { return frameState.page; }
HWND galleryPageWindow(HWND frame) { return GetDlgItem(frame, kPageId); }
HWND galleryStatusLine(HWND frame) { return GetDlgItem(frame, kStatusId); }

bool galleryTakeKey(HWND frame, const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_LEFT && msg.wParam != VK_RIGHT)) return false;
    HWND focus = GetFocus();
    bool frameHasFocus = !focus || focus == frame || focus == GetDlgItem(frame, kPrevId) || focus == GetDlgItem(frame, kNextId);
    if (!frameHasFocus) return false;
    galleryShowPage(frame, frameState.page + (msg.wParam == VK_RIGHT ? 1 : -1));
    return true;
}
