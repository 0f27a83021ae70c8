#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A PNG file's text entries (tEXt, zTXt and iTXt chunks): keyword and text, as stored.
struct PngTextEntry
{
    std::string key;
    std::string text;
};

using PngText = std::vector<PngTextEntry>;

// The text of the first entry with the keyword, if any.
std::optional<std::string> FindPngText(const PngText &text, std::string_view key);
