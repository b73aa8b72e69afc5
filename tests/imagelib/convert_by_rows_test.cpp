// Conversions that write rows while they load: the file must be the one a
// whole load and save makes, pictures that cannot flow must leave nothing,
// and a failure on either side must leave no file and no thread waiting.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "imagelib/convert.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/save.h"
#include "tests/imagelib/writer_helpers.h"

namespace {

namespace fs = std::filesystem;
using namespace fotrix;
using testsupport::TempDir;

LoadParams editingParams()
{
    LoadParams params;
    loadParamsDefaults(params);
    params.options |= ReadComment | ReadTextInfo | ReadMetadata;
    return params;
}

SaveParams saveAs(int format, const std::function<void(SaveParams&)>& adjust = {})
{
    SaveParams params;
    saveParamsDefaults(params);
    params.format = format;
    params.quality = 80;
    if (adjust) adjust(params);
    return params;
}

int wholeConvert(const fs::path& input, const fs::path& output, const LoadParams& load, const SaveParams& save)
{
    Bitmap bitmap;
    int result = loadBitmap(input.string(), bitmap, load, nullptr);
    if (result == 0) result = saveBitmap(output.string(), bitmap, save);
    bitmapFree(bitmap);
    return result;
}

int rowsConvert(const fs::path& input, const fs::path& output, const LoadParams& load, const SaveParams& save)
{
    return convertByRows(input.string(), output.string(), load, save, nullptr);
}

// Deterministic noise with some structure, so that encoders have work to do.
uint8_t sample(int x, int y, int c, unsigned seed)
{
    unsigned v = static_cast<unsigned>(x) * 2654435761u ^ static_cast<unsigned>(y) * 40503u ^ (c + seed) * 97u;
    v ^= v >> 13;
    return static_cast<uint8_t>((x + 2 * y + 60 * c + (v & 31)) & 0xFF);
}

// A binary PNM: P6 (maxval 255 or 65535) or P5.
void writePnm(const fs::path& path, const char* magic, int w, int h, int channels, int maxValue = 255)
{
    const std::string header = std::string(magic) + "\n# made by the test\n" + std::to_string(w) + " " +
                               std::to_string(h) + "\n" + std::to_string(maxValue) + "\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < channels; ++c) {
                const uint8_t v = sample(x, y, c, 3);
                bytes.push_back(v);
                if (maxValue > 255) bytes.push_back(static_cast<uint8_t>(v ^ 0x5A));
            }
    testsupport::writeFile(path, bytes);
}

struct Case {
    std::string name;
    std::function<void(const fs::path&)> make;  // writes the input
    std::string extension;
    int format;
    std::function<void(SaveParams&)> adjust;
    std::function<void(LoadParams&)> load = {};
};

LoadParams loadParamsOf(const Case& c)
{
    LoadParams params = editingParams();
    if (c.load) c.load(params);
    return params;
}

fs::path makeInput(const TempDir& dir, const Case& c)
{
    const fs::path input = dir / ("in-" + c.name + c.extension);
    c.make(input);
    return input;
}

std::function<void(const fs::path&)> ppm(int w, int h) { return [=](const fs::path& p) { writePnm(p, "P6", w, h, 3); }; }

// A JPEG of ours, baseline or progressive, from a noise PPM.
std::function<void(const fs::path&)> jpegFile(int w, int h, bool progressive)
{
    return [=](const fs::path& p) {
        const fs::path source = p.string() + ".ppm";
        writePnm(source, "P6", w, h, 3);
        const SaveParams params = saveAs(FormatJpeg, [&](SaveParams& s) { s.interlace = progressive; });
        ASSERT_EQ(wholeConvert(source, p, editingParams(), params), 0);
    };
}

// A Targa of ours (rows stored top row first), plain or run-length.
std::function<void(const fs::path&)> targaFile(int w, int h, bool rle)
{
    return [=](const fs::path& p) {
        const fs::path source = p.string() + ".ppm";
        writePnm(source, "P6", w, h, 3);
        const SaveParams params = saveAs(FormatTga, [&](SaveParams& s) { s.rle = rle; });
        ASSERT_EQ(wholeConvert(source, p, editingParams(), params), 0);
    };
}

