#pragma once
// Resources compiled into the program: its string table, bitmaps, cursors and
// icons, registered at start from tables in the program's own source, plus the
// platform's own cursors (arrow, wait, hand).
#include "platform/base/types.h"

#include <cstdint>
#include <vector>

struct StringResource {
    UINT id;
    const char* text;  // UTF-8
};

// A bitmap drawn by a function into 0x00RRGGBB pixels (width * height, top row first).
typedef void (*BitmapPainter)(uint32_t* pixels, int width, int height);
struct BitmapResource {
    int id;            // or 0 with a name
    const char* name;
    int width;
    int height;
    BitmapPainter paint;
};

// Cursor and icon art: one string per row; '.' transparent, '#' black,
// 'o' white, 'r' red, 'b' blue, 'g' grey.
struct ArtResource {
    int id;
    const char* name;
    int hotX;
    int hotY;
    int rowCount;
    const char* const* rows;
};

HINSTANCE GetModuleHandle(const char* name);  // the program itself for null

void RegisterStringTable(const StringResource* strings, int count);
void RegisterBitmaps(const BitmapResource* bitmaps, int count);
void RegisterCursors(const ArtResource* cursors, int count);
void RegisterIcons(const ArtResource* icons, int count);

// Copies string `id` into buffer (cut at a character boundary to capacity - 1
// bytes) and returns its length; 0 when there is no such string.
int LoadString(HINSTANCE instance, UINT id, char* buffer, int capacity);
HBITMAP LoadBitmap(HINSTANCE instance, const char* name);

#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_HAND MAKEINTRESOURCE(32649)
#define IDI_APPLICATION MAKEINTRESOURCE(32512)
// Null instance: the platform's cursors (IDC_ARROW, IDC_WAIT, IDC_HAND); else the program's.
HCURSOR LoadCursor(HINSTANCE instance, const char* name);
HICON LoadIcon(HINSTANCE instance, const char* name);
BOOL DestroyCursor(HCURSOR cursor);
BOOL DestroyIcon(HICON icon);

// Pixels of a cursor or icon as 0xAARRGGBB (used by the SDL back end and tests).
struct CursorImage {
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    std::vector<uint32_t> pixels;
};
bool cursorImageOf(HCURSOR cursor, CursorImage* out);
