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

// Replaces the text of id for the rest of the run (also for an id the table lacks), for texts that
// only the host can know, such as the default folder. A string_view that FindString gave for id
// earlier is invalid afterwards. Not thread-safe: call it at start-up.
void SetStringOverride(std::uint32_t id, std::string text);
// Returns id to the table's own text.
void ClearStringOverride(std::uint32_t id);

// Every identifier of the table in ascending order, for checks of the table itself.
std::size_t StringTableSize();
std::uint32_t StringTableId(std::size_t index);
