// fotrix-gallery [--list-pages] [--page N|NAME] [--screenshot FILE] [--headless] [--screen WxH] [--dpi N] [--zoom N]
// Shows every control of the platform layer, a page at a time: Prev and Next
// (or the Left and Right keys) turn the pages, and the controls are live, with
// the last thing they reported in the status line. --list-pages prints one line
// per page: its number, its name and its title. With --screenshot the program
// writes page N (numbered from 1, or named) as a PNG of the screen's size and ends.
#include "gallery/frame.h"
#include "gallery/gallery.h"
#include "platform/window/message_map.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr UINT_PTR kShotTimer = 1;
// The shot is taken on a timer: timers come after painting, so every window
// has been drawn by then.
constexpr UINT kShotDelayMs = 10;

int usage()
{
    std::fprintf(stderr,
                 "usage: fotrix-gallery [--list-pages] [--page N|NAME] [--screenshot FILE] [--headless] [--screen WxH] "
                 "[--dpi N] [--zoom N]\n");
    return 64;
}

void listPages()
{
    int number = 1;
    for (const GalleryPage& page : galleryPages()) std::printf("%d\t%s\t%s\n", number++, page.name, page.title);
}

// A page by number (from 1) or by name; -1 when there is none such.
int findPage(const char* text)
{
    std::span<const GalleryPage> pages = galleryPages();
    for (size_t i = 0; i < pages.size(); ++i)
        if (std::strcmp(pages[i].name, text) == 0) return static_cast<int>(i);
    char* end = nullptr;
    long number = std::strtol(text, &end, 10);
    if (end == text || *end || number < 1 || number > static_cast<long>(pages.size())) return -1;
    return static_cast<int>(number - 1);
}

std::string screenshotPath;
int exitCode = 0;

void takeShot(HWND frame, UINT, UINT_PTR, DWORD)
{
    KillTimer(frame, kShotTimer);
    if (!PlatformScreenshot(screenshotPath.c_str())) {
        std::fprintf(stderr, "fotrix-gallery: cannot write %s\n", screenshotPath.c_str());
        exitCode = 1;
    }
    DestroyWindow(frame);
}

}  // namespace

int main(int argc, char** argv)
{
    PlatformConfig config;
    char error[128];
    if (PlatformParseArgs(&argc, argv, &config, error, sizeof error) != 0) {
        std::fprintf(stderr, "fotrix-gallery: %s\n", error);
        return usage();
    }
    int first = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--list-pages") == 0) {
            listPages();
            return 0;
        }
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            screenshotPath = argv[++i];
        } else if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc) {
            first = findPage(argv[++i]);
            if (first < 0) {
                std::fprintf(stderr, "fotrix-gallery: no page %s (see --list-pages)\n", argv[i]);
                return 64;
            }
        } else {
            return usage();
        }
    }
    // Headless there is nobody to close the window: only a screenshot run makes sense.
    if (config.headless && screenshotPath.empty()) {
        std::fprintf(stderr, "fotrix-gallery: --headless needs --screenshot\n");
        return usage();
    }
    if (!PlatformInit(&config)) {
        std::fprintf(stderr, "fotrix-gallery: cannot start the %s back end\n", config.headless ? "headless" : "SDL");
        return 1;
    }
    gallerySetScreenshotRun(!screenshotPath.empty());
    galleryRegisterClasses();
    HWND frame = galleryCreateFrame(first);
    if (!frame) {
        PlatformShutdown();
        return 1;
    }
    if (!screenshotPath.empty()) SetTimer(frame, kShotTimer, kShotDelayMs, takeShot);
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
        if (galleryTakeKey(frame, msg)) continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    PlatformShutdown();
    return exitCode ? exitCode : static_cast<int>(msg.wParam);
}
