// The JPEG writer: settings as the library receives them, input kinds, round trips through the
// reader, and that a failed write never harms what was there before.
#include "codecs/jpeg_writer.h"

#include "codecs/bmp_writer.h"
#include "codecs/jpeg_codec.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A picture whose pixel (x, y) has value(x, y, channel) in each of its bytes; 1-byte pictures
// get a palette of distinct colours unless withPalette is false.
ImageBuffer picture(std::int32_t width, std::int32_t height, int bytesPerPixel,
                    const std::function<std::uint8_t(int, int, int)> &value,
                    bool withPalette = true)
{
    ImageBuffer image;
    image.create(width, height, static_cast<std::uint8_t>(bytesPerPixel), false);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width * bytesPerPixel; ++x)
            image.row(y)[x] = value(x / bytesPerPixel, y, x % bytesPerPixel);
    if (image.palette && withPalette) {
        for (int i = 0; i < 256; ++i)
            image.palette->entries[i] = { std::uint8_t(i), std::uint8_t(255 - i),
                                          std::uint8_t(i / 2 + 64), 0 };
    } else if (image.palette) {
        // Indices without a palette: the writer's gray input.
        delete image.palette;
        image.palette = nullptr;
    }
    return image;
}

std::uint8_t smooth(int x, int y, int channel)
{
    return static_cast<std::uint8_t>(40 + x * 2 + y + channel * 50);
}

void write(const std::string &path, const ImageBuffer &image, JpegWriter writer = JpegWriter())
{
    writer.write(path, image.span());
}

struct ReadBack
{
    ImageHeader header;
    ImageBuffer image;
};

// The header and the full-size picture, decoded with the library's accurate defaults.
ReadBack readBack(const std::string &path)
{
    ReadBack result;
    JpegCodec codec;
    codec.readInfoFromFile(path, &result.header);
    ImageInfo info;
    FrameArray frames;
    codec.decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    result.image = std::move(frames.at(0)->image);
    return result;
}

// The largest difference between a decoded blue, green, red pixel and the expected colour.
int colourError(const ImageBuffer &image, int x, int y, std::array<int, 3> bgr)
{
    int worst = 0;
    for (int c = 0; c < 3; ++c)
        worst = std::max(worst,
                         std::abs(image.row(y)[3 * x + c] - bgr[static_cast<std::size_t>(c)]));
    return worst;
}

TEST(JpegWriter, InputKindsAndTheirComponents)
{
    struct Case
    {
        const char *name;
        int bytesPerPixel;
        bool palette;
        bool grayFile;
        // The colour pixel (x, y) should read back as, blue, green, red; for gray files, the
        // gray level.
        std::function<std::array<int, 3>(int, int)> expected;
    };

    const Case cases[] = {
        { "gray input", 1, false, true,
          [](int x, int y) {
              return std::array<int, 3>{ smooth(x, y, 0), 0, 0 };
          } },
        { "palette input", 1, true, false,
          [](int x, int y) {
              const int i = smooth(x, y, 0);
              return std::array<int, 3>{ i / 2 + 64, 255 - i, i };
          } },
        { "blue, green, red input", 3, false, false,
          [](int x, int y) {
              return std::array<int, 3>{ smooth(x, y, 0), smooth(x, y, 1), smooth(x, y, 2) };
          } },
    };
    TempDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ImageBuffer image = picture(33, 17, c.bytesPerPixel, smooth, c.palette);
        JpegWriter writer;
        writer.quality = 95;
        write(dir.file("kind.jpg"), image, writer);
        const ReadBack back = readBack(dir.file("kind.jpg"));
        EXPECT_EQ(back.header.grayscale, c.grayFile ? 1 : 0);
        ASSERT_EQ(back.image.width, 33);
        ASSERT_EQ(back.image.height, 17);
        int worst = 0;
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 33; ++x)
                worst = std::max(worst,
                                 c.grayFile ? std::abs(back.image.row(y)[x] - c.expected(x, y)[0])
                                            : colourError(back.image, x, y, c.expected(x, y)));
        // Smooth content at quality 95, subsampled chroma: a few levels at most.
        EXPECT_LE(worst, 6);
    }
}

TEST(JpegWriter, QualityAndDctMethodReachTheLibrary)
{
    const ImageBuffer image = picture(64, 48, 3, [](int x, int y, int c) {
        return static_cast<std::uint8_t>((x * 37 + y * 91 + c * 13 + x * y) % 256);
    });
    TempDir dir;
    auto bytesWith = [&](int quality, int dctMethod) {
        JpegWriter writer;
        writer.quality = static_cast<std::uint16_t>(quality);
        writer.dctMethod = static_cast<std::uint8_t>(dctMethod);
        write(dir.file("q.jpg"), image, writer);
        return ReadBytes(dir.file("q.jpg"));
    };
    const Bytes standard = bytesWith(75, 0);
    EXPECT_EQ(bytesWith(120, 0), standard) << "a quality above 100 is written as 75";
    EXPECT_EQ(bytesWith(75, 5), standard) << "an unknown DCT method keeps the library's";
    EXPECT_NE(bytesWith(100, 0), standard);
    EXPECT_NE(bytesWith(75, 1), standard);
    EXPECT_NE(bytesWith(75, 2), standard);
    EXPECT_EQ(JpegWriter().quality, 75);
    EXPECT_EQ(JpegWriter().dctMethod, 0);
}

