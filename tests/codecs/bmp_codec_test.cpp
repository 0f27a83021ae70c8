// The BMP reader on files built in memory: literal byte arrays for the classic layouts, a small
// builder for the many variants of header, depth and compression.
#include "codecs/bmp_codec.h"

#include "codecs/bmp_rows.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/byte_writer.h"
#include "tests/support/failure_location.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

// Test files name only the fields a case changes; the others keep their defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Rows = std::vector<std::vector<int>>;

// A BMP file described by its fields; bytes() lays it out as a writer would.
struct BmpFile
{
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t planes = 1;
    std::uint16_t bits = 8;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::int32_t xPerMetre = 0;
    std::int32_t yPerMetre = 0;
    std::vector<std::uint32_t> masks; // after a 40-byte header, inside a 108/124-byte one
    Bytes table; // colour table as stored
    Bytes pixels; // pixel data as stored
    std::optional<std::uint32_t> pixelOffset;

    Bytes bytes() const
    {
        Bytes info;
        Put32(info, headerSize);
        if (headerSize == 12) {
            Put16(info, static_cast<std::uint32_t>(width));
            Put16(info, static_cast<std::uint32_t>(height));
            Put16(info, planes);
            Put16(info, bits);
        } else {
            for (std::uint32_t v : { std::uint32_t(width), std::uint32_t(height) })
                Put32(info, v);
            Put16(info, planes);
            Put16(info, bits);
            for (std::uint32_t v : { compression, 0u, std::uint32_t(xPerMetre),
                                     std::uint32_t(yPerMetre), coloursUsed, 0u })
                Put32(info, v);
            const bool inside = headerSize >= 108;
            if (inside)
                for (std::uint32_t m : masks)
                    Put32(info, m);
            info.resize(headerSize);
            if (!inside)
                for (std::uint32_t m : masks)
                    Put32(info, m);
        }
        const auto offset = static_cast<std::uint32_t>(14 + info.size() + table.size());
        Bytes file = { 'B', 'M' };
        Put32(file, static_cast<std::uint32_t>(offset + pixels.size()));
        Put32(file, 0);
        Put32(file, pixelOffset.value_or(offset));
        file.insert(file.end(), info.begin(), info.end());
        file.insert(file.end(), table.begin(), table.end());
        file.insert(file.end(), pixels.begin(), pixels.end());
        return file;
    }
};

// A colour table whose entry i is red 3i, green 2i, blue i (all mod 256).
Bytes colourTable(int entries, int entrySize = 4)
{
    Bytes table;
    for (int i = 0; i < entries; ++i) {
        table.insert(table.end(), { std::uint8_t(i), std::uint8_t(2 * i), std::uint8_t(3 * i) });
        if (entrySize == 4)
            table.push_back(0);
    }
    return table;
}

ImageBuffer decodeInRect(const Bytes &file, const Size *size, const Rect *clip)
{
    MemoryImageStream stream(file.data(), static_cast<std::int64_t>(file.size()));
    BmpCodec codec;
    ImageInfo info;
    FrameArray frames;
    codec.decodeFramesInRect(stream, info, frames, size, clip);
    return std::move(frames.at(0)->image);
}

ImageBuffer decode(const Bytes &file)
{
    return decodeInRect(file, nullptr, nullptr);
}

ImageHeader readInfo(const Bytes &file)
{
    MemoryImageStream stream(file.data(), static_cast<std::int64_t>(file.size()));
    BmpCodec codec;
    ImageHeader header;
    codec.readInfo(stream, header);
    return header;
}

// Rows top first; a 1-byte image gives indices, a 3-byte one blue, green, red bytes.
Rows rowsOf(const ImageBuffer &image)
{
    Rows rows;
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t *p = image.row(y);
        rows.emplace_back(p, p + image.width * image.bytesPerPixel);
    }
    return rows;
}