// A BMP of ours: rows stored bottom row first, read from the file's end.
std::function<void(const fs::path&)> bmpFile(int w, int h)
{
    return [=](const fs::path& p) {
        const fs::path source = p.string() + ".ppm";
        writePnm(source, "P6", w, h, 3);
        ASSERT_EQ(wholeConvert(source, p, editingParams(), saveAs(FormatBmp)), 0);
    };
}

std::function<void(const fs::path&)> copyOf(const fs::path& testFile)
{
    return [=](const fs::path& p) { fs::copy_file(testFile, p, fs::copy_options::overwrite_existing); };
}

TEST(ConvertByRows, writesTheFileAWholeLoadAndSaveWrites)
{
    const fs::path camera = testsupport::testdata("exiftool/Canon.jpg");
    std::vector<Case> cases = {
        {"1x1", ppm(1, 1), ".ppm", FormatJpeg, {}},
        {"7x3-padded-rows", ppm(7, 3), ".ppm", FormatPng, {}},
        {"700x1500-blocks-wrap", ppm(700, 1500), ".ppm", FormatJpeg, {}},
        {"3000x400-wide", ppm(3000, 400), ".ppm", FormatJpeg, [](SaveParams& s) { s.interlace = 1; }},
        {"png-rows", ppm(700, 1500), ".ppm", FormatPng, [](SaveParams& s) { s.compression = 1; }},
        {"tga", ppm(300, 200), ".ppm", FormatTga, {}},
        {"tga-rle", ppm(300, 200), ".ppm", FormatTga, [](SaveParams& s) { s.rle = 1; }},
        {"16-bit", [](const fs::path& p) { writePnm(p, "P6", 50, 60, 3, 65535); }, ".ppm", FormatPng, {}},
        {"bgra-reordered-rows", ppm(300, 200), ".ppm", FormatPng, {},
         [](LoadParams& l) { l.options |= ForceAlpha, l.channelOrder = 2; }},
        {"bgr-into-jpeg", ppm(300, 200), ".ppm", FormatJpeg, {}, [](LoadParams& l) { l.channelOrder = 1; }},
        {"jpeg-baseline", jpegFile(640, 480, false), ".jpg", FormatJpeg, {}},
        {"jpeg-progressive", jpegFile(333, 777, true), ".jpg", FormatJpeg, {}},
        {"targa-top-down", targaFile(500, 700, false), ".tga", FormatJpeg, {}},
        {"targa-run-length", targaFile(500, 700, true), ".tga", FormatPng, {}},
        {"bmp-bottom-up", bmpFile(301, 700), ".bmp", FormatJpeg, {}},
        {"bmp-bottom-up-bgr-rows", bmpFile(301, 700), ".bmp", FormatPng, {}, [](LoadParams& l) { l.channelOrder = 1; }},
    };
    if (fs::exists(camera)) cases.push_back({"camera-exif", copyOf(camera), ".jpg", FormatJpeg, {}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path input = makeInput(dir, c);
        const SaveParams params = saveAs(c.format, c.adjust);
        ASSERT_EQ(wholeConvert(input, dir / "whole.out", loadParamsOf(c), params), 0);
        ASSERT_EQ(rowsConvert(input, dir / "rows.out", loadParamsOf(c), params), 0);
        const auto whole = testsupport::readFile(dir / "whole.out");
        EXPECT_FALSE(whole.empty());
        EXPECT_TRUE(whole == testsupport::readFile(dir / "rows.out"));
    }
}

TEST(ConvertByRows, picturesThatCannotFlowAreLeftForTheWholePath)
{
    const fs::path png = testsupport::testdata("pngsuite/png/basn2c08.png");
    std::vector<Case> cases = {
        {"bmp-writes-bottom-up", ppm(64, 48), ".ppm", FormatBmp, {}},
        {"gif-refuses-true-colour", ppm(64, 48), ".ppm", FormatGif, {}},
        {"png-interlaced-takes-all-rows", ppm(64, 48), ".ppm", FormatPng, [](SaveParams& s) { s.interlace = 1; }},
        {"grey-levels", [](const fs::path& p) { writePnm(p, "P5", 64, 48, 1); }, ".pgm", FormatJpeg, {}},
        {"targa-bottom-up", [](const fs::path& p) {
             writePnm(p.string() + ".ppm", "P6", 64, 48, 3);
             ASSERT_EQ(testsupport::run("/usr/bin/convert '" + p.string() + ".ppm' -compress none '" + p.string() + "'"), 0);
         }, ".tga", FormatJpeg, {}},
    };
    if (fs::exists(png)) cases.push_back({"reader-without-row-order", copyOf(png), ".png", FormatJpeg, {}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path input = makeInput(dir, c);
        const int before = writertest::fileCount(dir.path());
        EXPECT_EQ(rowsConvert(input, dir / "out", editingParams(), saveAs(c.format, c.adjust)),
                  ConvertNeedsWholePicture);
        EXPECT_EQ(writertest::fileCount(dir.path()), before);
    }

    // Loads that change the picture's size or row order cannot flow either.
    TempDir dir;
    const fs::path input = dir / "in.ppm";
    writePnm(input, "P6", 64, 48, 3);
    LoadParams reduced = editingParams();
    reduced.maxWidth = 16;
    reduced.maxHeight = 16;
    LoadParams bottomUp = editingParams();
    bottomUp.origin = OriginBottom;
    for (const LoadParams& load : {reduced, bottomUp}) {
        EXPECT_EQ(rowsConvert(input, dir / "out.jpg", load, saveAs(FormatJpeg)), ConvertNeedsWholePicture);
        EXPECT_FALSE(fs::exists(dir / "out.jpg"));
    }
}

// Cuts a file to `keep` bytes.
void truncate(const fs::path& path, size_t keep)
{
    auto bytes = testsupport::readFile(path);
    bytes.resize(std::min(keep, bytes.size()));
    testsupport::writeFile(path, bytes);
}

TEST(ConvertByRows, aLoadThatFailsHalfWayLeavesNoFileAndTheOldOneUntouched)
{
    TempDir dir;
    const fs::path input = dir / "cut.ppm", target = dir / "target.jpg";
    writePnm(input, "P6", 700, 1500, 3);
    truncate(input, fs::file_size(input) / 2);
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    testsupport::writeFile(target, old);
    EXPECT_EQ(rowsConvert(input, target, editingParams(), saveAs(FormatJpeg)), ResultReadError);
    EXPECT_TRUE(testsupport::readFile(target) == old);
    EXPECT_EQ(writertest::fileCount(dir.path()), 2);
}

TEST(ConvertByRows, aCutJpegGivesWhatTheWholePathGives)
{
    // libjpeg fills the rows a cut file lacks and the load succeeds: the rows
    // that flowed and the grey ones after them make the same file.
    TempDir dir;
    const fs::path input = dir / "cut.jpg";
    jpegFile(700, 1500, false)(input);
    truncate(input, 40000);
    const SaveParams params = saveAs(FormatPng);
    const int whole = wholeConvert(input, dir / "whole.png", editingParams(), params);
    ASSERT_EQ(whole, 0);
    EXPECT_EQ(rowsConvert(input, dir / "rows.png", editingParams(), params), whole);
    EXPECT_TRUE(testsupport::readFile(dir / "whole.png") == testsupport::readFile(dir / "rows.png"));
}

TEST(ConvertByRows, aWriterThatFailsStopsTheLoadWithItsOwnResult)
{
    TempDir dir;
    const fs::path input = dir / "in.ppm";
    writePnm(input, "P6", 700, 1500, 3);
    // A device that refuses every write: the writer fails while rows still load.
    // The load stops at the first failed write, not after the last row.
    if (fs::exists("/dev/full")) {
        LoadParams params = editingParams();
        int rowsLoaded = 0;
        params.rowCallbackData = &rowsLoaded;
        params.rowCallback = [](int, int, void* data) { return ++*static_cast<int*>(data), 0; };
        EXPECT_EQ(rowsConvert(input, "/dev/full", params, saveAs(FormatJpeg)), ResultWriteError);
        EXPECT_GT(rowsLoaded, 0);
        EXPECT_LT(rowsLoaded, 1500);
    }
    // A folder that does not exist: the writer fails before it takes a row.
    EXPECT_EQ(rowsConvert(input, dir / "missing" / "out.jpg", editingParams(), saveAs(FormatJpeg)),
              ResultCannotCreate);
    EXPECT_EQ(writertest::fileCount(dir.path()), 1);
}

TEST(ConvertByRows, cancellingTheLoadLeavesNoFile)
{
    TempDir dir;
    const fs::path input = dir / "in.ppm";
    writePnm(input, "P6", 300, 900, 3);
    LoadParams params = editingParams();
    int rowsSeen = 0;
    params.rowCallbackData = &rowsSeen;
    params.cancelData = &rowsSeen;
    params.rowCallback = [](int, int, void* data) { return ++*static_cast<int*>(data), 0; };
    params.cancelCallback = [](void* data) { return *static_cast<int*>(data) >= 400 ? 1 : 0; };
    EXPECT_EQ(rowsConvert(input, dir / "out.jpg", params, saveAs(FormatJpeg)), ResultCancelled);
    EXPECT_EQ(rowsSeen, 400);
    EXPECT_EQ(writertest::fileCount(dir.path()), 1);
}

TEST(ConvertByRows, inputsThatFailBeforeThePictureGiveTheLoadResult)
{
    TempDir dir;
    EXPECT_EQ(rowsConvert(dir / "absent.ppm", dir / "out.jpg", editingParams(), saveAs(FormatJpeg)), ResultCannotOpen);
    testsupport::writeFile(dir / "junk.ppm", std::string("P6\n0 0\n255\n"));
    EXPECT_EQ(rowsConvert(dir / "junk.ppm", dir / "out.jpg", editingParams(), saveAs(FormatJpeg)),
              wholeConvert(dir / "junk.ppm", dir / "whole.jpg", editingParams(), saveAs(FormatJpeg)));
    EXPECT_FALSE(fs::exists(dir / "out.jpg"));
}

// Threads of this process, as the kernel lists them.
int threadCount()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/task")) ++count;
    return count;
}

TEST(ConvertByRows, jpegIsWrittenOnTheLoadsThreadAndPngOnAThreadOfItsOwn)
{
    TempDir dir;
    const fs::path input = dir / "in.ppm";
    writePnm(input, "P6", 300, 400, 3);
    for (const auto& [format, writerThreads] : {std::pair{FormatJpeg, 0}, std::pair{FormatPng, 1}}) {
        SCOPED_TRACE(format);
        LoadParams params = editingParams();
        int most = 0;
        params.rowCallbackData = &most;
        params.rowCallback = [](int, int, void* data) {
            int& seen = *static_cast<int*>(data);
            seen = std::max(seen, threadCount());
            return 0;
        };
        const int before = threadCount();
        ASSERT_EQ(rowsConvert(input, dir / "out", params, saveAs(format)), 0);
        EXPECT_EQ(most, before + writerThreads);
        EXPECT_GT(fs::file_size(dir / "out"), 1000u);
    }
}

TEST(ConvertByRows, theProgressBarIsTheOneAWholeSaveDraws)
{
    TempDir dir;
    const fs::path input = dir / "in.ppm";
    writePnm(input, "P6", 200, 333, 3);
    for (const int format : {FormatJpeg, FormatPng}) {
        SCOPED_TRACE(format);
        const SaveParams params = saveAs(format, [](SaveParams& s) { s.flags |= SaveProgressBar; });
        testing::internal::CaptureStderr();
        ASSERT_EQ(wholeConvert(input, dir / "whole", editingParams(), params), 0);
        const std::string whole = testing::internal::GetCapturedStderr();
        testing::internal::CaptureStderr();
        ASSERT_EQ(rowsConvert(input, dir / "rows", editingParams(), params), 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), whole);
        EXPECT_EQ(whole, std::string(60, '-') + "\r");
    }
}

}  // namespace

