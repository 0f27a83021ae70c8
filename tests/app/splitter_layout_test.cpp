#include "app/splitter_layout.h"

#include "app/app_settings.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

// A 240 x 320 screen stacks its panes; small thumbnails are 71 high and the rows have no allowance.
constexpr SplitAxis kSmallRows{ 71, 0 };
// Side by side, small thumbnails are 55 wide plus room for a 16-pixel scroll bar.
constexpr SplitAxis kSmallColumns{ 55, 16 };

std::optional<PaneSizes> Thumbnail(int client, SplitAxis axis, std::optional<int> wanted)
{
    return LayoutPanes(ViewMode::Thumbnail, client, axis, wanted);
}

} // namespace

TEST(SplitterLayoutTest, ThumbnailPaneHoldsWholeSteps)
{
    const struct
    {
        const char *name;
        int client;
        SplitAxis axis;
        std::optional<int> wanted;
        PaneSizes expected;
    } rows[] = {
        { "one row", 320, kSmallRows, 71, { 241, 71 } },
        { "two rows", 320, kSmallRows, 142, { 170, 142 } },
        { "three rows", 320, kSmallRows, 213, { 99, 213 } },
        { "100 rounds down (29 < 35)", 320, kSmallRows, 100, { 241, 71 } },
        { "110 rounds up (39 >= 35)", 320, kSmallRows, 110, { 170, 142 } },
        { "more than fits", 320, kSmallRows, 1000, { 28, 284 } },
        { "collapsed", 320, kSmallRows, 0, { 312, 0 } },
        { "never sized: half of 312 is 156", 320, kSmallRows, std::nullopt, { 170, 142 } },
        { "rounding up would pass the room", 258, kSmallRows, 249, { 37, 213 } },
        { "less than one step of room", 60, kSmallRows, 71, { 52, 0 } },
        { "client smaller than the bar", 5, kSmallRows, 71, { 0, 0 } },
        { "side by side: 142 rounds to 165", 320, kSmallColumns, 142, { 131, 181 } },
        { "side by side: never sized", 320, kSmallColumns, std::nullopt, { 131, 181 } },
        { "side by side: collapsed gets no allowance", 320, kSmallColumns, 0, { 312, 0 } },
        { "side by side: all the room", 320, kSmallColumns, 999, { 21, 291 } },
    };

    for (const auto &row : rows) {
        const auto sizes = Thumbnail(row.client, row.axis, row.wanted);
        ASSERT_TRUE(sizes) << row.name;
        EXPECT_EQ(*sizes, row.expected) << row.name;
    }
}

TEST(SplitterLayoutTest, SelectAndFullScreenLayouts)
{
    const struct
    {
        const char *name;
        std::int32_t mode;
        int client;
        SplitAxis axis;
        std::optional<int> wanted;
        PaneSizes expected;
    } rows[] = {
        { "strip never sized shows one row",
          ViewMode::Select,
          320,
          kSmallRows,
          std::nullopt,
          { 71, 241 } },
        { "strip shown", ViewMode::Select, 320, kSmallRows, 71, { 71, 241 } },
        { "strip collapsed", ViewMode::Select, 320, kSmallRows, 0, { 0, 312 } },
        { "strip gets its allowance", ViewMode::Select, 320, kSmallColumns, 55, { 71, 241 } },
        { "strip that does not fit", ViewMode::Select, 70, kSmallRows, 71, { 0, 62 } },
        { "full screen", ViewMode::FullScreen, 320, kSmallRows, 71, { 320, 0 } },
    };

    for (const auto &row : rows) {
        const auto sizes = LayoutPanes(row.mode, row.client, row.axis, row.wanted);
        ASSERT_TRUE(sizes) << row.name;
        EXPECT_EQ(*sizes, row.expected) << row.name;
    }
    EXPECT_FALSE(LayoutPanes(ViewMode::Thumbnail, 320, SplitAxis{ 0, 16 }, 71));
    EXPECT_FALSE(LayoutPanes(0, 320, kSmallRows, 71));
}

TEST(SplitterLayoutTest, ThumbnailTapsCollapseAndComeBack)
{
    const PaneSizes oneRow{ 241, 71 };
    const SplitMoves both = PossibleMoves(ViewMode::Thumbnail, oneRow, kSmallRows);
    EXPECT_EQ(both, (SplitMoves{ true, true }));
    // Across a 240-pixel bar the right half shrinks the thumbnail pane, the left half grows it.
    EXPECT_EQ(ChooseMove(ViewMode::Thumbnail, both, 119, 240), SplitMove::TowardsFirst);
    EXPECT_EQ(ChooseMove(ViewMode::Thumbnail, both, 120, 240), SplitMove::TowardsSecond);

    const TapOutcome collapse =
            ApplyMove(ViewMode::Thumbnail, SplitMove::TowardsSecond, oneRow, kSmallRows);
    EXPECT_EQ(collapse.sizes, (PaneSizes{ 312, 0 }));
    EXPECT_EQ(collapse.stored, 0);
    EXPECT_EQ(Thumbnail(320, kSmallRows, collapse.stored), collapse.sizes);

    // Collapsed, the only move left brings one row back, whichever half is tapped.
    const SplitMoves left = PossibleMoves(ViewMode::Thumbnail, collapse.sizes, kSmallRows);
    EXPECT_EQ(left, (SplitMoves{ true, false }));
    EXPECT_EQ(ChooseMove(ViewMode::Thumbnail, left, 230, 240), SplitMove::TowardsFirst);
    const TapOutcome back =
            ApplyMove(ViewMode::Thumbnail, SplitMove::TowardsFirst, collapse.sizes, kSmallRows);
    EXPECT_EQ(back.sizes, oneRow);
    EXPECT_EQ(back.stored, 71);
}

