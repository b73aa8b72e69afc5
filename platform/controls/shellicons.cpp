// The registry of live image lists, the system's shared lists of folder and
// file icons (flat art painted at the screen's icon sizes), and SHGetFileInfo.
#include "platform/controls/imagelist_internal.h"

#include "platform/files/files.h"
#include "platform/gdi/gdi.h"
#include "platform/screen/metrics.h"
#include "platform/window/window.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace {

std::mutex& listsLock()
{
    static std::mutex lock;
    return lock;
}

std::set<const ImageListRec*>& liveLists()
{
    static std::set<const ImageListRec*> lists;
    return lists;
}

}  // namespace

HIMAGELIST imageListRegister(std::unique_ptr<ImageListRec> list)
{
    std::lock_guard<std::mutex> guard(listsLock());
    HIMAGELIST h = list.release();
    liveLists().insert(h);
    return h;
}

void imageListUnregister(HIMAGELIST list)
{
    {
        std::lock_guard<std::mutex> guard(listsLock());
        if (!liveLists().erase(list)) return;
    }
    delete list;
}

bool imageListAlive(const ImageListRec* list)
{
    std::lock_guard<std::mutex> guard(listsLock());
    return liveLists().count(list) != 0;
}

namespace {

// ---- Icon art: shapes on a 16 x 16 grid, scaled to the icon size ----

class Canvas {
public:
    Canvas(ImagePicture* p, int size) : p_(p), size_(size)
    {
        p_->pixels.assign(static_cast<size_t>(size) * size, 0);
        p_->transparent.assign(p_->pixels.size(), 1);
    }
    // Fills grid cells [x0, x1) x [y0, y1).
    void fill(int x0, int y0, int x1, int y1, uint32_t rgb)
    {
        for (int y = at(y0); y < at(y1); ++y)
            for (int x = at(x0); x < at(x1); ++x) put(x, y, rgb);
    }
    // A one-pixel outline round grid cells [x0, x1) x [y0, y1).
    void frame(int x0, int y0, int x1, int y1, uint32_t rgb)
    {
        int l = at(x0), t = at(y0), r = at(x1) - 1, b = at(y1) - 1;
        for (int x = l; x <= r; ++x) {
            put(x, t, rgb);
            put(x, b, rgb);
        }
        for (int y = t; y <= b; ++y) {
            put(l, y, rgb);
            put(r, y, rgb);
        }
    }
    void box(int x0, int y0, int x1, int y1, uint32_t inside, uint32_t outline)
    {
        fill(x0, y0, x1, y1, inside);
        frame(x0, y0, x1, y1, outline);
    }
    // Makes the triangle above the diagonal of the top-right corner of grid
    // cells [x0, x1) x [y0, y1) transparent (the cut corner of a card).
    void cutCorner(int x0, int y0, int x1, int y1)
    {
        int l = at(x0), t = at(y0), r = at(x1), b = at(y1);
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                if ((x - l) * (b - t) > (y - t) * (r - l)) clear(x, y);
    }

private:
    int at(int grid) const { return grid * size_ / 16; }
    void put(int x, int y, uint32_t rgb)
    {
        if (x < 0 || y < 0 || x >= size_ || y >= size_) return;
        size_t i = static_cast<size_t>(y) * size_ + x;
        p_->pixels[i] = rgb;
        p_->transparent[i] = 0;
    }
    void clear(int x, int y)
    {
        if (x < 0 || y < 0 || x >= size_ || y >= size_) return;
        size_t i = static_cast<size_t>(y) * size_ + x;
        p_->pixels[i] = 0;
        p_->transparent[i] = 1;
    }
    ImagePicture* p_;
    int size_;
};

constexpr uint32_t kOutline = 0x606060;
constexpr uint32_t kFolderTab = 0xE0B030;
constexpr uint32_t kFolderBody = 0xF8D050;
constexpr uint32_t kFolderEdge = 0xA07818;

void paintDevice(Canvas& c)
{
    c.box(3, 1, 13, 15, 0x404048, 0x202020);
    c.box(4, 3, 12, 11, 0xA8D8F8, 0x202020);
    c.fill(7, 12, 9, 14, 0xA0A0A0);
}

void paintFolder(Canvas& c)
{
    c.box(1, 3, 7, 6, kFolderTab, kFolderEdge);
    c.box(1, 5, 15, 14, kFolderBody, kFolderEdge);
}

void paintFolderOpen(Canvas& c)
{
    c.box(1, 3, 7, 6, kFolderTab, kFolderEdge);
    c.box(1, 5, 13, 14, kFolderTab, kFolderEdge);
    c.box(3, 8, 15, 14, 0xFBE488, kFolderEdge);
}

void paintStorageCard(Canvas& c)
{
    c.box(3, 1, 13, 15, 0x304878, 0x182440);
    for (int x = 4; x < 11; x += 2) c.fill(x, 2, x + 1, 5, 0xE8C040);
    c.fill(4, 8, 12, 14, 0xF0F0F0);
    c.cutCorner(10, 1, 13, 4);
}

void paintPage(Canvas& c)
{
    c.box(3, 1, 13, 15, 0xFFFFFF, kOutline);
    c.box(10, 1, 13, 4, 0xD8D8D8, kOutline);
}

void paintPicture(Canvas& c)
{
    paintPage(c);
    c.fill(4, 5, 12, 14, 0x88C8F0);   // sky
    c.fill(9, 6, 11, 8, 0xF8D830);    // sun
    c.fill(4, 10, 12, 14, 0x40A040);  // land
    c.fill(6, 9, 9, 10, 0x40A040);    // hill
}

void paintAlbum(Canvas& c)
{
    c.box(2, 3, 14, 14, 0xC88848, 0x704020);
    for (int y = 3; y < 14; ++y) c.fill(7, y, 9, y + 1, (y % 2) ? 0xE8E8E8 : 0x707070);
}

using Painter = void (*)(Canvas&);
// Indexed by the SYSICON_ numbers.
constexpr Painter kPainters[SYSICON_COUNT] = {
    paintDevice, paintFolder, paintFolderOpen, paintStorageCard, paintPage, paintPicture, paintAlbum,
};

struct SystemLists {
    ImageListRec* small = nullptr;
    ImageListRec* large = nullptr;
};

void paintInto(ImageListRec* list, int size)
{
    list->cx = list->cy = size;
    list->pictures.assign(SYSICON_COUNT, ImagePicture{});
    for (int i = 0; i < SYSICON_COUNT; ++i) {
        Canvas canvas(&list->pictures[static_cast<size_t>(i)], size);
        kPainters[i](canvas);
    }
}

// The two lists live as long as the process; their art is painted again when
// the screen's icon sizes differ from those it was painted at.
HIMAGELIST systemList(bool small)
{
    static std::mutex lock;
    static SystemLists lists;
    std::lock_guard<std::mutex> guard(lock);
    ImageListRec*& list = small ? lists.small : lists.large;
    if (!list) {
        auto made = std::make_unique<ImageListRec>();
        made->flags = ILC_MASK | ILC_COLOR32;
        made->system = true;
        list = imageListRegister(std::move(made));
    }
    int size = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    if (size <= 0) size = small ? 16 : 32;
    if (list->cx != size || list->pictures.size() != SYSICON_COUNT) paintInto(list, size);
    return list;
}

// ---- What a path is ----

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool isStorageCard(const std::string& path)
{
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFlashCard(&data);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    do {
        if (withoutTrailingSlash(data.cFileName) == path) found = true;
    } while (!found && FindNextFlashCard(find, &data));
    FindClose(find);
    return found;
}

std::string lowerExtension(const std::string& name)
{
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return "";
    std::string ext = name.substr(dot + 1);
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return ext;
}

bool isPictureExtension(const std::string& ext)
{
    static const char* const kPictures[] = {
        "bmp", "tif", "tiff", "ico", "jpg", "jpe", "jpeg", "jif", "png", "tga", "gif", "2bp", "pcx", "psd", "pbm",
        "pgm", "ppm", "pnm", "crw", "cr2", "nef", "raf", "mrw", "orf", "pef", "sr2", "srf", "x3f", "dcr", "dng",
    };
    return std::any_of(std::begin(kPictures), std::end(kPictures), [&](const char* p) { return ext == p; });
}

bool hasSubfolder(const std::string& folder)
{
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile((folder == "/" ? folder + "*" : folder + "/*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) found = true;
    } while (!found && FindNextFile(find, &data));
    FindClose(find);
    return found;
}

struct Described {
    int icon = SYSICON_FILE;
    std::string displayName;
    std::string typeName;
    DWORD sfgao = SFGAO_FILESYSTEM;
};

Described describe(const std::string& path, DWORD attributes, bool lookAtDisk, UINT flags)
{
    Described d;
    bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    bool root = path == "/";
    bool card = folder && !root && isStorageCard(path);
    std::string ext = folder ? "" : lowerExtension(path);
    if (root) d.icon = SYSICON_DEVICE;
    else if (card) d.icon = SYSICON_STORAGE_CARD;
    else if (folder) d.icon = (flags & SHGFI_OPENICON) ? SYSICON_FOLDER_OPEN : SYSICON_FOLDER;
    else if (isPictureExtension(ext)) d.icon = SYSICON_PICTURE;
    else if (ext == "alb" || ext == "zip") d.icon = SYSICON_ALBUM;

    d.displayName = root ? "My Device" : path.substr(path.rfind('/') + 1);
    if (root) d.typeName = "Device";
    else if (card) d.typeName = "Storage Card";
    else if (folder) d.typeName = "Folder";
    else if (ext.empty()) d.typeName = "File";
    else {
        for (char& ch : ext) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        d.typeName = ext + " File";
    }

    if (folder) d.sfgao |= SFGAO_FOLDER;
    if (card) d.sfgao |= SFGAO_REMOVABLE;
    if (attributes & FILE_ATTRIBUTE_READONLY) d.sfgao |= SFGAO_READONLY;
    if (attributes & FILE_ATTRIBUTE_HIDDEN) d.sfgao |= SFGAO_HIDDEN;
    if (folder && lookAtDisk && (flags & SHGFI_ATTRIBUTES) && hasSubfolder(path)) d.sfgao |= SFGAO_HASSUBFOLDER;
    return d;
}

void copyText(char* out, size_t capacity, const std::string& text)
{
    size_t n = std::min(text.size(), capacity - 1);
    // Cut at a character boundary: never leave half a UTF-8 sequence.
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

}  // namespace

DWORD_PTR SHGetFileInfo(const char* path, DWORD attributes, SHFILEINFO* info, UINT infoSize, UINT flags)
{
    if (info && infoSize < sizeof(SHFILEINFO)) return 0;
    if (!path && !(flags & SHGFI_PIDL)) return 0;
    std::string where = withoutTrailingSlash(path && *path ? path : "/");
    bool lookAtDisk = !(flags & SHGFI_USEFILEATTRIBUTES);
    if (lookAtDisk) {
        attributes = GetFileAttributes(where.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    }
    Described d = describe(where, attributes, lookAtDisk, flags);
    if (info) {
        info->hIcon = nullptr;
        if (flags & SHGFI_SYSICONINDEX) info->iIcon = d.icon;
        if (flags & SHGFI_DISPLAYNAME) copyText(info->szDisplayName, sizeof info->szDisplayName, d.displayName);
        if (flags & SHGFI_TYPENAME) copyText(info->szTypeName, sizeof info->szTypeName, d.typeName);
        if (flags & SHGFI_ATTRIBUTES) info->dwAttributes = d.sfgao;
    }
    if (flags & SHGFI_SYSICONINDEX) return reinterpret_cast<DWORD_PTR>(systemList(flags & SHGFI_SMALLICON));
    return 1;
}
