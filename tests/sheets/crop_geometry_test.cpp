#include "sheets/crop_geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(CropGeometry, FitsTheLimitingAxisAndCentresTheOther)
{
    struct Row
    {
        const char *name;
        Size client;
        Size picture;
        PreviewPlacement expected;
    };

    const Row rows[] = {
        // 31.75 against 28.6: the height limits; 134 x 179 centred across.
        { "portrait", { 150, 180 }, { 480, 640 }, { 28, { 134, 179 }, 8, 0 } },
        // 50.5 against 62.5: the width limits; centred down.
        { "landscape", { 200, 200 }, { 400, 320 }, { 50, { 200, 160 }, 0, 20 } },
        // A small picture is enlarged to the client.
        { "small", { 100, 100 }, { 10, 10 }, { 1000, { 100, 100 }, 0, 0 } },
        // Far larger than the client: the zoom never reaches 0, which would divide by zero later.
        { "huge", { 150, 180 }, { 60000, 60000 }, { 1, { 600, 600 }, 0, -210 } },
    };
    for (const Row &row : rows)
        EXPECT_EQ(FitPreview(row.client, row.picture), row.expected) << row.name;
}

TEST(CropGeometry, ZoomStepsSnapToActualSizeAndStayInRange)
{
    struct Row
    {
        std::int32_t from;
        std::optional<std::int32_t> in;
        std::optional<std::int32_t> out;
    };

    const Row rows[] = {
        { 75, 100, 56 }, // 100 exactly
        { 100, 132, 74 }, // 133 and 75 made even
        { 900, 1200, 674 }, // limited to 1200
        { 1200, std::nullopt, 900 },
        { 130, 172, 100 }, // 97 lies in 96..104
        { 6, 8, 5 }, // 4 raised to 5
        { 5, 6, std::nullopt },
    };
    for (const Row &row : rows) {
        EXPECT_EQ(ZoomInStep(row.from), row.in) << row.from;
        EXPECT_EQ(ZoomOutStep(row.from, { 100, 100 }), row.out) << row.from;
    }
    // A picture shown one pixel wide cannot shrink further.
    EXPECT_EQ(ZoomOutStep(50, { 1, 40 }), std::nullopt);
    // Zooming out from 130 twice: 97 snaps to 100, then 74.
    EXPECT_EQ(ZoomOutStep(*ZoomOutStep(130, { 9, 9 }), { 9, 9 }), 74);
}

TEST(CropGeometry, ZoomKeepsTheCentreAndCoversTheClient)
{
    const Size client{ 150, 180 };
    const Size picture{ 480, 640 };
    PreviewPlacement place = FitPreview(client, picture);
    // Zoomed in: the centre of the client shows the same picture point as before (within a
    // pixel of the picture at the smaller zoom).
    const auto centreOf = [&](const PreviewPlacement &p) {
        return ScreenToPicture(client.width / 2, p.zoom, p.offsetX) * 1000
                + ScreenToPicture(client.height / 2, p.zoom, p.offsetY);
    };
    const int before = centreOf(place);
    for (std::int32_t z : { 100, 132, 400, 1200 }) {
        const PreviewPlacement next = ApplyZoom(place, z, client, picture);
        EXPECT_NEAR(centreOf(next) / 1000, before / 1000, 4) << z;
        EXPECT_NEAR(centreOf(next) % 1000, before % 1000, 4) << z;
        EXPECT_LE(next.offsetX, 0);
        EXPECT_GE(next.offsetX + next.displayed.width, client.width);
        place = next;
    }
    // Back below the client's size the picture is centred again.
    const PreviewPlacement small = ApplyZoom(place, 10, client, picture);
    EXPECT_EQ(small.displayed, (Size{ 48, 64 }));
    EXPECT_EQ(small.offsetX, 51);
    EXPECT_EQ(small.offsetY, 58);
}

TEST(CropGeometry, ScreenAndPicturePositionsRoundTrip)
{
    // From 100 percent on every picture pixel has a screen pixel of its own.
    for (std::int32_t zoom : { 100, 132, 1200 }) {
        for (std::int32_t p : { 0, 1, 17, 239, 480 }) {
            const std::int32_t screen = PictureToScreen(p, zoom, 8);
            EXPECT_EQ(ScreenToPicture(screen, zoom, 8), p) << zoom << " " << p;
        }
    }
}

TEST(CropGeometry, PanningKeepsThePictureOverTheClient)
{
    EXPECT_EQ(PannedOffset(0, 30, 400, 150), 0); // cannot uncover the left edge
    EXPECT_EQ(PannedOffset(-100, -500, 400, 150), -250);
    EXPECT_EQ(PannedOffset(-100, 20, 400, 150), -80);
    EXPECT_EQ(PannedOffset(8, -5, 134, 150), 8); // a picture that fits does not move
}

TEST(CropGeometry, CropBoxIsLimitedToThePicture)
{
    struct Row
    {
        CropBox typed;
        CropBox limited;
    };

    const Size picture{ 240, 320 };
    const Row rows[] = {
        { { 100, 0, 5000, 10 }, { 100, 0, 140, 10 } },
        { { 300, 400, 10, 10 }, { 240, 320, 0, 0 } },
        { { -5, -5, 20, 20 }, { 0, 0, 20, 20 } },
        { { 0, 0, 240, 320 }, { 0, 0, 240, 320 } },
    };
    for (const Row &row : rows)
        EXPECT_EQ(LimitCropBox(row.typed, picture), row.limited) << row.typed.x;
    // A rectangle kept from a larger picture after stepping to a smaller one.
    EXPECT_EQ(LimitCropBox({ 100, 100, 200, 200 }, { 120, 80 }), (CropBox{ 100, 80, 20, 0 }));
}

} // namespace
