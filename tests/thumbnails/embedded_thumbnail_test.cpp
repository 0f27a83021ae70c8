// Photos' own EXIF thumbnails standing in for a decoding of the photo.
#include "thumbnails/embedded_thumbnail.h"

#include "tests/support/exif_jpeg.h"
#include "tests/support/temp_dir.h"
#include "tests/support/thumbnail_jpeg.h"
#include "thumbnails/thumbnail_maker.h"
#include "thumbnails/thumbnail_store.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Origin = ThumbnailOrigin;

constexpr RgbValue kRed = MakeRgb(230, 20, 20);
constexpr RgbValue kGreen = MakeRgb(20, 230, 20);

bool isGreen(RgbValue c)
{
    return GreenOf(c) > 180 && RedOf(c) < 80;
}

TEST(EmbeddedThumbnail, UsedWhenItCoversTheCellAndHasThePicturesShape)
{
    struct Case
    {
        Size picture;
        Size thumb;
        Size box;
        bool embedded;
        unsigned orientation = 0;
        Size made = {};
    };

    const Case cases[] = {
        { { 1600, 1200 }, { 160, 120 }, { 96, 72 }, true },
        { { 1600, 1200 }, { 160, 120 }, { 160, 160 }, true },
        { { 1600, 1200 }, { 160, 120 }, { 192, 144 }, false }, // too small for the cell
        { { 1600, 1200 }, { 160, 121 }, { 96, 72 }, true }, // 0.8 % off
        { { 1600, 1200 }, { 160, 122 }, { 96, 72 }, false }, // 1.6 % off
        { { 1600, 1064 }, { 160, 120 }, { 96, 72 }, false }, // 3:2 photo, 4:3 thumbnail
        { { 1200, 1600 }, { 120, 160 }, { 96, 72 }, true }, // upright photo
    };
    TempDir dir;
    const ThumbnailMaker maker(nullptr);
    for (const Case &c : cases) {
        const std::string path = dir.file("photo.jpg");
        WriteJpegWithThumbnail(path, c.picture, kRed, c.thumb, kGreen, c.orientation);
        const ThumbnailResult made = maker.make(path, c.box);
        if (c.made.width > 0) {
            EXPECT_EQ(made.image.width, c.made.width) << c.orientation;
            EXPECT_EQ(made.image.height, c.made.height) << c.orientation;
        }
        const std::string what = std::to_string(c.thumb.width) + "x"
                + std::to_string(c.thumb.height) + " in " + std::to_string(c.box.width) + "x"
                + std::to_string(c.box.height);
        EXPECT_EQ(made.origin, c.embedded ? Origin::Embedded : Origin::Decoded) << what;
        ASSERT_TRUE(made.image.hasPixels()) << what;
        EXPECT_EQ(isGreen(CentreColour(made.image)), c.embedded) << what;
        EXPECT_LE(made.image.width, c.box.width) << what;
        EXPECT_LE(made.image.height, c.box.height) << what;
    }
}

TEST(EmbeddedThumbnail, DamagedOrMissingThumbnailFallsBackToThePicture)
{
    TempDir dir;
    const std::string cut = dir.file("cut.jpg");
    WriteJpegWithThumbnail(cut, { 800, 600 }, kRed, { 160, 120 }, kGreen);
    // The EXIF block ends inside the thumbnail's bytes.
    ASSERT_TRUE(TruncateExifSegment(cut, 200));
    const std::string plain = dir.file("plain.jpg");
    ASSERT_TRUE(WriteExifJpeg(plain, 800, 600));
    for (const std::string &path : { cut, plain }) {
        const ThumbnailResult made = ThumbnailMaker(nullptr).make(path, { 96, 72 });
        EXPECT_EQ(made.origin, Origin::Decoded) << path;
        EXPECT_TRUE(made.image.hasPixels()) << path;
    }
}

TEST(EmbeddedThumbnail, LargeEnoughForTheCacheIsStoredThere)
{
    TempDir dir;
    ThumbnailStore store(dir.file("cache"), "vistrel-test");
    const ThumbnailMaker maker(&store);
    const std::string path = dir.file("camera.jpg");
    WriteJpegWithThumbnail(path, { 1600, 1200 }, kRed, { 160, 120 }, kGreen);
    EXPECT_EQ(maker.make(path, { 96, 72 }).origin, Origin::Embedded);
    const ThumbnailResult again = maker.make(path, { 96, 72 });
    EXPECT_EQ(again.origin, Origin::Cache);
    EXPECT_TRUE(isGreen(CentreColour(again.image)));
    EXPECT_EQ(again.image.width, 96);
}

} // namespace
