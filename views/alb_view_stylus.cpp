#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/command_popup.h"
#include "app/doc_commands.h"
#include "app/view_factory.h"
#include "views/alb_view.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace {

// The identifier of the pop-up menu of a tap-and-hold.
constexpr const char *kThumbnailMenuId = "903";

} // namespace

void CAlbView::mousePressEvent(QMouseEvent *event)
{
    // The stylus is the left button; tap-and-hold is the right one.
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    Guarded([&] {
        const bool tapAndHold = event->button() == Qt::RightButton;
        if (!tapAndHold && extendSelection(event->position().toPoint(), event->modifiers()))
            return;
        stylusDown(event->position().toPoint(), event->globalPosition().toPoint(), tapAndHold);
    });
}

// A right click already acted as tap-and-hold when its button went down.
void CAlbView::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
}

void CAlbView::stylusDown(QPoint point, QPoint global, bool tapAndHold)
{
    host.activateView(*this);
    setFocus(Qt::MouseFocusReason);
    if (drag != NoDrag)
        return;
    const std::int32_t index = HitTest(point, true);
    if (index < 0) {
        if (tapAndHold) {
            showThumbnailMenu(global);
        } else if (inMode(ViewMode::Thumbnail)) {
            anchorPoint = dragPoint = point;
            drag = RubberBand;
            viewport()->update();
        }
        return;
    }
    ImageItem *item = doc.ItemAt(index);
    if (!item->selected()) {
        selectOnly(index);
        RedrawFrames();
        if (inMode(ViewMode::Select))
            return;
    }
    if (tapAndHold)
        showThumbnailMenu(global);
    else if (inMode(ViewMode::Thumbnail))
        startMove(point);
}

// In Thumbnail View, Shift and Ctrl with a click on a picture change the selection as desktops
// do: Shift selects the run from the first selected picture to it, Ctrl adds or removes it. No
// move starts. False when the click is an ordinary one (or misses every picture).
bool CAlbView::extendSelection(QPoint point, Qt::KeyboardModifiers modifiers)
{
    const bool range = (modifiers & Qt::ShiftModifier) != 0;
    const bool toggle = (modifiers & Qt::ControlModifier) != 0;
    if ((!range && !toggle) || !inMode(ViewMode::Thumbnail) || drag != NoDrag)
        return false;
    const std::int32_t index = HitTest(point, true);
    if (index < 0)
        return false;
    host.activateView(*this);
    setFocus(Qt::MouseFocusReason);
    if (range) {
        const std::int32_t from = currentIndex() < 0 ? index : currentIndex();
        doc.ClearSelection();
        for (std::int32_t i = std::min(from, index); i <= std::max(from, index); ++i)
            doc.SelectItem(doc.ItemAt(i), true);
    } else {
        ImageItem *item = doc.ItemAt(index);
        doc.SelectItem(item, !item->selected());
    }
    RedrawFrames();
    return true;
}

// A move of every item, or of none, means nothing and never starts.
bool CAlbView::startMove(QPoint point)
{
    dragCount = doc.SelectedCount();
    if (dragCount == 0 || dragCount == doc.Count())
        return false;
    dragFocus = currentIndex();
    dropAt = -1;
    dragPoint = point;
    drag = MovingItems;
    viewport()->update();
    return true;
}

void CAlbView::showThumbnailMenu(QPoint global)
{
    const std::uint32_t chosen = RunCommandPopup(
            this, QString::fromLatin1(kThumbnailMenuId), QStringLiteral("Thumbnail"),
            { DocCmd::DeletePictures, DocCmd::SelectAll },
            [this](std::uint32_t id) { return host.commandState(id); }, global);
    if (chosen != 0)
        host.postCommand(chosen);
}

void CAlbView::mouseMoveEvent(QMouseEvent *event)
{
    Guarded([&] {
        const QPoint point = event->position().toPoint();
        if (drag == RubberBand)
            moveRubberBand(point);
        else if (drag == MovingItems)
            moveItems(point);
    });
}

