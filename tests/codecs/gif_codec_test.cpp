// The GIF reader on files built in memory: a literal byte array for the smallest picture, and a
// small builder whose LZW codes are packed at the widths a decoder must read them.
#include "codecs/gif_codec.h"

#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/byte_writer.h"
#include "tests/support/failure_location.h"

#include <functional>
#include <gtest/gtest.h>

// Test files name only the fields a case changes; the others keep their defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Codes = std::vector<std::uint32_t>;
using Rows = std::vector<std::vector<int>>;

// Packs codes least significant bit first. The width starts at minimum + 1, grows when the code
// counter (clear + 2, plus one per code) passes 2^width, stops at 12 and falls back at a clear.
Bytes packCodes(int minimum, const Codes &codes)
{
    const std::uint32_t clear = 1u << minimum;
    std::uint32_t next = clear + 2, limit = 2u << minimum;
    int width = minimum + 1, held = 0;
    std::uint64_t bits = 0;
    Bytes out;
    for (std::uint32_t code : codes) {
        bits |= std::uint64_t(code) << held;
        for (held += width; held >= 8; held -= 8, bits >>= 8)
            out.push_back(std::uint8_t(bits));
        if (++next > limit && width < 12) {
            limit <<= 1;
            ++width;
        }
        if (code == clear) {
            next = clear + 2;
            width = minimum + 1;
            limit = 1u << width;
        }
    }
    if (held > 0)
        out.push_back(std::uint8_t(bits));
    return out;
}

Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A clear code, every pixel as a literal, and the end code.
Codes literals(int minimum, const std::vector<int> &pixels)
{
    Codes codes = { 1u << minimum };
    codes.insert(codes.end(), pixels.begin(), pixels.end());
    codes.push_back((1u << minimum) + 1);
    return codes;
}

struct Frame
{
    std::int32_t left = 0, top = 0, width = 1, height = 1;
    Codes codes = { 4, 0, 5 }; // with minimum code size 2: clear, index 0, end
    std::uint8_t minimum = 2; // the byte as stored; 0 stands for the global bits
    int codeMinimum = 2; // the minimum the codes are packed for
    bool interlaced = false;
    int localBits = 0; // 0: no local table
    std::uint8_t chunk = 255; // longest data sub-block
    Bytes before; // extension blocks before the image
};

struct GifFile
{
    const char *signature = "GIF89a";
    std::uint16_t screenWidth = 1, screenHeight = 1;
    int globalBits = 2; // 0: no global table
    std::uint8_t background = 0;
    std::vector<Frame> frames = { Frame{} };
    Bytes tail = { 0x3B };

    Bytes bytes() const
    {
        Bytes out(signature, signature + 6);
        Put16(out, screenWidth);
        Put16(out, screenHeight);
        out.push_back(globalBits ? std::uint8_t(0x80 | (globalBits - 1)) : 0);
        out.insert(out.end(), { background, 0 });
        table(out, globalBits, 0);
        for (const Frame &f : frames) {
            out.insert(out.end(), f.before.begin(), f.before.end());
            out.push_back(0x2C);
            for (std::int32_t v : { f.left, f.top, f.width, f.height })
                Put16(out, std::uint16_t(v));
            out.push_back(std::uint8_t((f.localBits ? 0x80 | (f.localBits - 1) : 0)
                                       | (f.interlaced ? 0x40 : 0)));
            table(out, f.localBits, 100);
            out.push_back(f.minimum);
            const Bytes data = packCodes(f.codeMinimum, f.codes);
            for (std::size_t at = 0; at < data.size(); at += f.chunk) {
                const std::size_t n = std::min<std::size_t>(f.chunk, data.size() - at);
                out.push_back(std::uint8_t(n));
                out.insert(out.end(), data.begin() + at, data.begin() + at + n);
            }
            out.push_back(0);
        }
        out.insert(out.end(), tail.begin(), tail.end());
        return out;
    }

    // Entry i is (base + i, 2i, 3i) modulo 256.
    static void table(Bytes &out, int bits, int base)
    {
        for (int i = 0; bits && i < (1 << bits); ++i)
            out.insert(out.end(),
                       { std::uint8_t(base + i), std::uint8_t(2 * i), std::uint8_t(3 * i) });
    }
};

const Bytes kControl03 = { 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x03, 0x00 };
const Bytes kComment = { 0x21, 0xFE, 0x02, 'h', 'i', 0x00 };

