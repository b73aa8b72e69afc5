// The window tree: creation, destruction, parents and children, lookup.
#include "platform/window/window_internal.h"
#include "platform/screen/metrics.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <unordered_set>

ClassRec* findClass(const char* name);

namespace {

std::unordered_set<HWND>& liveWindows()
{
    static std::unordered_set<HWND> set;
    return set;
}

HWND desktopRec = nullptr;
WNDPROC desktopProc = nullptr;

LRESULT plainDesktopProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(hwnd, message, wParam, lParam);
}

ClassRec* desktopClass()
{
    static ClassRec rec;
    rec.name = "#32769";
    rec.wc.lpfnWndProc = plainDesktopProc;
    return &rec;
}

// Inserts a window at the top of its siblings, below any top-most ones unless it is top-most itself.
// Child windows go to the bottom instead, so that sibling order (GW_HWNDNEXT) is creation order:
// tab order and radio-button groups of dialogs follow it.
void linkChild(HWND parent, HWND child)
{
    auto& list = parent->children;
    if (child->style & WS_CHILD) {
        list.push_back(child);
        return;
    }
    size_t pos = 0;
    if (!(child->exStyle & WS_EX_TOPMOST)) {
        while (pos < list.size() && (list[pos]->exStyle & WS_EX_TOPMOST)) ++pos;
    }
    list.insert(list.begin() + static_cast<long>(pos), child);
}

void unlinkChild(HWND child)
{
    if (!child->parent) return;
    auto& list = child->parent->children;
    list.erase(std::remove(list.begin(), list.end(), child), list.end());
}

void collectPreOrder(HWND hwnd, std::vector<HWND>& out)
{
    out.push_back(hwnd);
    for (HWND c : hwnd->children) collectPreOrder(c, out);
}

RECT defaultTopLevelRect(int x, int y, int w, int h)
{
    RECT work = screenWorkArea();
    if (x == CW_USEDEFAULT) {
        x = work.left;
        y = work.top;
    }
    if (w == CW_USEDEFAULT) {
        w = work.right - x;
        h = work.bottom - y;
    }
    return RECT{x, y, x + std::max(0, w), y + std::max(0, h)};
}

}  // namespace

std::recursive_mutex& windowLock()
{
    static std::recursive_mutex lock;
    return lock;
}

bool windowAlive(HWND hwnd) { return hwnd && liveWindows().count(hwnd) != 0; }

bool classInUse(ClassRec* cls)
{
    for (HWND w : liveWindows())
        if (w->cls == cls) return true;
    return false;
}

void setDesktopProc(WNDPROC proc) { desktopProc = proc; }

HWND desktopWindow()
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!desktopRec) {
        desktopRec = new WindowRec;
        desktopRec->magic = kWindowMagic;
        desktopRec->cls = desktopClass();
        desktopRec->proc = desktopProc ? desktopProc : plainDesktopProc;
        desktopRec->style = WS_VISIBLE;
        desktopRec->threadId = uiThreadId();
        liveWindows().insert(desktopRec);
    }
    if (desktopProc) desktopRec->proc = desktopProc;
    int w = 0, h = 0;
    screenSize(&w, &h);
    desktopRec->rect = RECT{0, 0, w, h};
    return desktopRec;
}

HWND GetDesktopWindow() { return desktopWindow(); }

bool isTopLevel(HWND hwnd) { return hwnd && hwnd->parent == desktopRec; }

LRESULT callWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return 0;
        proc = hwnd->proc;
    }
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

