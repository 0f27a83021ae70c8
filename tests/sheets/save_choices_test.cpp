#include "sheets/save_choices.h"

#include "image/image_info.h"

#include <gtest/gtest.h>

namespace {

TEST(SaveChoices, ResolutionListsTakeTheCurrentValue)
{
    struct Row
    {
        std::int32_t current;
        std::size_t count;
        int selected;
        std::int32_t shown;
    };

    const Row rows[] = {
        { 97, 15, 6, 97 }, // between 96 and 100
        { 96, 14, 5, 96 }, // a table value is not repeated
        { 400, 15, 14, 400 }, // past the table: appended
        { 59, 15, 0, 59 }, // before the table's first value
        { -1, 14, 5, 96 }, // none: 96
        { 0, 14, 5, 96 },
    };
    for (const Row &row : rows) {
        const ResolutionChoices choices = ResolutionEntries(row.current);
        EXPECT_EQ(choices.values.size(), row.count) << row.current;
        ASSERT_EQ(choices.selected, row.selected) << row.current;
        EXPECT_EQ(choices.values[std::size_t(choices.selected)], row.shown) << row.current;
        EXPECT_TRUE(std::is_sorted(choices.values.begin(), choices.values.end())) << row.current;
    }
}

TEST(SaveChoices, ResolutionTextIsANonzeroNumber)
{
    const std::pair<const char *, std::optional<std::int32_t>> rows[] = {
        { "96", 96 },
        { "+72", 72 },
        { "300", 300 },
        { "5#", 5 },
        { "96a", std::nullopt },
        { "0", std::nullopt },
        { "00", std::nullopt },
        { "", std::nullopt },
        { "-5", std::nullopt },
        { "#5", std::nullopt },
        { " 96", std::nullopt },
    };
    for (const auto &[text, value] : rows)
        EXPECT_EQ(ParseResolution(text), value) << '"' << text << '"';
}

TEST(SaveChoices, ListEntriesAndTheirValues)
{
    EXPECT_EQ(JpegQualityOfEntry(0), 90);
    EXPECT_EQ(JpegQualityOfEntry(4), 45);
    EXPECT_EQ(BmpColoursOfEntry(3), kTrueColourCount);
    for (int entry = 0; entry < 8; ++entry) {
        EXPECT_EQ(GifEntryOf(GifColoursOfEntry(entry)), entry);
        EXPECT_EQ(JpegEntryOf(JpegQualityOfEntry(entry % 5)), entry % 5);
    }
    for (int entry = 0; entry < 4; ++entry)
        EXPECT_EQ(BmpEntryOf(BmpColoursOfEntry(entry)), entry);
    // A count between two entries shows the one the writer's limit uses.
    EXPECT_EQ(GifEntryOf(100), 6);
    EXPECT_EQ(GifColoursOfEntry(GifEntryOf(100)), GifColourLimit(100));
    EXPECT_EQ(GifEntryOf(1000), 7);
}

TEST(SaveChoices, APictureStartsWithItsOwnFormatAndColours)
{
    struct Row
    {
        const char *name;
        std::int32_t format;
        std::int32_t colourCount;
        SaveOptions expected;
    };

    const Row rows[] = {
        { "jpeg", 2, kTrueColourCount, { 2, 72, 96, 75 } },
        { "gif", 3, 64, { 3, -1, -1, 64 } },
        { "bmp mono", 1, 2, { 1, 72, 96, 2 } },
        { "bmp 16", 1, 16, { 1, 72, 96, 16 } },
        { "bmp grey", 1, kGrayscaleColourCount, { 1, 72, 96, kTrueColourCount } },
        { "bmp 24", 1, kTrueColourCount, { 1, 72, 96, kTrueColourCount } },
        { "png", 4, 256, { 4, 72, 96, kTrueColourCount } },
    };
    for (const Row &row : rows) {
        ImageInfo info;
        info.format = row.format;
        info.colourCount = row.colourCount;
        info.xResolution = 72;
        info.yResolution = 96;
        const SaveOptions options = InitialSaveOptions(info, true);
        EXPECT_EQ(options.format, row.expected.format) << row.name;
        EXPECT_EQ(options.colours, row.expected.colours) << row.name;
        EXPECT_EQ(options.xResolution, row.expected.xResolution) << row.name;
        EXPECT_EQ(options.yResolution, row.expected.yResolution) << row.name;
    }
    ImageInfo unread;
    unread.format = 2;
    EXPECT_EQ(InitialSaveOptions(unread, false).format, 0);
}

TEST(SaveChoices, DestinationNameSwapsOnlyTheLastExtension)
{
    EXPECT_EQ(DestinationName("photo.jpg", "_c", 3), "photo_c.gif");
    EXPECT_EQ(DestinationName("a.b.bmp", "", 2), "a.b.jpg");
    EXPECT_EQ(DestinationName("noext", "_x", 1), "noext_x.bmp");
    EXPECT_EQ(DestinationName("shot.bmp", "", 4), "shot.png");
    // A host name may hold what other systems take for a drive or folder separator.
    EXPECT_EQ(DestinationName("x:y.jpg", "_c", 2), "x:y_c.jpg");
}

} // namespace