// Bottom-up 8-bit picture of width x height whose pixel (x, y) has index 16y + x.
BmpFile gridPicture(std::int32_t width, std::int32_t height, bool topDown = false)
{
    BmpFile f{ .width = width, .height = topDown ? -height : height, .coloursUsed = 256 };
    f.table = colourTable(256);
    const std::int32_t stride = (width + 3) / 4 * 4;
    for (std::int32_t i = 0; i < height; ++i) {
        const std::int32_t y = topDown ? i : height - 1 - i;
        for (std::int32_t x = 0; x < stride; ++x)
            f.pixels.push_back(x < width ? std::uint8_t(16 * y + x) : 0xEE);
    }
    return f;
}

// The same grid as 8-bit run-length rows: one absolute run per row (widths of at least 3).
BmpFile gridPictureRle(std::int32_t width, std::int32_t height)
{
    BmpFile f{ .width = width, .height = height, .compression = 1, .coloursUsed = 256 };
    f.table = colourTable(256);
    for (std::int32_t y = height - 1; y >= 0; --y) {
        f.pixels.insert(f.pixels.end(), { 0, std::uint8_t(width) });
        for (std::int32_t x = 0; x < width; ++x)
            f.pixels.push_back(std::uint8_t(16 * y + x));
        if (width & 1)
            f.pixels.push_back(0);
        f.pixels.insert(f.pixels.end(), { 0, 0 });
    }
    f.pixels.insert(f.pixels.end(), { 0, 1 });
    return f;
}

const Bytes kRgb24ThreeWide = {
    // File header: "BM", file size 78, two reserved words, pixel data at 54.
    'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
    // Info header: size 40, width 3, height 2, 1 plane, 24 bits, no compression, the rest 0.
    40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0,
    // Bottom row: three blue, green, red pixels, then three pad bytes that must be ignored.
    1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE,
    // Top row.
    10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE
};

const Bytes kPal1NineWide = {
    // File header: file size 70, pixel data at 62.
    'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,
    // Info header: width 9, height 2, 1 plane, 1 bit, colours used 2.
    40, 0, 0, 0, 9, 0, 0, 0, 2, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    2, 0, 0, 0, 0, 0, 0, 0,
    // Colour table: black, white.
    0, 0, 0, 0, 255, 255, 255, 0,
    // Bottom row: 10110011 1 and seven unused bits, then two pad bytes: four bytes in all.
    0xB3, 0xFF, 0xFF, 0xFF,
    // Top row: 01001100 0.
    0x4C, 0x00, 0x00, 0x00
};

const Bytes kRle8TwoRows = {
    // File header: file size 78, pixel data at 66.
    'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 66, 0, 0, 0,
    // Info header: width 3, height 2, 8 bits, compression 1 (run-length), colours used 3.
    40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    3, 0, 0, 0, 0, 0, 0, 0,
    // Colour table of three entries.
    0, 0, 0, 0, 1, 1, 1, 0, 2, 2, 2, 0,
    // Bottom row: three pixels of 5, end of row.
    0x03, 0x05, 0x00, 0x00,
    // Top row: absolute run of 1, 2, 3 and its pad byte, end of row.
    0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x00, 0x00
};

TEST(BmpCodec, Rgb24RowsArePaddedToFourBytes)
{
    EXPECT_EQ(rowsOf(decode(kRgb24ThreeWide)),
              (Rows{ { 10, 11, 12, 13, 14, 15, 16, 17, 18 }, { 1, 2, 3, 4, 5, 6, 7, 8, 9 } }));
    EXPECT_EQ(BmpRowStride(3, 24), 12);
}

TEST(BmpCodec, OneBitRowsOfNinePixelsTakeFourBytes)
{
    ImageBuffer image = decode(kPal1NineWide);
    EXPECT_EQ(rowsOf(image),
              (Rows{ { 0, 1, 0, 0, 1, 1, 0, 0, 0 }, { 1, 0, 1, 1, 0, 0, 1, 1, 1 } }));
    ASSERT_NE(image.palette, nullptr);
    EXPECT_EQ(image.palette->count, 2);
    EXPECT_EQ(image.palette->entries[1].red, 255);
    EXPECT_EQ(BmpRowStride(9, 1), 4);
}

