#include "app/app_settings.h"
#include "image/view_geometry.h"
#include "views/image_zoom.h"

#include <gtest/gtest.h>

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
        { 5, 10, 5 },    { 45, 75, 30 },  { 40, 50, 30 },    { 50, 75, 40 },   { 60, 75, 40 },
        { 80, 125, 50 }, { 75, 100, 50 }, { 100, 125, 75 },  { 110, 140, 100 }, { 125, 160, 100 },
        { 1000, 1200, 800 }, { 1200, 1200, 960 },
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
}

TEST(ImageZoom, DecodeScaleFollowsTheZoomAndStepsDown)
{
    const Size full{ 4000, 3000 };
    struct Case
    {
        int zoom, rotation, percent;
    };
    const Case cases[] = { { 100, 0, 100 }, { 61, 0, 100 }, { 60, 0, 50 }, { 32, 0, 50 },
                           { 30, 0, 25 },   { 20, 1, 25 },  { 15, 0, 25 }, { 12, 0, 13 }, { 5, 0, 13 } };
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
