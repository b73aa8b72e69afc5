// JPEG reader: pixels against djpeg for files made by cjpeg and ImageMagick
// and for the public camera and broken-file collections, reduced decoding,
// truncation, metadata, EXIF thumbnails, the quality estimate and the entry
// points for JPEG streams inside other files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imagelib/formats.h"
#include "imagelib/embedded_jpeg.h"
#include "imagelib/readers/jpeg_glue.h"
#include "imagelib/stream.h"
#include "tests/imagelib/jpeg_png_support.h"

namespace {

namespace fs = std::filesystem;
using namespace fotrix;
using namespace readertest;
using testsupport::Pixels;
using testsupport::TempDir;
using testsupport::testdata;

const fs::path sourcePicture = testdata("libjpeg-turbo/testorig.ppm");  // 227 x 149

// djpeg's decode of a file; its exit status (0, or 2 after warnings) tells
// whether it could decode it at all.
bool decodeWithDjpeg(const fs::path& jpeg, Pixels& out, const std::string& flags = "")
{
    TempDir dir;
    const fs::path pnm = dir / "djpeg.pnm";
    const int status = testsupport::run("djpeg -pnm " + flags + " -outfile " + shellQuoted(pnm) + " " + shellQuoted(jpeg) +
                                        " 2>/dev/null");
    return (status == 0 || status == 2) && testsupport::readPnm(pnm, out);
}

// A comment segment added by wrjpgcom.
fs::path withComment(const TempDir& dir, const fs::path& jpeg, const std::string& text)
{
    const fs::path out = dir / ("commented-" + jpeg.filename().string());
    EXPECT_EQ(testsupport::run("wrjpgcom -comment '" + text + "' " + shellQuoted(jpeg) + " > " + shellQuoted(out)), 0);
    return out;
}

fs::path makeJpeg(const TempDir& dir, const std::string& name, const std::string& cjpegFlags)
{
    const fs::path out = dir / name;
    EXPECT_EQ(testsupport::run("cjpeg " + cjpegFlags + " -outfile " + shellQuoted(out) + " " + shellQuoted(sourcePicture)),
              0);
    return out;
}

void expectSameAsDjpeg(const fs::path& jpeg, uint32_t options = NoAlpha, const std::string& djpegFlags = "")
{
    Pixels expected;
    ASSERT_TRUE(decodeWithDjpeg(jpeg, expected, djpegFlags)) << jpeg;
    Loaded loaded;
    load(loaded, jpeg, paramsWith(options));
    ASSERT_EQ(loaded.code, 0) << jpeg << ": " << loaded.info.errorText;
    EXPECT_EQ(testsupport::maxDifference(toPixels(loaded.bitmap), expected), 0) << jpeg;
}

std::vector<uint8_t> segment(int marker, const std::vector<uint8_t>& payload)
{
    std::vector<uint8_t> s = {0xFF, static_cast<uint8_t>(marker), static_cast<uint8_t>((payload.size() + 2) >> 8),
                              static_cast<uint8_t>((payload.size() + 2) & 0xFF)};
    s.insert(s.end(), payload.begin(), payload.end());
    return s;
}

// Puts segments right after the start-of-image marker.
std::vector<uint8_t> withSegments(std::vector<uint8_t> jpeg, const std::vector<std::vector<uint8_t>>& segments)
{
    size_t at = 2;
    for (const auto& s : segments) {
        jpeg.insert(jpeg.begin() + static_cast<long>(at), s.begin(), s.end());
        at += s.size();
    }
    return jpeg;
}

// Offset of the n-th (from 0) start-of-scan marker.
size_t findScan(const std::vector<uint8_t>& jpeg, int n)
{
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA && n-- == 0) return i;
    return 0;
}

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

