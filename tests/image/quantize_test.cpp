// The palette quantizer: palette size limits, exact colours for pictures that fit, the
// nearest-colour cache against a brute-force search, hand-computed diffusion, transparency with
// computed and given palettes, and saturated counters.
#include "image/quantize.h"

#include <array>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <vector>

namespace {

using Colour = std::array<std::uint8_t, 3>; // storage order

// 3-byte pixels with pad pixels at the end of each row (filled with a marker).
struct Picture
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pad = 0;
    std::vector<std::uint8_t> bytes;

    const std::uint8_t *at(std::int32_t x, std::int32_t y) const
    {
        return bytes.data() + (static_cast<std::size_t>(y) * (width + pad) + x) * 3;
    }

    Colour colour(std::int32_t x, std::int32_t y) const
    {
        const std::uint8_t *p = at(x, y);
        return { p[0], p[1], p[2] };
    }
};

template <typename F>
Picture makePicture(std::int32_t width, std::int32_t height, std::int32_t pad, F colourAt)
{
    Picture picture{ width, height, pad, {} };
    picture.bytes.assign(static_cast<std::size_t>((width + pad) * height * 3), 0xEE);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            const Colour c = colourAt(x, y);
            std::copy(c.begin(), c.end(),
                      picture.bytes.begin() + (picture.at(x, y) - picture.bytes.data()));
        }
    return picture;
}

// The centre of a histogram cell: a colour the quantizer can reproduce exactly.
Colour cellCentre(int c0, int c1, int c2)
{
    return { std::uint8_t(8 * c0 + 4), std::uint8_t(4 * c1 + 2), std::uint8_t(8 * c2 + 4) };
}

struct Options
{
    std::int32_t maxColours = 256;
    bool dither = false;
    const ImagePalette *given = nullptr;
    RgbValue transparent = kNoColour;
    std::int32_t transparentIndexIn = -1;
    bool passIndex = true;
    bool blueFirst = true;
};

struct Result
{
    bool ok = false;
    ImagePalette palette;
    std::int32_t transparentIndex = -2;
    std::vector<std::uint8_t> indices; // width x height, no padding
};

Result quantizeToIndices(const Picture &picture, const Options &o)
{
    Result r;
    r.indices.assign(static_cast<std::size_t>(picture.width * picture.height), 0xCC);
    r.transparentIndex = o.transparentIndexIn;
    r.ok = quantize(Rect{ 0, 0, picture.width, picture.height }, picture.bytes.data(), picture.pad,
                    r.indices.data(), 0, kQuantizeIndexOutput, o.maxColours, o.dither, o.given,
                    &r.palette, o.transparent, o.passIndex ? &r.transparentIndex : nullptr,
                    o.blueFirst);
    return r;
}

std::size_t distinctCells(const Picture &picture)
{
    std::set<int> cells;
    for (std::int32_t y = 0; y < picture.height; ++y)
        for (std::int32_t x = 0; x < picture.width; ++x) {
            const std::uint8_t *p = picture.at(x, y);
            cells.insert((p[0] >> 3) << 11 | (p[1] >> 2) << 5 | (p[2] >> 3));
        }
    return cells.size();
}

Picture noise(std::uint32_t seed, int levels)
{
    std::mt19937 random(seed);
    return makePicture(37, 23, 3, [&](int, int) {
        return Colour{ std::uint8_t(random() % levels * (256 / levels)),
                       std::uint8_t(random() % levels * (256 / levels)),
                       std::uint8_t(random() % levels * (256 / levels)) };
    });
}