TEST(BmpCodec, RunLengthRowsOfTheClassicExample)
{
    EXPECT_EQ(rowsOf(decode(kRle8TwoRows)), (Rows{ { 1, 2, 3 }, { 5, 5, 5 } }));
}

TEST(BmpCodec, PackedIndicesOfTwoAndFourBits)
{
    BmpFile two{ .width = 5, .bits = 2, .table = colourTable(4), .pixels = { 0x1B, 0xFF, 0, 0 } };
    EXPECT_EQ(rowsOf(decode(two.bytes())), (Rows{ { 0, 1, 2, 3, 3 } }));
    BmpFile four{ .width = 3, .bits = 4, .table = colourTable(16), .pixels = { 0x12, 0x3F, 0, 0 } };
    EXPECT_EQ(rowsOf(decode(four.bytes())), (Rows{ { 1, 2, 3 } }));
}

TEST(BmpCodec, ColourTableSizeAndEntries)
{
    struct Case
    {
        const char *name;
        std::uint16_t bits;
        std::uint32_t coloursUsed;
        int expectedCount;
    };

    const Case cases[] = {
        { "8 bits, colours used 0", 8, 0, 256 },     { "8 bits, colours used 300", 8, 300, 256 },
        { "8 bits, colours used 16", 8, 16, 16 },    { "8 bits, colours used 1", 8, 1, 1 },
        { "4 bits, colours used 0", 4, 0, 16 },      { "1 bit, colours used 0", 1, 0, 2 },
        { "4 bits, colours used 256", 4, 256, 256 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        // The stored table always has 256 entries, so bytes past the stated count exist but
        // must not reach the palette.
        BmpFile f{ .bits = c.bits,
                   .coloursUsed = c.coloursUsed,
                   .table = colourTable(256),
                   .pixels = { 0xFF, 0, 0, 0 } };
        const ImageHeader header = readInfo(f.bytes());
        EXPECT_EQ(header.palette.count, c.expectedCount);
        ImageBuffer image = decode(f.bytes());
        ASSERT_NE(image.palette, nullptr);
        EXPECT_EQ(image.palette->count, c.expectedCount);
        const int last = c.expectedCount - 1;
        EXPECT_EQ(image.palette->entries[last].blue, std::uint8_t(last));
        EXPECT_EQ(image.palette->entries[last].green, std::uint8_t(2 * last));
        EXPECT_EQ(image.palette->entries[last].red, std::uint8_t(3 * last));
        // An index past the table keeps its value and reads black.
        for (int i = c.expectedCount; i < 256; ++i)
            ASSERT_TRUE(image.palette->entries[i].sameColour(PaletteEntry{})) << i;
        EXPECT_EQ(image.row(0)[0], (1 << c.bits) - 1);
    }
}

TEST(BmpCodec, CoreHeaderHasThreeByteEntries)
{
    BmpFile f{ .headerSize = 12,
               .width = 2,
               .bits = 8,
               .table = colourTable(256, 3),
               .pixels = { 7, 200, 0, 0 } };
    ImageBuffer image = decode(f.bytes());
    EXPECT_EQ(rowsOf(image), (Rows{ { 7, 200 } }));
    EXPECT_EQ(image.palette->count, 256);
    EXPECT_EQ(image.palette->entries[200].red, std::uint8_t(600));
    EXPECT_EQ(image.palette->entries[200].blue, 200);
}

TEST(BmpCodec, DirectColourPixels)
{
    struct Case
    {
        const char *name;
        std::uint16_t bits;
        std::uint32_t compression;
        std::uint32_t headerSize;
        std::vector<std::uint32_t> masks;
        std::uint32_t pixel;
        std::vector<int> blueGreenRed;
    };

    const std::vector<std::uint32_t> m565 = { 0xF800, 0x07E0, 0x001F };
    const std::vector<std::uint32_t> m555 = { 0x7C00, 0x03E0, 0x001F };
    const Case cases[] = {
        { "5-5-5 white", 16, 0, 40, {}, 0x7FFF, { 0xF8, 0xF8, 0xF8 } },
        { "5-5-5 red", 16, 0, 40, {}, 0x7C00, { 0, 0, 0xF8 } },
        { "5-5-5 green", 16, 0, 40, {}, 0x03E0, { 0, 0xF8, 0 } },
        { "5-5-5 blue, top bit ignored", 16, 0, 40, {}, 0x801F, { 0xF8, 0, 0 } },
        { "5-5-5 stated as fields", 16, 3, 40, m555, 0x7FFF, { 0xF8, 0xF8, 0xF8 } },
        { "5-6-5 white", 16, 3, 40, m565, 0xFFFF, { 0xF8, 0xF8, 0xF8 } },
        { "5-6-5 keeps the top five bits of green", 16, 3, 40, m565, 0x0020, { 0, 0, 0 } },
        { "5-6-5 green", 16, 3, 40, m565, 0x07C0, { 0, 0xF8, 0 } },
        { "5-6-5 red", 16, 3, 40, m565, 0xF800, { 0, 0, 0xF8 } },
        { "5-6-5 inside a 124-byte header", 16, 3, 124, m565, 0xF81F, { 0xF8, 0, 0xF8 } },
        { "4-4-4 fields", 16, 3, 40, { 0x0F00, 0x00F0, 0x000F }, 0x0F5A, { 0xA0, 0x50, 0xF0 } },
        { "8-8-0 fields", 16, 3, 40, { 0xFF00, 0x00FF, 0 }, 0x1234, { 0, 0x34, 0x12 } },
        { "6-bit field widened by shifting",
          16,
          3,
          40,
          { 0xFC00, 0x03E0, 0x001F },
          0x0400,
          { 0, 0, 0x04 } },
        { "32 bits, fourth byte ignored", 32, 0, 40, {}, 0xAA030201, { 1, 2, 3 } },
        { "32 bits, default fields",
          32,
          3,
          40,
          { 0xFF0000, 0xFF00, 0xFF },
          0xAA030201,
          { 1, 2, 3 } },
        { "32 bits, fields in another order",
          32,
          3,
          40,
          { 0xFF000000, 0xFF0, 0xFF0000 },
          0x11223344,
          { 0x22, 0x34, 0x11 } },
        { "32 bits, 10-bit fields scaled",
          32,
          3,
          124,
          { 0x3FF00000, 0xFFC00, 0x3FF },
          0x3FF00200,
          { 128, 0, 255 } },
        { "32 bits, 3-bit field scaled", 32, 3, 108, { 0x7, 0, 0 }, 0x5, { 0, 0, 182 } },
        { "24 bits", 24, 0, 40, {}, 0x030201, { 1, 2, 3 } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile f{ .headerSize = c.headerSize,
                   .bits = c.bits,
                   .compression = c.compression,
                   .masks = c.masks };
        Put32(f.pixels, c.pixel);
        ImageBuffer image = decode(f.bytes());
        ASSERT_EQ(image.bytesPerPixel, 3);
        EXPECT_EQ(rowsOf(image), (Rows{ c.blueGreenRed }));
    }
}

TEST(BmpCodec, RunLengthEscapes)
{
    struct Case
    {
        const char *name;
        std::uint16_t bits;
        std::int32_t width, height;
        Bytes data;
        Rows expected; // top row first
    };

    const Case cases[] = {
        { "end of picture leaves every later row empty and reads no further",
          8,
          2,
          3,
          { 2, 7, 0, 1, 2, 9, 0, 0 },
          { { 0, 0 }, { 0, 0 }, { 7, 7 } } },
        { "end of picture may be the last bytes of the file",
          8,
          2,
          2,
          { 2, 7, 0, 1 },
          { { 0, 0 }, { 7, 7 } } },
        { "delta ends the row and its offsets are skipped",
          8,
          2,
          2,
          { 1, 4, 0, 2, 5, 6, 2, 8, 0, 0 },
          { { 8, 8 }, { 4, 0 } } },
        { "pixels past the width are dropped",
          8,
          2,
          2,
          { 5, 3, 0, 0, 0, 4, 1, 2, 3, 4, 0, 0 },
          { { 1, 2 }, { 3, 3 } } },
        { "a row ends only at its escape",
          8,
          2,
          2,
          { 2, 1, 2, 2, 0, 0, 2, 3, 0, 0 },
          { { 3, 3 }, { 1, 1 } } },
        { "a short row leaves index 0", 8, 3, 1, { 1, 9, 0, 0 }, { { 9, 0, 0 } } },
        { "4-bit runs alternate the two nibbles",
          4,
          5,
          1,
          { 5, 0x12, 0, 0 },
          { { 1, 2, 1, 2, 1 } } },
        { "4-bit absolute runs are padded to even bytes",
          4,
          5,
          2,
          { 0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 0, 3, 0x67, 0x80, 0, 0 },
          { { 6, 7, 8, 0, 0 }, { 1, 2, 3, 4, 5 } } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile f{ .width = c.width,
                   .height = c.height,
                   .bits = c.bits,
                   .compression = c.bits == 8 ? 1u : 2u,
                   .coloursUsed = 16,
                   .table = colourTable(16),
                   .pixels = c.data };
        EXPECT_EQ(rowsOf(decode(f.bytes())), c.expected);
    }
}

TEST(BmpCodec, RunLengthDataEndingInsideARowIsTruncation)
{
    BmpFile f{ .width = 2,
               .height = 2,
               .compression = 1,
               .coloursUsed = 16,
               .table = colourTable(16),
               .pixels = { 2, 1, 0, 0, 2 } };
    EXPECT_EQ(FailureOf([&] { decode(f.bytes()); }), (FailureLocation{ Msg::PastFileEnd }));
}

TEST(BmpCodec, RowsAndColumnsFollowTheSelectionRule)
{
    struct Case
    {
        const char *name;
        std::optional<Size> size;
        std::optional<Rect> clip;
        std::vector<int> frameRows, frameColumns;
    };

    const Case cases[] = {
        { "half height takes rows 0 and 2", Size{ 4, 2 }, {}, { 0, 2 }, { 0, 1, 2, 3 } },
        { "double height repeats every row",
          Size{ 4, 8 },
          {},
          { 0, 0, 1, 1, 2, 2, 3, 3 },
          { 0, 1, 2, 3 } },
        { "half width takes columns 0 and 2", Size{ 2, 4 }, {}, { 0, 1, 2, 3 }, { 0, 2 } },
        { "clip", {}, Rect{ 1, 1, 3, 3 }, { 1, 2 }, { 1, 2 } },
        { "clip at the bottom", {}, Rect{ 0, 3, 4, 4 }, { 3 }, { 0, 1, 2, 3 } },
        { "clip and shrink", Size{ 2, 2 }, Rect{ 0, 2, 4, 4 }, { 2 }, { 0, 2 } },
    };
    const std::pair<const char *, Bytes> files[] = {
        { "bottom-up", gridPicture(4, 4).bytes() },
        { "top-down", gridPicture(4, 4, true).bytes() },
        // Run-length rows are read in sequence, so a row decoded twice or skipped wrongly
        // would shift every later row.
        { "run-length", gridPictureRle(4, 4).bytes() },
    };
    for (const auto &[fileName, file] : files) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(fileName) + ": " + c.name);
            ImageBuffer image =
                    decodeInRect(file, c.size ? &*c.size : nullptr, c.clip ? &*c.clip : nullptr);
            Rows expected;
            for (int row : c.frameRows) {
                expected.emplace_back();
                for (int column : c.frameColumns)
                    expected.back().push_back(16 * row + column);
            }
            EXPECT_EQ(rowsOf(image), expected);
        }
    }
}

