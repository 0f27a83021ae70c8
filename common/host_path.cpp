#include "common/host_path.h"

#include "common/utf8.h"

#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned char kCarryLead = 0xef; // the first byte of U+F000 to U+FFFF

// U+F000 + byte in UTF-8.
void appendCarried(std::string &text, unsigned char byte)
{
    text += static_cast<char>(kCarryLead);
    text += static_cast<char>(0x80 | (byte >> 6));
    text += static_cast<char>(0x80 | (byte & 0x3f));
}

// Whether the valid sequence of length bytes at text[i] is a character of U+F000 to U+F0FF.
bool inCarryBlock(std::string_view text, std::size_t i, std::size_t length)
{
    return length == 3 && static_cast<unsigned char>(text[i]) == kCarryLead
            && static_cast<unsigned char>(text[i + 1]) <= 0x83;
}

// The byte a carried character at text[i] stands for, or -1 when there is none: only "\" and
// the bytes from 0x80 up are ever carried, so no other character of the block turns into a
// byte (least of all a "/" or a NUL).
int carriedByte(std::string_view text, std::size_t i)
{
    if (!inCarryBlock(text, i, Utf8SequenceLength(text, i)))
        return -1;
    const int byte = ((static_cast<unsigned char>(text[i + 1]) & 0x03) << 6)
            | (static_cast<unsigned char>(text[i + 2]) & 0x3f);
    return byte == '\\' || byte >= 0x80 ? byte : -1;
}

} // namespace

std::string HomeFolder()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir)
        return user->pw_dir;
    return "/";
}

std::string DeviceRoot()
{
    const char *root = std::getenv("VISTREL_ROOT");
    std::string folder = root && *root ? std::string(root) : HomeFolder();
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string HostPath(std::string_view path)
{
    if (path.empty() || path.front() != '\\')
        return std::string(path);
    // Separators first: a carried backslash that turns back into a byte belongs to a name.
    std::string slashed(path);
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    return DeviceRoot() + HostName(slashed);
}

std::string DeviceName(std::string_view hostName)
{
    std::string name;
    name.reserve(hostName.size());
    for (std::size_t i = 0; i < hostName.size();) {
        const std::size_t length = Utf8SequenceLength(hostName, i);
        if (length == 0 || hostName[i] == '\\' || inCarryBlock(hostName, i, length)) {
            const std::size_t carried = length == 0 ? 1 : length;
            for (std::size_t k = 0; k < carried; ++k)
                appendCarried(name, static_cast<unsigned char>(hostName[i + k]));
            i += carried;
            continue;
        }
        name.append(hostName.substr(i, length));
        i += length;
    }
    return name;
}

std::string HostName(std::string_view deviceText)
{
    std::string host;
    host.reserve(deviceText.size());
    for (std::size_t i = 0; i < deviceText.size();) {
        if (const int byte = carriedByte(deviceText, i); byte >= 0) {
            host += static_cast<char>(byte);
            i += 3;
        } else {
            host += deviceText[i++];
        }
    }
    return host;
}

std::string ShownName(std::string_view deviceText)
{
    return Utf8Repaired(HostName(deviceText));
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
    while (!rest.empty()) {
        rest.remove_prefix(1); // the slash before the name
        const std::string_view name = rest.substr(0, rest.find('/'));
        if (!device.empty() || !name.empty())
            device.append("\\").append(DeviceName(name));
        rest.remove_prefix(name.size());
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