TEST(Quantize, PaletteIsNeverLargerThanAskedOrThanTheCellsInUse)
{
    const Picture pictures[] = {
        noise(1, 256),
        noise(2, 3),
        makePicture(40, 9, 1,
                    [](int x, int y) {
                        return Colour{ std::uint8_t(6 * x), std::uint8_t(25 * y), 90 };
                    }),
        makePicture(8, 8, 0, [](int x, int y) { return cellCentre(x % 2, 7 * (y % 3), 31); }),
    };
    const RgbValue magenta = MakeRgb(255, 0, 255);
    for (const Picture &picture : pictures) {
        const std::size_t cells = distinctCells(picture);
        for (std::int32_t maxColours : { 2, 3, 16, 255, 256 })
            for (bool dither : { false, true })
                for (RgbValue transparent : { kNoColour, magenta }) {
                    SCOPED_TRACE(testing::Message()
                                 << cells << " cells, " << maxColours << " colours, dither "
                                 << dither << ", transparent " << transparent);
                    const Result r = quantizeToIndices(
                            picture, { maxColours, dither, nullptr, transparent });
                    ASSERT_TRUE(r.ok);
                    const std::size_t reserved = transparent == kNoColour ? 0 : 1;
                    EXPECT_LE(r.palette.count, maxColours);
                    EXPECT_LE(r.palette.count, cells + reserved);
                    EXPECT_GE(r.palette.count, 1 + reserved);
                    EXPECT_EQ(r.transparentIndex,
                              transparent == kNoColour ? -1 : r.palette.count - 1);
                    for (std::uint8_t index : r.indices) {
                        ASSERT_LT(index, r.palette.count);
                        // No pixel of the picture is magenta, so none may become transparent.
                        ASSERT_NE(index, r.transparentIndex);
                    }
                }
    }
}

TEST(Quantize, SingleColourGetsOneEntryPlusTheTransparentOne)
{
    const Colour colour{ 60, 130, 200 };
    const Picture picture = makePicture(5, 3, 3, [&](int, int) { return colour; });

    struct Case
    {
        bool blueFirst;
        RgbValue transparent;
        int count;
    };

    // A picture of fewer colours than asked keeps them exactly (not the cell centre 204 of 200).
    for (const Case &c :
         { Case{ true, kNoColour, 1 }, Case{ false, kNoColour, 1 },
           Case{ true, MakeRgb(1, 2, 3), 2 }, Case{ false, MakeRgb(1, 2, 3), 2 } }) {
        SCOPED_TRACE(testing::Message()
                     << "blue first " << c.blueFirst << ", transparent " << c.transparent);
        const Result r = quantizeToIndices(
                picture, { 2, true, nullptr, c.transparent, -1, true, c.blueFirst });
        ASSERT_EQ(r.palette.count, c.count);
        const PaletteEntry &e = r.palette.entries[0];
        // Storage order: blue first puts byte 0 into blue, else into red.
        EXPECT_EQ(c.blueFirst ? e.blue : e.red, 60);
        EXPECT_EQ(e.green, 130);
        EXPECT_EQ(c.blueFirst ? e.red : e.blue, 200);
        if (c.count == 2) {
            EXPECT_EQ(r.transparentIndex, 1);
            EXPECT_TRUE(r.palette.entries[1].sameColour({ 1, 2, 3, 0 }));
        }
        EXPECT_EQ(r.indices, std::vector<std::uint8_t>(15, 0));
    }
}

// With no more non-empty cells than colours, every cell gets its own box, so colours at cell
// centres come back unchanged: in index form through the palette, and in colour form in place.
TEST(Quantize, ColoursAtCellCentresComeBackExactly)
{
    // Up to 256 distinct cells: k determines the cell and the cell determines k.
    const Picture picture = makePicture(29, 17, 2, [](int x, int y) {
        const int k = (3 * x + 29 * y) % 256;
        return cellCentre(7 * k % 32, 13 * k % 64, k / 8);
    });
    ASSERT_GT(distinctCells(picture), 200u);
    ASSERT_LE(distinctCells(picture), 256u);
    for (bool blueFirst : { true, false }) {
        SCOPED_TRACE(blueFirst);
        const Result r =
                quantizeToIndices(picture, { 256, false, nullptr, kNoColour, -1, true, blueFirst });
        ASSERT_EQ(r.palette.count, distinctCells(picture));
        for (std::int32_t y = 0; y < picture.height; ++y)
            for (std::int32_t x = 0; x < picture.width; ++x) {
                const PaletteEntry &e = r.palette.entries[r.indices[static_cast<std::size_t>(
                        y * picture.width + x)]];
                const Colour expected = picture.colour(x, y);
                ASSERT_EQ(
                        (Colour{ blueFirst ? e.blue : e.red, e.green, blueFirst ? e.red : e.blue }),
                        expected);
            }

        Picture inPlace = picture;
        ASSERT_TRUE(quantize(Rect{ 3, 4, 3 + picture.width, 4 + picture.height },
                             inPlace.bytes.data(), picture.pad, inPlace.bytes.data(), picture.pad,
                             3, 256, false, nullptr, nullptr, kNoColour, nullptr, blueFirst));
        EXPECT_EQ(inPlace.bytes, picture.bytes) << "pad pixels and colours untouched";
    }
}

