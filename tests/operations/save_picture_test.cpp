// The save routine's core: crop cut to the picture, conversion by format and colours, and what
// the written files hold when read back.
#include "operations/save_picture.h"

#include "codecs/detecting_codec.h"
#include "codecs/image_description.h"
#include "codecs/picture_background.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/temp_dir.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kBmp = 1, kJpeg = 2, kGif = 3, kPng = 4;

// A 3-byte picture in which pixel (x, y) is blue x, green y, red x + y: every pixel differs
// while x, y < 256 and the picture is more colourful than any palette.
ImageBuffer trueColour(std::int32_t width, std::int32_t height)
{
    ImageBuffer image;
    image.create(width, height, 3, false);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint8_t *p = image.row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x * 5);
            p[1] = static_cast<std::uint8_t>(y * 7);
            p[2] = static_cast<std::uint8_t>(x + y * 3);
        }
    return image;
}

// A 1-byte picture of width x height whose pixel (x, y) is (x + y) % entries, with a palette
// of entries distinct colours.
ImageBuffer indexed(std::int32_t width, std::int32_t height, int entries)
{
    ImageBuffer image;
    image.create(width, height, 1, false);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            image.row(y)[x] = static_cast<std::uint8_t>((x + y) % entries);
    image.palette->count = static_cast<std::uint16_t>(entries);
    for (int i = 0; i < entries; ++i)
        image.palette->entries[i] = { std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 3),
                                      0 };
    return image;
}

ImageBuffer decodeFirst(const std::string &path)
{
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    return std::move(frames.at(0)->image);
}

int bmpBits(const Bytes &file)
{
    return file.at(28) | (file.at(29) << 8);
}

// The global colour table size the logical screen descriptor of a GIF states.
int gifTableSize(const Bytes &file)
{
    return 2 << (file.at(10) & 7);
}

TEST(SavePicture, BmpDepthFollowsColoursAndThePalettesOwnSize)
{
    struct Case
    {
        const char *name;
        int sourceEntries; // 0: a 3-byte source
        std::int32_t colours;
        int bits;
    };

    const Case cases[] = {
        { "true colour as 2 colours", 0, 2, 1 },
        { "true colour as 16 colours", 0, 16, 4 },
        { "true colour as 256 colours", 0, 256, 8 },
        { "true colour as 24 bits", 0, kTrueColourCount, 24 },
        { "4 entries kept for 256", 4, 256, 4 },
        { "4 entries kept for 16", 4, 16, 4 },
        { "200 entries reduced to 16", 200, 16, 4 },
        { "200 entries reduced to 2", 200, 2, 1 },
        { "200 entries expanded to 24 bits", 200, kTrueColourCount, 24 },
    };
    TempDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ImageBuffer image = c.sourceEntries ? indexed(37, 21, c.sourceEntries) : trueColour(37, 21);
        const std::string path = dir.file("out.bmp");
        SaveDecodedPicture(image, path, { kBmp, 0, 0, c.colours }, nullptr);
        const Bytes file = ReadBytes(path);
        EXPECT_EQ(bmpBits(file), c.bits);
        const ImageBuffer back = decodeFirst(path);
        EXPECT_EQ(back.width, 37);
        EXPECT_EQ(back.height, 21);
        if (c.bits < 24) {
            ASSERT_NE(back.palette, nullptr);
            EXPECT_LE(back.palette->count, 1 << c.bits);
        }
    }
}

TEST(SavePicture, SmallPaletteIsWrittenUnchanged)
{
    TempDir dir;
    ImageBuffer image = indexed(9, 5, 4);
    SaveDecodedPicture(image, dir.file("p.bmp"), { kBmp, 0, 0, 256 }, nullptr);
    const ImageBuffer back = decodeFirst(dir.file("p.bmp"));
    ASSERT_EQ(back.bytesPerPixel, 1);
    for (std::int32_t y = 0; y < 5; ++y)
        for (std::int32_t x = 0; x < 9; ++x)
            ASSERT_EQ(back.row(y)[x], image.row(y)[x]) << x << "," << y;
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(back.palette->entries[i].sameColour(image.palette->entries[i]));
}

