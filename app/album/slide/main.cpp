// `fotrix-slide [SHOW] [--headless] [--screen WxH] [--dpi N] [--zoom N] [--script FILE]`:
// the slideshow program that a self-running slideshow begins with. It plays
// the show appended to its own file (or to SHOW) full screen and ends with
// the show: after the last picture without loop, or on a tap.
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/album/core/slide_source.h"
#include "app/album/slideshow_player.h"
#include "app/script/script.h"
#include "imagelib/formats.h"
#include "platform/controls/controls.h"
#include "platform/windows.h"

namespace {

constexpr int kUsageError = 64;

struct Options {
    std::string show;
    std::string script;
};

std::string ownFile()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

// -1 to go on, else the exit code.
int parseOwnArgs(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0) {
            std::printf("usage: fotrix-slide [SHOW] [--headless] [--screen WxH] [--dpi N] [--zoom N] [--script FILE]\n"
                        "  plays the slideshow appended to this program (or to SHOW); a tap ends it\n");
            return 0;
        }
        if (std::strcmp(arg, "--script") == 0 && i + 1 < argc) options.script = argv[++i];
        else if (arg[0] == '-' && arg[1] == '-') {
            std::fprintf(stderr, "fotrix-slide: unknown option %s\n", arg);
            return kUsageError;
        } else if (options.show.empty()) options.show = arg;
        else {
            std::fprintf(stderr, "fotrix-slide: only one SHOW is taken (%s)\n", arg);
            return kUsageError;
        }
    }
    if (options.show.empty()) options.show = ownFile();
    return -1;
}

bool hasDisplay()
{
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

void endProgram() { PostQuitMessage(0); }

int play(const Options& options)
{
    std::string error;
    if (!options.script.empty() && fotrix::ScriptLoad(options.script.c_str(), &error) != 0) {
        std::fprintf(stderr, "fotrix-slide: %s: %s\n", options.script.c_str(), error.c_str());
        return 2;
    }
    uint32_t background = 0;
    auto source = fotrix::openSelfRunningSource(options.show, fotrix::slideshowTemporaryRoot(), &background);
    if (!source || source->count() == 0) {
        std::fprintf(stderr, "fotrix-slide: %s holds no slideshow\n", options.show.c_str());
        return 1;
    }
    if (!fotrix::slideshowPlay(std::move(source), background, {nullptr, endProgram})) {
        std::fprintf(stderr, "fotrix-slide: the show cannot be opened on this screen\n");
        return 1;
    }
    if (!options.script.empty()) fotrix::ScriptStart();
    MSG msg;
    int result;
    while ((result = GetMessage(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    fotrix::slideshowStop();  // ended by the script's quit: the working folder goes too
    if (!options.script.empty()) {
        fotrix::ScriptStop();
        if (fotrix::ScriptFinished()) return fotrix::ScriptExitCode();
    }
    return result < 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    PlatformConfig config;
    char error[256] = "";
    if (PlatformParseArgs(&argc, argv, &config, error, sizeof error) != 0) {
        std::fprintf(stderr, "fotrix-slide: %s\n", error);
        return kUsageError;
    }
    Options options;
    if (int done = parseOwnArgs(argc, argv, options); done >= 0) return done;
    if (!hasDisplay()) config.headless = true;
    if (!PlatformInit(&config)) {
        config.headless = true;  // a display that cannot be opened: draw into memory
        if (!PlatformInit(&config)) {
            std::fprintf(stderr, "fotrix-slide: the platform cannot start\n");
            return 1;
        }
    }
    InitCommonControls();
    fotrix::libraryInit();
    int code = play(options);
    fotrix::libraryExit();
    PlatformShutdown();
    return code;
}
