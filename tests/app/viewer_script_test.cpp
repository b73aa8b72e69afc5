// The viewer through the script driver of the real program: pictures shown
// upright by each of the eight EXIF orientations (checked against
// ImageMagick's -auto-orient), the setting that turns that off, the wheel and
// a pinch zooming about their point, swipes stepping through the folder, and
// the view's state keys.
#include "tests/app/viewer_program_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace viewertest;
namespace fs = std::filesystem;

namespace {

class ViewerScript : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    ProgramRun program{dir.path()};

    void SetUp() override
    {
        if (!program.built()) SKIP_MISSING("fotrix is not built");
        if (!testsupport::haveTool("convert")) SKIP_MISSING("no ImageMagick convert");
        // No turning to the screen and no label: the picture shows as it is.
        program.storeSettings("\"RotateAuto\"=dword:00000000\n\"LabelInFull\"=dword:00000000\n");
    }
    void make(const std::string& name, const std::string& convertArguments)
    {
        std::string command = "convert " + convertArguments + " '" + (dir / "pics" / name).string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    void run(const std::string& first, const std::string& lines)
    {
        ASSERT_EQ(program.run(dir / "pics" / first, lines), 0) << program.errors();
    }
    std::string state(const std::string& file, const std::string& key) const { return program.state(file, key); }
};

// Four blocks of unequal size, so that every turn and mirror looks different.
const char* kQuadrants = "-size 90x60 xc:red -fill lime -draw 'rectangle 30,0 89,19' -fill blue "
                         "-draw 'rectangle 0,20 29,59' -fill yellow -draw 'rectangle 30,20 89,59'";

struct Rgba {
    int r, g, b;
};

Rgba at(const testsupport::Pixels& p, int x, int y)
{
    const uint8_t* q = p.data.data() + (static_cast<size_t>(y) * p.width + x) * 4;
    return Rgba{q[0], q[1], q[2]};
}

bool grey(Rgba c) { return std::abs(c.r - 128) < 24 && std::abs(c.g - 128) < 24 && std::abs(c.b - 128) < 24; }

// The picture's rectangle on a screenshot: what is not the grey background.
struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    int width() const { return x1 - x0 + 1; }
    int height() const { return y1 - y0 + 1; }
};
Box pictureOn(const testsupport::Pixels& shot)
{
    Box box;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (!grey(at(shot, x, y))) {
                box.x0 = std::min(box.x0, x);
                box.y0 = std::min(box.y0, y);
                box.x1 = std::max(box.x1, x);
                box.y1 = std::max(box.y1, y);
            }
    return box;
}

TEST_F(ViewerScript, every_exif_orientation_shows_the_picture_as_auto_orient_does)
{
    if (!testsupport::haveTool("exiftool")) SKIP_MISSING("no exiftool");
    std::string lines;
    for (int n = 1; n <= 8; ++n) {
        std::string name = "o" + std::to_string(n) + ".jpg";
        make(name, kQuadrants);
        fs::path file = dir / "pics" / name;
        std::string tag = "exiftool -q -n -overwrite_original -Orientation=" + std::to_string(n) + " '" + file.string() + "'";
        ASSERT_EQ(std::system(tag.c_str()), 0);
        std::string upright = "convert '" + file.string() + "' -auto-orient '" + (dir / ("want" + std::to_string(n) + ".png")).string() + "'";
        ASSERT_EQ(std::system(upright.c_str()), 0);
        lines += "screenshot shot" + std::to_string(n) + ".png\nstate state" + std::to_string(n) + ".txt\nkey RIGHT\n";
    }
    run("o1.jpg", lines);
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE("orientation " + std::to_string(n));
        testsupport::Pixels shot, want;
        ASSERT_TRUE(testsupport::decodeWithMagick(dir / ("shot" + std::to_string(n) + ".png"), shot));
        ASSERT_TRUE(testsupport::decodeWithMagick(dir / ("want" + std::to_string(n) + ".png"), want));
        EXPECT_EQ(state("state" + std::to_string(n) + ".txt", "loaded"),
                  std::to_string(want.width) + "x" + std::to_string(want.height));
        Box box = pictureOn(shot);
        ASSERT_EQ(box.width(), want.width);
        ASSERT_EQ(box.height(), want.height);
        for (double fx : {0.15, 0.85})
            for (double fy : {0.15, 0.85}) {
                Rgba got = at(shot, box.x0 + static_cast<int>(fx * box.width()), box.y0 + static_cast<int>(fy * box.height()));
                Rgba exp = at(want, static_cast<int>(fx * want.width), static_cast<int>(fy * want.height));
                EXPECT_NEAR(got.r, exp.r, 60) << fx << "," << fy;
                EXPECT_NEAR(got.g, exp.g, 60) << fx << "," << fy;
                EXPECT_NEAR(got.b, exp.b, 60) << fx << "," << fy;
            }
    }
}

