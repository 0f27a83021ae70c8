// The JPEG reader: DCT scaling and row selection, gray and CMYK pictures, densities, and every
// way a file can be refused, each with its exact message and location.
#include "codecs/jpeg_codec.h"

#include "codecs/detecting_codec.h"
#include "codecs/image_description.h"
#include "codecs/jpeg_errors.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Sample = std::function<std::uint8_t(int x, int y, int channel)>;

// What a test picture is made of, encoded by the library itself so that the reader is not
// checked against our own writer alone.
struct Encoding
{
    int width = 16;
    int height = 16;
    J_COLOR_SPACE space = JCS_RGB; // JCS_GRAYSCALE, JCS_RGB, JCS_CMYK or JCS_UNKNOWN
    int components = 3;
    bool fullChroma = false; // no chroma subsampling
    bool progressive = false;
    int quality = 90;
};

Bytes encode(const Encoding &e, const Sample &sample)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char *memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &memory, &size);
    cinfo.image_width = static_cast<JDIMENSION>(e.width);
    cinfo.image_height = static_cast<JDIMENSION>(e.height);
    cinfo.input_components = e.components;
    cinfo.in_color_space = e.space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, e.quality, TRUE);
    if (e.fullChroma)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    if (e.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    Bytes row(static_cast<std::size_t>(e.width * e.components));
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int i = 0; i < e.width * e.components; ++i)
            row[static_cast<std::size_t>(i)] = sample(
                    i / e.components, static_cast<int>(cinfo.next_scanline), i % e.components);
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes bytes(memory, memory + size);
    std::free(memory);
    jpeg_destroy_compress(&cinfo);
    return bytes;
}

std::uint8_t smooth(int x, int y, int channel)
{
    return static_cast<std::uint8_t>((x * 3 + y * 2 + channel * 60) % 256);
}

// A picture of flat 8 x 8 blocks whose colour names the block: red and green give the block's
// column and row within a group of 50, blue the group. Encoded at full quality without chroma
// subsampling, every block decodes to its colour within a level or two, so each target pixel
// tells which block of the file it was taken from.
std::uint8_t blockColour(int bx, int by, int channel)
{
    switch (channel) {
    case 0:
        return static_cast<std::uint8_t>(bx % 50 * 5);
    case 1:
        return static_cast<std::uint8_t>(by % 50 * 5);
    default:
        return static_cast<std::uint8_t>((bx / 50 * 4 + by / 50) * 15);
    }
}

Bytes blockPicture(int width, int height)
{
    Encoding e;
    e.width = width;
    e.height = height;
    e.fullChroma = true;
    e.quality = 100;
    return encode(e, [](int x, int y, int c) { return blockColour(x / 8, y / 8, c); });
}

struct Block
{
    int x = -1, y = -1;
    bool operator==(const Block &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Block &b)
{
    return out << "block " << b.x << "," << b.y;
}

// The block a decoded blue, green, red pixel came from.
Block blockOf(const std::uint8_t *bgr)
{
    const int group = (bgr[0] + 7) / 15;
    return { group / 4 * 50 + (bgr[2] + 2) / 5, group % 4 * 50 + (bgr[1] + 2) / 5 };
}

// Runs the reader's primitives the way decodeFirstFrame does, without the close at the end, so
// that the decompressor's facts can be looked at.
ImageBuffer decodeInto(JpegCodec &codec, const Bytes &file, std::int32_t width, std::int32_t height,
                       bool fast, const Rect *clip = nullptr)
{
    MemoryImageStream stream(file.data(), static_cast<std::int64_t>(file.size()));
    ImageHeader header;
    codec.readHeader(stream, header);
    FrameHeader frame;
    codec.readFrameHeader(stream, frame, 0);
    ImageBuffer image;
    image.create(width, height, static_cast<std::uint8_t>(frame.bytesPerPixel), false);
    AttachTarget(frame, image, clip ? *clip : frame.frameRect);
    codec.decodeFrame(stream, frame, 0, fast);
    codec.close();
    return image;
}

void patch16(Bytes &bytes, std::size_t at, unsigned value)
{
    bytes.at(at) = static_cast<std::uint8_t>(value >> 8);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value);
}

