#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The program's string table: every user-visible text by its identifier (res/strings.inc).

// The text of id, or nothing when the table has no such string.
std::optional<std::string_view> FindString(std::uint32_t id);

// Loads the text of id cut to at most maxChars characters; false (and out untouched) when the
// table has no such string.
bool LoadString(std::uint32_t id, std::string &out, std::size_t maxChars = 1023);

// Every identifier of the table in ascending order, for checks of the table itself.
std::size_t StringTableSize();
std::uint32_t StringTableId(std::size_t index);
