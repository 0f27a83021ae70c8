#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/image_item.h"
#include "app/image_lists.h"
#include "app/trace_log.h"
#include "app/view_factory.h"
#include "codecs/image_header.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "views/alb_img_view.h"
#include "views/thumbnail_cache.h"

#include <QPaintEvent>
#include <QPainter>

#include <string>

namespace {

// The message of a placeholder starts this far below the window's vertical centre.
constexpr int kMessageBelowCentre = 18;

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
    if (pictureRect().intersected(update).isEmpty()) {
        fillAround(painter, update, settings.prefs.imageBackColor);
        return;
    }
    const Readiness readiness = preparePicture(*item);
    if (readiness == Readiness::Failed) {
        stopAnimation();
        drawPlaceholder(painter, asked.message);
        return;
    }
    if (readiness == Readiness::Waiting) {
        // The picture shown before stays until this one is decoded; else the placeholder, with
        // the wait cursor.
        const bool drewBefore = drawShownBefore(painter, update);
        showWaiting(!drewBefore);
        if (!drewBefore)
            drawPlaceholder(painter, 0);
        return;
    }
    showWaiting(false);
    drawShown(painter, update, *item, readiness == Readiness::Ready);
}

// Draws the shown item's picture; the trace records it when it is final (not a coarser one
// standing in).
void CAlbImgView::drawShown(QPainter &painter, const Rect &update, ImageItem &item, bool final)
{
    if (frameCount > 1 && !animation.startedWith(item.frames))
        startAnimation(item);
    const BandStyle style = styleFor(item);
    const bool animated = animation.startedWith(item.frames);
    if (!drawPicture(painter, update, item, style, animated ? &animation.canvas() : nullptr)) {
        drawPlaceholder(painter, Msg::NoSystemResources);
        return;
    }
    lastPlaceholder = 0;
    const Rect picture = pictureRect();
    if (final && TraceEnabled() && picture.intersected(update) == picture)
        traceDrawn(picture);
}

BandStyle CAlbImgView::styleFor(const ImageItem &item) const
{
    BandStyle style;
    style.background = settings.prefs.imageBackColor;
    style.colourMode = colourMode(settings.colorOptimization());
    // GIF's transparent pixels and the flattened transparency of PNG, WebP, HEIF and AVIF show
    // the background colour.
    const auto format = static_cast<ImageFormat>(item.info.format);
    style.keepBackground = format == ImageFormat::Gif || format == ImageFormat::Png
            || format == ImageFormat::Webp || format == ImageFormat::Heif
            || format == ImageFormat::Avif;
    return style;
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
                    + std::to_string(picture.height()) + '\t' + std::to_string(place.zoom) + '\t'
                    + std::to_string(frameIndex()) + '\n');
}
