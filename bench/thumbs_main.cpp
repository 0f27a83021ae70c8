// vistrel-bench-thumbs DIR WxH [OUTDIR]: the thumbnail path over a folder. The first frame of
// every *.jpg in DIR is decoded into a W x H box the way the thumbnail view does it
// (decodeFirstFrameFromFile, then three bytes per pixel) and, with OUTDIR, written there as a
// BMP of the same name: the peer tools this is timed against write their thumbnails too.
// Prints the number of pictures and a checksum of their pixels so that no work can be skipped.
#include "codecs/bmp_writer.h"
#include "codecs/detecting_codec.h"
#include "common/alb_exception.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> jpegFiles(const fs::path &folder)
{
    std::vector<fs::path> files;
    for (const auto &entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".jpg")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

unsigned checksum(const ImageBuffer &image, unsigned sum)
{
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t *row = image.row(y);
        for (std::int32_t x = 0; x < image.width * image.bytesPerPixel; ++x)
            sum = sum * 31 + row[x];
    }
    return sum;
}

} // namespace

int main(int argc, char **argv)
{
    int w = 0, h = 0;
    if ((argc != 3 && argc != 4) || std::sscanf(argv[2], "%dx%d", &w, &h) != 2 || w <= 0
        || h <= 0) {
        std::fputs("usage: vistrel-bench-thumbs DIR WxH [OUTDIR]\n", stderr);
        return 2;
    }
    int status = 0;
    unsigned sum = 0;
    std::size_t count = 0;
    for (const fs::path &file : jpegFiles(argv[1])) {
        try {
            ImageBuffer image;
            DetectingCodec().decodeFirstFrameFromFile(file.string(), &image, w, h);
            image.ensureTrueColour();
            sum = checksum(image, sum);
            if (argc == 4) {
                const fs::path out = fs::path(argv[3]) / file.filename().replace_extension(".bmp");
                BmpWriter().write(
                        out.string(),
                        PixelSpan::Padded(image.pixels, image.width, image.height, image.rowPad));
            }
            ++count;
        } catch (const std::exception &e) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), e.what());
            status = 1;
        }
    }
    std::printf("%zu pictures %08x\n", count, sum);
    return status;
}
