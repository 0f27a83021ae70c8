#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct AppSettings;

// One entry of a menu the frame renders: a command with its text, or a separator.
struct MenuEntry
{
    std::uint32_t id = 0;
    std::string text;
    bool separator = false;

    bool operator==(const MenuEntry &) const = default;
};

// The Go To submenu of the File menu: "Home Folder", "Up One Level", the personal folder, a
// separator, then the recent folders oldest to newest, numbered 1 up, the newest with the first
// recent id. The menu never shrinks: it keeps at least previousSize entries, the surplus being
// separators.
std::vector<MenuEntry> GoToSubmenu(const AppSettings &settings, std::size_t previousSize);

// The Go To popup of the toolbar button: the recent folders newest to oldest, numbered from the
// count down to 1 with ids from the first recent id up; a separator; the personal folder,
// "Up One Level" and "Home".
std::vector<MenuEntry> GoToPopup(const AppSettings &settings);

// The folder a Go To command leads to, before the existence check: empty targets become "\".
// Nothing for an id outside 31000-31099 or a recent number beyond the list.
std::optional<std::string> GoToTarget(const AppSettings &settings, std::uint32_t id);
