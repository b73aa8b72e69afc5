// `fotrix [PATH] [--headless] [--screen WxH] [--dpi N] [--zoom N] [--script FILE]`:
// starts the platform (headless when asked or when there is no display) and
// runs the program.
#include "app/browser/browser.h"
#include "app/shell/about.h"
#include "app/shell/peer_interfaces.h"
#include "app/shell/win_main.h"
#include "platform/controls/controls.h"
#include "platform/windows.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kUsageError = 64;

void printUsage(FILE* out)
{
    std::fprintf(out,
                 "usage: fotrix [PATH] [--headless] [--screen WxH] [--dpi N] [--zoom N] [--script FILE]\n"
                 "  PATH           a picture (opens full screen), an album (plays) or a folder\n"
                 "  --headless     draw into memory, no window\n"
                 "  --screen WxH   device screen size (default 240x320)\n"
                 "  --dpi N        screen resolution (default 96)\n"
                 "  --zoom N       host pixels per screen pixel of the window\n"
                 "  --script FILE  drive the program by the commands of FILE\n"
                 "  --help, --version\n"
                 "Environment: FOTRIX_CONFIG_DIR, FOTRIX_LANGUAGE_DIR, FOTRIX_HOME, FOTRIX_CARDS\n");
}

// What remains of argv after the platform took its options. Returns -1 to
// go on, else the exit code.
int parseOwnArgs(int argc, char** argv, fotrix::StartOptions* options)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0) {
            printUsage(stdout);
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("fotrix %s\n", fotrix::kProgramVersion);
            return 0;
        }
        if (std::strcmp(arg, "--script") == 0) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "fotrix: --script needs a FILE\n");
                return kUsageError;
            }
            options->scriptFile = argv[++i];
        } else if (arg[0] == '-' && arg[1] == '-') {
            std::fprintf(stderr, "fotrix: unknown option %s\n", arg);
            return kUsageError;
        } else if (options->path.empty()) {
            options->path = arg;
        } else {
            std::fprintf(stderr, "fotrix: only one PATH is taken (%s)\n", arg);
            return kUsageError;
        }
    }
    return -1;
}

bool hasDisplay()
{
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

// The storage cards the program sees: FOTRIX_CARDS names them for the platform.
void passStorageCards()
{
    const char* cards = std::getenv("FOTRIX_CARDS");
    if (cards && *cards) setenv("FOTRIX_STORAGE_ROOTS", cards, 1);
}

}  // namespace

int main(int argc, char** argv)
{
    PlatformConfig config;
    char error[256] = "";
    if (PlatformParseArgs(&argc, argv, &config, error, sizeof error) != 0) {
        std::fprintf(stderr, "fotrix: %s\n", error);
        return kUsageError;
    }
    fotrix::StartOptions options;
    if (int done = parseOwnArgs(argc, argv, &options); done >= 0) return done;
    if (!hasDisplay()) config.headless = true;
    passStorageCards();
    if (!PlatformInit(&config)) {
        if (config.headless) {
            std::fprintf(stderr, "fotrix: the platform cannot start\n");
            return 1;
        }
        config.headless = true;  // a display that cannot be opened: draw into memory
        if (!PlatformInit(&config)) return 1;
    }
    InitCommonControls();
    fotrix::RegisterAppResources();
    fotrix::RegisterBrowserDialogs();
    int code = fotrix::WinMain(GetModuleHandle(nullptr), options, SW_SHOW);
    PlatformShutdown();
    return code;
}
