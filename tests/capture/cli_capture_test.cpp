// `vistrel-cli capture` on a private X server: the files hold exactly the screen's pixels (BMP,
// PNG, and GIF for a screen of no more than 256 colours), names follow on, and failures and bad
// arguments give their exit status.
#include "codecs/detecting_codec.h"
#include "tests/platform/root_painter.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/xvfb_server.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 61;
constexpr int kHeight = 23;

// 8 x 8 x 4 = 256 colours at most.
std::uint32_t ScreenPixel(int x, int y)
{
    return std::uint32_t(x % 8 * 30) << 16 | std::uint32_t(y % 8 * 30) << 8
            | std::uint32_t((x + y) % 4 * 60);
}

std::vector<std::uint8_t> ScreenRgb()
{
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t p = ScreenPixel(x, y);
            rgb.insert(rgb.end(), { std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p) });
        }
    return rgb;
}

std::vector<std::uint8_t> DecodedRgb(const std::string &path)
{
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    return PackedRgb(frames.at(0)->image);
}

class CliCapture : public ::testing::Test
{
protected:
    // The tool with DISPLAY and a settings folder of the test's own; standard error joined in.
    CommandResult capture(const std::string &arguments, const std::string &display)
    {
        return RunCommand("DISPLAY=" + display + " VISTREL_GRAB=x11 XDG_CONFIG_HOME='"
                          + dir.file("config")
                          + "' '" + CliPath() + "' capture " + arguments + " 2>&1");
    }

    TempDir dir;
};

TEST_F(CliCapture, FilesHoldTheScreenExactly)
{
    XvfbServer server(kWidth, kHeight, 24);
    ASSERT_TRUE(server.ok()) << server.error();
    PaintRoot(server.display(), ScreenPixel);
    const std::string folder = "--folder '" + dir.path().string() + "'";

    struct Case
    {
        const char *arguments;
        const char *file;
    };

    for (const Case &c : { Case{ "--format bmp", "ornsnap001.bmp" },
                           Case{ "--format bmp --dpi 300", "ornsnap002.bmp" },
                           Case{ "--format gif --prefix shot", "shot001.gif" },
                           Case{ "--format png", "ornsnap001.png" } }) {
        SCOPED_TRACE(c.arguments);
        const CommandResult run = capture(folder + " " + c.arguments, server.display());
        ASSERT_EQ(run.status, 0) << run.out;
        EXPECT_EQ(run.out, dir.file(c.file) + "\n");
        EXPECT_TRUE(DecodedRgb(dir.file(c.file)) == ScreenRgb()) << "pixels differ";
    }
}

TEST_F(CliCapture, FailuresAndBadArguments)
{
    struct Case
    {
        const char *arguments;
        int status;
        const char *output; // a part of what is printed
    };

    const std::string folder = "--folder '" + dir.path().string() + "' ";
    const Case cases[] = {
        { "--help", 0, "usage: vistrel-cli capture" },
        { "--format tif", 2, "--format must be bmp, gif, jpg or png" },
        { "--dpi 0", 2, "--dpi needs a whole number from 1 to 65535" },
        { "--delay x", 2, "--delay needs a whole number" },
        { "--prefix a/b", 2, "cannot start a file name" },
        { "--folder", 2, "--folder needs a value" },
        { "--colors 2", 2, "unknown option '--colors'" },
        { "", 1, "Not enough memory.\n36007:3000:5" }, // no X server on that display
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        const CommandResult run = capture(
                (std::string(c.arguments) == "--folder" ? "" : folder) + c.arguments, ":4093");
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.out.find(c.output), std::string::npos) << run.out;
    }
    EXPECT_TRUE(dir.names().empty());
}

// Qt's start-up would cost more than a capture: the tool links none of it, and leaves the portal
// to its helper program, whose absence is reported as such.
TEST_F(CliCapture, TheToolLoadsNoQtAndReportsAMissingPortalHelper)
{
    const CommandResult libraries = RunCommand("readelf -d '" + CliPath() + "'");
    ASSERT_EQ(libraries.status, 0);
    EXPECT_NE(libraries.out.find("(NEEDED)"), std::string::npos);
    EXPECT_EQ(libraries.out.find("libQt"), std::string::npos) << libraries.out;

    const std::string alone = dir.file("vistrel-cli");
    std::filesystem::copy_file(CliPath(), alone);
    const CommandResult run = RunCommand("VISTREL_GRAB=portal XDG_CONFIG_HOME='" + dir.file("config")
                                         + "' '" + alone + "' capture --folder '"
                                         + dir.path().string() + "' 2>&1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("cannot start " + dir.path().string()
                           + "/../libexec/vistrel/vistrel-portal-grab: No such file"),
              std::string::npos)
            << run.out;
    EXPECT_NE(run.out.find("36007:3000:20"), std::string::npos) << run.out;
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "vistrel-cli" });
}

} // namespace