// Weighted distance of the cache: axis differences 1, 3 and 2 times.
int distance(const Colour &a, const Colour &b)
{
    const int d0 = a[0] - b[0], d1 = 3 * (a[1] - b[1]), d2 = 2 * (a[2] - b[2]);
    return d0 * d0 + d1 * d1 + d2 * d2;
}

TEST(Quantize, NearestMappingAgreesWithExhaustiveSearch)
{
    std::mt19937 random(7);
    for (int entries : { 3, 40, 256 }) {
        SCOPED_TRACE(entries);
        ImagePalette given;
        given.count = static_cast<std::uint16_t>(entries);
        for (int i = 0; i < entries; ++i)
            given.entries[i] = { std::uint8_t(random()), std::uint8_t(random()),
                                 std::uint8_t(random()), 0 };
        const Picture picture = makePicture(64, 48, 0, [&](int, int) {
            return Colour{ std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random()) };
        });
        const Result r =
                quantizeToIndices(picture, { 256, false, &given, kNoColour, -1, false, true });
        ASSERT_TRUE(r.ok);
        for (std::int32_t y = 0; y < picture.height; ++y)
            for (std::int32_t x = 0; x < picture.width; ++x) {
                const Colour p = picture.colour(x, y);
                const Colour centre = cellCentre(p[0] >> 3, p[1] >> 2, p[2] >> 3);
                int best = 0;
                for (int i = 1; i < entries; ++i) {
                    const PaletteEntry &e = given.entries[i];
                    const PaletteEntry &b = given.entries[best];
                    if (distance(centre, { e.blue, e.green, e.red })
                        < distance(centre, { b.blue, b.green, b.red }))
                        best = i;
                }
                ASSERT_EQ(r.indices[static_cast<std::size_t>(y * picture.width + x)], best)
                        << x << "," << y;
            }
    }
}

// Grey 128 onto black and white. Row 0, left to right: 128 is nearer white (error -127, 7/16 of
// it carried: t = -56, limited to -32, u = 96: black), and so on. Row 1 runs right to left and
// starts from the errors row 0 left below, which gives the opposite phase.
TEST(Quantize, DitheringFollowsSerpentineRowsWithLimitedErrors)
{
    ImagePalette blackWhite;
    blackWhite.count = 2;
    blackWhite.entries[1] = { 255, 255, 255, 0 };
    const Picture grey = makePicture(4, 2, 0, [](int, int) { return Colour{ 128, 128, 128 }; });
    const Result r = quantizeToIndices(grey, { 256, true, &blackWhite });
    EXPECT_EQ(r.indices, (std::vector<std::uint8_t>{ 1, 0, 1, 0, 0, 1, 0, 1 }));

    // Without diffusion every pixel takes the nearer entry.
    EXPECT_EQ(quantizeToIndices(grey, { 256, false, &blackWhite }).indices,
              std::vector<std::uint8_t>(8, 1));

    // A wide field keeps its mean: about half of 128 / 255 of the pixels are white.
    const Picture field = makePicture(64, 64, 0, [](int, int) { return Colour{ 128, 128, 128 }; });
    const Result wide = quantizeToIndices(field, { 256, true, &blackWhite });
    int white = 0;
    for (std::uint8_t index : wide.indices)
        white += index;
    EXPECT_NEAR(white / 4096.0, 128 / 255.0, 0.02);
}

