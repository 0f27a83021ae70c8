#include "common/settings_text.h"

#include "common/ascii_case.h"

namespace {

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

// Indices of the lines holding value name under key, in text order.
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

// Where a new value of key goes: after the last non-blank line of the key's first block, or
// nothing when the text has no such key.
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

} // namespace

SettingsText::SettingsText(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::optional<std::string> SettingsText::rawValue(std::string_view key, std::string_view name) const
{
    auto indices = valueLineIndices(lines, key, name);
    if (indices.empty())
        return std::nullopt;
    return std::string(valueOfLine(lines[indices.front()])->data);
}

void SettingsText::setRawValue(std::string_view key, std::string_view name,
                               std::string_view typedData)
{
    auto indices = valueLineIndices(lines, key, name);
    if (!indices.empty()) {
        // A hand-edited file may repeat a value; only the first one counts, so the others go.
        for (std::size_t i = indices.size() - 1; i > 0; --i)
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(indices[i]));
        std::string &line = lines[indices.front()];
        // The data ends the line; a carriage return the line had goes with the old data.
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

std::string SettingsText::text() const
{
    std::string out;
    for (const std::string &line : lines)
        out += line + "\n";
    return out;
}

std::string StringValueData(std::string_view text)
{
    return std::string(kStringType) + escapeText(text, kTextSpecials);
}

std::optional<std::string> StringOfValueData(std::string_view data)
{
    if (!data.starts_with(kStringType))
        return std::nullopt;
    return unescapeText(data.substr(kStringType.size()));
}

std::string BinaryValueData(std::span<const std::uint8_t> bytes)
{
    std::string out(kBinaryType);
    out.reserve(kBinaryType.size() + bytes.size() * 2);
    for (std::uint8_t byte : bytes) {
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0xf];
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> BytesOfValueData(std::string_view data)
{
    if (!data.starts_with(kBinaryType))
        return std::nullopt;
    std::string_view text = data.substr(kBinaryType.size());
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
