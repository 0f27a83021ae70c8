// What vistrel-cli convert and thumbs do with what is already where they write: a target that is
// no regular file, or one the user protected, is refused and left byte for byte and inode for
// inode; a link is written through and stays a link; a file this run did not write is kept.
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// What a path is: its kind, inode and bytes (a link's own, not its target's).
struct Facts
{
    mode_t kind = 0;
    ino_t inode = 0;
    std::vector<std::uint8_t> bytes;

    bool operator==(const Facts &) const = default;
};

Facts factsOf(const fs::path &path)
{
    struct stat st
    { };

    Facts facts;
    if (::lstat(path.c_str(), &st) != 0)
        return facts;
    facts.kind = st.st_mode & S_IFMT;
    facts.inode = st.st_ino;
    if (S_ISREG(st.st_mode))
        facts.bytes = ReadBytes(path.string());
    return facts;
}

std::string pictureSize(const fs::path &path)
{
    return RunCommand("identify -format '%w %h' '" + path.string() + "' 2>&1").out;
}

class CliTargets : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (TestDataRoot().empty())
            GTEST_SKIP() << "test pictures missing";
        WriteBytes(in.string(), ReadBytes((TestDataRoot() / "bmpsuite/g/rgb24.bmp").string()));
        WriteBytes(old.string(), { 'o', 'l', 'd' });
    }

    CommandResult convert(const fs::path &target)
    {
        return RunCommand(CliPath() + " convert '" + in.string() + "' '" + target.string()
                          + "' 2>&1");
    }

    TempDir dir;
    fs::path in = dir.path() / "in.bmp";
    fs::path old = dir.path() / "old.bmp";
    fs::path out = dir.path() / "out.bmp";
};

} // namespace

TEST_F(CliTargets, ConvertRefusesWhatItMustNotReplace)
{
    const struct
    {
        const char *label;
        void (*make)(const fs::path &target);
        const char *reason;
        int error;
    } rows[] = {
        { "read-only",
          [](const fs::path &o) {
              fs::copy_file(o.parent_path() / "old.bmp", o);
              ::chmod(o.c_str(), 0444);
          },
          "Permission denied", EACCES },
        { "no permissions at all",
          [](const fs::path &o) {
              fs::copy_file(o.parent_path() / "old.bmp", o);
              ::chmod(o.c_str(), 0);
          },
          "Permission denied", EACCES },
        { "pipe", [](const fs::path &o) { ::mkfifo(o.c_str(), 0644); }, "Invalid argument",
          EINVAL },
        { "link to a device", [](const fs::path &o) { fs::create_symlink("/dev/null", o); },
          "Invalid argument", EINVAL },
        { "folder", [](const fs::path &o) { fs::create_directory(o); }, "Is a directory", EISDIR },
        { "link to nothing", [](const fs::path &o) { fs::create_symlink("gone.bmp", o); },
          "No such file or directory", ENOENT },
    };

    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        fs::remove(out);
        row.make(out);
        const Facts before = factsOf(out);
        const CommandResult r = convert(out);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out,
                  out.string() + ": " + row.reason + ".\n47000:105:1:" + std::to_string(row.error)
                          + "\n");
        EXPECT_EQ(factsOf(out), before);
        EXPECT_EQ(factsOf("/dev/null").kind, S_IFCHR);
        EXPECT_FALSE(fs::exists(dir.path() / "gone.bmp"));
    }
}

// A link and the file it names, and a file under two names, stay what they were with the new
// picture in them.
TEST_F(CliTargets, ConvertWritesThroughLinks)
{
    fs::create_symlink("old.bmp", out);
    const Facts link = factsOf(out);
    ASSERT_EQ(convert(out).status, 0);
    EXPECT_EQ(factsOf(out), link);
    EXPECT_EQ(pictureSize(old), "127 64");

    fs::remove(out);
    WriteBytes(old.string(), { 'o', 'l', 'd' });
    fs::create_hard_link(old, out);
    const ino_t inode = factsOf(old).inode;
    ASSERT_EQ(convert(out).status, 0);
    EXPECT_EQ(factsOf(out).inode, inode);
    EXPECT_EQ(factsOf(old).inode, inode);
    EXPECT_EQ(pictureSize(old), "127 64");
    EXPECT_EQ(fs::hard_link_count(old), 2u);
}

// Writing thumbnails into the pictures' own folder keeps the user's "a.jpg.bmp" unless asked
// to replace it; links that lead nowhere are failures, not silence.
TEST_F(CliTargets, ThumbsKeepFilesItDidNotWriteAndReportBrokenLinks)
{
    const fs::path pictures = dir.path() / "pictures";
    fs::create_directory(pictures);
    WriteBytes((pictures / "a.jpg").string(),
               ReadBytes((TestDataRoot() / "pillow/hopper.jpg").string()));
    fs::copy_file(in, pictures / "a.jpg.bmp");
    fs::create_symlink("missing.jpg", pictures / "gone.jpg");
    fs::create_symlink("loop.jpg", pictures / "loop.jpg");
    const Facts users = factsOf(pictures / "a.jpg.bmp");

    const std::string folder = pictures.string();
    const CommandResult kept =
            RunCommand(CliPath() + " thumbs " + folder + " --out " + folder + " --jobs 1 2>&1");
    EXPECT_EQ(kept.status, 1);
    EXPECT_EQ(kept.out,
              folder + "/a.jpg: " + folder + "/a.jpg.bmp: File exists.\n47000:105:1:17\n" + folder
                      + "/gone.jpg: No such file or directory.\n30001:35:1:2\n" + folder
                      + "/loop.jpg: Too many levels of symbolic links.\n30001:35:1:40\n"
                      + "1 pictures, 3 failed\n");
    EXPECT_EQ(factsOf(pictures / "a.jpg.bmp"), users);
    EXPECT_EQ(pictureSize(pictures / "a.jpg.bmp.bmp"), "48 25");

    const CommandResult replaced = RunCommand(CliPath() + " thumbs " + folder + " --out " + folder
                                              + " --jobs 1 --overwrite 2>/dev/null");
    EXPECT_EQ(replaced.out, "3 pictures, 2 failed\n");
    EXPECT_EQ(pictureSize(pictures / "a.jpg.bmp"), "48 48");
}
