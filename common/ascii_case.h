#pragma once

#include <string_view>

// Case folding for names the program compares without regard to case (key paths, value names,
// options, file extensions, the listing order). Files and folders themselves are identified by
// their exact names: the host's names may differ in case alone. Only ASCII letters fold; other
// bytes compare as they are, which keeps every comparison a simple byte order that never depends
// on the locale.

inline char FoldAsciiCase(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool SameTextIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i]))
            return false;
    }
    return true;
}
