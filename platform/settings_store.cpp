#include "platform/settings_store.h"

#include "common/alb_exception.h"
#include "common/safe_file.h"
#include "common/settings_text.h"
#include "platform/known_folders.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The file's text format is SettingsText's; this side reads and replaces the file.

namespace {

constexpr std::size_t kMaxFileSize = std::size_t{ 4 } << 20;

// The text of the file; an empty text when it does not exist. Nothing, with error set, when it
// exists but cannot be read (or is far larger than any settings file).
std::optional<SettingsText> readText(const std::string &path, int &error)
{
    error = 0;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return error == ENOENT ? std::optional<SettingsText>(SettingsText{}) : std::nullopt;
    }
    std::string text;
    char chunk[4096];
    ssize_t got = 0;
    while ((got = ::read(fd, chunk, sizeof chunk)) != 0) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || text.size() + static_cast<std::size_t>(got) > kMaxFileSize) {
            error = got < 0 ? errno : EFBIG;
            ::close(fd);
            return std::nullopt;
        }
        text.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return SettingsText(text);
}

std::optional<std::string> rawValue(const std::string &path, std::string_view key,
                                    std::string_view name)
{
    int error = 0;
    auto text = readText(path, error);
    return text ? text->rawValue(key, name) : std::nullopt;
}

// Creates the folders leading to path; a failure shows when the file itself is written.
void createParentFolders(const std::string &path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0777);
}

using TypedValues = std::vector<std::pair<std::string_view, std::string>>;

// Read, change the values of one key, write the whole file back safely (once for all of them).
void storeValues(const std::string &path, std::string_view key, const TypedValues &values)
{
    int error = 0;
    auto settings = readText(path, error);
    // A file that exists but cannot be read is not replaced: that would lose every other value.
    if (!settings)
        ThrowFileError(error, path);
    for (const auto &[name, typedData] : values)
        settings->setRawValue(key, name, typedData);
    const std::string text = settings->text();
    createParentFolders(path);
    SafeFile file(path, path);
    file.write(text.data(), text.size());
    file.commit();
}

} // namespace

SettingsStore::SettingsStore(std::string filePath) : path(std::move(filePath)) { }

std::string SettingsStore::DefaultFilePath()
{
    return ConfigFolder() + "/Ornwick/Vistrel.conf";
}

std::optional<std::vector<std::uint8_t>> SettingsStore::readBinary(std::string_view key,
                                                                   std::string_view value) const
{
    auto raw = rawValue(path, key, value);
    return raw ? BytesOfValueData(*raw) : std::nullopt;
}

std::optional<std::string> SettingsStore::readString(std::string_view key,
                                                     std::string_view value) const
{
    auto raw = rawValue(path, key, value);
    return raw ? StringOfValueData(*raw) : std::nullopt;
}

SettingsStore::Condition SettingsStore::prepare()
{
    struct stat facts
    { };

    if (::stat(path.c_str(), &facts) != 0)
        return Condition::Usable;
    int error = 0;
    if (!readText(path, error) && error == EFBIG
        && ::rename(path.c_str(), (path + ".bad").c_str()) == 0)
        return Condition::MovedAside;
    leftAlone = error != 0 || (facts.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
    return leftAlone ? Condition::ReadOnly : Condition::Usable;
}

void SettingsStore::writeBinary(std::string_view key, std::string_view value,
                                std::span<const std::uint8_t> bytes)
{
    if (!leftAlone)
        storeValues(path, key, { { value, BinaryValueData(bytes) } });
}

void SettingsStore::writeString(std::string_view key, std::string_view value, std::string_view text)
{
    writeStrings(key, { { std::string(value), std::string(text) } });
}

void SettingsStore::writeStrings(std::string_view key,
                                 const std::vector<std::pair<std::string, std::string>> &values)
{
    if (leftAlone)
        return;
    TypedValues typed;
    for (const auto &[name, text] : values)
        typed.emplace_back(name, StringValueData(text));
    storeValues(path, key, typed);
}
