#include "app/goto_menu.h"

#include "app/app_settings.h"
#include "app/doc_commands.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "common/text_format.h"
#include "platform/display_path.h"
#include "platform/known_folders.h"

namespace {

// Recent folders are shown shortened so the menus stay narrow; the end of a path names the
// folder, so that is what stays.
constexpr std::size_t kRecentChars = 25;

std::string recentText(std::size_t number, const std::string &folder)
{
    return "&" + std::to_string(number) + " "
           + ShortenText(DisplayPath(folder), kRecentChars, false);
}

std::string tableString(std::uint32_t id)
{
    std::string text;
    LoadString(id, text);
    return text;
}

// The folder above path, cut at its last backslash: on this host a name may hold ':' and '/',
// so only the backslash separates the parts of a device path. A path without one stays whole.
std::string parentFolder(const std::string &path)
{
    const std::size_t last = path.rfind('\\');
    if (last == std::string::npos)
        return path;
    return last == 0 ? std::string("\\") : path.substr(0, last);
}

MenuEntry separator()
{
    return MenuEntry{ 0, {}, true };
}

} // namespace

std::vector<MenuEntry> GoToSubmenu(const AppSettings &settings, std::size_t previousSize)
{
    std::vector<MenuEntry> menu{
        { DocCmd::GoToHome, "Home Folder", false },
        { DocCmd::GoToUpOneLevel, "Up One Level", false },
        { DocCmd::GoToPersonal, DisplayPath(PersonalFolder()), false },
        separator(),
    };
    // recentFolders is newest first; the submenu lists the oldest first.
    const auto &recent = settings.recentFolders;
    std::size_t count = recent.size();
    for (std::size_t k = 1; k <= count; ++k) {
        auto id = static_cast<std::uint32_t>(DocCmd::GoToRecentFirst + count - k);
        menu.push_back({ id, recentText(k, recent[count - k]), false });
    }
    while (menu.size() < previousSize)
        menu.push_back(separator());
    return menu;
}

std::vector<MenuEntry> GoToPopup(const AppSettings &settings)
{
    std::vector<MenuEntry> menu;
    const auto &recent = settings.recentFolders;
    std::size_t count = recent.size();
    for (std::size_t i = 0; i < count; ++i) {
        auto id = static_cast<std::uint32_t>(DocCmd::GoToRecentFirst + i);
        menu.push_back({ id, recentText(count - i, recent[i]), false });
    }
    menu.push_back(separator());
    menu.push_back({ DocCmd::GoToPersonal, DisplayPath(PersonalFolder()), false });
    menu.push_back({ DocCmd::GoToUpOneLevel, tableString(Msg::UpOneLevel), false });
    menu.push_back({ DocCmd::GoToHome, tableString(Msg::HomeEntry), false });
    return menu;
}

std::optional<std::string> GoToTarget(const AppSettings &settings, std::uint32_t id)
{
    std::string target;
    if (id == DocCmd::GoToUpOneLevel) {
        // A trailing backslash would make the folder its own parent.
        target = parentFolder(RemoveBackslash(settings.currentFolder));
    } else if (id == DocCmd::GoToPersonal) {
        target = PersonalFolder();
    } else if (id == DocCmd::GoToHome) {
        target = settings.homeFolder;
    } else if (id >= DocCmd::GoToRecentFirst && id <= DocCmd::GoToLast) {
        std::size_t number = id - DocCmd::GoToRecentFirst;
        if (number >= settings.recentFolders.size())
            return std::nullopt;
        target = settings.recentFolders[number];
    } else {
        return std::nullopt;
    }
    if (target.empty())
        target = "\\";
    return target;
}
