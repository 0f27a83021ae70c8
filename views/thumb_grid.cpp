#include "views/thumb_grid.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool contains(const Rect &r, std::int32_t x, std::int32_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace

void ThumbGrid::layout(Size client, std::int32_t scrollBarWidth)
{
    columns = rows = spareHeight = 0;
    lines = totalHeight = pageSize = lineSize = 0;
    if (count <= 0 || cell.width <= 0 || cell.height <= 0)
        return;
    std::int32_t across = client.width / cell.width;
    std::int32_t down = client.height / cell.height;
    if (across <= 0 || down <= 0)
        return;
    std::int32_t needed = (count + across - 1) / across;
    if (needed > down) {
        // A vertical scroll bar will show and narrow the client area. This holds too when the
        // last row is full: counting the columns only for a partial last row would leave the
        // grid wider than the narrowed client and cut its outer cells.
        across = (client.width - scrollBarWidth) / cell.width;
        if (across <= 0)
            return;
        needed = (count + across - 1) / across;
    }
    columns = static_cast<std::uint16_t>(across);
    rows = static_cast<std::uint16_t>(down);
    lines = needed;
    spareHeight = static_cast<std::uint16_t>(client.height % cell.height);
    totalHeight = spareHeight + lines * cell.height;
    if (rows < lines) {
        pageSize = rows * cell.height;
        lineSize = cell.height;
    }
}

std::int32_t ThumbGrid::gridLeft() const
{
    return (clientWidth - columns * cell.width + 1) / 2;
}

Rect ThumbGrid::cellRect(std::int32_t index) const
{
    if (!hasLayout())
        return {};
    std::int32_t column = index % columns;
    std::int32_t row = index / columns;
    std::int32_t left = cell.width * column + gridLeft();
    std::int32_t top = row * cell.height - scrollY;
    return { left, top, left + cell.width, top + cell.height };
}

std::pair<std::int32_t, std::int32_t> ThumbGrid::visibleRange() const
{
    if (!hasLayout() || count <= 0)
        return { -1, -1 };
    std::int32_t first = (scrollY / cell.height) * columns;
    if (first >= count)
        return { -1, -1 };
    std::int32_t last = std::min(first + columns * rows - 1, count - 1);
    return { first, last };
}

std::int32_t ThumbGrid::hitTest(std::int32_t x, std::int32_t y, bool innerOnly, bool allowEnd) const
{
    auto [first, last] = visibleRange();
    if (first < 0)
        return -1;
    if (allowEnd && last == count - 1)
        ++last;
    for (std::int32_t i = first; i <= last; ++i) {
        Rect r = cellRect(i);
        if (!contains(r, x, y))
            continue;
        if (innerOnly) {
            Rect inner{ r.left + 1, r.top + 1, r.right, r.bottom };
            if (!raisedCells)
                inner = { inner.left + 2, inner.top + 2, inner.right - 2, inner.bottom - 2 };
            if (!contains(inner, x, y))
                continue;
        }
        return i;
    }
    return -1;
}

std::optional<std::int32_t> ThumbGrid::ensureVisibleTarget(std::int32_t index) const
{
    if (!hasLayout() || index < 0 || index >= count)
        return std::nullopt;
    auto [first, last] = visibleRange();
    if (first >= 0 && index >= first && index <= last)
        return std::nullopt;
    std::int32_t row = index / columns;
    std::int32_t totalLines = (count + columns - 1) / columns;
    std::int32_t topRow = totalLines < row + rows ? totalLines - rows : row;
    return std::max(topRow, 0) * cell.height;
}

Rect ThumbGrid::gridArea() const
{
    std::int32_t left = gridLeft();
    return { left, -scrollY, left + columns * cell.width, -scrollY + lines * cell.height };
}

std::int32_t SnapScrollAmount(std::int32_t amount, std::int32_t cellHeight)
{
    if (cellHeight <= 0)
        return amount;
    std::int32_t rest = std::abs(amount) % cellHeight;
    if (rest == 0)
        return amount;
    std::int32_t sign = amount < 0 ? -1 : 1;
    if (rest < cellHeight / 2)
        return amount - sign * rest;
    return amount + sign * (cellHeight - rest);
}