// A scaled decode reuses one scratch row: a short run-length row after a long one must not keep
// the long row's pixels where it stored none.
TEST(BmpCodec, ShortRunLengthRowAfterALongOneIsBlankBeyondItsRuns)
{
    BmpFile f{ .width = 4, .height = 2, .compression = 1, .coloursUsed = 256 };
    f.table = colourTable(256);
    f.pixels = { 0, 4, 1, 2, 3, 4, 0, 0, /* top row: */ 1, 9, 0, 0, /* end: */ 0, 1 };
    const Size half{ 2, 2 };
    EXPECT_EQ(rowsOf(decodeInRect(f.bytes(), &half, nullptr)), (Rows{ { 9, 0 }, { 1, 3 } }));
}

TEST(BmpCodec, TopDownPictureHasItsRowsInOrder)
{
    BmpFile f = gridPicture(3, 3, true);
    const ImageHeader header = readInfo(f.bytes());
    EXPECT_EQ(header.height, 3);
    EXPECT_EQ(rowsOf(decode(f.bytes())), (Rows{ { 0, 1, 2 }, { 16, 17, 18 }, { 32, 33, 34 } }));
}

TEST(BmpCodec, LongInfoHeadersKeepTheColourTableAfterThem)
{
    for (std::uint32_t size : { 64u, 108u, 124u }) {
        SCOPED_TRACE(size);
        BmpFile f{ .headerSize = size,
                   .width = 2,
                   .coloursUsed = 4,
                   .table = colourTable(4),
                   .pixels = { 3, 1, 0, 0 } };
        ImageBuffer image = decode(f.bytes());
        EXPECT_EQ(rowsOf(image), (Rows{ { 3, 1 } }));
        EXPECT_EQ(image.palette->count, 4);
        EXPECT_EQ(image.palette->entries[3].red, 9);
    }
}

