#include "codecs/exif_facts.h"

#include "codecs/exif_layout.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <libexif/exif-data.h>
#include <libexif/exif-log.h>
#include <memory>
#include <optional>

namespace {

// What the library reported while parsing: any damage it calls so outside a maker note (whose
// formats are the makers' own and often bent) makes the whole block untrustworthy. The library
// passes over truncation quietly; the block's layout is checked before it is parsed.
struct ParseReport
{
    bool damaged = false;
};

void noteLog(ExifLog *, ExifLogCode code, const char *domain, const char *, va_list, void *data)
{
    auto *report = static_cast<ParseReport *>(data);
    const bool makerNote = domain && std::strncmp(domain, "ExifMnote", 9) == 0;
    if ((code == EXIF_LOG_CODE_CORRUPT_DATA && !makerNote) || code == EXIF_LOG_CODE_NO_MEMORY)
        report->damaged = true;
}

struct DataDeleter
{
    void operator()(ExifData *data) const { exif_data_unref(data); }
};

struct LogDeleter
{
    void operator()(ExifLog *log) const { exif_log_unref(log); }
};

// Reads one block's entries with their formats checked before any value is taken.
class Block
{
public:
    explicit Block(ExifData *exifData) : data(exifData), order(exif_data_get_byte_order(exifData))
    { }

    // An entry of ifd with the given format and at least count values, else none.
    const ExifEntry *entry(ExifIfd ifd, ExifTag tag, ExifFormat format, unsigned count) const
    {
        const ExifEntry *found = exif_content_get_entry(data->ifd[ifd], tag);
        if (!found || !found->data || found->format != format || found->components < count)
            return nullptr;
        const unsigned long needed = exif_format_get_size(format) * found->components;
        return found->size >= needed ? found : nullptr;
    }

    // An ASCII value without trailing blanks; control characters (a tab would split a line of
    // the command-line tool) become spaces. Empty when missing.
    std::string text(ExifIfd ifd, ExifTag tag) const
    {
        const ExifEntry *found = entry(ifd, tag, EXIF_FORMAT_ASCII, 1);
        if (!found)
            return {};
        std::string value(reinterpret_cast<const char *>(found->data),
                          strnlen(reinterpret_cast<const char *>(found->data), found->size));
        for (char &c : value) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                c = ' ';
        }
        while (!value.empty() && value.back() == ' ')
            value.pop_back();
        return value;
    }

    // The index-th rational of an entry as a real number; none when missing or divided by 0.
    std::optional<double> rational(ExifIfd ifd, ExifTag tag, unsigned index = 0) const
    {
        const ExifEntry *found = entry(ifd, tag, EXIF_FORMAT_RATIONAL, index + 1);
        if (!found)
            return std::nullopt;
        ExifRational value = exif_get_rational(found->data + 8 * index, order);
        if (value.denominator == 0)
            return std::nullopt;
        return static_cast<double>(value.numerator) / value.denominator;
    }

    std::optional<ExifRational> rawRational(ExifIfd ifd, ExifTag tag) const
    {
        const ExifEntry *found = entry(ifd, tag, EXIF_FORMAT_RATIONAL, 1);
        if (!found)
            return std::nullopt;
        return exif_get_rational(found->data, order);
    }

    std::optional<unsigned> shortValue(ExifIfd ifd, ExifTag tag) const
    {
        const ExifEntry *found = entry(ifd, tag, EXIF_FORMAT_SHORT, 1);
        if (!found)
            return std::nullopt;
        return exif_get_short(found->data, order);
    }

private:
    ExifData *data;
    ExifByteOrder order;
};

std::string printed(const char *format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// A number with at most one decimal, the decimal left out when it is 0: "50", "4.3".
std::string oneDecimal(double value)
{
    std::string text = printed("%.1f", value);
    if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0)
        text.resize(text.size() - 2);
    return text;
}

