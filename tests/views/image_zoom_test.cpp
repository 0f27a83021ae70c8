#include "views/image_zoom.h"

#include "app/app_settings.h"
#include "image/view_geometry.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

using namespace ImageZoom;

namespace {

std::vector<int> Chain(int from, int (*step)(int))
{
    std::vector<int> out;
    for (int z = from, next = step(z); next != z; z = next, next = step(z))
        out.push_back(next);
    return out;
}

} // namespace

TEST(ImageZoom, StepsInAndOutFollowTheirTables)
{
    struct Case
    {
        int from, in, out;
    };

    // Below 50 by tens (75 once past 50), to 100 by quarters (125 once past 100), then by a
    // quarter more rounded up to fives; out the same way back, never below 40 from above 50 and
    // never below 100 from above 100.
    const Case cases[] = {
        { 5, 10, 5 },      { 45, 75, 30 },    { 40, 50, 30 },      { 50, 75, 40 },
        { 60, 75, 40 },    { 80, 125, 50 },   { 75, 100, 50 },     { 100, 125, 75 },
        { 110, 140, 100 }, { 125, 160, 100 }, { 1000, 1200, 800 }, { 1200, 1200, 960 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.from);
        EXPECT_EQ(ZoomInStep(c.from), c.in);
        EXPECT_EQ(ZoomOutStep(c.from), c.out);
    }
    EXPECT_EQ(Chain(100, ZoomInStep),
              (std::vector<int>{ 125, 160, 200, 250, 315, 395, 495, 620, 775, 970, 1200 }));
    EXPECT_EQ(Chain(100, ZoomOutStep), (std::vector<int>{ 75, 50, 40, 30, 20, 10, 5 }));
    // Every step lands in the limits and in and out never cross.
    for (int z = kMinZoom; z <= kMaxZoom; ++z) {
        EXPECT_GE(ZoomInStep(z), z);
        EXPECT_LE(ZoomOutStep(z), z);
        EXPECT_LE(ZoomInStep(z), kMaxZoom);
        EXPECT_GE(ZoomOutStep(z), kMinZoom);
    }
}

TEST(ImageZoom, FittingByMode)
{
    struct Case
    {
        FitMode mode;
        Size picture, client;
        int zoom;
    };

    const Case cases[] = {
        // Larger both ways: the side that overflows less fits exactly.
        { FitMode::ShrinkToFill, { 640, 480 }, { 240, 294 }, 61 },
        { FitMode::ShrinkToFill, { 240, 320 }, { 240, 294 }, 100 },
        { FitMode::ShrinkToFill, { 300, 200 }, { 240, 294 }, 100 },
        { FitMode::ShrinkToFill, { 4000, 3000 }, { 1280, 800 }, 32 },
        { FitMode::ShrinkToFill, { 100000, 10 }, { 100, 5 }, 50 },
        // Inside the window, small pictures enlarged up to the largest zoom.
        { FitMode::FitInside, { 640, 480 }, { 240, 294 }, 37 },
        { FitMode::FitInside, { 100, 50 }, { 400, 400 }, 400 },
        { FitMode::FitInside, { 2, 2 }, { 400, 400 }, 1200 },
        { FitMode::FitInside, { 100000, 1 }, { 100, 100 }, 5 },
        { FitMode::NoFit, { 640, 480 }, { 240, 294 }, 100 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.picture.width << "x" << c.picture.height);
        EXPECT_EQ(FitZoom(c.mode, c.picture, c.client), c.zoom);
    }
    EXPECT_EQ(FitModeOf(0x81), FitMode::ShrinkToFill);
    EXPECT_EQ(FitModeOf(0x181), FitMode::FitInside);
    EXPECT_EQ(FitModeOf(0x381), FitMode::NoFit);
}

