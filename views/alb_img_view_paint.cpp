#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/image_item.h"
#include "app/image_lists.h"
#include "app/trace_log.h"
#include "app/view_factory.h"
#include "codecs/image_header.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "image/view_geometry.h"
#include "views/alb_img_view.h"
#include "views/image_zoom.h"
#include "views/picture_bands.h"
#include "views/thumbnail_cache.h"

#include <QPaintEvent>
#include <QPainter>

#include <string>

namespace {

// The message of a placeholder starts this far below the window's vertical centre.
constexpr int kMessageBelowCentre = 18;
// The fast screen colour code used while the stylus pans.
constexpr std::int32_t kPanningColourMode = 1;

QRect toQRect(const Rect &r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

} // namespace

void CAlbImgView::paintEvent(QPaintEvent *event)
{
    Guarded([&] {
        QPainter painter(this);
        QRect area = event->rect();
        if (area.isEmpty())
            area = rect();
        const Rect update{ area.left(), area.top(), area.left() + area.width(),
                           area.top() + area.height() };
        // While the view mode changes, and outside the modes that show a picture, only the
        // background shows.
        if ((settings.appFlags & AppFlag::SwitchingView) != 0 || !inPictureMode()) {
            painter.fillRect(area, ColourOf(settings.prefs.imageBackColor));
            return;
        }
        paintPicture(painter, update);
    });
}

void CAlbImgView::paintPicture(QPainter &painter, const Rect &update)
{
    ImageItem *item = shown();
    if (!item) {
        drawPlaceholder(painter, 0);
        return;
    }
    const Size client = clientSize();
    const Rect picture = PictureRectInWindow(zoomed, offsetX, offsetY, client);
    const Rect painted = picture.intersected(update);
    if (painted.isEmpty()) {
        fillOutside(painter, update, picture);
        return;
    }
    const Size full{ item->info.width, item->info.height };
    const std::int32_t percent = ImageZoom::DecodePercent(full, zoomed, turn);
    const bool hadPicture = hasPicture();
    const std::uint32_t message = LoadViewFramesSteppingDown(doc, *item, percent, framesDecoder);
    // Zooming is possible once a picture is decoded; the bars learn of it now, not at the next
    // command.
    if (hadPicture != hasPicture())
        host.commandStatesChanged();
    if (message != 0) {
        stopAnimation();
        drawPlaceholder(painter, message);
        return;
    }
    if (frameCount > 1 && !animation.startedWith(item->frames))
        startAnimation(*item);

    BandedPicture shownPicture;
    shownPicture.zoomed = zoomed;
    shownPicture.orientation = turn;
    shownPicture.offsetX = offsetX;
    shownPicture.offsetY = offsetY;
    if (animation.startedWith(item->frames)) {
        shownPicture.image = &animation.canvas();
        shownPicture.canvas = { animation.canvas().width, animation.canvas().height };
        shownPicture.imageInView = { 0, 0, zoomed.width, zoomed.height };
    } else {
        const ImageFrame &first = *item->frames.front();
        const FramePlacement place = PlaceFrame(first, item->info, item->framesPercent);
        shownPicture.image = &first.image;
        shownPicture.frameX = place.x;
        shownPicture.frameY = place.y;
        shownPicture.canvas = place.canvas;
        const Rect inFile = first.drawnRect.isEmpty() ? first.frameRect : first.drawnRect;
        shownPicture.imageInView =
                imageToViewRect(inFile, full.width, full.height, zoomPercent, turn);
    }
    BandStyle style;
    style.background = settings.prefs.imageBackColor;
    style.colourMode = isPanning ? kPanningColourMode : settings.colorOptimization();
    // GIF's transparent pixels and PNG's flattened transparency show the background colour.
    style.keepBackground = item->info.format == std::int32_t(ImageFormat::Gif)
            || item->info.format == std::int32_t(ImageFormat::Png);
    if (!PaintPictureInBands(painter, painted, shownPicture, style)) {
        drawPlaceholder(painter, Msg::NoSystemResources);
        return;
    }
    fillOutside(painter, update, picture);
    lastPlaceholder = 0;
    if (TraceEnabled() && painted == picture)
        traceDrawn(picture);
}

void CAlbImgView::fillOutside(QPainter &painter, const Rect &update, const Rect &picture)
{
    const QColor back = ColourOf(settings.prefs.imageBackColor);
    const QRegion outside = QRegion(toQRect(update)).subtracted(QRegion(toQRect(picture)));
    for (const QRect &part : outside)
        painter.fillRect(part, back);
}

void CAlbImgView::drawPlaceholder(QPainter &painter, std::uint32_t message)
{
    lastPlaceholder = message;
    painter.fillRect(rect(), ColourOf(settings.prefs.imageBackColor));
    const QImage icon = imageLists ? imageLists->image(BitmapId::NoPicture, 0) : QImage();
    if (!icon.isNull())
        painter.drawImage((width() - icon.width()) / 2, (height() - icon.height()) / 2, icon);
    std::string text;
    if (message == 0 || !LoadString(message, text))
        return;
    const QRect area(0, height() / 2 + kMessageBelowCentre, width(),
                     std::max(height() - height() / 2 - kMessageBelowCentre, 0));
    painter.setPen(QColor(255, 0, 0));
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     QString::fromStdString(text));
}

// Tests of the whole program compare the screen with the picture: each complete drawing goes
// into the trace as "image<TAB>file<TAB>x<TAB>y<TAB>width<TAB>height<TAB>zoom<TAB>frame", the
// picture's rectangle in root-window coordinates.
void CAlbImgView::traceDrawn(const Rect &picture) const
{
    const ImageItem *item = shown();
    if (!item)
        return;
    const QPoint origin = mapToGlobal(QPoint(picture.left, picture.top));
    AppendTraceText("image\t" + item->fileName + '\t' + std::to_string(origin.x()) + '\t'
                    + std::to_string(origin.y()) + '\t' + std::to_string(picture.width()) + '\t'
                    + std::to_string(picture.height()) + '\t' + std::to_string(zoomPercent) + '\t'
                    + std::to_string(frameIndex()) + '\n');
}