TEST_F(ViewerScript, with_exif_orientation_off_the_stored_picture_is_shown)
{
    if (!testsupport::haveTool("exiftool")) SKIP_MISSING("no exiftool");
    program.storeSettings("\"RotateAuto\"=dword:00000000\n\"LabelInFull\"=dword:00000000\n"
                          "\"ExifOrientation\"=dword:00000000\n");
    make("six.jpg", kQuadrants);
    std::string tag = "exiftool -q -n -overwrite_original -Orientation=6 '" + (dir / "pics" / "six.jpg").string() + "'";
    ASSERT_EQ(std::system(tag.c_str()), 0);
    run("six.jpg", "state off.txt\n");
    EXPECT_EQ(state("off.txt", "loaded"), "90x60");
    EXPECT_EQ(state("off.txt", "full"), "90x60");
}

TEST_F(ViewerScript, the_wheel_zooms_along_the_ladder_about_the_pointer)
{
    make("wide.png", "-size 600x400 gradient:red-blue");
    // Fitted at 40 %: a notch up is 50 %, the point under the pointer stays.
    run("wide.png", "state fit.txt\n"
                    "wheel 120 160 1\n"
                    "state up.txt\n"
                    "wheel 40 160 1\n"
                    "state left.txt\n"
                    "wheel 40 160 -1\n"
                    "state down.txt\n");
    EXPECT_EQ(state("fit.txt", "view-zoom"), "40");
    EXPECT_EQ(state("fit.txt", "zoom-percent"), "-1");
    EXPECT_EQ(state("up.txt", "zoom-percent"), "50");
    EXPECT_EQ(state("up.txt", "view-zoom"), "50");
    EXPECT_EQ(state("up.txt", "view-origin"), "60 -120");  // the centre stays the centre
    // From 50 % to 70 % about x 40: picture column (40 + 30) * 2 = 140 stays there.
    EXPECT_EQ(state("left.txt", "zoom-percent"), "70");
    EXPECT_EQ(state("left.txt", "view-origin").substr(0, 3), "82 ");
    EXPECT_EQ(state("down.txt", "zoom-percent"), "50");
}

TEST_F(ViewerScript, a_pinch_scales_the_zoom_by_the_fingers_and_swipes_step_through_the_folder)
{
    make("a.png", "-size 600x400 gradient:red-blue");
    make("b.png", "-size 600x400 gradient:lime-blue");
    make("c.png", "-size 600x400 gradient:yellow-blue");
    run("a.png", "state start.txt\n"
                 "drag 200 160 40 160\n"
                 "state next.txt\n"
                 "drag 200 160 40 160\n"
                 "drag 40 160 200 160\n"
                 "state back.txt\n"
                 "pinch 120 160 40 80\n"
                 "state pinched.txt\n"
                 "drag 200 160 40 160\n"
                 "state panned.txt\n");
    EXPECT_EQ(state("start.txt", "current-index"), "0");
    EXPECT_EQ(state("next.txt", "current-index"), "1");
    EXPECT_EQ(state("back.txt", "current-index"), "1");
    // Twice the fingers' distance: twice the fitted 40 %.
    EXPECT_EQ(state("pinched.txt", "zoom-percent"), "80");
    EXPECT_EQ(state("pinched.txt", "view-zoom"), "80");
    // At 80 % the picture is wider than the screen: the drag pans it instead.
    EXPECT_EQ(state("panned.txt", "current-index"), "1");
    EXPECT_NE(state("panned.txt", "view-origin"), state("pinched.txt", "view-origin"));
    // The view's keys are there.
    EXPECT_EQ(state("start.txt", "selection"), "");
    EXPECT_EQ(state("start.txt", "rotated"), "0");
    EXPECT_EQ(state("start.txt", "gif-frames"), "0");
    EXPECT_NE(state("start.txt", "transition"), "<no transition>");
}

}  // namespace
