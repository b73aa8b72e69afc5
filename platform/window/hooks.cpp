// The listeners the floors above plug into the window layer.
#include "platform/window/hooks.h"
#include "platform/window/window_internal.h"

#include <atomic>

namespace {

std::atomic<TitleListener> titleListener{nullptr};
std::atomic<WindowGoneListener> windowGoneListener{nullptr};
std::atomic<const RemoteWindows*> remoteWindows{nullptr};

}  // namespace

void setTitleListener(TitleListener listener) { titleListener.store(listener); }

void windowTitleChanged(HWND hwnd)
{
    if (TitleListener listener = titleListener.load()) listener(hwnd);
}

void setWindowGoneListener(WindowGoneListener listener) { windowGoneListener.store(listener); }

void windowGone(HWND hwnd)
{
    if (WindowGoneListener listener = windowGoneListener.load()) listener(hwnd);
}

void setRemoteWindows(const RemoteWindows* remote) { remoteWindows.store(remote); }

const RemoteWindows* remoteWindowFor(HWND hwnd)
{
    const RemoteWindows* remote = remoteWindows.load();
    return remote && remote->owns(hwnd) ? remote : nullptr;
}

bool serveRemoteWindows()
{
    const RemoteWindows* remote = remoteWindows.load();
    return remote && remote->serve();
}

HWND findRemoteWindow(const char* className, const char* title)
{
    const RemoteWindows* remote = remoteWindows.load();
    return remote ? remote->find(className, title) : nullptr;
}
