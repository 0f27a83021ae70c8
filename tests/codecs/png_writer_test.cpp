// The PNG writer's files read back by the program's own reader and by Pillow: colour pictures in
// every packing and indexed pictures of every palette depth give back their pixels, the
// resolution survives, the bytes in memory are the file's, and a write that fails leaves the
// earlier file as it was. (The transparent entry is read back in save_picture_test.cpp, through
// the save that passes it on.)
#include "codecs/png_writer.h"

#include "codecs/detecting_codec.h"
#include "common/alb_exception.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/run_command.h"
#include "tests/support/sha256.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// A picture whose every pixel differs from its neighbours; 1-byte pictures use colours entries.
ImageBuffer picture(std::int32_t width, std::int32_t height, std::uint8_t bytesPerPixel,
                    int colours)
{
    ImageBuffer image;
    image.create(width, height, bytesPerPixel, false);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width * bytesPerPixel; ++x)
            image.row(y)[x] = bytesPerPixel == 1 ? static_cast<std::uint8_t>((x + 3 * y) % colours)
                                                 : static_cast<std::uint8_t>(x * 7 + y * 13);
    if (bytesPerPixel == 1) {
        image.palette->count = static_cast<std::uint16_t>(colours);
        for (int i = 0; i < colours; ++i)
            image.palette->entries[i] = { std::uint8_t(i), std::uint8_t(255 - i),
                                          std::uint8_t(i * 5), 0 };
    }
    return image;
}

struct ReadBack
{
    ImageHeader header;
    ImageBuffer image;
};

ReadBack readBack(const std::string &path)
{
    ReadBack back;
    DetectingCodec().readInfoFromFile(path, &back.header);
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    back.image = std::move(frames.at(0)->image);
    return back;
}

TEST(PngWriter, PicturesComeBackAsTheyWereWritten)
{
    struct Row
    {
        const char *name;
        std::uint8_t bytesPerPixel;
        int colours;
        std::int32_t bits; // what the file says
        PngPacking packing = PngPacking::Small;
    };

    const Row rows[] = {
        { "colour", 3, 0, 24 },
        { "colour, packed quickly", 3, 0, 24, PngPacking::Quick },
        { "colour, stored", 3, 0, 24, PngPacking::Stored },
        { "2 colours: 1 bit", 1, 2, 1 },
        { "3 colours: 2 bits", 1, 3, 2 },
        { "16 colours: 4 bits", 1, 16, 4 },
        { "17 colours: 8 bits", 1, 17, 8 },
        { "256 colours", 1, 256, 8 },
        { "256 colours, stored: packed as ever", 1, 256, 8, PngPacking::Stored },
    };
    TempDir dir;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        // An odd width: the store's rows are padded, the file's are not.
        const ImageBuffer image = picture(37, 11, row.bytesPerPixel, row.colours);
        PngWriter writer;
        writer.packing = row.packing;
        writer.write(dir.file("a.png"), image.span());
        // Stored colour rows take at least their own bytes, packed ones fewer (the picture is
        // smooth). An indexed picture is packed as ever: its read-back below would show it.
        const std::uintmax_t size = std::filesystem::file_size(dir.file("a.png"));
        if (row.bytesPerPixel == 3) {
            EXPECT_EQ(size > 11 * (1 + 37 * 3), row.packing == PngPacking::Stored) << size;
        }
        const ReadBack back = readBack(dir.file("a.png"));
        EXPECT_EQ(back.header.bitsPerPixel, row.bits);
        EXPECT_EQ(back.header.palette.count, row.colours);
        EXPECT_EQ(back.image.bytesPerPixel, row.bytesPerPixel);
        EXPECT_EQ(PackedRgb(back.image), PackedRgb(image));
        // Pillow, an independent reader, sees the same pixels.
        const CommandResult pillow =
                RunCommand("/usr/bin/python3 -c \"import sys, hashlib; from PIL import Image; "
                           "print(hashlib.sha256(Image.open(sys.argv[1]).convert('RGB').tobytes())"
                           ".hexdigest())\" '"
                           + dir.file("a.png") + "'");
        ASSERT_EQ(pillow.status, 0);
        EXPECT_EQ(pillow.out, Sha256Hex(PackedRgb(image)) + "\n");
    }
}

TEST(PngWriter, ResolutionComesBackInDotsPerInch)
{
    struct Row
    {
        std::int32_t x, y, readX, readY;
    };

    // Without a resolution the file has no pHYs chunk and the reader says -1.
    const Row rows[] = { { 96, 96, 96, 96 },
                         { 72, 300, 72, 300 },
                         { 1, 65535, 1, 65535 },
                         { 0, 96, -1, -1 },
                         { 96, -5, -1, -1 } };
    TempDir dir;
    const ImageBuffer image = picture(4, 4, 3, 0);
    for (const Row &row : rows) {
        PngWriter writer;
        writer.xResolution = row.x;
        writer.yResolution = row.y;
        writer.write(dir.file("r.png"), image.span());
        const ReadBack back = readBack(dir.file("r.png"));
        EXPECT_EQ(back.header.xResolution, row.readX) << row.x << "," << row.y;
        EXPECT_EQ(back.header.yResolution, row.readY) << row.x << "," << row.y;
    }
}

TEST(PngWriter, BytesInMemoryAreTheFilesBytes)
{
    TempDir dir;
    const ImageBuffer image = picture(64, 48, 3, 0);
    PngWriter writer;
    writer.write(dir.file("m.png"), image.span());
    const std::vector<std::uint8_t> bytes = writer.encode(image.span());
    EXPECT_EQ(bytes, ReadBytes(dir.file("m.png")));
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
}

TEST(PngWriter, FailedWriteLeavesTheEarlierFile)
{
    TempDir dir;
    const std::vector<std::uint8_t> old{ 'o', 'l', 'd' };
    WriteBytes(dir.file("keep.png"), old);
    // Noise: the file cannot come out small enough to fit under the limit.
    ImageBuffer image = picture(400, 300, 3, 0);
    std::uint32_t state = 1;
    for (std::int32_t y = 0; y < image.height; ++y)
        for (std::int32_t x = 0; x < image.width * 3; ++x)
            image.row(y)[x] =
                    static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    {
        FileSizeLimit limit(4096);
        EXPECT_THROW(PngWriter().write(dir.file("keep.png"), image.span()), CAlbFileException);
    }
    EXPECT_EQ(ReadBytes(dir.file("keep.png")), old);
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "keep.png" }) << "no temporary file left";
}

} // namespace
