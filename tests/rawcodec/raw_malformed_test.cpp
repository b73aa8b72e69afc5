// Damaged raw containers: offsets past the end, loops, absurd counts. Each
// must end with a clean refusal, never a crash, a hang or a wild read.
#include <gtest/gtest.h>

#include "imagelib/formats.h"
#include "rawcodec/rawcodec.h"
#include "tests/rawcodec/raw_builders.h"
#include "tests/support/test_support.h"

using namespace rawtest;

namespace {


// Loads through the raw row of the file's extension only: other readers
// would otherwise probe the bytes after the raw decoder refused them.
int loadBytes(const Bytes& bytes, const std::string& name, int* infoResult = nullptr)
{
    testsupport::TempDir dir;
    testsupport::writeFile(dir / name, bytes);
    fotrix::Bitmap bitmap;
    fotrix::FileInfo info;
    const int row = rowOf(name);
    const int result = loadRaw(dir / name, bitmap, info, -1, row);
    fotrix::bitmapFree(bitmap);
    if (infoResult) {
        fotrix::FileInfo described;
        *infoResult = infoRaw(dir / name, described, row);
        fotrix::freeFileInfo(described);
    }
    return result;
}

}  // namespace

TEST(RawMalformed, tiff_directories_that_loop_or_lie)
{
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        // IFD0 at 8 whose next directory is itself.
        {"chain loop", {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x00, 0x01, 4, 0, 1, 0, 0, 0, 16, 0, 0, 0, 8, 0, 0, 0}},
        // A sub-directory list pointing back at IFD0.
        {"sub-directory loop", {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x4A, 0x01, 4, 0, 1, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0}},
        // 65535 entries announced in a 26-byte file.
        {"absurd entry count", {'M', 'M', 0, 42, 0, 0, 0, 8, 0xFF, 0xFF, 1, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0, 16, 0, 0, 0, 0}},
        // JPEG offset far past the end.
        {"jpeg past the end", {'I', 'I', 42, 0, 8, 0, 0, 0, 2, 0, 0x01, 0x02, 4, 0, 1, 0, 0, 0, 0, 0xFF, 0xFF, 0x7F,
                               0x02, 0x02, 4, 0, 1, 0, 0, 0, 0, 0x10, 0, 0, 0, 0, 0, 0}},
        // Offset plus length wraps around 32 bits.
        {"jpeg length wraps", {'I', 'I', 42, 0, 8, 0, 0, 0, 2, 0, 0x01, 0x02, 4, 0, 1, 0, 0, 0, 0x30, 0, 0, 0,
                               0x02, 0x02, 4, 0, 1, 0, 0, 0, 0xF0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}},
        // Strip values stored out of line beyond the end, a count that overflows with its type size.
        {"values past the end", {'I', 'I', 42, 0, 8, 0, 0, 0, 2, 0, 0x11, 0x01, 4, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0x10,
                                 0x4A, 0x01, 12, 0, 0xFF, 0xFF, 0xFF, 0xFF, 20, 0, 0, 0, 0, 0, 0, 0}},
        // First directory beyond the end of the file.
        {"ifd0 past the end", {'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0xFF, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int info = -1;
        EXPECT_EQ(loadBytes(c.bytes, "bad.nef", &info), fotrix::LoadUnknownFormat);
        EXPECT_NE(info, 0);
    }
}

TEST(RawMalformed, other_containers_with_lying_offsets)
{
    auto withHeader = [](std::initializer_list<uint8_t> head, size_t size, std::initializer_list<std::pair<size_t, uint8_t>> pokes) {
        Bytes b(head);
        b.resize(std::max(size, b.size()), 0);
        for (const auto& [at, v] : pokes) b[at] = v;
        return b;
    };
    const struct {
        const char* what;
        const char* name;
        Bytes bytes;
    } cases[] = {
        // CIFF heap whose table offset lies beyond the heap.
        {"crw table past the end", "a.crw", withHeader({'I', 'I', 26, 0, 0, 0, 'H', 'E', 'A', 'P', 'C', 'C', 'D', 'R'}, 64,
                                                       {{60, 0xFF}, {61, 0xFF}, {62, 0}, {63, 0}})},
        // CIFF heap holding a sub-heap that is the heap itself (record 0x300A at offset 0, size = heap).
        {"crw heap loop", "b.crw", withHeader({'I', 'I', 26, 0, 0, 0, 'H', 'E', 'A', 'P', 'C', 'C', 'D', 'R'}, 64,
                                              {{26, 1}, {28, 0x0A}, {29, 0x30}, {30, 38}, {34, 0}, {60, 0}, {61, 0}})},
        // CIFF header length past the end.
        {"crw header too long", "c.crw", withHeader({'I', 'I', 0xFF, 0xFF, 0, 0, 'H', 'E', 'A', 'P', 'C', 'C', 'D', 'R'}, 32, {})},
        // RAF pointers beyond the end and a record table claiming huge records.
        {"raf offsets past the end", "d.raf", withHeader({'F', 'U', 'J', 'I', 'F', 'I', 'L', 'M', 'C', 'C', 'D', '-', 'R', 'A', 'W', ' '}, 128,
                                                         {{84, 0x7F}, {88, 0x7F}, {92, 0}, {95, 104}, {99, 24}, {104, 0xFF}, {105, 0xFF}, {106, 0xFF}, {107, 0xFF},
                                                          {108, 1}, {110, 0xFF}, {111, 0xFF}})},
        // MRW with a block longer than the file and a TTW block with a broken TIFF.
        {"mrw block too long", "e.mrw", withHeader({0, 'M', 'R', 'M', 0, 0, 0, 40, 0, 'T', 'T', 'W', 0, 0, 0, 12, 'M', 'M', 0, 42, 0xFF, 0, 0, 0, 0, 'P', 'R', 'D', 0x7F, 0xFF, 0xFF, 0xFF}, 48, {})},
        // X3F directory offset beyond the end; then a directory with a huge count of sections past the end.
        {"x3f directory past the end", "f.x3f", withHeader({'F', 'O', 'V', 'b'}, 64, {{28, 10}, {32, 10}, {60, 0xFF}, {61, 0xFF}})},
        {"x3f sections past the end", "g.x3f", withHeader({'F', 'O', 'V', 'b', 0, 0, 2, 0}, 80,
                                                          {{28, 10}, {32, 10}, {40, 'S'}, {41, 'E'}, {42, 'C'}, {43, 'd'}, {48, 0xFF}, {49, 0xFF}, {50, 0xFF}, {51, 0xFF},
                                                           {52, 0xF0}, {53, 0xFF}, {54, 0xFF}, {55, 0xFF}, {56, 0xFF}, {60, 'I'}, {61, 'M'}, {62, 'A'}, {63, 'G'}, {76, 40}})},
        // Nothing but the magic.
        {"truncated tiff", "h.orf", {'I', 'I', 'R', 'O'}},
        {"truncated crw", "i.crw", {'I', 'I', 26, 0, 0, 0, 'H', 'E', 'A', 'P'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(loadBytes(c.bytes, c.name), fotrix::LoadUnknownFormat);
    }
}

TEST(RawMalformed, cut_preview_stream_fares_as_the_same_jpeg_file)
{
    testsupport::TempDir dir;
    Bytes jpeg = makeJpeg(dir, 96, 64);
    if (jpeg.empty()) SKIP_MISSING("ImageMagick is not available");
    // The header of the JPEG stays whole, its coded data is cut short; the
    // container says the stream is that short.
    jpeg.resize(jpeg.size() / 2);
    testsupport::writeFile(dir / "cut.jpg", jpeg);
    Writer w;
    const size_t first = writeTiffHeader(w, 42);
    const uint32_t at = static_cast<uint32_t>(w.putBytes(jpeg));
    const uint32_t ifd0 = static_cast<uint32_t>(writeIfd(w, {{0x0201, 4, 1, at}, {0x0202, 4, 1, static_cast<uint32_t>(jpeg.size())}}));
    w.set32(first, ifd0);
    w.bytes.resize(w.bytes.size() + 4096, 0xEE);  // the stream must not run on into what follows
    testsupport::writeFile(dir / "cut.pef", w.bytes);
    fotrix::Bitmap fromRaw;
    fotrix::FileInfo info;
    const int rawResult = loadRaw(dir / "cut.pef", fromRaw, info);
    testsupport::Pixels alone;
    const bool aloneOk = decodePreviewJpeg(dir / "cut.jpg", alone);
    ASSERT_EQ(rawResult == 0, aloneOk);
    if (aloneOk) {
        EXPECT_EQ(testsupport::maxDifference(pixelsOf(fromRaw), alone), 0);
    }
    fotrix::bitmapFree(fromRaw);
}

TEST(RawMalformed, the_decoder_opens_the_file_itself)
{
    testsupport::TempDir dir;
    // The stream's name is all the decoder goes by.
    fotrix::Stream stream;
    stream.name = (dir / "missing.crw").string();
    fotrix::ReaderContext context;
    EXPECT_EQ(fotrix::readCameraRaw(stream, context), fotrix::LoadCannotOpen);
}
