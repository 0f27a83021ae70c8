// vistrel-cli convert, run as a user would run it, with every output read back by ImageMagick's
// identify as an independent reader.
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

using Result = CommandResult;

Result run(const std::string &command)
{
    return RunCommand(command);
}

// Runs the tool; its standard error is returned in out when errToOut.
Result runCli(const std::string &arguments, bool errToOut = false)
{
    return run(CliPath() + " " + arguments + (errToOut ? " 2>&1" : " 2>/dev/null"));
}

struct Identified
{
    int width = 0;
    int height = 0;
    std::string storage; // PseudoClass (palette) or DirectClass
    int depth = 0; // bits per sample or per palette index
    int colours = 0; // distinct colours in the picture
    int quality = 0;
};

Identified identify(const std::string &path)
{
    const Result r = run("identify -format '%w %h %r %z %k %Q' '" + path + "' 2>/dev/null");
    Identified id;
    std::istringstream in(r.out);
    std::string colourSpace;
    in >> id.width >> id.height >> id.storage >> colourSpace;
    // A picture with transparency states "Matte" after its colour space.
    if (!(in >> id.depth)) {
        in.clear();
        std::string matte;
        in >> matte >> id.depth;
    }
    in >> id.colours >> id.quality;
    return id;
}

bool haveIdentify()
{
    return run("identify -version >/dev/null 2>&1").status == 0;
}

struct Choice
{
    std::string extension;
    std::string option;
    int limit; // most colours allowed, 0 for none
    int bits; // identify's depth for BMP, 0 when not checked
    std::string storage;
    int quality;
};

std::vector<Choice> everyChoice()
{
    std::vector<Choice> choices = {
        { "bmp", "--colors 2", 2, 1, "PseudoClass", 0 },
        { "bmp", "--colors 16", 16, 4, "", 0 },
        { "bmp", "--colors 256", 256, 0, "PseudoClass", 0 },
        { "bmp", "--colors 16777216", 0, 8, "DirectClass", 0 },
        { "bmp", "", 0, 8, "DirectClass", 0 },
    };
    for (int c = 2; c <= 256; c *= 2)
        choices.push_back({ "gif", "--colors " + std::to_string(c), c, 0, "PseudoClass", 0 });
    for (int q : { 90, 80, 75, 60, 45 })
        choices.push_back({ "jpg", "--quality " + std::to_string(q), 0, 8, "", q });
    choices.push_back({ "jpg", "", 0, 8, "", 75 });
    choices.push_back({ "png", "", 0, 0, "", 0 });
    return choices;
}

TEST(CliConvert, EveryFormatAndColourChoiceReadsBackWithItsSizeDepthAndColours)
{
    if (TestDataRoot().empty() || !haveIdentify())
        GTEST_SKIP() << "test pictures or identify missing";
    const char *pictures[] = { "bmpsuite/g/rgb24.bmp", "bmpsuite/g/pal8.bmp", "pillow/hopper.jpg",
                               "pillow/hopper_gray.jpg", "giflib/pic/welcome2.gif" };
    TempDir dir;
    for (const char *picture : pictures) {
        const auto &row = ReferenceIndex().at(picture);
        const std::string in = (TestDataRoot() / picture).string();
        for (const Choice &c : everyChoice()) {
            SCOPED_TRACE(std::string(picture) + " " + c.extension + " " + c.option);
            const std::string out = dir.file("out." + c.extension);
            ASSERT_EQ(runCli("convert '" + in + "' '" + out + "' " + c.option).status, 0);
            const Identified id = identify(out);
            EXPECT_EQ(id.width, row.width);
            EXPECT_EQ(id.height, row.height);
            EXPECT_GE(id.colours, 1);
            EXPECT_LE(id.colours, c.limit ? c.limit : 1 << 24);
            EXPECT_EQ(id.depth, c.bits ? c.bits : id.depth);
            EXPECT_EQ(id.storage, c.storage.empty() ? id.storage : c.storage);
            EXPECT_EQ(id.quality, c.quality ? c.quality : id.quality);
        }
    }
}

TEST(CliConvert, CropAndResolutionReachTheFile)
{
    if (TestDataRoot().empty() || !haveIdentify())
        GTEST_SKIP() << "test pictures or identify missing";
    TempDir dir;
    const std::string in = (TestDataRoot() / "pillow/hopper.jpg").string();
    const std::string out = dir.file("crop.jpg");
    ASSERT_EQ(runCli("convert '" + in + "' '" + out + "' --crop 100,20,50,30 --dpi 300,150").status,
              0);
    EXPECT_EQ(run("identify -format '%w %h %x %y' '" + out + "'").out, "28 30 300 150");
    ASSERT_EQ(runCli("convert '" + in + "' " + dir.file("c.GIF") + " --crop=1").status, 2);
    ASSERT_EQ(runCli("convert '" + in + "' " + dir.file("c.GIF") + " --crop -10,-10,20,20").status,
              0);
    EXPECT_EQ(run("identify -format '%w %h' " + dir.file("c.GIF")).out, "10 10");
}

