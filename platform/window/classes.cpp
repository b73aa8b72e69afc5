// Window class registry.
#include "platform/window/window_internal.h"

#include <cstring>
#include <strings.h>

namespace {

std::vector<std::unique_ptr<ClassRec>>& classes()
{
    static std::vector<std::unique_ptr<ClassRec>> list;
    return list;
}

}  // namespace

ClassRec* findClass(const char* name)
{
    if (!name) return nullptr;
    for (auto& c : classes())
        if (strcasecmp(c->name.c_str(), name) == 0) return c.get();
    return nullptr;
}

ATOM RegisterClass(const WNDCLASS* wc)
{
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc || wc->cbWndExtra < 0 || wc->cbWndExtra > 4096) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (findClass(wc->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto rec = std::make_unique<ClassRec>();
    rec->name = wc->lpszClassName;
    rec->wc = *wc;
    rec->wc.lpszClassName = nullptr;  // the record's own name string is the one to use
    rec->wc.lpszMenuName = nullptr;
    rec->instance = wc->hInstance;
    classes().push_back(std::move(rec));
    return static_cast<ATOM>(0xC000 + classes().size());
}

BOOL UnregisterClass(const char* className, HINSTANCE)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    auto& list = classes();
    for (size_t i = 0; i < list.size(); ++i) {
        if (strcasecmp(list[i]->name.c_str(), className ? className : "") == 0) {
            // Classes in use by live windows stay, as the windows point at them.
            extern bool classInUse(ClassRec*);
            if (classInUse(list[i].get())) return FALSE;
            list.erase(list.begin() + static_cast<long>(i));
            return TRUE;
        }
    }
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
}

BOOL GetClassInfo(HINSTANCE, const char* className, WNDCLASS* out)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    ClassRec* c = findClass(className);
    if (!c || !out) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *out = c->wc;
    out->lpszClassName = c->name.c_str();
    return TRUE;
}

int GetClassName(HWND hwnd, char* buffer, int capacity)
{
    std::lock_guard<std::recursive_mutex> guard(windowLock());
    if (!windowAlive(hwnd) || !buffer || capacity <= 0) return 0;
    const std::string& name = hwnd->cls->name;
    int n = static_cast<int>(std::min<size_t>(name.size(), static_cast<size_t>(capacity - 1)));
    std::memcpy(buffer, name.data(), static_cast<size_t>(n));
    buffer[n] = 0;
    return n;
}
