#pragma once

#include "codecs/image_codec.h"
#include "fuzz_input.h"
#include "image/view_geometry.h"

// One reader on its own, as the album uses it: the picture's facts, every frame fitted into the
// fuzzing cap, clipped to a rectangle at another scale, and the thumbnail path. Every pixel of the
// thumbnail is read so that a store smaller than its geometry shows up.
inline void FuzzReader(ImageCodec &codec, const std::uint8_t *data, std::size_t size)
{
    IgnoringCleanFailures([&] {
        MemoryImageStream stream(data, static_cast<std::int64_t>(size));
        ImageHeader header;
        codec.readInfo(stream, header);
        const Size whole = fitSize(kFuzzMaxSide, kFuzzMaxSide, header.width, header.height, false);
        const Rect clip{ header.width / 3, header.height / 5, header.width / 2 + 1,
                         header.height - header.height / 4 };
        const Size scaled{ whole.width / 2 + 1, whole.height / 3 + 1 };
        for (const Rect *c : { static_cast<const Rect *>(nullptr), &clip }) {
            IgnoringCleanFailures([&] {
                ImageInfo info;
                FrameArray frames;
                codec.decodeFramesInRect(stream, info, frames, c ? &scaled : &whole, c);
            });
        }
        ImageBuffer image;
        codec.decodeFirstFrame(stream, image, 55, 71);
        volatile std::uint8_t sum = 0;
        for (std::int32_t y = 0; y < image.height; ++y)
            for (std::size_t x = 0; x < image.stride(); ++x)
                sum = static_cast<std::uint8_t>(sum + image.row(y)[x]);
    });
}
