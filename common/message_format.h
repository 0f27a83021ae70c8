#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

// One argument of a message text from the string table: a number or a text.
using MessageArg = std::variant<long long, unsigned long long, std::string>;
using MessageArgs = std::vector<MessageArg>;

// printf-style formatting of a string-table text. Conversions d, i, u, x, X, o, c and s with
// flags, width, precision and length modifiers are understood; each takes the next argument and
// converts it to the kind it needs (a missing argument is 0 or empty). Unlike printf this never
// reads past the arguments given, so a text that asks for more than it gets cannot crash.
std::string FormatMessage(std::string_view format, const MessageArgs &args);
