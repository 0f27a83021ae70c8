#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/image_item.h"
#include "app/trace_log.h"
#include "common/path_names.h"
#include "views/alb_view.h"
#include "views/thumbnail_cache.h"
#include "views/thumbnail_loader.h"

#include <QPainter>

// Thumbnail View's pictures: drawn at once when the item holds its thumbnail, else asked of the
// worker threads, the visible cells first and then the next screenful; a new request replaces
// the ones not started, so cells scrolled away are not made. Thumbnails far from the visible
// cells are released, so that a folder of many thousand pictures holds only a few screens of them.

namespace {

bool holdsThumbnail(const ImageItem &item)
{
    return item.thumbnail && item.thumbnail->hasPixels();
}

} // namespace

bool CAlbView::thumbnailSettled(const ImageItem &item) const
{
    return holdsThumbnail(item) || unreadable.contains(item.serial);
}

bool CAlbView::visibleThumbnailsMissing() const
{
    if (!inMode(ViewMode::Thumbnail))
        return false;
    for (std::int32_t i = paintNext; i <= paintLast; ++i) {
        const ImageItem *item = doc.ItemAt(i);
        if (item && !thumbnailSettled(*item))
            return true;
    }
    return false;
}

void CAlbView::paintNextPicture()
{
    timers->kill(kThumbnailTimer);
    ensureCanvas();
    const Size box = ThumbnailBox(doc);
    const std::string &folder = settings.currentFolder;
    std::vector<ThumbnailRequest> wanted;
    auto want = [&](const ImageItem &item) {
        if (!thumbnailSettled(item))
            wanted.push_back({ item.serial, JoinPath(folder, item.fileName), box });
    };
    {
        QPainter painter(&canvas);
        for (std::int32_t i = paintNext; i <= paintLast; ++i) {
            ImageItem *item = doc.ItemAt(i);
            if (!item)
                break;
            if (thumbnailSettled(*item))
                drawPicture(painter, i);
            else
                want(*item);
        }
    }
    viewport()->update();
    const std::int32_t page = std::max(paintLast - paintNext + 1, 1);
    for (std::int32_t i = paintLast + 1; i <= paintLast + page; ++i) {
        if (const ImageItem *item = doc.ItemAt(i))
            want(*item);
    }
    releaseFarThumbnails(page);
    loader->request(wanted, SharedThumbnailStore(doc));
    // Traced once the last picture has reached the window, not merely the canvas.
    if (!visibleThumbnailsMissing())
        traceAfterPaint = TraceEnabled();
}

void CAlbView::takeThumbnail(const ThumbnailRequest &request, ThumbnailResult &result)
{
    const std::uint64_t serial = request.serial;
    ImageItem *item = doc.ItemBySerial(serial);
    if (!item || holdsThumbnail(*item))
        return;
    if (request.box != ThumbnailBox(doc)) {
        // Made for cells of another size (or another screen's pixels): asked for again.
        timers->set(kThumbnailTimer, 1);
        return;
    }
    if (result.origin == ThumbnailOrigin::ShortOfMemory) {
        // Memory rules as for decoding here: free another item's pictures and try again, while
        // anything can be freed.
        if (FreeOneCachedPicture(doc)) {
            timers->set(kThumbnailTimer, 1);
            return;
        }
        unreadable.insert(serial);
    } else if (result.image.hasPixels()) {
        item->thumbnail = std::make_unique<ImageBuffer>(std::move(result.image));
        item->flags |= ItemFlag::ThumbCached;
    } else {
        unreadable.insert(serial);
    }
    const std::int32_t index = doc.IndexOf(item);
    if (!inMode(ViewMode::Thumbnail) || index < paintNext || index > paintLast)
        return;
    ensureCanvas();
    {
        QPainter painter(&canvas);
        drawPicture(painter, index);
    }
    const Rect cell = CellRect(index);
    viewport()->update(cell.left, cell.top, cell.width(), cell.height());
    if (!visibleThumbnailsMissing())
        traceAfterPaint = TraceEnabled();
}

void CAlbView::releaseFarThumbnails(std::int32_t page)
{
    const std::int32_t keepFrom = paintNext - 2 * page;
    const std::int32_t keepTo = paintLast + 3 * page;
    for (std::int32_t i = 0; i < doc.Count(); ++i) {
        ImageItem *item = doc.ItemAt(i);
        if ((i < keepFrom || i > keepTo) && item->has(ItemFlag::ThumbCached)
            && !item->has(ItemFlag::Pinned))
            item->releaseThumbnail();
    }
}
