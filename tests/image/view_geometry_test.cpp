#include "image/view_geometry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(FitSize, Table)
{
    struct Case
    {
        std::int32_t bw, bh, iw, ih;
        bool enlarge;
        Size expected;
    };

    const Case cases[] = {
        { 60, 60, 100, 50, false, { 60, 30 } }, // width limits
        { 60, 60, 30, 20, false, { 30, 20 } }, // fits already
        { 60, 60, 30, 20, true, { 60, 40 } }, // enlarged
        { 40, 40, 100, 50, false, { 40, 20 } },    { 200, 200, 100, 50, false, { 100, 50 } },
        { 55, 71, 4000, 3000, false, { 55, 42 } }, // 41.25 rounds up
        { 60, 60, 50, 100, false, { 30, 60 } }, // height limits
        { 10, 10, 1000, 1, false, { 10, 1 } }, // never below 1
        { 10, 10, 1, 1000, false, { 1, 10 } },     { 65535, 65535, 65535, 1, true, { 65535, 1 } },
        { 0, 10, 5, 5, false, { 0, 0 } }, // no box
    };
    for (const auto &c : cases) {
        Size got = fitSize(c.bw, c.bh, c.iw, c.ih, c.enlarge);
        EXPECT_EQ(got, c.expected) << c.iw << "x" << c.ih << " into " << c.bw << "x" << c.bh;
    }
}

TEST(ZoomedSize, Table)
{
    struct Case
    {
        std::int32_t w, h, zoom;
        int orientation;
        Size expected;
    };

    const Case cases[] = {
        { 240, 320, 100, 0, { 240, 320 } },
        { 240, 320, 50, 0, { 120, 160 } },
        { 240, 320, 12, 0, { 28, 38 } }, // 240 / 8 - 240 / 120, 320 / 8 - 320 / 120
        { 240, 320, 13, 0, { 32, 42 } },
        { 240, 320, 150, 1, { 480, 360 } },
        { 240, 320, 150, 4, { 360, 480 } },
        { 640, 480, 16, 0, { 108, 80 } }, // 103 + 640 / 128, 77 + 480 / 128
        { 640, 480, 99, 0, { 638, 479 } }, // 634 + 640 / 130, 476 + 480 / 130
        { 3, 3, 5, 0, { 1, 1 } },
        { 1, 1, 12, 0, { 1, 1 } }, // raised to 1
        { 201, 3, 125, 0, { 251, 4 } }, // rounded to nearest
        // The largest pictures: no 32-bit overflow on the way, saturation where the result
        // itself cannot be held.
        { 32768, 32768, 1200, 0, { 393216, 393216 } },
        { 1 << 30, 1, 5, 0, { 53687092, 1 } },
        { 1 << 30, 1, 1200, 3, { 12, INT32_MAX } },
    };
    for (const auto &c : cases)
        EXPECT_EQ(zoomedSize(c.w, c.h, c.zoom, c.orientation), c.expected)
                << c.w << "x" << c.h << " at " << c.zoom << " orientation " << c.orientation;
}

TEST(ViewRects, Examples)
{
    struct Case
    {
        Rect in;
        std::int32_t zoom;
        int orientation;
        Rect view;
    };

    // A 4 x 3 picture; view rectangles are in the turned picture.
    const Case cases[] = {
        { { 1, 1, 3, 2 }, 200, 0, { 2, 2, 6, 4 } },
        { { 0, 2, 1, 3 }, 100, 1, { 0, 0, 1, 1 } }, // bottom-left comes to the top-left
        { { 3, 0, 4, 1 }, 100, 2, { 0, 2, 1, 3 } },
        { { 3, 0, 4, 1 }, 100, 3, { 0, 0, 1, 1 } }, // top-right comes to the top-left
        { { 0, 0, 1, 1 }, 100, 4, { 3, 0, 4, 1 } },
        { { 0, 0, 1, 1 }, 100, 5, { 0, 0, 1, 1 } },
        { { 0, 0, 1, 1 }, 100, 6, { 0, 2, 1, 3 } },
        { { 0, 0, 1, 1 }, 300, 7, { 6, 9, 9, 12 } },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(imageToViewRect(c.in, 4, 3, c.zoom, c.orientation), c.view)
                << "orientation " << c.orientation;
        EXPECT_EQ(viewToImageRect(c.view, 4, 3, c.zoom, c.orientation), c.in)
                << "orientation " << c.orientation;
    }
}

TEST(ViewRects, RoundTripWithinOneViewPixelAtEveryZoomStep)
{
    const std::int32_t zoomSteps[] = { 5,   10,  20,  30,  40,  50,  75,  100, 125, 160,
                                       200, 250, 315, 395, 495, 620, 775, 970, 1200 };

    struct Picture
    {
        std::int32_t a, b;
        Rect r;
    };

    const Picture pictures[] = {
        { 640, 480, { 100, 40, 300, 471 } },
        { 37, 53, { 0, 1, 36, 53 } },
        { 4000, 3000, { 1234, 2000, 1235, 2999 } },
        { 32768, 32768, { 30000, 10, 32768, 32767 } }, // 1 GiB of 1-byte pixels
    };
    for (const auto &p : pictures) {
        for (std::int32_t zoom : zoomSteps) {
            // Below actual size one view pixel covers several picture pixels.
            Size z = zoomedSize(p.a, p.b, zoom, 0);
            std::int32_t tolX = std::max(1, (p.a + z.width - 1) / z.width);
            std::int32_t tolY = std::max(1, (p.b + z.height - 1) / z.height);
            for (int d = 0; d < 8; ++d) {
                Rect back =
                        viewToImageRect(imageToViewRect(p.r, p.a, p.b, zoom, d), p.a, p.b, zoom, d);
                EXPECT_LE(std::abs(back.left - p.r.left), tolX) << p.a << " " << zoom << " " << d;
                EXPECT_LE(std::abs(back.right - p.r.right), tolX) << p.a << " " << zoom << " " << d;
                EXPECT_LE(std::abs(back.top - p.r.top), tolY) << p.a << " " << zoom << " " << d;
                EXPECT_LE(std::abs(back.bottom - p.r.bottom), tolY)
                        << p.a << " " << zoom << " " << d;
            }
        }
    }
}

} // namespace
