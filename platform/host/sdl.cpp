// The SDL2 back end: a desktop window showing the screen zoomed; the mouse and
// touch are the stylus, keys the hardware keys; closing the window closes the program.
#include "platform/host/hosts.h"
#include "platform/gdi/surface.h"
#include "platform/resources/resources.h"
#include "platform/screen/metrics.h"
#include "platform/shell/taskbar.h"
#include "platform/window/input.h"
#include "platform/window/window.h"

#include <SDL.h>

#include <cmath>
#include <vector>

namespace {

SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
SDL_Cursor* cursor = nullptr;
SDL_AudioDeviceID audio = 0;
int screenW = 0, screenH = 0, zoomFactor = 1;
SDL_FingerID activeFinger = -1;
bool fingerDown = false;
// A second finger turns the touch into a pinch: the stylus finger stops
// moving the stylus, and both report the zoom gesture until one lifts.
struct Finger {
    SDL_FingerID id = -1;
    float x = 0, y = 0;
};
Finger fingers[2];
bool pinching = false;
bool stylusSpent = false;  // the stylus finger ended a pinch: its lift is all that is left

struct KeyMapping {
    SDL_Keycode key;
    UINT vk;
};

constexpr KeyMapping kKeys[] = {
    {SDLK_UP, VK_UP},         {SDLK_DOWN, VK_DOWN},       {SDLK_LEFT, VK_LEFT},     {SDLK_RIGHT, VK_RIGHT},
    {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN}, {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_BACKSPACE, VK_BACK},
    {SDLK_TAB, VK_TAB},       {SDLK_DELETE, VK_DELETE},   {SDLK_HOME, VK_HOME},     {SDLK_END, VK_END},
    {SDLK_PAGEUP, VK_PRIOR},  {SDLK_PAGEDOWN, VK_NEXT},   {SDLK_SPACE, VK_SPACE},   {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},  {SDLK_LCTRL, VK_CONTROL},   {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},     {SDLK_RALT, VK_MENU},
};

UINT virtualKeyOf(SDL_Keycode key)
{
    for (const KeyMapping& m : kKeys)
        if (m.key == key) return m.vk;
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<UINT>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<UINT>(key);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + static_cast<UINT>(key - SDLK_F1);
    return 0;
}

BOOL closeEach(HWND hwnd, LPARAM count)
{
    if (hwnd != screenTaskBar()) {
        PostMessage(hwnd, WM_CLOSE, 0, 0);
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

void closeProgram()
{
    int count = 0;
    EnumWindows(closeEach, reinterpret_cast<LPARAM>(&count));
    if (count == 0) PostQuitMessage(0);
}

void reportPinch(DWORD flags)
{
    float cx = (fingers[0].x + fingers[1].x) / 2, cy = (fingers[0].y + fingers[1].y) / 2;
    float dx = (fingers[0].x - fingers[1].x) * static_cast<float>(screenW);
    float dy = (fingers[0].y - fingers[1].y) * static_cast<float>(screenH);
    PlatformZoomGesture(flags, static_cast<int>(std::floor(cx * screenW)), static_cast<int>(std::floor(cy * screenH)),
                        static_cast<int>(std::lround(std::sqrt(dx * dx + dy * dy))));
}

// One finger is the stylus. A second one turns the touch into a pinch until
// either lifts; the stylus finger then moves nothing more, and its lift (with
// the view told of the pinch, no tap) ends the touch.
void fingerEvent(const SDL_TouchFingerEvent& f, StylusAction action)
{
    const bool isStylus = fingerDown && f.fingerId == activeFinger;
    const bool isSecond = pinching && f.fingerId == fingers[1].id;
    if (action == StylusDown) {
        if (!fingerDown) {
            fingerDown = true;
            activeFinger = f.fingerId;
            fingers[0] = Finger{f.fingerId, f.x, f.y};
            stylusSpent = false;
        } else {
            if (!pinching && !stylusSpent) {
                pinching = true;
                fingers[1] = Finger{f.fingerId, f.x, f.y};
                reportPinch(GF_BEGIN);
            }
            return;
        }
    } else if (isStylus || isSecond) {
        Finger& finger = isStylus ? fingers[0] : fingers[1];
        finger.x = f.x;
        finger.y = f.y;
        if (pinching) {
            bool ends = action == StylusUp;
            reportPinch(ends ? DWORD{GF_END} : DWORD{0});
            if (ends) {
                pinching = false;
                stylusSpent = true;
            }
        }
        if (isSecond || (action == StylusMove && (pinching || stylusSpent))) return;
        if (action == StylusUp) {
            fingerDown = false;
            stylusSpent = false;
        }
    } else {
        return;
    }
    int x = static_cast<int>(std::floor(f.x * screenW)), y = static_cast<int>(std::floor(f.y * screenH));
    PlatformStylusInput(action, x, y);
}

bool handle(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_QUIT:
        closeProgram();
        return true;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) closeProgram();
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED) screenMarkDirty();
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (e.button.which == SDL_TOUCH_MOUSEID || e.button.button != SDL_BUTTON_LEFT) return false;
        PlatformStylusInput(e.type == SDL_MOUSEBUTTONDOWN ? StylusDown : StylusUp, e.button.x / zoomFactor, e.button.y / zoomFactor);
        return true;
    case SDL_MOUSEMOTION:
        if (e.motion.which == SDL_TOUCH_MOUSEID) return false;
        PlatformStylusInput(StylusMove, e.motion.x / zoomFactor, e.motion.y / zoomFactor);
        return true;
    case SDL_MOUSEWHEEL: {
        if (e.wheel.which == SDL_TOUCH_MOUSEID) return false;
        int x = 0, y = 0;
#if SDL_VERSION_ATLEAST(2, 26, 0)
        x = e.wheel.mouseX;  // where the pointer was when the wheel turned
        y = e.wheel.mouseY;
#else
        SDL_GetMouseState(&x, &y);
#endif
        int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        PlatformWheelInput(x / zoomFactor, y / zoomFactor, notches * WHEEL_DELTA);
        return true;
    }
    case SDL_FINGERDOWN:
        fingerEvent(e.tfinger, StylusDown);
        return true;
    case SDL_FINGERUP:
        fingerEvent(e.tfinger, StylusUp);
        return true;
    case SDL_FINGERMOTION:
        fingerEvent(e.tfinger, StylusMove);
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (UINT vk = virtualKeyOf(e.key.keysym.sym)) PlatformKeyInput(vk, e.type == SDL_KEYDOWN);
        return true;
    case SDL_TEXTINPUT:
        PlatformTextInput(e.text.text);
        return true;
    default:
        return false;
    }
}

