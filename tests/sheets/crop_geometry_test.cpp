#include "sheets/crop_geometry.h"

#include <gtest/gtest.h>

namespace {

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