namespace {

// A consumer that keeps every row it is handed, as loadByRows's callers do
// with their own output.
struct RowCollector {
    std::vector<uint8_t> pixels;
    int failAfterRows = -1;  // >= 0: answers a write error after that many rows

    int operator()(const Bitmap& picture, RowHandoff& handoff)
    {
        if (!handoff.writerBegins(RowFormat{})) return ResultLayoutRefused;
        const size_t rowBytes = static_cast<size_t>(picture.width) * picture.bytesPerPixel;
        for (int y = 0; y < picture.height; ++y) {
            if (y == failAfterRows) return ResultWriteError;
            const uint8_t* row = handoff.rowForWriting(y);
            pixels.insert(pixels.end(), row, row + rowBytes);
        }
        return handoff.loadSucceeded() ? ResultOk : ResultCancelled;
    }
};

std::vector<uint8_t> packedPixels(const Bitmap& bitmap)
{
    std::vector<uint8_t> pixels;
    const size_t rowBytes = static_cast<size_t>(bitmap.width) * bitmap.bytesPerPixel;
    for (int y = 0; y < bitmap.height; ++y) pixels.insert(pixels.end(), bitmapRow(bitmap, y), bitmapRow(bitmap, y) + rowBytes);
    return pixels;
}

}  // namespace

