#include "tests/support/platform_support.h"

#include <png.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <map>

namespace platformtest {

namespace {

LRESULT recorderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    recorded().push_back(Recorded{hwnd, message, wParam, lParam});
    return DefWindowProc(hwnd, message, wParam, lParam);
}

BOOL destroyEach(HWND hwnd, LPARAM)
{
    if (hwnd != screenTaskBar()) DestroyWindow(hwnd);
    return TRUE;
}

}  // namespace

bool startHeadless(int width, int height, int dpi)
{
    PlatformConfig config;
    config.width = width;
    config.height = height;
    config.dpi = dpi;
    config.headless = true;
    return PlatformInit(&config) != FALSE;
}

bool startOffscreenSdl(int zoom)
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();
#endif
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    PlatformConfig config;
    config.zoom = zoom;
    return PlatformInit(&config) != FALSE;
}

void stopOffscreenSdl()
{
    PlatformShutdown();
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("SDL_AUDIODRIVER");
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
}

void Headless::start(int width, int height, int dpi)
{
    ASSERT_TRUE(startHeadless(width, height, dpi));
    recorded().clear();
}

void Headless::stop()
{
    EnumWindows(destroyEach, 0);
    ReleaseCapture();
    SetFocus(nullptr);
    PlatformRunPending();
    PlatformShutdown();
    recorded().clear();
}

std::vector<Recorded>& recorded()
{
    static std::vector<Recorded> list;
    return list;
}

std::vector<UINT> recordedMessages(HWND hwnd)
{
    std::vector<UINT> out;
    for (const Recorded& r : recorded())
        if (r.hwnd == hwnd) out.push_back(r.message);
    return out;
}

const char* recorderClass(UINT classStyle)
{
    static std::map<UINT, std::string> names;
    auto it = names.find(classStyle);
    if (it != names.end()) return it->second.c_str();
    std::string name = "Recorder" + std::to_string(classStyle);
    WNDCLASS wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = recorderProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
    wc.lpszClassName = name.c_str();
    RegisterClass(&wc);
    return (names[classStyle] = name).c_str();
}

HWND makeWindow(const char* title, DWORD style, HWND parent, int x, int y, int w, int h, UINT classStyle)
{
    return CreateWindowEx(0, recorderClass(classStyle), title, style, x, y, w, h, parent, nullptr, nullptr, nullptr);
}

void pump() { PlatformRunPending(); }

COLORREF screenPixel(int x, int y)
{
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

MemorySurface::MemorySurface(int w, int h, COLORREF fill) : width(w), height(h)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* p = nullptr;
    bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint32_t*>(p);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bitmap);
    HBRUSH b = CreateSolidBrush(fill);
    RECT all{0, 0, w, h};
    FillRect(dc, &all, b);
    DeleteObject(b);
}

MemorySurface::~MemorySurface()
{
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

COLORREF MemorySurface::at(int x, int y) const
{
    uint32_t p = bits[y * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool readPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return true;
}

::testing::AssertionResult matchesGolden(HDC dc, int width, int height, const std::string& name)
{
    std::string golden = std::string(FOTRIX_GOLDEN_DIR) + "/" + name;
    RECT area{0, 0, width, height};
    const char* update = std::getenv("FOTRIX_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        if (!SaveDCToPng(dc, &area, golden.c_str())) return ::testing::AssertionFailure() << "cannot write " << golden;
        return ::testing::AssertionSuccess();
    }
    testsupport::TempDir tmp;
    std::string actualPath = (tmp / "actual.png").string();
    if (!SaveDCToPng(dc, &area, actualPath.c_str())) return ::testing::AssertionFailure() << "cannot save the rendering";
    int gw, gh, aw, ah;
    std::vector<uint8_t> g, a;
    if (!readPng(golden, gw, gh, g)) return ::testing::AssertionFailure() << "missing golden " << golden;
    if (!readPng(actualPath, aw, ah, a)) return ::testing::AssertionFailure() << "cannot read the rendering back";
    if (gw != aw || gh != ah) return ::testing::AssertionFailure() << "size " << aw << "x" << ah << ", golden " << gw << "x" << gh;
    for (size_t i = 0; i < g.size(); ++i) {
        if (g[i] != a[i]) {
            int pixel = static_cast<int>(i / 3);
            return ::testing::AssertionFailure() << "first difference at (" << pixel % aw << ", " << pixel / aw << ") of " << name;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace platformtest
