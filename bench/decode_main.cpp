// vistrel-bench-decode FILE [--box WxH]: decodes a picture's first frame at full size, or fitted
// into a box the way the thumbnails are, and prints a checksum of the pixels so that no work can
// be skipped. Timed as a whole process beside other tools by bench/*.sh.
#include "codecs/detecting_codec.h"
#include "common/alb_exception.h"

#include <cstdio>
#include <cstring>

namespace {

unsigned checksum(const ImageBuffer &image)
{
    unsigned sum = 0;
    for (std::int32_t y = 0; y < image.height; y += 7) {
        const std::uint8_t *row = image.row(y);
        for (std::int32_t x = 0; x < image.width * image.bytesPerPixel; x += 5)
            sum = sum * 31 + row[x];
    }
    return sum;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--box") == 0)) {
        std::fputs("usage: vistrel-bench-decode FILE [--box WxH]\n", stderr);
        return 2;
    }
    try {
        DetectingCodec codec;
        if (argc == 4) {
            int w = 0, h = 0;
            if (std::sscanf(argv[3], "%dx%d", &w, &h) != 2)
                return 2;
            ImageBuffer image;
            codec.decodeFirstFrameFromFile(argv[1], &image, w, h);
            std::printf("%dx%d %08x\n", image.width, image.height, checksum(image));
            return 0;
        }
        ImageInfo info;
        FrameArray frames;
        codec.decodeFramesFromFile(argv[1], &info, &frames, nullptr, nullptr);
        const ImageBuffer &image = frames.at(0)->image;
        std::printf("%dx%d %08x\n", image.width, image.height, checksum(image));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
