#include "common/host_path.h"

#include <cstdlib>
#include <vector>

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

std::optional<std::string> RootedDevicePath(std::string_view text)
{
    if (text.empty())
        return std::string();
    if (text.front() == '/')
        return DevicePath(text);
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\\', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view part = text.substr(start, end - start);
        if (part == "..") {
            if (parts.empty())
                return std::nullopt;
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string path;
    for (std::string_view part : parts)
        path.append("\\").append(part);
    if (path.empty() || text.back() == '\\')
        path += '\\';
    return path;
}
