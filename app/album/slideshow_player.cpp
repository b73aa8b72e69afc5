#include "app/album/slideshow_player.h"

#include <unistd.h>

#include <memory>

#include "app/album/core/album_archive.h"
#include "app/shell/app_state.h"
#include "app/viewer/view_window.h"
#include "imagelib/load.h"
#include "platform/files/files.h"
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
    AlbumArchive album;
    int current = 0;   // the next picture to show
    int shown = -1;    // the picture on screen
    std::string soundFile;
    std::string soundMember;
};

SlideshowState* gShow = nullptr;

int pictureCount() { return static_cast<int>(gShow->album.description().pictures.size()); }

// Shows picture `current` (wrapping to the first); a member that is missing
// or cannot be loaded is skipped without a message.
void showPicture()
{
    if (gShow->current >= pictureCount()) gShow->current = 0;
    const AlbumEntry& entry = gShow->album.description().pictures[gShow->current];
    if (auto path = gShow->album.extract(entry.member)) {
        LoadParams params;
        loadParamsDefaults(params);
        Bitmap bitmap;
        if (loadBitmap(*path, bitmap, params, nullptr) == 0) {
            HBITMAP device = BitmapToDeviceBitmap(bitmap);
            SIZE size{bitmap.width, bitmap.height};
            if (device && gShow->album.description().transitions) SetDeviceBitmapWithTransition(gShow->view, device, size);
            else if (device) SetDeviceBitmap(gShow->view, device, size);
            if (device) gShow->shown = gShow->current;
            bitmapFree(bitmap);
        }
        unlink(path->c_str());
    }
    ++gShow->current;
}

void playSound()
{
    if (gShow->soundFile.empty()) return;
    // The mixer plays modules, MP3, Ogg and wave files; without it a wave
    // file still plays through the wave player and other kinds stay silent.
    bool playing = musicPlay(gShow->soundFile, true);
    if (!playing && gShow->album.description().soundKind == SoundWav)
        playing = PlaySound(gShow->soundFile.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NODEFAULT);
    if (playing) gShow->soundMember = gShow->album.description().sound->member;
}

void armTimer(HWND hwnd)
{
    int delay = gShow->album.description().delay;
    SetTimer(hwnd, kSlideTimer, static_cast<UINT>((delay < 1 ? 1 : delay) * 1000), nullptr);
}

LRESULT onTimer(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    if (wParam != kSlideTimer || !gShow) return 0;
    if (gShow->current >= pictureCount() && !gShow->album.description().loop) {
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
    if (!gShow->soundMember.empty()) {
        musicStop();
        PlaySound(nullptr, nullptr, 0);
    }
    delete gShow;  // closes the archive and removes the working folder
    gShow = nullptr;
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

LRESULT slideProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kSlideMap, hwnd, message, wParam, lParam);
}

bool registerSlideClass()
{
    WNDCLASS existing{};
    if (GetClassInfo(nullptr, kSlideClass, &existing)) return true;
    WNDCLASS wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = slideProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kSlideClass;
    return RegisterClass(&wc) != 0;
}

std::string temporaryRoot()
{
    char buffer[MAX_PATH] = {};
    DWORD length = GetTempPath(MAX_PATH, buffer);
    std::string root(buffer, length);
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    return root.empty() ? "/tmp" : root;
}

}  // namespace

bool slideshowStart(const std::string& path)
{
    if (gShow || !registerSlideClass() || !RegisterViewClass()) return false;
    auto show = std::make_unique<SlideshowState>();
    if (show->album.open(path, temporaryRoot()) != AlbumOpenError::None) return false;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowEx(WS_EX_TOPMOST, kSlideClass, "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                 nullptr, nullptr, nullptr);
    if (!window) return false;
    gShow = show.release();
    gShow->window = window;
    RECT all{0, 0, width, height};
    gShow->view = CreateView(window, WS_VISIBLE, &all, 0x808080, 0);
    SetFitMode(gShow->view, ShrinkLarge);
    SetBackground(gShow->view, gApp.slideBackColor);
    SetCallback(gShow->view, onViewEvent, nullptr);
    if (auto sound = gShow->album.extractSound()) gShow->soundFile = *sound;
    showPicture();
    armTimer(window);
    playSound();
    return true;
}

bool slideshowRunning() { return gShow != nullptr; }
int slideshowShownIndex() { return gShow ? gShow->shown : -1; }
std::string slideshowSoundMember() { return gShow ? gShow->soundMember : std::string(); }

}  // namespace fotrix
