#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Splits a command line into words the way a desktop entry's Exec line is split, without a shell:
// blanks separate words; double quotes group a word, inside them a backslash keeps the next '"',
// '`', '$' or '\' literally; single quotes group a word literally; outside quotes a backslash
// keeps the next character. A word "%f" (also "%F", "%u", "%U") stands for file; without one, file
// is appended as the last word. "%%" is a literal '%'. Nothing for an unterminated quote or a
// line without a program.
std::optional<std::vector<std::string>> CommandWords(std::string_view line,
                                                     const std::string &file);
