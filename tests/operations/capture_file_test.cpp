// Capture names and capture files: the next free name (gaps, the fourth digit, extensions, the
// last number), joining device and host folders, the resolution each format carries (read back
// by ImageMagick), and a replaced file that survives a failed write.
#include "operations/capture_file.h"

#include "tests/support/file_size_limit.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <set>

namespace {

TEST(CaptureName, NextFreeNumberAndExtension)
{
    struct Case
    {
        const char *name;
        std::set<std::string> taken;
        std::int32_t format;
        int takenBelow; // every number below this is taken too
        const char *expected;
    };

    const Case cases[] = {
        { "empty folder", {}, 0, 0, "ornsnap001.bmp" },
        { "gap filled", { "ornsnap002.bmp" }, 0, 0, "ornsnap001.bmp" },
        { "after a run", { "ornsnap001.bmp", "ornsnap002.bmp" }, 0, 0, "ornsnap003.bmp" },
        { "999 then 1000", {}, 0, 1000, "ornsnap1000.bmp" },
        { "other format's file is no clash", { "ornsnap001.bmp" }, 1, 0, "ornsnap001.jpg" },
        { "gif", {}, 2, 0, "ornsnap001.gif" },
        { "png", {}, 3, 0, "ornsnap001.png" },
        { "unknown format: no extension", {}, 4, 0, "ornsnap001" },
        { "case matters on this host", { "ORNSNAP001.BMP" }, 0, 0, "ornsnap001.bmp" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const CaptureName found = FindCaptureName("ornsnap", c.format, [&](const std::string &n) {
            const int number = std::atoi(n.c_str() + 7);
            return c.taken.count(n) > 0 || number < c.takenBelow;
        });
        EXPECT_EQ(found.name, c.expected);
        EXPECT_TRUE(found.free);
    }
}

TEST(CaptureName, EveryNumberTakenGivesTheLastNameAsNotFree)
{
    int asked = 0;
    const CaptureName found = FindCaptureName("p", 0, [&](const std::string &) {
        ++asked;
        return true;
    });
    EXPECT_EQ(found.name, "p999998.bmp");
    EXPECT_FALSE(found.free);
    EXPECT_EQ(asked, kLastCaptureNumber);
}

TEST(CaptureName, FolderOnDiskAndPathJoining)
{
    TempDir dir;
    WriteBytes(dir.file("shot001.gif"), { 1 });
    WriteBytes(dir.file("shot003.gif"), { 1 });
    const std::string folder = dir.path().string();
    EXPECT_EQ(NextCaptureName(folder, "shot", CaptureFormat::Gif), "shot002.gif");
    EXPECT_EQ(NextCaptureName(folder + "/", "shot", CaptureFormat::Bmp), "shot001.bmp");

    EXPECT_EQ(CaptureFilePath("\\Pictures", "a.bmp"), "\\Pictures\\a.bmp");
    EXPECT_EQ(CaptureFilePath("\\Pictures\\", "a.bmp"), "\\Pictures\\a.bmp");
    EXPECT_EQ(CaptureFilePath("\\", "a.bmp"), "\\a.bmp");
    EXPECT_EQ(CaptureFilePath("/tmp/x", "a.bmp"), "/tmp/x/a.bmp");
    EXPECT_EQ(CaptureFilePath("/tmp/x/", "a.bmp"), "/tmp/x/a.bmp");
}

// A w x h screen of colours from colourOf, rows w + pad pixels long with garbage in the pad.
struct Screen
{
    std::int32_t w, h, pad;
    std::vector<std::uint8_t> bytes;

    template <typename F>
    Screen(std::int32_t width, std::int32_t height, F colourOf)
        : w(width), h(height), pad((4 - width % 4) % 4)
    {
        bytes.assign(static_cast<std::size_t>((w + pad) * h * 3), 0x5A);
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) {
                const std::uint32_t c = colourOf(x, y);
                std::uint8_t *p = &bytes[static_cast<std::size_t>((y * (w + pad) + x) * 3)];
                p[0] = std::uint8_t(c), p[1] = std::uint8_t(c >> 8), p[2] = std::uint8_t(c >> 16);
            }
    }

    PixelSpan pixels() const { return PixelSpan::Padded(bytes.data(), w, h, pad); }
};

// A colour of a small set, differing in every channel.
std::uint32_t CloseColour(int i)
{
    return std::uint32_t(100 + i % 8) | std::uint32_t(50 + i / 8 % 8) << 8
            | std::uint32_t(200 + i / 64) << 16;
}

TEST(WriteCapture, ResolutionInBmpJpegAndPngNotInGif)
{
    TempDir dir;
    const Screen screen(21, 7, [](int x, int y) { return CloseColour(x + y); });

    struct Case
    {
        std::int32_t format;
        const char *file;
        const char *resolution; // as ImageMagick reports it in pixels per inch, rounded
    };

    for (const Case &c : { Case{ 0, "ornsnap001.bmp", "150" }, Case{ 1, "ornsnap001.jpg", "150" },
                           Case{ 2, "ornsnap001.gif", "0" }, Case{ 3, "ornsnap001.png", "150" } }) {
        SCOPED_TRACE(c.file);
        const std::string path =
                WriteCapture(NextCaptureName(dir.path().string(), "ornsnap", c.format),
                             screen.pixels(), CaptureTarget{ dir.path().string(), c.format, 150 });
        EXPECT_EQ(path, dir.file(c.file));
        const CommandResult identify = RunCommand(
                "identify -units PixelsPerInch -format '%w %h %[fx:int(resolution.x+0.5)]"
                " %[fx:int(resolution.y+0.5)]' '"
                + path + "'");
        ASSERT_EQ(identify.status, 0);
        // A GIF holds no resolution: ImageMagick reports none.
        EXPECT_EQ(identify.out, "21 7 " + std::string(c.resolution) + " " + c.resolution);
    }
}

TEST(WriteCapture, FailedReplacementLeavesTheOldFileAsItWas)
{
    TempDir dir;
    const std::vector<std::uint8_t> old{ 'o', 'l', 'd' };
    WriteBytes(dir.file("keep.bmp"), old);
    const Screen screen(200, 100, [](int x, int y) { return CloseColour(x ^ y); });
    {
        FileSizeLimit limit(4096);
        EXPECT_ANY_THROW(
                WriteCapture("keep.bmp", screen.pixels(),
                             CaptureTarget{ dir.path().string(), CaptureFormat::Bmp, 96 }));
    }
    EXPECT_EQ(ReadBytes(dir.file("keep.bmp")), old);
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "keep.bmp" }) << "no temporary file left";
}

} // namespace
