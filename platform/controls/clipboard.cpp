// The in-process text clipboard of the controls.
#include "platform/controls/clipboard.h"

#include <mutex>

namespace controls {

namespace {
std::mutex clipboardLock;
std::string clipboard;
}  // namespace

void clipboardSetText(std::string text)
{
    std::lock_guard<std::mutex> guard(clipboardLock);
    clipboard = std::move(text);
}

std::string clipboardText()
{
    std::lock_guard<std::mutex> guard(clipboardLock);
    return clipboard;
}

}  // namespace controls
