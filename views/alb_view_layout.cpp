#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "views/alb_view.h"

#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Sets a flag for the life of the object.
class FlagGuard
{
public:
    explicit FlagGuard(bool &flagIn) : flag(flagIn) { flag = true; }

    ~FlagGuard() { flag = false; }

    FlagGuard(const FlagGuard &) = delete;
    FlagGuard &operator=(const FlagGuard &) = delete;

private:
    bool &flag;
};

} // namespace

ThumbGrid CAlbView::currentGrid() const
{
    ThumbGrid grid = layoutGrid;
    // Items can go between layouts (a failed re-check removes one); never look past the list.
    grid.count = std::min(grid.count, doc.Count());
    grid.clientWidth = viewport()->width();
    grid.scrollY = scrollPosition();
    grid.raisedCells = (settings.prefs.prefFlags & PrefFlag::RaisedCells) != 0;
    return grid;
}

std::int32_t CAlbView::scrollPosition() const
{
    return verticalScrollBar()->value();
}

std::int32_t CAlbView::scrollBarWidth() const
{
    return verticalScrollBar()->sizeHint().width();
}

std::int32_t CAlbView::clientHeight() const
{
    return viewport()->height();
}

void CAlbView::Layout(bool scrollToTop)
{
    if (inLayout)
        return;
    FlagGuard guard(inLayout);
    ThumbGrid grid;
    grid.count = doc.Count();
    grid.cell = { settings.prefs.cellWidth, settings.prefs.cellHeight };
    // The whole client area, as if no scroll bar showed: the layout itself decides whether one
    // will.
    const QSize client = maximumViewportSize();
    grid.layout({ client.width(), client.height() }, scrollBarWidth());
    layoutGrid = grid;

    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(grid.pageSize > 0 ? grid.pageSize : std::max(client.height(), 1));
    bar->setSingleStep(grid.lineSize > 0 ? grid.lineSize : std::max<int>(grid.cell.height, 1));
    bar->setRange(0, grid.hasLayout() ? std::max(grid.totalHeight - client.height(), 0) : 0);
    if (scrollToTop)
        bar->setValue(0);
    invalidateAll();
}

Rect CAlbView::CellRect(std::int32_t index) const
{
    return currentGrid().cellRect(index);
}

std::pair<std::int32_t, std::int32_t> CAlbView::VisibleRange() const
{
    return currentGrid().visibleRange();
}

std::int32_t CAlbView::HitTest(QPoint point, bool innerOnly, bool allowEnd) const
{
    return currentGrid().hitTest(point.x(), point.y(), innerOnly, allowEnd);
}

void CAlbView::EnsureVisible(std::int32_t index)
{
    if (std::optional<std::int32_t> target = currentGrid().ensureVisibleTarget(index))
        ScrollBy(*target - scrollPosition());
}

void CAlbView::ScrollBy(std::int32_t amount)
{
    QScrollBar *bar = verticalScrollBar();
    std::int32_t snapped = SnapScrollAmount(amount, layoutGrid.cell.height);
    bar->setValue(std::clamp(bar->value() + snapped, bar->minimum(), bar->maximum()));
}

// Every scroll bar action (arrows, page, dragging the thumb, the wheel) lands on a whole row.
void CAlbView::snapScrollAction()
{
    QScrollBar *bar = verticalScrollBar();
    std::int32_t amount = bar->sliderPosition() - bar->value();
    std::int32_t snapped = SnapScrollAmount(amount, layoutGrid.cell.height);
    bar->setSliderPosition(std::clamp(bar->value() + snapped, bar->minimum(), bar->maximum()));
}

void CAlbView::scrollContentsBy(int, int dy)
{
    if (dy == 0)
        return;
    ensureCanvas();
    shiftCanvas(dy);
    const int width = canvasExtent().width();
    const int height = canvasExtent().height();
    if (dy < 0)
        invalidate(QRect(0, height + dy, width, -dy));
    else
        invalidate(QRect(0, 0, width, dy));
    invalidateSpareStrip(-dy);
    viewport()->update();
}

// The spare strip below the last whole row is moved along with the cells by the scroll; wherever
// it lands it must be painted again.
void CAlbView::invalidateSpareStrip(std::int32_t amount)
{
    const int spare = layoutGrid.spareHeight;
    if (spare == 0)
        return;
    const int width = canvasExtent().width();
    const int height = canvasExtent().height();
    if (amount <= 0)
        invalidate(QRect(0, height - spare, width, spare));
    else if (amount == layoutGrid.cell.height)
        invalidate(QRect(0, height - layoutGrid.cell.height - spare, width, spare));
    else
        invalidate(QRect(0, 0, width, spare));
}

// Moves the canvas rows by dy logical pixels (positive: down), as a window surface scrolls. A
// move that is no whole number of device rows (at a fractional pixel ratio) redraws everything.
void CAlbView::shiftCanvas(int logicalDy)
{
    const double exact = logicalDy * canvas.devicePixelRatio();
    const int dy = static_cast<int>(std::lround(exact));
    const int height = canvas.height();
    if (std::abs(dy) >= height || dy != exact) {
        invalidateAll();
        return;
    }
    const qsizetype stride = canvas.bytesPerLine();
    uchar *bits = canvas.bits();
    const std::size_t moved =
            static_cast<std::size_t>(stride) * static_cast<std::size_t>(height - std::abs(dy));
    if (dy > 0)
        std::memmove(bits + stride * dy, bits, moved);
    else
        std::memmove(bits, bits + stride * -dy, moved);
}

void CAlbView::invalidate(const QRect &rect)
{
    pending += rect;
    viewport()->update(rect);
}

void CAlbView::invalidateAll()
{
    invalidate(viewport()->rect());
}
