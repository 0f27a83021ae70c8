// Pictures whose exact colours fit the palette keep them: a table of colour counts around the
// limit, with and without a transparent colour, in index and colour form.
#include "image/quantize.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

// Colour i of a set packed into a few 5-6-5 cells, in storage order.
std::array<std::uint8_t, 3> CloseColour(int i)
{
    return { std::uint8_t(100 + i % 8), std::uint8_t(50 + i / 8 % 8), std::uint8_t(200 + i / 64) };
}

TEST(QuantizeExact, ColoursThatFitAreKeptExactly)
{
    const RgbValue key = MakeRgb(1, 2, 3); // blue-first bytes 3, 2, 1

    struct Case
    {
        const char *name;
        int colours;
        int maxColours;
        bool keyPixels;
        bool exact;
    };

    const Case cases[] = {
        { "200 of 256", 200, 256, false, true },
        { "256 of 256", 256, 256, false, true },
        { "257 of 256", 257, 256, false, false },
        { "2 of 2", 2, 2, false, true },
        { "15 and the key in 16", 15, 16, true, true },
        { "16 and the key in 16", 16, 16, true, false },
    };
    const std::int32_t width = 37, height = 19, pad = 3;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>((width + pad) * height * 3),
                                         0xEE);
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x) {
                const int i = (y * width + x) % (c.colours + (c.keyPixels ? 1 : 0));
                std::uint8_t *p = &pixels[static_cast<std::size_t>((y * (width + pad) + x) * 3)];
                const auto colour =
                        i == c.colours ? std::array<std::uint8_t, 3>{ 3, 2, 1 } : CloseColour(i);
                std::copy(colour.begin(), colour.end(), p);
            }
        std::vector<std::uint8_t> indices(static_cast<std::size_t>(width * height), 0xCC);
        ImagePalette palette;
        std::int32_t transparentIndex = -2;
        ASSERT_TRUE(quantize(Rect{ 0, 0, width, height }, pixels.data(), pad, indices.data(), 0,
                             kQuantizeIndexOutput, c.maxColours, true, nullptr, &palette,
                             c.keyPixels ? key : kNoColour, &transparentIndex, true));
        int wrong = 0;
        std::set<int> used;
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x) {
                const std::uint8_t *p =
                        &pixels[static_cast<std::size_t>((y * (width + pad) + x) * 3)];
                const int index = indices[static_cast<std::size_t>(y * width + x)];
                used.insert(index);
                const PaletteEntry &e = palette.entries[index];
                wrong += e.blue != p[0] || e.green != p[1] || e.red != p[2];
                if (p[0] == 3 && p[1] == 2 && p[2] == 1) {
                    EXPECT_EQ(index, transparentIndex);
                }
            }
        EXPECT_LE(palette.count, c.maxColours);
        if (c.exact) {
            EXPECT_EQ(wrong, 0);
            EXPECT_EQ(palette.count, c.colours + (c.keyPixels ? 1 : 0));
            EXPECT_EQ(transparentIndex, c.keyPixels ? c.colours : -1);
        } else {
            EXPECT_GT(wrong, 0) << "the picture holds more colours than the palette";
        }

        // Colour form in place: a picture that fits comes back untouched, pad pixels included.
        std::vector<std::uint8_t> inPlace = pixels;
        ASSERT_TRUE(quantize(Rect{ 0, 0, width, height }, inPlace.data(), pad, inPlace.data(), pad,
                             3, c.maxColours, true, nullptr, nullptr, c.keyPixels ? key : kNoColour,
                             nullptr, true));
        EXPECT_EQ(inPlace == pixels, c.exact);
    }
}

} // namespace