TEST(JpegReader, CjpegVariantsDecodeLikeDjpeg)
{
    TempDir dir;
    const struct {
        const char* name;
        const char* flags;
    } variants[] = {
        {"baseline420.jpg", "-quality 85"},
        {"progressive.jpg", "-progressive"},
        {"grey.jpg", "-grayscale"},
        {"restart.jpg", "-restart 2"},
        {"s444.jpg", "-sample 1x1"},
        {"s422.jpg", "-sample 2x1"},
        {"s440.jpg", "-sample 1x2"},
        {"optimised.jpg", "-optimize -quality 40"},
        {"arithmetic.jpg", "-arithmetic"},
    };
    for (const auto& v : variants) {
        SCOPED_TRACE(v.name);
        expectSameAsDjpeg(makeJpeg(dir, v.name, v.flags));
    }
}

TEST(JpegReader, GreyFileIsGreyUnlessTrueColourIsForced)
{
    TempDir dir;
    const fs::path grey = makeJpeg(dir, "grey.jpg", "-grayscale");
    Loaded plain, forced;
    load(plain, grey, paramsWith(0));
    load(forced, grey, paramsWith(ForceTrueColour));
    ASSERT_EQ(plain.code, 0);
    ASSERT_EQ(forced.code, 0);
    EXPECT_EQ(plain.bitmap.type, Grey);
    EXPECT_EQ(forced.bitmap.type, Rgb);
    EXPECT_STREQ(plain.info.description, "JPEG Grayscale (v1.1)");
    const Pixels rgb = toPixels(forced.bitmap);
    const Pixels levels = toPixels(plain.bitmap);
    EXPECT_EQ(testsupport::maxDifference(testsupport::toRgba(rgb), testsupport::toRgba(levels)), 0);
}

TEST(JpegReader, ImageMagickFilesDecodeLikeDjpeg)
{
    TempDir dir;
    const fs::path interlaced = dir / "plane.jpg";
    const fs::path q30 = dir / "q30.jpg";
    ASSERT_EQ(testsupport::run("/usr/bin/convert " + shellQuoted(sourcePicture) + " -interlace Plane " + shellQuoted(interlaced)), 0);
    ASSERT_EQ(testsupport::run("/usr/bin/convert " + shellQuoted(sourcePicture) + " -quality 30 -sampling-factor 2x1 " +
                               shellQuoted(q30)),
              0);
    expectSameAsDjpeg(interlaced);
    expectSameAsDjpeg(q30);
}

TEST(JpegReader, CmykIsConvertedOrKeptAsInk)
{
    const fs::path cmyk = testdata("pillow/jpeg/pil_sample_cmyk.jpg");
    Loaded rgb, ink;
    load(rgb, cmyk, paramsWith(NoAlpha));
    load(ink, cmyk, paramsWith(NoAlpha | KeepCmyk));
    ASSERT_EQ(rgb.code, 0) << rgb.info.errorText;
    ASSERT_EQ(ink.code, 0);
    EXPECT_EQ(rgb.bitmap.type, Rgb);
    EXPECT_EQ(rgb.info.colourModel, 3);
    EXPECT_STREQ(rgb.info.description, "JPEG CMYK (v1.1)");
    ASSERT_EQ(ink.bitmap.type, Cmyk);
    // Ink amounts and their RGB rendering agree: R = (255 - C) * (255 - K) / 255.
    const Pixels colours = toPixels(rgb.bitmap);
    const Pixels inks = toPixels(ink.bitmap);
    int worst = 0;
    for (size_t i = 0; i < static_cast<size_t>(colours.width) * colours.height; ++i)
        for (int c = 0; c < 3; ++c) {
            const int expected = (255 - inks.data[4 * i + c]) * (255 - inks.data[4 * i + 3]) / 255;
            worst = std::max(worst, std::abs(expected - colours.data[3 * i + c]));
        }
    EXPECT_LE(worst, 1);
    // ImageMagick renders the same file alike.
    Pixels magick;
    ASSERT_TRUE(testsupport::decodeWithMagick(cmyk, magick));
    EXPECT_LE(testsupport::maxDifference(testsupport::toRgba(colours), magick), 2);
}