TEST(BmpCodec, HeaderFacts)
{
    BmpFile f{ .width = 7, .height = -5, .bits = 24, .xPerMetre = 2835, .yPerMetre = 3780 };
    f.pixels.assign(5 * 24, 0);
    const ImageHeader header = readInfo(f.bytes());
    EXPECT_EQ(header.format, 1);
    EXPECT_EQ(header.width, 7);
    EXPECT_EQ(header.height, 5);
    EXPECT_EQ(header.bitsPerPixel, 24);
    EXPECT_EQ(header.frameCount, 1);
    EXPECT_EQ(header.background, -1);
    EXPECT_EQ(header.xResolution, 72);
    EXPECT_EQ(header.yResolution, 96);
    EXPECT_EQ(header.palette.count, 0);

    // One resolution missing means neither is stated.
    f.yPerMetre = 0;
    EXPECT_EQ(readInfo(f.bytes()).xResolution, -1);
}

TEST(BmpCodec, CloseForgetsTheFile)
{
    const Bytes file = gridPicture(3, 2).bytes();
    MemoryImageStream stream(file.data(), static_cast<std::int64_t>(file.size()));
    BmpCodec codec;
    ImageHeader header;
    codec.readHeader(stream, header);
    EXPECT_EQ(codec.state().width, 3);
    codec.close();
    EXPECT_EQ(codec.state().width, 0);
    EXPECT_EQ(codec.state().xResolution, -1);
}

