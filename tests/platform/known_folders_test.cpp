#include "platform/known_folders.h"

#include "common/host_path.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace {

// A home folder, a config folder holding user-dirs.dirs, and a device root, all temporary.
class KnownFoldersTest : public ::testing::Test
{
protected:
    void writeUserDirs(const std::string &text)
    {
        std::filesystem::create_directories(dir.path() / "config");
        WriteBytes(dir.file("config/user-dirs.dirs"), { text.begin(), text.end() });
    }

    std::string home() const { return dir.file("home"); }

    TempDir dir;
    ScopedEnv homeEnv{ "HOME", dir.file("home") };
    ScopedEnv configEnv{ "XDG_CONFIG_HOME", dir.file("config") };
    ScopedEnv rootEnv{ "VISTREL_ROOT", dir.file("home") };
};

} // namespace

TEST_F(KnownFoldersTest, PicturesFolderAsDevicePath)
{
    EXPECT_EQ(PersonalFolder(), "\\Pictures");

    writeUserDirs("# written by xdg-user-dirs-update\n"
                  "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                  "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    EXPECT_EQ(PersonalFolder(), "\\Bilder");

    // The last assignment counts, as when the shell reads the file; escapes and a trailing
    // slash are taken the shell's way too.
    writeUserDirs("XDG_PICTURES_DIR=\"$HOME/Old\"\n"
                  "  XDG_PICTURES_DIR=\""
                  + home() + "/My \\\"Photos\\\"/\"\n");
    EXPECT_EQ(PersonalFolder(), "\\My \"Photos\"");

    // A value that is neither absolute nor under $HOME is no folder: the default stands.
    writeUserDirs("XDG_PICTURES_DIR=\"Pictures/rel\"\nXDG_PICTURES_DIR=$HOME/unquoted\n");
    EXPECT_EQ(PersonalFolder(), "\\Pictures");

    writeUserDirs("XDG_PICTURES_DIR=\"/elsewhere/Pictures\"\n");
    EXPECT_EQ(PersonalFolder(), "\\My Documents");
}

// String 2402 names the personal folder with one trailing backslash, also when the pictures
// folder is the device root itself ("\" and never "\\", which would name a network share).
TEST_F(KnownFoldersTest, DefaultFolderString)
{
    const std::string table(*FindString(Msg::DefaultFolder));

    writeUserDirs("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    InstallPersonalFolderString();
    EXPECT_EQ(FindString(Msg::DefaultFolder), "\\Bilder\\");
    std::string loaded;
    ASSERT_TRUE(LoadString(Msg::DefaultFolder, loaded));
    EXPECT_EQ(loaded, "\\Bilder\\");

    writeUserDirs("XDG_PICTURES_DIR=\"$HOME/\"\n");
    InstallPersonalFolderString();
    EXPECT_EQ(FindString(Msg::DefaultFolder), "\\");

    ClearStringOverride(Msg::DefaultFolder);
    EXPECT_EQ(FindString(Msg::DefaultFolder), table);
}

// Every part of the program finds home, config and the device root alike: $HOME, else the
// password database; $XDG_CONFIG_HOME only when absolute, else ~/.config; the root is the home
// folder when $VISTREL_ROOT is not set.
TEST(KnownFolderFinderTest, HomeConfigAndRootFolders)
{
    const passwd *user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    const std::string account = user->pw_dir;
    const std::string accountRoot = account == "/" ? "" : account;

    struct Row
    {
        std::optional<std::string> home, config;
        std::string wantHome, wantConfig, wantRoot;
    };

    const Row rows[] = {
        { "/home/ann", std::nullopt, "/home/ann", "/home/ann/.config", "/home/ann" },
        { "/home/ann/", "/etc/cfg", "/home/ann/", "/etc/cfg", "/home/ann" },
        { "/home/ann", "relative/cfg", "/home/ann", "/home/ann/.config", "/home/ann" },
        { "/home/ann", "", "/home/ann", "/home/ann/.config", "/home/ann" },
        { std::nullopt, std::nullopt, account, accountRoot + "/.config", accountRoot },
        { "", "/etc/cfg", account, "/etc/cfg", accountRoot },
    };
    ScopedEnv root("VISTREL_ROOT", std::nullopt);
    for (const Row &row : rows) {
        ScopedEnv home("HOME", row.home);
        ScopedEnv config("XDG_CONFIG_HOME", row.config);
        EXPECT_EQ(HomeFolder(), row.wantHome) << row.home.value_or("(unset)");
        EXPECT_EQ(ConfigFolder(), row.wantConfig) << row.config.value_or("(unset)");
        EXPECT_EQ(DeviceRoot(), row.wantRoot) << row.home.value_or("(unset)");
    }
}