// The band follows the stylus; at the client's top or bottom edge the view scrolls a row and
// the anchor moves with the cells so that the band keeps its first corner on the same cell.
void CAlbView::moveRubberBand(QPoint point)
{
    dragPoint = point;
    viewport()->update();
    if (layoutGrid.totalHeight <= clientHeight())
        return;
    const std::int32_t row = layoutGrid.cell.height;
    const QScrollBar *bar = verticalScrollBar();
    if (point.y() >= clientHeight() && bar->value() < bar->maximum()) {
        anchorPoint.ry() -= row;
        ScrollBy(row);
    } else if (point.y() <= 0 && bar->value() > 0) {
        anchorPoint.ry() += row;
        ScrollBy(-row);
    }
    viewport()->repaint();
}

std::int32_t CAlbView::dropIndexAt(QPoint point, bool innerOnly) const
{
    const std::int32_t index = HitTest(point, innerOnly, true);
    return index == dragFocus || index == dragFocus + 1 ? -1 : index;
}

void CAlbView::moveItems(QPoint point)
{
    const int width = viewport()->width();
    const int height = clientHeight();
    dragPoint = QPoint(std::clamp(point.x(), 0, std::max(width - 1, 0)),
                       std::clamp(point.y(), 0, std::max(height - 1, 0)));
    dropAt = dropIndexAt(dragPoint, false);
    viewport()->update();
    const QScrollBar *bar = verticalScrollBar();
    const std::int32_t row = layoutGrid.cell.height;
    std::int32_t amount = 0;
    if (dragPoint.y() == height - 1 && bar->value() < bar->maximum())
        amount = row;
    else if (dragPoint.y() == 0 && bar->value() > 0)
        amount = -row;
    if (amount == 0)
        return;
    ScrollBy(amount);
    viewport()->repaint();
    dropAt = dropIndexAt(dragPoint, true);
}

void CAlbView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || drag == NoDrag)
        return;
    Guarded([&] { endDrag(); });
}

void CAlbView::endDrag()
{
    const std::uint8_t mode = drag;
    drag = NoDrag;
    viewport()->update();
    if (mode == RubberBand) {
        endRubberBand();
        return;
    }
    const std::int32_t target = dropAt;
    dropAt = -1;
    if (target != -1)
        doc.MoveSelected(target);
    EnsureVisible(currentIndex());
    invalidateAll();
    viewport()->repaint();
}

// Selects every item whose cell meets the band; the band is first limited to the cells' area.
void CAlbView::endRubberBand()
{
    doc.ClearSelection();
    const ThumbGrid grid = currentGrid();
    const Rect band = Rect{ anchorPoint.x(), anchorPoint.y(), dragPoint.x(), dragPoint.y() }
                              .normalised()
                              .intersected(grid.gridArea());
    if (grid.hasLayout() && !band.isEmpty()) {
        const std::int32_t left = grid.gridLeft();
        const std::int32_t firstColumn = (band.left - left) / grid.cell.width;
        const std::int32_t lastColumn = (band.right - 1 - left) / grid.cell.width;
        const std::int32_t firstRow = (band.top + grid.scrollY) / grid.cell.height;
        const std::int32_t lastRow = (band.bottom - 1 + grid.scrollY) / grid.cell.height;
        for (std::int32_t row = firstRow; row <= lastRow; ++row) {
            for (std::int32_t column = firstColumn; column <= lastColumn; ++column) {
                const std::int32_t index = row * grid.columns + column;
                if (index < grid.count)
                    doc.SelectItem(doc.ItemAt(index), true);
            }
        }
    }
    RedrawFrames();
}

void CAlbView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Guarded([&] {
        const std::int32_t index = HitTest(event->position().toPoint(), true);
        if (index < 0)
            return;
        selectOnly(index);
        host.sendCommand(ViewMode::Select);
    });
}
