// vistrel-cli info, run as a user would run it.
#include "tests/support/exif_jpeg.h"
#include "tests/support/photo_files.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

// Runs the tool with arguments; standard error goes to errFile.
CommandResult runCli(const std::string &arguments, const std::string &errFile = "/dev/null")
{
    return RunCommand(CliPath() + " " + arguments + " 2>" + errFile);
}

std::string readText(const std::string &path)
{
    auto bytes = ReadBytes(path);
    return { bytes.begin(), bytes.end() };
}

// A 2 x 1 24-bit BMP stating 2835 pixels per metre (72 per inch) horizontally and none vertically.
std::vector<std::uint8_t> tinyBmp()
{
    return {
        'B', 'M', 62, 0, 0,    0,    0, 0, 0, 0, 54, 0, 0, 0, // file header
        40,  0,   0,  0, 2,    0,    0, 0, 1, 0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0, // size, 2 x 1, 24 bits
        8,   0,   0,  0, 0x13, 0x0B, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 1,
        2,   3,   4,  5, 6,    0,    0
    };
}

TEST(CliInfo, PrintsOneTabSeparatedLinePerFile)
{
    TempDir dir;
    WriteBytes(dir.file("a.bmp"), tinyBmp());
    const std::string png = PngSuiteFile("cdun2c08.png"); // 1,000 pixels per metre
    auto r = runCli("info " + dir.file("a.bmp") + " " + dir.file("a.bmp") + " " + png);
    EXPECT_EQ(r.status, 0);
    std::string line = dir.file("a.bmp") + "\tBMP\t2\t1\t16777216\t-1\t-1\t1\n";
    EXPECT_EQ(r.out, line + line + png + "\tPNG\t32\t32\t16777216\t25\t25\t1\n");
}

// Whatever a name holds, each picture keeps one line: tab, newline and backslash are escaped.
// Photos from phones and the web: the format's name, the upright size (a photo taken on its side
// reads as shown), the frames of an animation.
TEST(CliInfo, PhoneAndWebFormats)
{
    TempDir dir;
    std::vector<std::pair<std::string, std::string>> rows;
    const ImageBuffer quarters = QuarteredPicture(64, 32);
    WriteBytes(dir.file("side.jpg"),
               JpegWithSegment(quarters, 0xE1, OrientationExif(6), dir.file("plain.jpg")));
    rows.push_back({ "side.jpg", "JPEG\t32\t64\t16777216\t72\t72\t1" });
#ifdef VISTREL_HAVE_WEBP
    WriteBytes(dir.file("anim.webp"),
               AnimatedWebp(64, 32, { { &quarters, 0, 0, 100 }, { &quarters, 0, 0, 100 } }));
    rows.push_back({ "anim.webp", "WEBP\t64\t32\t16777216\t-1\t-1\t2" });
#endif
#ifdef VISTREL_HAVE_HEIF
    for (const char *name : { "quarters.heic", "quarters_turned.avif" })
        WriteBytes(dir.file(name), ReadBytes((TestFilesRoot() / "heif" / name).string()));
    rows.push_back({ "quarters.heic", "HEIF\t64\t48\t16777216\t-1\t-1\t1" });
    rows.push_back({ "quarters_turned.avif", "AVIF\t48\t64\t16777216\t-1\t-1\t1" });
#endif
    for (const auto &[name, facts] : rows) {
        const auto r = runCli("info " + dir.file(name));
        EXPECT_EQ(r.status, 0) << name;
        EXPECT_EQ(r.out, dir.file(name) + "\t" + facts + "\n");
    }
}

TEST(CliInfo, HostileNamesKeepOneLineEach)
{
    TempDir dir;

    struct Row
    {
        std::string name, printed;
    } rows[] = {
        { "tab\tname.bmp", "tab\\tname.bmp" },
        { "new\nline.bmp", "new\\nline.bmp" },
        { "back\\slash.bmp", "back\\\\slash.bmp" },
        { "%41 %s.bmp", "%41 %s.bmp" },
        { "-dash.bmp", "-dash.bmp" },
        { "bad\xff.bmp", "bad\xff.bmp" },
    };

    std::string arguments, expected;
    for (const Row &row : rows) {
        WriteBytes(dir.file(row.name), tinyBmp());
        arguments += " '" + dir.file(row.name) + "'";
        expected += dir.file(row.printed) + "\tBMP\t2\t1\t16777216\t-1\t-1\t1\n";
    }
    const CommandResult r = runCli("info" + arguments);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, expected);
}

TEST(CliInfo, FailuresGoToStandardErrorWithTheProgramsMessage)
{
    TempDir dir;
    WriteBytes(dir.file("good.bmp"), tinyBmp());
    WriteBytes(dir.file("text.bmp"), { 'h', 'e', 'l', 'l', 'o' });
    auto r = runCli("info " + dir.file("text.bmp") + " " + dir.file("missing.bmp") + " "
                            + dir.file("good.bmp"),
                    dir.file("err.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("good.bmp\tBMP"), std::string::npos);
    EXPECT_EQ(readText(dir.file("err.txt")),
              dir.file("text.bmp") + ": This file format is unsupported.\n38000:39:101:0\n"
                      + dir.file("missing.bmp") + ": No such file or directory.\n30001:18:1:2\n");
}

// After "--" every argument is a file, one named like an option too.
TEST(CliInfo, DoubleDashEndsTheOptions)
{
    TempDir dir;
    WriteBytes(dir.file("--exif"), tinyBmp());
    const auto r = RunCommand("cd " + dir.path().string() + " && " + CliPath() + " info -- --exif");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "--exif\tBMP\t2\t1\t16777216\t-1\t-1\t1\n");
    EXPECT_EQ(runCli("info --").status, 2);
}

TEST(CliInfo, UsageAndBadCommands)
{
    auto help = runCli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("info FILE..."), std::string::npos);
    EXPECT_NE(help.out.find("thumbs DIR [--box WxH] [--out DIR] [--jobs N] [--overwrite]"),
              std::string::npos);
    EXPECT_EQ(runCli("").status, 2);
    EXPECT_EQ(runCli("frobnicate").status, 2);
    EXPECT_EQ(runCli("info").status, 2);
}

} // namespace

namespace {

TEST(CliInfoExif, PrintsThePhotosFactsAsNameValueLines)
{
    TempDir dir;
    const std::string photo = dir.file("photo.jpg");
    ASSERT_TRUE(WriteExifJpeg(photo, 32, 24));
    std::string expected;
    for (const ExifFact &fact : KnownExifFacts())
        expected += fact.name + '\t' + fact.value + '\n';
    auto r = runCli("info --exif " + photo);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, expected);

    // A damaged block and a picture without one print nothing and succeed.
    ASSERT_TRUE(TruncateExifSegment(photo, 100));
    r = runCli("info --exif " + photo, dir.file("err.txt"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readText(dir.file("err.txt")), "");
    WriteBytes(dir.file("a.bmp"), tinyBmp());
    r = runCli("info --exif " + dir.file("a.bmp"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

TEST(CliInfoExif, RefusesWhatIsNoPictureAndWrongArguments)
{
    TempDir dir;
    WriteBytes(dir.file("text.jpg"), { 'h', 'e', 'l', 'l', 'o' });
    auto r = runCli("info --exif " + dir.file("text.jpg"), dir.file("err.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(readText(dir.file("err.txt")),
              dir.file("text.jpg") + ": This file format is unsupported.\n38000:39:101:0\n");
    EXPECT_EQ(runCli("info --exif").status, 2);
    EXPECT_EQ(runCli("info --exif a.jpg b.jpg").status, 2);
}

} // namespace