TEST(CliConvert, OntoItsOwnFileReplacesItOnlyWhenTheWriteSucceeds)
{
    if (TestDataRoot().empty() || !haveIdentify())
        GTEST_SKIP() << "test pictures or identify missing";
    TempDir dir;
    const std::string file = dir.file("self.bmp");
    WriteBytes(file, ReadBytes((TestDataRoot() / "bmpsuite/g/rgb24.bmp").string()));
    ASSERT_EQ(runCli("convert " + file + " " + file + " --colors 16").status, 0);
    const Identified id = identify(file);
    EXPECT_EQ(id.depth, 4);
    EXPECT_EQ(id.width, 127);

    // A crop outside the picture is a wrong argument, found once the input has been read:
    // nothing may change.
    const auto before = ReadBytes(file);
    const Result failed = runCli("convert " + file + " " + file + " --crop 500,500,5,5", true);
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(failed.out,
              "vistrel-cli convert: --crop 500,500,5,5 lies outside the picture (127x64)\n");
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "self.bmp" });
}

// hopper.jpg with its frame claiming width x height: the compressed data ends long before such
// a picture does.
std::string claimingSize(const TempDir &dir, int width, int height)
{
    std::vector<std::uint8_t> bytes = ReadBytes((TestDataRoot() / "pillow/hopper.jpg").string());
    std::size_t at = 2;
    while (at + 9 < bytes.size() && !(bytes[at] == 0xFF && bytes[at + 1] == 0xC0))
        at += 2 + (bytes[at + 2] << 8 | bytes[at + 3]);
    const std::uint8_t sizes[] = { std::uint8_t(height >> 8), std::uint8_t(height),
                                   std::uint8_t(width >> 8), std::uint8_t(width) };
    std::copy(std::begin(sizes), std::end(sizes), bytes.begin() + std::ptrdiff_t(at) + 5);
    const std::string path = dir.file(std::to_string(width) + ".jpg");
    WriteBytes(path, bytes);
    return path;
}

// The album may show what such a file has, but a conversion must not pass made-up gray off as
// the picture; its facts alone are read from the header, which is whole.
TEST(CliConvert, AJpegWhoseDataEndsEarlyIsNotConverted)
{
    if (TestDataRoot().empty())
        GTEST_SKIP() << "test pictures missing";
    TempDir dir;
    const std::string shortData = claimingSize(dir, 2000, 1500);
    const Result r = runCli("convert " + shortData + " " + dir.file("out.bmp"), true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              shortData
                      + ": File format is not valid.\n30001:104:3:0\n"
                        "Corrupt JPEG data: premature end of data segment\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.bmp")));

    const std::string huge = claimingSize(dir, 30000, 30000);
    const Result info = runCli("info " + huge, true);
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.out, huge + "\tJPEG\t30000\t30000\t16777216\t96\t96\t1\n");
}

TEST(CliConvert, ValuesOutsideTheListsAreRefusedWithStatus2)
{
    TempDir dir;
    WriteBytes(dir.file("in.bmp"), { 'B', 'M' });
    const std::string in = dir.file("in.bmp") + " ";
    const std::pair<std::string, std::string> cases[] = {
        { in + dir.file("o.gif") + " --colors 100", "--colors for GIF" },
        { in + dir.file("o.bmp") + " --colors 24", "--colors for BMP" },
        { in + dir.file("o.bmp") + " --colors 16x", "whole number" },
        { in + dir.file("o.jpg") + " --quality 50", "--quality must be" },
        { in + dir.file("o.bmp") + " --quality 90", "JPEG only" },
        { in + dir.file("o.jpg") + " --colors 256", "does not apply to JPEG" },
        { in + dir.file("o.bmp") + " --format tif", "--format must be bmp, gif, jpg or png" },
        { in + dir.file("o.tif"), "cannot tell the format" },
        { in + dir.file("o.png") + " --colors 256", "does not apply to PNG" },
        { in + dir.file("o.bmp") + " --crop 1,2,3", "--crop needs" },
        { in + dir.file("o.bmp") + " --crop 1,2,0,3", "at least 1" },
        { in + dir.file("o.bmp") + " --dpi 0", "--dpi values" },
        { in + dir.file("o.bmp") + " --dpi 1,2,3", "--dpi needs" },
        { in + dir.file("o.bmp") + " --size 3", "unknown option" },
        { in, "needs IN and OUT" },
    };
    for (const auto &[arguments, message] : cases) {
        const Result r = runCli("convert " + arguments, true);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_NE(r.out.find(message), std::string::npos) << arguments << ": " << r.out;
    }
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "in.bmp" });
}

TEST(CliConvert, UnreadableInputPrintsTheProgramsMessageAndLocation)
{
    TempDir dir;
    WriteBytes(dir.file("text.bmp"), { 'h', 'e', 'l', 'l', 'o' });
    const Result r = runCli("convert " + dir.file("text.bmp") + " " + dir.file("o.gif"), true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, dir.file("text.bmp") + ": This file format is unsupported.\n38000:39:101:0\n");
    const Result help = runCli("convert --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--quality Q"), std::string::npos);
}

} // namespace
