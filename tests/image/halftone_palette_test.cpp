// The fixed halftone palette: its size, entries spot-checked at the table's irregular places, and
// the properties its description promises (no colour twice, the cube minus four corners).
#include "image/halftone_palette.h"

#include <gtest/gtest.h>
#include <set>
#include <tuple>

namespace {

using Rgb = std::tuple<int, int, int>;

Rgb colourOf(const PaletteEntry &e)
{
    return { e.red, e.green, e.blue };
}

TEST(HalftonePalette, SizeAndSpotChecks)
{
    const ImagePalette palette = HalftonePalette();
    EXPECT_EQ(palette.version, ImagePalette::kVersion);
    ASSERT_EQ(palette.count, 256);

    struct Row
    {
        int index;
        Rgb colour;
    };

    const Row rows[] = {
        { 0, { 0, 0, 0 } },         { 7, { 192, 192, 192 } },   { 9, { 166, 202, 240 } },
        { 10, { 4, 4, 4 } },        { 18, { 85, 85, 85 } },     { 21, { 57, 57, 57 } },
        { 22, { 255, 124, 128 } },  { 24, { 214, 0, 147 } },    { 28, { 173, 169, 144 } },
        { 29, { 51, 0, 0 } },       { 57, { 102, 255, 0 } },    { 127, { 255, 0, 204 } },
        { 128, { 204, 0, 255 } },   { 151, { 102, 204, 102 } }, { 157, { 102, 204, 153 } },
        { 192, { 102, 255, 153 } }, { 233, { 165, 0, 33 } },    { 239, { 178, 178, 178 } },
        { 246, { 255, 251, 240 } }, { 247, { 160, 160, 164 } }, { 248, { 128, 128, 128 } },
        { 249, { 255, 0, 0 } },     { 255, { 255, 255, 255 } },
    };
    for (const Row &row : rows)
        EXPECT_EQ(colourOf(palette.entries[row.index]), row.colour) << row.index;
    for (const PaletteEntry &e : palette.entries)
        EXPECT_EQ(e.flags, 0);
}

TEST(HalftonePalette, DistinctColoursAndTheCubeMinusFour)
{
    const ImagePalette palette = HalftonePalette();
    std::set<Rgb> colours;
    for (const PaletteEntry &e : palette.entries)
        colours.insert(colourOf(e));
    EXPECT_EQ(colours.size(), 256u);

    const std::set<Rgb> absent{ { 0, 51, 255 }, { 0, 255, 51 }, { 51, 0, 255 }, { 51, 255, 0 } };
    int cubeColours = 0;
    for (int r = 0; r <= 255; r += 51)
        for (int g = 0; g <= 255; g += 51)
            for (int b = 0; b <= 255; b += 51) {
                const Rgb c{ r, g, b };
                EXPECT_EQ(colours.count(c), absent.count(c) ? 0u : 1u)
                        << r << ", " << g << ", " << b;
                cubeColours += static_cast<int>(colours.count(c));
            }
    EXPECT_EQ(cubeColours, 212);
}

} // namespace
