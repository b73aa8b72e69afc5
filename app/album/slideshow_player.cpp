#include "app/album/slideshow_player.h"

#include <algorithm>

#include "app/browser/thumbnail_worker.h"
#include "app/shell/app_state.h"
#include "app/viewer/view_window.h"
#include "platform/shell/taskbar.h"
#include "platform/sound/music.h"
#include "platform/sound/sound.h"
#include "platform/window/message_map.h"

namespace fotrix {

namespace {

constexpr const char* kSlideClass = "slideClass";
constexpr UINT_PTR kSlideTimer = 1000;

struct SlideshowState {
    HWND window = nullptr;
    HWND view = nullptr;
    std::unique_ptr<SlideSource> source;
    SlideshowHooks hooks;
    int current = 0;   // the next picture to show
    int shown = -1;    // the picture on screen
    std::string soundFile;
    std::string soundName;  // set while the sound plays
};

SlideshowState* gShow = nullptr;

// Shows picture `current` (wrapping to the first); a picture that is missing
// or cannot be loaded is skipped without a message.
void showPicture()
{
    SlideSource& source = *gShow->source;
    if (gShow->current >= source.count()) gShow->current = 0;
    Bitmap bitmap;
    if (source.load(gShow->current, bitmap)) {
        HBITMAP device = BitmapToDeviceBitmap(bitmap);
        SIZE size{bitmap.width, bitmap.height};
        if (device && source.transitions()) SetDeviceBitmapWithTransition(gShow->view, device, size);
        else if (device) SetDeviceBitmap(gShow->view, device, size);
        if (device) gShow->shown = gShow->current;
        bitmapFree(bitmap);
    }
    ++gShow->current;
}

void playSound()
{
    if (gShow->soundFile.empty()) return;
    // The mixer plays modules, MP3, Ogg and wave files; without it a wave
    // file still plays through the wave player and other kinds stay silent.
    bool playing = musicPlay(gShow->soundFile, true);
    if (!playing && gShow->source->soundKind() == SoundWav)
        playing = PlaySound(gShow->soundFile.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NODEFAULT);
    if (playing) gShow->soundName = gShow->source->soundName();
}

// The delay comes from the file: at least a second, at most a day, so that
// the period in milliseconds cannot overflow.
void armTimer(HWND hwnd)
{
    const int delay = std::clamp(gShow->source->delay(), 1, 86400);
    SetTimer(hwnd, kSlideTimer, static_cast<UINT>(delay) * 1000u, nullptr);
}

LRESULT onTimer(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    if (wParam != kSlideTimer || !gShow) return 0;
    if (gShow->current >= gShow->source->count() && !gShow->source->loop()) {
        DestroyWindow(hwnd);
        return 0;
    }
    KillTimer(hwnd, kSlideTimer);
    showPicture();
    armTimer(hwnd);
    return 0;
}

LRESULT onDestroy(HWND hwnd, UINT, WPARAM, LPARAM)
{
    KillTimer(hwnd, kSlideTimer);
    if (!gShow) return 0;
    if (!gShow->soundName.empty()) {
        musicStop();
        PlaySound(nullptr, nullptr, 0);
    }
    void (*ended)() = gShow->hooks.ended;
    delete gShow;  // the source closes its file and removes its working folder
    gShow = nullptr;
    if (ended) ended();
    return 0;
}

void onViewEvent(const ViewEvent& event)
{
    if (event.kind == 0 && gShow) DestroyWindow(gShow->window);
}

constexpr MessageEntry kSlideRows[] = {
    {WM_TIMER, onTimer},
    {WM_DESTROY, onDestroy},
};
constexpr MessageMap kSlideMap = makeMessageMap(kSlideRows, DefaultProcWindow);

bool registerSlideClass()
{
    WNDCLASS existing{};
    if (GetClassInfo(nullptr, kSlideClass, &existing)) return true;
    WNDCLASS wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MessageMapProc<kSlideMap>;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kSlideClass;
    return RegisterClass(&wc) != 0;
}

// No second thread decodes pictures while a show plays.
void pauseThumbnails() { HoldThumbnailWorker(true); }
void resumeThumbnails() { HoldThumbnailWorker(false); }

}  // namespace

bool slideshowPlay(std::unique_ptr<SlideSource> source, COLORREF background, SlideshowHooks hooks)
{
    if (gShow || !source || !registerSlideClass() || !RegisterViewClass()) return false;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowEx(WS_EX_TOPMOST, kSlideClass, "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                 nullptr, nullptr, nullptr);
    if (!window) return false;
    // The show has the whole screen: no task bar, no input-panel button. The
    // shell forgets this when the window goes, and the bars come back.
    SHFullScreen(window, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
    if (hooks.started) hooks.started();
    gShow = new SlideshowState;
    gShow->source = std::move(source);
    gShow->hooks = hooks;
    gShow->window = window;
    RECT all{0, 0, width, height};
    gShow->view = CreateView(window, WS_VISIBLE, &all, 0x808080, 0);
    SetFitMode(gShow->view, ShrinkLarge);
    SetBackground(gShow->view, background);
    SetCallback(gShow->view, onViewEvent, nullptr);
    gShow->soundFile = gShow->source->soundFile();
    showPicture();
    armTimer(window);
    playSound();
    return true;
}

bool slideshowStart(const std::string& path)
{
    if (gShow) return false;
    std::unique_ptr<SlideSource> album = openAlbumSource(path, slideshowTemporaryRoot());
    return album && slideshowPlay(std::move(album), gApp.slideBackColor, {pauseThumbnails, resumeThumbnails});
}

std::string slideshowTemporaryRoot()
{
    char buffer[MAX_PATH] = {};
    DWORD length = GetTempPath(MAX_PATH, buffer);
    std::string root(buffer, length);
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    return root.empty() ? temporaryFolderRoot() : root;
}

void slideshowStop()
{
    if (gShow) DestroyWindow(gShow->window);
}

bool slideshowRunning() { return gShow != nullptr; }
int slideshowShownIndex() { return gShow ? gShow->shown : -1; }
std::string slideshowSoundMember() { return gShow ? gShow->soundName : std::string(); }

}  // namespace fotrix
