#include "sheets/info_texts.h"

#include "app/image_item.h"
#include "codecs/image_description.h"
#include "codecs/image_header.h"
#include "common/message_format.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "common/text_format.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

constexpr double kInchesPerCentimetre = 0.3937007874015748;
// Lengths in centimetres are counted in hundredths: an inch is 254 of them, exactly.
constexpr std::int64_t kHundredthsOfCentimetrePerInch = 254;

std::string tableText(std::uint32_t id)
{
    std::string text;
    LoadString(id, text);
    return text;
}

// numerator / denominator with the whole part and the first decimal digit, both truncated: 8.88
// reads 8.8. Integer arithmetic keeps exact values exact: in floating point, 230 / 100 is a hair
// below 2.3, and its tenth digit would come out one too low.
std::string tenthsText(std::int64_t numerator, std::int64_t denominator)
{
    const std::int64_t tenths = numerator * 10 / denominator;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%lli.%.1lli", static_cast<long long>(tenths / 10),
                  static_cast<long long>(tenths % 10));
    return buffer;
}

} // namespace

PictureFacts FactsOf(const ImageItem &item)
{
    PictureFacts facts;
    facts.fileName = item.fileName;
    facts.fileSize = item.fileSize;
    facts.lastWriteTime = item.lastWriteTime;
    const bool valid = item.has(ItemFlag::DescriptionValid);
    // The palette of the decoded picture counts when the file has no global one.
    const ImagePalette *loaded = nullptr;
    if (item.has(ItemFlag::ViewCached) && !item.frames.empty() && item.frames.front())
        loaded = item.frames.front()->image.palette;
    facts.colours = ColoursText(item.info, loaded, valid);
    if (!valid)
        return facts;
    facts.format = item.info.format;
    facts.width = item.info.width;
    facts.height = item.info.height;
    facts.xResolution = item.info.xResolution;
    facts.yResolution = item.info.yResolution;
    return facts;
}

std::string ListEntry(std::string_view list, int index)
{
    for (int i = 0; i < index; ++i) {
        const std::size_t bar = list.find('|');
        if (bar == std::string_view::npos)
            return {};
        list.remove_prefix(bar + 1);
    }
    return std::string(list.substr(0, list.find('|')));
}

std::string UnknownText()
{
    return tableText(Msg::UnknownText);
}

std::string NotAvailableText()
{
    return tableText(Msg::NotAvailable);
}

std::string TypeText(std::int32_t format, std::string_view formatNames)
{
    // The names list holds the three formats the program first read; later ones name
    // themselves.
    for (ImageFormat later :
         { ImageFormat::Png, ImageFormat::Webp, ImageFormat::Heif, ImageFormat::Avif }) {
        if (format == static_cast<std::int32_t>(later))
            return FormatName(format);
    }
    int index = 0;
    if (format == static_cast<std::int32_t>(ImageFormat::Gif))
        index = 1;
    else if (format == static_cast<std::int32_t>(ImageFormat::Jpeg))
        index = 2;
    return ListEntry(formatNames, index);
}

std::string ColoursText(const ImageInfo &info, const ImagePalette *framePalette, bool valid)
{
    if (!valid)
        return CountText(0);
    const std::int32_t count = ShownColourCount(info, framePalette);
    if (count == kGrayscaleColourCount)
        return tableText(Msg::Grayscale);
    return CountText(count);
}

std::string CountText(std::int64_t count)
{
    return FormatSize(count, 1000, false);
}

std::string ByteSizeText(std::uint64_t bytes)
{
    // Sizes beyond the signed range do not occur; they are held at its top rather than wrapped.
    const auto value = static_cast<std::int64_t>(std::min<std::uint64_t>(bytes, INT64_MAX));
    return FormatSize(value, 1024, true);
}

std::string DateText(FileTime time)
{
    if (time == 0)
        return NotAvailableText();
    return FormatDate(FileTimeToLocal(time));
}

OutputSizeTexts OutputSize(std::int32_t width, std::int32_t height, std::int32_t xdpi,
                           std::int32_t ydpi, bool inches)
{
    OutputSizeTexts texts;
    // A resolution of 0 or below on either axis cannot be divided by: the size is unknown.
    if (xdpi <= 0 || ydpi <= 0) {
        const std::string na = NotAvailableText();
        texts.horizontal = texts.vertical = texts.width = texts.height = na;
        return texts;
    }
    texts.known = true;
    if (inches) {
        texts.horizontal = std::to_string(xdpi);
        texts.vertical = std::to_string(ydpi);
        texts.width = tenthsText(width, xdpi);
        texts.height = tenthsText(height, ydpi);
    } else {
        texts.horizontal = std::to_string(static_cast<long>(xdpi * kInchesPerCentimetre + 0.5));
        texts.vertical = std::to_string(static_cast<long>(ydpi * kInchesPerCentimetre + 0.5));
        texts.width =
                tenthsText(width * kHundredthsOfCentimetrePerInch, xdpi * std::int64_t{ 100 });
        texts.height =
                tenthsText(height * kHundredthsOfCentimetrePerInch, ydpi * std::int64_t{ 100 });
    }
    return texts;
}

std::string ResolutionCaption(int unit)
{
    return FormatMessage(tableText(Msg::ResolutionCaption),
                         { ListEntry(tableText(Msg::ResolutionUnitList), unit) });
}

std::string OutputSizeCaption(int unit)
{
    return FormatMessage(tableText(Msg::OutputSizeCaption),
                         { ListEntry(tableText(Msg::SizeUnitList), unit) });
}

std::string VersionText(int major, int minor)
{
    return std::to_string(major) + '.' + std::to_string(minor);
}

std::string ProcessorTypeName(int type)
{
    switch (type) {
    case 386:
        return "386";
    case 403:
        return "PPC 403";
    case 486:
        return "486";
    case 586:
        return "PENTIUM";
    case 1824:
        return "ARM 720";
    case 2577:
        return "STRONGARM";
    case 4000:
        return "MIPS R4000";
    case 10003:
        return "SH3";
    case 10005:
        return "SH4";
    default:
        return UnknownText();
    }
}

std::string PlatformName(int platformId, int minorVersion)
{
    switch (platformId) {
    case 0:
        return "Win32s";
    case 1:
        return minorVersion != 0 ? "Windows 98" : "Windows 95";
    case 2:
        return "Windows NT";
    case 3:
        return "Windows CE";
    default:
        return UnknownText();
    }
}
