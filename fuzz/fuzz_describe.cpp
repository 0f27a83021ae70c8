// Format detection and the file facts of a picture.
#include "codecs/image_description.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    IgnoringCleanFailures([&] {
        MemoryImageStream stream(data, static_cast<std::int64_t>(size));
        ImageHeader header;
        DetectingCodec codec;
        codec.readInfo(stream, header);
        ImageInfo info;
        DescribeImage(header, info, true);
        FrameHeader frame;
        for (std::int32_t i = 0; i < header.frameCount && i < 64; ++i)
            codec.readFrameInfo(stream, frame, i);
    });
    return 0;
}
