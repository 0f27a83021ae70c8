// The steps of Ctrl+wheel through the cell sizes.
#include "app/cell_sizes.h"

#include "app/app_settings.h"

#include <gtest/gtest.h>

namespace {

TEST(CellSizes, StepsKeepThreeByFourPicturesAndStopAtTheEnds)
{
    struct Row
    {
        std::uint16_t width, height;
        int steps;
        std::uint16_t newWidth, newHeight;
        bool changed;
    } rows[] = {
        { 55, 71, 1, 67, 87, true },      { 67, 87, 1, 97, 127, true },
        { 97, 127, 2, 193, 255, true },   { 193, 255, 5, 256, 339, true },
        { 256, 339, 1, 256, 339, false }, { 127, 167, -1, 97, 127, true },
        { 55, 71, -1, 55, 71, false },    { 150, 190, -1, 97, 127, true }, // 150: counts as 127
    };

    for (const Row &row : rows) {
        AppSettings settings;
        settings.prefs.cellWidth = row.width;
        settings.prefs.cellHeight = row.height;
        settings.ui.thumbViewSplit = static_cast<std::uint16_t>(2 * row.height + 5);
        EXPECT_EQ(StepCellSize(settings, row.steps), row.changed) << row.width;
        EXPECT_EQ(settings.prefs.cellWidth, row.newWidth) << row.width;
        EXPECT_EQ(settings.prefs.cellHeight, row.newHeight) << row.width;
        EXPECT_EQ((settings.prefs.cellWidth - 7) * 4, (settings.prefs.cellHeight - 7) * 3);
        // The split keeps its two whole rows.
        EXPECT_EQ(settings.ui.thumbViewSplit, row.changed ? 2 * row.newHeight : 2 * row.height + 5)
                << row.width;
    }
}

} // namespace
