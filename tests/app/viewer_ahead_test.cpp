// The main view beyond the stylus: pictures upright by their EXIF
// orientation (with the decoding box turned along), decode-ahead of the next
// picture (taken when it is the one shown, cancelled when the user goes
// elsewhere, never stale), and zooming about a point as the wheel and a
// pinch do.
#include "tests/app/viewer_main_fixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <sys/resource.h>
#include <zlib.h>

using namespace fotrix;
using namespace viewertest;
namespace fs = std::filesystem;

namespace {

void waitForDecodeAhead()
{
    for (int i = 0; i < 500 && DecodeAheadBusy(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(DecodeAheadBusy());
}

void putU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void putChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    putU32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putU32(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

// A 1-bit grey PNG of side x side pixels, black and white bands of 1000 rows,
// deflated row by row (a few hundred kB for 30000 x 30000).
std::vector<uint8_t> bandedPng(uint32_t side)
{
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putU32(header, side);
    putU32(header, side);
    header.insert(header.end(), {1, 0, 0, 0, 0});
    putChunk(png, "IHDR", header);
    z_stream z{};
    deflateInit(&z, 1);
    std::vector<uint8_t> row(1 + (side + 7) / 8), compressed, buffer(1 << 16);
    for (uint32_t y = 0; y < side; ++y) {
        std::fill(row.begin() + 1, row.end(), (y / 1000) % 2 ? 0xFF : 0x00);
        z.next_in = row.data();
        z.avail_in = static_cast<uInt>(row.size());
        int flush = y + 1 == side ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, flush);
            compressed.insert(compressed.end(), buffer.data(), buffer.data() + (buffer.size() - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    putChunk(png, "IDAT", compressed);
    putChunk(png, "IEND", {});
    return png;
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class ViewerMore : public MainView {
protected:
    bool hasExiftool = std::system("command -v exiftool >/dev/null 2>&1") == 0;
    // Tags a listed file with an EXIF orientation.
    void tagOrientation(int index, int orientation)
    {
        std::string command = "exiftool -q -n -overwrite_original -Orientation=" + std::to_string(orientation) + " '" +
                              gApp.files[static_cast<size_t>(index)].path + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
};

TEST_F(ViewerMore, a_picture_turned_by_its_exif_orientation_is_decoded_into_the_upright_box)
{
    if (!hasExiftool || !testsupport::haveTool("convert")) SKIP_MISSING("no exiftool or ImageMagick");
    // Blue with a red block at the stored top left.
    std::string path = (dir / "turned.jpg").string();
    ASSERT_EQ(std::system(("convert -size 4000x3000 xc:blue -fill red -draw 'rectangle 0,0 999,749' '" + path + "'").c_str()), 0);
    int index = addFile(path);
    tagOrientation(index, 6);
    LoadIntoView(index, 0, false);
    EXPECT_TRUE(boxTexts.empty());
    // Upright it is 3000 x 4000: the screen box is used as it stands, and the
    // decoder got it turned (320 x 240 for the stored 4000 x 3000).
    EXPECT_EQ(gApp.fullWidth, 3000);
    EXPECT_EQ(gApp.fullHeight, 4000);
    EXPECT_EQ(gApp.requestedWidth, 240);
    EXPECT_EQ(gApp.requestedHeight, 320);
    EXPECT_EQ(gApp.loadedWidth, 240);
    EXPECT_EQ(gApp.loadedHeight, 320);
    EXPECT_EQ(gApp.rotated, 0);
    // The stored top left block is now at the top right (a quarter turn right).
    Bitmap* shown = GetViewBitmap(gApp.viewWindow);
    ASSERT_NE(shown, nullptr);
    const uint8_t* topRight = bitmapRow(*shown, 10) + (shown->width - 10) * 3;
    const uint8_t* topLeft = bitmapRow(*shown, 10) + 10 * 3;
    EXPECT_GT(topRight[2], 200);  // red
    EXPECT_LT(topRight[0], 60);
    EXPECT_LT(topLeft[2], 60);  // blue
    EXPECT_GT(topLeft[0], 200);
    // Zooming to 50 % decodes the upright 1500 x 2000 box.
    RunViewerCommand(gApp.mainWindow, CmdZoom50);
    EXPECT_EQ(gApp.requestedWidth, 1500);
    EXPECT_EQ(gApp.requestedHeight, 2000);
    EXPECT_EQ(gApp.loadedWidth, 1500);
    EXPECT_EQ(gApp.loadedHeight, 2000);
}

TEST_F(ViewerMore, with_the_setting_off_the_picture_shows_as_stored)
{
    if (!hasExiftool) SKIP_MISSING("no exiftool");
    int index = addJpeg("turned.jpg", 4000, 3000);
    tagOrientation(index, 8);
    gApp.exifOrientation = 0;
    LoadIntoView(index, 0, false);
    EXPECT_EQ(gApp.fullWidth, 4000);
    EXPECT_EQ(gApp.loadedWidth, 240);
    EXPECT_EQ(gApp.loadedHeight, 180);
}

TEST_F(ViewerMore, the_next_picture_is_decoded_ahead_and_taken_when_shown)
{
    for (int i = 0; i < 4; ++i) addJpeg("p" + std::to_string(i) + ".jpg", 300 + 10 * i, 200);
    LoadIntoView(0, 0, false);
    EXPECT_EQ(DecodeAheadJob().path, gApp.files[1].path);
    waitForDecodeAhead();
    int taken = DecodeAheadTaken();
    LoadIntoView(1, 0, false);
    EXPECT_EQ(DecodeAheadTaken(), taken + 1);
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 310);
    EXPECT_EQ(gApp.loadedWidth, 310);
    EXPECT_EQ(DecodeAheadJob().path, gApp.files[2].path);
    // Going back decodes ahead backwards; jumping elsewhere drops that job
    // unused, and the last entry's next one is the first.
    LoadIntoView(0, 0, false);
    EXPECT_EQ(DecodeAheadJob().path, gApp.files[3].path);
    LoadIntoView(2, 0, false);
    EXPECT_EQ(DecodeAheadTaken(), taken + 1);
    EXPECT_EQ(gApp.loadedWidth, 320);
    EXPECT_EQ(DecodeAheadJob().path, gApp.files[3].path);
    LoadIntoView(3, 0, false);
    EXPECT_EQ(gApp.loadedWidth, 330);
    EXPECT_EQ(DecodeAheadJob().path, gApp.files[0].path);
    EXPECT_TRUE(boxTexts.empty());
}

TEST_F(ViewerMore, a_picture_rewritten_or_removed_after_its_decoding_ahead_is_not_shown_stale)
{
    addJpeg("a.jpg", 300, 200);
    addJpeg("b.jpg", 310, 200);
    addJpeg("c.jpg", 320, 200);
    LoadIntoView(0, 0, false);
    waitForDecodeAhead();
    int taken = DecodeAheadTaken();
    // b.jpg changes under the finished decoding: the view shows the new one.
    std::string b = gApp.files[1].path;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    addJpeg("b.jpg", 150, 100);
    gApp.files.pop_back();
    LoadIntoView(1, 0, false);
    EXPECT_EQ(DecodeAheadTaken(), taken);
    EXPECT_EQ(gApp.loadedWidth, 150);
    // c.jpg goes away: the usual message, and the viewer goes on.
    waitForDecodeAhead();
    fs::remove(gApp.files[2].path);
    LoadIntoView(2, 0, false);
    ASSERT_EQ(boxTexts.size(), 1u);
    EXPECT_NE(boxTexts[0].find("c.jpg"), std::string::npos) << boxTexts[0];
    EXPECT_EQ(GetPictureSize(gApp.viewWindow).cx, 0);
    LoadIntoView(0, 0, false);
    EXPECT_EQ(gApp.loadedWidth, 300);
}

TEST_F(ViewerMore, stopping_cancels_a_decoding_under_way)
{
    addJpeg("a.jpg", 300, 200);
    addJpeg("big.jpg", 2400, 2400);
    gApp.zoomPercent = 100;  // the next one is decoded in full: long enough to catch
    LoadIntoView(0, 0, false);
    EXPECT_EQ(DecodeAheadJob().path, gApp.files[1].path);
    StopDecodeAhead();
    EXPECT_FALSE(DecodeAheadBusy());
    EXPECT_TRUE(DecodeAheadJob().path.empty());
}

TEST_F(ViewerMore, zooming_about_a_point_keeps_that_point_under_it)
{
    int index = addJpeg("p.jpg", 600, 400);
    LoadIntoView(index, 0, false);
    ASSERT_EQ(ViewGetZoom(), 40);  // 600 x 400 fitted to 240 wide
    // The picture point under client (60, 134) stays there at 150 %.
    POINT at{60, 134};
    POINT before = FullPointAt(at);
    ZoomAbout(150, before, at);
    EXPECT_EQ(gApp.zoomPercent, 150);
    EXPECT_EQ(ViewGetZoom(), 150);
    POINT after = FullPointAt(at);
    EXPECT_NEAR(after.x, before.x, 1);
    EXPECT_NEAR(after.y, before.y, 1);
    // Out of range is held to what the view can show.
    ZoomAbout(5000, before, at);
    EXPECT_EQ(ViewGetZoom(), 1199);
}

TEST_F(ViewerMore, zooming_about_a_point_of_a_reduced_picture_decodes_it_again)
{
    int index = addJpeg("big.jpg", 4000, 3000);
    LoadIntoView(index, 0, false);
    ASSERT_EQ(gApp.loadedFull, 0);
    POINT at{200, 100};
    POINT before = FullPointAt(at);
    ZoomAbout(50, before, at);
    EXPECT_EQ(gApp.requestedWidth, 2000);
    EXPECT_EQ(gApp.loadedWidth, 2000);
    EXPECT_EQ(ViewGetZoom(), 100);
    POINT after = FullPointAt(at);
    EXPECT_NEAR(after.x, before.x, 2);
    EXPECT_NEAR(after.y, before.y, 2);
}

TEST_F(ViewerMore, a_30000_pixel_square_is_shown_reduced_without_its_full_size_in_memory)
{
    fs::path path = dir / "huge.png";
    testsupport::writeFile(path, bandedPng(30000));
    int index = addFile(path.string());
    long before = peakKilobytes();
    LoadIntoView(index, 0, false);
    EXPECT_TRUE(boxTexts.empty());
    EXPECT_EQ(gApp.fullWidth, 30000);
    EXPECT_EQ(gApp.loadedFull, 0);
    EXPECT_EQ(gApp.loadedWidth, 240);
    EXPECT_EQ(gApp.loadedHeight, 240);
    // In full it would be 112 MB as stored and 2.7 GB as the view's colours.
    EXPECT_LT(peakKilobytes() - before, 64 * 1024);
    // The first band is black, the second (rows 1000 to 1999: display rows 8
    // to 15, the picture centred 14 pixels down) white.
    pump();
    EXPECT_EQ(viewPixel(gApp.viewWindow, 100, 14 + 2), RGB(0, 0, 0));
    EXPECT_EQ(viewPixel(gApp.viewWindow, 100, 14 + 12), RGB(255, 255, 255));
}

}  // namespace
