#include "views/thumbnail_cache.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/image_item.h"
#include "common/path_names.h"
#include "image/view_geometry.h"
#include "thumbnails/thumbnail_maker.h"
#include "thumbnails/thumbnail_store.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace {

// Room the cell's frame takes: 4 pixels on the left and top, 3 on the right and bottom.
constexpr std::int32_t kFrameRoom = 7;

bool freeable(const ImageItem &item)
{
    return item.has(ItemFlag::Freeable) && !item.has(ItemFlag::Pinned);
}

// Pins an item for the life of the object and then puts its pin back as it was.
class PinScope
{
public:
    explicit PinScope(ImageItem &pinned) : item(pinned), wasPinned(pinned.has(ItemFlag::Pinned))
    {
        item.flags |= ItemFlag::Pinned;
    }

    ~PinScope()
    {
        if (!wasPinned)
            item.flags &= static_cast<std::uint16_t>(~ItemFlag::Pinned);
    }

    PinScope(const PinScope &) = delete;
    PinScope &operator=(const PinScope &) = delete;

private:
    ImageItem &item;
    bool wasPinned;
};

// The view's decoder as the maker takes it; the default one also tells the picture's size.
PictureDecoder pictureDecoder(const ThumbnailDecoder &decoder)
{
    if (!decoder)
        return DefaultPictureDecoder();
    return [decoder](const std::string &path, ImageBuffer &image, Size box, Size &picture) {
        decoder(path, image, box);
        picture = {};
    };
}

// Makes the item's thumbnail once.
Attempt decodeOnce(const CAlbDoc &doc, ImageItem &item, const ThumbnailDecoder &decoder)
{
    const ThumbnailMaker maker(SharedThumbnailStore(doc), pictureDecoder(decoder));
    ThumbnailResult made =
            maker.make(JoinPath(doc.appSettings().currentFolder, item.fileName), ThumbnailBox(doc));
    if (made.origin == ThumbnailOrigin::ShortOfMemory)
        return Attempt::ShortOfMemory;
    if (!made.image.hasPixels())
        return Attempt::Failed;
    item.thumbnail = std::make_unique<ImageBuffer>(std::move(made.image));
    item.flags |= ItemFlag::ThumbCached;
    return Attempt::Succeeded;
}

} // namespace

const ThumbnailStore *SharedThumbnailStore(const CAlbDoc &doc)
{
    // One for the process: the cache's place is read from the environment once.
    static const ThumbnailStore store(ThumbnailStore::DefaultRoot(),
                                      ThumbnailStore::DefaultSoftware());
    if (!doc.appSettings().sharedThumbnails() || store.root().empty())
        return nullptr;
    return &store;
}

Size ThumbnailBox(const CAlbDoc &doc)
{
    const PreferencesBlock &prefs = doc.appSettings().prefs;
    const double ratio = doc.thumbnailPixelRatio();
    return { std::max(DeviceExtent(prefs.cellWidth - kFrameRoom, ratio), 1),
             std::max(DeviceExtent(prefs.cellHeight - kFrameRoom, ratio), 1) };
}

std::int32_t DeviceExtent(std::int32_t logical, double ratio)
{
    // A hair added before rounding down: 1.15 x 100 comes out as 114.99999999999999.
    constexpr double kSlack = 1e-6;
    return static_cast<std::int32_t>(std::floor(logical * ratio + kSlack));
}

bool FreeOneCachedPicture(const CAlbDoc &doc)
{
    for (int i = 0; i < doc.Count(); ++i) {
        ImageItem *item = doc.ItemAt(i);
        if (freeable(*item)) {
            item->releasePictures();
            return true;
        }
    }
    return false;
}

bool FreeAllCachedPictures(const CAlbDoc &doc)
{
    bool freed = false;
    for (int i = 0; i < doc.Count(); ++i) {
        ImageItem *item = doc.ItemAt(i);
        if (freeable(*item)) {
            item->releasePictures();
            freed = true;
        }
    }
    return freed;
}

bool RetryFreeingPictures(const CAlbDoc &doc, ImageItem &item,
                          const std::function<Attempt()> &attempt)
{
    for (;;) {
        const Attempt result = attempt();
        if (result != Attempt::ShortOfMemory)
            return result == Attempt::Succeeded;
        PinScope pin(item);
        if (!FreeOneCachedPicture(doc))
            return false;
    }
}

bool EnsureThumbnail(const CAlbDoc &doc, ImageItem &item, bool retryOnMemory,
                     const ThumbnailDecoder &decoder)
{
    if (item.thumbnail && item.thumbnail->hasPixels())
        return true;
    item.releaseThumbnail();
    if (!retryOnMemory)
        return decodeOnce(doc, item, decoder) == Attempt::Succeeded;
    return RetryFreeingPictures(doc, item, [&] { return decodeOnce(doc, item, decoder); });
}

QColor ColourOf(RgbValue value)
{
    return QColor(RedOf(value), GreenOf(value), BlueOf(value));
}