// "2024:05:17 14:03:22" as "2024-05-17 14:03:22"; a blank or malformed stamp is no date.
std::string dateText(std::string stamp)
{
    if (stamp.size() < 19 || stamp[4] != ':' || stamp[7] != ':' || stamp[10] != ' ')
        return {};
    for (std::size_t i : { 0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18 }) {
        if (stamp[i] < '0' || stamp[i] > '9')
            return {};
    }
    stamp[4] = '-';
    stamp[7] = '-';
    stamp.resize(19);
    return stamp;
}

// Short exposures as the fraction photographers read ("1/125 s"), long ones in seconds.
std::string exposureText(const ExifRational &time)
{
    if (time.numerator == 0 || time.denominator == 0)
        return {};
    const double seconds = static_cast<double>(time.numerator) / time.denominator;
    if (seconds >= 1.0)
        return oneDecimal(seconds) + " s";
    return printed("1/%.0f s", 1.0 / seconds);
}

std::string apertureText(const Block &block)
{
    if (std::optional<double> number = block.rational(EXIF_IFD_EXIF, EXIF_TAG_FNUMBER);
        number && *number > 0)
        return printed("f/%.1f", *number);
    // The APEX value: f-number = 2 ^ (value / 2).
    if (std::optional<double> apex = block.rational(EXIF_IFD_EXIF, EXIF_TAG_APERTURE_VALUE)) {
        // No lens stops down beyond f/1000; a larger value is a broken entry, not a fact.
        const double number = std::pow(2.0, *apex / 2.0);
        if (number <= 1000.0)
            return printed("f/%.1f", number);
    }
    return {};
}

std::string flashText(unsigned flash)
{
    if (flash & 0x20)
        return "No flash function";
    std::string text = (flash & 0x1) ? "Fired" : "Did not fire";
    const unsigned mode = (flash >> 3) & 0x3;
    if (mode == 1)
        text += ", compulsory";
    else if (mode == 3)
        text += ", auto";
    if (flash & 0x40)
        text += ", red-eye reduction";
    return text;
}

std::string orientationText(unsigned orientation)
{
    static const char *const names[] = {
        "Normal",
        "Mirror horizontal",
        "Rotate 180",
        "Mirror vertical",
        "Mirror horizontal and rotate 270 CW",
        "Rotate 90 CW",
        "Mirror horizontal and rotate 90 CW",
        "Rotate 270 CW",
    };
    if (orientation < 1 || orientation > 8)
        return {};
    return names[orientation - 1];
}

// Degrees, minutes and seconds as signed decimal degrees; none unless all three are readable.
std::optional<double> coordinate(const Block &block, ExifTag valueTag, ExifTag refTag,
                                 char negativeRef)
{
    std::optional<double> parts[3];
    for (unsigned i = 0; i < 3; ++i) {
        parts[i] = block.rational(EXIF_IFD_GPS, valueTag, i);
        if (!parts[i])
            return std::nullopt;
    }
    double degrees = *parts[0] + *parts[1] / 60.0 + *parts[2] / 3600.0;
    const std::string ref = block.text(EXIF_IFD_GPS, refTag);
    if (!ref.empty() && ref[0] == negativeRef)
        degrees = -degrees;
    return degrees;
}

std::string positionText(const Block &block)
{
    // The GPS tags share their numbers with the interoperability tags; they are looked up in
    // the GPS directory only.
    const auto latitude = coordinate(block, static_cast<ExifTag>(EXIF_TAG_GPS_LATITUDE),
                                     static_cast<ExifTag>(EXIF_TAG_GPS_LATITUDE_REF), 'S');
    const auto longitude = coordinate(block, static_cast<ExifTag>(EXIF_TAG_GPS_LONGITUDE),
                                      static_cast<ExifTag>(EXIF_TAG_GPS_LONGITUDE_REF), 'W');
    if (!latitude || !longitude || std::fabs(*latitude) > 90 || std::fabs(*longitude) > 180)
        return {};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6f, %.6f", *latitude, *longitude);
    return buffer;
}

