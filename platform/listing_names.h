#pragma once

#include <string_view>

// Rules for the names a directory listing hands to the rest of the program.

// Whether name matches pattern: '*' stands for any run of characters, '?' for one character,
// letters compare without regard to case. "*" and "*.*" match every name, also one without a dot.
bool NameMatchesPattern(std::string_view name, std::string_view pattern);
