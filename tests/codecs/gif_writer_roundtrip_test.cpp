// The GIF writer's output read back: by a small LZW decoder kept here (code growth, the clear at
// 4095, sub-block sizes), by the program's own reader and by Pillow. 1-byte pictures come back
// with their indices and palette; 3-byte pictures whose colours the quantizer can hold exactly
// come back with their colours.
#include "codecs/detecting_codec.h"
#include "codecs/gif_writer.h"
#include "image/image_buffer.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace {

using Bytes = std::vector<std::uint8_t>;

ImageBuffer indexed(std::int32_t width, std::int32_t height, int paletteCount,
                    const std::function<std::uint8_t(int, int)> &index)
{
    ImageBuffer image;
    image.create(width, height, 1, false);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            image.row(y)[x] = index(x, y);
    image.palette->count = static_cast<std::uint16_t>(paletteCount);
    for (int i = 0; i < paletteCount; ++i)
        image.palette->entries[i] = { std::uint8_t(7 * i), std::uint8_t(255 - i),
                                      std::uint8_t(i * i), 0 };
    return image;
}

// The rows of a picture without padding; bytesPerPixel bytes per pixel.
Bytes packed(const ImageBuffer &image)
{
    Bytes out;
    for (std::int32_t y = 0; y < image.height; ++y)
        out.insert(out.end(), image.row(y), image.row(y) + image.width * image.bytesPerPixel);
    return out;
}

// What the in-test decoder makes of the image data of a file written by our writer.
struct Trace
{
    Bytes pixels;
    std::vector<int> nextCodeAtClears; // the decoder's next code whenever a clear code arrives
    int largestCode = 0;
    bool ended = false;
    std::vector<std::size_t> subBlockSizes;
};

// Reads sub-blocks from at, returning the data and noting the block sizes.
Bytes subBlocks(const Bytes &file, std::size_t at, Trace &trace)
{
    Bytes data;
    while (at < file.size() && file[at] != 0) {
        const std::size_t n = file[at];
        trace.subBlockSizes.push_back(n);
        data.insert(data.end(), file.begin() + static_cast<std::ptrdiff_t>(at + 1),
                    file.begin() + static_cast<std::ptrdiff_t>(std::min(file.size(), at + 1 + n)));
        at += 1 + n;
    }
    return data;
}

