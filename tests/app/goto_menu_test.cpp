#include "app/goto_menu.h"

#include "app/app_settings.h"
#include "app/doc_commands.h"
#include "platform/display_path.h"
#include "platform/known_folders.h"
#include "tests/platform/scoped_env.h"

#include <gtest/gtest.h>

namespace {

// Menus show folders as the desktop writes them; under a device root other than the home folder,
// "\A" reads "/A".
class GoToMenu : public ::testing::Test
{
    ScopedEnv root{ "VISTREL_ROOT", std::string("/srv/album") };
};

AppSettings withRecent(std::vector<std::string> newestFirst)
{
    AppSettings settings;
    settings.currentFolder = "\\A";
    settings.homeFolder = "\\Home";
    settings.recentFolders = std::move(newestFirst);
    return settings;
}

TEST_F(GoToMenu, SubmenuListsRecentOldestFirstWithNewestOnFirstId)
{
    AppSettings settings = withRecent({ "\\C", "\\B", "\\A" });
    std::vector<MenuEntry> menu = GoToSubmenu(settings, 0);
    std::vector<MenuEntry> expected{
        { DocCmd::GoToHome, "Home Folder", false },
        { DocCmd::GoToUpOneLevel, "Up One Level", false },
        { DocCmd::GoToPersonal, DisplayPath(PersonalFolder()), false },
        { 0, "", true },
        { 31005, "&1 /A", false },
        { 31004, "&2 /B", false },
        { 31003, "&3 /C", false },
    };
    EXPECT_EQ(menu, expected);
}

TEST_F(GoToMenu, PopupListsRecentNewestFirstCountingDown)
{
    AppSettings settings = withRecent({ "\\C", "\\B", "\\A" });
    std::vector<MenuEntry> expected{
        { 31003, "&3 /C", false },
        { 31004, "&2 /B", false },
        { 31005, "&1 /A", false },
        { 0, "", true },
        { DocCmd::GoToPersonal, DisplayPath(PersonalFolder()), false },
        { DocCmd::GoToUpOneLevel, "Up One Level", false },
        { DocCmd::GoToHome, "Home", false },
    };
    EXPECT_EQ(GoToPopup(settings), expected);
}

TEST_F(GoToMenu, SameIdOpensSameFolderFromBothMenus)
{
    AppSettings settings = withRecent({ "\\C", "\\B", "\\A" });
    for (const auto &menu : { GoToSubmenu(settings, 0), GoToPopup(settings) }) {
        for (const MenuEntry &entry : menu) {
            if (entry.id < DocCmd::GoToRecentFirst)
                continue;
            // The entry's text ends with the folder it leads to.
            std::string folder = DisplayPath(*GoToTarget(settings, entry.id));
            EXPECT_EQ(entry.text.substr(entry.text.size() - folder.size()), folder);
        }
    }
    EXPECT_EQ(GoToTarget(settings, 31003), "\\C");
    EXPECT_EQ(GoToTarget(settings, 31005), "\\A");
    EXPECT_FALSE(GoToTarget(settings, 31006));
    EXPECT_FALSE(GoToTarget(settings, 31100));
    EXPECT_EQ(GoToTarget(settings, DocCmd::GoToHome), "\\Home");
    settings.homeFolder.clear();
    EXPECT_EQ(GoToTarget(settings, DocCmd::GoToHome), "\\");
}

TEST_F(GoToMenu, SubmenuNeverShrinksAndShortensLongFolders)
{
    AppSettings settings = withRecent({ "\\Pictures\\Holidays\\2026\\Summer" });
    std::vector<MenuEntry> menu = GoToSubmenu(settings, 9);
    ASSERT_EQ(menu.size(), 9u);
    EXPECT_EQ(menu[4].text, "&1 ...s/Holidays/2026/Summer");
    for (std::size_t i = 5; i < menu.size(); ++i)
        EXPECT_TRUE(menu[i].separator);
    EXPECT_EQ(GoToSubmenu(settings, 2).size(), 5u);
}

TEST_F(GoToMenu, UpOneLevelSplitsOnlyAtBackslashes)
{
    // A host folder name may hold ':'; only "\" separates device path parts.
    const std::pair<const char *, const char *> rows[] = {
        { "\\Pictures\\2024:01", "\\Pictures" },
        { "\\2024:01", "\\" },
        { "\\My Documents", "\\" },
        { "\\A\\B\\", "\\A" },
        { "\\", "\\" },
    };
    for (const auto &[current, parent] : rows) {
        AppSettings settings = withRecent({});
        settings.currentFolder = current;
        EXPECT_EQ(GoToTarget(settings, DocCmd::GoToUpOneLevel), parent) << current;
    }
}

} // namespace
