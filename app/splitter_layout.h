#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The arithmetic of the album's two-pane splitter, apart from any widget. Every length is measured
// along the split direction: heights when the panes are stacked, widths when they stand side by
// side. The first pane is the top or left one.

// Thickness of the bar between the panes.
inline constexpr int kSplitterBarWidth = 8;

// Step and allowance of the split direction: panes that show thumbnails grow and shrink by whole
// thumbnail cells (the step); a pane that shows any thumbnails also gets the allowance on top, room
// for its scroll bar. A step of 0 means the steps have not been set yet.
struct SplitAxis
{
    int step = 0;
    int allowance = 0;
};

// Lengths of the two panes along the split direction.
struct PaneSizes
{
    int first = 0;
    int second = 0;

    bool operator==(const PaneSizes &) const = default;
};

// The usable length along the split direction: the client length less the bar, never negative.
int SplitLength(int clientLength);

// Thumbnail View: the length of the thumbnail pane (the second) for a wanted length, or for a pane
// that was never sized (half the room). The result is 0 or a whole number of steps plus the
// allowance, and never more than length.
int ThumbnailPaneLength(std::optional<int> wanted, int length, SplitAxis axis);

// Select View: the strip (the first pane) shows one step plus the allowance, or nothing. A strip
// that was never sized wants one step.
int StripPaneLength(std::optional<int> wanted, int length, SplitAxis axis);

// Pane lengths for a view mode (30101, 30102, 30103) and the wanted length of the pane that the
// mode sizes (the thumbnail pane in Thumbnail View, the strip in Select View). Full Screen View
// gives the whole client length to the first pane and draws no bar. Nothing is laid out (nullopt)
// until the step is set or for an unknown mode.
std::optional<PaneSizes> LayoutPanes(std::int32_t viewMode, int clientLength, SplitAxis axis,
                                     std::optional<int> wanted);

// Which ways one tap may move the bar.
struct SplitMoves
{
    bool towardsFirst = false; // the first pane shrinks
    bool towardsSecond = false; // the second pane shrinks

    bool operator==(const SplitMoves &) const = default;
};

// The moves that the current pane lengths allow; none in Full Screen View or before the step is set.
SplitMoves PossibleMoves(std::int32_t viewMode, PaneSizes current, SplitAxis axis);

enum class SplitMove {
    None,
    TowardsFirst,
    TowardsSecond
};

// The move of a tap at offset along the bar (0 at its top or left end) of barLength. When both
// moves are possible in Thumbnail View, the half nearer the bar's start moves it towards the first
// pane and the other half towards the second. Otherwise the one possible move is taken.
SplitMove ChooseMove(std::int32_t viewMode, SplitMoves moves, int offset, int barLength);

// A tap's outcome: the new pane lengths (they become the wanted lengths) and the length kept in
// the settings (the second pane's new length).
struct TapOutcome
{
    PaneSizes sizes;
    int stored = 0;
};

// Moves the bar by one step. In Select View the strip is either one step plus the allowance or
// nothing, so collapsing it leaves nothing rather than the allowance alone (which would lay out as
// a whole strip again and make the tap do nothing).
TapOutcome ApplyMove(std::int32_t viewMode, SplitMove move, PaneSizes current, SplitAxis axis);

// The stored length clamped into the 16-bit field that keeps it across starts.
std::uint16_t StoredSplit(int stored);

// What the bar shows. Select View: one centred box with the glyph of its one move. Thumbnail
// View: two boxes (the bar's halves), the first with glyph 0 (towards the first pane) when that
// move is possible, the second with glyph 1 when that one is. A glyph of -1 is an empty box.
struct BarGlyphs
{
    int boxes = 0;
    std::array<int, 2> glyph{ -1, -1 };
};

BarGlyphs GlyphsOfBar(std::int32_t viewMode, SplitMoves moves);
