#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "image/image_buffer.h"
#include "image/image_info.h"

#include <gtest/gtest.h>

namespace {

struct CreateCase
{
    const char *name;
    std::int32_t width, height;
    std::uint8_t bytesPerPixel;
    std::int32_t rowPad;
    std::size_t stride;
};

TEST(ImageBuffer, CreateGeometry)
{
    const CreateCase cases[] = {
        { "1 px", 1, 2, 3, 3, 12 },  { "2 px", 2, 2, 3, 2, 12 }, { "3 px", 3, 2, 3, 1, 12 },
        { "4 px", 4, 2, 3, 0, 12 },  { "5 px rgb", 5, 2, 3, 3, 24 }, { "6 px", 6, 1, 1, 2, 8 },
        { "7 px", 7, 1, 1, 1, 8 },   { "5 px indexed", 5, 3, 1, 3, 8 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ImageBuffer image;
        image.create(c.width, c.height, c.bytesPerPixel, false);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.rowPad, c.rowPad);
        EXPECT_EQ(image.stride(), c.stride);
        ASSERT_NE(image.pixels, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(image.row(1 % c.height)) % 4, 0u);
        EXPECT_EQ(image.alpha, nullptr);
        EXPECT_EQ(image.transparent, -1);
        if (c.bytesPerPixel == 1) {
            ASSERT_NE(image.palette, nullptr);
            EXPECT_EQ(image.palette->count, 256);
            EXPECT_EQ(image.palette->version, 0x300);
            EXPECT_TRUE(image.ownsPalette);
        } else {
            EXPECT_EQ(image.palette, nullptr);
        }
    }
}

TEST(ImageBuffer, SizesBelowOneGiveAnEmptyBuffer)
{
    const std::int32_t sizes[][2] = { { 0, 10 }, { -5, 10 }, { 10, 0 }, { 10, -1 } };
    for (const auto &s : sizes) {
        ImageBuffer image;
        image.create(s[0], s[1], 1, true);
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.height, 0);
        EXPECT_FALSE(image.hasPixels());
        EXPECT_EQ(image.palette, nullptr);
    }
}

TEST(ImageBuffer, HugeSizesAreRefusedWithoutAllocating)
{
    ImageBuffer image;
    image.create(3, 3, 1, false);
    const std::int32_t sizes[][2] = { { 100000, 100000 }, { INT32_MAX, 2 }, { INT32_MAX, INT32_MAX } };
    for (const auto &s : sizes) {
        try {
            image.create(s[0], s[1], 3, false);
            FAIL() << "no exception for " << s[0] << " x " << s[1];
        } catch (const CAlbException &e) {
            EXPECT_EQ(e.messageId, Msg::NotEnoughMemory);
            EXPECT_EQ(e.module, 0u);
        }
        EXPECT_FALSE(image.hasPixels());
        EXPECT_EQ(image.width, 0);
    }
}

TEST(ImageBuffer, AlphaPlaneHasTheSameGeometry)
{
    ImageBuffer image;
    image.create(5, 2, 3, true);
    ASSERT_NE(image.alpha, nullptr);
    image.alpha[7] = 200; // the last byte of the first row, padding included
    ImageBuffer moved(std::move(image));
    EXPECT_EQ(moved.alpha[7], 200);
    EXPECT_FALSE(image.hasPixels());
}

// A 2 x 1 indexed picture with the given palette colours and transparent index.
ImageBuffer indexedPicture(std::initializer_list<PaletteEntry> colours, std::int32_t transparent)
{
    ImageBuffer image;
    image.create(2, 1, 1, false);
    image.palette->count = static_cast<std::uint16_t>(colours.size());
    int i = 0;
    for (const auto &c : colours)
        image.palette->entries[i++] = c;
    image.pixels[0] = 0;
    image.pixels[1] = 5;
    image.transparent = transparent;
    return image;
}

TEST(ImageBuffer, EnsureTrueColourIsolatesASharedTransparentColour)
{
    ImageBuffer image = indexedPicture({ {}, { 1, 1, 1 }, {}, {}, {}, {} }, 5);
    image.ensureTrueColour();
    EXPECT_EQ(image.bytesPerPixel, 3);
    EXPECT_EQ(image.palette, nullptr);
    EXPECT_EQ(image.transparent, MakeRgb(127, 128, 129));
    const std::uint8_t expected[] = { 0, 0, 0, 129, 128, 127 };
    EXPECT_TRUE(std::equal(expected, expected + 6, image.pixels));
}

TEST(ImageBuffer, EnsureTrueColourKeepsAUniqueTransparentColour)
{
    ImageBuffer image = indexedPicture({ { 9, 9, 9 }, {}, {}, {}, {}, { 10, 20, 30 } }, 5);
    image.ensureTrueColour();
    EXPECT_EQ(image.transparent, MakeRgb(10, 20, 30));
}

TEST(ImageBuffer, IsolationAvoidsAColourAlreadyInThePalette)
{
    ImageBuffer image = indexedPicture({ {}, { 127, 128, 129 }, {}, {}, {}, {} }, 5);
    image.isolateTransparentColour();
    const PaletteEntry &key = image.palette->entries[5];
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(image.palette->entries[i].sameColour(key)) << i;
}

TEST(ImageBuffer, TransparentIndexPastThePaletteIsDropped)
{
    ImageBuffer image = indexedPicture({ {}, {} }, 5);
    image.ensureTrueColour();
    EXPECT_EQ(image.transparent, -1);
    EXPECT_EQ(image.bytesPerPixel, 3);
}

TEST(ImageBuffer, EnsureTrueColourLeavesEmptyAndColourImagesAlone)
{
    ImageBuffer empty;
    empty.ensureTrueColour();
    EXPECT_EQ(empty.bytesPerPixel, 0);
    ImageBuffer colour;
    colour.create(3, 1, 3, false);
    std::uint8_t *before = colour.pixels;
    colour.ensureTrueColour();
    EXPECT_EQ(colour.pixels, before);
}

TEST(ImageBuffer, EnsureTrueColourCopiesTheAlphaPlane)
{
    ImageBuffer image;
    image.create(2, 2, 1, true);
    image.alpha[4] = 77;
    image.ensureTrueColour();
    ASSERT_NE(image.alpha, nullptr);
    EXPECT_EQ(image.alpha[4], 77);
}

TEST(ImageInfo, ColourCounts)
{
    EXPECT_EQ(ColourCountFor(8, true), 257);
    EXPECT_EQ(ColourCountFor(24, false), 16777216);
    EXPECT_EQ(ColourCountFor(8, false), 256);
    EXPECT_EQ(ColourCountFor(32, false), 0);

    ImageInfo gif;
    gif.colourCount = 256;
    EXPECT_EQ(ShownColourCount(gif, nullptr), 256);
    gif.globalPalette = std::make_unique<ImagePalette>();
    gif.globalPalette->count = 16;
    EXPECT_EQ(ShownColourCount(gif, nullptr), 16);
    ImageInfo gray;
    gray.colourCount = 257;
    EXPECT_EQ(ShownColourText(gray, nullptr), "Grayscale");
    ImagePalette framePalette;
    framePalette.count = 4;
    ImageInfo bmp;
    bmp.colourCount = 16;
    EXPECT_EQ(ShownColourText(bmp, &framePalette), "4");
}

} // namespace
