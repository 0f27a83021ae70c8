#include "app/goto_menu.h"

#include "app/app_settings.h"
#include "app/doc_commands.h"
#include "platform/known_folders.h"

#include <gtest/gtest.h>

namespace {

AppSettings withRecent(std::vector<std::string> newestFirst)
{
    AppSettings settings;
    settings.currentFolder = "\\A";
    settings.homeFolder = "\\Home";
    settings.recentFolders = std::move(newestFirst);
    return settings;
}

TEST(GoToMenu, SubmenuListsRecentOldestFirstWithNewestOnFirstId)
{
    AppSettings settings = withRecent({ "\\C", "\\B", "\\A" });
    std::vector<MenuEntry> menu = GoToSubmenu(settings, 0);
    std::vector<MenuEntry> expected{
        { DocCmd::GoToHome, "Home Folder", false },
        { DocCmd::GoToUpOneLevel, "Up One Level", false },
        { DocCmd::GoToPersonal, PersonalFolder(), false },
        { 0, "", true },
        { 31005, "&1 \\A", false },
        { 31004, "&2 \\B", false },
        { 31003, "&3 \\C", false },
    };
    EXPECT_EQ(menu, expected);
}

TEST(GoToMenu, PopupListsRecentNewestFirstCountingDown)
{
    AppSettings settings = withRecent({ "\\C", "\\B", "\\A" });
    std::vector<MenuEntry> expected{
        { 31003, "&3 \\C", false },
        { 31004, "&2 \\B", false },
        { 31005, "&1 \\A", false },
        { 0, "", true },
        { DocCmd::GoToPersonal, PersonalFolder(), false },
        { DocCmd::GoToUpOneLevel, "Up One Level", false },
        { DocCmd::GoToHome, "Home", false },
    };
    EXPECT_EQ(GoToPopup(settings), expected);
}

TEST(GoToMenu, SameIdOpensSameFolderFromBothMenus)
{
    AppSettings settings = withRecent({ "\\C", "\\B", "\\A" });
    for (const auto &menu : { GoToSubmenu(settings, 0), GoToPopup(settings) }) {
        for (const MenuEntry &entry : menu) {
            if (entry.id < DocCmd::GoToRecentFirst)
                continue;
            // The entry's text ends with the folder it leads to.
            std::string folder = *GoToTarget(settings, entry.id);
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

TEST(GoToMenu, SubmenuNeverShrinksAndShortensLongFolders)
{
    AppSettings settings = withRecent({ "\\Pictures\\Holidays\\2026\\Summer" });
    std::vector<MenuEntry> menu = GoToSubmenu(settings, 9);
    ASSERT_EQ(menu.size(), 9u);
    EXPECT_EQ(menu[4].text, "&1 ...s\\Holidays\\2026\\Summer");
    for (std::size_t i = 5; i < menu.size(); ++i)
        EXPECT_TRUE(menu[i].separator);
    EXPECT_EQ(GoToSubmenu(settings, 2).size(), 5u);
}

} // namespace
