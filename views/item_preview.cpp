#include "app/alb_doc.h"
#include "app/image_item.h"
#include "common/alb_exception.h"
#include "image/view_geometry.h"
#include "views/thumbnail_cache.h"

#include <QImage>
#include <QPainter>

#include <new>

namespace {

// Thumbnails are made 3 bytes per pixel so that they can be drawn without their palette; a
// thumbnail that cannot be converted is dropped and the preview shows the no-picture icon.
bool trueColourThumbnail(const CAlbDoc &doc, ImageItem &item)
{
    if (!EnsureThumbnail(doc, item, false))
        return false;
    try {
        item.thumbnail->ensureTrueColour();
    } catch (const CAlbExceptionBase &) {
        return false;
    } catch (const std::bad_alloc &) {
        return false;
    }
    return item.thumbnail->bytesPerPixel == 3;
}

} // namespace

void DrawItemPreview(const CAlbDoc &doc, ImageItem &item, QPainter &painter, const Rect &rect,
                     RgbValue fill, bool stretch, bool enlarge, const QImage &noPicture)
{
    const QRect target(rect.left, rect.top, rect.width(), rect.height());
    if (!trueColourThumbnail(doc, item)) {
        painter.fillRect(target, ColourOf(fill));
        if (!noPicture.isNull())
            painter.drawImage(target.left() + (target.width() - noPicture.width()) / 2,
                              target.top() + (target.height() - noPicture.height()) / 2, noPicture);
        return;
    }
    const ImageBuffer &thumb = *item.thumbnail;
    Size out = stretch ? Size{ rect.width(), rect.height() }
                       : fitSize(rect.width(), rect.height(), thumb.width, thumb.height, enlarge);
    if (out.width < rect.width()) {
        std::int32_t bar = (rect.width() - out.width + 1) / 2;
        painter.fillRect(rect.left, rect.top, bar, rect.height(), ColourOf(fill));
        painter.fillRect(rect.right - bar, rect.top, bar, rect.height(), ColourOf(fill));
    }
    if (out.height < rect.height()) {
        std::int32_t bar = (rect.height() - out.height + 1) / 2;
        painter.fillRect(rect.left, rect.top, rect.width(), bar, ColourOf(fill));
        painter.fillRect(rect.left, rect.bottom - bar, rect.width(), bar, ColourOf(fill));
    }
    const QImage pixels(thumb.pixels, thumb.width, thumb.height,
                        static_cast<qsizetype>(thumb.stride()), QImage::Format_BGR888);
    const QRect placed(rect.left + (rect.width() - out.width) / 2,
                       rect.top + (rect.height() - out.height) / 2, out.width, out.height);
    painter.drawImage(placed, pixels);
}
