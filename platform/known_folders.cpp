#include "platform/known_folders.h"

#include "common/host_path.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "common/string_table.h"

#include <cstdlib>
#include <fstream>
#include <optional>

namespace {

constexpr std::string_view kPicturesKey = "XDG_PICTURES_DIR=";
constexpr std::string_view kHomePrefix = "$HOME";
constexpr char kFallbackFolder[] = "\\My Documents";

// The value of a user-dirs.dirs line: a double-quoted path, either absolute or starting with
// "$HOME/"; a backslash takes the next character literally. Nothing for any other form.
std::optional<std::string> picturesValue(std::string_view line)
{
    if (!line.starts_with(kPicturesKey))
        return std::nullopt;
    line.remove_prefix(kPicturesKey.size());
    if (line.size() < 2 || line.front() != '"')
        return std::nullopt;
    std::string value;
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] == '"') {
            if (value.starts_with(kHomePrefix)
                && (value.size() == kHomePrefix.size() || value[kHomePrefix.size()] == '/'))
                return HomeFolder() + value.substr(kHomePrefix.size());
            return value.starts_with('/') ? std::optional(value) : std::nullopt;
        }
        if (line[i] == '\\' && i + 1 < line.size())
            ++i;
        value += line[i];
    }
    return std::nullopt;
}

std::string hostPicturesFolder()
{
    std::ifstream file(ConfigFolder() + "/user-dirs.dirs");
    std::optional<std::string> found;
    for (std::string line; std::getline(file, line);) {
        std::size_t start = line.find_first_not_of(" \t");
        if (start != std::string::npos) {
            if (auto value = picturesValue(std::string_view(line).substr(start)))
                found = value;
        }
    }
    std::string folder = found ? *found : HomeFolder() + "/Pictures";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

} // namespace

namespace {

// $name when it holds an absolute path (a relative one is invalid and ignored), else the home
// folder's fallback.
std::string xdgFolder(const char *name, const char *fallback)
{
    if (const char *value = std::getenv(name); value && value[0] == '/')
        return value;
    const std::string home = HomeFolder();
    return (home == "/" ? std::string() : home) + fallback;
}

} // namespace

std::string ConfigFolder()
{
    return xdgFolder("XDG_CONFIG_HOME", "/.config");
}

std::string DataFolder()
{
    return xdgFolder("XDG_DATA_HOME", "/.local/share");
}

std::string PersonalFolder()
{
    auto device = DevicePath(hostPicturesFolder());
    return device ? *device : kFallbackFolder;
}

void InstallPersonalFolderString()
{
    // AddBackslash leaves the root "\" alone when the pictures folder is the device root itself.
    SetStringOverride(Msg::DefaultFolder, AddBackslash(PersonalFolder()));
}
