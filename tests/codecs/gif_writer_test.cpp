// The GIF writer's file layout: exact bytes of small files, colour table sizes, the control
// extension, the order of the stages and their failures, argument checks, and that a failed
// write never harms what was there before.
#include "codecs/gif_writer.h"

#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "image/image_buffer.h"
#include "tests/support/failure_location.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

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
        image.palette->entries[i] = { std::uint8_t(i + 1), std::uint8_t(2 * i),
                                      std::uint8_t(255 - i), 0 };
    return image;
}

void writeGif(GifWriter &writer, const std::string &path, const ImageBuffer &image)
{
    writer.write(path, image.span());
}

Bytes slice(const Bytes &bytes, std::size_t at, std::size_t n)
{
    return { bytes.begin() + static_cast<std::ptrdiff_t>(at),
             bytes.begin() + static_cast<std::ptrdiff_t>(at + n) };
}

// Index 0 with a 16-entry table (4 bits): minimum code size 4, then clear (16), 0 and end (17)
// in 5 bits each, least significant bit first: 10000 00000 10001 -> 10 44.
TEST(GifWriter, OnePixelPictureIsWrittenByteForByte)
{
    TempDir dir;
    const ImageBuffer image = indexed(1, 1, 16, [](int, int) { return 0; });
    GifWriter writer;
    writeGif(writer, dir.file("one.gif"), image);

    Bytes expected = { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0xB3, 0, 0 };
    for (int i = 0; i < 16; ++i)
        expected.insert(expected.end(),
                        { std::uint8_t(i + 1), std::uint8_t(2 * i), std::uint8_t(255 - i) });
    expected.insert(expected.end(), { 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x03 });
    expected.insert(expected.end(), { 0x04, 0x02, 0x10, 0x44, 0x00, 0x3B });
    EXPECT_EQ(ReadBytes(dir.file("one.gif")), expected);
}

TEST(GifWriter, ColourTableSizeFollowsThePaletteCount)
{
    struct Case
    {
        int count;
        std::uint8_t packed;
        std::size_t tableEntries;
        std::uint8_t minimumCodeSize;
    };

    const Case cases[] = {
        { 1, 0x80, 2, 2 },   { 2, 0x80, 2, 2 },   { 3, 0x91, 4, 2 },     { 5, 0xA2, 8, 3 },
        { 16, 0xB3, 16, 4 }, { 17, 0xC4, 32, 5 }, { 200, 0xF7, 256, 8 }, { 256, 0xF7, 256, 8 },
    };
    TempDir dir;
    GifWriter writer; // reused: nothing of one file may leak into the next
    for (const Case &c : cases) {
        SCOPED_TRACE(c.count);
        const ImageBuffer image =
                indexed(3, 2, c.count, [&](int x, int y) { return (x + y) % c.count; });
        writeGif(writer, dir.file("t.gif"), image);
        const Bytes file = ReadBytes(dir.file("t.gif"));
        const std::size_t descriptor = 13 + 3 * c.tableEntries;
        ASSERT_GT(file.size(), descriptor + 11);
        EXPECT_EQ(file[10], c.packed);
        EXPECT_EQ(file[descriptor], 0x2C);
        EXPECT_EQ(file[descriptor + 9], c.packed & 7) << "image descriptor repeats the table bits";
        EXPECT_EQ(file[descriptor + 10], c.minimumCodeSize);
        const std::size_t used = 3 * static_cast<std::size_t>(c.count);
        EXPECT_EQ(slice(file, 13 + used, 3 * c.tableEntries - used),
                  Bytes(3 * c.tableEntries - used, 0))
                << "entries past the count are black";
        EXPECT_EQ(file.back(), 0x3B);
    }
}

