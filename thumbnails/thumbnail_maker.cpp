#include "thumbnails/thumbnail_maker.h"

#include "codecs/detecting_codec.h"
#include "common/alb_exception.h"
#include "thumbnails/embedded_thumbnail.h"
#include "thumbnails/thumbnail_fit.h"
#include "thumbnails/thumbnail_store.h"

#include <new>
#include <optional>

namespace {

// The box of the cache's size that serves a box.
Size flavourBox(Size box)
{
    const auto side = static_cast<std::int32_t>(ThumbnailStore::FlavourFor(box));
    return { side, side };
}

bool isMemoryFailure(const CAlbExceptionBase &failure)
{
    auto *own = dynamic_cast<const CAlbException *>(&failure);
    return own && own->isMemoryClass();
}

ThumbnailResult made(ImageBuffer image, Size box, ThumbnailOrigin origin, Size picture)
{
    return { FitThumbnail(std::move(image), box, picture), origin };
}

} // namespace

PictureDecoder DefaultPictureDecoder()
{
    return [](const std::string &path, ImageBuffer &image, Size box, Size &picture) {
        DetectingCodec codec;
        codec.decodeFirstFrameFromFile(path, &image, box.width, box.height);
        picture = codec.firstFramePictureSize();
    };
}

ThumbnailMaker::ThumbnailMaker(const ThumbnailStore *cache, PictureDecoder reader)
    : store(cache), decoder(std::move(reader))
{ }

ThumbnailResult ThumbnailMaker::make(const std::string &path, Size box) const
{
    try {
        std::optional<PictureFileFacts> file;
        if (store)
            file = ExamineFile(path);
        // Pictures inside the cache are never thumbnailed into it.
        const PictureFileFacts *cached = file && !store->holds(*file) ? &*file : nullptr;
        if (cached) {
            const ThumbnailStore::Flavour flavour = ThumbnailStore::FlavourFor(box);
            if (std::optional<CachedThumbnail> found = store->find(*cached, flavour))
                return made(std::move(found->image), box, ThumbnailOrigin::Cache, found->picture);
            if (store->failedBefore(*cached))
                return { {}, ThumbnailOrigin::KnownFailure };
        }
        if (useEmbedded) {
            ThumbnailResult embedded = fromEmbedded(path, box, cached);
            if (embedded.image.hasPixels())
                return embedded;
        }
        return fromPicture(path, box, cached);
    } catch (const CAlbExceptionBase &failure) {
        // Only shortages of memory get here; everything else was handled where it happened.
        return { {},
                 isMemoryFailure(failure) ? ThumbnailOrigin::ShortOfMemory
                                          : ThumbnailOrigin::Unreadable };
    } catch (const std::bad_alloc &) {
        return { {}, ThumbnailOrigin::ShortOfMemory };
    }
}

ThumbnailResult ThumbnailMaker::fromEmbedded(const std::string &path, Size box,
                                             const PictureFileFacts *cached) const
{
    std::optional<EmbeddedThumbnail> embedded = DecodeEmbeddedThumbnail(path, box);
    if (!embedded)
        return {};
    if (cached) {
        // Stored only when it fills the cache's size as well as the cell.
        const Size cacheBox = flavourBox(box);
        const Size own{ embedded->image.width, embedded->image.height };
        if (EmbeddedThumbnailSuits(own, embedded->picture, cacheBox)) {
            ImageBuffer sized =
                    FitThumbnail(std::move(embedded->image), cacheBox, embedded->picture);
            store->put(*cached, ThumbnailStore::FlavourFor(box), sized, embedded->picture);
            embedded->image = std::move(sized);
        }
    }
    return made(std::move(embedded->image), box, ThumbnailOrigin::Embedded, embedded->picture);
}

ThumbnailResult ThumbnailMaker::fromPicture(const std::string &path, Size box,
                                            const PictureFileFacts *cached) const
{
    // With a cache the picture is decoded at the cache's size, which serves this box and the
    // other programs of the desktop alike.
    const Size decodeBox = cached ? flavourBox(box) : box;
    ImageBuffer image;
    Size picture;
    try {
        decoder(path, image, decodeBox, picture);
    } catch (const CAlbException &failure) {
        if (failure.isMemoryClass())
            throw;
        // The file was read and is no picture this program reads: noted until it changes.
        if (cached)
            store->putFailure(*cached);
        return { {}, ThumbnailOrigin::Unreadable };
    } catch (const CAlbExceptionBase &) {
        // The file could not be read at all (gone, or not permitted): that may change without
        // the file changing, so nothing is noted.
        return { {}, ThumbnailOrigin::Unreadable };
    }
    if (!image.hasPixels())
        return { {}, ThumbnailOrigin::Unreadable };
    if (cached)
        store->put(*cached, ThumbnailStore::FlavourFor(box), image, picture);
    return made(std::move(image), box, ThumbnailOrigin::Decoded, picture);
}
