#pragma once
// Image lists: rows of equally sized pictures with an optional transparency
// mask, drawn by index (plain, transparent, or blended with the highlight
// colour for selected and focused items). Also the system's shared lists of
// folder and file icons, reached through SHGetFileInfo.
#include "platform/base/types.h"

struct ImageListRec;
typedef ImageListRec* HIMAGELIST;

// ImageList_Create flags. The colour depth flags are accepted; pictures are
// kept in 24-bit colour whatever the depth asked for.
enum : UINT {
    ILC_MASK = 0x0001,
    ILC_COLOR = 0x0000,
    ILC_COLORDDB = 0x00FE,
    ILC_COLOR4 = 0x0004,
    ILC_COLOR8 = 0x0008,
    ILC_COLOR16 = 0x0010,
    ILC_COLOR24 = 0x0018,
    ILC_COLOR32 = 0x0020,
};

// ImageList_Draw styles.
enum : UINT {
    ILD_NORMAL = 0x0000,
    ILD_TRANSPARENT = 0x0001,
    ILD_BLEND25 = 0x0002,
    ILD_FOCUS = 0x0002,
    ILD_BLEND50 = 0x0004,
    ILD_SELECTED = 0x0004,
    ILD_BLEND = 0x0004,
    ILD_MASK = 0x0010,
    ILD_IMAGE = 0x0020,
};

// Colours of ImageList_SetBkColor and ImageList_DrawEx.
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
// The system lists cannot be destroyed; FALSE for them and for null.
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);

// Appends the pictures of `image`, cut into cells of the list's width (at
// least one); white pixels of `mask` (any bitmap of the same size) are
// transparent. Returns the index of the first picture added, or -1.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// As ImageList_Add, with the pixels of colour `maskColour` transparent (the
// mask is kept only when the list was made with ILC_MASK).
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColour);
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
// Replaces picture `index` by an icon (scaled to the cell), or appends it when
// index is -1. Returns the index, or -1.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }
// Removes picture `index`, or all of them when index is -1.
BOOL ImageList_Remove(HIMAGELIST list, int index);
inline BOOL ImageList_RemoveAll(HIMAGELIST list) { return ImageList_Remove(list, -1); }

// The colour that transparent pixels are filled with by ILD_NORMAL; CLR_NONE
// (the default) leaves them transparent. Returns the previous colour.
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour);
COLORREF ImageList_GetBkColor(HIMAGELIST list);

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
// Draws the top-left cx x cy of picture `index` (0: all of it). `background`
// overrides the list's colour for ILD_NORMAL (CLR_DEFAULT: the list's own);
// `foreground` is the colour ILD_SELECTED and ILD_FOCUS blend with
// (CLR_DEFAULT or CLR_NONE: the highlight colour).
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int cx, int cy, COLORREF background,
                      COLORREF foreground, UINT style);

// ---- Shell file information ----
struct SHFILEINFO {
    HICON hIcon;
    int iIcon;                    // index into the system image list
    DWORD dwAttributes;           // SFGAO_ bits
    char szDisplayName[MAX_PATH];
    char szTypeName[80];
};

enum : UINT {
    SHGFI_LARGEICON = 0x000000,
    SHGFI_SMALLICON = 0x000001,
    SHGFI_OPENICON = 0x000002,
    SHGFI_PIDL = 0x000008,
    SHGFI_USEFILEATTRIBUTES = 0x000010,
    SHGFI_ICON = 0x000100,
    SHGFI_DISPLAYNAME = 0x000200,
    SHGFI_TYPENAME = 0x000400,
    SHGFI_ATTRIBUTES = 0x000800,
    SHGFI_SYSICONINDEX = 0x004000,
};

enum : DWORD {
    SFGAO_READONLY = 0x00040000,
    SFGAO_HIDDEN = 0x00080000,
    SFGAO_REMOVABLE = 0x02000000,
    SFGAO_FOLDER = 0x20000000,
    SFGAO_FILESYSTEM = 0x40000000,
    SFGAO_HASSUBFOLDER = 0x80000000,
};

// Pictures of the system image lists, the same index in the small and large list.
enum : int {
    SYSICON_DEVICE = 0,    // the root of the file system
    SYSICON_FOLDER = 1,
    SYSICON_FOLDER_OPEN = 2,
    SYSICON_STORAGE_CARD = 3,
    SYSICON_FILE = 4,
    SYSICON_PICTURE = 5,
    SYSICON_ALBUM = 6,     // albums and zip archives
    SYSICON_COUNT = 7,
};

// Describes a file or folder. `path` is a host path; with SHGFI_PIDL it is an
// item list, which on this platform is the path text itself (null: the root).
// With SHGFI_USEFILEATTRIBUTES the file is not looked at and `attributes`
// tells whether it is a folder. Returns the system image list (small with
// SHGFI_SMALLICON, else large) for SHGFI_SYSICONINDEX, else 1; 0 when the file
// does not exist. SHGFI_ICON is not offered (hIcon stays null).
DWORD_PTR SHGetFileInfo(const char* path, DWORD attributes, SHFILEINFO* info, UINT infoSize, UINT flags);
