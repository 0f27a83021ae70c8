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
// SafeFile refuses a file made read-only, so such a file is never replaced.
class SettingsStore
{
public:
    // filePath is a host path.
    explicit SettingsStore(std::string filePath);

    // $XDG_CONFIG_HOME (else ~/.config) + "/Ornwick/Vistrel.conf".
    static std::string DefaultFilePath();

    const std::string &filePath() const { return path; }

    // What the file was found to be when the program started.
    enum class Condition {
        Usable,
        // It could not be read as settings (far larger than any settings file can be): it now
        // lies beside as filePath() + ".bad", and a fresh file takes its place at the next write.
        MovedAside,
        // The user may not change it (or not read it): it is left alone, and writes keep nothing.
        ReadOnly,
    };

    // Looks at the file once, before the settings are read at start, and acts as Condition says.
    Condition prepare();

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
    bool leftAlone = false;
};

// The local machine's settings are a read-only table built into the program. The number of
// sub-keys of keyPath, or nothing when the table has no such key.
// "Software\Microsoft\Shell\Keys" lists the host keys that serve as application buttons.
// Key paths are compared without regard to case.
std::optional<int> LocalMachineSubKeyCount(std::string_view keyPath);

// A string value of the local machine's table, or nothing when the key or value is absent. Each
// button's key, "Software\Microsoft\Shell\Keys\40C" + n, holds its name as "Name".
std::optional<std::string> LocalMachineString(std::string_view keyPath, std::string_view value);
