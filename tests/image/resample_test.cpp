#include "image/resample.h"

#include "image/rect.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace {

TEST(ResampleTable, TentWeightsForEnlargingAndShrinking)
{
    struct Case
    {
        std::int32_t from, to, taps;
        std::vector<std::vector<std::uint16_t>> weights; // sources first ... last per output
        std::vector<std::int32_t> first;
    };

    const Case cases[] = {
        // Enlarging: a tent one source sample wide each side, i.e. linear interpolation.
        { 3,
          6,
          3,
          { { 100, 0 }, { 50, 50, 0 }, { 0, 100, 0 }, { 0, 50, 50 }, { 0, 100 }, { 0, 100 } },
          { 0, 0, 0, 0, 1, 1 } },
        // Shrinking by half: a tent two source samples wide each side.
        { 6, 3, 5, { { 66, 34, 0 }, { 0, 25, 50, 25, 0 }, { 0, 25, 50, 25 } }, { 0, 0, 2 } },
        { 4, 4, 3, { { 100, 0 }, { 0, 100, 0 }, { 0, 100, 0 }, { 0, 100 } }, { 0, 0, 1, 2 } },
    };
    for (const auto &c : cases) {
        ResampleTable t;
        ASSERT_TRUE(buildResampleTable(c.from, c.to, t));
        EXPECT_EQ(t.taps, c.taps);
        for (std::size_t i = 0; i < c.weights.size(); ++i) {
            EXPECT_EQ(t.first[i], c.first[i]) << c.from << " to " << c.to << " output " << i;
            std::vector<std::uint16_t> got(&t.weights[i * t.taps],
                                           &t.weights[i * t.taps] + (t.last[i] - t.first[i] + 1));
            EXPECT_EQ(got, c.weights[i]) << c.from << " to " << c.to << " output " << i;
        }
    }
    ResampleTable t;
    EXPECT_FALSE(buildResampleTable(0, 3, t));
    // A hundredfold reduction still keeps to the 101-tap limit and weights that total 100.
    ASSERT_TRUE(buildResampleTable(100000, 7, t));
    EXPECT_EQ(t.taps, 101);
    for (std::int32_t i = 0; i < 7; ++i) {
        EXPECT_LE(t.last[i] - t.first[i] + 1, 101);
        EXPECT_EQ(std::accumulate(&t.weights[i * 101], &t.weights[i * 101] + 101, 0), 100);
    }
}

TEST(Resample, ThreeToSixAndSixToThreeOnEitherAxis)
{
    const std::vector<std::uint8_t> three = { 0, 100, 200 };
    const std::vector<std::uint8_t> six = { 0, 60, 120, 180, 240, 255 };
    const std::vector<std::uint8_t> threeToSix = { 0, 50, 100, 150, 200, 200 };
    const std::vector<std::uint8_t> sixToThree = { 20, 120, 229 };

    struct Case
    {
        const std::vector<std::uint8_t> *in, *out;
    };

    for (const Case &c : { Case{ &three, &threeToSix }, Case{ &six, &sixToThree } }) {
        auto n = static_cast<std::int32_t>(c.in->size());
        auto k = static_cast<std::int32_t>(c.out->size());
        // A row of grey 3-byte pixels, resized horizontally.
        std::vector<std::uint8_t> row, wide(static_cast<std::size_t>(k) * 3);
        for (std::uint8_t v : *c.in)
            row.insert(row.end(), { v, v, v });
        ASSERT_TRUE(resampleToTrueColour(row.data(), n, 1, 0, 3, nullptr, wide.data(), k, 1, 0));
        for (std::int32_t i = 0; i < k; ++i)
            EXPECT_EQ(wide[i * 3 + 1], (*c.out)[i]) << n << " to " << k << " at " << i;
        // A column of a plane with padded rows, resized vertically.
        std::vector<std::uint8_t> column(static_cast<std::size_t>(n) * 4, 7), tall(k * 4, 9);
        for (std::int32_t i = 0; i < n; ++i)
            column[i * 4] = (*c.in)[i];
        ASSERT_TRUE(resamplePlane(column.data(), 1, n, 3, tall.data(), 1, k, 3));
        for (std::int32_t i = 0; i < k; ++i) {
            EXPECT_EQ(tall[i * 4], (*c.out)[i]) << n << " to " << k << " at " << i;
            EXPECT_EQ(tall[i * 4 + 1], 9) << "padding written";
        }
    }
}

