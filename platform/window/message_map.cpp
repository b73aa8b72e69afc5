#include "platform/window/message_map.h"
#include "platform/window/hooks.h"
#include "platform/window/window.h"

#include <atomic>

namespace {

std::atomic<WNDPROC> dialogDefault{nullptr};

LRESULT runDefault(DefaultProcKind kind, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (kind) {
    case DefaultProcWindow:
        return DefWindowProc(hwnd, message, wParam, lParam);
    case DefaultProcDialog:
        if (WNDPROC proc = dialogDefault.load()) return proc(hwnd, message, wParam, lParam);
        return DefWindowProc(hwnd, message, wParam, lParam);
    default:
        return 0;
    }
}

}  // namespace

void setDialogDefaultProc(WNDPROC proc) { dialogDefault.store(proc); }

LRESULT DispatchMessageMap(const MessageMap* map, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!map) return DefWindowProc(hwnd, message, wParam, lParam);
    for (int i = 0; i < map->count; ++i) {
        if (map->entries[i].message == message && map->entries[i].handler)
            return map->entries[i].handler(hwnd, message, wParam, lParam);
    }
    return runDefault(map->defaultProc, hwnd, message, wParam, lParam);
}

LRESULT DispatchCommandMap(const CommandMap* map, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WORD id = LOWORD(wParam);
    if (map) {
        for (int i = 0; i < map->count; ++i) {
            if (map->entries[i].id == id && map->entries[i].handler)
                return map->entries[i].handler(hwnd, id, HIWORD(wParam), lParam);
        }
    }
    return runDefault(map ? map->defaultProc : DefaultProcWindow, hwnd, message, wParam, lParam);
}
