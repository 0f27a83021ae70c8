#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A calendar date and time of day as the platform reports it, already in the zone to be shown.
struct DateTime
{
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0; // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "MM/DD/YY hh:mm" with a two-digit year (1999 gives 99, 2001 gives 01). Seconds are not shown.
std::string FormatDate(const DateTime &date);

// Counts (base 1000) and byte sizes (base 1024) for the information pages:
//  - base 1000: plain decimal up to 999999 either way, else millions with two decimals
//    ("1.23 M", "3 M"), "B" appended when byteSuffix is set;
//  - base 1024: plain decimal below 1024 (" B" appended when byteSuffix is set), else kilo or mega
//    with two decimals ("1.50 K", "2 K"), "B" appended when byteSuffix is set ("1.50 KB").
// Decimals are truncated after adding half a hundredth; a zero fraction is left out. Units stop at
// mega. Negative values are formatted as their magnitude with a minus sign. Any other base gives "".
std::string FormatSize(std::int64_t value, int base, bool byteSuffix);

// A text cut to at most maxChars characters with "..." marking the cut: the start is kept when
// keepStart is set, else the end. Texts that fit are returned unchanged.
std::string ShortenText(std::string_view text, std::size_t maxChars, bool keepStart);

// True for a non-empty text of digits, '#' and '*', optionally led by '+' (what a phone number
// field accepts).
bool IsNumberText(std::string_view text);
