#pragma once
// Basic Win32-style types of the platform layer. All text is UTF-8; there are
// no A/W variants. Handles are pointers to records private to the layer.
#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef int16_t SHORT;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef int32_t INT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef uintptr_t DWORD_PTR;
typedef uintptr_t ULONG_PTR;
typedef uint32_t COLORREF;
typedef DWORD ATOM_VALUE;
typedef uint16_t ATOM;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

struct WindowRec;
struct DeviceContext;
struct GdiObject;
struct KernelObject;
struct RegKeyRec;
struct ModuleRec;
struct CursorRec;
struct FindRec;

typedef WindowRec* HWND;
typedef DeviceContext* HDC;
typedef GdiObject* HGDIOBJ;
typedef GdiObject* HBITMAP;
typedef GdiObject* HBRUSH;
typedef GdiObject* HPEN;
typedef GdiObject* HFONT;
typedef GdiObject* HPALETTE;
typedef GdiObject* HRGN;
typedef KernelObject* HANDLE;
typedef RegKeyRec* HKEY;
typedef ModuleRec* HINSTANCE;
typedef ModuleRec* HMODULE;
typedef CursorRec* HCURSOR;
typedef CursorRec* HICON;
typedef struct MenuRec* HMENU;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define INFINITE 0xFFFFFFFFu
#define MAX_PATH 260

struct POINT {
    LONG x;
    LONG y;
};

struct SIZE {
    LONG cx;
    LONG cy;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

inline constexpr WORD LOWORD(uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline constexpr WORD HIWORD(uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
inline constexpr LPARAM MAKELPARAM(int lo, int hi)
{
    return static_cast<LPARAM>(static_cast<DWORD>((static_cast<DWORD>(lo) & 0xFFFF) | ((static_cast<DWORD>(hi) & 0xFFFF) << 16)));
}
inline constexpr WPARAM MAKEWPARAM(int lo, int hi) { return static_cast<WPARAM>(static_cast<DWORD>(MAKELPARAM(lo, hi))); }
inline constexpr LRESULT MAKELRESULT(int lo, int hi) { return MAKELPARAM(lo, hi); }
// Signed coordinates packed into an LPARAM (mouse messages).
inline constexpr int GET_X_LPARAM(LPARAM l) { return static_cast<int16_t>(l & 0xFFFF); }
inline constexpr int GET_Y_LPARAM(LPARAM l) { return static_cast<int16_t>((l >> 16) & 0xFFFF); }

// COLORREF is 0x00BBGGRR.
inline constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int GetRValue(COLORREF c) { return c & 0xFF; }
inline constexpr int GetGValue(COLORREF c) { return (c >> 8) & 0xFF; }
inline constexpr int GetBValue(COLORREF c) { return (c >> 16) & 0xFF; }

// Resource names: a small integer or a string.
inline const char* MAKEINTRESOURCE(int id) { return reinterpret_cast<const char*>(static_cast<uintptr_t>(id & 0xFFFF)); }
inline bool IS_INTRESOURCE(const char* name) { return (reinterpret_cast<uintptr_t>(name) >> 16) == 0; }

// Error codes reported through GetLastError and returned by the registry.
enum : DWORD {
    ERROR_SUCCESS = 0,
    ERROR_INVALID_FUNCTION = 1,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_PATH_NOT_FOUND = 3,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_NOT_ENOUGH_MEMORY = 8,
    ERROR_INVALID_DATA = 13,
    ERROR_OUTOFMEMORY = 14,
    ERROR_NO_MORE_FILES = 18,
    ERROR_WRITE_FAULT = 29,
    ERROR_READ_FAULT = 30,
    ERROR_SHARING_VIOLATION = 32,
    ERROR_NOT_SUPPORTED = 50,
    ERROR_FILE_EXISTS = 80,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_DISK_FULL = 112,
    ERROR_INSUFFICIENT_BUFFER = 122,
    ERROR_INVALID_NAME = 123,
    ERROR_DIR_NOT_EMPTY = 145,
    ERROR_ALREADY_EXISTS = 183,
    ERROR_MORE_DATA = 234,
    ERROR_NO_MORE_ITEMS = 259,
    ERROR_TIMEOUT = 1460,
    ERROR_CLASS_ALREADY_EXISTS = 1410,
    ERROR_CLASS_DOES_NOT_EXIST = 1411,
    ERROR_INVALID_WINDOW_HANDLE = 1400,
    ERROR_BADDB = 1009,
    ERROR_BADKEY = 1010,
    ERROR_CANTOPEN = 1011,
    ERROR_CANTWRITE = 1013,
    ERROR_KEY_DELETED = 1018,
};

DWORD GetLastError();
void SetLastError(DWORD code);

// a * b / c rounded to nearest, as the screen scaling uses; -1 when c is 0.
int MulDiv(int a, int b, int c);

// Rectangle helpers. Rectangles include left/top and exclude right/bottom.
BOOL SetRect(RECT* r, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* r);
BOOL CopyRect(RECT* dst, const RECT* src);
BOOL IsRectEmpty(const RECT* r);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* r, POINT p);
BOOL OffsetRect(RECT* r, int dx, int dy);
BOOL InflateRect(RECT* r, int dx, int dy);
BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b);

// Writes a line to the debug console (stderr, or the hook when one is set).
void OutputDebugString(const char* text);
// Routes OutputDebugString elsewhere (tests catch the lines); null restores stderr.
typedef void (*DebugOutputHook)(const char* text);
void SetDebugOutputHook(DebugOutputHook hook);