TEST(BmpCodec, FailuresCarryTheirMessageAndLocation)
{
    const FailureLocation bad137_1{ Msg::InvalidFormat, Module::BmpReader, 137, 1 };
    const FailureLocation badCore{ Msg::InvalidFormat, Module::BmpReader, 137, 11 };
    const FailureLocation badInfo{ Msg::InvalidFormat, Module::BmpReader, 137, 12 };
    const FailureLocation badSize{ Msg::InvalidFormat, Module::BmpReader, 137, 13 };
    const FailureLocation badBits{ Msg::InvalidFormat, Module::BmpReader, 76, 12 };
    const FailureLocation noRowBuffer{ Msg::NotEnoughMemory, Module::BmpReader, 76, 11 };
    const FailureLocation pastEnd{ Msg::PastFileEnd };
    const BmpFile good = gridPicture(2, 2);
    auto with = [&](const std::function<void(BmpFile &)> &change) {
        BmpFile f = good;
        change(f);
        return f.bytes();
    };
    Bytes notBm = good.bytes();
    notBm[1] = 'A';
    Bytes cut = good.bytes();
    cut.pop_back();

    const struct
    {
        const char *name;
        Bytes file;
        FailureLocation expected;
    } cases[] = {
        { "no BM", notBm, bad137_1 },
        { "core header with 2 planes", with([](BmpFile &f) { f.headerSize = 12, f.planes = 2; }),
          badCore },
        { "core header of width 0", with([](BmpFile &f) { f.headerSize = 12, f.width = 0; }),
          badCore },
        { "core header of 0 bits", with([](BmpFile &f) { f.headerSize = 12, f.bits = 0; }),
          badCore },
        { "info header with 0 planes", with([](BmpFile &f) { f.planes = 0; }), badInfo },
        { "info header of width 0", with([](BmpFile &f) { f.width = 0; }), badInfo },
        { "info header of negative width", with([](BmpFile &f) { f.width = -2; }), badInfo },
        { "info header of height 0", with([](BmpFile &f) { f.height = 0; }), badInfo },
        { "info header of 0 bits", with([](BmpFile &f) { f.bits = 0; }), badInfo },
        { "top-down run-length rows", with([](BmpFile &f) { f.height = -2, f.compression = 1; }),
          badInfo },
        { "header size 16", with([](BmpFile &f) { f.headerSize = 16; }), badSize },
        { "header size 52", with([](BmpFile &f) { f.headerSize = 52; }), badSize },
        { "3 bits per pixel", with([](BmpFile &f) { f.bits = 3; }), badBits },
        { "64 bits per pixel", with([](BmpFile &f) { f.bits = 64, f.table.clear(); }), badBits },
        { "row buffer too large",
          with([](BmpFile &f) { f.width = 400'000'000, f.bits = 24, f.table.clear(); }),
          noRowBuffer },
        { "pixel data past the end", with([](BmpFile &f) { f.pixelOffset = 5000; }), pastEnd },
        { "colour table past the end", with([](BmpFile &f) { f.table.resize(8), f.pixels = {}; }),
          pastEnd },
        { "last row cut short", cut, pastEnd },
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // Decoding into a small box keeps the huge-width case from needing a huge target.
        ImageBuffer image;
        MemoryImageStream stream(c.file.data(), static_cast<std::int64_t>(c.file.size()));
        BmpCodec codec;
        EXPECT_EQ(FailureOf([&] { codec.decodeFirstFrame(stream, image, 2, 2); }), c.expected);
        EXPECT_FALSE(image.hasPixels());
    }
}