// A deterministic noise picture, so that edge effects cannot pass for a change of the mean.
std::vector<std::uint8_t> noise(std::int32_t w, std::int32_t h, int bytesPerPixel, unsigned seed)
{
    std::vector<std::uint8_t> v(static_cast<std::size_t>(w) * h * bytesPerPixel);
    for (auto &b : v) {
        seed = seed * 1103515245 + 12345;
        b = static_cast<std::uint8_t>(seed >> 16);
    }
    return v;
}

double mean(const std::vector<std::uint8_t> &v)
{
    return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

TEST(Resample, KeepsConstantsConstantAndTheMeanWithinOne)
{
    const Size sizes[][2] = {
        { { 64, 48 }, { 100, 75 } }, { { 64, 48 }, { 17, 11 } }, { { 64, 48 }, { 64, 20 } },
        { { 64, 48 }, { 200, 48 } }, { { 300, 60 }, { 3, 150 } },  { { 50, 50 }, { 1, 1 } },
    };
    ImagePalette palette;
    palette.count = 1;
    palette.entries[0] = { 11, 22, 33, 0 };
    for (const auto &s : sizes) {
        const Size from = s[0], to = s[1];
        std::vector<std::uint8_t> out(static_cast<std::size_t>(to.width) * to.height * 3);
        std::vector<std::uint8_t> flat(static_cast<std::size_t>(from.width) * from.height * 3, 77);
        ASSERT_TRUE(resampleToTrueColour(flat.data(), from.width, from.height, 0, 3, nullptr,
                                         out.data(), to.width, to.height, 0));
        EXPECT_EQ(std::count(out.begin(), out.end(), 77), static_cast<long>(out.size()));
        std::vector<std::uint8_t> zeros(flat.size() / 3, 0);
        ASSERT_TRUE(resampleToTrueColour(zeros.data(), from.width, from.height, 0, 1, &palette,
                                         out.data(), to.width, to.height, 0));
        for (std::size_t i = 0; i < out.size(); i += 3)
            ASSERT_EQ((std::vector<int>{ out[i], out[i + 1], out[i + 2] }),
                      (std::vector<int>{ 33, 22, 11 }));
        if (to.width * to.height < 100)
            continue; // too few samples for a meaningful mean
        std::vector<std::uint8_t> in = noise(from.width, from.height, 1, 5), plane(out.size() / 3);
        ASSERT_TRUE(resamplePlane(in.data(), from.width, from.height, 0, plane.data(), to.width,
                                  to.height, 0));
        EXPECT_NEAR(mean(plane), mean(in), 1.0)
                << from.width << "x" << from.height << " to " << to.width << "x" << to.height;
    }
}

TEST(Resample, SinglePassMatchesTwoPassesWithinOne)
{
    const std::vector<std::uint8_t> in = noise(40, 30, 3, 9);
    for (Size to : { Size{ 13, 71 }, Size{ 90, 12 }, Size{ 7, 5 } }) {
        std::vector<std::uint8_t> two(static_cast<std::size_t>(to.width + 1) * to.height * 3);
        std::vector<std::uint8_t> one(two.size());
        ASSERT_TRUE(resampleToTrueColour(in.data(), 40, 30, 0, 3, nullptr, two.data(), to.width,
                                         to.height, 1));
        ASSERT_TRUE(resampleToTrueColourSinglePass(in.data(), 40, 30, 0, 3, nullptr, one.data(),
                                                   to.width, to.height, 1));
        for (std::size_t i = 0; i < two.size(); ++i)
            ASSERT_LE(std::abs(two[i] - one[i]), 1) << "byte " << i;
    }
}

TEST(Resample, APictureResamplesAlikeThroughItsPaletteAndInTrueColour)
{
    // 16 x 9 pixels of up to 256 colours, with padded rows: once as indices, once as colours.
    constexpr std::int32_t kWidth = 16, kHeight = 9, kPad = 3;
    const std::vector<std::uint8_t> indices = noise(kWidth + kPad, kHeight, 1, 3);
    const std::vector<std::uint8_t> colours = noise(256, 1, 3, 4);
    ImagePalette palette;
    palette.count = 256;
    std::vector<std::uint8_t> trueColour;
    for (int i = 0; i < 256; ++i)
        palette.entries[i] = { colours[i * 3 + 2], colours[i * 3 + 1], colours[i * 3], 0 };
    for (std::uint8_t index : indices)
        trueColour.insert(trueColour.end(), &colours[index * 3], &colours[index * 3] + 3);
    for (Size to : { Size{ 5, 4 }, Size{ 16, 3 }, Size{ 7, 9 }, Size{ 40, 21 } }) {
        std::vector<std::uint8_t> viaPalette(static_cast<std::size_t>(to.width + 2) * to.height * 3);
        std::vector<std::uint8_t> direct(viaPalette.size());
        ASSERT_TRUE(resampleToTrueColour(indices.data(), kWidth, kHeight, kPad, 1, &palette,
                                         viaPalette.data(), to.width, to.height, 2));
        ASSERT_TRUE(resampleToTrueColour(trueColour.data(), kWidth, kHeight, kPad, 3, nullptr,
                                         direct.data(), to.width, to.height, 2));
        EXPECT_EQ(viaPalette, direct) << to.width << "x" << to.height;
    }
}

TEST(Resample, RefusesWhatItCannotConvert)
{
    std::uint8_t in[12] = {}, out[48] = {};
    EXPECT_FALSE(resampleToTrueColour(in, 2, 2, 0, 1, nullptr, out, 4, 4, 0));
    EXPECT_FALSE(resampleToTrueColour(in, 0, 2, 0, 3, nullptr, out, 4, 4, 0));
    EXPECT_FALSE(resampleToTrueColour(in, 2, 2, 0, 3, nullptr, out, 4, 0, 0));
    EXPECT_FALSE(resamplePlane(in, 2, -1, 0, out, 4, 4, 0));
}

TEST(ExpandIndexed, ReportsTheKeyAndMakesADuplicatedOneUnique)
{
    struct Case
    {
        const char *name;
        std::int32_t transparentIndex;
        bool blueFirst;
        RgbValue expectedKey;
        PaletteEntry expectedEntry2;
    };

    // Entry 2 repeats entry 0's colour; entry 1's values take 1 as red and 2 as blue.
    const Case cases[] = {
        { "unique key", 1, true, MakeRgb(1, 0, 2), { 0, 0, 0, 0 } },
        { "duplicated key", 2, true, MakeRgb(2, 1, 1), { 2, 1, 1, 0 } },
        { "red first", 2, false, MakeRgb(2, 1, 1), { 2, 1, 1, 0 } },
        { "no key", -1, true, kNoColour, { 0, 0, 0, 0 } },
        { "key past the count", 3, true, kNoColour, { 0, 0, 0, 0 } },
    };
    const std::uint8_t indices[] = { 0, 1, 2, 0xEE, 2, 1, 0, 0xEE }; // 3 x 2, row pad 1
    for (const auto &c : cases) {
        ImagePalette palette;
        palette.count = 3;
        palette.entries[1] = { 1, 0, 2, 0 };
        std::vector<std::uint8_t> out(6 * 3, 0xAB);
        RgbValue key = 12345;
        expandIndexed(3, 2, indices, 1, palette, c.transparentIndex, out.data(), 0, c.blueFirst,
                      key);
        EXPECT_EQ(key, c.expectedKey) << c.name;
        EXPECT_TRUE(palette.entries[2].sameColour(c.expectedEntry2)) << c.name;
        const std::uint8_t expectedFirstRow[3][3] = {
            { 0, 0, 0 },
            { 1, 0, 2 },
            { c.expectedEntry2.red, c.expectedEntry2.green, c.expectedEntry2.blue }
        };
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t *rgb = expectedFirstRow[x];
            const std::uint8_t *p = &out[x * 3];
            EXPECT_EQ(p[0], c.blueFirst ? rgb[2] : rgb[0]) << c.name << " pixel " << x;
            EXPECT_EQ(p[1], rgb[1]) << c.name << " pixel " << x;
            EXPECT_EQ(p[2], c.blueFirst ? rgb[0] : rgb[2]) << c.name << " pixel " << x;
        }
        EXPECT_EQ(out[3 * 3 + 2], c.blueFirst ? c.expectedEntry2.red : c.expectedEntry2.blue);
    }
}

} // namespace
