#include "sheets/crop_preview.h"

#include "app/app_settings.h"
#include "app/image_item.h"
#include "codecs/image_header.h"
#include "image/render.h"
#include "image/view_buffer.h"
#include "platform/sounds.h"
#include "views/image_zoom.h"
#include "views/present_view_buffer.h"
#include "views/thumbnail_cache.h"
#include "views/view_picture.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// The screen colour mode while panning: the fastest one.
constexpr std::int32_t kPanningColourMode = 1;

// One axis of a stylus point in picture pixels: the displayed picture's far edge is exactly the
// picture's size, whatever the rounding of the zoom.
std::int32_t axisToPicture(std::int32_t screen, std::int32_t zoom, std::int32_t offset,
                           std::int32_t displayed, std::int32_t size)
{
    if (screen - offset >= displayed)
        return size;
    return std::clamp(ScreenToPicture(screen, zoom, offset), 0, size);
}

// Where frame 0 of a decoding lies on the canvas of the whole picture at the decoding's scale.
RenderOptions frameOptions(const ImageItem &item, Size displayed)
{
    const FramePlacement place = PlaceFrame(*item.frames.front(), item.info, item.framesPercent);
    RenderOptions options;
    options.viewSize = displayed;
    options.canvasSize = place.canvas;
    options.frameX = place.x;
    options.frameY = place.y;
    return options;
}

} // namespace