TEST(JpegWriter, DensityIsWrittenInDotsPerInch)
{
    const ImageBuffer image = picture(9, 5, 3, smooth);
    TempDir dir;
    const WriterResolution saved = DefaultWriterResolution();
    SetDefaultWriterResolution({ 120, 144 });
    JpegWriter probed;
    SetDefaultWriterResolution(saved);
    EXPECT_EQ(probed.xResolution, 120);
    EXPECT_EQ(probed.yResolution, 144);

    struct Case
    {
        std::int32_t x, y, readX, readY;
    };

    const Case cases[] = { { 96, 96, 96, 96 }, { 300, 150, 300, 150 }, { 0, 70000, 1, 65535 } };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "x" << c.y);
        JpegWriter writer;
        writer.xResolution = c.x;
        writer.yResolution = c.y;
        write(dir.file("d.jpg"), image, writer);
        const ReadBack back = readBack(dir.file("d.jpg"));
        EXPECT_EQ(back.header.xResolution, c.readX);
        EXPECT_EQ(back.header.yResolution, c.readY);
    }
}

TEST(JpegWriter, IdentifyAgreesOnSizeAndDensity)
{
    if (std::system("command -v identify >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    TempDir dir;
    const ImageBuffer image = picture(50, 30, 3, smooth);
    JpegWriter writer;
    writer.xResolution = 300;
    writer.yResolution = 150;
    write(dir.file("id.jpg"), image, writer);
    const std::string command =
            "identify -format '%w %h %x %y %U %[colorspace]' '" + dir.file("id.jpg") + "' 2>&1";
    FILE *pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::array<char, 256> output{};
    const std::size_t n = std::fread(output.data(), 1, output.size() - 1, pipe);
    ::pclose(pipe);
    EXPECT_EQ(std::string(output.data(), n), "50 30 300 150 PixelsPerInch sRGB");
}

TEST(JpegWriter, BadArgumentsAreRefusedBeforeWriting)
{
    TempDir dir;
    const ImageBuffer image = picture(50, 50, 3, smooth);

    struct Case
    {
        const char *name;
        bool path, pixels;
        int bytesPerPixel, height;
        std::size_t stride;
    };

    const Case cases[] = {
        { "no rows", true, true, 3, 0, image.stride() },
        { "rows shorter than the width", true, true, 3, 50, 149 },
        { "2 bytes per pixel", true, true, 2, 50, image.stride() },
        { "no pixels", true, false, 3, 50, image.stride() },
        { "empty path", false, true, 3, 50, image.stride() },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            JpegWriter().write(c.path ? dir.file("never.jpg") : "",
                               PixelSpan{ c.pixels ? image.pixels : nullptr, 50, c.height, c.stride,
                                          c.bytesPerPixel, nullptr });
            ADD_FAILURE() << "no exception";
        } catch (const CAlbException &e) {
            EXPECT_EQ(e.messageId, Msg::InvalidParameter);
        }
        EXPECT_TRUE(dir.names().empty());
    }
}

TEST(JpegWriter, FailedWritesLeaveExistingFilesAlone)
{
    TempDir dir;
    const Bytes earlier = { 'o', 'l', 'd' };
    WriteBytes(dir.file("keep.jpg"), earlier);
    auto noise = [](int x, int y, int c) {
        return static_cast<std::uint8_t>((x * 7919 + y * 104729 + c * 31 + x * y * 13) % 251);
    };
    const ImageBuffer large = picture(400, 400, 3, noise);
    JpegWriter writer;
    writer.quality = 100;

    struct Case
    {
        const char *name;
        std::function<void()> write;
        std::uint32_t messageId;
    };

    const ImageBuffer wide = picture(66000, 1, 1, smooth, false);
    const Case cases[] = {
        // The disk fills up while the library writes: its write error is "access denied".
        { "disk full",
          [&] {
              FileSizeLimit limit(20000);
              write(dir.file("keep.jpg"), large, writer);
          },
          Msg::AccessDenied },
        // Wider than the library can store.
        { "66,000 pixels wide", [&] { write(dir.file("keep.jpg"), wide, writer); },
          Msg::AccessDenied },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.write();
            ADD_FAILURE() << "no exception";
        } catch (const CAlbException &e) {
            EXPECT_EQ(e.messageId, c.messageId);
            EXPECT_EQ(e.module, 0u);
        }
        EXPECT_EQ(ReadBytes(dir.file("keep.jpg")), earlier);
        EXPECT_EQ(dir.names(), std::vector<std::string>{ "keep.jpg" });
    }
    EXPECT_THROW(write(dir.file("missing/a.jpg"), large, writer), CAlbFileException);

    write(dir.file("keep.jpg"), large, writer);
    EXPECT_GT(ReadBytes(dir.file("keep.jpg")).size(), 100000u);
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "keep.jpg" });
}

} // namespace
