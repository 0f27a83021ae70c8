#include "sheets/save_choices.h"

#include "codecs/image_header.h"
#include "common/path_names.h"
#include "common/text_format.h"
#include "image/image_info.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::int32_t, 14> kResolutions = { 60,  72,  75,  80,  90,  96,  100,
                                                        110, 120, 125, 150, 200, 250, 300 };
constexpr int kDefaultResolutionEntry = 5; // "96"
constexpr std::array<std::int32_t, 5> kQualities = { 90, 80, 75, 60, 45 };
constexpr std::array<std::int32_t, 4> kBmpColours = { 2, 16, 256, kTrueColourCount };
constexpr int kGifEntries = 8;
constexpr std::int32_t kJpegDefaultQuality = 75;

} // namespace

ResolutionChoices ResolutionEntries(std::int32_t current)
{
    ResolutionChoices choices;
    choices.values.assign(kResolutions.begin(), kResolutions.end());
    choices.selected = kDefaultResolutionEntry;
    if (current <= 0)
        return choices;
    auto at = std::lower_bound(choices.values.begin(), choices.values.end(), current);
    choices.selected = static_cast<int>(at - choices.values.begin());
    if (at == choices.values.end() || *at != current)
        choices.values.insert(at, current);
    return choices;
}

std::optional<std::int32_t> ParseResolution(std::string_view text)
{
    if (!IsNumberText(text))
        return std::nullopt;
    std::size_t i = text[0] == '+' ? 1 : 0;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), INT32_MAX);
    if (value == 0)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t JpegQualityOfEntry(int entry)
{
    return kQualities[static_cast<std::size_t>(std::clamp(entry, 0, int(kQualities.size()) - 1))];
}

std::int32_t GifColoursOfEntry(int entry)
{
    return std::int32_t(1) << (std::clamp(entry, 0, kGifEntries - 1) + 1);
}

std::int32_t BmpColoursOfEntry(int entry)
{
    return kBmpColours[static_cast<std::size_t>(std::clamp(entry, 0, int(kBmpColours.size()) - 1))];
}

int JpegEntryOf(std::int32_t quality)
{
    for (std::size_t i = 0; i < kQualities.size(); ++i)
        if (kQualities[i] == quality)
            return static_cast<int>(i);
    return kDefaultQualityEntry;
}

int GifEntryOf(std::int32_t colours)
{
    int entry = 0;
    while (entry < kGifEntries - 1 && GifColoursOfEntry(entry) < colours)
        ++entry;
    return entry;
}

int BmpEntryOf(std::int32_t colours)
{
    return colours <= 2 ? 0 : colours <= 16 ? 1 : colours <= 256 ? 2 : 3;
}

SaveOptions InitialSaveOptions(const ImageInfo &info, bool infoValid)
{
    SaveOptions options;
    options.format = infoValid ? info.format : 0;
    const std::int32_t count = ShownColourCount(info, nullptr);
    switch (static_cast<ImageFormat>(options.format)) {
    case ImageFormat::Gif:
        options.colours = count;
        break;
    case ImageFormat::Bmp:
        options.colours = count < 3 ? 2 : count < 17 ? 16 : count < 257 ? 256 : kTrueColourCount;
        break;
    case ImageFormat::Png:
        options.colours = kTrueColourCount;
        break;
    default:
        options.colours = kJpegDefaultQuality;
        break;
    }
    const bool gif = options.format == static_cast<std::int32_t>(ImageFormat::Gif);
    options.xResolution = gif ? -1 : info.xResolution;
    options.yResolution = gif ? -1 : info.yResolution;
    return options;
}

std::string FormatExtension(std::int32_t format)
{
    switch (static_cast<ImageFormat>(format)) {
    case ImageFormat::Jpeg:
        return ".jpg";
    case ImageFormat::Gif:
        return ".gif";
    case ImageFormat::Bmp:
        return ".bmp";
    case ImageFormat::Png:
        return ".png";
    default:
        return {};
    }
}

std::string DestinationName(std::string_view fileName, std::string_view appendage,
                            std::int32_t format)
{
    // fileName is a name of the folder, never a path: a ':' in it is part of the name.
    const std::string_view title = fileName.substr(0, fileName.rfind('.'));
    return std::string(title) + std::string(appendage) + FormatExtension(format);
}
