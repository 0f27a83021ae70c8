// Screen colour reduction: the level tables at their edges, hand-computed diffusion on flat areas,
// the choice of treatment from the screen's facts, the colour key, and the level modes against a
// plain two-dimensional model of serpentine diffusion.
#include "image/screen_reduction.h"

#include "image/display_info.h"
#include "image/halftone_palette.h"

#include <array>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

using Colour = std::array<std::uint8_t, 3>; // blue, green, red
constexpr std::uint8_t kPadMarker = 0xA5;

// Sets the screen's facts for one test and puts the previous ones back afterwards.
class ScreenGuard
{
public:
    explicit ScreenGuard(std::int32_t colourBits, std::int32_t colourCount)
        : saved(CurrentDisplayInfo())
    {
        DisplayInfo info = saved;
        info.colourBits = colourBits;
        info.colourCount = colourCount;
        SetDisplayInfo(info);
    }

    ~ScreenGuard() { SetDisplayInfo(saved); }

    ScreenGuard(const ScreenGuard &) = delete;
    ScreenGuard &operator=(const ScreenGuard &) = delete;

private:
    DisplayInfo saved;
};

// A view buffer: 3-byte pixels, rows padded to a multiple of 4 pixels filled with a marker.
struct ViewBuffer
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pad = 0;
    std::vector<std::uint8_t> bytes;

    ViewBuffer(std::int32_t w, std::int32_t h, Colour fill)
        : width(w), height(h), pad((4 - w % 4) % 4)
    {
        bytes.assign(static_cast<std::size_t>((w + pad) * h * 3), kPadMarker);
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                set(x, y, fill);
    }

    std::uint8_t *at(std::int32_t x, std::int32_t y)
    {
        return bytes.data() + (static_cast<std::size_t>(y) * (width + pad) + x) * 3;
    }

    Colour get(std::int32_t x, std::int32_t y) { return { at(x, y)[0], at(x, y)[1], at(x, y)[2] }; }

    void set(std::int32_t x, std::int32_t y, Colour c) { std::copy(c.begin(), c.end(), at(x, y)); }

    void reduce(std::int32_t mode, RgbValue key = kNoColour, bool useKey = false,
                ImagePalette *palette = nullptr)
    {
        reduceForScreen(Rect{ 0, 0, width, height }, bytes.data(), pad, mode, key, useKey, palette);
    }

    // One byte position of every pixel, row by row.
    std::vector<std::vector<int>> plane(int position)
    {
        std::vector<std::vector<int>> rows(static_cast<std::size_t>(height));
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x)
                rows[static_cast<std::size_t>(y)].push_back(at(x, y)[position]);
        return rows;
    }
};

Colour grey(std::uint8_t v)
{
    return { v, v, v };
}