// Growing the thumbnail pane tap by tap from nothing: every tap's sizes are exactly what the
// layout makes of the stored length, and the taps stop once the tree has less than a step.
TEST(SplitterLayoutTest, TapsAgreeWithTheLayoutUntilTheRoomRunsOut)
{
    const struct
    {
        SplitAxis axis;
        int taps;
    } rows[] = { { kSmallRows, 4 }, { kSmallColumns, 5 } };

    for (const auto &row : rows) {
        PaneSizes sizes = *Thumbnail(320, row.axis, 0);
        int taps = 0;
        while (PossibleMoves(ViewMode::Thumbnail, sizes, row.axis).towardsFirst) {
            const TapOutcome tap =
                    ApplyMove(ViewMode::Thumbnail, SplitMove::TowardsFirst, sizes, row.axis);
            ++taps;
            ASSERT_LE(taps, 10);
            sizes = *Thumbnail(320, row.axis, tap.stored);
            EXPECT_EQ(sizes.second, row.axis.step * taps + row.axis.allowance);
            EXPECT_EQ(sizes.first + sizes.second, 312);
        }
        EXPECT_EQ(taps, row.taps) << row.axis.step;
        // And back down to nothing by the same number of taps.
        while (PossibleMoves(ViewMode::Thumbnail, sizes, row.axis).towardsSecond) {
            const TapOutcome tap =
                    ApplyMove(ViewMode::Thumbnail, SplitMove::TowardsSecond, sizes, row.axis);
            --taps;
            sizes = *Thumbnail(320, row.axis, tap.stored);
            EXPECT_EQ(sizes.second, taps == 0 ? 0 : row.axis.step * taps + row.axis.allowance);
        }
        EXPECT_EQ(taps, 0) << row.axis.step;
    }
}

// The strip collapses and returns as one row, also when it carries an allowance: collapsing to the
// allowance alone would lay out as a whole strip again.
TEST(SplitterLayoutTest, SelectViewStripCollapsesAndReturns)
{
    for (const SplitAxis axis : { kSmallRows, kSmallColumns }) {
        const PaneSizes shown = *LayoutPanes(ViewMode::Select, 320, axis, std::nullopt);
        const SplitMoves moves = PossibleMoves(ViewMode::Select, shown, axis);
        EXPECT_EQ(moves, (SplitMoves{ true, false }));
        const SplitMove collapse = ChooseMove(ViewMode::Select, moves, 230, 240);
        ASSERT_EQ(collapse, SplitMove::TowardsFirst);
        const TapOutcome hidden = ApplyMove(ViewMode::Select, collapse, shown, axis);
        EXPECT_EQ(LayoutPanes(ViewMode::Select, 320, axis, hidden.sizes.first),
                  (PaneSizes{ 0, 312 }))
                << axis.step;
        EXPECT_EQ(hidden.stored, 312);

        const PaneSizes collapsed{ 0, 312 };
        const SplitMove show = ChooseMove(ViewMode::Select,
                                          PossibleMoves(ViewMode::Select, collapsed, axis), 0, 240);
        ASSERT_EQ(show, SplitMove::TowardsSecond);
        const TapOutcome back = ApplyMove(ViewMode::Select, show, collapsed, axis);
        EXPECT_EQ(LayoutPanes(ViewMode::Select, 320, axis, back.sizes.first), shown) << axis.step;
    }
}

TEST(SplitterLayoutTest, NoMovesWithoutStepsOrInFullScreen)
{
    EXPECT_EQ(PossibleMoves(ViewMode::FullScreen, { 320, 0 }, kSmallRows), SplitMoves{});
    EXPECT_EQ(PossibleMoves(ViewMode::Thumbnail, { 241, 71 }, SplitAxis{}), SplitMoves{});
    EXPECT_EQ(ChooseMove(ViewMode::Thumbnail, SplitMoves{}, 0, 240), SplitMove::None);
    // A tree shorter than a step cannot give the thumbnails another row.
    EXPECT_EQ(PossibleMoves(ViewMode::Thumbnail, { 28, 284 }, kSmallRows),
              (SplitMoves{ false, true }));
}