TEST(JpegReader, PreviewDecodesReducedAndReportsTheFullSize)
{
    TempDir dir;
    const fs::path big = dir / "big.jpg";
    ASSERT_EQ(testsupport::run("/usr/bin/convert -size 3000x2000 gradient:red-blue -swirl 90 " + shellQuoted(big)), 0);

    LoadParams thumb = paramsWith(NoAlpha | Preview);
    thumb.maxWidth = 160;
    thumb.maxHeight = 120;
    Loaded nearest, area;
    load(nearest, big, thumb);
    thumb.scaleMethod = ScaleAreaAverage;
    load(area, big, thumb);
    for (Loaded* l : {&nearest, &area}) {
        ASSERT_EQ(l->code, 0);
        EXPECT_EQ(l->bitmap.width, 160);
        EXPECT_EQ(l->bitmap.height, 107);
        EXPECT_EQ(l->info.width, 3000);
        EXPECT_EQ(l->info.height, 2000);
    }

    // With a box of exactly 1/8 the library's reduced decode is the picture.
    LoadParams eighth = paramsWith(NoAlpha | Preview);
    eighth.maxWidth = 375;
    eighth.maxHeight = 250;
    Loaded reduced;
    load(reduced, big, eighth);
    ASSERT_EQ(reduced.code, 0);
    Pixels expected;
    ASSERT_TRUE(decodeWithDjpeg(big, expected, "-scale 1/8 -fast"));
    EXPECT_EQ(testsupport::maxDifference(toPixels(reduced.bitmap), expected), 0);

    // A box between two scales decodes at the larger one (1/2 for 1000 x 700).
    LoadParams half = paramsWith(NoAlpha | Preview);
    half.maxWidth = 1000;
    half.maxHeight = 700;
    Loaded halfLoaded;
    load(halfLoaded, big, half);
    ASSERT_EQ(halfLoaded.code, 0);
    EXPECT_EQ(halfLoaded.bitmap.width, 1000);
    EXPECT_EQ(halfLoaded.bitmap.height, 667);
}

TEST(JpegReader, TruncatedFilesDecodeToTheirEnd)
{
    TempDir dir;
    for (const char* flags : {"-quality 90", "-progressive"}) {
        SCOPED_TRACE(flags);
        const fs::path whole = makeJpeg(dir, "whole.jpg", flags);
        std::vector<uint8_t> bytes = testsupport::readFile(whole);
        bytes.resize(bytes.size() / 2);
        const fs::path cut = dir / "cut.jpg";
        testsupport::writeFile(cut, bytes);
        expectSameAsDjpeg(cut);
    }
    // A file that ends right after its first scan header still loads, at full size.
    std::vector<uint8_t> bytes = testsupport::readFile(makeJpeg(dir, "head.jpg", "-quality 90"));
    const size_t sos = findScan(bytes, 0);
    ASSERT_GT(sos, 0u);
    bytes.resize(sos + 2 + (bytes[sos + 2] << 8 | bytes[sos + 3]));
    const fs::path header = dir / "header-only.jpg";
    testsupport::writeFile(header, bytes);
    Loaded loaded;
    load(loaded, header, paramsWith(NoAlpha));
    EXPECT_EQ(loaded.code, 0);
    EXPECT_EQ(loaded.bitmap.width, 227);
    EXPECT_EQ(loaded.bitmap.height, 149);
}

