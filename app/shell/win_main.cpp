#include "app/shell/win_main.h"

#include "app/browser/browser.h"
#include "app/language.h"
#include "app/properties/properties_sheet.h"
#include "app/settings.h"
#include "app/shell/app_state.h"
#include "app/shell/main_window.h"
#include "app/shell/peer_interfaces.h"
#include "app/viewer/main_view.h"
#include "imagelib/codecs.h"
#include "imagelib/formats.h"
#include "rawcodec/rawcodec.h"

#include <cstdio>
#include <cstdlib>

namespace fotrix {

namespace {

void readScreenResolution()
{
    HDC screen = GetDC(nullptr);
    gApp.dpiX = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    gApp.dpiY = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
}

void openStartLanguage()
{
    if (const char* folder = std::getenv("FOTRIX_LANGUAGE_DIR"); folder && *folder) {
        std::string path = folder;
        if (path.back() != '/') path += '/';
        SetLanguageFolder(path.c_str());
    }
    OpenLanguage(StartLanguage().c_str());
}

bool startScreenWanted()
{
    return GetSystemMetrics(SM_CXSCREEN) == 240 && GetSystemMetrics(SM_CYSCREEN) == 320 && gApp.useSplashScreen;
}

// Step 6 of the start: the path, else the start screen or the browser.
void showStart(HWND main, const std::string& path, int showCommand)
{
    if (OpenPath(path)) {
        ShowWindow(main, SW_SHOW);
        return;
    }
    // A folder, or a path that opened nothing, starts as if there were none.
    if (startScreenWanted() && ShowStartScreen(main)) {
        // The start screen shows the main window when a tile is tapped.
    } else {
        ShowWindow(main, showCommand);
        UpdateWindow(main);
    }
    if (!gApp.currentFolder.empty()) NavigateTo(gApp.currentFolder);
    if (gApp.mode == ModeList) SetListItemTexts(true);
}

int runMessageLoop()
{
    MSG msg;
    int result;
    while ((result = GetMessage(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    return result < 0 ? 1 : static_cast<int>(msg.wParam);
}

}  // namespace

std::string StartLanguage()
{
    std::string language;
    ReadText(nullptr, "Language", "", language, 64);
    if (language.empty()) language = SystemLanguage();
    return language.substr(0, 2);
}

int WinMain(HINSTANCE instance, const StartOptions& options, int showCommand)
{
    std::string scriptError;
    if (!options.scriptFile.empty() && ScriptLoad(options.scriptFile.c_str(), &scriptError) != 0) {
        std::fprintf(stderr, "fotrix: %s: %s\n", options.scriptFile.c_str(), scriptError.c_str());
        return 2;
    }
    gApp = AppState{};
    RegisterAlbumFileType();
    libraryInit();
    rawcodecAttach();
    codecFormatsAttach();
    readScreenResolution();
    openStartLanguage();
    bool otherInstance = false;
    HWND main = CreateMainWindow(instance, options.path, &otherInstance);
    if (!main) {
        libraryExit();
        return 0;
    }
    // The folder shown last; the command line's folder replaces it.
    ReadText(nullptr, "Path", "", gApp.currentFolder, 260);
    showStart(main, options.path, showCommand);
    if (!options.scriptFile.empty()) {
        // `idle` waits for the thumbnails; `item:` lines say what the list shows.
        ScriptSetBusyCheck([] { return BrowserBusy() || DecodeAheadBusy(); });
        ScriptSetItemTextSource(ListItemShownText);
        ScriptAddStateWriter(WriteViewState);
        ScriptAddStateWriter(WritePropertiesState);
        ScriptStart();
    }
    int exitCode = runMessageLoop();
    if (!options.scriptFile.empty() && ScriptFinished()) exitCode = ScriptExitCode();
    WriteText(nullptr, "Path", gApp.currentFolder.c_str());
    WriteText(nullptr, "Language", CurrentLanguage());
    CloseLanguage();
    libraryExit();
    return exitCode;
}

}  // namespace fotrix
