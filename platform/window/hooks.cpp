// The listeners the floors above plug into the window layer.
#include "platform/window/hooks.h"
#include "platform/window/window_internal.h"

#include <atomic>

namespace {

std::atomic<TitleListener> titleListener{nullptr};

}  // namespace

void setTitleListener(TitleListener listener) { titleListener.store(listener); }

void windowTitleChanged(HWND hwnd)
{
    if (TitleListener listener = titleListener.load()) listener(hwnd);
}