bool open(int width, int height, int zoom)
{
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return false;
    screenW = width;
    screenH = height;
    zoomFactor = std::max(1, zoom);
    window = SDL_CreateWindow("Fotrix Pocket", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * zoomFactor,
                              height * zoomFactor, 0);
    if (window) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (window && !renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (renderer) texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!texture) {
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        renderer = nullptr;
        window = nullptr;
        SDL_Quit();
        return false;
    }
    SDL_StartTextInput();
    // SDL keeps the screen saver off while it has a window; here it runs
    // unless the program keeps resetting the idle timer.
    SDL_EnableScreenSaver();
    return true;
}

void close()
{
    if (cursor) SDL_FreeCursor(cursor);
    if (audio) SDL_CloseAudioDevice(audio);
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    cursor = nullptr;
    audio = 0;
    texture = nullptr;
    renderer = nullptr;
    window = nullptr;
    SDL_Quit();
}

bool poll(int timeoutMs)
{
    SDL_Event e;
    bool any = false;
    if (timeoutMs > 0 ? SDL_WaitEventTimeout(&e, timeoutMs) : SDL_PollEvent(&e)) {
        any = handle(e) || any;
        while (SDL_PollEvent(&e)) any = handle(e) || any;
    }
    return any;
}

void draw(const Surface& screen)
{
    SDL_UpdateTexture(texture, nullptr, screen.bits, screen.stride);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
}

void present(const Surface& screen)
{
    if (!renderer) return;
    draw(screen);
    SDL_RenderPresent(renderer);
}

DWORD ticks() { return SDL_GetTicks(); }
void advance(DWORD) {}

void cursorChanged(HCURSOR handle)
{
    CursorImage image;
    if (!handle || !cursorImageOf(handle, &image)) return;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(image.pixels.data(), image.width, image.height, 32, image.width * 4,
                                                        SDL_PIXELFORMAT_ARGB8888);
    if (!s) return;
    SDL_Cursor* next = SDL_CreateColorCursor(s, image.hotX, image.hotY);
    SDL_FreeSurface(s);
    if (!next) return;
    SDL_SetCursor(next);
    if (cursor) SDL_FreeCursor(cursor);
    cursor = next;
}

// A short square-wave tone; quietly nothing where the host has no sound device.
void beep(UINT)
{
    if (!audio) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
        SDL_AudioSpec want{}, have{};
        want.freq = 22050;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = 512;
        audio = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!audio) return;
        SDL_PauseAudioDevice(audio, 0);
    }
    std::vector<int16_t> tone(22050 / 12);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = ((i / 12) % 2) ? 4000 : -4000;
    SDL_QueueAudio(audio, tone.data(), static_cast<Uint32>(tone.size() * sizeof(int16_t)));
}

bool screenshot(const char* path)
{
    Surface* screen = screenFramebuffer();
    if (!renderer || !screen) return false;
    draw(*screen);
    int w = screenW * zoomFactor, h = screenH * zoomFactor;
    Surface shot;
    if (!surfaceAllocate(shot, w, h, 32, false)) return false;
    bool ok = SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, shot.bits, shot.stride) == 0;
    SDL_RenderPresent(renderer);
    if (!ok) return false;
    // One screen pixel is a zoom x zoom block of the window: take each block's first pixel.
    Surface small;
    if (!surfaceAllocate(small, screenW, screenH, 32, false)) return false;
    for (int y = 0; y < screenH; ++y)
        for (int x = 0; x < screenW; ++x) surfacePut(small, x, y, surfaceGet(shot, x * zoomFactor, y * zoomFactor));
    return writeSurfacePng(small, RECT{0, 0, screenW, screenH}, path);
}

void keepAwake(bool on)
{
    if (on) SDL_DisableScreenSaver();
    else SDL_EnableScreenSaver();
}

const BackendOps ops = {"sdl", open, close, poll, present, ticks, false, advance, cursorChanged, beep, screenshot, keepAwake};

}  // namespace

const BackendOps* sdlBackend() { return &ops; }
