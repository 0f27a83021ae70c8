#include "views/view_picture.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/image_item.h"
#include "app/trace_log.h"
#include "codecs/detecting_codec.h"
#include "common/alb_exception.h"
#include "common/dir_record.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "views/image_zoom.h"
#include "views/thumbnail_cache.h"

#include <new>
#include <optional>

namespace {

std::int32_t scaled(std::int32_t side, std::int32_t percent)
{
    return static_cast<std::int32_t>(std::int64_t{ side } * percent / 100);
}

} // namespace

DecodedFrames DecodeViewFrames(const std::string &path, const std::string &fileName, Size full,
                               std::int32_t percent, const FramesDecoder &decoder)
{
    DecodedFrames out;
    out.percent = percent >= 100 ? 100 : percent;
    const auto fail = [&out](std::uint32_t message, Attempt outcome = Attempt::Failed) {
        out.message = message;
        out.outcome = outcome;
        return std::move(out);
    };
    if (!ProbeFile(path))
        return fail(Msg::UnableToAccessFile);
    const Size size = percent >= 100 ? full
                                     : Size{ std::max(scaled(full.width, percent), 1),
                                             std::max(scaled(full.height, percent), 1) };
    // Tests of the whole program count how often a picture is decoded.
    if (TraceEnabled())
        AppendTraceText("decode\t" + fileName + '\t' + std::to_string(percent) + '\n');
    try {
        decoder(path, out.info, out.frames, size);
    } catch (const CAlbException &failure) {
        if (failure.isMemoryClass())
            return fail(Msg::NotEnoughMemory, Attempt::ShortOfMemory);
        return fail(failure.GetMessageId());
    } catch (const CAlbExceptionBase &) {
        return fail(Msg::UnableToAccessFile);
    } catch (const std::bad_alloc &) {
        return fail(Msg::NotEnoughMemory, Attempt::ShortOfMemory);
    }
    if (out.frames.empty())
        return fail(Msg::UnableToAccessFile);
    out.outcome = Attempt::Succeeded;
    out.message = 0;
    return out;
}

bool InstallViewFrames(ImageItem &item, DecodedFrames &decoded)
{
    if (decoded.outcome != Attempt::Succeeded || HoldsViewFrames(item, decoded.percent))
        return false;
    item.frames = std::move(decoded.frames);
    item.framesPercent = decoded.percent;
    item.flags |= ItemFlag::ViewCached;
    return true;
}

bool HoldsViewFrames(const ImageItem &item, std::int32_t percent)
{
    return item.has(ItemFlag::ViewCached) && !item.frames.empty() && item.framesPercent >= percent;
}

FramesDecoder DefaultFramesDecoder()
{
    return [](const std::string &path, ImageInfo &info, FrameArray &frames, Size size) {
        DetectingCodec().decodeFramesFromFile(path, &info, &frames, &size, nullptr);
    };
}

std::uint32_t LoadViewFrames(const CAlbDoc &doc, ImageItem &item, std::int32_t percent,
                             const FramesDecoder &decoder)
{
    if (HoldsViewFrames(item, percent))
        return 0;
    const Size fullSize{ item.info.width, item.info.height };
    // Every other item's pictures go before this one gives up: one item's view frames are worth
    // more than the thumbnails of the rest.
    for (;;) {
        DecodedFrames decoded =
                DecodeViewFrames(JoinPath(doc.appSettings().currentFolder, item.fileName),
                                 item.fileName, fullSize, percent, decoder);
        if (decoded.outcome == Attempt::Succeeded) {
            InstallViewFrames(item, decoded);
            return 0;
        }
        if (decoded.outcome == Attempt::Failed)
            return decoded.message;
        const bool wasPinned = item.has(ItemFlag::Pinned);
        item.flags |= ItemFlag::Pinned;
        const bool freed = FreeAllCachedPictures(doc);
        if (!wasPinned)
            item.flags &= static_cast<std::uint16_t>(~ItemFlag::Pinned);
        if (!freed)
            return Msg::NotEnoughMemory;
    }
}

std::uint32_t LoadViewFramesSteppingDown(const CAlbDoc &doc, ImageItem &item, std::int32_t percent,
                                         const FramesDecoder &decoder)
{
    if (HoldsViewFrames(item, percent))
        return 0;
    std::optional<WaitCursor> wait;
    wait.emplace(doc.mainFrame());
    std::uint32_t message = LoadViewFrames(doc, item, percent, decoder);
    while (message != 0 && percent > 8) {
        percent = ImageZoom::SmallerDecodePercent(percent);
        message = LoadViewFrames(doc, item, percent, decoder);
    }
    return message;
}

void HoldViewFrames(ImageItem &item, std::uint8_t user)
{
    item.pictureUsers |= user;
}

void LetGoViewFrames(ImageItem &item, std::uint8_t user)
{
    if ((item.pictureUsers & user) == 0)
        return;
    item.pictureUsers &= static_cast<std::uint8_t>(~user);
    ReleaseUnshownFrames(item);
}

void LetGoViewFramesEverywhere(const CAlbDoc &doc, std::uint8_t user)
{
    for (int i = 0; i < doc.Count(); ++i)
        LetGoViewFrames(*doc.ItemAt(i), user);
}

void ReleaseUnshownFrames(ImageItem &item)
{
    if (item.pictureUsers != 0)
        return;
    item.frames.clear();
    item.framesPercent = 100;
    item.flags &= static_cast<std::uint16_t>(~(ItemFlag::FramesCached | ItemFlag::ViewCached));
}

FramePlacement PlaceFrame(const ImageFrame &frame, const ImageInfo &info, std::int32_t percent)
{
    FramePlacement place;
    const Rect at = frame.drawnRect.isEmpty() ? frame.frameRect : frame.drawnRect;
    if (percent >= 100) {
        place.x = at.left;
        place.y = at.top;
        place.canvas = { std::max(info.width, 1), std::max(info.height, 1) };
    } else {
        place.x = scaled(at.left, percent);
        place.y = scaled(at.top, percent);
        place.canvas = { std::max(scaled(info.width, percent), 1),
                         std::max(scaled(info.height, percent), 1) };
    }
    // A still picture's frame is the canvas: whatever the rounding, it fills it.
    if (at == Rect{ 0, 0, info.width, info.height }) {
        place.canvas = { std::max(frame.image.width, 1), std::max(frame.image.height, 1) };
        place.x = place.y = 0;
    }
    return place;
}