// The smallest picture: 1 x 1, index 0, a 16-entry global table, codes clear, 0, end at 5 bits.
// clang-format off
const Bytes kOnePixel = {
    // Signature, screen 1 x 1, packed F3 (a 16-entry global table), background 0, aspect 0.
    'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0xF3, 0, 0,
    // The table: black, white, then greys 1 to 14.
    0, 0, 0, 255, 255, 255, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 7,
    8, 8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14,
    // Image at 0, 0, 1 x 1, no local table.
    0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0,
    // Minimum code size 4, one sub-block of 2 bytes, the end of the data, the trailer.
    0x04, 0x02, 0x10, 0x44, 0x00, 0x3B
};

// clang-format on

Rows rowsOf(const ImageBuffer &image)
{
    Rows rows;
    for (std::int32_t y = 0; y < image.height; ++y)
        rows.emplace_back(image.row(y), image.row(y) + image.width);
    return rows;
}

// Every frame of the file at full size, or clipped and scaled as given.
FrameArray decodeAll(const Bytes &file, const Size *size = nullptr, const Rect *clip = nullptr)
{
    MemoryImageStream stream(file.data(), std::int64_t(file.size()));
    ImageInfo info;
    FrameArray frames;
    GifCodec().decodeFramesInRect(stream, info, frames, size, clip);
    return frames;
}

Rows firstFrame(const Bytes &file, const Size *size = nullptr, const Rect *clip = nullptr)
{
    return rowsOf(decodeAll(file, size, clip).at(0)->image);
}

TEST(GifCodec, SmallestPictureDecodesFromItsExactBytes)
{
    MemoryImageStream stream(kOnePixel.data(), std::int64_t(kOnePixel.size()));
    ImageHeader header;
    GifCodec().readInfo(stream, header);
    EXPECT_EQ(header.format, 3);
    EXPECT_EQ(header.bitsPerPixel, 8);
    EXPECT_EQ(header.frameCount, 1);
    EXPECT_EQ(header.palette.count, 16);
    EXPECT_EQ(header.background, 0); // entry 0 is black
    const FrameArray frames = decodeAll(kOnePixel);
    EXPECT_EQ(rowsOf(frames[0]->image), Rows({ { 0 } }));
    EXPECT_EQ(frames[0]->image.palette->count, 16);
    EXPECT_EQ(frames[0]->image.palette->entries[1].red, 255);
}