// A plain GIF LZW decoder: codes widen when the table reaches the current limit, up to 12 bits.
void decodeCodes(int minimumCodeSize, const Bytes &data, Trace &trace)
{
    const int clear = 1 << minimumCodeSize;
    int size = minimumCodeSize + 1, next = clear + 2, previous = -1;
    std::vector<int> prefix(4096, -1);
    std::vector<std::uint8_t> suffix(4096);
    for (int i = 0; i < clear; ++i)
        suffix[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    std::size_t bit = 0;
    for (int codes = 0; bit + static_cast<std::size_t>(size) <= data.size() * 8; ++codes) {
        int code = 0;
        for (int k = 0; k < size; ++k, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << k;
        if (code == clear) {
            if (codes > 0)
                trace.nextCodeAtClears.push_back(next);
            size = minimumCodeSize + 1, next = clear + 2, previous = -1;
            continue;
        }
        if (code == clear + 1) {
            trace.ended = true;
            return;
        }
        if (code > next || (previous < 0 && code >= clear))
            return;
        trace.largestCode = std::max(trace.largestCode, code);
        Bytes text;
        for (int k = code == next ? previous : code; k >= 0;
             k = prefix[static_cast<std::size_t>(k)])
            text.push_back(suffix[static_cast<std::size_t>(k)]);
        std::reverse(text.begin(), text.end());
        if (code == next)
            text.push_back(text[0]);
        trace.pixels.insert(trace.pixels.end(), text.begin(), text.end());
        if (previous >= 0 && next < 4096) {
            prefix[static_cast<std::size_t>(next)] = previous;
            suffix[static_cast<std::size_t>(next)] = text[0];
            ++next;
        }
        if (next == (1 << size) && size < 12)
            ++size;
        previous = code;
    }
}

// Skips header, tables and extensions of a file from our writer and decodes its image.
Trace decodeFile(const Bytes &file)
{
    Trace trace;
    std::size_t at = 13 + 3 * (std::size_t{ 2 } << (file.at(10) & 7));
    while (file.at(at) == 0x21)
        at += 2 + file.at(at + 2) + 2;
    at += 10 + ((file.at(at + 9) & 0x80) ? 3 * (std::size_t{ 2 } << (file.at(at + 9) & 7)) : 0);
    const int minimumCodeSize = file.at(at);
    decodeCodes(minimumCodeSize, subBlocks(file, at + 1, trace), trace);
    return trace;
}

ImageBuffer readWithOurReader(const std::string &path)
{
    DetectingCodec codec;
    ImageInfo info;
    FrameArray frames;
    codec.decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    return std::move(frames.at(0)->image);
}

// Pillow's view of a file: size, palette (red, green, blue triples) and the pixels as indices
// or, with rgb, as red, green, blue.
struct PillowPicture
{
    int width = -1, height = -1;
    Bytes palette, pixels;
};

bool havePillow()
{
    static const bool present =
            std::system("/usr/bin/python3 -c 'import PIL' >/dev/null 2>&1") == 0;
    return present;
}

Bytes fromHex(const std::string &hex)
{
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

PillowPicture readWithPillow(const std::string &path, bool rgb)
{
    const std::string command =
            "/usr/bin/python3 -c \"import sys; from PIL import Image; "
            "im = Image.open(sys.argv[1]); im = im.convert('RGB') if sys.argv[2] == 'rgb' else im; "
            "print(im.size[0], im.size[1]); print(bytes(im.getpalette() or []).hex() or '-'); "
            "print(im.tobytes().hex())\" '"
            + path + "' " + (rgb ? "rgb" : "p");
    std::string output;
    if (FILE *pipe = ::popen(command.c_str(), "r")) {
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, n);
        ::pclose(pipe);
    }
    PillowPicture picture;
    std::istringstream lines(output);
    std::string palette, pixels;
    lines >> picture.width >> picture.height >> palette >> pixels;
    picture.palette = fromHex(palette);
    picture.pixels = fromHex(pixels);
    return picture;
}

TEST(GifWriterRoundTrip, LzwCodesGrowAndStartOverAt4095)
{
    std::mt19937 random(5);

    struct Case
    {
        const char *name;
        ImageBuffer image;
        std::size_t clears;
    };

    // One colour: the strings grow by one pixel per code, so codes 6 to 4094 take
    // 4,090 x 4,091 / 2 = 8,366,095 pixels before the clear.
    Case cases[] = {
        { "one colour", indexed(4096, 2048, 2, [](int, int) { return 0; }), 1 },
        { "noise of 4 colours", indexed(256, 256, 4, [&](int, int) { return random() % 4; }), 3 },
        { "noise of 256 colours", indexed(97, 61, 256, [&](int, int) { return random() % 256; }),
          1 },
    };
    TempDir dir;
    GifWriter writer;
    for (Case &c : cases) {
        SCOPED_TRACE(c.name);
        writer.write(dir.file("lzw.gif"), c.image.span());
        const Trace trace = decodeFile(ReadBytes(dir.file("lzw.gif")));
        EXPECT_TRUE(trace.ended);
        EXPECT_TRUE(trace.pixels == packed(c.image)) << "pixels differ";
        EXPECT_EQ(trace.nextCodeAtClears, std::vector<int>(c.clears, 4095));
        EXPECT_LE(trace.largestCode, 4094);
        ASSERT_FALSE(trace.subBlockSizes.empty());
        EXPECT_EQ(std::count(trace.subBlockSizes.begin(), trace.subBlockSizes.end() - 1, 255),
                  static_cast<std::ptrdiff_t>(trace.subBlockSizes.size() - 1))
                << "every sub-block but the last is full";
    }
}

TEST(GifWriterRoundTrip, IndexedPicturesReadBackWithIndicesAndPalette)
{
    struct Case
    {
        int count;
        std::int32_t width, height;
    };

    TempDir dir;
    GifWriter writer;
    for (const Case &c : { Case{ 2, 13, 7 }, Case{ 5, 1, 1 }, Case{ 16, 31, 3 },
                           Case{ 200, 64, 40 }, Case{ 256, 17, 9 } }) {
        SCOPED_TRACE(c.count);
        const ImageBuffer image = indexed(c.width, c.height, c.count, [&](int x, int y) {
            return static_cast<std::uint8_t>((x * 31 + y * 17 + x * y) % c.count);
        });
        const std::string path = dir.file("round.gif");
        writer.write(path, image.span());
        EXPECT_TRUE(decodeFile(ReadBytes(path)).pixels == packed(image));

        const ImageBuffer ours = readWithOurReader(path);
        ASSERT_EQ(ours.bytesPerPixel, 1);
        EXPECT_EQ(packed(ours), packed(image));
        for (int i = 0; i < c.count; ++i)
            EXPECT_TRUE(ours.palette->entries[i].sameColour(image.palette->entries[i])) << i;

        if (!havePillow())
            continue;
        const PillowPicture theirs = readWithPillow(path, false);
        EXPECT_EQ(theirs.width, c.width);
        EXPECT_EQ(theirs.height, c.height);
        EXPECT_TRUE(theirs.pixels == packed(image));
        ASSERT_GE(theirs.palette.size(), 3u * c.count);
        for (int i = 0; i < c.count; ++i) {
            const PaletteEntry &e = image.palette->entries[i];
            EXPECT_EQ(Bytes(theirs.palette.begin() + 3 * i, theirs.palette.begin() + 3 * i + 3),
                      (Bytes{ e.red, e.green, e.blue }))
                    << i;
        }
    }
}

// Colours at the centres of up to 256 distinct 5-6-5 cells are kept exactly by the quantizer.
TEST(GifWriterRoundTrip, TrueColourPicturesWithFewColoursKeepTheirColours)
{
    ImageBuffer image;
    image.create(23, 11, 3, false);
    for (std::int32_t y = 0; y < image.height; ++y)
        for (std::int32_t x = 0; x < image.width; ++x) {
            const int k = (5 * x + 23 * y) % 256;
            std::uint8_t *p = image.row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(8 * (7 * k % 32) + 4);
            p[1] = static_cast<std::uint8_t>(4 * (13 * k % 64) + 2);
            p[2] = static_cast<std::uint8_t>(8 * (k / 8) + 4);
        }
    std::uint8_t *key = image.row(5) + 3 * 7;
    TempDir dir;
    for (bool transparent : { false, true }) {
        SCOPED_TRACE(testing::Message() << "transparent " << transparent);
        GifWriter writer;
        // The key pixel's colour appears nowhere else.
        key[0] = 1, key[1] = 2, key[2] = 3;
        if (transparent)
            writer.transparentColour = MakeRgb(3, 2, 1);
        const std::string path = dir.file("rgb.gif");
        writer.write(path, image.span());
        const ImageBuffer ours = readWithOurReader(path);
        ASSERT_EQ(ours.bytesPerPixel, 1);
        if (transparent) {
            // The reserved entry follows the computed ones and holds the key colour.
            ASSERT_GE(writer.transparentIndex, 200);
            const PaletteEntry &e = ours.palette->entries[writer.transparentIndex];
            EXPECT_TRUE(e.sameColour(PaletteEntry{ 3, 2, 1, 0 }));
        } else {
            EXPECT_EQ(writer.transparentIndex, -1);
        }
        for (std::int32_t y = 0; y < image.height; ++y)
            for (std::int32_t x = 0; x < image.width; ++x) {
                const std::uint8_t index = ours.row(y)[x];
                const bool isKey = x == 7 && y == 5;
                if (transparent) {
                    ASSERT_EQ(index == writer.transparentIndex, isKey) << x << "," << y;
                }
                // The key colour is no cell centre: only the other colours are exact.
                if (isKey)
                    continue;
                const PaletteEntry &e = ours.palette->entries[index];
                const std::uint8_t *p = image.row(y) + 3 * x;
                ASSERT_EQ((Bytes{ e.red, e.green, e.blue }), (Bytes{ p[2], p[1], p[0] }))
                        << x << "," << y;
            }
        if (!havePillow() || transparent)
            continue;
        const PillowPicture theirs = readWithPillow(path, true);
        Bytes expected = packed(image);
        for (std::size_t i = 0; i + 2 < expected.size(); i += 3)
            std::swap(expected[i], expected[i + 2]);
        const std::size_t keyAt = 3 * (5 * 23 + 7);
        ASSERT_EQ(theirs.pixels.size(), expected.size());
        std::copy_n(theirs.pixels.begin() + keyAt, 3, expected.begin() + keyAt);
        EXPECT_TRUE(theirs.pixels == expected) << "Pillow's colours differ";
    }
}

} // namespace
