// vistrel-bench-render [FILE]: draws a 4000 x 3000 picture (FILE's first frame, or a generated
// one) into a 1920 x 1080 view the way the image view does, centred at zoom 48 and at 400, and
// prints the view pixels drawn per second beside a plain memory copy of the same bytes, which is
// the most any drawing into that buffer could reach.
#include "codecs/detecting_codec.h"
#include "image/render.h"
#include "image/view_geometry.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

namespace {

constexpr std::int32_t kViewWidth = 1920;
constexpr std::int32_t kViewHeight = 1080;
constexpr double kSecondsPerCase = 1.0;

ImageBuffer generatedPicture()
{
    ImageBuffer image;
    image.create(4000, 3000, 3, false);
    for (std::int32_t y = 0; y < image.height; ++y) {
        std::uint8_t *p = image.row(y);
        for (std::int32_t x = 0; x < image.width; ++x, p += 3) {
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x ^ y);
        }
    }
    return image;
}

// Repeats work until kSecondsPerCase has passed; returns megapixels of the view per second.
template <class Work>
double megapixelsPerSecond(Work work)
{
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    long rounds = 0;
    double seconds = 0;
    do {
        work();
        ++rounds;
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    } while (seconds < kSecondsPerCase);
    return static_cast<double>(kViewWidth) * kViewHeight * static_cast<double>(rounds) / seconds
            / 1e6;
}

double renderRate(const ImageBuffer &image, std::int32_t zoom, Orientation orientation,
                  std::vector<std::uint8_t> &view)
{
    // The view shows the middle of the zoomed picture, as the image view does when it opens.
    Size zoomed = zoomedSize(image.width, image.height, zoom, orientation);
    std::int32_t left = zoomed.width > kViewWidth ? (zoomed.width - kViewWidth) / 2 : 0;
    std::int32_t top = zoomed.height > kViewHeight ? (zoomed.height - kViewHeight) / 2 : 0;
    Rect held{ left, top, left + kViewWidth, top + kViewHeight };
    RenderOptions options;
    options.viewSize = zoomed;
    options.orientation = orientation;
    return megapixelsPerSecond([&] { renderImage(image, held, view.data(), 0, options); });
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2) {
        std::fputs("usage: vistrel-bench-render [FILE]\n", stderr);
        return 2;
    }
    try {
        ImageBuffer image;
        if (argc == 2) {
            ImageInfo info;
            FrameArray frames;
            DetectingCodec().decodeFramesFromFile(argv[1], &info, &frames, nullptr, nullptr);
            image = std::move(frames.at(0)->image);
        } else {
            image = generatedPicture();
        }
        std::vector<std::uint8_t> view(static_cast<std::size_t>(kViewWidth) * kViewHeight * 3);
        std::vector<std::uint8_t> copy(view.size());
        double limit = megapixelsPerSecond([&] {
            std::memcpy(view.data(), copy.data(), view.size());
            copy[view.size() / 2] ^= view[7]; // keeps the copies from being merged
        });
        std::printf("picture %dx%d, %d bytes per pixel, view %dx%d\n", image.width, image.height,
                    image.bytesPerPixel, kViewWidth, kViewHeight);
        std::printf("%-28s %9.1f MP/s\n", "memcpy of the view (limit)", limit);
        for (std::int32_t zoom : { 48, 400 }) {
            for (Orientation orientation : { 0, 1 }) {
                double rate = renderRate(image, zoom, orientation, view);
                std::printf("zoom %4d orientation %d      %9.1f MP/s  %5.2f of memcpy\n", zoom,
                            orientation, rate, rate / limit);
            }
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
