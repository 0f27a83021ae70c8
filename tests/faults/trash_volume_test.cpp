// Deleting to the trash from a file system other than the home folder's: the file goes to the trash
// at the top of its own mount, never across file systems, and the shared trash an administrator
// made counts only when it is a real sticky folder.
#include "platform/desktop_trash.h"
#include "tests/faults/fault_test_support.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class TrashVolumeTest : public OnSmallFileSystem<::testing::Test>
{
protected:
    TempDir dir;
    ScopedEnv home{ "HOME", dir.path().string() };
    ScopedEnv data{ "XDG_DATA_HOME", (dir.path() / "data").string() };
    fs::path top = dir.path() / "stick";
};

std::string textOf(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

} // namespace

TEST_F(TrashVolumeTest, UsesTheMountsOwnTrashWithPathsFromItsTop)
{
    const std::string user = std::to_string(::getuid());

    struct Row
    {
        const char *label;
        void (*prepare)(const fs::path &top);
        std::string trash;
    } rows[] = {
        { "no shared trash", [](const fs::path &) {}, ".Trash-" + user },
        { "shared trash without the sticky bit",
          [](const fs::path &at) { fs::create_directory(at / ".Trash"); }, ".Trash-" + user },
        { "shared trash that is a link",
          [](const fs::path &at) {
              fs::create_directory(at / "sticky");
              ::chmod((at / "sticky").c_str(), 01777);
              fs::create_directory_symlink("sticky", at / ".Trash");
          },
          ".Trash-" + user },
        { "shared sticky trash",
          [](const fs::path &at) {
              fs::create_directory(at / ".Trash");
              ::chmod((at / ".Trash").c_str(), 01777);
          },
          ".Trash/" + user },
    };

    for (const Row &row : rows) {
        SCOPED_TRACE(row.label);
        mountOver(top);
        row.prepare(top);
        fs::create_directory(top / "album");
        std::ofstream(top / "album/50% off.jpg") << row.label;

        const TrashOutcome outcome = MoveToTrash((top / "album/50% off.jpg").string());
        ASSERT_EQ(outcome.status, TrashOutcome::Status::Moved) << outcome.error;
        const fs::path trash = top / row.trash;
        EXPECT_EQ(outcome.trashedPath, (trash / "files/50% off.jpg").string());
        EXPECT_EQ(textOf(trash / "files/50% off.jpg"), row.label);
        EXPECT_TRUE(
                textOf(trash / "info/50% off.jpg.trashinfo")
                        .starts_with("[Trash Info]\nPath=album/50%25%20off.jpg\nDeletionDate="));
        EXPECT_FALSE(fs::exists(dir.path() / "data/Trash/files/50% off.jpg"));
    }
}
