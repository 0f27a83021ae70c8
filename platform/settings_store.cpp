#include "platform/settings_store.h"

#include "common/alb_exception.h"
#include "common/ascii_case.h"
#include "common/safe_file.h"
#include "platform/known_folders.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The file is text, one entry a line:
//   [Software\Ornwick\Vistrel\2.00\Strings]      a key, the values below belong to it
//   Snap Name=str:ornsnap                         a string value
//   Values=hex:8e008e0060000000...                a binary value
// Names and strings escape '%', control characters and the characters the format itself uses
// as %HH, so a value can never break a line or pose as a key. Lines of any other form are kept as
// they are when the file is rewritten and are otherwise ignored.

namespace {

constexpr std::size_t kMaxFileSize = std::size_t{ 4 } << 20;
constexpr std::string_view kStringType = "str:";
constexpr std::string_view kBinaryType = "hex:";
constexpr char kHexDigits[] = "0123456789abcdef";

// Value names may not hold the separator or look like a key or a comment.
constexpr std::string_view kNameSpecials = "%=[#;";
constexpr std::string_view kKeySpecials = "%";
constexpr std::string_view kTextSpecials = "%";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = FoldAsciiCase(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string escapeText(std::string_view text, std::string_view specials)
{
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || specials.find(c) != std::string_view::npos) {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xf];
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> unescapeText(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        int high = hexValue(text[i + 1]);
        int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> bytesOfHex(std::string_view text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int high = hexValue(text[i]);
        int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::string hexOfBytes(std::span<const std::uint8_t> bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t byte : bytes) {
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0xf];
    }
    return out;
}

// A line without a trailing carriage return, for files edited on other systems.
std::string_view content(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The key a line opens, or nothing when it is not a key line.
std::optional<std::string> keyOfLine(std::string_view line)
{
    line = content(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    return unescapeText(line.substr(1, line.size() - 2));
}

struct ValueLine
{
    std::string name;
    std::string_view data;
};

std::optional<ValueLine> valueOfLine(std::string_view line)
{
    line = content(line);
    if (line.empty() || line.front() == '[' || line.front() == '#' || line.front() == ';')
        return std::nullopt;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    auto name = unescapeText(line.substr(0, equals));
    if (!name)
        return std::nullopt;
    return ValueLine{ std::move(*name), line.substr(equals + 1) };
}

using Lines = std::vector<std::string>;

// The lines of the file; an empty list when it does not exist. Nothing, with error set, when it
// exists but cannot be read (or is far larger than any settings file).
std::optional<Lines> readLines(const std::string &path, int &error)
{
    error = 0;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return error == ENOENT ? std::optional<Lines>(Lines{}) : std::nullopt;
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
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.emplace_back(text, start, end - start);
        start = end + 1;
    }
    return lines;
}

// Indices of the lines holding value name under key, in file order.
std::vector<std::size_t> valueLineIndices(const Lines &lines, std::string_view key,
                                          std::string_view name)
{
    std::vector<std::size_t> found;
    bool inKey = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto lineKey = keyOfLine(lines[i])) {
            inKey = SameTextIgnoringCase(*lineKey, key);
            continue;
        }
        if (!inKey)
            continue;
        auto value = valueOfLine(lines[i]);
        if (value && SameTextIgnoringCase(value->name, name))
            found.push_back(i);
    }
    return found;
}

std::optional<std::string> rawValue(const std::string &path, std::string_view key,
                                    std::string_view name)
{
    int error = 0;
    auto lines = readLines(path, error);
    if (!lines)
        return std::nullopt;
    auto indices = valueLineIndices(*lines, key, name);
    if (indices.empty())
        return std::nullopt;
    return std::string(valueOfLine((*lines)[indices.front()])->data);
}

// Where a new value of key goes: after the last non-blank line of the key's first block, or
// nothing when the file has no such key.
std::optional<std::size_t> insertionPoint(const Lines &lines, std::string_view key)
{
    std::optional<std::size_t> point;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto lineKey = keyOfLine(lines[i]);
        if (point && lineKey)
            break;
        if (lineKey && SameTextIgnoringCase(*lineKey, key))
            point = i + 1;
        else if (point && !content(lines[i]).empty())
            point = i + 1;
    }
    return point;
}

// Sets value name of key to typedData ("str:..." or "hex:..."). A value that exists keeps its
// place and the spelling of its name, as a registry value does when it is overwritten.
void setValueLine(Lines &lines, std::string_view key, std::string_view name,
                  std::string_view typedData)
{
    auto indices = valueLineIndices(lines, key, name);
    if (!indices.empty()) {
        // A hand-edited file may repeat a value; only the first one counts, so the others go.
        for (std::size_t i = indices.size() - 1; i > 0; --i)
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(indices[i]));
        std::string &line = lines[indices.front()];
        line.replace(line.find('=') + 1, std::string::npos, typedData);
        return;
    }
    std::string line = escapeText(name, kNameSpecials) + "=" + std::string(typedData);
    if (auto point = insertionPoint(lines, key)) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*point), std::move(line));
        return;
    }
    if (!lines.empty() && !content(lines.back()).empty())
        lines.emplace_back();
    lines.push_back("[" + escapeText(key, kKeySpecials) + "]");
    lines.push_back(std::move(line));
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
    auto lines = readLines(path, error);
    // A file that exists but cannot be read is not replaced: that would lose every other value.
    if (!lines)
        ThrowFileError(error, path);
    for (const auto &[name, typedData] : values)
        setValueLine(*lines, key, name, typedData);
    std::string text;
    for (const std::string &line : *lines)
        text += line + "\n";
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
    if (!raw || !raw->starts_with(kBinaryType))
        return std::nullopt;
    return bytesOfHex(std::string_view(*raw).substr(kBinaryType.size()));
}

std::optional<std::string> SettingsStore::readString(std::string_view key,
                                                     std::string_view value) const
{
    auto raw = rawValue(path, key, value);
    if (!raw || !raw->starts_with(kStringType))
        return std::nullopt;
    return unescapeText(std::string_view(*raw).substr(kStringType.size()));
}

void SettingsStore::writeBinary(std::string_view key, std::string_view value,
                                std::span<const std::uint8_t> bytes)
{
    storeValues(path, key, { { value, std::string(kBinaryType) + hexOfBytes(bytes) } });
}

void SettingsStore::writeString(std::string_view key, std::string_view value, std::string_view text)
{
    writeStrings(key, { { std::string(value), std::string(text) } });
}

void SettingsStore::writeStrings(std::string_view key,
                                 const std::vector<std::pair<std::string, std::string>> &values)
{
    TypedValues typed;
    for (const auto &[name, text] : values)
        typed.emplace_back(name, std::string(kStringType) + escapeText(text, kTextSpecials));
    storeValues(path, key, typed);
}