TEST(SavePicture, GifColourLimitIsThePowerOfTwoAtOrAboveColours)
{
    const std::pair<std::int32_t, std::int32_t> cases[] = {
        { -5, 2 },    { 2, 2 },     { 3, 4 },
        { 16, 16 },   { 17, 32 },   { 100, 128 },
        { 129, 256 }, { 256, 256 }, { kTrueColourCount, 256 },
    };
    for (auto [colours, limit] : cases)
        EXPECT_EQ(GifColourLimit(colours), limit) << colours;

    TempDir dir;
    ImageBuffer image = trueColour(64, 48);
    SaveDecodedPicture(image, dir.file("c.gif"), { kGif, 0, 0, 100 }, nullptr);
    EXPECT_EQ(gifTableSize(ReadBytes(dir.file("c.gif"))), 128);
    const ImageBuffer back = decodeFirst(dir.file("c.gif"));
    EXPECT_EQ(back.width, 64);
    EXPECT_EQ(back.height, 48);
}

// The transparent entry shares its colour with entry 0, so only its index tells the pixels
// apart; it must survive both the unchanged write and the expand-and-reduce path.
TEST(SavePicture, TransparencyIsKeptAsTheGifTransparentIndex)
{
    for (int entries : { 4, 200 }) {
        SCOPED_TRACE(entries);
        TempDir dir;
        ImageBuffer image = indexed(20, 10, entries);
        image.transparent = 2;
        image.palette->entries[2] = image.palette->entries[0];
        SaveDecodedPicture(image, dir.file("t.gif"), { kGif, 0, 0, 16 }, nullptr);
        const ImageBuffer back = decodeFirst(dir.file("t.gif"));
        ASSERT_GE(back.transparent, 0);
        for (std::int32_t y = 0; y < 10; ++y)
            for (std::int32_t x = 0; x < 20; ++x)
                ASSERT_EQ(back.row(y)[x] == back.transparent, image.row(y)[x] == 2)
                        << x << "," << y;
    }
}

TEST(SavePicture, TrueColourTransparencyBecomesTheGifTransparentIndex)
{
    TempDir dir;
    ImageBuffer image = trueColour(16, 16);
    const std::uint8_t *key = image.row(3) + 3 * 5;
    image.transparent = MakeRgb(key[2], key[1], key[0]);
    SaveDecodedPicture(image, dir.file("t.gif"), { kGif, 0, 0, 256 }, nullptr);
    const ImageBuffer back = decodeFirst(dir.file("t.gif"));
    ASSERT_GE(back.transparent, 0);
    EXPECT_EQ(back.row(3)[5], back.transparent);
    EXPECT_NE(back.row(3)[6], back.transparent);
}

TEST(SavePicture, CropIsCutToThePictureAndCopiesTheRightPixels)
{
    struct Case
    {
        Rect crop;
        Rect expected;
    };

    const Case cases[] = {
        { { -5, -5, 3, 2 }, { 0, 0, 3, 2 } }, { { 4, 1, 100, 100 }, { 4, 1, 11, 9 } },
        { { 0, 0, 11, 9 }, { 0, 0, 11, 9 } }, { { -1, -1, 50, 50 }, { 0, 0, 11, 9 } },
        { { 2, 3, 5, 4 }, { 2, 3, 5, 4 } },
    };
    TempDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.crop.left << "," << c.crop.top);
        ImageBuffer image = trueColour(11, 9);
        SaveDecodedPicture(image, dir.file("c.bmp"), { kBmp, 0, 0, kTrueColourCount }, &c.crop);
        const ImageBuffer back = decodeFirst(dir.file("c.bmp"));
        ASSERT_EQ(back.width, c.expected.width());
        ASSERT_EQ(back.height, c.expected.height());
        for (std::int32_t y = 0; y < back.height; ++y)
            ASSERT_EQ(0,
                      std::memcmp(back.row(y), image.row(y + c.expected.top) + 3 * c.expected.left,
                                  3 * static_cast<std::size_t>(back.width)));
    }
}

