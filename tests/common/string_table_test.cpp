#include "common/string_table.h"

#include "common/message_format.h"
#include "common/string_ids.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::size_t countOf(std::string_view text, char c)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

} // namespace

// The lookup is a binary search, so the table must stay strictly ascending.
TEST(StringTableTest, IdsStrictlyAscending)
{
    ASSERT_GT(StringTableSize(), 0u);
    for (std::size_t i = 1; i < StringTableSize(); ++i)
        EXPECT_LT(StringTableId(i - 1), StringTableId(i)) << "at index " << i;
    for (std::size_t i = 0; i < StringTableSize(); ++i)
        EXPECT_TRUE(FindString(StringTableId(i))) << StringTableId(i);
}

// Texts whose escapes in the table are easy to get wrong: backslashes, quotes, line breaks.
TEST(StringTableTest, EscapedTexts)
{
    struct Row
    {
        std::uint32_t id;
        std::string expected;
    };

    const std::vector<Row> rows = {
        { Msg::DefaultFolder, "\\My Documents\\" },
        { Msg::IllegalName,
          "Illegal file or folder name.\nCannot contains characters such as \\/:*?\"<>|." },
        { Msg::DocumentTemplate, "Vistrel\n\nVistrel\n\norna\nVistrel.Document\nVistrel Document" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.id);
        ASSERT_TRUE(FindString(row.id));
        EXPECT_EQ(*FindString(row.id), row.expected);
    }
    EXPECT_EQ(countOf(*FindString(Msg::FolderContentsQuestion), '\n'), 2u);
}

TEST(StringTableTest, ListsSplitIntoTheirEntries)
{
    struct Row
    {
        std::uint32_t id;
        std::size_t separators;
    };

    const std::vector<Row> rows = {
        { Msg::FormatNames, 2 },           { Msg::CaptureFormatList, 3 },
        { Msg::SizeUnitList, 1 },          { Msg::ResolutionUnitList, 1 },
        { Msg::ColorOptimizationList, 4 }, { Msg::JpegQualityList, 5 },
        { Msg::GifColorList, 8 },          { Msg::BmpColorList, 3 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.id);
        ASSERT_TRUE(FindString(row.id));
        EXPECT_EQ(countOf(*FindString(row.id), '|'), row.separators);
    }
}

TEST(StringTableTest, LoadString)
{
    std::string out = "untouched";
    EXPECT_FALSE(LoadString(0, out));
    EXPECT_FALSE(LoadString(99999, out));
    EXPECT_EQ(out, "untouched");
    ASSERT_TRUE(LoadString(Msg::ReplaceExistingFile, out, 11));
    EXPECT_EQ(out, "Destination");
    ASSERT_TRUE(LoadString(Msg::AppTitle, out));
    EXPECT_EQ(out, "Vistrel");
}

TEST(MessageFormatTest, PrintfStyle)
{
    struct Row
    {
        const char *format;
        MessageArgs args;
        const char *expected;
    };

    const std::vector<Row> rows = {
        { "%lu:%lu:%lu", { 36007ULL, 3000ULL, 40ULL }, "36007:3000:40" },
        { "%d dpi", { 96LL }, "96 dpi" },
        { "%.2d/%.2d", { 3LL, 7LL }, "03/07" },
        { "&%d %s", { 2LL, std::string("\\Pictures") }, "&2 \\Pictures" },
        { "'%s'", { 12LL }, "'12'" },
        { "%d", { std::string("42") }, "42" },
        { "%x %X %o %c", { 255LL, 255LL, 8LL, 65LL }, "ff FF 10 A" },
        { "%5s|%-3d|", { std::string("ab"), 7LL }, "   ab|7  |" },
        { "100%% sure", {}, "100% sure" },
        { "%s and %s", { std::string("a") }, "a and " }, // a missing argument is empty
        { "%d items", {}, "0 items" },
        { "%f stays", { 1LL }, "%f stays" },
        { "ends in %", {}, "ends in %" },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.format);
        EXPECT_EQ(FormatMessage(row.format, row.args), row.expected);
    }
}
