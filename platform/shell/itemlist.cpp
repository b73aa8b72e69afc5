#include "platform/shell/itemlist.h"

#include "platform/files/files.h"

#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <string>

namespace {

// The process's one allocator object; AddRef and Release only count.
class ShellAllocator final : public IMalloc {
public:
    void* Alloc(size_t size) override { return std::malloc(size ? size : 1); }
    void* Realloc(void* block, size_t size) override { return std::realloc(block, size ? size : 1); }
    void Free(void* block) override { std::free(block); }
    size_t GetSize(void* block) override { return block ? malloc_usable_size(block) : 0; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
};

ShellAllocator allocator;

// One item holding the path and its terminating zero, then the list's end.
LPITEMIDLIST makeList(const std::string& path)
{
    size_t item = sizeof(WORD) + path.size() + 1;
    if (item > 0xFFFF) return nullptr;
    auto* bytes = static_cast<BYTE*>(allocator.Alloc(item + sizeof(WORD)));
    if (!bytes) return nullptr;
    WORD cb = static_cast<WORD>(item), end = 0;
    std::memcpy(bytes, &cb, sizeof cb);
    std::memcpy(bytes + sizeof(WORD), path.c_str(), path.size() + 1);
    std::memcpy(bytes + item, &end, sizeof end);
    return reinterpret_cast<LPITEMIDLIST>(bytes);
}

}  // namespace

HRESULT SHGetMalloc(IMalloc** out)
{
    if (!out) return E_INVALIDARG;
    *out = &allocator;
    return S_OK;
}

HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* out)
{
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    std::string path = "/";
    if (folder != CSIDL_DESKTOP) {
        char buffer[MAX_PATH];
        if (!SHGetSpecialFolderPath(owner, buffer, folder, FALSE)) return E_INVALIDARG;
        path = buffer;
        if (path.size() > 1 && path.back() == '/') path.pop_back();
    }
    *out = makeList(path);
    return *out ? S_OK : E_OUTOFMEMORY;
}

BOOL SHGetPathFromIDList(LPCITEMIDLIST list, char* path)
{
    if (!list || !path) return FALSE;
    path[0] = 0;
    const auto* bytes = reinterpret_cast<const BYTE*>(list);
    WORD cb;
    std::memcpy(&cb, bytes, sizeof cb);
    // The item must hold a zero-terminated path that fits the caller's MAX_PATH bytes.
    if (cb <= sizeof(WORD) + 1) return FALSE;
    const char* text = reinterpret_cast<const char*>(bytes + sizeof(WORD));
    size_t length = cb - sizeof(WORD) - 1;
    if (text[length] != 0 || std::strlen(text) != length || length + 1 > MAX_PATH || text[0] != '/') return FALSE;
    std::memcpy(path, text, length + 1);
    return TRUE;
}
