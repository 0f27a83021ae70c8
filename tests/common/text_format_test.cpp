#include "common/text_format.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

TEST(FormatSizeTest, CountsAndBytes)
{
    struct Row
    {
        std::int64_t value;
        int base;
        bool byteSuffix;
        const char *expected;
    };

    const std::vector<Row> rows = {
        { 1023, 1024, true, "1023 B" },
        { 1536, 1024, true, "1.50 KB" },
        { 2048, 1024, false, "2 K" },
        { 2043, 1024, false, "2 K" }, // hundredths round up to 100 and carry
        { 3000000, 1000, false, "3 M" },
        { 1234567, 1000, false, "1.23 M" },
        { 0, 1024, true, "0 B" },
        { 1024, 1024, false, "1 K" },
        { 1034, 1024, false, "1.01 K" }, // one hundredth keeps its leading zero
        { 1048575, 1024, false, "1024 K" },
        { 1048576, 1024, true, "1 MB" },
        { 1572864, 1024, true, "1.50 MB" },
        { 5368709120, 1024, true, "5120 MB" }, // no unit above mega
        { 0, 1000, false, "0" },
        { 999999, 1000, true, "999999" }, // small counts never get a suffix
        { -999999, 1000, false, "-999999" },
        { 1000000, 1000, true, "1 MB" },
        { 5050000, 1000, false, "5.05 M" },
        { 1999999, 1000, false, "2 M" },
        { -1234567, 1000, false, "-1.23 M" },
        { 100, 10, false, "" },
        { 100, 0, true, "" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.value) + " base " + std::to_string(row.base));
        EXPECT_EQ(FormatSize(row.value, row.base, row.byteSuffix), row.expected);
    }
}

TEST(FormatSizeTest, ExtremesDoNotOverflow)
{
    EXPECT_EQ(FormatSize(std::numeric_limits<std::int64_t>::min(), 1000, false).substr(0, 14),
              "-9223372036854");
    EXPECT_EQ(FormatSize(std::numeric_limits<std::int64_t>::max(), 1024, true).substr(0, 10),
              "8796093022");
}

TEST(FormatDateTest, TwoDigitYears)
{
    struct Row
    {
        DateTime date;
        const char *expected;
    };

    const std::vector<Row> rows = {
        { { 2001, 3, 7, 14, 5, 0 }, "03/07/01 14:05" },
        { { 1999, 12, 31, 23, 59, 59 }, "12/31/99 23:59" },
        { { 2000, 1, 1, 0, 0, 0 }, "01/01/00 00:00" },
        { { 2010, 10, 10, 9, 7, 30 }, "10/10/10 09:07" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(FormatDate(row.date), row.expected);
    }
}

TEST(TextFormatTest, ShortenText)
{
    struct Row
    {
        const char *text;
        std::size_t maxChars;
        bool keepStart;
        const char *expected;
    };

    const std::vector<Row> rows = {
        { "abcdefghij", 8, true, "abcde..." },
        { "abcdefghij", 8, false, "...fghij" },
        { "abcdefgh", 8, true, "abcdefgh" },
        { "", 0, false, "" },
        // Nine two-byte characters: the cut counts characters, not bytes.
        { "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", 8, true,
          "\u00e9\u00e9\u00e9\u00e9\u00e9..." },
        { "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", 8, false,
          "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9" },
        { "abcdef", 3, false, "..." },
        { "abcdef", 2, true, ".." },
        { "abcdef", 0, true, "" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.text) + " / " + std::to_string(row.maxChars));
        EXPECT_EQ(ShortenText(row.text, row.maxChars, row.keepStart), row.expected);
    }
}

TEST(TextFormatTest, IsNumberText)
{
    for (const char *valid : { "+123", "0", "12#*", "*#", "+" })
        EXPECT_TRUE(IsNumberText(valid)) << valid;
    for (const char *invalid : { "", "1+2", "++1", "-1", "12a", " 1", "1 ", "\u0661" })
        EXPECT_FALSE(IsNumberText(invalid)) << invalid;
}
