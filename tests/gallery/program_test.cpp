// The gallery program run headless: it lists its pages, and writes each page as
// a PNG of exactly the screen's size that shows the page's own controls.
#include "tests/support/platform_support.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace {

std::string gallery() { return (testsupport::binaryDir() / "gallery" / "fotrix-gallery").string(); }

int runGallery(const std::string& args, std::string* output = nullptr)
{
    return testsupport::run("'" + gallery() + "' " + args + " 2>&1", output);
}

struct PageLine {
    int number;
    std::string name;
    std::string title;
};

std::vector<PageLine> listPages()
{
    std::string text;
    EXPECT_EQ(runGallery("--list-pages", &text), 0) << text;
    std::vector<PageLine> pages;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        PageLine page;
        std::istringstream fields(line);
        std::string number;
        std::getline(fields, number, '\t');
        std::getline(fields, page.name, '\t');
        std::getline(fields, page.title);
        page.number = std::stoi(number);
        pages.push_back(page);
    }
    return pages;
}

struct Shot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    // Distinct colours in rows [top, bottom), and the share of pixels that are
    // not the commonest colour (the background).
    size_t colours(int top, int bottom, double* drawnShare = nullptr) const
    {
        std::map<uint32_t, size_t> seen;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
                ++seen[p[0] << 16 | p[1] << 8 | p[2]];
            }
        size_t most = 0, all = static_cast<size_t>(bottom - top) * width;
        for (const auto& [colour, count] : seen) most = std::max(most, count);
        if (drawnShare) *drawnShare = all ? 1.0 - static_cast<double>(most) / all : 0;
        return seen.size();
    }
    bool rowsEqual(const Shot& other, int top, int bottom) const
    {
        size_t begin = static_cast<size_t>(top) * width * 3, end = static_cast<size_t>(bottom) * width * 3;
        return std::equal(rgb.begin() + begin, rgb.begin() + end, other.rgb.begin() + begin);
    }
};

Shot shoot(const std::string& page, const std::string& screen)
{
    testsupport::TempDir dir;
    std::string path = (dir / "page.png").string(), output;
    Shot shot;
    EXPECT_EQ(runGallery("--headless --page " + page + " " + screen + " --screenshot '" + path + "'", &output), 0) << output;
    EXPECT_TRUE(platformtest::readPng(path, shot.width, shot.height, shot.rgb)) << page << " " << screen;
    return shot;
}

TEST(GalleryProgram, lists_numbered_pages_with_unique_names)
{
    std::vector<PageLine> pages = listPages();
    ASSERT_GE(pages.size(), 4u);
    std::set<std::string> names;
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].number, static_cast<int>(i + 1));
        EXPECT_FALSE(pages[i].name.empty());
        EXPECT_EQ(pages[i].name.find(' '), std::string::npos) << pages[i].name;
        EXPECT_FALSE(pages[i].title.empty());
        names.insert(pages[i].name);
    }
    EXPECT_EQ(names.size(), pages.size());
    for (const char* expected : {"buttons", "statics", "progress", "trackbars"}) EXPECT_TRUE(names.count(expected)) << expected;
}

// Every page at both screen sizes: exactly the screen's size, many colours in
// the page area, and a page area unlike every other page's.
TEST(GalleryProgram, every_page_is_a_full_size_picture_of_its_own_controls)
{
    std::vector<PageLine> pages = listPages();
    struct Screen {
        const char* args;
        int width, height;
    };
    for (Screen screen : {Screen{"--screen 240x320", 240, 320}, Screen{"--screen 480x640 --dpi 192", 480, 640}}) {
        std::vector<Shot> shots;
        for (const PageLine& page : pages) {
            Shot shot = shoot(page.name, screen.args);
            ASSERT_EQ(shot.width, screen.width) << page.name;
            ASSERT_EQ(shot.height, screen.height) << page.name;
            // The middle half of the screen lies within the page on every screen:
            // controls there in several colours, covering a fair part of it.
            double drawn = 0;
            EXPECT_GE(shot.colours(screen.height / 4, screen.height * 3 / 4, &drawn), 4u) << page.name << " " << screen.args;
            EXPECT_GT(drawn, 0.05) << page.name << " " << screen.args;
            shots.push_back(std::move(shot));
        }
        for (size_t a = 0; a < shots.size(); ++a)
            for (size_t b = a + 1; b < shots.size(); ++b)
                EXPECT_FALSE(shots[a].rowsEqual(shots[b], screen.height / 4, screen.height * 3 / 4))
                    << pages[a].name << " and " << pages[b].name << " look the same";
    }
}

TEST(GalleryProgram, pages_are_found_by_number_or_name_and_unknown_ones_refused)
{
    Shot byNumber = shoot("2", "--screen 240x320");
    std::vector<PageLine> pages = listPages();
    Shot byName = shoot(pages[1].name, "--screen 240x320");
    EXPECT_TRUE(!byNumber.rgb.empty() && byNumber.rgb == byName.rgb);
    std::string output;
    EXPECT_NE(runGallery("--headless --page 0 --screenshot /dev/null", &output), 0);
    EXPECT_NE(runGallery("--headless --page " + std::to_string(pages.size() + 1) + " --screenshot /dev/null", &output), 0);
    EXPECT_NE(runGallery("--headless --page nosuchpage --screenshot /dev/null", &output), 0);
    EXPECT_NE(output.find("no page nosuchpage"), std::string::npos) << output;
    // Headless without a screenshot would wait for ever.
    EXPECT_NE(runGallery("--headless", &output), 0);
}

}  // namespace
