#pragma once

#include "capture/region_selection.h"

#include <QEventLoop>
#include <QImage>
#include <QWidget>

#include <optional>

struct CaptureGrab;

// The region chooser: a borderless window over the whole screen showing the frozen grab, dimmed
// outside the selection, with the selection's size in pixels beside it. Drag to draw a
// selection, drag inside it to move it, drag its edges and corners to resize it; the arrow keys
// move it by one pixel and, with Shift, move its right and bottom edges. Enter, or a double click
// inside, takes it; Escape (or a right click) cancels. The window holds the keyboard and the
// pointer while it is up, so the keys reach it whichever window had the focus.
class RegionOverlay final : public QWidget
{
    Q_OBJECT

public:
    // frozen must stay as it is while the overlay is up.
    RegionOverlay(const QImage &frozen, std::optional<Rect> start, QWidget *parent = nullptr);

    // Shows the overlay and waits: the rectangle taken (in the grab's pixels), or nothing.
    std::optional<Rect> choose();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The grab's pixel under a point of the window, and a pixel rectangle in the window.
    QPoint toPixels(const QPointF &point) const;
    QRectF toWindow(const Rect &rect) const;
    void finish(std::optional<Rect> taken);
    void holdInput();
    void paintSizeLabel(QPainter &painter, const QRectF &selection) const;
    void updateCursor(const QPoint &pixel);

    QImage picture;
    RegionSelection selection;
    QEventLoop loop;
    std::optional<Rect> result;
    int grabTries = 0;
    bool done = false;
};

// The program's chooser: the grab's pixels shown as they are (no copy), start offered.
std::optional<Rect> ChooseRegion(const CaptureGrab &grab, const Rect &start);
