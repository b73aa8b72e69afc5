#pragma once
// Special folders as shell item lists, and the shell's allocator that frees
// them. An item list here holds one item: the folder's path.
#include "platform/base/types.h"

struct SHITEMID {
    WORD cb;        // size of this item, cb included
    BYTE abID[1];
};
struct ITEMIDLIST {
    SHITEMID mkid;  // items follow one another; a cb of 0 ends the list
};
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;

// The shell allocator: item lists the shell hands out are freed with its Free.
struct IMalloc {
    virtual void* Alloc(size_t size) = 0;
    virtual void* Realloc(void* block, size_t size) = 0;
    virtual void Free(void* block) = 0;
    virtual size_t GetSize(void* block) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IMalloc() = default;
};
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
// The desktop stands for the root of the file system, the tree's top.
enum : int { CSIDL_DESKTOP = 0x0000 };

HRESULT SHGetMalloc(IMalloc** out);
// The item list of a special folder (CSIDL_DESKTOP, CSIDL_PERSONAL, CSIDL_MYPICTURES),
// allocated with the shell allocator. E_INVALIDARG for other folders.
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* out);
// Copies the item list's path into `path` (MAX_PATH bytes), without a trailing
// "/" (the root stays "/"). FALSE for a list that is not a path or too long.
BOOL SHGetPathFromIDList(LPCITEMIDLIST list, char* path);