// The window's record, linked into the tree (under windowLock); null when the
// class is unknown or a child has no parent.
static HWND newWindowRecord(DWORD exStyle, const char* className, const char* title, DWORD style, RECT place, HWND parent,
                            HMENU menuOrId, HINSTANCE instance)
{
    ClassRec* cls = findClass(className);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return nullptr;
    }
    HWND desk = desktopWindow();
    bool child = (style & WS_CHILD) != 0;
    if (child && !windowAlive(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND hwnd = new WindowRec;
    hwnd->magic = kWindowMagic;
    hwnd->cls = cls;
    hwnd->proc = cls->wc.lpfnWndProc;
    hwnd->instance = instance;
    hwnd->parent = child ? parent : desk;
    hwnd->style = style & ~WS_VISIBLE;
    hwnd->exStyle = exStyle;
    hwnd->text = title ? title : "";
    hwnd->extra.assign(static_cast<size_t>(cls->wc.cbWndExtra), 0);
    hwnd->threadId = currentThreadId();
    hwnd->rect = place;
    if (child) {
        hwnd->id = static_cast<int>(reinterpret_cast<intptr_t>(menuOrId));
    } else {
        hwnd->menu = menuOrId;
        if (windowAlive(parent) && parent != desk) {
            // A top-level window made with a parent is owned by that window's top-level window.
            HWND top = parent;
            while ((top->style & WS_CHILD) && top->parent && top->parent != desk) top = top->parent;
            hwnd->owner = top;
        }
    }
    liveWindows().insert(hwnd);
    linkChild(hwnd->parent, hwnd);
    return hwnd;
}

// WM_SIZE and WM_MOVE with the window's first size and place.
static void announcePlace(HWND hwnd)
{
    RECT c;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd)) return;
        c = clientRectInWindow(hwnd);
        OffsetRect(&c, hwnd->rect.left, hwnd->rect.top);
    }
    callWindow(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.right - c.left, c.bottom - c.top));
    callWindow(hwnd, WM_MOVE, 0, MAKELPARAM(c.left, c.top));
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, HINSTANCE instance, void* param)
{
    RECT place;
    if (style & WS_CHILD) {
        if (x == CW_USEDEFAULT) x = y = 0;
        if (width == CW_USEDEFAULT) width = height = 0;
        place = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    } else {
        place = defaultTopLevelRect(x, y, width, height);
    }
    HWND hwnd;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        hwnd = newWindowRecord(exStyle, className, title, style, place, parent, menuOrId, instance);
        if (!hwnd) return nullptr;
    }
    CREATESTRUCT cs{param, instance, menuOrId, parent, place.bottom - place.top, place.right - place.left, place.top, place.left,
                    static_cast<LONG>(style), hwnd->text.c_str(), className, exStyle};
    // WM_NCCREATE answering FALSE or WM_CREATE answering -1 refuses the window.
    bool refused = !callWindow(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs));
    if (!refused && windowAlive(hwnd)) refused = callWindow(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1;
    if (refused || !windowAlive(hwnd)) {
        if (windowAlive(hwnd)) DestroyWindow(hwnd);
        return nullptr;
    }
    announcePlace(hwnd);
    if (IsWindow(hwnd) && (style & WS_VISIBLE)) ShowWindow(hwnd, (style & WS_CHILD) ? SW_SHOWNA : SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd)
{
    // Owned windows (dialogs, pop-ups) go first, as they cannot outlive their owner.
    std::vector<HWND> owned;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (windowAlive(hwnd) && !hwnd->destroying)
            for (HWND w : liveWindows())
                if (w->owner == hwnd && !w->destroying) owned.push_back(w);
    }
    for (HWND w : owned) DestroyWindow(w);
    std::vector<HWND> subtree;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(hwnd) || hwnd == desktopRec || hwnd->destroying) {
            if (!windowAlive(hwnd)) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return windowAlive(hwnd) ? TRUE : FALSE;
        }
        collectPreOrder(hwnd, subtree);
        // Whether it shows must be asked before it is marked: a window being
        // destroyed counts as hidden, and what it covered must be repainted.
        bool shown = windowShown(hwnd);
        for (HWND w : subtree) w->destroying = true;
        if (shown) invalidateScreenArea(windowRectOnScreen(hwnd));
        hwnd->style &= ~WS_VISIBLE;
    }
    // Children learn of their end after their parent, and are freed before it.
    for (HWND w : subtree) {
        inputDropWindow(w);
        callWindow(w, WM_DESTROY, 0, 0);
    }
    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
        HWND w = *it;
        callWindow(w, WM_NCDESTROY, 0, 0);
        windowGone(w);
        timerDropWindow(w);
        queueDropWindow(w);
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        unlinkChild(w);
        for (HWND c : w->children) c->parent = nullptr;
        liveWindows().erase(w);
        w->magic = 0;
        delete w;
    }
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    return windowAlive(hwnd) && hwnd != desktopRec && !hwnd->destroying;
}

HWND GetParent(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd)) return nullptr;
    if (hwnd->style & WS_CHILD) return hwnd->parent;
    // A pop-up's parent is its owner.
    return (hwnd->style & WS_POPUP) && windowAlive(hwnd->owner) ? hwnd->owner : nullptr;
}

HWND GetWindow(HWND hwnd, UINT relation)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd)) return nullptr;
    if (relation == GW_CHILD) return hwnd->children.empty() ? nullptr : hwnd->children.front();
    if (relation == GW_OWNER) return windowAlive(hwnd->owner) ? hwnd->owner : nullptr;
    if (!hwnd->parent) return nullptr;
    auto& sib = hwnd->parent->children;
    auto it = std::find(sib.begin(), sib.end(), hwnd);
    switch (relation) {
    case GW_HWNDFIRST:
        return sib.front();
    case GW_HWNDLAST:
        return sib.back();
    case GW_HWNDNEXT:
        return (it != sib.end() && it + 1 != sib.end()) ? *(it + 1) : nullptr;
    case GW_HWNDPREV:
        return (it != sib.begin() && it != sib.end()) ? *(it - 1) : nullptr;
    default:
        return nullptr;
    }
}

HWND GetDlgItem(HWND parent, int id)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(parent)) return nullptr;
    for (HWND c : parent->children)
        if (c->id == id && !c->destroying) return c;
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    return windowAlive(hwnd) ? hwnd->id : 0;
}

BOOL IsChild(HWND parent, HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(parent) || !windowAlive(hwnd)) return FALSE;
    for (HWND p = hwnd->parent; p && (hwnd->style & WS_CHILD); hwnd = p, p = p->parent)
        if (p == parent) return TRUE;
    return FALSE;
}

HWND FindWindow(const char* className, const char* title)
{
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        HWND desk = desktopWindow();
        for (HWND w : desk->children) {
            if (w->destroying) continue;
            if (className && strcasecmp(w->cls->name.c_str(), className) != 0) continue;
            if (title && w->text != title) continue;
            return w;
        }
    }
    return findRemoteWindow(className, title);
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param)
{
    std::vector<HWND> list;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        list = desktopWindow()->children;
    }
    for (HWND w : list)
        if (IsWindow(w) && !proc(w, param)) return FALSE;
    return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param)
{
    std::vector<HWND> list;
    {
        std::lock_guard<std::recursive_mutex> guard(windowLock());
        if (!windowAlive(parent)) return FALSE;
        for (HWND c : parent->children) collectPreOrder(c, list);
    }
    for (HWND w : list)
        if (IsWindow(w) && !proc(w, param)) return FALSE;
    return TRUE;
}
