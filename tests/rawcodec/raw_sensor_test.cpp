// Sensor data through LibRaw on DNG files built here byte by byte (an
// uncompressed colour-filter picture of a known scene), whole and cut short.
// A cut file must be refused, not turned into a picture of what is missing.
#include <gtest/gtest.h>

#include "imagelib/formats.h"
#include "tests/rawcodec/raw_builders.h"
#include "tests/support/test_support.h"

#if FOTRIX_HAVE_LIBRAW

namespace fs = std::filesystem;
using namespace rawtest;

namespace {

constexpr uint16_t Byte = 1, Ascii = 2, Short = 3, Long = 4, SRational = 10;
constexpr int Width = 512, Height = 384;

// A 16-bit RGGB mosaic whose left half is lit (3000 of 4095) and right half
// dark (300), as a DNG with one strip and no preview. `keptData` cuts the
// strip's bytes (the file ends there).
Bytes makeDng(size_t keptData = SIZE_MAX)
{
    Writer w;
    const size_t first = writeTiffHeader(w, 42);
    const uint32_t model = static_cast<uint32_t>(w.putText("Fotrix test\0", 12));
    w.align();
    // Identity colour matrix: camera RGB is XYZ-like enough for a grey scene.
    const uint32_t matrix = static_cast<uint32_t>(w.bytes.size());
    for (int i = 0; i < 9; ++i) {
        w.put32(i % 4 == 0 ? 1 : 0);
        w.put32(1);
    }
    const uint32_t stripBytes = Width * Height * 2;
    const uint32_t ifd = static_cast<uint32_t>(writeIfd(w, {
        {0x00FE, Long, 1, 0},                   // full picture
        {0x0100, Long, 1, Width},
        {0x0101, Long, 1, Height},
        {0x0102, Short, 1, 16},
        {0x0103, Short, 1, 1},                  // uncompressed
        {0x0106, Short, 1, 32803},              // colour filter array
        {0x0111, Long, 1, 0},                   // strip offset, set below
        {0x0115, Short, 1, 1},
        {0x0116, Long, 1, Height},
        {0x0117, Long, 1, stripBytes},
        {0x011C, Short, 1, 1},
        {0x828D, Short, 2, 2 | 2 << 16},        // 2 x 2 pattern
        {0x828E, Byte, 4, 0x02010100},          // R G G B
        {0xC612, Byte, 4, 0x00000401},          // DNG 1.4
        {0xC614, Ascii, 12, model},
        {0xC61D, Long, 1, 4095},                // white level
        {0xC621, SRational, 9, matrix},
        {0xC65A, Short, 1, 21},                 // D65
    }));
    w.set32(first, ifd);
    w.align();
    w.set32(ifd + 2 + 6 * 12 + 8,  // the value of entry 6
            static_cast<uint32_t>(w.bytes.size()));
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) w.put16(x < Width / 2 ? 3000 : 300);
    const size_t end = w.bytes.size() - stripBytes + std::min<size_t>(keptData, stripBytes);
    w.bytes.resize(end);
    return w.bytes;
}

fs::path writeDng(const testsupport::TempDir& dir, const char* name, const Bytes& bytes)
{
    const fs::path path = dir / name;
    testsupport::writeFile(path, bytes);
    return path;
}

// Mean of the three channels over a block of the picture.
double meanLevel(const fotrix::Bitmap& bitmap, int x0, int x1)
{
    double sum = 0;
    int n = 0;
    for (int y = bitmap.height / 4; y < bitmap.height * 3 / 4; ++y) {
        const uint8_t* row = fotrix::bitmapRow(bitmap, y);
        for (int x = x0; x < x1; ++x, ++n) sum += (row[3 * x] + row[3 * x + 1] + row[3 * x + 2]) / 3.0;
    }
    return n ? sum / n : 0;
}

}  // namespace

