// Reading and writing the cache's PNG files with libpng, in memory: a cached
// file is read whole (it is small, and a hostile one is refused by size
// before libpng sees it) and written whole through AtomicReplace.
#include <png.h>
#include <sys/stat.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "fileio/atomic_replace.h"
#include "thumbs/thumbnail_cache.h"

namespace fotrix {

namespace {

constexpr size_t kLargestCacheFile = 4 << 20;  // a 256x256 RGBA PNG stored without compression is 257 KiB

using Texts = std::map<std::string, std::string>;

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    uint8_t buffer[65536];
    size_t got;
    bool tooLarge = false;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (bytes.size() + got > kLargestCacheFile) {
            tooLarge = true;
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !tooLarge && !failed && !bytes.empty();
}

struct MemoryInput {
    const std::vector<uint8_t>* bytes;
    size_t offset = 0;
};

void readFromMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (length > input->bytes->size() - input->offset) png_error(png, "truncated");
    std::memcpy(data, input->bytes->data() + input->offset, length);
    input->offset += length;
}

void collectTexts(png_structp png, png_infop info, Texts& texts)
{
    png_textp entries = nullptr;
    int count = 0;
    if (!info || png_get_text(png, info, &entries, &count) <= 0) return;
    for (int i = 0; i < count; ++i)
        if (entries[i].key && entries[i].text) texts[entries[i].key] = entries[i].text;
}

// What libpng hands back between the setjmp and the end of a decode.
struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // 4 bytes a pixel
    std::vector<png_bytep> rows;
    Texts texts;
};

// Decodes to 8-bit RGBA; every text chunk before and after the pixels is collected.
bool decodePng(const std::vector<uint8_t>& bytes, int largestSide, Decoded& out)
{
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    png_infop endInfo = png_create_info_struct(png);
    MemoryInput input{&bytes};
    if (!info || !endInfo || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, &endInfo);
        return false;
    }
    png_set_read_fn(png, &input, readFromMemory);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    if (w == 0 || h == 0 || w > png_uint_32(largestSide) || h > png_uint_32(largestSide)) png_error(png, "size");
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.width = int(w);
    out.height = int(h);
    out.rgba.assign(size_t(w) * h * 4, 0);
    out.rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y) out.rows[y] = out.rgba.data() + size_t(y) * w * 4;
    png_read_image(png, out.rows.data());
    png_read_end(png, endInfo);
    collectTexts(png, info, out.texts);
    collectTexts(png, endInfo, out.texts);
    png_destroy_read_struct(&png, &info, &endInfo);
    return true;
}

int textNumber(const Texts& texts, const char* key)
{
    auto found = texts.find(key);
    return found == texts.end() ? 0 : std::atoi(found->second.c_str());
}

void readFacts(const Texts& texts, ThumbnailFacts& facts)
{
    facts.imageWidth = textNumber(texts, "Thumb::Image::Width");
    facts.imageHeight = textNumber(texts, "Thumb::Image::Height");
    facts.planes = textNumber(texts, "X-Fotrix::Planes");
    facts.bitsPerPlane = textNumber(texts, "X-Fotrix::BitsPerPlane");
    auto format = texts.find("X-Fotrix::Format");
    auto description = texts.find("X-Fotrix::Description");
    if (format != texts.end()) facts.format = format->second;
    if (description != texts.end()) facts.description = description->second;
    facts.complete = facts.imageWidth > 0 && facts.imageHeight > 0 && facts.planes > 0 && facts.bitsPerPlane > 0 &&
                     !facts.format.empty() && description != texts.end();
}

// Transparent parts of a foreign thumbnail are shown over white.
bool rgbaOverWhite(const Decoded& decoded, Bitmap& picture)
{
    if (!bitmapAllocate(picture, Rgb, 1, decoded.width, decoded.height)) return false;
    for (int y = 0; y < decoded.height; ++y) {
        const uint8_t* in = decoded.rgba.data() + size_t(y) * size_t(decoded.width) * 4;
        uint8_t* out = bitmapRow(picture, y);
        for (int x = 0; x < decoded.width; ++x, in += 4, out += 3)
            for (int c = 0; c < 3; ++c) out[c] = uint8_t((in[c] * in[3] + 255 * (255 - in[3]) + 127) / 255);
    }
    return true;
}

void appendToMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// Only plain values live in the frame that libpng may jump back into.
bool encodeWithTexts(const Bitmap& picture, png_text* entries, int count, std::vector<uint8_t>& out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, appendToMemory, flushNothing);
    png_set_compression_level(png, 3);  // a cache: quick to write matters more than a few bytes
    png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_text(png, info, entries, count);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y) png_write_row(png, bitmapRow(picture, y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool encodePng(const Bitmap& picture, const Texts& texts, std::vector<uint8_t>& out)
{
    std::vector<png_text> entries(texts.size());
    size_t i = 0;
    for (const auto& [key, text] : texts) {
        entries[i].compression = PNG_TEXT_COMPRESSION_NONE;
        entries[i].key = const_cast<char*>(key.c_str());
        entries[i].text = const_cast<char*>(text.c_str());
        ++i;
    }
    return encodeWithTexts(picture, entries.data(), int(entries.size()), out);
}

// Makes the folder (and the missing ones above it) readable by the user alone.
bool makePrivateFolder(const std::string& folder)
{
    struct stat info {};
    if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makePrivateFolder(folder.substr(0, slash))) return false;
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// Text values are Latin-1 in a tEXt chunk; a description from a reader is
// plain ASCII, anything else is left out rather than written wrongly.
bool plainText(const std::string& text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

}  // namespace

bool readCachedThumbnail(const std::string& cacheFile, const ThumbnailKey& key, int cacheSize, Bitmap& picture,
                         ThumbnailFacts* facts)
{
    std::vector<uint8_t> bytes;
    if (!readWholeFile(cacheFile, bytes)) return false;
    Decoded decoded;
    if (!decodePng(bytes, cacheSize, decoded)) return false;
    auto uri = decoded.texts.find("Thumb::URI");
    auto mtime = decoded.texts.find("Thumb::MTime");
    if (uri == decoded.texts.end() || uri->second != key.uri) return false;
    if (mtime == decoded.texts.end() || mtime->second != std::to_string(key.mtime)) return false;
    // The time has whole seconds only; a file rewritten within one second
    // usually changes its size, which the cache may keep too.
    auto size = decoded.texts.find("Thumb::Size");
    if (size != decoded.texts.end() && size->second != std::to_string(key.size)) return false;
    if (!rgbaOverWhite(decoded, picture)) return false;
    if (facts) readFacts(decoded.texts, *facts);
    return true;
}

bool writeCachedThumbnail(const std::string& root, int cacheSize, const ThumbnailKey& key, const Bitmap& picture,
                          const ThumbnailFacts& facts)
{
    if (root.empty() || picture.type != Rgb || picture.width <= 0 || picture.height <= 0) return false;
    // Thumbnails of the cache's own files would feed on themselves.
    if (key.path.compare(0, root.size() + 1, root + "/") == 0) return false;
    // A file written in the current second may still change within it
    // without changing its time, so its thumbnail is not kept yet.
    if (key.mtime >= static_cast<int64_t>(std::time(nullptr)) - 1) return false;
    Texts texts = {
        {"Thumb::URI", key.uri},
        {"Thumb::MTime", std::to_string(key.mtime)},
        {"Thumb::Size", std::to_string(key.size)},
        {"Thumb::Image::Width", std::to_string(facts.imageWidth)},
        {"Thumb::Image::Height", std::to_string(facts.imageHeight)},
        {"Software", "Fotrix Pocket"},
        {"X-Fotrix::Planes", std::to_string(facts.planes)},
        {"X-Fotrix::BitsPerPlane", std::to_string(facts.bitsPerPlane)},
        {"X-Fotrix::Format", facts.format},
    };
    if (plainText(facts.description)) texts["X-Fotrix::Description"] = facts.description;
    std::vector<uint8_t> bytes;
    if (!encodePng(picture, texts, bytes)) return false;
    const std::string file = thumbnailCacheFile(root, cacheSize, key.uri);
    if (!makePrivateFolder(file.substr(0, file.find_last_of('/')))) return false;
    ReplaceOptions options;
    options.mode = 0600;
    options.useMode = true;
    options.followLinks = false;
    return replaceFileContents(file, bytes.data(), bytes.size(), options) == ReplaceStatus::Ok;
}

}  // namespace fotrix
