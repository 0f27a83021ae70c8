// The BMP writer: file layout, depth by palette size, round trips through the reader, and that a
// failed write never harms what was there before.
#include "codecs/bmp_writer.h"

#include "codecs/detecting_codec.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/temp_dir.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t le32(const Bytes &b, std::size_t at)
{
    return b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16)
            | (static_cast<std::uint32_t>(b.at(at + 3)) << 24);
}

std::uint16_t le16(const Bytes &b, std::size_t at)
{
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

// A picture whose pixel (x, y) has value(x, y) in every byte of the pixel; 1-byte pictures get
// a palette of paletteCount entries with distinct colours.
ImageBuffer picture(std::int32_t width, std::int32_t height, int bytesPerPixel, int paletteCount,
                    const std::function<std::uint8_t(int, int, int)> &value)
{
    ImageBuffer image;
    image.create(width, height, static_cast<std::uint8_t>(bytesPerPixel), false);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width * bytesPerPixel; ++x)
            image.row(y)[x] = value(x / bytesPerPixel, y, x % bytesPerPixel);
    if (image.palette) {
        image.palette->count = static_cast<std::uint16_t>(paletteCount);
        for (int i = 0; i < paletteCount; ++i)
            image.palette->entries[i] = { std::uint8_t(255 - i), std::uint8_t(i * 7),
                                          std::uint8_t(i * 13), 0 };
    }
    return image;
}

// Writes image with the writer's defaults.
void writePicture(const std::string &path, const ImageBuffer &image)
{
    BmpWriter().write(path, image.span());
}

ImageBuffer readBack(const std::string &path)
{
    DetectingCodec codec;
    ImageInfo info;
    FrameArray frames;
    codec.decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    return std::move(frames.at(0)->image);
}

std::vector<int> rowOf(const ImageBuffer &image, std::int32_t y)
{
    return { image.row(y), image.row(y) + image.width * image.bytesPerPixel };
}

std::uint8_t pseudoRandom(int x, int y, int channel)
{
    return static_cast<std::uint8_t>((x * 131 + y * 71 + channel * 29 + x * y * 17) % 251);
}

TEST(BmpWriter, FileLayoutByDepth)
{
    struct Case
    {
        const char *name;
        int bytesPerPixel, paletteCount;
        std::uint32_t fileSize, dataOffset;
        std::uint16_t bits;
    };

    const Case cases[] = {
        { "24 bits: 54 + 2 rows of 16 bytes", 3, 0, 86, 54, 24 },
        { "2 entries: 1 bit", 1, 2, 62 + 2 * 4, 62, 1 },
        { "1 entry: 1 bit", 1, 1, 62 + 2 * 4, 62, 1 },
        { "3 entries: 4 bits", 1, 3, 118 + 2 * 4, 118, 4 },
        { "16 entries: 4 bits", 1, 16, 118 + 2 * 4, 118, 4 },
        { "17 entries: 8 bits", 1, 17, 1078 + 2 * 8, 1078, 8 },
        { "256 entries: 8 bits", 1, 256, 1078 + 2 * 8, 1078, 8 },
    };
    TempDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ImageBuffer image = picture(5, 2, c.bytesPerPixel, c.paletteCount, pseudoRandom);
        writePicture(dir.file("out.bmp"), image);
        const Bytes file = ReadBytes(dir.file("out.bmp"));
        ASSERT_EQ(file.size(), c.fileSize);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(le32(file, 2), c.fileSize);
        EXPECT_EQ(le32(file, 6), 0u);
        EXPECT_EQ(le32(file, 10), c.dataOffset);
        EXPECT_EQ(le32(file, 14), 40u);
        EXPECT_EQ(le32(file, 18), 5u);
        EXPECT_EQ(le32(file, 22), 2u);
        EXPECT_EQ(le16(file, 26), 1);
        EXPECT_EQ(le16(file, 28), c.bits);
        for (std::size_t at : { 30, 34, 46, 50 })
            EXPECT_EQ(le32(file, at), 0u) << at;
        if (c.bytesPerPixel == 1) {
            // The colour table holds blue, green, red and a zero byte per entry.
            EXPECT_EQ(file[54 + 4], image.palette->entries[1].blue);
            EXPECT_EQ(file[54 + 5], image.palette->entries[1].green);
            EXPECT_EQ(file[54 + 6], image.palette->entries[1].red);
            EXPECT_EQ(file[54 + 7], 0);
        }
    }
}

TEST(BmpWriter, ResolutionIsStoredInPixelsPerMetre)
{
    TempDir dir;
    const ImageBuffer image = picture(2, 2, 3, 0, pseudoRandom);
    const WriterResolution saved = DefaultWriterResolution();
    SetDefaultWriterResolution({ 96, 72 });
    BmpWriter writer;
    SetDefaultWriterResolution(saved);
    EXPECT_EQ(writer.xResolution, 96);
    EXPECT_EQ(writer.yResolution, 72);
    writer.yResolution = 300;
    writer.write(dir.file("r.bmp"), PixelSpan::Padded(image.pixels, 2, 2, image.rowPad));
    const Bytes file = ReadBytes(dir.file("r.bmp"));
    EXPECT_EQ(le32(file, 38), 3780u);
    EXPECT_EQ(le32(file, 42), 11811u);
}

