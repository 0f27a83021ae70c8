#include "common/host_path.h"

#include <cstdlib>

std::string DeviceRoot()
{
    const char *root = std::getenv("VISTREL_ROOT");
    if (!root || !*root)
        root = std::getenv("HOME");
    std::string folder = root && *root ? root : "/";
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string HostPath(std::string_view path)
{
    if (path.empty() || path.front() != '\\')
        return std::string(path);
    std::string host = DeviceRoot();
    for (char c : path)
        host += c == '\\' ? '/' : c;
    return host;
}

std::optional<std::string> DevicePath(std::string_view hostPath)
{
    std::string root = DeviceRoot();
    if (hostPath.substr(0, root.size()) != root)
        return std::nullopt;
    std::string_view rest = hostPath.substr(root.size());
    if (!rest.empty() && rest.front() != '/')
        return std::nullopt;
    std::string device;
    for (char c : rest) {
        if (c == '\\')
            return std::nullopt;
        device += c == '/' ? '\\' : c;
    }
    return device.empty() ? std::string("\\") : device;
}