TEST(GifCodec, HeaderFacts)
{
    struct Case
    {
        const char *name;
        GifFile file;
        std::int32_t frameCount, paletteCount;
        RgbValue background;
    };

    const Case cases[] = {
        { "global table", {}, 1, 4, MakeRgb(0, 0, 0) },
        { "background entry 2", { .background = 2 }, 1, 4, MakeRgb(2, 4, 6) },
        { "background past the table", { .background = 4 }, 1, 4, 0xFFFFFF },
        { "no global table", { .globalBits = 0 }, 1, 0, 0xFFFFFF },
        { "GIF87a", { .signature = "GIF87a" }, 1, 4, 0 },
        { "three frames", { .frames = { {}, {}, {} } }, 3, 4, 0 },
        { "garbage after the image", { .tail = { 0x00, 0x2C, 0x01 } }, 1, 4, 0 },
        { "no trailer", { .tail = {} }, 1, 4, 0 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bytes = c.file.bytes();
        MemoryImageStream stream(bytes.data(), std::int64_t(bytes.size()));
        ImageHeader header;
        GifCodec().readInfo(stream, header);
        EXPECT_EQ(header.frameCount, c.frameCount);
        EXPECT_EQ(header.palette.count, c.paletteCount);
        EXPECT_EQ(header.background, c.background);
        EXPECT_EQ(header.xResolution, -1);
    }
}

TEST(GifCodec, FrameHeaderFromControlExtensionAndDescriptor)
{
    struct Case
    {
        const char *name;
        Bytes before;
        std::int32_t delay, disposal, userInput, transparent;
    };

    const Case cases[] = {
        { "no extension", {}, 100, 0, 0, -1 },
        { "transparent 3", kControl03, 0, 0, 0, 3 },
        { "packed 09, index 5", { 0x21, 0xF9, 4, 0x09, 0, 0, 5, 0 }, 0, 2, 0, 5 },
        { "disposal 3, user input, delay 4660, index unused",
          { 0x21, 0xF9, 4, 0x0E, 0x34, 0x12, 7, 0 },
          4660,
          3,
          1,
          -1 },
        { "a comment cancels the extension", kControl03 + kComment, 100, 0, 0, -1 },
        { "an application block cancels it", kControl03 + Bytes{ 0x21, 0xFF, 1, 'x', 0 }, 100, 0, 0,
          -1 },
        { "the last of two applies", Bytes{ 0x21, 0xF9, 4, 0x09, 0, 0, 5, 0 } + kControl03, 0, 0, 0,
          3 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const GifFile file{ .frames = { {},
                                        { .left = 3,
                                          .top = 2,
                                          .width = 5,
                                          .height = 4,
                                          .interlaced = true,
                                          .before = c.before } } };
        const Bytes bytes = file.bytes();
        MemoryImageStream stream(bytes.data(), std::int64_t(bytes.size()));
        FrameHeader frame;
        GifCodec().readFrameInfo(stream, frame, 1);
        EXPECT_EQ(frame.delay, c.delay);
        EXPECT_EQ(frame.disposal, c.disposal);
        EXPECT_EQ(frame.userInput, c.userInput);
        EXPECT_EQ(frame.transparentIndex, c.transparent);
        EXPECT_EQ(frame.frameRect, (Rect{ 3, 2, 8, 6 }));
        EXPECT_EQ(frame.interlaced, 1);
        EXPECT_EQ(frame.bytesPerPixel, 1);
    }
}

TEST(GifCodec, PixelsOfTheFirstFrame)
{
    struct Case
    {
        const char *name;
        GifFile file;
        Rows rows;
    };

    const Case cases[] = {
        { "literals",
          { .frames = { { .width = 3, .height = 2, .codes = literals(2, { 1, 2, 3, 0, 1, 2 }) } } },
          { { 1, 2, 3 }, { 0, 1, 2 } } },
        { "codes split over one-byte sub-blocks",
          { .frames = { { .width = 3,
                          .height = 2,
                          .codes = literals(2, { 1, 2, 3, 0, 1, 2 }),
                          .chunk = 1 } } },
          { { 1, 2, 3 }, { 0, 1, 2 } } },
        { "a literal first, without a clear",
          { .frames = { { .width = 2, .codes = { 1, 2, 5 } } } },
          { { 1, 2 } } },
        // Code 6 is the entry that code 6 itself defines: the old string plus its first pixel.
        { "code of the entry being defined",
          { .frames = { { .width = 5, .codes = { 4, 1, 6, 6, 5 } } } },
          { { 1, 1, 1, 1, 1 } } },
        // Code 6 is 1, 2; its second pixel waits on the stack for the next row.
        { "string across rows",
          { .frames = { { .width = 3, .height = 2, .codes = { 4, 1, 2, 6, 7, 5 } } } },
          { { 1, 2, 1 }, { 2, 2, 1 } } },
        { "string across several rows",
          { .frames = { { .width = 1, .height = 6, .codes = { 4, 1, 2, 6, 7, 5 } } } },
          { { 1 }, { 2 }, { 1 }, { 2 }, { 2 }, { 1 } } },
        { "an end code keeps the rest of the previous row",
          { .frames = { { .width = 3, .height = 2, .codes = { 4, 1, 2, 3, 0, 5 } } } },
          { { 1, 2, 3 }, { 0, 2, 3 } } },
        { "data ending early does the same",
          { .frames = { { .width = 3, .height = 2, .codes = { 4, 1, 2, 3, 0 } } } },
          { { 1, 2, 3 }, { 0, 2, 3 } } },
        { "minimum code size 0 takes the global bits",
          { .globalBits = 4,
            .frames = { { .width = 2,
                          .codes = literals(4, { 15, 9 }),
                          .minimum = 0,
                          .codeMinimum = 4 } } },
          { { 15, 9 } } },
        { "global bits stated without a table",
          { .globalBits = 0,
            .frames = { { .width = 2,
                          .codes = literals(1, { 1, 0 }),
                          .minimum = 0,
                          .codeMinimum = 1 } } },
          { { 1, 0 } } },
        // Rows are stored in the pass order 0, 4, 2, 6, 1, 3, 5, 7.
        { "interlaced",
          { .frames = { { .height = 8,
                          .codes = literals(3, { 0, 4, 2, 6, 1, 3, 5, 7 }),
                          .minimum = 3,
                          .codeMinimum = 3,
                          .interlaced = true } } },
          { { 0 }, { 1 }, { 2 }, { 3 }, { 4 }, { 5 }, { 6 }, { 7 } } },
        { "frame beyond the screen",
          { .screenWidth = 2,
            .screenHeight = 2,
            .frames = { { .left = 1,
                          .top = 1,
                          .width = 2,
                          .height = 2,
                          .codes = literals(2, { 0, 1, 2, 3 }) } } },
          { { 0, 1 }, { 2, 3 } } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(firstFrame(c.file.bytes()), c.rows);
    }
}

// A 4 x 4 frame whose pixel (x, y) is 4y + x, stored plainly or interlaced.
GifFile gridPicture(bool interlaced)
{
    std::vector<int> pixels;
    for (int y : interlaced ? std::vector<int>{ 0, 2, 1, 3 } : std::vector<int>{ 0, 1, 2, 3 })
        for (int x = 0; x < 4; ++x)
            pixels.push_back(4 * y + x);
    return { .screenWidth = 4,
             .screenHeight = 4,
             .frames = { { .width = 4,
                           .height = 4,
                           .codes = literals(4, pixels),
                           .minimum = 4,
                           .codeMinimum = 4,
                           .interlaced = interlaced } } };
}

TEST(GifCodec, SelectsRowsAndColumnsForOtherTargets)
{
    const Size half{ 2, 2 }, twice{ 8, 8 };
    const Rect middle{ 1, 1, 3, 3 }, corner{ 2, 2, 9, 9 };

    struct Case
    {
        const char *name;
        const Size *size;
        const Rect *clip;
        Rows rows;
    };

    const Case cases[] = {
        { "half size", &half, nullptr, { { 0, 2 }, { 8, 10 } } },
        { "double size",
          &twice,
          nullptr,
          { { 0, 0, 1, 1, 2, 2, 3, 3 },
            { 0, 0, 1, 1, 2, 2, 3, 3 },
            { 4, 4, 5, 5, 6, 6, 7, 7 },
            { 4, 4, 5, 5, 6, 6, 7, 7 },
            { 8, 8, 9, 9, 10, 10, 11, 11 },
            { 8, 8, 9, 9, 10, 10, 11, 11 },
            { 12, 12, 13, 13, 14, 14, 15, 15 },
            { 12, 12, 13, 13, 14, 14, 15, 15 } } },
        { "clipped", nullptr, &middle, { { 5, 6 }, { 9, 10 } } },
        { "clipped at half size", &half, &corner, { { 10 } } },
    };
    for (bool interlaced : { false, true }) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (interlaced ? ", interlaced" : ""));
            EXPECT_EQ(firstFrame(gridPicture(interlaced).bytes(), c.size, c.clip), c.rows);
        }
        const Bytes bytes = gridPicture(interlaced).bytes();
        MemoryImageStream stream(bytes.data(), std::int64_t(bytes.size()));
        ImageBuffer thumbnail;
        GifCodec().decodeFirstFrame(stream, thumbnail, 2, 3);
        EXPECT_EQ(rowsOf(thumbnail), Rows({ { 0, 2 }, { 8, 10 } }));
    }
}

