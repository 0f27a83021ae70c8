#pragma once

#include "common/error_report.h"
#include "image/palette.h"
#include "platform/message_window.h"
#include "views/thumb_grid.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>
#include <QRegion>

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_set>

class CAlbDoc;
class ImageItem;
struct ImageLists;
class QPainter;
class ThumbnailLoader;
struct ThumbnailResult;
class ViewHost;
struct AppSettings;

// The thumbnail view: the pictures of the document's list as a grid of framed cells that scrolls
// by whole rows. It serves Thumbnail View and Select View. Pictures are cached on the items; in
// Thumbnail View the frames show at once and the thumbnails are made on worker threads (the
// visible cells first, then the next screenful) and drawn as they arrive, while Select View
// decodes on demand. The stylus (left button) selects, draws a rubber band and moves
// pictures; the right button is tap-and-hold.
//
// Everything is drawn into an off-screen canvas of the viewport's size, as on a window surface
// that keeps what was drawn; paint events copy the canvas and lay the drag feedback over it. The
// canvas holds the viewport's device pixels: on a high-density screen the cells are laid out in
// logical pixels as anywhere else, and their thumbnails are made and drawn at device pixels.
class CAlbView : public QAbstractScrollArea, public MessageWindow
{
public:
    static constexpr std::uint32_t kThumbnailTimer = 25;

    // lists may be null: cells then show no icons.
    CAlbView(CAlbDoc &doc, AppSettings &settings, ViewHost &host, const ImageLists *lists,
             QWidget *parent = nullptr);
    ~CAlbView() override;

    // Recomputes the grid and the scroll sizes, then invalidates the view.
    void Layout(bool scrollToTop);
    Rect CellRect(std::int32_t index) const;
    std::pair<std::int32_t, std::int32_t> VisibleRange() const;
    void EnsureVisible(std::int32_t index);
    std::int32_t HitTest(QPoint point, bool innerOnly, bool allowEnd = false) const;
    // Redraws the frame of every visible cell (after selection changes).
    void RedrawFrames();
    // Draws an item's thumbnail fitted into rect for the previews of other windows, with this
    // view's no-picture icon (see the free DrawItemPreview).
    void DrawItemPreview(ImageItem &item, QPainter &painter, const Rect &rect, RgbValue fill,
                         bool stretch, bool enlarge) const;
    // Scrolls by a vertical amount, snapped to whole rows.
    void ScrollBy(std::int32_t amount);
    // The document's list changed: lays out again (keeping the scroll position) and brings the
    // item at firstSelected (-1: none) into view.
    void UpdateFromDocument(std::int32_t firstSelected);

    // MessageWindow: WM_LIST_CHANGED, WM_CURRENT_CHANGED and ThumbnailTimer.
    std::intptr_t onMessage(std::uint32_t message, std::uintptr_t first,
                            std::intptr_t second) override;
    void onTimer(std::uint32_t timerId) override;

    // State, for the frame and for checks.
    const ThumbGrid &grid() const { return layoutGrid; }

    std::uint8_t dragMode() const { return drag; }

    std::int32_t dropIndex() const { return dropAt; }

    bool thumbnailTimerActive() const;
    std::int32_t scrollPosition() const;

    // How many pictures were drawn onto the canvas so far: a screen painted at this count shows
    // them all.
    std::uint64_t picturesDrawn() const { return drawnPictures; }

    // The canvas as drawn so far (pending paints not yet run), in device pixels.
    const QImage &canvasImage() const { return canvas; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    enum DragMode : std::uint8_t {
        NoDrag = 0,
        RubberBand = 1,
        MovingItems = 2
    };

    // Geometry (alb_view_layout.cpp).
    ThumbGrid currentGrid() const;
    std::int32_t scrollBarWidth() const;
    std::int32_t clientHeight() const;
    void snapScrollAction();
    void invalidate(const QRect &rect);
    void invalidateAll();
    void shiftCanvas(int dy);
    void invalidateSpareStrip(std::int32_t amount);

    // Painting (alb_view_paint.cpp).
    void ensureCanvas();
    QSize canvasExtent() const;
    void paintCells(QRect update);
    void drawFrame(QPainter &painter, std::int32_t index);
    void drawPicture(QPainter &painter, std::int32_t index);
    bool drawThumbnail(QPainter &painter, ImageItem &item, const Rect &area);
    void drawMarks(QPainter &painter, const ImageItem &item, const Rect &area);
    void drawFeedback(QPainter &painter) const;
    void paintNextPicture();
    void takeThumbnail(std::uint64_t serial, ThumbnailResult &result);
    bool visibleThumbnailsMissing() const;
    bool thumbnailSettled(const ImageItem &item) const;
    void releaseFarThumbnails(std::int32_t page);
    // Tests of the whole program: where each visible picture is on the screen (alb_view_trace.cpp).
    void traceDrawnCells() const;

    // Keys and stylus (alb_view_keys.cpp, alb_view_stylus.cpp).
    void stepSelection(bool forward);
    void selectOnly(std::int32_t index);
    std::int32_t currentIndex() const;
    void stylusDown(QPoint point, QPoint global, bool tapAndHold);
    bool extendSelection(QPoint point, Qt::KeyboardModifiers modifiers);
    bool startMove(QPoint point);
    void moveRubberBand(QPoint point);
    void moveItems(QPoint point);
    void endDrag();
    void endRubberBand();
    std::int32_t dropIndexAt(QPoint point, bool innerOnly) const;
    void showThumbnailMenu(QPoint global);
    bool inMode(std::int32_t mode) const;

    CAlbDoc &doc;
    AppSettings &settings;
    ViewHost &host;
    const ImageLists *imageLists;
    std::unique_ptr<WindowTimers> timers;
    std::unique_ptr<ThumbnailLoader> loader;
    // Items whose thumbnail could not be made since the list last changed.
    std::unordered_set<std::uint64_t> unreadable;

    ThumbGrid layoutGrid;
    bool inLayout = false;
    std::uint8_t drag = NoDrag;
    QPoint dragPoint;
    QPoint anchorPoint;
    std::int32_t dragCount = 0;
    std::int32_t dropAt = -1;
    std::int32_t dragFocus = -1;
    std::int32_t paintNext = 0;
    std::int32_t paintLast = -1;
    std::uint64_t drawnPictures = 0;
    bool traceAfterPaint = false;
    // The first screenful of frames of a list goes into the trace as "frames-shown".
    bool traceFramesShown = false;
    bool framesTraced = false;

    QImage canvas;
    QRegion pending;
    bool snapping = false;
};
