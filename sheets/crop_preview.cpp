#include "sheets/crop_preview.h"

#include "app/app_settings.h"
#include "app/image_item.h"
#include "platform/sounds.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

using namespace ImageZoom;

namespace {

// One axis of a stylus point in picture pixels: the displayed picture's far edge is exactly the
// picture's size, whatever the rounding of the zoom.
std::int32_t axisToPicture(std::int32_t window, std::int32_t zoom, std::int32_t offset,
                           std::int32_t zoomed, std::int32_t size)
{
    if (window + offset >= zoomed)
        return size;
    return std::clamp(WindowToPicture(window, zoom, offset), 0, size);
}

QRect toQRect(const Rect &r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

} // namespace

CropPreview::CropPreview(const AppSettings &appSettings, ItemPictureLoader loader, QImage noPicture,
                         QWidget *parent)
    : PictureCanvas(PictureUser::CropPreview, std::move(loader), parent),
      settings(appSettings),
      noPictureIcon(std::move(noPicture))
{
    setObjectName(QStringLiteral("1128"));
    setAccessibleName(QStringLiteral("Crop preview"));
    setMinimumSize(150, 150);
}

void CropPreview::setItem(ImageItem *item)
{
    if (item == shown && ready)
        return;
    const bool changed = item != shown;
    shown = item;
    if (changed || !ready)
        fit();
    update();
}

Size CropPreview::pictureSize() const
{
    return shown ? fullSize(*shown) : Size{};
}

void CropPreview::fit()
{
    place = FitPreview(clientSize(), pictureSize());
    anchor = corner = QPoint();
    drag = NoDrag;
    decodeFailed = false;
    ready = false;
    requestPicture();
}

// The picture is decoded once the preview shows: before its page is laid out (or while another
// page is on top) the zoom is not yet the one the picture will be drawn at.
void CropPreview::requestPicture()
{
    if (!shown || !isVisible())
        return;
    const bool loaded = loadPicture(*shown) == 0 && !shown->frames.empty();
    decodeFailed = !loaded;
    ready = loaded;
}

PictureZoom CropPreview::placement()
{
    // The picture may have been freed for memory since it was decoded: decode it again.
    if (shown && !decodeFailed && (!ready || shown->frames.empty()))
        requestPicture();
    return place;
}

bool CropPreview::canPan()
{
    return placement().overflows(clientSize());
}

void CropPreview::zoomIn()
{
    placement();
    if (auto z = PreviewZoomInStep(place.zoom))
        applyZoom(*z);
    else
        DefaultBeep();
}

void CropPreview::zoomOut()
{
    placement();
    if (auto z = PreviewZoomOutStep(place.zoom, place.zoomed))
        applyZoom(*z);
    else
        DefaultBeep();
}

void CropPreview::actualSize()
{
    placement();
    if (place.zoom == kActualSize)
        DefaultBeep();
    else
        applyZoom(kActualSize);
}

void CropPreview::applyZoom(std::int32_t z)
{
    place = PreviewZoomTo(place, z, clientSize(), pictureSize());
    requestPicture();
    update();
}

void CropPreview::resizeEvent(QResizeEvent *)
{
    // A new size refits the picture; the rectangle, in picture pixels, stays.
    if (shown) {
        place = FitPreview(clientSize(), pictureSize());
        requestPicture();
    }
}

void CropPreview::setCropBox(const CropBox &box)
{
    anchor = QPoint(box.x, box.y);
    corner = QPoint(box.x + box.width, box.y + box.height);
    update();
}

CropBox CropPreview::cropBox() const
{
    const QPoint a(std::min(anchor.x(), corner.x()), std::min(anchor.y(), corner.y()));
    return { a.x(), a.y(), std::abs(corner.x() - anchor.x()), std::abs(corner.y() - anchor.y()) };
}

QPoint CropPreview::toWindow(QPoint picture) const
{
    return { PictureToWindow(picture.x(), place.zoom, place.offsetX),
             PictureToWindow(picture.y(), place.zoom, place.offsetY) };
}

QPoint CropPreview::toPicture(QPoint window) const
{
    const Size size = pictureSize();
    return { axisToPicture(window.x(), place.zoom, place.offsetX, place.zoomed.width, size.width),
             axisToPicture(window.y(), place.zoom, place.offsetY, place.zoomed.height,
                           size.height) };
}

QRect CropPreview::screenCrop() const
{
    return QRect(toWindow(anchor), toWindow(corner)).normalized();
}

// The displayed picture's part of the window, edges included: points are limited to it.
QRect CropPreview::pictureArea() const
{
    return toQRect(pictureRect());
}

QPoint CropPreview::limitedToPicture(QPoint point) const
{
    const QRect area = pictureArea();
    return { std::clamp(point.x(), area.left(), area.left() + area.width()),
             std::clamp(point.y(), area.top(), area.top() + area.height()) };
}

void CropPreview::limitCorners()
{
    const Size size = pictureSize();
    for (QPoint *p : { &anchor, &corner }) {
        p->setX(std::clamp(p->x(), 0, size.width));
        p->setY(std::clamp(p->y(), 0, size.height));
    }
}

void CropPreview::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !shown)
        return;
    placement();
    if (decodeFailed) {
        DefaultBeep();
        return;
    }
    const QPoint point = event->position().toPoint();
    if (panMode) {
        if (canPan()) {
            isPanning = true;
            lastPoint = point;
        }
        return;
    }
    if (anchor != corner && screenCrop().contains(point)) {
        drag = Moving;
        lastPoint = point;
        return;
    }
    anchor = corner = toPicture(limitedToPicture(point));
    drag = Drawing;
    update();
    emit cropDragged(cropBox());
}

