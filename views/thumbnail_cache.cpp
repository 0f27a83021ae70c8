#include "views/thumbnail_cache.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/image_item.h"
#include "codecs/detecting_codec.h"
#include "common/alb_exception.h"
#include "common/path_names.h"
#include "image/view_geometry.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <new>

namespace {

// Room the cell's frame takes: 4 pixels on the left and top, 3 on the right and bottom.
constexpr std::int32_t kFrameRoom = 7;

bool freeable(const ImageItem &item)
{
    return item.has(ItemFlag::Freeable) && !item.has(ItemFlag::Pinned);
}

bool isMemoryFailure(const CAlbExceptionBase &failure)
{
    auto *own = dynamic_cast<const CAlbException *>(&failure);
    return own && own->isMemoryClass();
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

// Decodes once into the item's thumbnail.
Attempt decodeOnce(const CAlbDoc &doc, ImageItem &item, const ThumbnailDecoder &decoder)
{
    auto image = std::make_unique<ImageBuffer>();
    try {
        decoder(JoinPath(doc.appSettings().currentFolder, item.fileName), *image,
                ThumbnailBox(doc));
    } catch (const CAlbExceptionBase &failure) {
        return isMemoryFailure(failure) ? Attempt::ShortOfMemory : Attempt::Failed;
    } catch (const std::bad_alloc &) {
        return Attempt::ShortOfMemory;
    }
    if (!image->hasPixels())
        return Attempt::Failed;
    item.thumbnail = std::move(image);
    item.flags |= ItemFlag::ThumbCached;
    return Attempt::Succeeded;
}

} // namespace

ThumbnailDecoder DefaultThumbnailDecoder()
{
    return [](const std::string &path, ImageBuffer &image, Size box) {
        DetectingCodec().decodeFirstFrameFromFile(path, &image, box.width, box.height);
    };
}

Size ThumbnailBox(const CAlbDoc &doc)
{
    const PreferencesBlock &prefs = doc.appSettings().prefs;
    return { std::max(prefs.cellWidth - kFrameRoom, 1),
             std::max(prefs.cellHeight - kFrameRoom, 1) };
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
