// The thumbnail path: the first frame fitted into a small box, and into a box larger than the
// picture.
#include "fuzz_input.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::int32_t boxes[][2] = { { 55, 71 }, { kFuzzMaxSide, kFuzzMaxSide } };
    for (const auto &box : boxes) {
        IgnoringCleanFailures([&] {
            MemoryImageStream stream(data, static_cast<std::int64_t>(size));
            ImageBuffer image;
            DetectingCodec codec;
            codec.decodeFirstFrame(stream, image, box[0], box[1]);
            // Touch every pixel so that a store smaller than its geometry shows up.
            volatile std::uint8_t sum = 0;
            for (std::int32_t y = 0; y < image.height; ++y)
                for (std::size_t x = 0; x < image.stride(); ++x)
                    sum = static_cast<std::uint8_t>(sum + image.row(y)[x]);
        });
    }
    return 0;
}
