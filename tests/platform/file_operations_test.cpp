#include "platform/file_operations.h"

#include "common/alb_exception.h"
#include "common/dir_record.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The error number of the file exception that call throws, or 0 when it throws none; the
// exception must name the path as given.
int errorOf(const std::function<void()> &call, const std::string &path)
{
    try {
        call();
    } catch (const CAlbFileException &e) {
        EXPECT_EQ(e.path(), path);
        return e.errorNumber();
    }
    return 0;
}

mode_t modeOf(const std::filesystem::path &path)
{
    struct stat facts
    { };

    ::stat(path.c_str(), &facts);
    return facts.st_mode & 07777;
}

} // namespace

TEST(FileOperationsTest, FoldersAndFilesOnDevicePaths)
{
    TempDir dir;
    ScopedEnv root("VISTREL_ROOT", dir.path().string());
    const auto host = dir.path();

    CreateFolderAt("\\Album");
    EXPECT_TRUE(std::filesystem::is_directory(host / "Album"));
    WriteBytes((host / "Album" / "a.jpg").string(), { 1, 2 });

    EXPECT_EQ(errorOf([] { CreateFolderAt("\\Album"); }, "\\Album"), EEXIST);
    EXPECT_EQ(errorOf([] { CreateFolderAt("\\No\\Deeper"); }, "\\No\\Deeper"), ENOENT);
    EXPECT_EQ(errorOf([] { RemoveFolderAt("\\Album"); }, "\\Album"), ENOTEMPTY);
    // Deleting a file never removes a folder, and removing a folder never deletes a file.
    EXPECT_EQ(errorOf([] { DeleteFileAt("\\Album"); }, "\\Album"), EISDIR);
    EXPECT_EQ(errorOf([] { RemoveFolderAt("\\Album\\a.jpg"); }, "\\Album\\a.jpg"), ENOTDIR);

    DeleteFileAt("\\Album\\a.jpg");
    EXPECT_FALSE(std::filesystem::exists(host / "Album" / "a.jpg"));
    EXPECT_EQ(errorOf([] { DeleteFileAt("\\Album\\a.jpg"); }, "\\Album\\a.jpg"), ENOENT);
    RemoveFolderAt("\\Album");
    EXPECT_FALSE(std::filesystem::exists(host / "Album"));
}

// Read-only is the user's write bit alone; the other permission bits stay as the user set them.
TEST(FileOperationsTest, ReadOnlyAttribute)
{
    TempDir dir;
    std::string path = dir.file("a.jpg");
    WriteBytes(path, { 1 });
    ::chmod(path.c_str(), 0664);

    SetFileAttributesAt(path, FileAttribute::ReadOnly | FileAttribute::Directory);
    EXPECT_EQ(modeOf(path), mode_t{ 0464 });
    SetFileAttributesAt(path, FileAttribute::ReadOnly);
    EXPECT_EQ(modeOf(path), mode_t{ 0464 });
    if (::geteuid() != 0) {
        DirectoryRecord record;
        ASSERT_TRUE(FindFileRecord(path, record));
        EXPECT_TRUE(record.isReadOnly());
    }
    SetFileAttributesAt(path, 0);
    EXPECT_EQ(modeOf(path), mode_t{ 0664 });

    std::string missing = dir.file("missing.jpg");
    EXPECT_EQ(errorOf([&] { SetFileAttributesAt(missing, 0); }, missing), ENOENT);
}