// Offset of the first start-of-frame marker.
std::size_t frameMarker(const Bytes &bytes)
{
    for (std::size_t i = 2; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2))
            return i;
    ADD_FAILURE() << "no frame marker";
    return 0;
}

TEST(JpegCodec, DctScalingAndRowSelection)
{
    struct Case
    {
        const char *name;
        int width, height, targetWidth, targetHeight;
        std::int32_t scaleDenom, outputWidth, outputHeight, scanlinesRead;
        bool direct;
        // The file block that target pixel (x, y) shows.
        std::function<Block(int, int)> expected;
    };

    const Case cases[] = {
        // 1/16 asked for, 1/8 decoded (200 x 150); every second scanline and column of that.
        { "1600x1200 into 100x75", 1600, 1200, 100, 75, 16, 200, 150, 149, false,
          [](int x, int y) {
              return Block{ 2 * x, 2 * y };
          } },
        // Too little reduction for DCT scaling: rows and columns are picked from the full size.
        { "640x480 into 400x300", 640, 480, 400, 300, 1, 640, 480, 479, false,
          [](int x, int y) {
              return Block{ x * 640 / 400 / 8, y * 480 / 300 / 8 };
          } },
        // The library scales by eighths: asked for 1/3 it decodes at 3/8, three pixels a block.
        { "640x480 into 200x150", 640, 480, 200, 150, 3, 240, 180, 179, false,
          [](int x, int y) {
              return Block{ x * 240 / 200 / 3, y * 180 / 150 / 3 };
          } },
        { "400x200 into 50x25", 400, 200, 50, 25, 8, 50, 25, 25, true,
          [](int x, int y) {
              return Block{ x, y };
          } },
        // Only one side smaller: no DCT scaling.
        { "64x64 into 8x64", 64, 64, 8, 64, 1, 64, 64, 64, false,
          [](int x, int y) {
              return Block{ x, y / 8 };
          } },
        { "64x48 at full size", 64, 48, 64, 48, 1, 64, 48, 48, true,
          [](int x, int y) {
              return Block{ x / 8, y / 8 };
          } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = blockPicture(c.width, c.height);
        for (bool fast : { true, false }) {
            SCOPED_TRACE(fast ? "fast" : "accurate");
            JpegCodec codec;
            const ImageBuffer image = decodeInto(codec, file, c.targetWidth, c.targetHeight, fast);
            const JpegCodec::DecodeFacts &facts = codec.lastDecode();
            EXPECT_EQ(facts.scaleDenom, c.scaleDenom);
            EXPECT_EQ(facts.outputWidth, c.outputWidth);
            EXPECT_EQ(facts.outputHeight, c.outputHeight);
            EXPECT_EQ(facts.scanlinesRead, c.scanlinesRead);
            EXPECT_EQ(facts.direct, c.direct);
            int wrong = 0;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    if (blockOf(image.row(y) + 3 * x) != c.expected(x, y) && wrong++ < 3)
                        ADD_FAILURE() << "pixel " << x << "," << y << " shows "
                                      << blockOf(image.row(y) + 3 * x) << " instead of "
                                      << c.expected(x, y);
        }
    }
}

TEST(JpegCodec, ClipOfAScaledDecodeCoversTheSamePartOfThePicture)
{
    // The whole 1600 x 1200 picture shown at 200 x 150, of which only blocks 100-149 and 50-87
    // are wanted: the library decodes at 1/8 and the clip is taken from that.
    const Bytes file = blockPicture(1600, 1200);
    MemoryImageStream stream(file.data(), static_cast<std::int64_t>(file.size()));
    JpegCodec codec;
    ImageInfo info;
    FrameArray frames;
    const Size size{ 200, 150 };
    const Rect clip{ 800, 400, 1200, 700 };
    codec.decodeFramesInRect(stream, info, frames, &size, &clip);
    EXPECT_EQ(codec.lastDecode().scaleDenom, 8);
    const ImageBuffer &image = frames.at(0)->image;
    ASSERT_EQ(image.width, 50);
    ASSERT_EQ(image.height, 37);
    EXPECT_EQ(blockOf(image.row(0)), (Block{ 100, 50 }));
    EXPECT_EQ(blockOf(image.row(0) + 3 * 49), (Block{ 149, 50 }));
    const Block last = blockOf(image.row(36) + 3 * 49);
    EXPECT_EQ(last.x, 149);
    EXPECT_GE(last.y, 86);
    EXPECT_LE(last.y, 87);
}

TEST(JpegCodec, GrayPicturesDecodeToIndicesOverAGrayRamp)
{
    Encoding e;
    e.width = 40;
    e.height = 20;
    e.space = JCS_GRAYSCALE;
    e.components = 1;
    e.quality = 100;
    const Bytes file = encode(e, [](int x, int, int) { return static_cast<std::uint8_t>(x * 6); });
    TempDir dir;
    WriteBytes(dir.file("gray.jpg"), file);

    ImageInfo info;
    LoadImageInfo(dir.file("gray.jpg"), info);
    EXPECT_EQ(info.format, static_cast<std::int32_t>(ImageFormat::Jpeg));
    EXPECT_EQ(info.colourCount, 257);
    EXPECT_EQ(ShownColourText(info, nullptr), "Grayscale");

    ImageBuffer image;
    DetectingCodec().decodeFirstFrameFromFile(dir.file("gray.jpg"), &image, 20, 20);
    ASSERT_EQ(image.bytesPerPixel, 1);
    ASSERT_NE(image.palette, nullptr);
    EXPECT_EQ(image.palette->count, 256);
    for (int i : { 0, 1, 128, 255 })
        EXPECT_TRUE(image.palette->entries[i].sameColour(
                { std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0 }));
    ASSERT_EQ(image.width, 20);
    for (int x = 0; x < 20; ++x)
        EXPECT_NEAR(image.row(5)[x], x * 2 * 6, 3) << "column " << x;
}

TEST(JpegCodec, PicturesOfFourComponentsTakeTheirFirstThreeAsRedGreenBlue)
{
    Encoding e;
    e.space = JCS_CMYK;
    e.components = 4;
    e.quality = 100;
    const std::uint8_t cmyk[] = { 200, 100, 50, 30 };
    const Bytes file = encode(e, [&](int, int, int c) { return cmyk[c]; });
    JpegCodec codec;
    const ImageBuffer image = decodeInto(codec, file, 16, 16, false);
    for (int y : { 0, 15 }) {
        const std::uint8_t *p = image.row(y) + 3 * 7;
        EXPECT_NEAR(p[0], 50, 1);
        EXPECT_NEAR(p[1], 100, 1);
        EXPECT_NEAR(p[2], 200, 1);
    }
}

TEST(JpegCodec, ResolutionFromTheDensityUnit)
{
    struct Case
    {
        std::uint8_t unit;
        unsigned x, y;
        std::int32_t xResolution, yResolution;
    };

    const Case cases[] = {
        { 1, 72, 96, 72, 96 }, // dots per inch as they stand
        { 2, 118, 118, 300, 300 }, // 118 x 2.54 + 0.5 = 300.22
        { 2, 37, 40, 94, 102 }, // 93.98 and 101.6, rounded
        { 0, 1, 1, -1, -1 }, // an aspect ratio only
        { 3, 72, 72, -1, -1 }, // no such unit
    };
    const Bytes plain = encode(Encoding{}, smooth);
    // The JFIF segment follows the start marker: unit at 13, densities at 14 and 16.
    ASSERT_EQ(std::string(plain.begin() + 6, plain.begin() + 10), "JFIF");
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "unit " << int(c.unit) << " " << c.x << "x" << c.y);
        Bytes file = plain;
        file[13] = c.unit;
        patch16(file, 14, c.x);
        patch16(file, 16, c.y);
        MemoryImageStream stream(file.data(), static_cast<std::int64_t>(file.size()));
        ImageHeader header;
        JpegCodec().readInfo(stream, header);
        EXPECT_EQ(header.xResolution, c.xResolution);
        EXPECT_EQ(header.yResolution, c.yResolution);
        EXPECT_EQ(header.format, 2);
        EXPECT_EQ(header.bitsPerPixel, 24);
        EXPECT_EQ(header.grayscale, 0);
        EXPECT_EQ(header.frameCount, 1);
        EXPECT_EQ(header.background, -1);
    }
}

