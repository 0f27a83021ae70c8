#include "views/thumb_grid.h"

#include <gtest/gtest.h>

namespace {

constexpr Size kSmall{ 55, 71 };
constexpr std::int32_t kBarWidth = 13;

ThumbGrid laidOut(std::int32_t count, Size client, Size cell = kSmall, std::int32_t scrollY = 0)
{
    ThumbGrid grid;
    grid.count = count;
    grid.cell = cell;
    grid.layout(client, kBarWidth);
    grid.clientWidth = client.width;
    grid.scrollY = scrollY;
    return grid;
}

} // namespace

TEST(ThumbGridTest, LayoutTable)
{
    const struct
    {
        const char *name;
        std::int32_t count;
        Size client;
        int columns, rows, spare, lines, total, page;
    } rows[] = {
        // Five items fit in two rows of four: no scroll bar, no page size.
        { "fits", 5, { 240, 320 }, 4, 4, 36, 2, 178, 0 },
        // A full last row never needs the scroll bar's room.
        { "exact rows", 8, { 220, 142 }, 4, 2, 0, 2, 142, 0 },
        // Nine items, room for two rows of four: the scroll bar takes a column.
        { "scroll bar narrows", 9, { 220, 142 }, 3, 2, 0, 3, 213, 142 },
        // Still four columns when the bar fits beside them.
        { "bar fits beside", 9, { 240, 142 }, 4, 2, 0, 3, 213, 142 },
        // A full last row that still scrolls needs the bar's room as well.
        { "full rows scroll", 16, { 220, 142 }, 3, 2, 0, 6, 426, 142 },
        { "full rows scroll, bar fits", 16, { 240, 142 }, 4, 2, 0, 4, 284, 142 },
        { "no items", 0, { 240, 320 }, 0, 0, 0, 0, 0, 0 },
        { "narrower than a cell", 3, { 54, 320 }, 0, 0, 0, 0, 0, 0 },
        { "lower than a cell", 3, { 240, 70 }, 0, 0, 0, 0, 0, 0 },
        // One column that the scroll bar would take leaves no layout.
        { "bar takes the only column", 3, { 60, 71 }, 0, 0, 0, 0, 0, 0 },
    };

    for (const auto &row : rows) {
        ThumbGrid grid = laidOut(row.count, row.client);
        EXPECT_EQ(grid.columns, row.columns) << row.name;
        EXPECT_EQ(grid.rows, row.rows) << row.name;
        EXPECT_EQ(grid.spareHeight, row.spare) << row.name;
        EXPECT_EQ(grid.lines, row.lines) << row.name;
        EXPECT_EQ(grid.totalHeight, row.total) << row.name;
        EXPECT_EQ(grid.pageSize, row.page) << row.name;
        EXPECT_EQ(grid.lineSize, row.page ? kSmall.height : 0) << row.name;
    }
}

TEST(ThumbGridTest, CellsAreCentredAndScrolled)
{
    ThumbGrid grid = laidOut(10, { 240, 320 });
    EXPECT_EQ(grid.gridLeft(), 10); // (240 - 220 + 1) / 2
    EXPECT_EQ(grid.cellRect(0), (Rect{ 10, 0, 65, 71 }));
    EXPECT_EQ(grid.cellRect(5), (Rect{ 65, 71, 120, 142 }));

    ThumbGrid large = laidOut(40, { 240, 320 }, { 67, 87 }, 87);
    EXPECT_EQ(large.columns, 3);
    EXPECT_EQ(large.gridLeft(), 20); // (240 - 201 + 1) / 2
    EXPECT_EQ(large.cellRect(3), (Rect{ 20, 0, 87, 87 }));
    EXPECT_EQ(large.cellRect(0).top, -87);
}

TEST(ThumbGridTest, VisibleRangeCountsWholeRowsOnly)
{
    // 320 / 71 = 4 whole rows; the fifth, partly shown row is not visible.
    ThumbGrid grid = laidOut(30, { 240, 320 });
    EXPECT_EQ(grid.visibleRange(), std::make_pair(0, 15));
    grid.scrollY = 2 * 71;
    EXPECT_EQ(grid.visibleRange(), std::make_pair(8, 23));
    grid.scrollY = 4 * 71;
    EXPECT_EQ(grid.visibleRange(), std::make_pair(16, 29));
    EXPECT_EQ(laidOut(0, { 240, 320 }).visibleRange(), std::make_pair(-1, -1));
}

TEST(ThumbGridTest, EnsureVisibleTargets)
{
    // 30 items, 4 columns, 4 rows visible, 8 lines in all.
    const struct
    {
        std::int32_t scrollY;
        std::int32_t index;
        std::optional<std::int32_t> target;
    } rows[] = {
        { 0, 15, std::nullopt }, // already shown
        { 0, 16, 4 * 71 }, // row 4, but the last four lines end the view
        { 0, 29, 4 * 71 },       { 4 * 71, 3, 0 },
        { 4 * 71, 12, 3 * 71 },  { 0, 30, std::nullopt }, // out of range
        { 0, -1, std::nullopt },
    };

    for (const auto &row : rows) {
        ThumbGrid grid = laidOut(30, { 240, 320 }, kSmall, row.scrollY);
        EXPECT_EQ(grid.ensureVisibleTarget(row.index), row.target)
                << row.scrollY << " " << row.index;
    }
}

TEST(ThumbGridTest, HitTestRaisedAndFlatCells)
{
    // Cell 0 spans x 10..64, y 0..70; cell 1 starts at x 65.
    const struct
    {
        bool raised;
        bool innerOnly;
        int x, y;
        std::int32_t expected;
    } rows
            [] = {
                { true, false, 10, 0, 0 },
                { true, true, 10, 0, -1 }, // the left and top edges are never inner
                { true, true, 11, 1, 0 },
                { true, true, 64, 70, 0 }, // raised cells: right and bottom edges count
                { false, true, 12, 2, -1 }, // flat cells lose two more pixels on every side
                { false, true, 13, 3, 0 },
                { false, true, 62, 68, 0 },
                { false, true, 63, 68, -1 },
                { false, false, 63, 68, 0 },
                { true, false, 9, 10, -1 }, // left of the centred grid
                { true, false, 65, 10, 1 },
                { true, false, 100, 80, 5 }, // the last item
                { true, false, 120, 80, -1 }, // the place after it counts only with allowEnd
            };

    for (const auto &row : rows) {
        ThumbGrid grid = laidOut(6, { 240, 320 });
        grid.raisedCells = row.raised;
        EXPECT_EQ(grid.hitTest(row.x, row.y, row.innerOnly, false), row.expected)
                << row.raised << row.innerOnly << " " << row.x << "," << row.y;
    }
    ThumbGrid grid = laidOut(5, { 240, 320 });
    EXPECT_EQ(grid.hitTest(70, 80, false, false), -1);
    EXPECT_EQ(grid.hitTest(70, 80, false, true), 5); // the place after the last item
    EXPECT_EQ(grid.hitTest(130, 80, false, true), -1);
}

TEST(ThumbGridTest, ScrollAmountsSnapToRows)
{
    const struct
    {
        std::int32_t amount;
        std::int32_t snapped;
    } rows[] = {
        { 0, 0 },     { 71, 71 },  { -71, -71 }, { 34, 0 },      { 35, 71 }, { -34, 0 },
        { -35, -71 }, { 100, 71 }, { 110, 142 }, { -110, -142 }, { 16, 0 },
    };

    for (const auto &row : rows)
        EXPECT_EQ(SnapScrollAmount(row.amount, 71), row.snapped) << row.amount;
}
