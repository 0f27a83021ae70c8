#include "codecs/image_codec.h"
#include "codecs/image_description.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace {

// Places of the all-frames operations in error locations.
constexpr std::uint32_t kPlaceDecodeInRect = 144;
constexpr std::uint32_t kPlaceDecodeFrames = 146;

// Step of the location when the frames together would hold more than one picture store may.
constexpr std::uint32_t kStepFramesTooLarge = 5;

// Bytes of the stores of a picture of that size and depth.
std::uint64_t storeBytes(Size size, int bytesPerPixel, bool withAlpha)
{
    if (size.width <= 0 || size.height <= 0)
        return 0;
    const std::uint64_t pixels = (static_cast<std::uint64_t>(size.width) + RowPadFor(size.width))
            * static_cast<std::uint64_t>(size.height);
    return pixels * static_cast<std::uint64_t>(bytesPerPixel + (withAlpha ? 1 : 0));
}

// Size of the target of one frame: percent of the decode rectangle (percent path), or the
// rectangle scaled as the whole picture is to size, or the rectangle itself.
Size targetSize(const Rect &decodeRect, const ImageHeader &header, bool inRect,
                std::int32_t percent, const Size *size)
{
    std::int64_t w = decodeRect.width();
    std::int64_t h = decodeRect.height();
    if (!inRect) {
        w = w * percent / 100;
        h = h * percent / 100;
    } else if (size && header.width > 0 && header.height > 0) {
        w = w * size->width / header.width;
        h = h * size->height / header.height;
    }
    // A side beyond int32 saturates, so that the image store refuses it as too large rather
    // than taking it for an empty picture.
    auto clampSide = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::min<std::int64_t>(v, INT32_MAX));
    };
    return { clampSide(w), clampSide(h) };
}

} // namespace

void ImageCodec::decodeAllFrames(ImageStream &stream, ImageInfo &info, FrameArray &framesOut,
                                 bool inRect, std::int32_t percent, const Size *size,
                                 const Rect *clip)
{
    const std::uint32_t place = inRect ? kPlaceDecodeInRect : kPlaceDecodeFrames;
    framesOut.clear();
    FrameArray frames;
    try {
        ImageHeader header;
        readStoredHeader(stream, header);
        if (header.frameCount <= 0)
            ThrowAlb(Msg::NoImages, Module::CodecFramework, place, 2);
        ImageHeader upright = header;
        MakeHeaderUpright(upright);
        DescribeImage(upright, info, false);
        // The size and clip asked for are the upright picture's; the reader works on the stored
        // one.
        const PictureTurn turn = StoredTurn(header);
        const Size storedSize = size ? turn.storedOf(*size) : Size{};
        const Rect storedClip = clip ? turn.storedRect(*clip) : Rect{};
        std::uint64_t held = 0;
        try {
            frames.reserve(static_cast<std::size_t>(header.frameCount));
        } catch (const std::bad_alloc &) {
            ThrowAlb(Msg::NotEnoughMemory, Module::CodecFramework, place, 3);
        }
        for (std::int32_t i = 0; i < header.frameCount; ++i) {
            auto *frame = new (std::nothrow) ImageFrame;
            if (!frame)
                ThrowAlb(Msg::NotEnoughMemory, Module::CodecFramework, place, 4);
            frames.emplace_back(frame);
            FrameTarget target{ inRect && clip ? &storedClip : nullptr, inRect, percent,
                                size ? &storedSize : nullptr,           place,  &held };
            decodeOneFrame(stream, header, i, target, *frame);
            FinishDecodedImage(frame->image, header);
            frame->frameRect = turn.uprightRect(frame->frameRect);
            frame->drawnRect = turn.uprightRect(frame->drawnRect);
        }
    } catch (...) {
        frames.clear();
        info.reset();
        close();
        throw;
    }
    close();
    framesOut = std::move(frames);
}

void ImageCodec::decodeOneFrame(ImageStream &stream, const ImageHeader &header, std::int32_t index,
                                const FrameTarget &target, ImageFrame &frame)
{
    FrameHeader fh;
    readFrameHeader(stream, fh, index);
    frame.delay = static_cast<std::int16_t>(fh.delay);
    frame.disposal = static_cast<std::uint8_t>(fh.disposal);
    frame.interlaced = static_cast<std::uint8_t>(fh.interlaced);
    frame.userInput = static_cast<std::uint8_t>(fh.userInput);
    frame.frameRect = fh.frameRect;
    Rect decodeRect = target.clip ? fh.frameRect.intersected(*target.clip) : fh.frameRect;
    if (decodeRect.isEmpty())
        return; // the frame stays, with an empty picture
    Size size = targetSize(decodeRect, header, target.inRect, target.percent, target.size);
    // Each store is refused beyond its own limit; together the frames of a long animation on a
    // large canvas (a few bytes in the file per frame) may hold no more than one store either,
    // so that such a file is refused before memory runs out, not after.
    const std::uint64_t bytes = storeBytes(size, fh.bytesPerPixel, fh.withAlpha != 0);
    if (bytes > ImageBuffer::kMaxStoreBytes
                - std::min<std::uint64_t>(*target.held, ImageBuffer::kMaxStoreBytes))
        ThrowAlb(Msg::NotEnoughMemory, Module::CodecFramework, target.place, kStepFramesTooLarge);
    *target.held += bytes;
    frame.image.create(size.width, size.height, static_cast<std::uint8_t>(fh.bytesPerPixel),
                       fh.withAlpha != 0);
    frame.image.transparent = fh.transparentIndex;
    AttachTarget(fh, frame.image, decodeRect);
    decodeFrame(stream, fh, index, false);
    frame.drawnRect = decodeRect;
}
