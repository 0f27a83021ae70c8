// The arithmetic and texts of the information pages, as one table each.
#include "sheets/info_texts.h"

#include "tests/platform/scoped_env.h"

#include <ctime>
#include <gtest/gtest.h>

namespace {

TEST(InfoTexts, SizePageValues)
{
    struct Row
    {
        const char *label;
        std::int32_t width, height, xdpi, ydpi;
        bool inches;
        bool known;
        const char *horizontal, *vertical, *printedWidth, *printedHeight;
    } rows[] = {
        { "640 x 480 at 72 dpi, inches", 640, 480, 72, 72, true, true, "72", "72", "8.8", "6.6" },
        { "640 x 480 at 72 dpi, centimetres", 640, 480, 72, 72, false, true, "28", "28", "22.5",
          "16.9" },
        { "tenths are cut, not rounded", 100, 100, 300, 300, false, true, "118", "118", "0.8",
          "0.8" },
        { "exact inches", 720, 144, 72, 144, true, true, "72", "144", "10.0", "1.0" },
        // Exact tenths read exactly; anything below them is still cut.
        { "2.3 and 3.3 inches", 230, 330, 100, 100, true, true, "100", "100", "2.3", "3.3" },
        { "2.29 and 3.39 inches", 229, 339, 100, 100, true, true, "100", "100", "2.2", "3.3" },
        { "25.4 and 2.5 cm", 1000, 99, 100, 100, false, true, "39", "39", "25.4", "2.5" },
        { "huge picture", 2000000000, 1, 1, 1, true, true, "1", "1", "2000000000.0", "1.0" },
        { "no resolution", 640, 480, -1, -1, true, false, "N/A", "N/A", "N/A", "N/A" },
        // Division by a zero or missing vertical resolution would print nonsense.
        { "zero resolution", 640, 480, 0, 0, false, false, "N/A", "N/A", "N/A", "N/A" },
        { "vertical missing", 640, 480, 72, -1, true, false, "N/A", "N/A", "N/A", "N/A" },
    };

    for (const Row &row : rows) {
        const OutputSizeTexts texts =
                OutputSize(row.width, row.height, row.xdpi, row.ydpi, row.inches);
        EXPECT_EQ(texts.known, row.known) << row.label;
        EXPECT_EQ(texts.horizontal, row.horizontal) << row.label;
        EXPECT_EQ(texts.vertical, row.vertical) << row.label;
        EXPECT_EQ(texts.width, row.printedWidth) << row.label;
        EXPECT_EQ(texts.height, row.printedHeight) << row.label;
    }
}

// A date as the pages show it, in UTC whatever the machine's zone.
std::string UtcDateText(FileTime time)
{
    std::string text;
    {
        ScopedEnv utc("TZ", std::string("UTC"));
        tzset();
        text = DateText(time);
    }
    tzset();
    return text;
}

TEST(InfoTexts, FieldTexts)
{
    const std::string names = "BMP|GIF|JPEG";

    struct Row
    {
        std::string got;
        std::string wanted;
    } rows[] = {
        { VersionText(6, 1), "6.1" },
        { VersionText(6, 10), "6.10" },
        { VersionText(5, 4), "5.4" },
        { ProcessorTypeName(2577), "STRONGARM" },
        { ProcessorTypeName(586), "PENTIUM" },
        { ProcessorTypeName(0), "Unknown" },
        { PlatformName(1, 0), "Windows 95" },
        { PlatformName(3, 0), "Windows CE" },
        { PlatformName(7, 0), "Unknown" },
        { TypeText(3, names), "GIF" },
        { TypeText(2, names), "JPEG" },
        { TypeText(0, names), "BMP" }, // no description
        { TypeText(4, names), "PNG" }, // not in the list: it names itself
        { TypeText(10, names), "WEBP" },
        { TypeText(12, names), "AVIF" },
        { TypeText(5, names), "BMP" }, // recognised but refused formats too
        { CountText(0), "0" },
        { CountText(16777216), "16.78 M" }, // hundredths rounded
        { ByteSizeText(5ull << 40), "5242880 MB" }, // units stop at mega
        { DateText(0), "N/A" },
        { UtcDateText(FileTimeFromUnix(1700000000)), "11/14/23 22:13" },
        { ResolutionCaption(0), "Resolution (Pixel/Centimeter)" },
        { ResolutionCaption(1), "Resolution (Pixel/Inch)" },
        { OutputSizeCaption(1), "Output size (Inches)" },
        { ListEntry("a|b", 2), "" },
    };

    for (const Row &row : rows)
        EXPECT_EQ(row.got, row.wanted);
}

} // namespace
