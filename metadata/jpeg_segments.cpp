// Walking a JPEG header's marker segments.
#include "metadata/jpeg_segments.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace fotrix {

namespace {

constexpr size_t MaxFileBytes = size_t(512) << 20;

bool isTiff(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 8 && ((bytes[0] == 'I' && bytes[1] == 'I' && bytes[2] == 42 && bytes[3] == 0) ||
                                 (bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && bytes[3] == 42));
}

bool payloadStarts(const uint8_t* payload, size_t size, const char* prefix, size_t length)
{
    return size >= length && std::memcmp(payload, prefix, length) == 0;
}

}  // namespace

bool jpegListSegments(const uint8_t* data, size_t size, std::vector<JpegSegment>& segments)
{
    segments.clear();
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
    size_t pos = 2;
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF) return false;
        uint8_t marker = data[pos + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++pos;
            continue;
        }
        if (marker == 0xD8 || marker == 0xD9 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) return false;
        size_t length = size_t(data[pos + 2]) << 8 | data[pos + 3];
        if (length < 2 || pos + 2 + length > size) return false;
        segments.push_back({marker, pos, length + 2});
        if (marker == 0xDA) return true;
        pos += length + 2;
    }
    return false;
}

int readWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return 3;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return 4;
    long length = std::ftell(file.get());
    if (length < 0 || size_t(length) > MaxFileBytes) return 4;
    std::rewind(file.get());
    bytes.resize(size_t(length));
    if (length > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return 4;
    return 0;
}

int metadataReadFile(const std::string& path, MetadataBlock*& list)
{
    std::vector<uint8_t> bytes;
    int result = readWholeFile(path, bytes);
    if (result != 0) return result;
    if (isTiff(bytes)) {
        // A TIFF file is an EXIF block without the "Exif" prefix.
        if (bytes.size() > 0xFFFFFFF0u - 6) return 4;
        std::vector<uint8_t> block(6 + bytes.size());
        std::memcpy(block.data(), "Exif\0\0", 6);
        std::memcpy(block.data() + 6, bytes.data(), bytes.size());
        metadataAppend(list, MetaExif, block.data(), static_cast<uint32_t>(block.size()));
        return 0;
    }
    std::vector<JpegSegment> segments;
    jpegListSegments(bytes.data(), bytes.size(), segments);
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8) return 2;
    for (const JpegSegment& segment : segments) {
        const uint8_t* payload = bytes.data() + segment.start + 4;
        size_t size = segment.size - 4;
        if (segment.marker == 0xE1 && payloadStarts(payload, size, "Exif\0\0", 6))
            metadataAppend(list, MetaExif, payload, static_cast<uint32_t>(size));
        else if (segment.marker == 0xE1 && payloadStarts(payload, size, "http:", 5))
            metadataAppend(list, MetaXmp, payload, static_cast<uint32_t>(size));
        else if (segment.marker == 0xED && payloadStarts(payload, size, "Photoshop 3.0", 13))
            metadataAppend(list, MetaIptc, payload, static_cast<uint32_t>(size));
    }
    return 0;
}

}  // namespace fotrix