// A progressive gray file whose last scan is followed by extra AC scans that each cost the
// decoder a pass over all 16,384 blocks for two bytes of data: one Huffman symbol for an
// end-of-band run of 2^14 blocks and its 14 extra bits, all zero.
Bytes manyScans(int totalScans)
{
    Encoding e;
    e.width = e.height = 1024;
    e.space = JCS_GRAYSCALE;
    e.components = 1;
    e.progressive = true;
    Bytes file = encode(e, [](int, int, int) { return std::uint8_t{ 128 }; });
    file.resize(file.size() - 2); // the end marker comes back at the end
    int scans = 0;
    for (std::size_t i = 0; i + 1 < file.size(); ++i)
        scans += file[i] == 0xFF && file[i + 1] == 0xDA;
    // AC table 0 with a single one-bit code, for the symbol of a run of 2^14 bands.
    file.insert(file.end(), { 0xFF, 0xC4, 0x00, 0x14, 0x10, 1, 0, 0, 0, 0, 0,
                              0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0xE0 });
    for (; scans < totalScans; ++scans)
        file.insert(file.end(), { 0xFF, 0xDA, 0x00, 0x08, 1, 1, 0x00, 1, 63, 0x00, 0x00, 0x01 });
    file.insert(file.end(), { 0xFF, 0xD9 });
    return file;
}