void CropPreview::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (isPanning) {
        // The picture follows the stylus.
        const QPoint delta = point - lastPoint;
        lastPoint = point;
        if (place.panBy(-delta.x(), -delta.y(), clientSize()))
            repaint();
        return;
    }
    if (drag == NoDrag)
        return;
    if (drag == Drawing)
        dragTo(point);
    else
        moveBy(point - lastPoint);
    lastPoint = point;
}

void CropPreview::dragTo(QPoint point)
{
    const QPoint moved = toPicture(limitedToPicture(point));
    if (moved == corner)
        return;
    corner = moved;
    limitCorners();
    update();
    emit cropDragged(cropBox());
}

void CropPreview::moveBy(QPoint delta)
{
    const QRect area = pictureArea();
    const QRect now = screenCrop();
    // The rectangle stays whole inside the picture's area.
    const int dx = std::clamp(delta.x(), area.left() - now.left(),
                              area.left() + area.width() - (now.left() + now.width()));
    const int dy = std::clamp(delta.y(), area.top() - now.top(),
                              area.top() + area.height() - (now.top() + now.height()));
    if (dx == 0 && dy == 0)
        return;
    const QPoint shift(dx, dy);
    anchor = toPicture(toWindow(anchor) + shift);
    corner = toPicture(toWindow(corner) + shift);
    limitCorners();
    update();
    emit cropDragged(cropBox());
}

void CropPreview::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (isPanning) {
        isPanning = false;
        update();
        return;
    }
    if (drag == NoDrag)
        return;
    mouseMoveEvent(event);
    drag = NoDrag;
    const CropBox box = cropBox();
    anchor = QPoint(box.x, box.y);
    corner = QPoint(box.x + box.width, box.y + box.height);
    emit stylusReleased();
}

void CropPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    placement();
    if (!shown || decodeFailed || !ready || shown->frames.empty()) {
        drawNoPicture(painter);
        return;
    }
    BandStyle style;
    style.background = settings.prefs.frameColor;
    style.colourMode = colourMode(settings.colorOptimization());
    style.keepBackground = true;
    if (!drawPicture(painter, Rect{ 0, 0, width(), height() }, *shown, style))
        drawNoPicture(painter);
    drawCropBox(painter);
}

// A dotted outline that shows on light and dark pictures alike.
void CropPreview::drawCropBox(QPainter &painter) const
{
    if (anchor == corner)
        return;
    const QRect outline = screenCrop().adjusted(0, 0, -1, -1);
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(outline);
}

void CropPreview::drawNoPicture(QPainter &painter)
{
    painter.fillRect(rect(), palette().window());
    if (!noPictureIcon.isNull())
        painter.drawImage((width() - noPictureIcon.width()) / 2,
                          (height() - noPictureIcon.height()) / 2, noPictureIcon);
}
