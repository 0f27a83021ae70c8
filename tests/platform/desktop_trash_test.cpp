#include "platform/desktop_trash.h"

#include "platform/delete_file_force.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::string repeated(const std::string &part, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}

std::string textOf(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string localNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

struct HostileName
{
    const char *label;
    std::string name;
    // Its name in the trash, and its name as the record writes it.
    std::string inTrash;
    std::string recorded;
    // Whether a desktop tool that reads names as text can put it back.
    bool text = true;
};

// Record names are the trash name plus ".trashinfo" and must fit 255 bytes; the second long name
// meets the first one in the trash.
const HostileName kNames[] = {
    { "long", repeated("a", 250) + ".jpg", repeated("a", 241) + ".jpg",
      repeated("a", 250) + ".jpg" },
    { "long, once more", repeated("a", 250) + ".jpg", repeated("a", 239) + ".2.jpg",
      repeated("a", 250) + ".jpg" },
    { "long, two-byte letters", repeated("\xC3\xA9", 125) + ".jpg",
      repeated("\xC3\xA9", 120) + ".jpg", repeated("%C3%A9", 125) + ".jpg" },
    { "newline", "a\nb.jpg", "a\nb.jpg", "a%0Ab.jpg" },
    { "percent", "100%.jpg", "100%.jpg", "100%25.jpg" },
    { "non-ASCII", "\xC3\xA9t\xC3\xA9.jpg", "\xC3\xA9t\xC3\xA9.jpg", "%C3%A9t%C3%A9.jpg" },
    { "leading dash", "-x.jpg", "-x.jpg", "-x.jpg" },
    { "space and quotes", "my 'best' #1.jpg", "my 'best' #1.jpg", "my%20%27best%27%20%231.jpg" },
    { "not UTF-8", "\xFF\xFE.jpg", "\xFF\xFE.jpg", "%FF%FE.jpg", false },
};

// A home of its own; each name is deleted from a folder of its own.
class DesktopTrashTest : public ::testing::Test
{
protected:
    DesktopTrashTest()
        : home("HOME", dir.path().string()), data("XDG_DATA_HOME", (dir.path() / "data").string())
    { }

    fs::path folderOf(std::size_t row) const
    {
        return fs::canonical(dir.path()) / ("from" + std::to_string(row));
    }

    fs::path trash() const { return dir.path() / "data/Trash"; }

    // Deletes every name of the table; each file holds its label.
    void trashAll()
    {
        for (std::size_t row = 0; row < std::size(kNames); ++row) {
            fs::create_directories(folderOf(row));
            const fs::path file = folderOf(row) / kNames[row].name;
            std::ofstream(file) << kNames[row].label;
            const TrashOutcome outcome = MoveToTrash(file.string());
            ASSERT_EQ(outcome.status, TrashOutcome::Status::Moved)
                    << kNames[row].label << ": " << outcome.error;
            EXPECT_EQ(outcome.trashedPath, (trash() / "files" / kNames[row].inTrash).string());
        }
    }

    TempDir dir;
    ScopedEnv home;
    ScopedEnv data;
};

} // namespace

TEST_F(DesktopTrashTest, HostileNamesGetRecordsThatFitAndSayWhereTheyCameFrom)
{
    const std::string before = localNow();
    trashAll();
    const std::string after = localNow();
    for (std::size_t row = 0; row < std::size(kNames); ++row) {
        const HostileName &name = kNames[row];
        SCOPED_TRACE(name.label);
        EXPECT_FALSE(fs::exists(fs::symlink_status(folderOf(row) / name.name)));
        EXPECT_EQ(textOf(trash() / "files" / name.inTrash), name.label);
        const std::string record = textOf(trash() / "info" / (name.inTrash + ".trashinfo"));
        const std::string head =
                "[Trash Info]\nPath=" + folderOf(row).string() + "/" + name.recorded + "\n";
        EXPECT_TRUE(record == head + "DeletionDate=" + before + "\n"
                    || record == head + "DeletionDate=" + after + "\n")
                << record;
    }
}

// A desktop tool of its own reads the records back and restores each file under its exact name.
TEST_F(DesktopTrashTest, ADesktopToolPutsHostileNamesBack)
{
    if (RunCommand("command -v trash-restore").status != 0)
        GTEST_SKIP() << "trash-restore (package trash-cli) is not installed";
    trashAll();
    for (std::size_t row = 0; row < std::size(kNames); ++row) {
        const HostileName &name = kNames[row];
        if (!name.text)
            continue;
        SCOPED_TRACE(name.label);
        const CommandResult restored =
                RunCommand("echo 0 | trash-restore '" + folderOf(row).string() + "/' 2>&1");
        EXPECT_EQ(restored.status, 0) << restored.out;
        EXPECT_EQ(textOf(folderOf(row) / name.name), name.label) << restored.out;
    }
}

// Nothing in the trash is replaced, and nothing is written through a link planted there: a file
// the trash cannot take stays where it was instead of being deleted for good.
TEST_F(DesktopTrashTest, NeverReplacesOrWritesThroughWhatIsInTheTrash)
{
    const fs::path folder = dir.path() / "album";
    fs::create_directories(folder);
    fs::create_directories(trash() / "files");
    fs::create_directories(trash() / "info");
    std::ofstream(trash() / "files/photo.jpg") << "left without a record";
    std::ofstream(folder / "photo.jpg") << "new";

    const TrashOutcome outcome = MoveToTrash((folder / "photo.jpg").string());
    EXPECT_EQ(outcome.status, TrashOutcome::Status::Moved);
    EXPECT_EQ(textOf(trash() / "files/photo.jpg"), "left without a record");
    EXPECT_EQ(textOf(trash() / "files/photo.2.jpg"), "new");
    EXPECT_FALSE(fs::exists(trash() / "info/photo.jpg.trashinfo"));

    const fs::path elsewhere = dir.path() / "elsewhere";
    fs::create_directories(elsewhere);
    fs::remove_all(trash() / "info");
    fs::create_directory_symlink(elsewhere, trash() / "info");
    std::ofstream(folder / "kept.jpg") << "kept";
    int reason = 0;
    EXPECT_FALSE(DeleteFileForce((folder / "kept.jpg").string(), DeleteTarget::Trash, &reason));
    EXPECT_NE(reason, 0);
    EXPECT_EQ(textOf(folder / "kept.jpg"), "kept");
    EXPECT_TRUE(fs::is_empty(elsewhere));
}
