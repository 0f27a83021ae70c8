#include "image/view_geometry.h"

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
        { 60, 60, 100, 50, false, { 60, 30 } },   // width limits
        { 60, 60, 30, 20, false, { 30, 20 } },    // fits already
        { 60, 60, 30, 20, true, { 60, 40 } },     // enlarged
        { 40, 40, 100, 50, false, { 40, 20 } },
        { 200, 200, 100, 50, false, { 100, 50 } },
        { 55, 71, 4000, 3000, false, { 55, 42 } }, // 41.25 rounds up
        { 60, 60, 50, 100, false, { 30, 60 } },   // height limits
        { 10, 10, 1000, 1, false, { 10, 1 } },    // never below 1
        { 10, 10, 1, 1000, false, { 1, 10 } },
        { 65535, 65535, 65535, 1, true, { 65535, 1 } },
        { 0, 10, 5, 5, false, { 0, 0 } },         // no box
    };
    for (const auto &c : cases) {
        Size got = fitSize(c.bw, c.bh, c.iw, c.ih, c.enlarge);
        EXPECT_EQ(got, c.expected) << c.iw << "x" << c.ih << " into " << c.bw << "x" << c.bh;
    }
}

} // namespace
