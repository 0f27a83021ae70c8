// Every frame at full size (capped), and clipped to a rectangle at another scale.
#include "fuzz_input.h"

#include "image/view_geometry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    IgnoringCleanFailures([&] {
        MemoryImageStream stream(data, static_cast<std::int64_t>(size));
        ImageHeader header;
        DetectingCodec codec;
        codec.readInfo(stream, header);
        Size whole = fitSize(kFuzzMaxSide, kFuzzMaxSide, header.width, header.height, false);
        Rect clip { header.width / 4, header.height / 4, header.width / 2 + 1,
                    header.height / 2 + 1 };
        Size scaled { whole.width / 3 + 1, whole.height / 2 + 1 };
        const Rect *clips[] = { nullptr, &clip };
        for (const Rect *c : clips) {
            IgnoringCleanFailures([&] {
                ImageInfo info;
                FrameArray frames;
                codec.decodeFramesInRect(stream, info, frames, c ? &scaled : &whole, c);
            });
        }
    });
    return 0;
}