TEST(LoadByRows, handsOverThePixelsAndFieldsOfAWholeLoad)
{
    TempDir dir;
    for (const Case& c : {Case{"ppm", ppm(333, 1201), ".ppm", 0, {}},
                          Case{"jpeg", jpegFile(640, 900, false), ".jpg", 0, {}},
                          Case{"jpeg-bgr", jpegFile(640, 900, true), ".jpg", 0, {},
                               [](LoadParams& p) { p.channelOrder = 1; }},
                          Case{"targa", targaFile(500, 700, true), ".tga", 0, {}}}) {
        SCOPED_TRACE(c.name);
        const fs::path input = makeInput(dir, c);
        const LoadParams params = loadParamsOf(c);
        Bitmap whole, described;
        ASSERT_EQ(loadBitmap(input.string(), whole, params, nullptr), 0);
        RowCollector collector;
        ASSERT_EQ(loadByRows(input.string(), described, params, nullptr, std::ref(collector)), 0);
        EXPECT_EQ(described.pixels, nullptr);
        EXPECT_EQ(described.width, whole.width);
        EXPECT_EQ(described.height, whole.height);
        EXPECT_EQ(described.type, whole.type);
        EXPECT_EQ(described.dpiX, whole.dpiX);
        EXPECT_TRUE(collector.pixels == packedPixels(whole));
        bitmapFree(whole);
        bitmapFree(described);
    }
}

