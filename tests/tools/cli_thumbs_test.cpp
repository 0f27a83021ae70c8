// vistrel-cli thumbs over a folder of good, bad and foreign files.
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

using Result = CommandResult;

Result run(const std::string &command)
{
    return RunCommand(command);
}

Result runCli(const std::string &arguments, const std::string &errFile = "/dev/null")
{
    return run(CliPath() + " " + arguments + " 2>" + errFile);
}

std::string readText(const std::string &path)
{
    const auto bytes = ReadBytes(path);
    return { bytes.begin(), bytes.end() };
}

void copyPicture(const std::string &relative, const std::string &to)
{
    WriteBytes(to, ReadBytes((TestDataRoot() / relative).string()));
}

TEST(CliThumbs, DecodesThePicturesOfAFolderIntoTheBoxAndListsFailures)
{
    if (TestDataRoot().empty())
        GTEST_SKIP() << "test pictures missing";
    TempDir dir;
    const std::filesystem::path pictures = dir.path() / "pictures";
    std::filesystem::create_directories(pictures / "folder.jpg");
    copyPicture("pillow/hopper.jpg", (pictures / "a.JPG").string());
    copyPicture("pillow/flower.jpg", (pictures / "b.jpeg").string());
    copyPicture("giflib/pic/welcome2.gif", (pictures / "c.Giff").string());
    copyPicture("bmpsuite/g/pal8.bmp", (pictures / "d.bmp").string());
    WriteBytes((pictures / "f.PNG").string(), ReadBytes(PngSuiteFile("basn2c08.png")));
    copyPicture("pillow/hopper.jpg", (pictures / "ignored.tif").string());
    WriteBytes((pictures / "e.gif").string(), { 'G', 'I', 'F', '8', '9', 'a' });
    WriteBytes((pictures / "notes.txt").string(), { 'x' });

    const std::string out = (dir.path() / "thumbs").string();
    const Result r = runCli("thumbs " + pictures.string() + " --box 20x30 --out " + out,
                            dir.file("err.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "5 pictures, 1 failed\n");
    const std::string err = readText(dir.file("err.txt"));
    EXPECT_EQ(err.rfind((pictures / "e.gif").string() + ": ", 0), 0u) << err;

    // Each thumbnail fits the box with its shape kept, the short side rounded up.
    const struct
    {
        const char *name;
        int width, height;
    } expected[] = { { "a.JPG.bmp", 20, 20 },
                     { "b.jpeg.bmp", 20, 15 },
                     { "c.Giff.bmp", 20, 4 },
                     { "d.bmp.bmp", 20, 11 },
                     { "f.PNG.bmp", 20, 20 } };

    for (const auto &e : expected) {
        const std::string path = out + "/" + e.name;
        ASSERT_TRUE(std::filesystem::exists(path)) << e.name;
        const Result id = run("identify -format '%w %h' '" + path + "' 2>/dev/null");
        EXPECT_EQ(id.out, std::to_string(e.width) + " " + std::to_string(e.height)) << e.name;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out),
                            std::filesystem::directory_iterator()),
              5);
}

// Shared among threads, the work reports exactly what one thread reports: every failure, in file
// order, and the same count.
TEST(CliThumbs, ThreadCountDoesNotChangeTheReport)
{
    if (TestDataRoot().empty())
        GTEST_SKIP() << "test pictures missing";
    TempDir dir;
    for (int i = 0; i < 12; ++i) {
        const std::string n = std::to_string(10 + i);
        if (i % 3 == 0)
            WriteBytes(dir.file("p" + n + ".gif"), { 'G', 'I', 'F', '8', '9', 'a' });
        else
            copyPicture("pillow/hopper.jpg", dir.file("p" + n + ".jpg"));
    }
    const Result one = runCli("thumbs " + dir.path().string() + " --jobs 1", dir.file("e1"));
    const Result many = runCli("thumbs " + dir.path().string() + " --jobs 5", dir.file("e5"));
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(one.out, "8 pictures, 4 failed\n");
    EXPECT_EQ(many.out, one.out);
    EXPECT_EQ(readText(dir.file("e5")), readText(dir.file("e1")));
    EXPECT_EQ(runCli("thumbs " + dir.path().string() + " --jobs 0").status, 2);
}

TEST(CliThumbs, DefaultBoxWithoutOutputAndRefusedArguments)
{
    if (TestDataRoot().empty())
        GTEST_SKIP() << "test pictures missing";
    TempDir dir;
    copyPicture("pillow/hopper.jpg", dir.file("a.jpg"));
    const Result r = runCli("thumbs " + dir.path().string());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1 pictures, 0 failed\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "a.jpg" });

    for (const std::string arguments :
         { "--box 0x10", "--box 10", "--box 10x10x", "--box", "--size 3", "" }) {
        const std::string folder = arguments == "" ? "" : dir.path().string() + " ";
        EXPECT_EQ(runCli("thumbs " + folder + arguments).status, 2) << arguments;
    }
    EXPECT_EQ(runCli("thumbs " + dir.file("missing")).status, 1);
    const Result help = runCli("thumbs --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--box WxH"), std::string::npos);
}

} // namespace

// With --cache the desktop's cache fills on the first run and serves the second; the failure is
// still reported, now from the cache's note.
TEST(CliThumbs, CacheServesTheSecondRun)
{
    if (TestDataRoot().empty())
        GTEST_SKIP() << "test pictures missing";
    TempDir dir;
    const std::filesystem::path pictures = dir.path() / "pictures";
    std::filesystem::create_directories(pictures);
    copyPicture("pillow/hopper.jpg", (pictures / "a.jpg").string());
    copyPicture("giflib/pic/welcome2.gif", (pictures / "c.gif").string());
    WriteBytes((pictures / "e.gif").string(), { 'G', 'I', 'F', '8', '9', 'a' });
    const std::string cache = dir.file("cache");
    const std::string command = "XDG_CACHE_HOME=" + cache + " " + CliPath() + " thumbs "
            + pictures.string() + " --cache --box 96x72 --out " + dir.file("out");
    std::vector<std::filesystem::file_time_type> firstTimes;
    for (int visit = 0; visit < 2; ++visit) {
        const Result r = run(command + " --overwrite 2>" + dir.file("err.txt"));
        EXPECT_EQ(r.status, 1) << visit;
        EXPECT_EQ(r.out, "2 pictures, 1 failed\n") << visit;
        EXPECT_NE(readText(dir.file("err.txt")).find("e.gif"), std::string::npos) << visit;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(cache + "/thumbnails/normal"),
                                std::filesystem::directory_iterator()),
                  2)
                << visit;
        EXPECT_TRUE(std::filesystem::exists(cache + "/thumbnails/fail")) << visit;
        // The second run reads what the first wrote and writes nothing again.
        std::vector<std::filesystem::file_time_type> times;
        for (const auto &entry :
             std::filesystem::recursive_directory_iterator(cache + "/thumbnails"))
            times.push_back(entry.last_write_time());
        if (visit == 1) {
            EXPECT_EQ(times, firstTimes);
        }
        firstTimes = times;
    }
}
