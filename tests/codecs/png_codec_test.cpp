// The PNG reader's facts and refusals: what it tells of each kind of picture, the picture
// background that transparency is laid over, the store limit, and a file cut short anywhere.
#include "codecs/png_codec.h"

#include "codecs/detecting_codec.h"
#include "codecs/picture_background.h"
#include "common/string_ids.h"
#include "tests/support/failure_location.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes suiteBytes(const std::string &name)
{
    return ReadBytes(PngSuiteFile(name));
}

// The file with its IHDR's width and height replaced and the chunk's checksum made right again.
Bytes withSize(Bytes file, std::uint32_t width, std::uint32_t height)
{
    auto put = [&file](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    };
    put(16, width);
    put(20, height);
    put(29, static_cast<std::uint32_t>(crc32(0, file.data() + 12, 17)));
    return file;
}

// Where the first IDAT chunk's data starts.
std::size_t firstImageData(const Bytes &file)
{
    for (std::size_t at = 8; at + 8 <= file.size();) {
        const std::uint32_t length = std::uint32_t(file[at]) << 24 | file[at + 1] << 16
                | file[at + 2] << 8 | file[at + 3];
        if (std::string(file.begin() + at + 4, file.begin() + at + 8) == "IDAT")
            return at + 8;
        at += 12 + length;
    }
    return file.size();
}

// Restores the picture background when a test has changed it.
struct BackgroundScope
{
    explicit BackgroundScope(RgbValue colour) { SetPictureBackground(colour); }

    ~BackgroundScope() { SetPictureBackground(kDefaultPictureBackground); }
};

ImageBuffer decodeFile(const std::string &path)
{
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    return std::move(frames.at(0)->image);
}

TEST(PngCodec, HeaderAndFrameFactsOfEachKind)
{
    struct Row
    {
        const char *file;
        std::int32_t bits, grayscale, paletteCount, bytesPerPixel, interlaced, dpi;
    };

    const Row rows[] = {
        { "basn0g01.png", 1, 1, 0, 1, 0, -1 }, // gray, 1 bit: a ramp
        { "basn0g16.png", 8, 1, 0, 1, 0, -1 }, // gray, 16 bits: the high byte
        { "basn3p02.png", 2, 0, 4, 1, 0, -1 }, // indexed: its own palette
        { "basn2c16.png", 24, 0, 0, 3, 0, -1 }, // colour, 16 bits
        { "basi6a08.png", 24, 0, 0, 3, 1, -1 }, // colour and alpha, interlaced
        { "basn4a08.png", 8, 1, 0, 3, 0, -1 }, // gray and alpha: flattened into colour
        { "tbbn0g04.png", 4, 1, 0, 3, 0, -1 }, // gray with a tRNS key: the same
        { "tbbn3p08.png", 8, 0, 246, 1, 0, -1 }, // indexed with tRNS: stays indexed
        { "cdun2c08.png", 24, 0, 0, 3, 0, 25 }, // pHYs of 1,000 pixels per metre
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.file);
        const Bytes bytes = suiteBytes(row.file);
        MemoryImageStream memory(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        PngCodec codec;
        ImageHeader header;
        codec.readHeader(memory, header);
        FrameHeader frame;
        codec.readFrameHeader(memory, frame, 0);
        codec.close();
        EXPECT_EQ(header.format, static_cast<std::int32_t>(ImageFormat::Png));
        EXPECT_EQ(header.bitsPerPixel, row.bits);
        EXPECT_EQ(header.grayscale, row.grayscale);
        EXPECT_EQ(header.palette.count, row.paletteCount);
        EXPECT_EQ(header.xResolution, row.dpi);
        EXPECT_EQ(header.yResolution, row.dpi);
        EXPECT_EQ(frame.bytesPerPixel, row.bytesPerPixel);
        EXPECT_EQ(frame.interlaced, row.interlaced);
        EXPECT_EQ(frame.frameRect, (Rect{ 0, 0, header.width, header.height }));
    }
}

TEST(PngCodec, ClearPixelsShowThePictureBackgroundOfTheDecode)
{
    // Pixel (0, 0) of each file is fully transparent: by an alpha channel, by the tRNS key
    // colour, by a tRNS palette alpha.
    for (const char *file : { "basn6a08.png", "basn4a08.png", "tbrn2c08.png", "tbbn3p08.png" }) {
        SCOPED_TRACE(file);
        for (RgbValue background : { MakeRgb(255, 0, 0), MakeRgb(1, 2, 3) }) {
            BackgroundScope scope(background);
            const std::vector<std::uint8_t> rgb = PackedRgb(decodeFile(PngSuiteFile(file)));
            EXPECT_EQ(MakeRgb(rgb[0], rgb[1], rgb[2]), background);
        }
    }
}

TEST(PngCodec, PictureTooLargeForAStoreIsRefusedFromItsHeader)
{
    TempDir dir;

    struct Row
    {
        std::uint32_t width, height;
        FailureLocation expected;
    };

    // 40,000 x 40,000 colour pixels would take 4.8 GB. The gray picture fits a store but its
    // data runs out after the first rows.
    const Row rows[] = {
        { 40000, 40000, { Msg::NotEnoughMemory, Module::PngReader, 10, 3 } },
        { 20000, 20000, { Msg::InvalidFormat, Module::PngReader, 20, 1 } },
    };
    for (const Row &row : rows) {
        const std::string path = dir.file("big.png");
        WriteBytes(path,
                   withSize(suiteBytes(row.width == 40000 ? "basn2c08.png" : "basn0g08.png"),
                            row.width, row.height));
        ImageBuffer image;
        EXPECT_EQ(
                FailureOf([&] { DetectingCodec().decodeFirstFrameFromFile(path, &image, 64, 64); }),
                row.expected);
        EXPECT_FALSE(image.hasPixels());
    }
}

TEST(PngCodec, EveryShortenedFileFailsWhereItEnds)
{
    // Without its IEND chunk (12 bytes) a file still holds the whole picture; any shorter one
    // fails in the header (before the image data starts) or in the rows.
    for (const char *file : { "basn2c08.png", "basi0g04.png" }) {
        SCOPED_TRACE(file);
        const Bytes whole = suiteBytes(file);
        const std::size_t data = firstImageData(whole);
        for (std::size_t n = 0; n + 12 < whole.size(); ++n) {
            const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
            const FailureLocation expected = n < 4
                    ? FailureLocation{ Msg::UnsupportedFormat, Module::FormatDetection, 39, 101 }
                    : FailureLocation{ Msg::InvalidFormat, Module::PngReader, n < data ? 10u : 20u,
                                       1 };
            const FailureLocation failure = FailureOf([&] {
                MemoryImageStream stream(cut.data(), static_cast<std::int64_t>(n));
                ImageInfo info;
                FrameArray frames;
                DetectingCodec().decodeFrames(stream, info, frames, 100);
            });
            ASSERT_EQ(failure, expected) << n << " bytes";
        }
        const Bytes complete(whole.begin(), whole.end() - 12);
        MemoryImageStream stream(complete.data(), static_cast<std::int64_t>(complete.size()));
        ImageInfo info;
        FrameArray frames;
        EXPECT_NO_THROW(DetectingCodec().decodeFrames(stream, info, frames, 100));
    }
}

} // namespace
