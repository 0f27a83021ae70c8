#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The text of the settings file, one entry a line:
//   [Software\Ornwick\Vistrel\2.00\Strings]      a key, the values below belong to it
//   Snap Name=str:ornsnap                         a string value
//   Values=hex:8e008e0060000000...                a binary value
// Names and strings escape '%', control characters and the characters the format itself uses
// as %HH, so a value can never break a line or pose as a key. Lines of any other form are kept as
// they are when the text is written again and are otherwise ignored. Keys and value names
// compare without regard to ASCII case. Nothing here touches the file system.
class SettingsText
{
public:
    SettingsText() = default;
    // Splits text at line feeds; a carriage return before one is tolerated.
    explicit SettingsText(std::string_view text);

    // The typed data ("str:..." or "hex:...") of the first value name under key, if any.
    std::optional<std::string> rawValue(std::string_view key, std::string_view name) const;

    // Sets value name of key to typedData. A value that exists keeps its place and the spelling
    // of its name; repeats of it further down go. A new value joins the key's first block, or a
    // new key block at the end.
    void setRawValue(std::string_view key, std::string_view name, std::string_view typedData);

    // The whole text, every line ended by a line feed.
    std::string text() const;

private:
    std::vector<std::string> lines;
};

// The typed data of a string value, and the string back from typed data (nothing when the data
// is not a string or its escapes are broken).
std::string StringValueData(std::string_view text);
std::optional<std::string> StringOfValueData(std::string_view data);

// The same for a binary value.
std::string BinaryValueData(std::span<const std::uint8_t> bytes);
std::optional<std::vector<std::uint8_t>> BytesOfValueData(std::string_view data);