void add(std::vector<ExifFact> &facts, const char *name, std::string value)
{
    if (!value.empty())
        facts.push_back({ name, std::move(value) });
}

std::vector<ExifFact> factsOf(const Block &block)
{
    std::vector<ExifFact> facts;
    add(facts, "Camera make", block.text(EXIF_IFD_0, EXIF_TAG_MAKE));
    add(facts, "Camera model", block.text(EXIF_IFD_0, EXIF_TAG_MODEL));
    std::string taken = dateText(block.text(EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL));
    add(facts, "Date taken",
        taken.empty() ? dateText(block.text(EXIF_IFD_0, EXIF_TAG_DATE_TIME)) : taken);
    if (auto time = block.rawRational(EXIF_IFD_EXIF, EXIF_TAG_EXPOSURE_TIME))
        add(facts, "Exposure time", exposureText(*time));
    add(facts, "Aperture", apertureText(block));
    if (auto iso = block.shortValue(EXIF_IFD_EXIF, EXIF_TAG_ISO_SPEED_RATINGS); iso && *iso > 0)
        add(facts, "ISO speed", std::to_string(*iso));
    if (auto focal = block.rational(EXIF_IFD_EXIF, EXIF_TAG_FOCAL_LENGTH); focal && *focal > 0)
        add(facts, "Focal length", oneDecimal(*focal) + " mm");
    if (auto flash = block.shortValue(EXIF_IFD_EXIF, EXIF_TAG_FLASH))
        add(facts, "Flash", flashText(*flash));
    if (auto orientation = block.shortValue(EXIF_IFD_0, EXIF_TAG_ORIENTATION))
        add(facts, "Orientation", orientationText(*orientation));
    add(facts, "GPS position", positionText(block));
    return facts;
}

} // namespace

namespace {

// Parses an intact block and hands it to use; a block the library calls damaged gives fallback.
template <typename Result, typename Use>
Result withBlock(const unsigned char *bytes, std::size_t size, Result fallback, Use &&use)
{
    if (!bytes || size > 0xFFFFFFFFu - 6 || !ExifLayoutIntact(bytes, size))
        return fallback;
    // The library finds the TIFF data after the "Exif" signature only, which WebP and HEIF files
    // leave out.
    std::vector<unsigned char> led;
    if (size < 6 || std::memcmp(bytes, "Exif\0\0", 6) != 0) {
        led.assign({ 'E', 'x', 'i', 'f', 0, 0 });
        led.insert(led.end(), bytes, bytes + size);
        bytes = led.data();
        size = led.size();
    }
    // Outlives the library's objects, which may report until they are freed.
    ParseReport report;
    std::unique_ptr<ExifData, DataDeleter> data(exif_data_new());
    std::unique_ptr<ExifLog, LogDeleter> log(exif_log_new());
    if (!data || !log)
        return fallback;
    // The block is read as it stands: no entries are made up for tags it lacks.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_log_set_func(log.get(), noteLog, &report);
    exif_data_log(data.get(), log.get());
    exif_data_load_data(data.get(), bytes, static_cast<unsigned int>(size));
    if (report.damaged)
        return fallback;
    return use(Block(data.get()));
}

} // namespace

std::vector<ExifFact> ExifFactsFromBlock(const unsigned char *bytes, std::size_t size)
{
    return withBlock(bytes, size, std::vector<ExifFact>{},
                     [](const Block &block) { return factsOf(block); });
}

unsigned ExifOrientationFromBlock(const unsigned char *bytes, std::size_t size)
{
    return withBlock(bytes, size, 1u, [](const Block &block) {
        const std::optional<unsigned> value = block.shortValue(EXIF_IFD_0, EXIF_TAG_ORIENTATION);
        return value && *value >= 1 && *value <= 8 ? *value : 1u;
    });
}

std::vector<ExifFact> ReadExifFacts(const std::string &hostPath)
{
    const std::vector<unsigned char> block = ReadExifSegment(hostPath);
    return ExifFactsFromBlock(block.data(), block.size());
}
