#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/image_item.h"
#include "app/image_lists.h"
#include "app/trace_log.h"
#include "app/view_factory.h"
#include "image/render.h"
#include "image/screen_reduction.h"
#include "image/view_buffer.h"
#include "views/alb_view.h"
#include "views/present_view_buffer.h"
#include "views/thumbnail_cache.h"

#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

#include <cstring>
#include <optional>

namespace {

// Blue as a blue-green-red value: the outline of a selected cell.
constexpr RgbValue kSelectionBlue = 0xFF0000;
constexpr RgbValue kWhite = 0xFFFFFF;
constexpr RgbValue kBlack = 0x000000;
constexpr RgbValue kMiddleGrey = 0xCCCCCC;
// The read-only mark's top-left corner lies this far left of and above the picture area's
// bottom-right corner.
constexpr int kMarkOffset = 11;

QRect toQRect(const Rect &r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

Rect shrunk(const Rect &r, int left, int top, int right, int bottom)
{
    return { r.left + left, r.top + top, r.right - right, r.bottom - bottom };
}

// A one-pixel outline: top and left edges in topLeft (the top one pixel short of the right
// edge, the left one short of the bottom), right and bottom edges in bottomRight.
void draw3dRect(QPainter &painter, const Rect &r, RgbValue topLeft, RgbValue bottomRight)
{
    const int w = r.width();
    const int h = r.height();
    if (w <= 0 || h <= 0)
        return;
    const QColor tl = ColourOf(topLeft);
    const QColor br = ColourOf(bottomRight);
    painter.fillRect(r.left, r.top, w - 1, 1, tl);
    painter.fillRect(r.left, r.top, 1, h - 1, tl);
    painter.fillRect(r.right - 1, r.top, 1, h, br);
    painter.fillRect(r.left, r.bottom - 1, w, 1, br);
}

} // namespace

// The canvas has the device pixels of the viewport (cells are laid out and drawn in logical
// pixels, the painter scales); thumbnails are made for the same ratio, so that they are drawn one
// thumbnail pixel to one device pixel.
void CAlbView::ensureCanvas()
{
    const qreal ratio = viewport()->devicePixelRatioF();
    const QSize logical = canvasExtent();
    const QSize size(qCeil(logical.width() * ratio), qCeil(logical.height() * ratio));
    doc.setThumbnailPixelRatio(ratio);
    if (canvas.size() == size && canvas.devicePixelRatio() == ratio)
        return;
    canvas = QImage(size, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(ColourOf(settings.prefs.thumbBackColor));
    pending = QRegion(QRect(QPoint(), logical));
}

QSize CAlbView::canvasExtent() const
{
    // Never an empty image: painters on it would fail, and sizes would never match.
    return viewport()->size().expandedTo(QSize(1, 1));
}

void CAlbView::paintEvent(QPaintEvent *event)
{
    Guarded([&] {
        ensureCanvas();
        if (!pending.isEmpty()) {
            const QRect update = pending.boundingRect();
            pending = QRegion();
            paintCells(update);
        }
        QPainter painter(viewport());
        const QRect shown = event->rect();
        const qreal ratio = canvas.devicePixelRatio();
        painter.drawImage(QRectF(shown), canvas,
                          QRectF(shown.x() * ratio, shown.y() * ratio, shown.width() * ratio,
                                 shown.height() * ratio));
        drawFeedback(painter);
        if (traceFramesShown && pending.isEmpty()) {
            traceFramesShown = false;
            AppendTraceText("frames-shown\n");
        }
        if (traceAfterPaint && pending.isEmpty()) {
            traceAfterPaint = false;
            traceDrawnCells();
        }
    });
}

void CAlbView::paintCells(QRect update)
{
    QPainter painter(&canvas);
    if (update.isEmpty())
        update = QRect(QPoint(), canvasExtent());
    painter.fillRect(update, ColourOf(settings.prefs.thumbBackColor));
    if ((settings.appFlags & AppFlag::SwitchingView) != 0)
        return;
    const ThumbGrid grid = currentGrid();
    if (grid.count == 0 || !grid.hasLayout())
        return;
    auto [first, last] = grid.visibleRange();
    if (first < 0)
        return;
    for (std::int32_t i = first; i <= last; ++i) {
        if (toQRect(grid.cellRect(i)).intersects(update))
            drawFrame(painter, i);
    }
    timers->kill(kThumbnailTimer);
    traceAfterPaint = false;
    if (inMode(ViewMode::Thumbnail)) {
        traceFramesShown = traceFramesShown || (!framesTraced && TraceEnabled());
        framesTraced = true;
        paintNext = first;
        paintLast = last;
        timers->set(kThumbnailTimer, 1);
    } else if (inMode(ViewMode::Select)) {
        for (std::int32_t i = first; i <= last; ++i) {
            if (toQRect(grid.cellRect(i)).intersects(update))
                drawPicture(painter, i);
        }
    }
}

void CAlbView::RedrawFrames()
{
    // The frames are redrawn because the selection changed: the bars' commands (Delete, Crop,
    // Image Info ...) follow it at once, not only when a menu opens.
    host.commandStatesChanged();
    const ThumbGrid grid = currentGrid();
    auto [first, last] = grid.visibleRange();
    if (first < 0)
        return;
    ensureCanvas();
    QPainter painter(&canvas);
    for (std::int32_t i = first; i <= last; ++i)
        drawFrame(painter, i);
    viewport()->update();
}

void CAlbView::drawFrame(QPainter &painter, std::int32_t index)
{
    const ImageItem *item = doc.ItemAt(index);
    if (!item)
        return;
    const PreferencesBlock &prefs = settings.prefs;
    const bool raised = (prefs.prefFlags & PrefFlag::RaisedCells) != 0;
    const RgbValue dark = raised ? kBlack : prefs.frameColor;
    const RgbValue light = raised ? kWhite : prefs.frameColor;
    const RgbValue middle = raised ? kMiddleGrey : prefs.frameColor;

    const Rect cell = CellRect(index);
    draw3dRect(painter, cell, prefs.thumbBackColor, prefs.thumbBackColor);
    Rect r = shrunk(cell, 1, 1, 0, 0);
    draw3dRect(painter, r, light, dark);
    r = shrunk(r, 1, 1, 1, 1);
    draw3dRect(painter, r, middle, middle);
    r = shrunk(r, 1, 1, 1, 1);
    draw3dRect(painter, r, dark, light);

    if (item->selected()) {
        const RgbValue outline = prefs.frameColor == kSelectionBlue ? kWhite : kSelectionBlue;
        Rect s = shrunk(cell, 1, 1, 0, 0);
        draw3dRect(painter, s, outline, outline);
        draw3dRect(painter, shrunk(s, 2, 2, 2, 2), outline, outline);
    }
}

void CAlbView::drawPicture(QPainter &painter, std::int32_t index)
{
    ImageItem *item = doc.ItemAt(index);
    if (!item)
        return;
    ++drawnPictures;
    const Rect area = shrunk(CellRect(index), 4, 4, 3, 3);
    if (!drawThumbnail(painter, *item, area)) {
        const QImage icon = imageLists ? imageLists->image(BitmapId::NoPicture, 0) : QImage();
        if (!icon.isNull())
            painter.drawImage(area.left + (area.width() - icon.width()) / 2,
                              area.top + (area.height() - icon.height()) / 2, icon);
    }
    drawMarks(painter, *item, area);
}

bool CAlbView::drawThumbnail(QPainter &painter, ImageItem &item, const Rect &area)
{
    // Thumbnail View draws what the workers made; Select View decodes here.
    const bool ready = inMode(ViewMode::Thumbnail) ? item.thumbnail && item.thumbnail->hasPixels()
                                                   : EnsureThumbnail(doc, item, true);
    if (!ready)
        return false;
    const ImageBuffer &thumb = *item.thumbnail;
    std::optional<ViewBuffer> store;
    RetryFreeingPictures(doc, item, [&] {
        store = makeViewBuffer(thumb.width, thumb.height, false, false);
        return store ? Attempt::Succeeded : Attempt::ShortOfMemory;
    });
    if (!store)
        return false;
    const RgbValue frame = settings.prefs.frameColor;
    fillViewBuffer(*store, frame, store->height);
    const std::int32_t rowPad = store->width - thumb.width;
    renderImage(thumb, Rect{ 0, 0, thumb.width, thumb.height }, store->pixels, rowPad);
    painter.fillRect(toQRect(area), ColourOf(frame));
    // Placed in device pixels, where the thumbnail was made to fit the area.
    const qreal ratio = canvas.devicePixelRatio();
    const std::int32_t x =
            qRound(area.left * ratio) + (DeviceExtent(area.width(), ratio) - thumb.width) / 2;
    const std::int32_t y =
            qRound(area.top * ratio) + (DeviceExtent(area.height(), ratio) - thumb.height) / 2;
    return presentViewBuffer(painter, Rect{ x, y, x + thumb.width, y + thumb.height },
                             store->pixels, rowPad, std::int32_t(ColourOptimization::None),
                             kNoColour, false, nullptr, ratio);
}

void CAlbView::drawMarks(QPainter &painter, const ImageItem &item, const Rect &area)
{
    if (!item.has(ItemFlag::ReadOnly) && !item.has(ItemFlag::InRom))
        return;
    const QImage mark = imageLists ? imageLists->image(BitmapId::ReadOnlyMark, 0) : QImage();
    if (!mark.isNull())
        painter.drawImage(area.right - kMarkOffset, area.bottom - kMarkOffset, mark);
}

void CAlbView::DrawItemPreview(ImageItem &item, QPainter &painter, const Rect &rect, RgbValue fill,
                               bool stretch, bool enlarge) const
{
    const QImage icon = imageLists ? imageLists->image(BitmapId::NoPicture, 0) : QImage();
    ::DrawItemPreview(doc, item, painter, rect, fill, stretch, enlarge, icon);
}