TEST(GifCodec, EachFrameHasItsOwnTableAndFreshDecoder)
{
    // Frame 0's last string does not fit its row: what is left of it must not reach frame 1.
    const GifFile file{ .frames = { { .width = 2, .codes = { 4, 1, 6, 5 } },
                                    { .width = 2, .codes = { 4, 2, 3, 5 }, .localBits = 3 } } };
    const FrameArray frames = decodeAll(file.bytes());
    EXPECT_EQ(rowsOf(frames[0]->image), Rows({ { 1, 1 } }));
    EXPECT_EQ(rowsOf(frames[1]->image), Rows({ { 2, 3 } }));
    const ImagePalette &global = *frames[0]->image.palette, &local = *frames[1]->image.palette;
    EXPECT_EQ(global.count, 4);
    EXPECT_EQ(global.entries[3].blue, 9);
    EXPECT_EQ(global.entries[4].red, 0); // past the table: black
    EXPECT_EQ(local.count, 8);
    EXPECT_EQ(local.entries[7].red, 107);
}

TEST(GifCodec, ZeroSizedFrameStaysEmpty)
{
    const GifFile file{ .frames = { { .width = 0 }, { .codes = { 4, 3, 5 } } } };
    const FrameArray frames = decodeAll(file.bytes());
    EXPECT_EQ(frames[0]->image.width, 0);
    EXPECT_EQ(rowsOf(frames[1]->image), Rows({ { 3 } }));
    const Bytes bytes = file.bytes();
    MemoryImageStream stream(bytes.data(), std::int64_t(bytes.size()));
    ImageBuffer thumbnail;
    GifCodec().decodeFirstFrame(stream, thumbnail, 10, 10);
    EXPECT_FALSE(thumbnail.hasPixels());
}

