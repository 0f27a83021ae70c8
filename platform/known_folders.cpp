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

std::string ConfigFolder()
{
    if (const char *config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return config;
    const std::string home = HomeFolder();
    return (home == "/" ? std::string() : home) + "/.config";
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
