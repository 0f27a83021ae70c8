// vistrel-bench-gif-encode IN OUT --colors N [--no-dither]: reads a picture at full size and
// writes it as a GIF the way the save routine does: 3-byte pixels reduced to N colours, with
// error diffusion unless --no-dither. Timed as a whole process beside other tools by
// bench/gif_encode.sh.
#include "codecs/detecting_codec.h"
#include "codecs/gif_writer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace {

int usage()
{
    std::fputs("usage: vistrel-bench-gif-encode IN OUT --colors N [--no-dither]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5 || std::strcmp(argv[3], "--colors") != 0)
        return usage();
    const int colours = std::atoi(argv[4]);
    bool dither = true;
    for (int i = 5; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-dither") != 0)
            return usage();
        dither = false;
    }
    if (colours < 2 || colours > 256)
        return usage();
    try {
        DetectingCodec codec;
        ImageInfo info;
        FrameArray frames;
        codec.decodeFramesFromFile(argv[1], &info, &frames, nullptr, nullptr);
        ImageBuffer &image = frames.at(0)->image;
        image.ensureTrueColour();
        GifWriter writer;
        writer.colourCount = colours;
        writer.dither = dither ? 1 : 0;
        writer.write(argv[2],
                     PixelSpan::Padded(image.pixels, image.width, image.height, image.rowPad));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