CropPreview::CropPreview(const AppSettings &appSettings, ItemPictureLoader loader, QImage noPicture,
                         QWidget *parent)
    : QWidget(parent),
      settings(appSettings),
      load(std::move(loader)),
      noPictureIcon(std::move(noPicture))
{
    setObjectName(QStringLiteral("1128"));
    setAccessibleName(QStringLiteral("Crop preview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
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

Size CropPreview::client() const
{
    return { width(), height() };
}

Size CropPreview::pictureSize() const
{
    return shown ? Size{ shown->info.width, shown->info.height } : Size{};
}

void CropPreview::fit()
{
    place = FitPreview(client(), pictureSize());
    anchor = corner = QPoint();
    drag = NoDrag;
    decodeFailed = false;
    ready = false;
    requestPicture();
}

void CropPreview::requestPicture()
{
    if (!shown)
        return;
    // Zooms above 100 stretch the full-size picture.
    const Size zoomed{ ZoomedLength(shown->info.width, std::min(place.zoom, 100)),
                       ZoomedLength(shown->info.height, std::min(place.zoom, 100)) };
    const std::int32_t percent = ImageZoom::DecodePercent(pictureSize(), zoomed, 0);
    const bool loaded = load && load(*shown, percent) == 0 && !shown->frames.empty();
    decodeFailed = !loaded;
    ready = loaded;
}

PreviewPlacement CropPreview::placement()
{
    // The picture may have been freed for memory since it was decoded: decode it again.
    if (shown && !decodeFailed && (!ready || shown->frames.empty()))
        requestPicture();
    return place;
}

bool CropPreview::canPan()
{
    const PreviewPlacement p = placement();
    return p.displayed.width > width() || p.displayed.height > height();
}

void CropPreview::zoomIn()
{
    placement();
    if (auto z = ZoomInStep(place.zoom))
        applyZoom(*z);
    else
        DefaultBeep();
}

void CropPreview::zoomOut()
{
    placement();
    if (auto z = ZoomOutStep(place.zoom, place.displayed))
        applyZoom(*z);
    else
        DefaultBeep();
}

void CropPreview::actualSize()
{
    placement();
    if (place.zoom == 100)
        DefaultBeep();
    else
        applyZoom(100);
}

void CropPreview::applyZoom(std::int32_t z)
{
    place = ApplyZoom(place, z, client(), pictureSize());
    requestPicture();
    update();
}

void CropPreview::resizeEvent(QResizeEvent *)
{
    // A new size refits the picture; the rectangle, in picture pixels, stays.
    if (shown) {
        place = FitPreview(client(), pictureSize());
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

QPoint CropPreview::toScreen(QPoint picture) const
{
    return { PictureToScreen(picture.x(), place.zoom, place.offsetX),
             PictureToScreen(picture.y(), place.zoom, place.offsetY) };
}

QPoint CropPreview::toPicture(QPoint screen) const
{
    const Size size = pictureSize();
    return {
        axisToPicture(screen.x(), place.zoom, place.offsetX, place.displayed.width, size.width),
        axisToPicture(screen.y(), place.zoom, place.offsetY, place.displayed.height, size.height)
    };
}

QRect CropPreview::screenCrop() const
{
    return QRect(toScreen(anchor), toScreen(corner)).normalized();
}

// The displayed picture's part of the client, edges included: points are limited to it.
QRect CropPreview::pictureArea() const
{
    const QRect displayed(place.offsetX, place.offsetY, place.displayed.width,
                          place.displayed.height);
    return displayed.intersected(rect());
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
            panning = true;
            fullQuality = false;
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
    if (panning) {
        const QPoint delta = point - lastPoint;
        lastPoint = point;
        const std::int32_t x =
                PannedOffset(place.offsetX, delta.x(), place.displayed.width, width());
        const std::int32_t y =
                PannedOffset(place.offsetY, delta.y(), place.displayed.height, height());
        if (x != place.offsetX || y != place.offsetY) {
            place.offsetX = x;
            place.offsetY = y;
            repaint();
        }
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
    anchor = toPicture(toScreen(anchor) + shift);
    corner = toPicture(toScreen(corner) + shift);
    limitCorners();
    update();
    emit cropDragged(cropBox());
}

void CropPreview::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (panning) {
        panning = false;
        fullQuality = true;
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
    const QRect visible =
            QRect(place.offsetX, place.offsetY, place.displayed.width, place.displayed.height)
                    .intersected(rect());
    const QColor around = ColourOf(settings.prefs.frameColor);
    QRegion outside(rect());
    outside -= visible;
    for (const QRect &r : outside)
        painter.fillRect(r, around);
    if (!visible.isEmpty())
        drawPicture(painter, visible);
    if (anchor != corner) {
        // A dotted outline that shows on light and dark pictures alike.
        const QRect outline = screenCrop().adjusted(0, 0, -1, -1);
        painter.setBrush(Qt::NoBrush);
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(Qt::white);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(outline);
    }
}

void CropPreview::drawPicture(QPainter &painter, const QRect &visible)
{
    const ImageFrame &frame = *shown->frames.front();
    if (!frame.image.hasPixels()) {
        painter.fillRect(visible, ColourOf(settings.prefs.frameColor));
        return;
    }
    std::optional<ViewBuffer> buffer =
            makeViewBuffer(visible.width(), visible.height(), false, false);
    if (!buffer) {
        drawNoPicture(painter);
        return;
    }
    fillViewBuffer(*buffer, settings.prefs.frameColor);
    const RenderOptions options = frameOptions(*shown, place.displayed);
    const Rect held{ visible.left() - place.offsetX, visible.top() - place.offsetY,
                     visible.right() + 1 - place.offsetX, visible.bottom() + 1 - place.offsetY };
    // Only a GIF's transparent colour lets the background through.
    ImageBuffer &image = shown->frames.front()->image;
    const std::int32_t transparent = image.transparent;
    if (shown->info.format != static_cast<std::int32_t>(ImageFormat::Gif))
        image.transparent = -1;
    renderImage(image, held, buffer->pixels, buffer->width - visible.width(), options);
    image.transparent = transparent;
    const std::int32_t mode = fullQuality ? settings.colorOptimization() : kPanningColourMode;
    const Rect area{ visible.left(), visible.top(), visible.right() + 1, visible.bottom() + 1 };
    presentViewBuffer(painter, area, *buffer, mode, settings.prefs.frameColor, true);
}

void CropPreview::drawNoPicture(QPainter &painter)
{
    painter.fillRect(rect(), palette().window());
    if (!noPictureIcon.isNull())
        painter.drawImage((width() - noPictureIcon.width()) / 2,
                          (height() - noPictureIcon.height()) / 2, noPictureIcon);
}