TEST(JpegReader, FileInformationReadsNoPictureData)
{
    // A progressive file whose second scan names a Huffman table that does
    // not exist: decoding fails as soon as the scans are read, the header
    // alone is fine.
    TempDir dir;
    std::vector<uint8_t> bytes = testsupport::readFile(makeJpeg(dir, "p.jpg", "-progressive"));
    const size_t sos = findScan(bytes, 1);
    ASSERT_GT(sos, 0u);
    bytes[sos + 6] = 0x33;  // first component's table selectors
    const fs::path broken = dir / "broken-scan.jpg";
    testsupport::writeFile(broken, bytes);

    FileInfo info;
    EXPECT_EQ(getFileInfo(broken.string(), -1, 0, info), 0);
    EXPECT_EQ(info.width, 227);
    EXPECT_EQ(info.height, 149);
    EXPECT_EQ(info.imageCount, 1u);
    EXPECT_EQ(info.compression, 3);
    freeFileInfo(info);

    Loaded loaded;
    load(loaded, broken, paramsWith(NoAlpha));
    EXPECT_EQ(loaded.code, 10);
    EXPECT_NE(std::string(loaded.info.errorText).find("JPEG : "), std::string::npos);
}

TEST(JpegReader, DamagedProgressiveFilesStayWithinLimits)
{
    TempDir dir;
    const std::vector<uint8_t> progressive = testsupport::readFile(makeJpeg(dir, "p.jpg", "-progressive"));
    // The last scan repeated: the decoder accepts repeated scans with a
    // warning, but not without end.
    const size_t last = findScan(progressive, 9);
    ASSERT_GT(last, 0u);
    const std::vector<uint8_t> scan(progressive.begin() + static_cast<long>(last), progressive.end() - 2);
    auto repeated = [&](int times) {
        std::vector<uint8_t> bytes(progressive.begin(), progressive.end() - 2);
        for (int i = 0; i < times; ++i) bytes.insert(bytes.end(), scan.begin(), scan.end());
        bytes.push_back(0xFF);
        bytes.push_back(0xD9);
        return bytes;
    };
    const fs::path few = dir / "few.jpg", many = dir / "many.jpg";
    testsupport::writeFile(few, repeated(20));
    testsupport::writeFile(many, repeated(JpegScanLimit + 10));
    Loaded fewLoaded, manyLoaded;
    load(fewLoaded, few, paramsWith(NoAlpha));
    load(manyLoaded, many, paramsWith(NoAlpha));
    EXPECT_EQ(fewLoaded.code, 0);
    EXPECT_EQ(manyLoaded.code, 10);
    EXPECT_STREQ(manyLoaded.info.errorText, "JPEG : More than 1000 scans");

    // A header that claims 60000 x 60000 pixels: the whole-picture buffer of
    // a progressive file would take 20 GB.
    std::vector<uint8_t> huge = progressive;
    size_t sof = 0;
    for (size_t i = 2; i + 9 < huge.size() && !sof; ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC2) sof = i;
    ASSERT_GT(sof, 0u);
    huge[sof + 5] = huge[sof + 7] = 60000 >> 8;
    huge[sof + 6] = huge[sof + 8] = 60000 & 0xFF;
    const fs::path hugeFile = dir / "huge.jpg";
    testsupport::writeFile(hugeFile, huge);
    Loaded hugeLoaded;
    LoadParams boxed = paramsWith(NoAlpha | Preview);
    boxed.maxWidth = boxed.maxHeight = 100;
    load(hugeLoaded, hugeFile, boxed);
    EXPECT_EQ(hugeLoaded.code, 10);
    EXPECT_EQ(hugeLoaded.info.width, 60000);
}

TEST(JpegReader, BadInputGivesItsCode)
{
    TempDir dir;
    const fs::path empty = dir / "empty.jpg";
    testsupport::writeFile(empty, std::string());
    const fs::path text = dir / "text.jpg";
    testsupport::writeFile(text, std::string("this is not a picture at all"));
    const fs::path soiOnly = dir / "soi.jpg";
    testsupport::writeFile(soiOnly, std::vector<uint8_t>{0xFF, 0xD8});
    Loaded e, t, s;
    load(e, empty, paramsWith(0));
    load(t, text, paramsWith(0, FormatJpeg));
    load(s, soiOnly, paramsWith(0, FormatJpeg));
    EXPECT_EQ(e.code, 3);
    EXPECT_EQ(t.code, 2);
    EXPECT_NE(s.code, 0);
    EXPECT_EQ(e.bitmap.pixels, nullptr);
    EXPECT_EQ(t.bitmap.pixels, nullptr);

    // 12-bit samples and lossless coding are JPEGs we cannot decode: a clear code, not another format.
    for (const char* name : {"libjpeg-turbo/monkey12.jpg", "twelvemonkeys/jpeg/jpeg-lossless/gradient_ls.jpg"}) {
        Loaded l;
        load(l, testdata(name), paramsWith(NoAlpha));
        EXPECT_EQ(l.code, 10) << name;
        EXPECT_EQ(std::string(l.info.errorText).rfind("JPEG : ", 0), 0u) << name;
    }
}

