#include "cli_convert_arguments.h"

#include "codecs/image_header.h"
#include "image/image_info.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::int32_t formatNamed(const std::string &name)
{
    const std::string n = lowered(name);
    if (n == "bmp")
        return static_cast<std::int32_t>(ImageFormat::Bmp);
    if (n == "gif" || n == "giff")
        return static_cast<std::int32_t>(ImageFormat::Gif);
    if (n == "jpg" || n == "jpeg")
        return static_cast<std::int32_t>(ImageFormat::Jpeg);
    if (n == "png")
        return static_cast<std::int32_t>(ImageFormat::Png);
    return 0;
}

std::int32_t formatFromExtension(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return 0;
    return formatNamed(path.substr(dot + 1));
}

// Reads the comma-separated whole numbers of text; false when any part is not one.
bool parseIntegers(const std::string &text, std::vector<long long> &values)
{
    values.clear();
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        const std::string part = text.substr(start, comma - start);
        if (part.empty() || part.size() > 10)
            return false;
        std::size_t used = 0;
        try {
            values.push_back(std::stoll(part, &used));
        } catch (const std::exception &) {
            return false;
        }
        if (used != part.size())
            return false;
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

long long singleInteger(const std::string &option, const std::string &text)
{
    std::vector<long long> values;
    if (!parseIntegers(text, values) || values.size() != 1)
        throw ArgumentError{ option + " needs a whole number, not '" + text + "'" };
    return values[0];
}

void readCrop(ConvertArgs &args, const std::string &text)
{
    std::vector<long long> v;
    if (!parseIntegers(text, v) || v.size() != 4)
        throw ArgumentError{ "--crop needs X,Y,W,H, not '" + text + "'" };
    if (v[2] < 1 || v[3] < 1)
        throw ArgumentError{ "--crop needs a width and height of at least 1" };
    const long long limit = INT32_MAX;
    if (v[0] < -limit || v[1] < -limit || v[0] + v[2] > limit || v[1] + v[3] > limit)
        throw ArgumentError{ "--crop values out of range" };
    args.crop =
            Rect{ static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]),
                  static_cast<std::int32_t>(v[0] + v[2]), static_cast<std::int32_t>(v[1] + v[3]) };
}

void readDpi(ConvertArgs &args, const std::string &text)
{
    std::vector<long long> v;
    if (!parseIntegers(text, v) || v.empty() || v.size() > 2)
        throw ArgumentError{ "--dpi needs X or X,Y, not '" + text + "'" };
    if (v.size() == 1)
        v.push_back(v[0]);
    for (long long value : v)
        if (value < 1 || value > 65535)
            throw ArgumentError{ "--dpi values must be 1 to 65535" };
    args.options.xResolution = static_cast<std::int32_t>(v[0]);
    args.options.yResolution = static_cast<std::int32_t>(v[1]);
}

// Checks colours and quality against the lists the Format page offers for the chosen format,
// and fills in the format's default when neither was given.
void settleColours(ConvertArgs &args, std::optional<long long> colours,
                   std::optional<long long> quality)
{
    const auto format = static_cast<ImageFormat>(args.options.format);
    if (format == ImageFormat::Jpeg) {
        if (colours)
            throw ArgumentError{ "--colors does not apply to JPEG (use --quality)" };
        const long long q = quality.value_or(75);
        if (q != 90 && q != 80 && q != 75 && q != 60 && q != 45)
            throw ArgumentError{ "--quality must be 90, 80, 75, 60 or 45" };
        args.options.colours = static_cast<std::int32_t>(q);
        return;
    }
    if (quality)
        throw ArgumentError{ "--quality applies to JPEG only" };
    if (format == ImageFormat::Png) {
        if (colours)
            throw ArgumentError{ "--colors does not apply to PNG (it keeps every colour)" };
        return;
    }
    if (format == ImageFormat::Bmp) {
        const long long c = colours.value_or(kTrueColourCount);
        if (c != 2 && c != 16 && c != 256 && c != kTrueColourCount)
            throw ArgumentError{ "--colors for BMP must be 2, 16, 256 or 16777216" };
        args.options.colours = static_cast<std::int32_t>(c);
        return;
    }
    const long long c = colours.value_or(256);
    if (c < 2 || c > 256 || (c & (c - 1)) != 0)
        throw ArgumentError{ "--colors for GIF must be 2, 4, 8, 16, 32, 64, 128 or 256" };
    args.options.colours = static_cast<std::int32_t>(c);
}

} // namespace

ConvertArgs ParseConvertArguments(const std::vector<std::string> &list)
{
    ConvertArgs args;
    std::string formatName;
    std::optional<long long> colours, quality;
    CommandOptions options("convert");
    options.value("--format", [&](const std::string &value) { formatName = value; });
    options.value("--colors",
                  [&](const std::string &value) { colours = singleInteger("--colors", value); });
    options.value("--quality",
                  [&](const std::string &value) { quality = singleInteger("--quality", value); });
    options.value("--crop", [&](const std::string &value) { readCrop(args, value); });
    options.value("--dpi", [&](const std::string &value) { readDpi(args, value); });
    const std::vector<std::string> files = options.parse(list, UnknownOptions::Refused);
    if (files.size() != 2)
        throw ArgumentError{ "needs IN and OUT (see convert --help)" };
    args.in = files[0];
    args.out = files[1];
    if (!formatName.empty()) {
        const std::string name = lowered(formatName);
        // The option offers the names the usage shows; other spellings are refused.
        const bool listed = name == "bmp" || name == "gif" || name == "jpg" || name == "png";
        args.options.format = listed ? formatNamed(name) : 0;
        if (args.options.format == 0)
            throw ArgumentError{ "--format must be bmp, gif, jpg or png, not '" + formatName
                                 + "'" };
    } else if ((args.options.format = formatFromExtension(args.out)) == 0) {
        throw ArgumentError{ "cannot tell the format from '" + args.out
                             + "': give --format bmp|gif|jpg|png" };
    }
    settleColours(args, colours, quality);
    return args;
}