TEST(BmpWriter, RoundTripsThroughTheReader)
{
    struct Case
    {
        const char *name;
        int bytesPerPixel, paletteCount;
    };

    const Case cases[] = {
        { "1 bit", 1, 2 }, { "4 bits", 1, 11 }, { "8 bits", 1, 256 }, { "24 bits", 3, 0 }
    };
    TempDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto value = [&](int x, int y, int channel) {
            const std::uint8_t v = pseudoRandom(x, y, channel);
            return c.bytesPerPixel == 3 ? v : static_cast<std::uint8_t>(v % c.paletteCount);
        };
        // Width 13 leaves padding in every depth's rows.
        const ImageBuffer image = picture(13, 7, c.bytesPerPixel, c.paletteCount, value);
        writePicture(dir.file("round.bmp"), image);
        const ImageBuffer back = readBack(dir.file("round.bmp"));
        ASSERT_EQ(back.width, 13);
        ASSERT_EQ(back.height, 7);
        ASSERT_EQ(back.bytesPerPixel, c.bytesPerPixel);
        for (std::int32_t y = 0; y < 7; ++y)
            EXPECT_EQ(rowOf(back, y), rowOf(image, y)) << "row " << y;
        for (int i = 0; i < c.paletteCount; ++i)
            EXPECT_TRUE(back.palette->entries[i].sameColour(image.palette->entries[i])) << i;
    }
}

TEST(BmpWriter, IdentifyAgreesOnSizeAndDepth)
{
    if (std::system("command -v identify >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick's identify is not installed";

    struct Case
    {
        int bytesPerPixel, paletteCount;
        const char *expected;
    };

    const Case cases[] = {
        { 1, 2, "9 5 1" }, { 1, 16, "9 5 4" }, { 1, 200, "9 5 8" }, { 3, 0, "9 5 8" }
    };
    TempDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
        const ImageBuffer image =
                picture(9, 5, c.bytesPerPixel, c.paletteCount, [&](int x, int y, int ch) {
                    return static_cast<std::uint8_t>(c.paletteCount ? (x + y) % c.paletteCount
                                                                    : pseudoRandom(x, y, ch));
                });
        const std::string path = dir.file("id.bmp");
        writePicture(path, image);
        const std::string command = "identify -format '%w %h %z' '" + path + "' 2>/dev/null";
        FILE *pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::array<char, 128> output{};
        const std::size_t n = std::fread(output.data(), 1, output.size() - 1, pipe);
        ::pclose(pipe);
        EXPECT_EQ(std::string(output.data(), n), c.expected);
    }
}

TEST(BmpWriter, InvalidSizesAndArgumentsAreRefusedBeforeWriting)
{
    TempDir dir;
    const ImageBuffer image = picture(50, 50, 1, 4, pseudoRandom);

    struct Case
    {
        const char *name;
        bool path, pixels;
        int bytesPerPixel, height;
        bool palette;
        std::size_t stride;
    };

    const Case cases[] = {
        { "no rows", true, true, 1, 0, true, 50 },
        { "rows shorter than the width", true, true, 3, 50, false, 74 },
        { "2 bytes per pixel", true, true, 2, 50, true, 50 },
        { "1-byte input without a palette", true, true, 1, 50, false, 50 },
        { "no pixels", true, false, 3, 50, false, 150 },
        { "empty path", false, true, 3, 50, false, 150 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            BmpWriter().write(c.path ? dir.file("never.bmp") : "",
                              PixelSpan{ c.pixels ? image.pixels : nullptr, 25, c.height, c.stride,
                                         c.bytesPerPixel, c.palette ? image.palette : nullptr });
            ADD_FAILURE() << "no exception";
        } catch (const CAlbException &e) {
            EXPECT_EQ(e.messageId, Msg::InvalidParameter);
        }
        EXPECT_TRUE(dir.names().empty());
    }
}

TEST(BmpWriter, DevicePathsAreWrittenUnderTheDeviceRoot)
{
    TempDir dir;
    const char *saved = std::getenv("VISTREL_ROOT");
    const std::string savedRoot = saved ? saved : "";
    ::setenv("VISTREL_ROOT", dir.path().c_str(), 1);
    const ImageBuffer image = picture(3, 2, 3, 0, pseudoRandom);
    writePicture("\\shot.bmp", image);
    std::string failedPath;
    try {
        writePicture("\\missing\\shot.bmp", image);
    } catch (const CAlbFileException &e) {
        failedPath = e.path();
    }
    saved ? ::setenv("VISTREL_ROOT", savedRoot.c_str(), 1) : ::unsetenv("VISTREL_ROOT");
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "shot.bmp" });
    EXPECT_EQ(failedPath, "\\missing\\shot.bmp");
}

TEST(BmpWriter, FailedWritesLeaveExistingFilesAlone)
{
    TempDir dir;
    const ImageBuffer image = picture(3, 2, 3, 0, pseudoRandom);
    const Bytes earlier = { 'o', 'l', 'd' };
    WriteBytes(dir.file("keep.bmp"), earlier);
    std::filesystem::create_directory(dir.path() / "folder.bmp");
    WriteBytes(dir.file("folder.bmp/inside"), earlier);

    for (const std::string &target : { dir.file("no-such-folder/a.bmp"), dir.file("folder.bmp") }) {
        SCOPED_TRACE(target);
        try {
            writePicture(target, image);
            ADD_FAILURE() << "no exception";
        } catch (const CAlbFileException &e) {
            EXPECT_EQ(e.path(), target);
        }
    }
    EXPECT_EQ(ReadBytes(dir.file("folder.bmp/inside")), earlier);

    // A folder the writer may not create files in; root may create files anywhere.
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
        EXPECT_THROW(writePicture(dir.file("keep.bmp"), image), CAlbFileException);
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
    }
    EXPECT_EQ(ReadBytes(dir.file("keep.bmp")), earlier);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{ "folder.bmp", "keep.bmp" }));

    // A successful write replaces the file and leaves nothing else behind.
    writePicture(dir.file("keep.bmp"), image);
    EXPECT_EQ(ReadBytes(dir.file("keep.bmp")).size(), 54u + 2 * 12);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{ "folder.bmp", "keep.bmp" }));
}

} // namespace