// Every JPEG of the public collections: where djpeg decodes a file we give
// the same pixels; where it fails we fail with a code, and nothing crashes.
TEST(JpegReader, PublicCollectionsDecodeLikeDjpeg)
{
    std::vector<fs::path> files;
    for (const char* folder : {"exiftool", "exiv2/camera", "exiv2/camera/expected-previews", "pillow/jpeg",
                               "twelvemonkeys/jpeg/broken-jpeg", "twelvemonkeys/jpeg/jpeg-lossless", "libjpeg-turbo"})
        for (const auto& entry : fs::directory_iterator(testdata(folder))) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".jpg" || ext == ".jpeg") files.push_back(entry.path());
        }
    ASSERT_GT(files.size(), 100u);
    int compared = 0;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        Pixels expected;
        const bool djpegDecodes = decodeWithDjpeg(file, expected);
        Loaded loaded;
        load(loaded, file, paramsWith(NoAlpha, FormatJpeg));
        if (djpegDecodes) {
            ASSERT_EQ(loaded.code, 0) << loaded.info.errorText;
            // CMYK is turned into RGB by the pipeline, which rounds differently from the library.
            const int tolerance = loaded.info.colourModel == 3 ? 1 : 0;
            EXPECT_LE(testsupport::maxDifference(toPixels(loaded.bitmap), expected), tolerance);
            expectInfoAgrees(file, loaded, FormatJpeg);
            ++compared;
        } else if (loaded.code == 0) {
            // djpeg cannot write CMYK as a portable pixmap; those we decode.
            EXPECT_EQ(loaded.info.colourModel, 3);
        } else {
            EXPECT_TRUE(loaded.code == 2 || loaded.code == 9 || loaded.code == 10) << loaded.code;
            EXPECT_EQ(loaded.bitmap.pixels, nullptr);
        }
    }
    EXPECT_GT(compared, 90);
}

TEST(JpegReader, MetadataBlocksInFileOrder)
{
    Loaded loaded;
    load(loaded, testdata("exiv2/camera/Reagan.jpg"), paramsWith(NoAlpha | ReadMetadata));
    ASSERT_EQ(loaded.code, 0);
    EXPECT_EQ(metadataKinds(loaded.bitmap.metadata), (std::vector<uint32_t>{MetaExif, MetaIptc, MetaXmp, MetaIcc}));
    const MetadataBlock* exif = loaded.bitmap.metadata;
    ASSERT_NE(exif, nullptr);
    ASSERT_GE(exif->size, 6u);
    EXPECT_EQ(std::memcmp(exif->data, "Exif\0\0", 6), 0);
    const MetadataBlock* icc = metadataFind(loaded.bitmap.metadata, MetaIcc);
    ASSERT_NE(icc, nullptr);
    // An ICC profile states its own length in its first four bytes.
    ASSERT_GE(icc->size, 4u);
    EXPECT_EQ(static_cast<uint32_t>(icc->data[0] << 24 | icc->data[1] << 16 | icc->data[2] << 8 | icc->data[3]),
              icc->size);

    Loaded without;
    load(without, testdata("exiv2/camera/Reagan.jpg"), paramsWith(NoAlpha));
    EXPECT_EQ(without.bitmap.metadata, nullptr);
}

