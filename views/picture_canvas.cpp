#include "views/picture_canvas.h"

#include "app/image_item.h"
#include "common/string_ids.h"
#include "image/render.h"
#include "image/view_buffer.h"
#include "image/view_geometry.h"
#include "views/present_view_buffer.h"
#include "views/thumbnail_cache.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace {

// The screen colour mode while the stylus pans: the fastest one.
constexpr std::int32_t kPanningColourMode = 1;

QRect toQRect(const Rect &r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

std::int32_t toDevice(std::int32_t length, double ratio)
{
    return static_cast<std::int32_t>(std::lround(length * ratio));
}

Rect toDevice(const Rect &r, double ratio)
{
    return { toDevice(r.left, ratio), toDevice(r.top, ratio), toDevice(r.right, ratio),
             toDevice(r.bottom, ratio) };
}

// The same picture in the device pixels of a screen of ratio device pixels per window pixel.
BandedPicture toDevice(BandedPicture picture, double ratio)
{
    if (picture.render.viewSize)
        picture.render.viewSize = Size{ toDevice(picture.render.viewSize->width, ratio),
                                        toDevice(picture.render.viewSize->height, ratio) };
    if (picture.render.viewClip)
        picture.render.viewClip = toDevice(*picture.render.viewClip, ratio);
    picture.offsetX = toDevice(picture.offsetX, ratio);
    picture.offsetY = toDevice(picture.offsetY, ratio);
    picture.pixelRatio = ratio;
    return picture;
}

} // namespace

bool PaintPictureInBands(QPainter &painter, const Rect &pictureRect, const BandedPicture &picture,
                         const BandStyle &style)
{
    if (pictureRect.isEmpty())
        return true;
    std::optional<ViewBuffer> store =
            makeViewBuffer(pictureRect.width(), pictureRect.height(), true, false, style.byteLimit);
    if (!store)
        return false;
    const std::int32_t rowPad = store->width - pictureRect.width();
    for (std::int32_t top = pictureRect.top; top < pictureRect.bottom; top += store->height) {
        const std::int32_t bottom = std::min(top + store->height, pictureRect.bottom);
        const Rect band{ pictureRect.left, top, pictureRect.right, bottom };
        fillViewBuffer(*store, style.background, band.height());
        const Rect inPicture{ band.left + picture.offsetX, band.top + picture.offsetY,
                              band.right + picture.offsetX, band.bottom + picture.offsetY };
        if (picture.image)
            renderImage(*picture.image, inPicture, store->pixels, rowPad, picture.render);
        if (!presentViewBuffer(painter, band, store->pixels, rowPad, style.colourMode,
                               style.background, style.keepBackground, nullptr, picture.pixelRatio))
            return false;
    }
    return true;
}

PictureCanvas::PictureCanvas(std::uint8_t pictureUser, ItemPictureLoader loader, QWidget *parent)
    : QWidget(parent), user(pictureUser), load(std::move(loader))
{
    // Every pixel is painted, by the picture or a background colour.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

Size PictureCanvas::fullSize(const ImageItem &item)
{
    return { item.info.width, item.info.height };
}

std::int32_t PictureCanvas::colourMode(std::int32_t fullQuality) const
{
    return isPanning ? kPanningColourMode : fullQuality;
}

double PictureCanvas::pixelRatio() const
{
    return ratioOverride > 0 ? ratioOverride : devicePixelRatioF();
}

std::int32_t PictureCanvas::decodePercent(const ImageItem &item) const
{
    const double ratio = pixelRatio();
    const Size inDevice{ toDevice(place.zoomed.width, ratio),
                         toDevice(place.zoomed.height, ratio) };
    return ImageZoom::DecodePercent(fullSize(item), inDevice, turn);
}

void PictureCanvas::hold(ImageItem &item) const
{
    HoldViewFrames(item, user);
}

std::uint32_t PictureCanvas::loadPicture(ImageItem &item)
{
    hold(item);
    return load ? load(item, decodePercent(item)) : Msg::UnableToAccessFile;
}

void PictureCanvas::letGo(ImageItem &item) const
{
    LetGoViewFrames(item, user);
}

BandedPicture PictureCanvas::banded(const ImageItem &item, const ImageBuffer *instead,
                                    const ImageZoom::PictureZoom &where, std::int32_t atTurn) const
{
    BandedPicture shown;
    shown.render.viewSize = where.zoomed;
    shown.render.orientation = atTurn;
    shown.offsetX = where.offsetX;
    shown.offsetY = where.offsetY;
    const Rect whole{ 0, 0, where.zoomed.width, where.zoomed.height };
    if (instead) {
        shown.image = instead;
        shown.render.canvasSize = Size{ instead->width, instead->height };
        shown.render.viewClip = whole;
        return shown;
    }
    const ImageFrame &first = *item.frames.front();
    const FramePlacement at = PlaceFrame(first, item.info, item.framesPercent);
    shown.image = &first.image;
    shown.render.frameX = at.x;
    shown.render.frameY = at.y;
    shown.render.canvasSize = at.canvas;
    // A frame smaller than the picture (a GIF's) covers only its part of the view; the
    // background shows around it.
    const Rect inFile = first.drawnRect.isEmpty() ? first.frameRect : first.drawnRect;
    const Size full = fullSize(item);
    shown.render.viewClip = inFile == Rect{ 0, 0, full.width, full.height }
            ? whole
            : imageToViewRect(inFile, full.width, full.height, where.zoom, atTurn);
    return shown;
}

bool PictureCanvas::drawPicture(QPainter &painter, const Rect &update, const ImageItem &item,
                                const BandStyle &style, const ImageBuffer *instead) const
{
    return drawPictureAt(painter, update, item, style, place, turn, instead);
}

bool PictureCanvas::drawPictureAt(QPainter &painter, const Rect &update, const ImageItem &item,
                                  const BandStyle &style, const ImageZoom::PictureZoom &at,
                                  std::int32_t atTurn, const ImageBuffer *instead) const
{
    const Rect covered = at.inWindow(clientSize());
    const Rect painted = covered.intersected(update);
    if (!painted.isEmpty()) {
        const double ratio = pixelRatio();
        if (!PaintPictureInBands(painter, toDevice(painted, ratio),
                                 toDevice(banded(item, instead, at, atTurn), ratio), style))
            return false;
    }
    fillAround(painter, update, style.background, covered);
    return true;
}

void PictureCanvas::fillAround(QPainter &painter, const Rect &update, RgbValue colour) const
{
    fillAround(painter, update, colour, pictureRect());
}

void PictureCanvas::fillAround(QPainter &painter, const Rect &update, RgbValue colour,
                               const Rect &picture) const
{
    const QColor back = ColourOf(colour);
    const QRegion outside = QRegion(toQRect(update)).subtracted(QRegion(toQRect(picture)));
    for (const QRect &part : outside)
        painter.fillRect(part, back);
}