TEST(GifWriter, ControlExtensionOnlyForAnIndexInThePalette)
{
    struct Case
    {
        std::int32_t transparentIndex;
        bool extension;
    };

    TempDir dir;
    const ImageBuffer image = indexed(4, 4, 16, [](int x, int y) { return x * y; });
    for (const Case &c : { Case{ 3, true }, Case{ 0, true }, Case{ 15, true }, Case{ -1, false },
                           Case{ 16, false } }) {
        SCOPED_TRACE(c.transparentIndex);
        GifWriter writer;
        writer.transparentIndex = c.transparentIndex;
        writeGif(writer, dir.file("x.gif"), image);
        const Bytes file = ReadBytes(dir.file("x.gif"));
        const std::size_t after = 13 + 48;
        if (c.extension) {
            EXPECT_EQ(slice(file, after, 8),
                      (Bytes{ 0x21, 0xF9, 0x04, 0x01, 0, 0, std::uint8_t(c.transparentIndex), 0 }));
            EXPECT_EQ(file[after + 8], 0x2C);
        } else {
            EXPECT_EQ(file[after], 0x2C);
        }
    }
}

TEST(GifWriter, ControlExtensionPacksDisposalInputAndDelay)
{
    TempDir dir;
    GifWriter writer;
    ImagePalette palette;
    palette.count = 2;
    writer.open(dir.file("c.gif"));
    writer.screen(1, 1, 0, &palette);
    writer.controlExtension(2, true, 0x1234, -1);
    writer.controlExtension(9, false, 5, 255);
    writer.image(0, 0, 1, 1, false, nullptr);
    const std::uint8_t pixel = 1;
    writer.row(&pixel, 1);
    writer.trailer();
    const Bytes file = ReadBytes(dir.file("c.gif"));
    EXPECT_EQ(slice(file, 19, 16),
              (Bytes{ 0x21, 0xF9, 0x04, 0x0A, 0x34, 0x12, 0xFF, 0x00, //
                      0x21, 0xF9, 0x04, 0x05, 0x05, 0x00, 0xFF, 0x00 }));
}

TEST(GifWriter, StagesOutOfOrderAreInternalErrors)
{
    TempDir dir;
    const std::string path = dir.file("s.gif");
    ImagePalette palette;
    palette.count = 4;
    const std::uint8_t pixels[8] = {};
    using Steps = std::function<void(GifWriter &)>;
    const Steps opened = [&](GifWriter &w) {
        w.open(path);
    };
    const Steps screened = [&](GifWriter &w) {
        opened(w), w.screen(2, 2, 0, &palette);
    };
    const Steps started = [&](GifWriter &w) {
        screened(w), w.image(0, 0, 2, 2, false, nullptr);
    };
    const FailureLocation atOpen{ Msg::InternalError, Module::GifWriter, 48, 1 };
    const FailureLocation atScreen{ Msg::InternalError, Module::GifWriter, 88, 1 };
    const FailureLocation plain{ Msg::InternalError, 0, 0, 0 };

    struct Case
    {
        const char *name;
        Steps steps;
        FailureLocation expected;
    };

    const Case cases[] = {
        { "open with an empty path", [](GifWriter &w) { w.open(""); }, atOpen },
        { "open twice", [&](GifWriter &w) { opened(w), w.open(path); }, atOpen },
        { "screen before open", [&](GifWriter &w) { w.screen(2, 2, 0, &palette); }, atScreen },
        { "screen twice", [&](GifWriter &w) { screened(w), w.screen(2, 2, 0, &palette); },
          atScreen },
        { "screen after the image", [&](GifWriter &w) { started(w), w.screen(2, 2, 0, &palette); },
          atScreen },
        { "extension before screen",
          [&](GifWriter &w) { opened(w), w.controlExtension(0, false, 0, 1); }, plain },
        { "image before screen",
          [&](GifWriter &w) { opened(w), w.image(0, 0, 2, 2, false, nullptr); }, plain },
        { "row before image", [&](GifWriter &w) { screened(w), w.row(pixels, 1); }, plain },
        { "row longer than the pixels left",
          [&](GifWriter &w) { started(w), w.row(pixels, 3), w.row(pixels, 2); }, plain },
        { "extension inside the image",
          [&](GifWriter &w) { started(w), w.row(pixels, 2), w.controlExtension(0, false, 0, 1); },
          plain },
        { "trailer before the last row",
          [&](GifWriter &w) { started(w), w.row(pixels, 3), w.trailer(); }, plain },
        { "trailer without a file", [](GifWriter &w) { w.trailer(); }, plain },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        {
            GifWriter writer;
            const FailureLocation got = FailureOf([&] { c.steps(writer); });
            EXPECT_EQ(got.id, c.expected.id);
            EXPECT_EQ(got.module, c.expected.module);
            EXPECT_EQ(got.place, c.expected.place);
            EXPECT_EQ(got.step, c.expected.step);
        }
        EXPECT_TRUE(dir.names().empty()) << "an unfinished file never lands";
    }

    // The same stages in order make a complete file.
    GifWriter writer;
    started(writer);
    writer.row(pixels, 3);
    writer.row(pixels, 0);
    writer.row(pixels, 1);
    writer.trailer();
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "s.gif" });
}

