#include "platform/display_path.h"

#include "common/host_path.h"
#include "platform/known_folders.h"

namespace {

bool rootIsHome()
{
    std::string folder = HomeFolder();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder == DeviceRoot() || (folder == "/" && DeviceRoot().empty());
}

} // namespace

std::string DisplayPath(std::string_view devicePath)
{
    if (devicePath.empty() || devicePath.front() != '\\')
        return std::string(devicePath);
    while (devicePath.size() > 1 && devicePath.back() == '\\')
        devicePath.remove_suffix(1);
    std::string shown = rootIsHome() ? "~" : "";
    if (devicePath == "\\")
        return shown.empty() ? std::string("/") : shown;
    for (char c : devicePath)
        shown += c == '\\' ? '/' : c;
    // After the separators: a "\\" carried inside a name shows as itself.
    return ShownName(shown);
}

QString DisplayPathText(std::string_view devicePath)
{
    return QString::fromStdString(DisplayPath(devicePath));
}
