// The Bitmap record: geometry of each type, palettes, rectangles, attributes.
#include <gtest/gtest.h>

#include <cstring>

#include "imagelib/bitmap.h"
#include "tests/support/bitmap_support.h"

using namespace fotrix;

namespace {

using Allocated = testsupport::OwnedBitmap;

TEST(Bitmap, RowsArePaddedToTheAlignment)
{
    Allocated a, b, c, d;
    ASSERT_EQ(bitmapAllocate(a.bitmap, Rgb, 4, 1, 1), 1);
    EXPECT_EQ(a.bitmap.bytesPerRow, 4u);
    ASSERT_EQ(bitmapAllocate(b.bitmap, Rgb, 1, 1, 1), 1);
    EXPECT_EQ(b.bitmap.bytesPerRow, 3u);
    ASSERT_EQ(bitmapAllocate(c.bitmap, Binary, 4, 17, 2), 1);
    EXPECT_EQ(c.bitmap.bytesPerRow, 4u);
    ASSERT_EQ(bitmapAllocate(d.bitmap, Binary, 1, 17, 2), 1);
    EXPECT_EQ(d.bitmap.bytesPerRow, 3u);
    EXPECT_EQ(d.bitmap.colorCount, 2);
}

TEST(Bitmap, MasksResolveToOneConcreteType)
{
    struct Case {
        unsigned type;
        uint16_t expected;
        int components;
    } cases[] = {{Any32, Rgba, 4}, {Cmyk, Cmyk, 4}, {Bgr, Bgr, 3}, {Any24, Rgb, 3}, {AnyTrueColour, Rgb, 3}, {Grey, Grey, 1}};
    for (const Case& c : cases) {
        Allocated a;
        ASSERT_EQ(bitmapAllocate(a.bitmap, c.type, 4, 5, 5), 1);
        EXPECT_EQ(a.bitmap.type, c.expected) << c.type;
        EXPECT_EQ(a.bitmap.componentCount, c.components) << c.type;
        EXPECT_EQ(a.bitmap.bytesPerPixel, c.components) << c.type;
    }
}

TEST(Bitmap, OnlyIndexedBitmapsCarryAZeroedPalette)
{
    Allocated indexed, grey;
    ASSERT_EQ(bitmapAllocate(indexed.bitmap, Indexed, 4, 3, 3), 1);
    ASSERT_NE(indexed.bitmap.palette, nullptr);
    uint8_t zeros[PaletteBytes] = {};
    EXPECT_EQ(std::memcmp(indexed.bitmap.palette, zeros, PaletteBytes), 0);
    EXPECT_EQ(indexed.bitmap.colorCount, 256);
    ASSERT_EQ(bitmapAllocate(grey.bitmap, Grey, 4, 3, 3), 1);
    EXPECT_EQ(grey.bitmap.palette, nullptr);
}

TEST(Bitmap, PaddingBytesAreZeroAfterAllocation)
{
    Allocated a;
    ASSERT_EQ(bitmapAllocate(a.bitmap, Rgb, 8, 3, 4), 1);
    for (uint32_t i = 0; i < a.bitmap.bytesPerRow * 4; ++i) ASSERT_EQ(a.bitmap.pixels[i], 0);
}

TEST(Bitmap, DeepAllocationDoublesThePixel)
{
    Allocated a;
    ASSERT_EQ(bitmapAllocateDeep(a.bitmap, Rgb, 1, 10, 2, 16), 1);
    EXPECT_EQ(a.bitmap.bytesPerPixel, 6);
    EXPECT_EQ(a.bitmap.bytesPerRow, 60u);
    EXPECT_EQ(a.bitmap.bitsPerComponent, 16);
}

TEST(Bitmap, ClipRectKeepsThePartInside)
{
    Allocated a;
    ASSERT_EQ(bitmapAllocate(a.bitmap, Grey, 1, 4, 4), 1);
    Rect out;
    const Rect overhanging{-5, -5, 10, 10};
    EXPECT_EQ(bitmapClipRect(a.bitmap, &overhanging, out), 0);
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, 0);
    EXPECT_EQ(out.w, 4);
    EXPECT_EQ(out.h, 4);
    const Rect outside{10, 0, 5, 5};
    EXPECT_EQ(bitmapClipRect(a.bitmap, &outside, out), 16);
    EXPECT_EQ(bitmapClipRect(a.bitmap, nullptr, out), 0);
    EXPECT_EQ(out.w, 4);
    const Rect huge{2, 2, INT32_MAX, INT32_MAX};  // must not overflow
    EXPECT_EQ(bitmapClipRect(a.bitmap, &huge, out), 0);
    EXPECT_EQ(out.w, 2);
}

TEST(Bitmap, FreeingAnEmptyRecordTwiceIsHarmless)
{
    Bitmap bitmap;
    bitmapFree(bitmap);
    bitmapFree(bitmap);
    EXPECT_EQ(bitmap.pixels, nullptr);
}

TEST(Bitmap, CopyAttributesKeepsMetadataOrderAndCopiesDeeply)
{
    Allocated source, target;
    ASSERT_EQ(bitmapAllocate(source.bitmap, Rgb, 4, 2, 2), 1);
    const uint8_t exif[] = {'E', 'x', 'i', 'f', 0, 0};
    const uint8_t icc[] = {1, 2, 3};
    const uint8_t iptc[] = {9};
    metadataAppend(source.bitmap.metadata, MetaExif, exif, sizeof exif);
    metadataAppend(source.bitmap.metadata, MetaIcc, icc, sizeof icc);
    metadataAppend(source.bitmap.metadata, MetaIptc, iptc, sizeof iptc);
    source.bitmap.comment = strdup("a comment");
    source.bitmap.dpiX = 300;
    source.bitmap.origin = OriginBottom;
    ASSERT_EQ(bitmapAllocateLike(target.bitmap, Grey, source.bitmap), 0);
    const uint32_t kinds[] = {MetaExif, MetaIcc, MetaIptc};
    const MetadataBlock* block = target.bitmap.metadata;
    for (uint32_t kind : kinds) {
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block->kind, kind);
        block = block->next;
    }
    EXPECT_EQ(block, nullptr);
    EXPECT_NE(target.bitmap.metadata->data, source.bitmap.metadata->data);
    EXPECT_STREQ(target.bitmap.comment, "a comment");
    EXPECT_NE(target.bitmap.comment, source.bitmap.comment);
    EXPECT_EQ(target.bitmap.dpiX, 300u);
    EXPECT_EQ(target.bitmap.origin, OriginBottom);
}

TEST(Bitmap, BitOperationsAddressMostSignificantBitFirst)
{
    uint8_t row[2] = {0, 0};
    bitSet(row, 0, 1);
    bitSet(row, 9, 1);
    EXPECT_EQ(row[0], 0x80);
    EXPECT_EQ(row[1], 0x40);
    EXPECT_EQ(bitGet(row, 9), 1);
    bitSet(row, 0, 0);
    EXPECT_EQ(row[0], 0);
}

}  // namespace