TEST(GifWriter, InvalidArgumentsAreRefusedBeforeWriting)
{
    TempDir dir;
    const ImageBuffer image = indexed(50, 50, 4, [](int x, int) { return x % 4; });

    struct Case
    {
        const char *name;
        bool path, pixels;
        std::int32_t width, height, bytesPerPixel;
        bool palette;
        FailureLocation expected;
        std::size_t stride = 0; // 0: width x bytesPerPixel
    };

    const FailureLocation invalid{ Msg::InvalidParameter, 0, 0, 0 };
    const FailureLocation outOfOrder{ Msg::InternalError, Module::GifWriter, 48, 1 };
    const Case cases[] = {
        { "no rows", true, true, 50, 0, 1, true, invalid },
        { "wider than a GIF can say", true, true, 70000, 1, 1, true, invalid },
        { "rows shorter than the width", true, true, 50, 50, 1, true, invalid, 49 },
        { "2 bytes per pixel", true, true, 50, 50, 2, true, invalid },
        { "1-byte input without a palette", true, true, 50, 50, 1, false, invalid },
        { "no pixels", true, false, 50, 50, 3, false, invalid },
        { "zero width", true, true, 0, 50, 1, true, invalid },
        { "empty path", false, true, 50, 50, 1, true, outOfOrder },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        GifWriter writer;
        const std::size_t stride =
                c.stride ? c.stride : static_cast<std::size_t>(c.width * c.bytesPerPixel);
        const FailureLocation got = FailureOf([&] {
            writer.write(c.path ? dir.file("never.gif") : "",
                         PixelSpan{ c.pixels ? image.pixels : nullptr, c.width, c.height, stride,
                                    c.bytesPerPixel, c.palette ? image.palette : nullptr });
        });
        EXPECT_EQ(got.id, c.expected.id);
        EXPECT_EQ(got.place, c.expected.place);
        EXPECT_TRUE(dir.names().empty());
    }
}

TEST(GifWriter, FailedWritesLeaveExistingFilesAlone)
{
    TempDir dir;
    const ImageBuffer image = indexed(3, 2, 4, [](int x, int) { return x; });
    const Bytes earlier = { 'o', 'l', 'd' };
    WriteBytes(dir.file("keep.gif"), earlier);
    std::filesystem::create_directory(dir.path() / "folder.gif");

    for (const std::string &target : { dir.file("no-such-folder/a.gif"), dir.file("folder.gif") }) {
        SCOPED_TRACE(target);
        GifWriter writer;
        try {
            writeGif(writer, target, image);
            ADD_FAILURE() << "no exception";
        } catch (const CAlbFileException &e) {
            EXPECT_EQ(e.path(), target);
        }
        // The writer is ready for the next file after a failure.
        writeGif(writer, dir.file("next.gif"), image);
        std::filesystem::remove(dir.file("next.gif"));
    }

    // A file abandoned half-way, by a failing stage or by the writer's end, never replaces the
    // earlier one.
    {
        GifWriter writer;
        writer.open(dir.file("keep.gif"));
        writer.screen(3, 2, 0, image.palette);
        writer.image(0, 0, 3, 2, false, nullptr);
        writer.row(image.pixels, 3);
        EXPECT_THROW(writer.row(image.pixels, 4), CAlbException);
    }
    EXPECT_EQ(ReadBytes(dir.file("keep.gif")), earlier);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{ "folder.gif", "keep.gif" }));

    GifWriter writer;
    writeGif(writer, dir.file("keep.gif"), image);
    EXPECT_EQ(slice(ReadBytes(dir.file("keep.gif")), 0, 6),
              (Bytes{ 'G', 'I', 'F', '8', '9', 'a' }));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{ "folder.gif", "keep.gif" }));
}

} // namespace
