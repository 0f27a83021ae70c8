#include "platform/application_buttons.h"
#include "common/ascii_case.h"
#include "platform/settings_store.h"

#include <algorithm>

// The local machine's registry is not a file: it is this table, made from the application
// buttons. Each button n is the key "Software\Microsoft\Shell\Keys\40C<n>" with its name.

namespace {

constexpr std::string_view kButtonsKey = "Software\\Microsoft\\Shell\\Keys";
constexpr std::string_view kNameValue = "Name";

struct LocalKey
{
    std::string path;
    std::string name;
};

const std::vector<LocalKey> &localKeys()
{
    static const std::vector<LocalKey> keys = [] {
        std::vector<LocalKey> made;
        const auto &buttons = ApplicationButtons();
        for (std::size_t i = 0; i < buttons.size(); ++i)
            made.push_back({ std::string(kButtonsKey) + "\\40C" + std::to_string(i + 1),
                             buttons[i].name });
        return made;
    }();
    return keys;
}

// The component of path that follows keyPath, when path lies at or below keyPath: "" for the key
// itself, nothing when path is elsewhere.
std::optional<std::string_view> componentBelow(std::string_view path, std::string_view keyPath)
{
    if (path.size() < keyPath.size()
        || !SameTextIgnoringCase(path.substr(0, keyPath.size()), keyPath))
        return std::nullopt;
    std::string_view rest = path.substr(keyPath.size());
    if (rest.empty())
        return rest;
    if (rest.front() != '\\' || keyPath.empty())
        return std::nullopt;
    rest.remove_prefix(1);
    return rest.substr(0, rest.find('\\'));
}

} // namespace

std::optional<int> LocalMachineSubKeyCount(std::string_view keyPath)
{
    if (keyPath.empty())
        return std::nullopt;
    std::vector<std::string> children;
    bool exists = false;
    for (const LocalKey &key : localKeys()) {
        auto child = componentBelow(key.path, keyPath);
        if (!child)
            continue;
        exists = true;
        std::string folded;
        for (char c : *child)
            folded += FoldAsciiCase(c);
        if (!folded.empty()
            && std::find(children.begin(), children.end(), folded) == children.end())
            children.push_back(folded);
    }
    if (!exists)
        return std::nullopt;
    return static_cast<int>(children.size());
}

std::optional<std::string> LocalMachineString(std::string_view keyPath, std::string_view value)
{
    if (!SameTextIgnoringCase(value, kNameValue))
        return std::nullopt;
    for (const LocalKey &key : localKeys()) {
        if (SameTextIgnoringCase(key.path, keyPath))
            return key.name;
    }
    return std::nullopt;
}