TEST(Quantize, TransparentEntryOfAGivenPalette)
{
    ImagePalette given;
    given.count = 4;
    given.entries[0] = { 0, 0, 0, 0 };
    given.entries[1] = { 255, 0, 0, 0 };
    given.entries[2] = { 0, 0, 255, 0 };
    given.entries[3] = { 255, 255, 255, 0 };
    const RgbValue blue = MakeRgb(0, 0, 255), green = MakeRgb(0, 200, 0);

    struct Case
    {
        const char *name;
        RgbValue transparent;
        bool passIndex;
        std::int32_t indexIn, expectedIndex;
        PaletteEntry lastEntry;
    };

    const Case cases[] = {
        { "colour found in the palette", blue, false, -1, 2, given.entries[3] },
        { "index passed in", blue, true, 1, 1, given.entries[3] },
        { "index passed in out of range", blue, true, 300, 2, given.entries[3] },
        { "colour missing: last entry replaced", green, false, -1, 3, { 0, 200, 0, 0 } },
        { "no transparent colour", kNoColour, true, 2, -1, given.entries[3] },
    };
    const Picture picture = makePicture(6, 4, 1, [&](int x, int y) {
        return (x + y) % 3 == 0 ? Colour{ 0, 0, 255 } : Colour{ std::uint8_t(40 * x), 180, 30 };
    });
    for (const Case &c : cases) {
        for (bool dither : { false, true }) {
            SCOPED_TRACE(testing::Message() << c.name << ", dither " << dither);
            const RgbValue key = c.transparent == kNoColour ? MakeRgb(0, 0, 255) : c.transparent;
            Picture keyed = makePicture(6, 4, 1, [&](int x, int y) {
                return x == y ? Colour{ BlueOf(key), GreenOf(key), RedOf(key) }
                              : picture.colour(x, y);
            });
            const Result r = quantizeToIndices(
                    keyed, { 256, dither, &given, c.transparent, c.indexIn, c.passIndex });
            EXPECT_EQ(r.palette.count, 4);
            EXPECT_TRUE(r.palette.entries[3].sameColour(c.lastEntry));
            if (c.passIndex) {
                EXPECT_EQ(r.transparentIndex, c.expectedIndex);
            }
            if (c.expectedIndex < 0)
                continue;
            // Exactly the key pixels (the diagonal) carry the transparent index.
            for (std::int32_t y = 0; y < 4; ++y)
                for (std::int32_t x = 0; x < 6; ++x)
                    EXPECT_EQ(r.indices[static_cast<std::size_t>(y * 6 + x)] == c.expectedIndex,
                              x == y)
                            << x << "," << y;
        }
    }
}

// One box holds every cell when one colour is wanted (two asked, one kept for transparency), so
// its colour is the weighted mean of 70,000 pixels of axis-0 value 4 and 10,000 of value 132:
// the first counter stops at 65,535, giving (4 x 65,535 + 132 x 10,000 + 37,767) / 75,535 = 21.
// An exact count would give 20, a wrapped one 93.
TEST(Quantize, CountersSaturateAt65535)
{
    const Picture picture = makePicture(400, 200, 0, [](int, int y) {
        return y < 175 ? cellCentre(0, 10, 10) : cellCentre(16, 10, 10);
    });
    ImagePalette out;
    std::int32_t index = -2;
    ASSERT_TRUE(quantize(Rect{ 0, 0, 400, 200 }, picture.bytes.data(), 0, nullptr, 0, 1, 2, false,
                         nullptr, &out, MakeRgb(1, 1, 1), &index, true));
    ASSERT_EQ(out.count, 2);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(out.entries[0].blue, 21);
    EXPECT_EQ(out.entries[0].green, 42);
    EXPECT_EQ(out.entries[0].red, 84);
}

TEST(Quantize, EmptyAreaGivesOnlyTheTransparentEntry)
{
    const std::uint8_t pixel[3] = { 1, 2, 3 };
    ImagePalette out;
    std::int32_t index = -2;
    EXPECT_TRUE(quantize(Rect{ 5, 5, 5, 9 }, pixel, 0, nullptr, 0, 1, 16, true, nullptr, &out,
                         MakeRgb(9, 9, 9), &index, true));
    EXPECT_EQ(out.count, 1);
    EXPECT_EQ(index, 0);
}

} // namespace