TEST(JpegReader, IccProfileInPiecesBecomesOneBlock)
{
    TempDir dir;
    const std::vector<uint8_t> plain = testsupport::readFile(makeJpeg(dir, "plain.jpg", ""));
    auto piece = [](int sequence, const std::string& data) {
        std::vector<uint8_t> p = bytesOf(std::string("ICC_PROFILE") + '\0');
        p.push_back(static_cast<uint8_t>(sequence));
        p.push_back(3);
        p.insert(p.end(), data.begin(), data.end());
        return segment(0xE2, p);
    };
    const fs::path file = dir / "icc.jpg";
    testsupport::writeFile(file, withSegments(plain, {piece(1, "first-"), segment(0xFE, bytesOf("note")),
                                                      piece(2, "second-"), piece(3, "third")}));
    Loaded loaded;
    load(loaded, file, paramsWith(NoAlpha | ReadMetadata | ReadComment));
    ASSERT_EQ(loaded.code, 0);
    ASSERT_EQ(metadataKinds(loaded.bitmap.metadata), std::vector<uint32_t>{MetaIcc});
    const MetadataBlock* icc = loaded.bitmap.metadata;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(icc->data), icc->size), "first-second-third");
    ASSERT_NE(loaded.bitmap.comment, nullptr);
    EXPECT_STREQ(loaded.bitmap.comment, "note");
}

TEST(JpegReader, CommentsLastOneStaysEmptyOnesIgnored)
{
    TempDir dir;
    const fs::path commented = withComment(dir, makeJpeg(dir, "c.jpg", ""), "made by wrjpgcom");
    Loaded one;
    load(one, commented, paramsWith(ReadComment));
    ASSERT_EQ(one.code, 0);
    ASSERT_NE(one.bitmap.comment, nullptr);
    EXPECT_STREQ(one.bitmap.comment, "made by wrjpgcom");

    const std::vector<uint8_t> plain = testsupport::readFile(makeJpeg(dir, "plain.jpg", ""));
    const fs::path several = dir / "several.jpg";
    testsupport::writeFile(several, withSegments(plain, {segment(0xFE, bytesOf("first")), segment(0xFE, bytesOf("second")),
                                                         segment(0xFE, {})}));
    Loaded last, none;
    load(last, several, paramsWith(ReadComment));
    load(none, several, paramsWith(0));
    ASSERT_EQ(last.code, 0);
    ASSERT_NE(last.bitmap.comment, nullptr);
    EXPECT_STREQ(last.bitmap.comment, "second");
    EXPECT_EQ(none.bitmap.comment, nullptr);
}

TEST(JpegReader, ResolutionFromTheJfifHeader)
{
    TempDir dir;
    const fs::path inches = dir / "300dpi.jpg";
    ASSERT_EQ(testsupport::run("/usr/bin/convert " + shellQuoted(sourcePicture) + " -units PixelsPerInch -density 300x150 " +
                               shellQuoted(inches)),
              0);
    const fs::path centimetres = dir / "cm.jpg";
    ASSERT_EQ(testsupport::run("/usr/bin/convert " + shellQuoted(sourcePicture) +
                               " -units PixelsPerCentimeter -density 40 " + shellQuoted(centimetres)),
              0);
    Loaded perInch, perCm, none;
    load(perInch, inches, paramsWith(0));
    load(perCm, centimetres, paramsWith(0));
    load(none, makeJpeg(dir, "plain.jpg", ""), paramsWith(0));
    EXPECT_EQ(perInch.bitmap.dpiX, 300u);
    EXPECT_EQ(perInch.bitmap.dpiY, 150u);
    EXPECT_EQ(perCm.bitmap.dpiX, 102u);  // 40 dots a centimetre
    EXPECT_EQ(perCm.bitmap.dpiY, 102u);
    EXPECT_EQ(none.bitmap.dpiX, 72u);  // cjpeg writes density 1:1, no resolution
}

