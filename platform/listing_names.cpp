#include "platform/listing_names.h"

#include "common/ascii_case.h"
#include "common/utf8.h"
#include "platform/directory_listing.h"

namespace {

// The length of the character at text[i]; a byte that starts no valid sequence is a character.
std::size_t characterLength(std::string_view text, std::size_t i)
{
    std::size_t length = Utf8SequenceLength(text, i);
    return length == 0 ? 1 : length;
}

bool sameCharacter(std::string_view a, std::string_view b)
{
    if (a.size() == 1 && b.size() == 1)
        return FoldAsciiCase(a.front()) == FoldAsciiCase(b.front());
    return a == b;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The end of the run of digits that starts at text[i].
std::size_t digitRunEnd(std::string_view text, std::size_t i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// Compares two runs of digits by value without converting them, so runs of any length work.
int compareNumbers(std::string_view a, std::string_view b)
{
    while (a.size() > 1 && a.front() == '0')
        a.remove_prefix(1);
    while (b.size() > 1 && b.front() == '0')
        b.remove_prefix(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    int order = a.compare(b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// Compares in listing order without the final tie-break by bytes.
int compareListingKeys(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t endA = digitRunEnd(a, i);
            std::size_t endB = digitRunEnd(b, j);
            if (int order = compareNumbers(a.substr(i, endA - i), b.substr(j, endB - j)))
                return order;
            i = endA;
            j = endB;
            continue;
        }
        auto ca = static_cast<unsigned char>(FoldAsciiCase(a[i]));
        auto cb = static_cast<unsigned char>(FoldAsciiCase(b[j]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

} // namespace

bool NameMatchesPattern(std::string_view name, std::string_view pattern)
{
    if (pattern == "*" || pattern == "*.*")
        return true;
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starName = n;
            continue;
        }
        std::size_t nameLength = characterLength(name, n);
        if (p < pattern.size()) {
            std::size_t patternLength = characterLength(pattern, p);
            if (pattern[p] == '?'
                || sameCharacter(name.substr(n, nameLength), pattern.substr(p, patternLength))) {
                n += nameLength;
                p += patternLength;
                continue;
            }
        }
        if (starPattern == std::string_view::npos)
            return false;
        // Let the last star take one more character and try again from there.
        starName += characterLength(name, starName);
        n = starName;
        p = starPattern;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool ListingNameLess(std::string_view a, std::string_view b)
{
    if (int order = compareListingKeys(a, b))
        return order < 0;
    return a < b;
}
