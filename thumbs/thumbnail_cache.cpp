// Where the cache lives and how a picture is named in it.
#include "thumbs/thumbnail_cache.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "thumbs/md5.h"

namespace fotrix {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool keptInUri(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    for (const char* p = "-._~!$&'()*+,=:@/"; *p; ++p)
        if (c == static_cast<unsigned char>(*p)) return true;
    return false;
}

}  // namespace

std::string thumbnailCacheRoot()
{
    // An empty variable counts as unset, as for the desktop's own programs.
    if (std::string dir = environment("FOTRIX_CONFIG_DIR"); !dir.empty()) return dir + "/thumbnails";
    if (std::string dir = environment("XDG_CACHE_HOME"); !dir.empty()) return dir + "/thumbnails";
    if (std::string home = environment("HOME"); !home.empty()) return home + "/.cache/thumbnails";
    return {};
}

std::string fileUriOf(const std::string& absolutePath)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : absolutePath) {
        if (keptInUri(c)) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

int thumbnailCacheSizeFor(int cellWidth, int cellHeight)
{
    if (cellWidth <= 128 && cellHeight <= 128) return 128;
    if (cellWidth <= 256 && cellHeight <= 256) return 256;
    return 0;
}

std::string thumbnailCacheFile(const std::string& root, int cacheSize, const std::string& uri)
{
    return root + (cacheSize == 256 ? "/large/" : "/normal/") + md5Hex(uri) + ".png";
}

bool thumbnailKeyOf(const std::string& path, ThumbnailKey& key)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
    if (error) return false;
    struct stat info {};
    if (stat(absolute.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    key.path = absolute.string();
    key.uri = fileUriOf(key.path);
    key.mtime = static_cast<int64_t>(info.st_mtime);
    key.size = static_cast<int64_t>(info.st_size);
    return true;
}

}  // namespace fotrix
