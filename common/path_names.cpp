#include "common/path_names.h"

#include "common/alb_exception.h"
#include "common/ascii_case.h"
#include "common/string_ids.h"
#include "common/utf8.h"

#include <vector>

namespace {

constexpr std::string_view kSeparators = "\\/:";

// Characters no file system of the device accepts in a name.
constexpr std::string_view kForbiddenChars = "\\/:*?\"<>|";

// Place and step of the file-name check's location (its module is Module::FileNameCheck).
constexpr std::uint32_t kCheckPlace = 2100;
constexpr std::uint32_t kCheckStep = 10;

// Two leading backslashes start a network name ("\\server"). While no further backslash follows,
// the trailing backslash rules leave the leading pair alone, so "\\" never shrinks to the root.
bool isBareNetworkName(std::string_view path)
{
    return path.size() >= 2 && path[0] == '\\' && path[1] == '\\'
            && path.find('\\', 2) == std::string_view::npos;
}

std::size_t lastSeparator(std::string_view path)
{
    return path.find_last_of(kSeparators);
}

// The characters of a UTF-8 text, each as the bytes of its sequence.
std::vector<std::string_view> splitCharacters(std::string_view text)
{
    std::vector<std::string_view> characters;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t end = i + 1;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
        characters.push_back(text.substr(i, end - i));
        i = end;
    }
    return characters;
}

bool containsForbidden(std::string_view name, std::optional<std::string_view> extra)
{
    std::vector<std::string_view> extraChars;
    if (extra)
        extraChars = splitCharacters(*extra);
    for (std::string_view c : splitCharacters(name)) {
        if (c.size() == 1 && kForbiddenChars.find(c[0]) != std::string_view::npos)
            return true;
        for (std::string_view forbidden : extraChars) {
            if (c == forbidden)
                return true;
        }
    }
    return false;
}

// The message of the first rule the name breaks, or 0 when it breaks none.
std::uint32_t fileNameProblem(std::string_view name, std::optional<std::string_view> folder,
                              std::optional<std::string_view> extra)
{
    std::size_t lastKept = name.find_last_not_of(' ');
    std::string_view trimmed =
            lastKept == std::string_view::npos ? std::string_view() : name.substr(0, lastKept + 1);
    if (trimmed.empty() || trimmed.front() == '.')
        return Msg::SpecifyName;
    std::size_t nameLength = Utf8Length(name);
    if (nameLength > kMaxPathChars
        || (folder && Utf8Length(*folder) + nameLength + 1 > kMaxPathChars))
        return Msg::NameTooLong;
    if (containsForbidden(trimmed, extra))
        return Msg::IllegalName;
    return 0;
}

} // namespace

std::string AddBackslash(std::string_view path)
{
    std::string result(path);
    if (Utf8Length(path) >= 2 && (path.back() != '\\' || isBareNetworkName(path)))
        result += '\\';
    return result;
}

std::string RemoveBackslash(std::string_view path)
{
    std::string result(path);
    if (Utf8Length(path) > 1 && !isBareNetworkName(path) && path.back() == '\\')
        result.pop_back();
    return result;
}

bool SameFolder(std::string_view a, std::string_view b)
{
    return RemoveBackslash(a) == RemoveBackslash(b);
}

std::string FileNamePart(std::string_view path)
{
    std::size_t separator = lastSeparator(path);
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string FileTitlePart(std::string_view path)
{
    std::string name = FileNamePart(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string FolderPart(std::string_view path, bool dropSeparator)
{
    std::size_t separator = lastSeparator(path);
    if (separator == std::string_view::npos)
        return std::string(path);
    return std::string(path.substr(0, dropSeparator ? separator : separator + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name,
                     std::optional<std::string_view> extension)
{
    std::string path = AddBackslash(folder);
    path += name;
    if (extension) {
        path += '.';
        path += *extension;
    }
    return path;
}

bool CheckFileName(std::string_view name, std::optional<std::string_view> folder,
                   std::optional<std::string_view> extraForbidden, CAlbException *exception)
{
    std::uint32_t problem = fileNameProblem(name, folder, extraForbidden);
    if (problem == 0)
        return true;
    if (exception)
        exception->Reinit(problem, Module::FileNameCheck, kCheckPlace, kCheckStep, 0, false);
    return false;
}

bool HasPictureExtension(std::string_view name, std::string_view extensions)
{
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    std::string_view extension = name.substr(dot + 1);
    while (!extensions.empty()) {
        std::size_t bar = extensions.find('|');
        std::string_view entry = extensions.substr(0, bar);
        if (!entry.empty() && SameTextIgnoringCase(entry, extension))
            return true;
        if (bar == std::string_view::npos)
            break;
        extensions.remove_prefix(bar + 1);
    }
    return false;
}
