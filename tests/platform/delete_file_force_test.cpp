#include "platform/delete_file_force.h"

#include "tests/platform/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

mode_t modeOf(const fs::path &path)
{
    struct stat facts
    { };

    ::lstat(path.c_str(), &facts);
    return facts.st_mode & 07777;
}

void makeFile(const fs::path &path, mode_t mode)
{
    std::ofstream(path) << "picture";
    ::chmod(path.c_str(), mode);
}

// A home of its own with its own trash, on the same file system as the files deleted.
class DeleteFileForceTest : public ::testing::Test
{
protected:
    DeleteFileForceTest()
        : home("HOME", dir.path().string()), data("XDG_DATA_HOME", (dir.path() / "data").string())
    {
        fs::create_directories(folder);
    }

    fs::path trashed(const std::string &name) const
    {
        return dir.path() / "data/Trash/files" / name;
    }

    fs::path trashInfo(const std::string &name) const
    {
        return dir.path() / "data/Trash/info" / (name + ".trashinfo");
    }

    TempDir dir;
    ScopedEnv home;
    ScopedEnv data;
    fs::path folder = dir.path() / "album";
};

} // namespace

TEST_F(DeleteFileForceTest, DeletesReadOnlyAndWritableFilesToTheTrashOrForGood)
{
    struct Row
    {
        const char *name;
        mode_t mode;
        DeleteTarget target;
    } rows[] = {
        { "a.jpg", 0644, DeleteTarget::Remove },
        { "b.jpg", 0444, DeleteTarget::Remove },
        { "c.jpg", 0640, DeleteTarget::Trash },
        { "d.jpg", 0440, DeleteTarget::Trash },
    };

    for (const Row &row : rows) {
        const fs::path file = folder / row.name;
        makeFile(file, row.mode);
        EXPECT_TRUE(DeleteFileForce(file.string(), row.target)) << row.name;
        EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << row.name;
        const bool toTrash = row.target == DeleteTarget::Trash;
        EXPECT_EQ(fs::exists(trashed(row.name)), toTrash) << row.name;
        if (!toTrash)
            continue;
        // The trash keeps the file as it was, and where it came from.
        EXPECT_EQ(modeOf(trashed(row.name)), row.mode) << row.name;
        std::ifstream info(trashInfo(row.name));
        std::string text((std::istreambuf_iterator<char>(info)), {});
        EXPECT_NE(text.find("Path=" + file.string()), std::string::npos) << text;
    }
}

// A link, symbolic or hard, goes as a link; the file under its other name, and its read-only
// state, stay as they were.
TEST_F(DeleteFileForceTest, DeletesLinksNeverTheirTargets)
{
    const fs::path target = dir.path() / "elsewhere.jpg";
    makeFile(target, 0444);
    const std::pair<bool, DeleteTarget> rounds[] = { { false, DeleteTarget::Remove },
                                                     { false, DeleteTarget::Trash },
                                                     { true, DeleteTarget::Remove },
                                                     { true, DeleteTarget::Trash } };
    for (const auto &[hard, how] : rounds) {
        const fs::path link = folder / "link.jpg";
        if (hard)
            fs::create_hard_link(target, link);
        else
            fs::create_symlink(target, link);
        EXPECT_TRUE(DeleteFileForce(link.string(), how));
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
        EXPECT_TRUE(fs::exists(target));
        EXPECT_EQ(modeOf(target), 0444);
    }
}

// A name that is not UTF-8 is deleted itself, never the file whose name reads the same as text.
TEST_F(DeleteFileForceTest, ANameThatIsNotTextNeverReachesAnotherFile)
{
    makeFile(folder / "bad\xff.jpg", 0644);
    makeFile(folder / "bad\ufffd.jpg", 0644);
    EXPECT_TRUE(DeleteFileForce((folder / "bad\xff.jpg").string(), DeleteTarget::Trash));
    EXPECT_FALSE(fs::exists(folder / "bad\xff.jpg"));
    EXPECT_TRUE(fs::exists(folder / "bad\ufffd.jpg"));
}

TEST_F(DeleteFileForceTest, RefusesFoldersAndMissingFiles)
{
    fs::create_directories(folder / "sub");
    for (DeleteTarget how : { DeleteTarget::Remove, DeleteTarget::Trash }) {
        EXPECT_FALSE(DeleteFileForce((folder / "sub").string(), how));
        EXPECT_TRUE(fs::is_directory(folder / "sub"));
        EXPECT_FALSE(DeleteFileForce((folder / "missing.jpg").string(), how));
    }
}

// In a folder the user may not change, the deletion fails and the file is read-only again. The
// super-user may delete anything, so there the check runs in a child as an ordinary user.
TEST_F(DeleteFileForceTest, FailedDeletionLeavesTheFileReadOnly)
{
    constexpr uid_t kNobody = 65534;
    const bool root = ::geteuid() == 0;
    if (root) {
        fs::permissions(dir.path(), fs::perms(0755));
        fs::create_directories(dir.path() / "data");
        fs::permissions(dir.path() / "data", fs::perms(0777));
        ::chown(folder.c_str(), kNobody, kNobody);
    }
    EXPECT_EXIT(
            {
                if (root && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
                    std::_Exit(2);
                const fs::path file = folder / "locked.jpg";
                makeFile(file, 0444);
                ::chmod(folder.c_str(), 0555);
                bool ok = true;
                for (DeleteTarget how : { DeleteTarget::Remove, DeleteTarget::Trash })
                    ok = ok && !DeleteFileForce(file.string(), how) && fs::exists(file)
                            && modeOf(file) == 0444;
                std::_Exit(ok ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    ::chmod(folder.c_str(), 0755);
}
