#include "common/text_format.h"

#include "common/utf8.h"

#include <cstdio>

namespace {

constexpr std::uint64_t kMillion = 1000000;
constexpr std::uint64_t kKibi = 1024;
constexpr std::uint64_t kMebi = 1048576;
constexpr std::string_view kEllipsis = "...";

// Two digits of the year: the century is implied, 19xx before 2000 and 20xx after.
int twoDigitYear(int year)
{
    return year < 2000 ? year - 1900 : year - 2000;
}

// "whole.hh unit" or "whole unit". The hundredths have already been truncated; when adding half a
// hundredth carried them to 100, the whole part takes the carry.
std::string scaledText(bool negative, std::uint64_t whole, int hundredths, char unit)
{
    if (hundredths >= 100) {
        ++whole;
        hundredths = 0;
    }
    char buffer[48];
    if (hundredths != 0)
        std::snprintf(buffer, sizeof buffer, "%s%llu.%.2d %c", negative ? "-" : "",
                      static_cast<unsigned long long>(whole), hundredths, unit);
    else
        std::snprintf(buffer, sizeof buffer, "%s%llu %c", negative ? "-" : "",
                      static_cast<unsigned long long>(whole), unit);
    return buffer;
}

std::string plainText(bool negative, std::uint64_t magnitude)
{
    return (negative ? "-" : "") + std::to_string(magnitude);
}

std::string decimalSize(bool negative, std::uint64_t magnitude, bool byteSuffix)
{
    if (magnitude < kMillion)
        return plainText(negative, magnitude);
    double fraction = static_cast<double>(magnitude % kMillion) * 0.000001;
    auto hundredths = static_cast<int>((fraction + 0.005) * 100);
    return scaledText(negative, magnitude / kMillion, hundredths, 'M') + (byteSuffix ? "B" : "");
}

std::string binarySize(bool negative, std::uint64_t magnitude, bool byteSuffix)
{
    if (magnitude < kKibi)
        return plainText(negative, magnitude) + (byteSuffix ? " B" : "");
    std::uint64_t unit = magnitude >= kMebi ? kMebi : kKibi;
    double fraction = static_cast<double>(magnitude % unit) / static_cast<double>(unit);
    auto hundredths = static_cast<int>((fraction + 0.005) * 100);
    return scaledText(negative, magnitude / unit, hundredths, unit == kMebi ? 'M' : 'K')
            + (byteSuffix ? "B" : "");
}

} // namespace

std::string FormatDate(const DateTime &date)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2d/%.2d/%.2d %.2d:%.2d", date.month, date.day,
                  twoDigitYear(date.year), date.hour, date.minute);
    return buffer;
}

std::string FormatSize(std::int64_t value, int base, bool byteSuffix)
{
    // The magnitude is taken in unsigned arithmetic so that the most negative value has one too.
    bool negative = value < 0;
    std::uint64_t magnitude =
            negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    if (base == 1000)
        return decimalSize(negative, magnitude, byteSuffix);
    if (base == 1024)
        return binarySize(negative, magnitude, byteSuffix);
    return {};
}

std::string ShortenText(std::string_view text, std::size_t maxChars, bool keepStart)
{
    if (Utf8Length(text) <= maxChars)
        return std::string(text);
    // Below three characters even the ellipsis does not fit; it is cut so the limit still holds.
    if (maxChars <= kEllipsis.size())
        return std::string(kEllipsis.substr(0, maxChars));
    std::size_t kept = maxChars - kEllipsis.size();
    if (keepStart)
        return Utf8Prefix(text, kept) + std::string(kEllipsis);
    return std::string(kEllipsis) + Utf8Suffix(text, kept);
}

bool IsNumberText(std::string_view text)
{
    if (text.empty())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        bool accepted = (c >= '0' && c <= '9') || c == '#' || c == '*' || (i == 0 && c == '+');
        if (!accepted)
            return false;
    }
    return true;
}
