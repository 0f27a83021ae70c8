#include "sheets/sheet_picture_loader.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/image_item.h"
#include "codecs/detecting_codec.h"
#include "common/alb_exception.h"
#include "common/dir_record.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "views/thumbnail_cache.h"

#include <new>

namespace {

bool holdsPicture(const ImageItem &item, std::int32_t percent)
{
    return !item.frames.empty() && item.has(ItemFlag::FramesCached | ItemFlag::ViewCached)
            && item.framesPercent >= percent;
}

std::uint32_t messageOf(const CAlbExceptionBase &failure)
{
    auto *own = dynamic_cast<const CAlbException *>(&failure);
    return own && own->messageId != 0 ? own->messageId : Msg::UnableToAccessFile;
}

} // namespace

std::int32_t SheetDecodePercent(std::int32_t zoom)
{
    if (zoom > 60)
        return 100;
    if (zoom > 30)
        return 50;
    if (zoom > 15)
        return 25;
    return 13;
}

ItemPictureLoader SheetPictureLoader(const CAlbDoc &doc)
{
    return [&doc](ImageItem &item, std::int32_t percent) -> std::uint32_t {
        if (holdsPicture(item, percent))
            return 0;
        const std::string path = JoinPath(doc.appSettings().currentFolder, item.fileName);
        if (!ProbeFile(path))
            return Msg::UnableToAccessFile;
        std::uint32_t result = 0;
        const auto attempt = [&]() -> Attempt {
            FrameArray frames;
            ImageInfo info;
            try {
                const Size size{ std::max(item.info.width * percent / 100, 1),
                                 std::max(item.info.height * percent / 100, 1) };
                DetectingCodec().decodeFramesFromFile(path, &info, &frames,
                                                      percent == 100 ? nullptr : &size, nullptr);
            } catch (const CAlbExceptionBase &failure) {
                result = messageOf(failure);
                auto *own = dynamic_cast<const CAlbException *>(&failure);
                return own && own->isMemoryClass() ? Attempt::ShortOfMemory : Attempt::Failed;
            } catch (const std::bad_alloc &) {
                result = Msg::NotEnoughMemory;
                return Attempt::ShortOfMemory;
            }
            if (frames.empty()) {
                result = Msg::NoImages;
                return Attempt::Failed;
            }
            item.frames = std::move(frames);
            item.framesPercent = percent;
            item.flags |= ItemFlag::FramesCached;
            result = 0;
            return Attempt::Succeeded;
        };
        return RetryFreeingPictures(doc, item, attempt) ? 0 : result;
    };
}
