// The Resize tool's size list, orientation rule and linked fields.
#include <gtest/gtest.h>

#include "app/tools/resize_rules.h"

namespace {

using fotrix::PixelSize;
using fotrix::ResizeRequest;

PixelSize target(int choice, PixelSize source, ResizeRequest request = {})
{
    request.choice = choice;
    return fotrix::resizeTarget(request, source);
}

TEST(ResizeRules, fixed_sizes_follow_a_portrait_picture)
{
    EXPECT_EQ(target(fotrix::Resize320x240, {1200, 1600}), (PixelSize{240, 320}));
    EXPECT_EQ(target(fotrix::Resize320x240, {1600, 1200}), (PixelSize{320, 240}));
    EXPECT_EQ(target(fotrix::Resize1024x768, {768, 1024}), (PixelSize{768, 1024}));
    // A square picture is not taller than wide: the landscape size stays.
    EXPECT_EQ(target(fotrix::Resize160x120, {500, 500}), (PixelSize{160, 120}));
}

TEST(ResizeRules, width_240_keeps_the_proportion_and_its_orientation)
{
    EXPECT_EQ(target(fotrix::Resize240Wide, {1600, 1200}), (PixelSize{240, 180}));
    EXPECT_EQ(target(fotrix::Resize240Wide, {1200, 1600}), (PixelSize{240, 320}));
    // Truncating division: 240 * 100 / 333 = 72.07.
    EXPECT_EQ(target(fotrix::Resize240Wide, {333, 100}), (PixelSize{240, 72}));
}

TEST(ResizeRules, percentages_truncate_and_may_reach_zero)
{
    EXPECT_EQ(target(fotrix::Resize75Percent, {101, 33}), (PixelSize{75, 24}));
    EXPECT_EQ(target(fotrix::Resize50Percent, {7, 5}), (PixelSize{3, 2}));
    EXPECT_EQ(target(fotrix::Resize25Percent, {3, 3}), (PixelSize{0, 0}));
}

TEST(ResizeRules, user_size_fits_inside_the_box_with_keep_proportions)
{
    ResizeRequest request;
    request.user = {100, 100};
    EXPECT_EQ(target(fotrix::ResizeUserSize, {400, 200}, request), (PixelSize{100, 50}));
    EXPECT_EQ(target(fotrix::ResizeUserSize, {200, 400}, request), (PixelSize{50, 100}));
    request.keepProportions = false;
    request.user = {300, 120};
    // A landscape box on a portrait picture is turned by the orientation rule.
    EXPECT_EQ(target(fotrix::ResizeUserSize, {200, 400}, request), (PixelSize{120, 300}));
    EXPECT_EQ(target(fotrix::ResizeUserSize, {400, 200}, request), (PixelSize{300, 120}));
}

TEST(ResizeRules, screen_size_is_turned_to_the_picture)
{
    ResizeRequest request;
    request.screen = {240, 320};
    EXPECT_EQ(target(fotrix::ResizeFitScreen, {1600, 1200}, request), (PixelSize{320, 240}));
    EXPECT_EQ(target(fotrix::ResizeFitScreen, {1200, 1600}, request), (PixelSize{240, 320}));
    EXPECT_EQ(target(fotrix::ResizeFitScreen, {1000, 1000}, request), (PixelSize{240, 320}));
}

TEST(ResizeRules, linked_fields_and_the_list_texts)
{
    EXPECT_EQ(fotrix::linkedHeight({400, 200}, 101), 50);
    EXPECT_EQ(fotrix::linkedWidth({400, 200}, 51), 102);
    EXPECT_EQ(fotrix::linkedHeight({0, 200}, 101), 0);
    EXPECT_STREQ(fotrix::resizeListEntry(fotrix::Resize240Wide).key, "IDS_240_");
    EXPECT_STREQ(fotrix::resizeListEntry(fotrix::Resize25Percent).literal, "25%");
    EXPECT_EQ(fotrix::resizeListEntry(fotrix::Resize25Percent).key, nullptr);
}

TEST(ResizeRules, resolution_without_a_stored_value_shows_72)
{
    EXPECT_EQ(fotrix::shownResolution(0, 0), 72);
    EXPECT_EQ(fotrix::shownResolution(300, 0), 72);
    EXPECT_EQ(fotrix::shownResolution(300, 300), 300);
}

}  // namespace
