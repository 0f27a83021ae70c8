#include "app/command_line.h"

#include "common/ascii_case.h"
#include "common/host_path.h"
#include "common/path_names.h"

#include <filesystem>
#include <optional>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// On this host "/" opens both options and absolute paths; a path that exists is taken as a path.
bool isExistingHostPath(const std::string &parameter)
{
    std::error_code error;
    return parameter.size() > 1 && parameter.front() == '/'
            && std::filesystem::exists(parameter, error);
}

class CommandLineParser
{
public:
    void parameter(const std::string &text)
    {
        if (isExistingHostPath(text)) {
            auto device = DevicePath(text);
            // Without an option, as a file manager's "Open With" passes it: a picture opens in
            // Select View, a folder in Thumbnail View.
            if (device && info.launchMode == LaunchMode::Default) {
                std::error_code error;
                info.launchMode = std::filesystem::is_directory(text, error) ? LaunchMode::Folder
                                                                             : LaunchMode::Select;
            }
            if (device)
                value(*device);
        } else if (!text.empty() && (text.front() == '-' || text.front() == '/')) {
            option(std::string_view(text).substr(1));
        } else {
            value(text);
        }
    }

    CAlbCommandLineInfo finish()
    {
        const bool folderMissing = info.folder.empty();
        const bool pictureMissing = folderMissing || info.fileName.empty();
        if ((info.launchMode == LaunchMode::Folder && folderMissing)
            || ((info.launchMode == LaunchMode::Select || info.launchMode == LaunchMode::FullScreen)
                && pictureMissing))
            info.launchMode = LaunchMode::Default;
        return info;
    }

private:
    void option(std::string_view name)
    {
        if (SameTextIgnoringCase(name, "t"))
            info.launchMode = LaunchMode::Folder;
        else if (SameTextIgnoringCase(name, "i"))
            info.launchMode = LaunchMode::Select;
        else if (SameTextIgnoringCase(name, "fs"))
            info.launchMode = LaunchMode::FullScreen;
        else
            info.launchMode = LaunchMode::Default;
    }

    void value(const std::string &text)
    {
        if (info.launchMode == LaunchMode::Folder)
            info.folder = RemoveBackslash(text);
        else if (info.launchMode == LaunchMode::Select || info.launchMode == LaunchMode::FullScreen)
            picture(text);
    }

    // A picture value names a file by its full path: the folder is what comes before the last
    // backslash, the root when nothing does.
    void picture(const std::string &path)
    {
        const std::size_t separator = path.rfind('\\');
        if (separator == std::string::npos || separator + 1 == path.size()) {
            info.launchMode = LaunchMode::Default;
            return;
        }
        info.folder = separator == 0 ? std::string("\\") : path.substr(0, separator);
        info.fileName = path.substr(separator + 1);
    }

    CAlbCommandLineInfo info;
};

bool needsQuotes(const std::string &parameter)
{
    if (parameter.empty())
        return true;
    for (char c : parameter)
        if (isBlank(c) || c == '"')
            return true;
    return false;
}

} // namespace

CAlbCommandLineInfo ParseCommandLine(const std::vector<std::string> &parameters)
{
    CommandLineParser parser;
    for (const std::string &parameter : parameters)
        parser.parameter(parameter);
    return parser.finish();
}

CAlbCommandLineInfo ParseCommandLineText(std::string_view text)
{
    return ParseCommandLine(SplitCommandLine(text));
}

std::vector<std::string> SplitCommandLine(std::string_view text)
{
    std::vector<std::string> parameters;
    std::string current;
    bool inParameter = false; // an empty quoted parameter ("") still counts
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                current += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
            inParameter = true;
        } else if (isBlank(c) && !quoted) {
            if (inParameter)
                parameters.push_back(std::move(current));
            current.clear();
            inParameter = false;
        } else {
            current += c;
            inParameter = true;
        }
    }
    if (inParameter)
        parameters.push_back(std::move(current));
    return parameters;
}

std::string JoinCommandLine(const std::vector<std::string> &parameters)
{
    std::string text;
    for (const std::string &parameter : parameters) {
        if (!text.empty())
            text += ' ';
        if (!needsQuotes(parameter)) {
            text += parameter;
            continue;
        }
        text += '"';
        for (char c : parameter)
            text += c == '"' ? std::string("\"\"") : std::string(1, c);
        text += '"';
    }
    return text;
}