TEST(SavePicture, RefusalsWriteNothing)
{
    TempDir dir;
    const Rect outside{ 20, 20, 30, 30 };
    const Rect inverted{ 5, 5, 2, 2 };

    struct Case
    {
        SaveOptions options;
        const Rect *crop;
    };

    const Case cases[] = {
        { { 5, 0, 0, 256 }, nullptr },
        { { 0, 0, 0, 256 }, nullptr },
        { { kBmp, 0, 0, 256 }, &outside },
        { { kGif, 0, 0, 256 }, &inverted },
    };
    for (const Case &c : cases) {
        ImageBuffer image = trueColour(11, 9);
        try {
            SaveDecodedPicture(image, dir.file("x"), c.options, c.crop);
            ADD_FAILURE() << "saved format " << c.options.format;
        } catch (const CAlbException &error) {
            EXPECT_EQ(error.messageId, Msg::InvalidParameter);
        }
        EXPECT_TRUE(dir.names().empty());
    }
}

TEST(SavePicture, JpegTakesQualityAndResolutions)
{
    TempDir dir;
    ImageBuffer image = trueColour(120, 80);
    SaveDecodedPicture(image, dir.file("hi.jpg"), { kJpeg, 300, 150, 90 }, nullptr);
    SaveDecodedPicture(image, dir.file("lo.jpg"), { kJpeg, 300, 0, 45 }, nullptr);
    ImageInfo hi, lo;
    LoadImageInfo(dir.file("hi.jpg"), hi);
    LoadImageInfo(dir.file("lo.jpg"), lo);
    EXPECT_EQ(hi.xResolution, 300);
    EXPECT_EQ(hi.yResolution, 150);
    // One resolution alone is not enough to replace the writer's default.
    EXPECT_EQ(lo.xResolution, 96);
    EXPECT_GT(ReadBytes(dir.file("hi.jpg")).size(), ReadBytes(dir.file("lo.jpg")).size());

    ImageBuffer small = indexed(30, 20, 4);
    SaveDecodedPicture(small, dir.file("p.bmp"), { kBmp, 200, 100, 256 }, nullptr);
    ImageInfo bmp;
    LoadImageInfo(dir.file("p.bmp"), bmp);
    EXPECT_EQ(bmp.xResolution, 200);
    EXPECT_EQ(bmp.yResolution, 100);
}

// Lossless: the cut-out comes back pixel for pixel with its resolution; an indexed picture stays
// indexed, and its transparent entry reads back as the picture background.
TEST(SavePicture, PngKeepsEveryPixelAndIndexedPicturesStayIndexed)
{
    TempDir dir;
    ImageBuffer image = trueColour(120, 80);
    const Rect crop{ 5, 7, 50, 40 };
    SaveDecodedPicture(image, dir.file("c.png"), { kPng, 300, 150, 0 }, &crop);
    const ImageBuffer back = decodeFirst(dir.file("c.png"));
    ASSERT_EQ(back.width, 45);
    ASSERT_EQ(back.height, 33);
    for (std::int32_t y = 0; y < back.height; ++y)
        ASSERT_EQ(std::memcmp(back.row(y), image.row(y + 7) + 3 * 5, 3 * 45), 0) << "row " << y;
    ImageInfo info;
    LoadImageInfo(dir.file("c.png"), info);
    EXPECT_EQ(info.xResolution, 300);
    EXPECT_EQ(info.yResolution, 150);

    ImageBuffer small = indexed(30, 20, 4);
    small.transparent = 2;
    SaveDecodedPicture(small, dir.file("p.png"), { kPng, 0, 0, 0 }, nullptr);
    const ImageBuffer indices = decodeFirst(dir.file("p.png"));
    ASSERT_EQ(indices.bytesPerPixel, 1);
    EXPECT_EQ(indices.palette->count, 4);
    const PaletteEntry &clear = indices.palette->entries[2];
    EXPECT_EQ(MakeRgb(clear.red, clear.green, clear.blue), kDefaultPictureBackground);
    for (std::int32_t y = 0; y < 20; ++y)
        ASSERT_EQ(std::memcmp(indices.row(y), small.row(y), 30), 0) << "row " << y;
}

} // namespace