TEST(JpegReader, QualityEstimateMatchesTheEncoderSetting)
{
    TempDir dir;
    for (int q : {1, 5, 10, 25, 50, 51, 75, 90, 95, 97, 98, 99, 100}) {
        for (const char* colour : {"", "-grayscale"}) {
            SCOPED_TRACE(std::to_string(q) + colour);
            const fs::path file = makeJpeg(dir, "q.jpg", "-baseline -quality " + std::to_string(q) + " " + colour);
            FileInfo info;
            ASSERT_EQ(getFileInfo(file.string(), -1, EstimateQuality, info), 0);
            EXPECT_EQ(static_cast<int>(info.readerValues[2]), q);
            freeFileInfo(info);
            if (q == 25 || q == 98) {  // ImageMagick finds the same
                std::string identify;
                testsupport::run("/usr/bin/identify -format %Q " + shellQuoted(file), &identify);
                EXPECT_EQ(identify, std::to_string(q));
            }
        }
    }
}

TEST(JpegReader, QualityFromTablesWithoutALuminanceTableIsUnknown)
{
    uint16_t flat[64];
    for (auto& v : flat) v = 1;
    const uint16_t* none[4] = {};
    const uint16_t* finest[4] = {flat, nullptr, nullptr, nullptr};
    const uint16_t* missingFirst[4] = {nullptr, flat, nullptr, nullptr};
    EXPECT_EQ(jpegQualityFromTables(none), -1);
    EXPECT_EQ(jpegQualityFromTables(missingFirst), -1);
    EXPECT_EQ(jpegQualityFromTables(finest), 100);
    uint16_t coarse[64];
    for (auto& v : coarse) v = 255;
    const uint16_t* worst[4] = {coarse, coarse, nullptr, nullptr};
    EXPECT_EQ(jpegQualityFromTables(worst), 1);
}

// Camera files whose EXIF block holds a thumbnail: in preview mode with
// previews allowed the thumbnail is the picture, at the camera picture's size.
TEST(JpegReader, ExifThumbnailStandsInForThePicture)
{
    const fs::path camera = testdata("exiv2/camera");
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(camera)) {
        const fs::path file = entry.path();
        if (file.extension() != ".jpg") continue;
        const fs::path preview = camera / "expected-previews" / (file.stem().string() + "-preview1.jpg");
        if (!fs::exists(preview)) continue;
        // Only previews that are the EXIF thumbnail (exiftool gives its length).
        std::string exif;
        testsupport::run("grep -E 'IFD1\\].*ThumbnailLength' " + shellQuoted(file.string() + ".exiftool.txt"), &exif);
        if (exif.find(": " + std::to_string(fs::file_size(preview))) == std::string::npos) continue;
        SCOPED_TRACE(file.string());

        LoadParams params = paramsWith(NoAlpha | Preview);
        params.rawPreview = 1;
        params.maxWidth = params.maxHeight = 2000;
        Loaded loaded;
        load(loaded, file, params);
        ASSERT_EQ(loaded.code, 0) << loaded.info.errorText;
        Pixels expected;
        ASSERT_TRUE(decodeWithDjpeg(preview, expected));
        EXPECT_EQ(testsupport::maxDifference(toPixels(loaded.bitmap), expected), 0);
        Loaded picture;
        load(picture, file, paramsWith(NoAlpha));
        EXPECT_EQ(loaded.info.width, picture.bitmap.width);
        EXPECT_EQ(loaded.info.height, picture.bitmap.height);
        ++checked;
    }
    EXPECT_GE(checked, 5);

    // Without a thumbnail, preview mode decodes the picture.
    TempDir dir;
    LoadParams params = paramsWith(NoAlpha | Preview);
    params.rawPreview = 1;
    Loaded plain;
    load(plain, makeJpeg(dir, "plain.jpg", ""), params);
    ASSERT_EQ(plain.code, 0);
    EXPECT_EQ(plain.bitmap.width, 227);
}