TEST(ImageZoom, OffsetsKeepTheAnchoredPointAndStayOnThePicture)
{
    // Doubling keeps the picture point in the middle of a 200-pixel window in the middle.
    EXPECT_EQ(RelayoutOffset(100, 400, 800, 200, true, 100), 300);
    // About the pointer at the left edge: the point under it stays.
    EXPECT_EQ(RelayoutOffset(100, 400, 800, 200, true, 0), 200);
    // Limited to the picture, centred when it fits, unchanged without keeping.
    EXPECT_EQ(RelayoutOffset(600, 800, 400, 200, true, 100), 200);
    EXPECT_EQ(RelayoutOffset(100, 400, 150, 200, true, 100), -25);
    EXPECT_EQ(RelayoutOffset(100, 400, 250, 200, false, 100), 50);

    EXPECT_EQ(PannedOffset(10, -30, 400, 200), 0);
    EXPECT_EQ(PannedOffset(10, 300, 400, 200), 200);
    EXPECT_EQ(PannedOffset(-20, 30, 160, 200), -20);
    // The crop preview's stylus moves the picture the other way: dragging right by 30 pans by -30.
    EXPECT_EQ(PannedOffset(0, -30, 400, 150), 0); // cannot uncover the left edge
    EXPECT_EQ(PannedOffset(100, 500, 400, 150), 250);
    EXPECT_EQ(PannedOffset(100, -20, 400, 150), 80);
    EXPECT_EQ(PannedOffset(-8, 5, 134, 150), -8); // a picture that fits does not move

    // The value moves only along the axis where the picture overflows, and says so.
    PictureZoom place{ 100, { 400, 100 }, 100, -50 };
    EXPECT_TRUE(place.overflows({ 150, 200 }));
    EXPECT_TRUE(place.panBy(-20, 30, { 150, 200 }));
    EXPECT_EQ(place, (PictureZoom{ 100, { 400, 100 }, 80, -50 }));
    EXPECT_FALSE(place.panBy(0, 30, { 150, 200 }));
    EXPECT_FALSE(place.overflows({ 400, 200 }));
}

TEST(ImageZoom, DecodeScaleFollowsTheZoomAndStepsDown)
{
    const Size full{ 4000, 3000 };

    struct Case
    {
        int zoom, rotation, percent;
    };

    const Case cases[] = { { 100, 0, 100 }, { 61, 0, 100 }, { 60, 0, 50 },
                           { 32, 0, 50 },   { 30, 0, 25 },  { 20, 1, 25 },
                           { 15, 0, 25 },   { 12, 0, 13 },  { 5, 0, 13 } };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.zoom);
        EXPECT_EQ(DecodePercent(full, zoomedSize(full.width, full.height, c.zoom, c.rotation),
                                c.rotation),
                  c.percent);
    }
    EXPECT_EQ(SmallerDecodePercent(100), 50);
    EXPECT_EQ(SmallerDecodePercent(50), 25);
    EXPECT_EQ(SmallerDecodePercent(25), 13);
    EXPECT_EQ(SmallerDecodePercent(13), 8);
}

TEST(ImageZoom, AutoRotationTurnsOnlyAgainstTheScreensShape)
{
    EXPECT_EQ(AutoRotation({ 320, 240 }, { 240, 320 }, true), 3);
    EXPECT_EQ(AutoRotation({ 320, 240 }, { 240, 320 }, false), 1);
    EXPECT_EQ(AutoRotation({ 240, 320 }, { 1280, 800 }, true), 3);
    EXPECT_EQ(AutoRotation({ 240, 320 }, { 240, 320 }, true), 0);
    EXPECT_EQ(AutoRotation({ 320, 240 }, { 600, 600 }, true), 0);
    EXPECT_EQ(AutoRotation({ 300, 300 }, { 240, 320 }, true), 0);
}

TEST(ImageZoom, ThePictureCoversItsPartOfTheWindow)
{
    // Smaller than the window across: the centred part; taller: the whole height.
    const PictureZoom place{ 100, { 160, 400 }, -20, 50 };
    EXPECT_EQ(place.inWindow({ 200, 300 }), (Rect{ 20, 0, 180, 300 }));
    PictureZoom centred{ 100, { 250, 100 }, 0, 0 };
    centred.centre({ 200, 300 });
    EXPECT_EQ(centred.offsetX, 25);
    EXPECT_EQ(centred.offsetY, -100);
    EXPECT_EQ(centred.inWindow({ 200, 300 }), (Rect{ 0, 100, 200, 200 }));
}