TEST(ScreenReduction, LevelTablesAtTheirEdges)
{
    struct Row
    {
        int value;
        int level16;
        int level32;
    };

    const Row rows[] = {
        { 0, 0, 0 },       { 3, 0, 0 },       { 4, 0, 8 },       { 7, 0, 8 },
        { 8, 17, 8 },      { 10, 17, 8 },     { 11, 17, 16 },    { 12, 17, 16 },
        { 19, 17, 16 },    { 20, 17, 24 },    { 25, 34, 24 },    { 123, 119, 128 },
        { 131, 136, 128 }, { 132, 136, 136 }, { 243, 238, 240 }, { 244, 238, 248 },
        { 245, 238, 248 }, { 246, 255, 248 }, { 255, 255, 248 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(Level16(static_cast<std::uint8_t>(row.value)), row.level16);
        EXPECT_EQ(Level32(static_cast<std::uint8_t>(row.value)), row.level32);
    }
    // Both tables only ever go up, and every value lands on a level of its table.
    for (int v = 1; v < 256; ++v) {
        const auto b = static_cast<std::uint8_t>(v);
        EXPECT_GE(Level16(b), Level16(static_cast<std::uint8_t>(v - 1)));
        EXPECT_GE(Level32(b), Level32(static_cast<std::uint8_t>(v - 1)));
        EXPECT_EQ(Level16(b) % 17, 0);
        EXPECT_EQ(Level32(b) % 8, 0);
    }
}

// Flat areas worked out by hand. Value 8 goes to 17 in the 16-level table, and the -9 error pulls
// the next pixel to level(8 - 3) = 0. Width 4 tells the serpentine second row from a
// left-to-right one (which would start with 17); width 5 tells the 5 (behind) and 3 (below)
// weights from the other way round (which would give 0, 17, 0, 17, 0 in the second row).
TEST(ScreenReduction, FlatAreasDiffuseByHand)
{
    struct Row
    {
        const char *name;
        std::int32_t mode;
        std::int32_t width;
        std::int32_t height;
        std::uint8_t value;
        std::vector<std::vector<int>> expected;
    };

    const Row rows[] = {
        { "12-bit, width 4", 3, 4, 2, 8, { { 17, 0, 17, 0 }, { 0, 17, 0, 17 } } },
        { "12-bit, width 5",
          3,
          5,
          3,
          8,
          { { 17, 0, 17, 0, 17 }, { 17, 0, 17, 0, 17 }, { 17, 0, 17, 0, 17 } } },
        { "16-bit white, corrections clamped", 2, 2, 1, 255, { { 248, 248 } } },
        { "16-bit exact levels", 2, 3, 2, 16, { { 16, 16, 16 }, { 16, 16, 16 } } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ViewBuffer buffer(row.width, row.height, grey(row.value));
        buffer.reduce(row.mode);
        // Each byte position has its own pass and error row, so all three planes agree.
        for (int position = 0; position < 3; ++position)
            EXPECT_EQ(buffer.plane(position), row.expected) << "byte " << position;
    }
}

// The colour 11, 11, 11 ends up differently under each treatment: 16 with 32 levels, 17 with 16
// levels, 12 (the nearest halftone grey) through the halftone palette, 11 untouched.
TEST(ScreenReduction, TreatmentFollowsModeAndScreen)
{
    struct Row
    {
        const char *name;
        std::int32_t mode;
        std::int32_t colourBits;
        std::int32_t colourCount;
        std::uint8_t expected;
    };

    const Row rows[] = {
        { "none", 1, 8, 256, 11 },
        { "automatic, 24 bits", 0, 24, 2 << 24, 11 },
        { "automatic, 32 bits", 0, 32, 0, 11 },
        { "automatic, 16 bits", 0, 16, 131072, 16 },
        { "automatic, 16-bit device showing 12", 0, 16, 4096, 17 },
        { "automatic, 12 bits", 0, 12, 8192, 16 },
        { "automatic, 8-bit palette", 0, 8, 256, 12 },
        { "automatic, 4-bit palette", 0, 4, 16, 12 },
        { "16-bit on a 24-bit screen", 2, 24, 2 << 24, 16 },
        { "12-bit on a 24-bit screen", 3, 24, 2 << 24, 17 },
        { "halftone on a 24-bit screen", 4, 24, 2 << 24, 12 },
        { "stored value 5", 5, 24, 2 << 24, 12 },
        { "stored value 7", 7, 24, 2 << 24, 12 },
        { "beyond the stored field", 8, 8, 256, 11 },
        { "negative", -1, 8, 256, 11 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const ScreenGuard screen(row.colourBits, row.colourCount);
        ViewBuffer buffer(3, 2, grey(11));
        const std::vector<std::uint8_t> before = buffer.bytes;
        buffer.reduce(row.mode);
        EXPECT_EQ(buffer.get(0, 0), grey(row.expected));
        if (row.expected == 11) {
            EXPECT_EQ(buffer.bytes, before);
        }
        for (std::int32_t y = 0; y < buffer.height; ++y)
            EXPECT_EQ(buffer.at(buffer.width, y)[0], kPadMarker) << "padding of row " << y;
    }
}

TEST(ScreenReduction, HalftoneModeHandsOutThePalette)
{
    ViewBuffer buffer(4, 4, grey(11));
    ImagePalette palette;
    buffer.reduce(4, kNoColour, false, &palette);
    const ImagePalette halftone = HalftonePalette();
    ASSERT_EQ(palette.count, 256);
    for (int i = 0; i < 256; ++i)
        EXPECT_TRUE(palette.entries[i].sameColour(halftone.entries[i])) << i;
}

TEST(ScreenReduction, MissingAreaOrPixelsChangeNothing)
{
    ViewBuffer buffer(4, 2, grey(8));
    const std::vector<std::uint8_t> before = buffer.bytes;
    reduceForScreen(Rect{}, buffer.bytes.data(), 0, 3, kNoColour, false, nullptr);
    reduceForScreen(Rect{ 0, 0, 4, -2 }, buffer.bytes.data(), 0, 3, kNoColour, false, nullptr);
    reduceForScreen(Rect{ 0, 0, 4, 2 }, buffer.bytes.data(), -1, 3, kNoColour, false, nullptr);
    reduceForScreen(Rect{ 0, 0, 4, 2 }, nullptr, 0, 3, kNoColour, false, nullptr);
    EXPECT_EQ(buffer.bytes, before);
}

// Pixels of the key colour keep their bytes in every reducing mode while their neighbours change.
TEST(ScreenReduction, KeyColourIsKept)
{
    const Colour keyBytes{ 30, 20, 10 }; // blue, green, red
    const RgbValue key = MakeRgb(10, 20, 30);
    for (const std::int32_t mode : { 2, 3, 4 }) {
        SCOPED_TRACE(mode);
        ViewBuffer buffer(5, 4, grey(11));
        for (std::int32_t y = 0; y < buffer.height; ++y)
            buffer.set((y * 2) % buffer.width, y, keyBytes);
        buffer.reduce(mode, key, true);
        for (std::int32_t y = 0; y < buffer.height; ++y) {
            EXPECT_EQ(buffer.get((y * 2) % buffer.width, y), keyBytes) << "row " << y;
            EXPECT_NE(buffer.get((y * 2 + 1) % buffer.width, y), grey(11)) << "row " << y;
        }

        // Without the key flag the same colour is reduced like any other.
        ViewBuffer plain(5, 1, keyBytes);
        plain.reduce(mode, key, false);
        EXPECT_NE(plain.get(0, 0), keyBytes);
    }
}

// The level modes judge the key against the pixel's current bytes: once the blue pass has made a
// pixel equal to the key, its green and red stay as they were.
TEST(ScreenReduction, KeyJudgedAfterEachBytePass)
{
    ViewBuffer buffer(1, 1, { 8, 11, 11 });
    buffer.reduce(3, MakeRgb(11, 11, 17), true);
    EXPECT_EQ(buffer.get(0, 0), (Colour{ 17, 11, 11 }));
}

// A plain model of the level modes: a whole error plane, each pixel's error spread by explicit
// offsets in the direction of travel. It shares nothing with the sliding error rows it checks.
std::vector<std::vector<int>> modelPlane(const std::vector<std::vector<int>> &input,
                                         std::uint8_t (*level)(std::uint8_t))
{
    const int height = static_cast<int>(input.size());
    const int width = static_cast<int>(input[0].size());
    std::vector<std::vector<int>> fromAbove(static_cast<std::size_t>(height + 1),
                                            std::vector<int>(static_cast<std::size_t>(width), 0));
    std::vector<std::vector<int>> out = input;
    for (int y = 0; y < height; ++y) {
        const int dir = y % 2 == 0 ? 1 : -1;
        int previous = 0;
        for (int i = 0; i < width; ++i) {
            const int x = dir > 0 ? i : width - 1 - i;
            const int t = (7 * previous + fromAbove[y][x] + 8) / 16;
            const int u = std::clamp(input[y][x] + t, 0, 255);
            const int e = u - level(static_cast<std::uint8_t>(u));
            out[y][x] = level(static_cast<std::uint8_t>(u));
            const std::array<std::pair<int, int>, 3> spread{
                { { -dir, 5 }, { 0, 3 }, { dir, 1 } }
            };
            for (const auto &[dx, weight] : spread)
                if (x + dx >= 0 && x + dx < width)
                    fromAbove[y + 1][x + dx] += weight * e;
            previous = e;
        }
    }
    return out;
}

// Rows with a key are levelled one byte position after another, rows without one in a single
// sweep; a key that no pixel ever matches must not change the outcome of either.
TEST(ScreenReduction, LevelModesMatchPlainModel)
{
    std::mt19937 random(5);
    for (const std::int32_t mode : { 2, 3 })
        for (const bool useKey : { false, true })
            for (std::int32_t width = 1; width <= 9; ++width) {
                SCOPED_TRACE(testing::Message()
                             << "mode " << mode << ", key " << useKey << ", width " << width);
                ViewBuffer buffer(width, 5, grey(0));
                for (std::int32_t y = 0; y < buffer.height; ++y)
                    for (std::int32_t x = 0; x < width; ++x)
                        for (int p = 0; p < 3; ++p)
                            buffer.at(x, y)[p] = static_cast<std::uint8_t>(32 + random() % 192);
                std::array<std::vector<std::vector<int>>, 3> expected;
                for (int p = 0; p < 3; ++p)
                    expected[p] = modelPlane(buffer.plane(p), mode == 3 ? Level16 : Level32);
                // Bytes below 32 never occur before levelling, and 1 is no level after it.
                buffer.reduce(mode, MakeRgb(1, 1, 1), useKey);
                for (int p = 0; p < 3; ++p)
                    EXPECT_EQ(buffer.plane(p), expected[p]) << "byte " << p;
                if (buffer.pad > 0) {
                    for (std::int32_t y = 0; y < buffer.height; ++y)
                        EXPECT_EQ(buffer.at(width, y)[0], kPadMarker) << "padding of row " << y;
                }
            }
}

} // namespace
