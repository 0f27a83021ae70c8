#pragma once

#include "image/rect.h"

#include <cstdint>
#include <optional>
#include <utility>

// The geometry of the thumbnail grid: fixed-size cells filled row by row, the grid centred across
// the client width, scrolled vertically by whole rows. A plain value so that the view's
// arithmetic can be checked without a window.
//
//   client width
//   |<-- left -->|<- cellWidth ->|<- cellWidth ->| ...
//                +---------------+---------------+   row 0 (top = -scroll position)
//                |   cell 0      |   cell 1      |
//                +---------------+---------------+   row 1
//   Only whole rows count as visible; the spare strip below them (client height modulo
//   cellHeight) stays empty.
struct ThumbGrid
{
    // Inputs.
    std::int32_t count = 0; // number of items
    Size cell; // cellWidth x cellHeight
    std::int32_t clientWidth = 0; // the width the grid is centred in
    std::int32_t scrollY = 0; // vertical scroll position
    bool raisedCells = false;

    // Results of layout(); columns is 0 when there is no layout.
    std::uint16_t columns = 0;
    std::uint16_t rows = 0;
    std::uint16_t spareHeight = 0;
    std::int32_t lines = 0; // rows of cells the items need
    std::int32_t totalHeight = 0; // scroll height; 0 without a layout
    std::int32_t pageSize = 0; // 0: the scroller's default
    std::int32_t lineSize = 0;

    bool hasLayout() const { return columns != 0; }

    // Recomputes the grid for a client area of client (the whole area, scroll bar included). When
    // the items need more rows than fit, a vertical scroll bar of scrollBarWidth will take room,
    // so the columns are counted again without it.
    void layout(Size client, std::int32_t scrollBarWidth);

    // Left edge of column 0.
    std::int32_t gridLeft() const;
    Rect cellRect(std::int32_t index) const;
    // First and last visible index; (-1, -1) when there are none.
    std::pair<std::int32_t, std::int32_t> visibleRange() const;
    // The cell under (x, y), or -1. innerOnly ignores the frame edges (and the whole frame of flat
    // cells); allowEnd also offers the place just past the last item.
    std::int32_t hitTest(std::int32_t x, std::int32_t y, bool innerOnly, bool allowEnd) const;
    // The scroll position that brings index into view; none when nothing needs to move.
    std::optional<std::int32_t> ensureVisibleTarget(std::int32_t index) const;
    // The cells area of the grid at the current scroll offset.
    Rect gridArea() const;
};

// A vertical scroll amount snapped to whole rows: a remainder under half a row is dropped, a
// larger one rounds away from zero.
std::int32_t SnapScrollAmount(std::int32_t amount, std::int32_t cellHeight);
