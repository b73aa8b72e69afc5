// Walking a JPEG header's marker segments.
#include "metadata/jpeg_segments.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "imagelib/jpeg_markers.h"

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
    const ByteSource source = ByteSource::memory({data, size});
    if (size < 4 || !jpegStartsImage(source)) return false;
    JpegMarkerWalk walk(source);
    JpegMarkerSegment segment;
    while (walk.next(segment)) {
        segments.push_back({segment.marker, static_cast<size_t>(segment.start), size_t(segment.length) + 2});
        if (segment.marker == JpegStartOfScan) return true;
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