// With all 4,096 entries defined and no clear, codes stay 12 bits wide and the table stays as it
// is: entry e of a literal stream is pixels e - 6 and e - 5.
TEST(GifCodec, FullTableWithoutClearKeepsItsEntries)
{
    std::vector<int> pixels;
    for (int j = 0; j < 4100; ++j)
        pixels.push_back((j * j + j / 3) % 4);
    Codes codes = literals(2, pixels);
    codes.pop_back();
    codes.insert(codes.end(), { 4095, 6, 5 });
    std::vector<int> expected = pixels;
    expected.insert(expected.end(), { pixels[4089], pixels[4090], pixels[0], pixels[1] });
    const GifFile file{ .frames = { { .width = std::int32_t(expected.size()), .codes = codes } } };
    EXPECT_EQ(firstFrame(file.bytes()), Rows({ expected }));
}

TEST(GifCodec, BrokenFilesFailWithTheirLocation)
{
    const std::uint32_t gif = Module::GifReader, invalid = Msg::InvalidFormat;
    Bytes truncated = GifFile{}.bytes();
    truncated.resize(truncated.size() - 3);

    struct Case
    {
        const char *name;
        Bytes file;
        FailureLocation failure;
    };

    const Case cases[] = {
        { "signature", GifFile{ .signature = "GIF88a" }.bytes(), { invalid, gif, 33, 1 } },
        { "block before the image",
          GifFile{ .frames = { { .before = { 0 } } } }.bytes(),
          { invalid, gif, 33, 31 } },
        { "no image", GifFile{ .frames = {} }.bytes(), { invalid, gif, 33, 32 } },
        { "code not yet defined",
          GifFile{ .frames = { { .width = 3, .codes = { 4, 1, 7, 5 } } } }.bytes(),
          { invalid, gif, 64, 1 } },
        { "table code with no string before",
          GifFile{ .frames = { { .codes = { 4, 6 } } } }.bytes(),
          { invalid, gif, 64, 1 } },
        { "minimum code size 12",
          GifFile{ .frames = { { .minimum = 12 } } }.bytes(),
          { invalid, gif, 63, 12 } },
        { "screen descriptor cut", { 'G', 'I', 'F', '8', '9', 'a', 1, 0 }, { Msg::PastFileEnd } },
        { "data cut", truncated, { Msg::PastFileEnd } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FailureOf([&] { decodeAll(c.file); }), c.failure);
    }
}

// Every prefix of a file either decodes or fails with "past file end" (or "no image" while no
// image separator has been reached); nothing else, and nothing outside the file is read.
TEST(GifCodec, EveryTruncationFailsCleanly)
{
    const GifFile animation{ .screenWidth = 3,
                             .screenHeight = 8,
                             .frames = { { .width = 3,
                                           .height = 2,
                                           .codes = { 4, 1, 2, 6, 7, 5 },
                                           .before = kControl03 },
                                         { .top = 1,
                                           .width = 2,
                                           .height = 7,
                                           .codes = literals(3, std::vector<int>(14, 5)),
                                           .minimum = 3,
                                           .codeMinimum = 3,
                                           .interlaced = true,
                                           .localBits = 3,
                                           .chunk = 2,
                                           .before = kComment } } };
    for (const Bytes &file : { kOnePixel, animation.bytes() }) {
        for (std::size_t n = 0; n < file.size(); ++n) {
            SCOPED_TRACE(n);
            const Bytes cut(file.begin(), file.begin() + std::ptrdiff_t(n));
            const FailureLocation failure = FailureOf([&] {
                decodeAll(cut);
                MemoryImageStream stream(cut.data(), std::int64_t(cut.size()));
                ImageBuffer thumbnail;
                GifCodec().decodeFirstFrame(stream, thumbnail, 2, 2);
            });
            if (failure.id == Msg::InvalidFormat) {
                EXPECT_EQ(failure,
                          (FailureLocation{ Msg::InvalidFormat, Module::GifReader, 33, 32 }));
            } else if (failure.id != 0) {
                EXPECT_EQ(failure, FailureLocation{ Msg::PastFileEnd });
            }
        }
        EXPECT_NO_THROW(decodeAll(file));
    }
}

} // namespace
