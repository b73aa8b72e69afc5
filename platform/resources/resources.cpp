// Resource tables and lookups.
#include "platform/resources/resources.h"
#include "platform/gdi/gdi.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

struct ModuleRec {
    int unused = 0;
};

struct CursorRec {
    CursorImage image;
};

namespace {

std::mutex& resourcesLock()
{
    static std::mutex lock;
    return lock;
}

std::map<UINT, std::string>& strings()
{
    static std::map<UINT, std::string> table;
    return table;
}

std::vector<BitmapResource>& bitmaps()
{
    static std::vector<BitmapResource> list;
    return list;
}

struct ArtEntry {
    ArtResource art;
    bool icon;
    std::unique_ptr<CursorRec> loaded;
};

std::vector<ArtEntry>& arts()
{
    static std::vector<ArtEntry> list;
    return list;
}

bool nameMatches(int id, const char* name, const char* wanted)
{
    if (IS_INTRESOURCE(wanted)) return id != 0 && id == static_cast<int>(reinterpret_cast<uintptr_t>(wanted));
    return name && std::strcmp(name, wanted) == 0;
}

uint32_t artColor(char c)
{
    switch (c) {
    case '#':
        return 0xFF000000;
    case 'o':
        return 0xFFFFFFFF;
    case 'r':
        return 0xFFE02020;
    case 'b':
        return 0xFF2050C0;
    case 'g':
        return 0xFF808080;
    default:
        return 0;
    }
}

CursorImage renderArt(const ArtResource& art)
{
    CursorImage img;
    img.height = art.rowCount;
    for (int y = 0; y < art.rowCount; ++y) img.width = std::max(img.width, static_cast<int>(std::strlen(art.rows[y])));
    img.hotX = art.hotX;
    img.hotY = art.hotY;
    img.pixels.assign(static_cast<size_t>(img.width) * img.height, 0);
    for (int y = 0; y < art.rowCount; ++y)
        for (int x = 0; art.rows[y][x]; ++x) img.pixels[static_cast<size_t>(y) * img.width + x] = artColor(art.rows[y][x]);
    return img;
}

// The platform's own cursors.
const char* const kArrow[] = {
    "#...........", "##..........", "#o#.........", "#oo#........", "#ooo#.......", "#oooo#......",
    "#ooooo#.....", "#oooooo#....", "#ooooooo#...", "#oooooooo#..", "#ooooo#####.", "#oo#oo#.....",
    "#o#.#oo#....", "##..#oo#....", "#....#oo#...", ".....#oo#...", "......##....",
};
const char* const kWait[] = {
    "###########", "#ooooooooo#", ".#ooooooo#.", ".#o#o#o#o#.", "..#o#o#o#..", "...#o#o#...", "....#o#....",
    "....#o#....", "...#ooo#...", "..#oo#oo#..", ".#oo#o#oo#.", ".#o#o#o#o#.", "#o#o#o#o#o#", "###########",
};
const char* const kHand[] = {
    "....##..........", "...#oo#.........", "...#oo#.........", "...#oo#.........", "...#oo###.......",
    "...#oo#oo###....", "...#oo#oo#oo##..", "##.#oo#oo#oo#o#.", "#oo#oooooooo#o#.", "#ooooooooooooo#.",
    ".#oooooooooooo#.", "..#ooooooooooo#.", "..#oooooooooo#..", "...#ooooooooo#..", "....#ooooooo#...",
    "....#########...",
};
const ArtResource kSystemCursors[] = {
    {32512, nullptr, 0, 0, static_cast<int>(std::size(kArrow)), kArrow},
    {32514, nullptr, 5, 7, static_cast<int>(std::size(kWait)), kWait},
    {32649, nullptr, 5, 0, static_cast<int>(std::size(kHand)), kHand},
};

CursorRec* systemCursor(const char* name)
{
    static std::unique_ptr<CursorRec> loaded[std::size(kSystemCursors)];
    for (size_t i = 0; i < std::size(kSystemCursors); ++i) {
        if (!nameMatches(kSystemCursors[i].id, nullptr, name)) continue;
        if (!loaded[i]) {
            loaded[i] = std::make_unique<CursorRec>();
            loaded[i]->image = renderArt(kSystemCursors[i]);
        }
        return loaded[i].get();
    }
    return nullptr;
}

CursorRec* programArt(const char* name, bool icon)
{
    for (ArtEntry& e : arts()) {
        if (e.icon != icon || !nameMatches(e.art.id, e.art.name, name)) continue;
        if (!e.loaded) {
            e.loaded = std::make_unique<CursorRec>();
            e.loaded->image = renderArt(e.art);
        }
        return e.loaded.get();
    }
    return nullptr;
}

}  // namespace

