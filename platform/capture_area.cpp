#include "platform/capture_area.h"

#include <array>
#include <charconv>

namespace {

constexpr std::array<std::string_view, kCaptureAreaCount> kWords = { "screen", "monitor", "window",
                                                                     "region" };

// Screen coordinates fit an X server's 16 bits; larger numbers are refused rather than
// overflowing the rectangle's right and bottom.
constexpr long kLargest = 1L << 20;

std::optional<long> number(std::string_view text)
{
    long value = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < -kLargest
        || value > kLargest)
        return std::nullopt;
    return value;
}

} // namespace

std::string_view AreaWord(CaptureArea area)
{
    return kWords.at(static_cast<std::size_t>(area));
}

std::optional<AreaRequest> ParseAreaText(std::string_view text)
{
    for (std::size_t i = 0; i < kWords.size(); ++i) {
        if (text == kWords[i])
            return AreaRequest{ static_cast<CaptureArea>(i), std::nullopt, std::nullopt };
    }
    std::array<long, 4> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t comma = text.find(',');
        const bool last = i + 1 == values.size();
        if (last != (comma == std::string_view::npos))
            return std::nullopt;
        const std::optional<long> value = number(text.substr(0, comma));
        if (!value)
            return std::nullopt;
        values[i] = *value;
        text.remove_prefix(last ? text.size() : comma + 1);
    }
    if (values[2] < 1 || values[3] < 1)
        return std::nullopt;
    const auto at = [&values](std::size_t i) {
        return static_cast<std::int32_t>(values[i]);
    };
    AreaRequest request;
    request.exact = Rect{ at(0), at(1), at(0) + at(2), at(1) + at(3) };
    return request;
}

std::string AreaText(const AreaRequest &request)
{
    if (!request.exact)
        return std::string(AreaWord(request.area));
    const Rect &r = *request.exact;
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width())
            + "," + std::to_string(r.height());
}