TEST(JpegCodec, ProgressiveFilesStopAtTheScanLimit)
{
    {
        JpegCodec codec;
        const ImageBuffer image = decodeInto(codec, manyScans(JpegCodec::kMaxScans), 64, 64, true);
        EXPECT_EQ(image.width, 64);
    }
    // About 70 KB in thousands of scans: without the limit this takes a pass for each.
    const Bytes file = manyScans(5500);
    EXPECT_LT(file.size(), 72'000u);
    const auto start = std::chrono::steady_clock::now();
    try {
        JpegCodec codec;
        decodeInto(codec, file, 64, 64, true);
        ADD_FAILURE() << "decoded";
    } catch (const CAlbException &e) {
        EXPECT_EQ(e.messageId, Msg::InvalidFormat);
        EXPECT_EQ(e.module, Module::JpegReader);
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
    std::cout << "a file of 5,500 scans refused after " << elapsed.count() << " ms\n";
}

struct Refusal
{
    const char *name;
    std::function<Bytes()> file;
    std::uint32_t messageId, place, step;
    // Whether the all-frames path may try it too: that path makes the full-size store first.
    bool allFrames = true;
};

std::ostream &operator<<(std::ostream &out, const Refusal &r)
{
    return out << r.name;
}

Bytes withFrameSize(Bytes file, unsigned width, unsigned height)
{
    const std::size_t at = frameMarker(file);
    patch16(file, at + 5, height);
    patch16(file, at + 7, width);
    return file;
}

const Refusal refusals[] = {
    { "not a JPEG", [] { return Bytes{ 'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8 }; }, Msg::InvalidFormat,
      42, 2 },
    { "empty", [] { return Bytes{}; }, Msg::InvalidFormat, 42, 2 },
    { "only the start marker",
      [] {
          return Bytes{ 0xFF, 0xD8, 0xFF };
      },
      Msg::InvalidFormat, 42, 2 },
    { "cut in the scan data",
      [] {
          Bytes f = encode(Encoding{}, smooth);
          f.resize(f.size() - 40);
          return f;
      },
      Msg::InvalidFormat, 42, 2 },
    { "cut in a progressive file",
      [] {
          Encoding e;
          e.progressive = true;
          Bytes f = encode(e, smooth);
          f.resize(f.size() * 2 / 3);
          return f;
      },
      Msg::InvalidFormat, 42, 2 },
    { "12-bit samples",
      [] {
          Bytes f = encode(Encoding{}, smooth);
          f.at(frameMarker(f) + 4) = 12;
          return f;
      },
      Msg::InvalidFormat, 42, 2 },
    { "no rows", [] { return withFrameSize(encode(Encoding{}, smooth), 16, 0); },
      Msg::InvalidFormat, 42, 2 },
    { "two components",
      [] {
          Encoding e;
          e.space = JCS_UNKNOWN;
          e.components = 2;
          return encode(e, smooth);
      },
      Msg::InvalidFormat, 42, 2 },
    { "60000 x 60000 colour pixels",
      [] { return withFrameSize(encode(Encoding{}, smooth), 60000, 60000); }, Msg::NotEnoughMemory,
      42, 1 },
    // The store would fit (972 MB), but a progressive file keeps two bytes per sample besides.
    { "18000 x 18000 progressive",
      [] {
          Encoding e;
          e.progressive = true;
          e.fullChroma = true;
          return withFrameSize(encode(e, smooth), 18000, 18000);
      },
      Msg::NotEnoughMemory, 42, 1, false },
};

class JpegRefusal : public testing::TestWithParam<Refusal>
{ };

TEST_P(JpegRefusal, FailsWithTheReadersMessageAndLocation)
{
    const Bytes file = GetParam().file();
    for (bool firstFrame : { true, false }) {
        if (!firstFrame && !GetParam().allFrames)
            continue;
        SCOPED_TRACE(firstFrame ? "first frame" : "all frames");
        MemoryImageStream stream(file.data(), static_cast<std::int64_t>(file.size()));
        JpegCodec codec;
        ImageBuffer image;
        ImageInfo info;
        FrameArray frames;
        try {
            if (firstFrame)
                codec.decodeFirstFrame(stream, image, 100, 100);
            else
                codec.decodeFrames(stream, info, frames, 100);
            ADD_FAILURE() << "decoded";
        } catch (const CAlbException &e) {
            EXPECT_EQ(e.messageId, GetParam().messageId);
            EXPECT_EQ(e.module, Module::JpegReader);
            EXPECT_EQ(e.place, GetParam().place);
            EXPECT_EQ(e.step, GetParam().step);
        }
        EXPECT_FALSE(image.hasPixels());
        EXPECT_TRUE(frames.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, JpegRefusal, testing::ValuesIn(refusals),
                         [](const testing::TestParamInfo<Refusal> &param) {
                             std::string name = param.param.name;
                             for (char &c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(JpegCodec, EveryCutOfAFileDecodesOrFailsCleanly)
{
    // Every prefix of a small baseline and a small progressive file: the library runs out of
    // data in every part of the file, and each time the jump back must leave nothing behind
    // (the sanitizer build checks that).
    for (bool progressive : { false, true }) {
        Encoding e;
        e.width = 24;
        e.height = 20;
        e.progressive = progressive;
        const Bytes file = encode(e, smooth);
        int decoded = 0;
        for (std::size_t length = 0; length < file.size(); ++length) {
            MemoryImageStream stream(file.data(), static_cast<std::int64_t>(length));
            ImageBuffer image;
            try {
                JpegCodec().decodeFirstFrame(stream, image, 24, 20);
                ++decoded;
            } catch (const CAlbException &error) {
                ASSERT_EQ(error.messageId, Msg::InvalidFormat) << length;
                ASSERT_EQ(error.place, 42u) << length;
            }
        }
        // Only cuts in the last bytes can leave every scanline readable.
        EXPECT_LT(decoded, 8) << (progressive ? "progressive" : "baseline");
    }
}

TEST(JpegCodec, FrameOperationsNeedAHeaderFirst)
{
    JpegCodec codec;
    MemoryImageStream stream(nullptr, 0);
    FrameHeader frame;
    const std::function<void()> operations[] = {
        [&] { codec.readFrameHeader(stream, frame, 0); },
        [&] { codec.decodeFrame(stream, frame, 0, false); },
    };
    for (const auto &operation : operations) {
        try {
            operation();
            ADD_FAILURE() << "no exception";
        } catch (const CAlbException &e) {
            EXPECT_EQ(e.messageId, Msg::ErrorUnknown);
            EXPECT_EQ(e.module, Module::JpegReader);
            EXPECT_EQ(e.place, 176u);
            EXPECT_EQ(e.step, 1u);
        }
    }
}

} // namespace