TEST(LoadByRows, picturesThatNeedTheWholePictureHandNothingOver)
{
    TempDir dir;
    const fs::path input = dir / "in.ppm";
    writePnm(input, "P6", 300, 200, 3);
    LoadParams reduced = editingParams();
    reduced.maxWidth = reduced.maxHeight = 50;
    LoadParams bottomUp = editingParams();
    bottomUp.origin = OriginBottom;
    for (const LoadParams& params : {reduced, bottomUp}) {
        Bitmap described;
        RowCollector collector;
        EXPECT_EQ(loadByRows(input.string(), described, params, nullptr, std::ref(collector)), ConvertNeedsWholePicture);
        EXPECT_TRUE(collector.pixels.empty());
        bitmapFree(described);
    }
}

TEST(LoadByRows, aConsumerThatFailsStopsTheLoadAndALoadThatFailsTellsTheConsumer)
{
    TempDir dir;
    const fs::path input = dir / "in.ppm";
    writePnm(input, "P6", 700, 1500, 3);
    Bitmap described;
    RowCollector failing;
    failing.failAfterRows = 10;
    EXPECT_EQ(loadByRows(input.string(), described, editingParams(), nullptr, std::ref(failing)), ResultWriteError);
    bitmapFree(described);

    truncate(input, fs::file_size(input) / 2);
    RowCollector collector;
    EXPECT_EQ(loadByRows(input.string(), described, editingParams(), nullptr, std::ref(collector)), ResultReadError);
    bitmapFree(described);
}

namespace {

// A sink that keeps every row it is handed and notes on which thread.
struct SinkCollector : RowSink {
    std::vector<uint8_t> pixels;
    size_t rowBytes = 0;
    int begun = 0, rows = 0, ended = 0;
    bool loadSucceeded = false, otherThread = false;
    int beginAnswer = ResultOk;
    int failAfterRows = -1;  // >= 0: answers a write error for the row after that many

