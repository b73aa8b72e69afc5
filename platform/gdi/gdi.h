#pragma once
// Drawing: device contexts over 32-bit surfaces (the screen, device bitmaps)
// and DIB sections of 8, 24 and 32 bits, solid brushes and pens, shapes, block
// transfers, and text drawn with FreeType.
#include "platform/base/types.h"

// Stock objects.
enum : int {
    WHITE_BRUSH = 0,
    LTGRAY_BRUSH = 1,
    GRAY_BRUSH = 2,
    DKGRAY_BRUSH = 3,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    HOLLOW_BRUSH = NULL_BRUSH,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
    SYSTEM_FONT = 13,
    DEFAULT_GUI_FONT = 17,
};

// System colours.
enum : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_STATIC = 25,
    COLOR_STATICTEXT = 26,
    COLOR_3DFACE = COLOR_BTNFACE,
    COLOR_3DSHADOW = COLOR_BTNSHADOW,
    COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT,
    COLOR_DESKTOP = COLOR_BACKGROUND,
};
DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);

// Pens.
enum : int { PS_SOLID = 0, PS_DASH = 1, PS_NULL = 5 };

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
};
enum : UINT { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1 };

constexpr int LF_FACESIZE = 32;
struct LOGFONT {
    LONG lfHeight;  // < 0: character height in pixels; > 0: cell height; 0: the default size
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;  // FW_NORMAL 400, FW_BOLD 700
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};
enum : LONG { FW_DONTCARE = 0, FW_NORMAL = 400, FW_SEMIBOLD = 600, FW_BOLD = 700 };

struct TEXTMETRIC {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    uint32_t tmFirstChar;
    uint32_t tmLastChar;
    uint32_t tmDefaultChar;
    uint32_t tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

// Bitmaps.
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // > 0: rows stored bottom-up; < 0: top-down
    WORD biPlanes;
    WORD biBitCount;  // 8, 24 or 32
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;  // palette entries of an 8-bit picture (0: 256)
    DWORD biClrImportant;
};
enum : DWORD { BI_RGB = 0 };

// The palette follows the header (as many entries as biClrUsed says).
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
// A header with room for a full palette, for callers building 8-bit pictures.
struct BITMAPINFO256 {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
};

enum : UINT { DIB_RGB_COLORS = 0 };

// Raster operations of BitBlt/StretchBlt/PatBlt.
enum : DWORD {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    NOTSRCCOPY = 0x00330008,
    DSTINVERT = 0x00550009,
    PATCOPY = 0x00F00021,
    PATINVERT = 0x005A0049,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
};

// Background modes, text alignment, stretch modes.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : UINT { TA_LEFT = 0, TA_TOP = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_BOTTOM = 8, TA_BASELINE = 24 };
enum : int { BLACKONWHITE = 1, COLORONCOLOR = 3, STRETCH_DELETESCANS = 3, HALFTONE = 4 };
enum : UINT { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004 };
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// DrawText.
enum : UINT {
    DT_TOP = 0x0000,
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,
    DT_BOTTOM = 0x0008,
    DT_WORDBREAK = 0x0010,
    DT_SINGLELINE = 0x0020,
    DT_EXPANDTABS = 0x0040,
    DT_NOCLIP = 0x0100,
    DT_CALCRECT = 0x0400,
    DT_NOPREFIX = 0x0800,
    DT_PATH_ELLIPSIS = 0x4000,  // "..." in the middle: the last path component stays whole
    DT_END_ELLIPSIS = 0x8000,
};

// GetDeviceCaps.
enum : int {
    HORZSIZE = 4,
    VERTSIZE = 6,
    HORZRES = 8,
    VERTRES = 10,
    BITSPIXEL = 12,
    PLANES = 14,
    NUMCOLORS = 24,
    RASTERCAPS = 38,
    LOGPIXELSX = 88,
    LOGPIXELSY = 90,
};
enum : int { RC_BITBLT = 1, RC_STRETCHBLT = 0x800, RC_DI_BITMAP = 0x80 };

// Objects.
HGDIOBJ GetStockObject(int index);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);
HFONT CreateFontIndirect(const LOGFONT* font);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);  // 32 bits, black
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);  // 32 bits only
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
BOOL DeleteObject(HGDIOBJ object);
int GetObject(HGDIOBJ object, int size, void* out);  // BITMAP, DIBSECTION, LOGFONT, LOGPEN, LOGBRUSH
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC hdc, UINT kind);
enum : UINT { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_FONT = 6, OBJ_BITMAP = 7 };
UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors);
UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors);

// Device contexts.
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
int GetDeviceCaps(HDC hdc, int index);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
int SetStretchBltMode(HDC hdc, int mode);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC hdc, POINT* out);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int GetClipBox(HDC hdc, RECT* rect);
// Saves the DC's objects, colours, modes, origin and clip; RestoreDC(-1) takes
// back the last saved state, RestoreDC(n) the n-th (and drops later ones).
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int saved);
enum : int { NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3, RGN_ERROR = 0 };
BOOL GdiFlush();

// Shapes (logical coordinates; right and bottom edges excluded as in every rectangle).
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC hdc, const RECT* rect);
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
BOOL LineTo(HDC hdc, int x, int y);  // the end point itself is not drawn
BOOL Polyline(HDC hdc, const POINT* points, int count);
BOOL Polygon(HDC hdc, const POINT* points, int count);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);

// Block transfers.
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int sx, int sy, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int sx, int sy, int sw, int sh, DWORD rop);
int StretchDIBits(HDC dst, int x, int y, int width, int height, int sx, int sy, int sw, int sh, const void* bits,
                  const BITMAPINFO* info, UINT usage, DWORD rop);
int SetDIBitsToDevice(HDC dst, int x, int y, DWORD width, DWORD height, int sx, int sy, UINT startScan, UINT scanLines,
                      const void* bits, const BITMAPINFO* info, UINT usage);

// Text. Lengths are in bytes of UTF-8 (-1: up to the terminating zero); the
// character positions of GetTextExtentExPoint are byte positions too, and
// every byte of a multi-byte character gets that character's extent.
BOOL TextOut(HDC hdc, int x, int y, const char* text, int length);
BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text, UINT length, const int* dx);
BOOL GetTextExtentPoint32(HDC hdc, const char* text, int length, SIZE* size);
inline BOOL GetTextExtentPoint(HDC hdc, const char* text, int length, SIZE* size)
{
    return GetTextExtentPoint32(hdc, text, length, size);
}
BOOL GetTextExtentExPoint(HDC hdc, const char* text, int length, int maxExtent, int* fit, int* dx, SIZE* size);
BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* metrics);
int GetTextFace(HDC hdc, int capacity, char* name);
int DrawText(HDC hdc, const char* text, int length, RECT* rect, UINT format);

// Saves the pixels of a DC's surface area as a PNG file (tests and screenshots).
BOOL SaveDCToPng(HDC hdc, const RECT* area, const char* path);