TEST(RawSensor, whole_dng_decodes_to_its_scene)
{
    testsupport::TempDir dir;
    const fs::path dng = writeDng(dir, "scene.dng", makeDng());
    fotrix::Bitmap bitmap;
    fotrix::FileInfo info;
    ASSERT_EQ(loadRawSensor(dng, bitmap, info), 0) << info.errorText;
    EXPECT_EQ(bitmap.width, Width);
    EXPECT_EQ(bitmap.height, Height);
    EXPECT_EQ(bitmap.type, fotrix::Rgb);
    EXPECT_NE(std::string(info.description).find("sensor data"), std::string::npos) << info.description;
    const double lit = meanLevel(bitmap, Width / 8, Width * 3 / 8), dark = meanLevel(bitmap, Width * 5 / 8, Width * 7 / 8);
    EXPECT_GT(lit, 100) << "lit half";
    EXPECT_LT(dark, lit / 2) << "dark half";
    fotrix::bitmapFree(bitmap);
    fotrix::freeFileInfo(info);
}

// A thumbnail box of at most half the sensor lets LibRaw decode at half size;
// the file information still tells the full size.
TEST(RawSensor, box_of_half_the_sensor_decodes_at_half_size)
{
    testsupport::TempDir dir;
    const fs::path dng = writeDng(dir, "scene.dng", makeDng());
    fotrix::Bitmap bitmap;
    fotrix::FileInfo info;
    ASSERT_EQ(loadRawSensor(dng, bitmap, info, 128), 0) << info.errorText;
    EXPECT_EQ(bitmap.width, 128);
    EXPECT_EQ(bitmap.height, 96);
    EXPECT_EQ(info.width, Width);
    EXPECT_EQ(info.height, Height);
    EXPECT_GT(meanLevel(bitmap, 16, 48), 2 * meanLevel(bitmap, 80, 112));
    fotrix::bitmapFree(bitmap);
    fotrix::freeFileInfo(info);
}

// A DNG cut inside its strip, or before it, is refused.
TEST(RawSensor, cut_dng_is_refused_rather_than_made_up)
{
    testsupport::TempDir dir;
    for (const size_t kept : {size_t{Width} * Height / 5, size_t{0}}) {
        SCOPED_TRACE(kept);
        const fs::path dng = writeDng(dir, "cut.dng", makeDng(kept));
        fotrix::Bitmap bitmap;
        fotrix::FileInfo info;
        EXPECT_NE(loadRawSensor(dng, bitmap, info), 0);
        EXPECT_EQ(bitmap.pixels, nullptr);
        fotrix::bitmapFree(bitmap);
        fotrix::freeFileInfo(info);
        // The header still tells the sensor's size.
        ASSERT_EQ(infoRaw(dng, info), 0);
        EXPECT_EQ(info.width, Width);
        fotrix::freeFileInfo(info);
    }
}

// LibRaw's Panasonic unpacker does not check its reads at all: the sample,
// whose sensor data is cut off, padded with zeros to look large enough,
// would come out as a picture of stale buffers. The reads beyond the end
// give it away, and the preview stands in.
TEST(RawSensor, unchecked_reads_beyond_the_end_are_refused)
{
    const fs::path sample = testsupport::testdata("exiftool/Panasonic.rw2");
    if (!fs::exists(sample)) SKIP_MISSING("no " << sample);
    testsupport::TempDir dir;
    const fs::path padded = dir / "padded.rw2";
    Bytes bytes = testsupport::readFile(sample);
    bytes.resize(bytes.size() + 300000, 0);
    testsupport::writeFile(padded, bytes);
    fotrix::Bitmap bitmap;
    fotrix::FileInfo info;
    ASSERT_EQ(loadRawSensor(padded, bitmap, info), 0) << info.errorText;
    EXPECT_EQ(bitmap.width, 8);
    EXPECT_EQ(bitmap.height, 8);
    EXPECT_EQ(std::string(info.description).find("sensor data"), std::string::npos) << info.description;
    fotrix::bitmapFree(bitmap);
    fotrix::freeFileInfo(info);
}

#endif  // FOTRIX_HAVE_LIBRAW
