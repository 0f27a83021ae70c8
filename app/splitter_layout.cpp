#include "app/splitter_layout.h"

#include "app/app_settings.h"

#include <algorithm>
#include <limits>

namespace {

// The largest whole number of steps that fits into room (0 when nothing fits).
int WholeSteps(int room, int step)
{
    return room <= 0 ? 0 : step * (room / step);
}

// Rounds a wanted thumbnail length to whole steps within room: to the nearer multiple, except that
// rounding up never goes past room. Half a step or more rounds up.
int RoundToSteps(int wanted, int room, int step)
{
    if (wanted >= room)
        return WholeSteps(room, step);
    if (wanted < 1)
        return 0;
    const int rest = wanted % step;
    if (rest == 0)
        return wanted;
    if (rest < step / 2)
        return wanted - rest;
    const int up = wanted + step - rest;
    return up > room ? wanted - rest : up;
}

} // namespace

int SplitLength(int clientLength)
{
    return std::max(0, clientLength - kSplitterBarWidth);
}

int ThumbnailPaneLength(std::optional<int> wanted, int length, SplitAxis axis)
{
    const int room = std::max(0, length - axis.allowance);
    // A pane that was never sized starts with half the room, rounded up.
    const int thumbs = RoundToSteps(wanted.value_or((room + 1) / 2), room, axis.step);
    return thumbs == 0 ? 0 : thumbs + axis.allowance;
}

int StripPaneLength(std::optional<int> wanted, int length, SplitAxis axis)
{
    const int want = wanted.value_or(axis.step);
    const int strip = axis.step + axis.allowance;
    const bool shown = want > 0 && want < length - axis.allowance && strip <= length;
    return shown ? strip : 0;
}

std::optional<PaneSizes> LayoutPanes(std::int32_t viewMode, int clientLength, SplitAxis axis,
                                     std::optional<int> wanted)
{
    if (axis.step <= 0)
        return std::nullopt;
    const int length = SplitLength(clientLength);
    switch (viewMode) {
    case ViewMode::FullScreen:
        return PaneSizes{ std::max(0, clientLength), 0 };
    case ViewMode::Select: {
        const int strip = StripPaneLength(wanted, length, axis);
        return PaneSizes{ strip, length - strip };
    }
    case ViewMode::Thumbnail: {
        const int thumbs = ThumbnailPaneLength(wanted, length, axis);
        return PaneSizes{ length - thumbs, thumbs };
    }
    default:
        return std::nullopt;
    }
}

SplitMoves PossibleMoves(std::int32_t viewMode, PaneSizes current, SplitAxis axis)
{
    if (axis.step <= 0)
        return {};
    const int step = axis.step;
    if (viewMode == ViewMode::Select) {
        if (current.first <= 0)
            return { false, true };
        return { true, false };
    }
    if (viewMode == ViewMode::Thumbnail) {
        // With the thumbnail pane collapsed the only way is to bring it back.
        if (current.second == 0 && current.first >= axis.allowance + step)
            return { true, false };
        return { current.first >= step, current.second > 0 };
    }
    return {};
}

SplitMove ChooseMove(std::int32_t viewMode, SplitMoves moves, int offset, int barLength)
{
    if (moves.towardsFirst && moves.towardsSecond) {
        if (viewMode != ViewMode::Thumbnail)
            return SplitMove::None;
        return 2 * offset < barLength ? SplitMove::TowardsFirst : SplitMove::TowardsSecond;
    }
    if (moves.towardsFirst)
        return SplitMove::TowardsFirst;
    if (moves.towardsSecond)
        return SplitMove::TowardsSecond;
    return SplitMove::None;
}

TapOutcome ApplyMove(std::int32_t viewMode, SplitMove move, PaneSizes current, SplitAxis axis)
{
    const int step = axis.step;
    if (move == SplitMove::TowardsFirst) {
        if (viewMode == ViewMode::Select) {
            const int rest = current.first + current.second;
            return { { 0, rest }, rest };
        }
        const int second = current.second + step;
        return { { std::max(0, current.first - step), second }, second };
    }
    if (move == SplitMove::TowardsSecond) {
        const int second = std::max(0, current.second - step);
        return { { current.first + step, second }, second };
    }
    return { current, current.second };
}

std::uint16_t StoredSplit(int stored)
{
    const int top = std::numeric_limits<std::uint16_t>::max();
    return static_cast<std::uint16_t>(std::clamp(stored, 0, top));
}

BarGlyphs GlyphsOfBar(std::int32_t viewMode, SplitMoves moves)
{
    BarGlyphs glyphs;
    if (viewMode == ViewMode::Select) {
        glyphs.boxes = 1;
        glyphs.glyph[0] = moves.towardsFirst ? 0 : (moves.towardsSecond ? 1 : -1);
    } else if (viewMode == ViewMode::Thumbnail) {
        glyphs.boxes = 2;
        glyphs.glyph[0] = moves.towardsFirst ? 0 : -1;
        glyphs.glyph[1] = moves.towardsSecond ? 1 : -1;
    }
    return glyphs;
}