HINSTANCE GetModuleHandle(const char*)
{
    static ModuleRec self;
    return &self;
}

void RegisterStringTable(const StringResource* list, int count)
{
    std::lock_guard<std::mutex> guard(resourcesLock());
    for (int i = 0; i < count; ++i)
        if (list[i].text) strings()[list[i].id] = list[i].text;
}

void RegisterBitmaps(const BitmapResource* list, int count)
{
    std::lock_guard<std::mutex> guard(resourcesLock());
    bitmaps().insert(bitmaps().end(), list, list + count);
}

void RegisterCursors(const ArtResource* list, int count)
{
    std::lock_guard<std::mutex> guard(resourcesLock());
    for (int i = 0; i < count; ++i) arts().push_back(ArtEntry{list[i], false, nullptr});
}

void RegisterIcons(const ArtResource* list, int count)
{
    std::lock_guard<std::mutex> guard(resourcesLock());
    for (int i = 0; i < count; ++i) arts().push_back(ArtEntry{list[i], true, nullptr});
}

int LoadString(HINSTANCE, UINT id, char* buffer, int capacity)
{
    std::lock_guard<std::mutex> guard(resourcesLock());
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = 0;
    auto it = strings().find(id);
    if (it == strings().end()) return 0;
    const std::string& s = it->second;
    size_t n = std::min(s.size(), static_cast<size_t>(capacity - 1));
    while (n > 0 && n < s.size() && (static_cast<uint8_t>(s[n]) & 0xC0) == 0x80) --n;
    std::memcpy(buffer, s.data(), n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

HBITMAP LoadBitmap(HINSTANCE, const char* name)
{
    BitmapResource found{};
    {
        std::lock_guard<std::mutex> guard(resourcesLock());
        for (const BitmapResource& b : bitmaps())
            if (nameMatches(b.id, b.name, name)) found = b;
    }
    if (!found.paint || found.width <= 0 || found.height <= 0) return nullptr;
    std::vector<uint32_t> pixels(static_cast<size_t>(found.width) * found.height, 0);
    found.paint(pixels.data(), found.width, found.height);
    return CreateBitmap(found.width, found.height, 1, 32, pixels.data());
}

HCURSOR LoadCursor(HINSTANCE instance, const char* name)
{
    if (!name) return nullptr;
    if (!instance) return systemCursor(name);
    std::lock_guard<std::mutex> guard(resourcesLock());
    return programArt(name, false);
}

HICON LoadIcon(HINSTANCE instance, const char* name)
{
    if (!name) return nullptr;
    if (!instance) return systemCursor(name);
    std::lock_guard<std::mutex> guard(resourcesLock());
    return programArt(name, true);
}

// Cursors and icons from resources are shared and live as long as the program.
BOOL DestroyCursor(HCURSOR cursor) { return cursor ? TRUE : FALSE; }
BOOL DestroyIcon(HICON icon) { return icon ? TRUE : FALSE; }

bool cursorImageOf(HCURSOR cursor, CursorImage* out)
{
    if (!cursor || !out) return false;
    *out = cursor->image;
    return true;
}