    int begin(const Bitmap& picture) override
    {
        ++begun;
        rowBytes = static_cast<size_t>(picture.width) * picture.bytesPerPixel;
        return beginAnswer;
    }
    int row(const uint8_t* row) override
    {
        otherThread |= std::this_thread::get_id() != caller;
        if (rows == failAfterRows) return ResultWriteError;
        ++rows;
        pixels.insert(pixels.end(), row, row + rowBytes);
        return ResultOk;
    }
    int end(bool succeeded) override
    {
        ++ended;
        loadSucceeded = succeeded;
        return succeeded ? ResultOk : ResultCancelled;
    }
    const std::thread::id caller = std::this_thread::get_id();
};

}  // namespace

TEST(LoadByRows, aSinkTakesTheRowsOfAWholeLoadOnTheLoadsThread)
{
    TempDir dir;
    for (const Case& c : {Case{"ppm", ppm(333, 1201), ".ppm", 0, {}},
                          Case{"jpeg", jpegFile(640, 900, false), ".jpg", 0, {}},
                          Case{"bmp", bmpFile(301, 700), ".bmp", 0, {}}}) {
        SCOPED_TRACE(c.name);
        const fs::path input = makeInput(dir, c);
        Bitmap whole, described;
        ASSERT_EQ(loadBitmap(input.string(), whole, editingParams(), nullptr), 0);
        SinkCollector sink;
        ASSERT_EQ(loadByRows(input.string(), described, editingParams(), nullptr, sink), 0);
        EXPECT_EQ(described.pixels, nullptr);
        EXPECT_EQ(described.height, whole.height);
        EXPECT_EQ(sink.rows, whole.height);
        EXPECT_EQ(sink.ended, 1);
        EXPECT_TRUE(sink.loadSucceeded);
        EXPECT_FALSE(sink.otherThread);
        EXPECT_TRUE(sink.pixels == packedPixels(whole));
        bitmapFree(whole);
        bitmapFree(described);
    }
}

TEST(LoadByRows, aSinkThatRefusesOrFailsAndALoadThatFails)
{
    TempDir dir;
    const fs::path input = dir / "in.ppm";
    writePnm(input, "P6", 700, 1500, 3);
    Bitmap described;

    SinkCollector refusing;
    refusing.beginAnswer = ResultLayoutRefused;
    EXPECT_EQ(loadByRows(input.string(), described, editingParams(), nullptr, refusing), ConvertNeedsWholePicture);
    EXPECT_EQ(refusing.rows + refusing.ended, 0);
    bitmapFree(described);

    SinkCollector unable;
    unable.beginAnswer = ResultCannotCreate;
    EXPECT_EQ(loadByRows(input.string(), described, editingParams(), nullptr, unable), ResultCannotCreate);
    EXPECT_EQ(unable.rows + unable.ended, 0);
    bitmapFree(described);

    // A row's error stops the load at once and is the result; the sink is not ended.
    SinkCollector failing;
    failing.failAfterRows = 10;
    EXPECT_EQ(loadByRows(input.string(), described, editingParams(), nullptr, failing), ResultWriteError);
    EXPECT_EQ(failing.rows, 10);
    EXPECT_EQ(failing.ended, 0);
    bitmapFree(described);

    // Bottom-up rows are refused before the sink is asked.
    LoadParams bottomUp = editingParams();
    bottomUp.origin = OriginBottom;
    SinkCollector untouched;
    EXPECT_EQ(loadByRows(input.string(), described, bottomUp, nullptr, untouched), ConvertNeedsWholePicture);
    EXPECT_EQ(untouched.begun, 0);
    bitmapFree(described);

    // A load that fails half-way tells the sink, whose file is not kept.
    truncate(input, fs::file_size(input) / 2);
    SinkCollector told;
    EXPECT_EQ(loadByRows(input.string(), described, editingParams(), nullptr, told), ResultReadError);
    EXPECT_EQ(told.ended, 1);
    EXPECT_FALSE(told.loadSucceeded);
    EXPECT_LT(told.rows, 1500);
    bitmapFree(described);
}
