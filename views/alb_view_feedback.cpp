#include "views/alb_view.h"

#include <QPainter>

namespace {

// The drop bar is this wide, centred on the left edge of the drop cell.
constexpr int kDropBarWidth = 8;
constexpr int kDragBorder = 2;
// Each further drag rectangle of a move of several items lies this far right and down.
constexpr int kStackStep = 3;

// Inverts the pixels of rect: drawn twice, it is gone, so the feedback never hides what is under
// it.
void invert(QPainter &painter, const QRect &rect)
{
    painter.fillRect(rect, Qt::white);
}

void invertFrame(QPainter &painter, const QRect &rect, int border)
{
    if (rect.width() <= 2 * border || rect.height() <= 2 * border) {
        invert(painter, rect);
        return;
    }
    invert(painter, QRect(rect.left(), rect.top(), rect.width(), border));
    invert(painter, QRect(rect.left(), rect.bottom() - border + 1, rect.width(), border));
    const int inner = rect.height() - 2 * border;
    invert(painter, QRect(rect.left(), rect.top() + border, border, inner));
    invert(painter, QRect(rect.right() - border + 1, rect.top() + border, border, inner));
}

} // namespace

void CAlbView::drawFeedback(QPainter &painter) const
{
    if (drag == NoDrag)
        return;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    if (drag == RubberBand) {
        const QRect band = QRect(anchorPoint, dragPoint).normalized();
        invertFrame(painter, band, 1);
    } else {
        if (dropAt != -1) {
            const Rect cell = CellRect(dropAt);
            const QRect bar(cell.left - kDropBarWidth / 2, cell.top, kDropBarWidth, cell.height());
            invert(painter, bar.intersected(viewport()->rect()));
        }
        const QSize size(layoutGrid.cell.width, layoutGrid.cell.height);
        QRect dragRect(dragPoint - QPoint(size.width() / 2, size.height() / 2), size);
        const int shown = dragCount >= 3 ? 3 : dragCount > 1 ? 2 : 1;
        for (int i = 0; i < shown; ++i) {
            invertFrame(painter, dragRect, kDragBorder);
            dragRect.translate(kStackStep, kStackStep);
        }
    }
    painter.restore();
}
