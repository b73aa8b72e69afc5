#pragma once
// The marker segments of a JPEG file's header, up to the start of scan: for
// inserting an IPTC segment and for reading metadata without decoding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imagelib/bitmap.h"

namespace fotrix {

struct JpegSegment {
    uint8_t marker = 0;  // the code after 0xFF
    size_t start = 0;    // offset of the 0xFF
    size_t size = 0;     // bytes of the whole segment: marker, length field, payload
};

// Lists the segments after the SOI marker up to and including the start of
// scan. Returns false when the data does not begin with SOI or a segment's
// length runs past the end (the segments before it are listed).
bool jpegListSegments(const uint8_t* data, size_t size, std::vector<JpegSegment>& segments);

// Reads a whole file (at most 512 MiB). Result 0, 3 cannot open, 4 read error.
int readWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

// Collects the EXIF (APP1 "Exif"), XMP (APP1 "http:") and IPTC (APP13
// "Photoshop 3.0") payloads of a JPEG file as a metadata list; a TIFF file
// becomes one EXIF block. Result 0, 2 neither JPEG nor TIFF, 3 or 4.
int metadataReadFile(const std::string& path, MetadataBlock*& list);

}  // namespace fotrix