TEST(JpegReader, ExifThumbnailSearchStaysInsideTheBlock)
{
    // "Exif\0\0", little-endian TIFF header, IFD 0 at 8 with no entries and
    // IFD 1 at 14 holding offset and length of a 4-byte thumbnail at 44.
    std::vector<uint8_t> block = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
                                  0, 0, 14, 0, 0, 0,  // IFD 0: no entries, next at 14
                                  2, 0,
                                  0x01, 0x02, 4, 0, 1, 0, 0, 0, 44, 0, 0, 0,
                                  0x02, 0x02, 4, 0, 1, 0, 0, 0, 4, 0, 0, 0,
                                  0, 0, 0, 0,
                                  0xFF, 0xD8, 0xFF, 0xD9};
    ASSERT_EQ(block.size(), 54u);
    size_t offset = 0, length = 0;
    ASSERT_TRUE(exifFindThumbnail(block, offset, length));
    EXPECT_EQ(offset, 50u);
    EXPECT_EQ(length, 4u);

    std::vector<uint8_t> tooLong = block;
    tooLong[42] = 5;  // one byte more than the block holds
    EXPECT_FALSE(exifFindThumbnail(tooLong, offset, length));

    std::vector<uint8_t> looping = block;
    looping[16] = 8;  // IFD 0 names itself as the next directory
    EXPECT_FALSE(exifFindThumbnail(looping, offset, length));

    std::vector<uint8_t> wrongType = block;
    wrongType[24] = 3;  // offset given as SHORT
    EXPECT_FALSE(exifFindThumbnail(wrongType, offset, length));

    std::vector<uint8_t> manyEntries = block;
    manyEntries[14] = 0xFF;  // IFD 0 claims 255 entries and runs past the block before IFD 1
    EXPECT_FALSE(exifFindThumbnail(manyEntries, offset, length));

    EXPECT_FALSE(exifFindThumbnail(std::span<const uint8_t>(block.data(), 10), offset, length));
}

TEST(JpegReader, EmbeddedStreamSizeAndDecode)
{
    TempDir dir;
    const std::vector<uint8_t> jpeg = testsupport::readFile(withComment(dir, makeJpeg(dir, "inner.jpg", ""), "inside"));
    std::vector<uint8_t> container(100, 0x55);
    container.insert(container.end(), jpeg.begin(), jpeg.end());
    container.insert(container.end(), 50, 0xAA);
    const fs::path file = dir / "container.bin";
    testsupport::writeFile(file, container);

    Stream stream;
    ASSERT_EQ(streamOpen(stream, file.string()), 0);
    ASSERT_TRUE(streamSeek(stream, 100));
    int width = 0, height = 0;
    EXPECT_EQ(jpegEmbeddedSize(stream, jpeg.size(), width, height), 0);
    EXPECT_EQ(width, 227);
    EXPECT_EQ(height, 149);
    EXPECT_EQ(streamTell(stream), 100u);
    ASSERT_TRUE(streamSeek(stream, 0));
    EXPECT_EQ(jpegEmbeddedSize(stream, 0, width, height), 2);

    // Decoding from the stream's position through the pipeline, keeping the
    // comment and reporting the size the caller gives as the whole picture's.
    Bitmap bitmap;
    FileInfo info;
    {
        ReaderContext context;
        context.params = paramsWith(NoAlpha | ReadComment);
        context.bitmap = &bitmap;
        context.info = &info;
        ASSERT_TRUE(streamSeek(stream, 100));
        EXPECT_EQ(jpegReadEmbedded(stream, context, jpeg.size(), 4000, 3000), 0);
        ASSERT_NE(context.comment, nullptr);
        EXPECT_STREQ(context.comment, "inside");
    }
    streamClose(stream);
    EXPECT_EQ(info.width, 4000);
    EXPECT_EQ(info.height, 3000);
    Pixels expected;
    ASSERT_TRUE(decodeWithDjpeg(dir / "inner.jpg", expected));
    EXPECT_EQ(testsupport::maxDifference(toPixels(bitmap), expected), 0);
    bitmapFree(bitmap);
}
