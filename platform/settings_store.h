#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The current user's settings: one file holding values by key path ("Software\Ornwick\Vistrel\2.00"
// joined with a section such as "Strings"), value name and type. Binary values stay binary and
// strings stay strings: reading a value as the other type, or a value that cannot be parsed, gives
// nothing. Every read looks at the file as it is now, so a value another process wrote is seen.
// Every write replaces the whole file through SafeFile (temporary file, then rename); a file that
// cannot be parsed is left untouched until a write replaces it, keeping what could be read.
class SettingsStore
{
public:
    // filePath is a host path.
    explicit SettingsStore(std::string filePath);

    // $XDG_CONFIG_HOME (else ~/.config) + "/Ornwick/Vistrel.conf".
    static std::string DefaultFilePath();

    const std::string &filePath() const { return path; }

    std::optional<std::vector<std::uint8_t>> readBinary(std::string_view key,
                                                        std::string_view value) const;
    std::optional<std::string> readString(std::string_view key, std::string_view value) const;

    // Throw the file exception when the file cannot be written; the earlier file is kept.
    void writeBinary(std::string_view key, std::string_view value,
                     std::span<const std::uint8_t> bytes);
    void writeString(std::string_view key, std::string_view value, std::string_view text);
    // Several strings of one key (name, text) in one rewrite of the file.
    void writeStrings(std::string_view key,
                      const std::vector<std::pair<std::string, std::string>> &values);

private:
    std::string path;
};

// The local machine's settings are a read-only table built into the program. The number of
// sub-keys of keyPath, or nothing when the table has no such key.
// "Software\Microsoft\Shell\Keys" lists the host keys that serve as application buttons.
// Key paths are compared without regard to case.
std::optional<int> LocalMachineSubKeyCount(std::string_view keyPath);

// A string value of the local machine's table, or nothing when the key or value is absent. Each
// button's key, "Software\Microsoft\Shell\Keys\40C" + n, holds its name as "Name".
std::optional<std::string> LocalMachineString(std::string_view keyPath, std::string_view value);
