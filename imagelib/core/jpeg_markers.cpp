// Walking a JPEG stream's marker segments up to the start of scan.
#include "imagelib/jpeg_markers.h"

#include "imagelib/bytes.h"

namespace fotrix {

namespace {

// Markers without a length: restarts, start and end of image, TEM.
bool isStandalone(uint8_t marker)
{
    return marker == JpegStartOfImage || marker == JpegEndOfImage || (marker >= 0xD0 && marker <= 0xD7) ||
           marker == 0x01;
}

}  // namespace

bool jpegStartsImage(const ByteSource& source)
{
    uint8_t soi[2];
    return source.readAt(0, soi, 2) && soi[0] == 0xFF && soi[1] == JpegStartOfImage;
}

bool JpegMarkerWalk::next(JpegMarkerSegment& segment)
{
    while (!done_ && segments_ < JpegMaxSegments) {
        uint8_t head[4];
        if (!source_.readAt(pos_, head, 4) || head[0] != 0xFF) break;
        if (head[1] == 0xFF) {  // a fill byte before the marker
            ++pos_;
            continue;
        }
        if (isStandalone(head[1])) break;
        const uint16_t length = ByteReader(head, true).u16At(2);
        if (length < 2 || !source_.contains(pos_ + 2, length)) break;
        segment = {head[1], pos_, length};
        ++segments_;
        pos_ = segment.end();
        done_ = head[1] == JpegStartOfScan;
        return true;
    }
    done_ = true;
    return false;
}

}  // namespace fotrix