// The crop preview's rules, with the picture placed as the preview sees it: the window position
// of its first pixel.
namespace {

struct Placed
{
    std::int32_t zoom;
    Size zoomed;
    std::int32_t x;
    std::int32_t y;

    bool operator==(const Placed &) const = default;
};

Placed PlacedOf(const PictureZoom &p)
{
    return { p.zoom, p.zoomed, -p.offsetX, -p.offsetY };
}

} // namespace

TEST(PreviewZoom, FitsTheLimitingAxisAndCentresTheOther)
{
    struct Row
    {
        const char *name;
        Size client;
        Size picture;
        Placed expected;
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
        // No room yet (a preview not laid out): actual size.
        { "no room", { 0, 0 }, { 480, 640 }, { 100, { 480, 640 }, 0, 0 } },
    };
    for (const Row &row : rows)
        EXPECT_EQ(PlacedOf(FitPreview(row.client, row.picture)), row.expected) << row.name;
}

TEST(PreviewZoom, ZoomStepsSnapToActualSizeAndStayInRange)
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
        EXPECT_EQ(PreviewZoomInStep(row.from), row.in) << row.from;
        EXPECT_EQ(PreviewZoomOutStep(row.from, { 100, 100 }), row.out) << row.from;
    }
    // A picture shown one pixel wide cannot shrink further.
    EXPECT_EQ(PreviewZoomOutStep(50, { 1, 40 }), std::nullopt);
    // Zooming out from 130 twice: 97 snaps to 100, then 74.
    EXPECT_EQ(PreviewZoomOutStep(*PreviewZoomOutStep(130, { 9, 9 }), { 9, 9 }), 74);
}

TEST(PreviewZoom, ZoomKeepsTheCentreAndCoversTheClient)
{
    const Size client{ 150, 180 };
    const Size picture{ 480, 640 };
    PictureZoom place = FitPreview(client, picture);
    // Zoomed in: the centre of the client shows the same picture point as before (within a
    // pixel of the picture at the smaller zoom).
    const auto centreOf = [&](const PictureZoom &p) {
        return WindowToPicture(client.width / 2, p.zoom, p.offsetX) * 1000
                + WindowToPicture(client.height / 2, p.zoom, p.offsetY);
    };
    const int before = centreOf(place);
    for (std::int32_t z : { 100, 132, 400, 1200 }) {
        const PictureZoom next = PreviewZoomTo(place, z, client, picture);
        EXPECT_NEAR(centreOf(next) / 1000, before / 1000, 4) << z;
        EXPECT_NEAR(centreOf(next) % 1000, before % 1000, 4) << z;
        EXPECT_LE(PlacedOf(next).x, 0);
        EXPECT_GE(PlacedOf(next).x + next.zoomed.width, client.width);
        place = next;
    }
    // Back below the client's size the picture is centred again.
    const Placed small = PlacedOf(PreviewZoomTo(place, 10, client, picture));
    EXPECT_EQ(small.zoomed, (Size{ 48, 64 }));
    EXPECT_EQ(small.x, 51);
    EXPECT_EQ(small.y, 58);
}

TEST(PreviewZoom, WindowAndPicturePositionsRoundTrip)
{
    // From 100 percent on every picture pixel has a window pixel of its own; here the picture
    // starts 8 pixels into the window.
    for (std::int32_t zoom : { 100, 132, 1200 }) {
        for (std::int32_t p : { 0, 1, 17, 239, 480 }) {
            const std::int32_t window = PictureToWindow(p, zoom, -8);
            EXPECT_EQ(WindowToPicture(window, zoom, -8), p) << zoom << " " << p;
        }
    }
}