TEST(BmpCodec, EveryTruncationFailsCleanly)
{
    BmpFile rle4{ .width = 5,
                  .height = 2,
                  .bits = 4,
                  .compression = 2,
                  .coloursUsed = 16,
                  .table = colourTable(16),
                  .pixels = { 0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 3, 0x67, 0, 0 } };
    BmpFile fields{ .headerSize = 124,
                    .width = 3,
                    .height = 2,
                    .bits = 32,
                    .compression = 3,
                    .masks = { 0xFF000000, 0xFF0, 0xFF0000 } };
    fields.pixels.assign(24, 0x5A);
    BmpFile core{ .headerSize = 12,
                  .width = 2,
                  .height = 2,
                  .table = colourTable(256, 3),
                  .pixels = { 1, 2, 0, 0, 3, 4, 0, 0 } };
    const std::pair<const char *, Bytes> files[] = {
        { "24 bits", kRgb24ThreeWide },
        { "1 bit", kPal1NineWide },
        { "run-length 8", kRle8TwoRows },
        { "run-length 4", rle4.bytes() },
        { "top-down", gridPicture(3, 3, true).bytes() },
        { "bit fields", fields.bytes() },
        { "core header", core.bytes() },
    };
    for (const auto &[name, file] : files) {
        SCOPED_TRACE(name);
        ASSERT_NO_THROW(decode(file));
        for (std::size_t n = 0; n < file.size(); ++n) {
            // An exact-size copy, so that any read past the prefix is a memory error.
            const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
            const FailureLocation failure = FailureOf([&] { decode(prefix); });
            EXPECT_TRUE(failure.id == Msg::PastFileEnd || failure.id == Msg::InvalidFormat)
                    << "length " << n << ": " << failure;
        }
    }
}

} // namespace
