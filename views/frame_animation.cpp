#include "views/frame_animation.h"

#include "common/alb_exception.h"
#include "views/view_picture.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr std::uint8_t kDisposeToBackground = 2;
constexpr std::uint8_t kDisposeToPrevious = 3;
constexpr int kShortestDelay = 10;

// The part of the canvas a frame covers.
Rect coveredRect(const ImageFrame &frame, const ImageInfo &info, std::int32_t percent,
                 const ImageBuffer &canvas)
{
    const FramePlacement place = PlaceFrame(frame, info, percent);
    const Rect at{ place.x, place.y, place.x + frame.image.width, place.y + frame.image.height };
    return at.intersected(Rect{ 0, 0, canvas.width, canvas.height });
}

std::uint8_t *alphaAt(ImageBuffer &image, std::int32_t x, std::int32_t y)
{
    return image.alpha + static_cast<std::size_t>(y) * (image.width + image.rowPad) + x;
}

} // namespace

int FrameDelayMs(const ImageFrame &frame)
{
    const int hundredths = frame.delay <= 1 ? kShortestDelay : frame.delay;
    return hundredths * 10;
}

bool FrameAnimation::start(const FrameArray &frames, const ImageInfo &info, std::int32_t percent)
{
    stop();
    if (frames.size() < 2 || !frames[0])
        return false;
    const FramePlacement place = PlaceFrame(*frames[0], info, percent);
    try {
        canvasImage.create(place.canvas.width, place.canvas.height, 3, true);
    } catch (const CAlbExceptionBase &) {
        canvasImage.reset();
        return false;
    }
    // Any colour other than -1 makes the renderer blend by the alpha plane.
    canvasImage.transparent = 0;
    frameCount = frames.size();
    firstFrame = frames[0].get();
    index = 0;
    clear();
    draw(*frames[0], info, percent);
    return true;
}

void FrameAnimation::stop()
{
    canvasImage.reset();
    savedColour.clear();
    savedAlpha.clear();
    frameCount = 0;
    firstFrame = nullptr;
    index = 0;
}

bool FrameAnimation::startedWith(const FrameArray &frames) const
{
    return playing() && frames.size() == frameCount && frames[0].get() == firstFrame;
}

void FrameAnimation::advance(const FrameArray &frames, const ImageInfo &info, std::int32_t percent)
{
    if (!startedWith(frames))
        return;
    dispose(*frames[std::size_t(index)], info, percent);
    index = (index + 1) % static_cast<std::int32_t>(frameCount);
    if (index == 0)
        clear();
    if (frames[std::size_t(index)])
        draw(*frames[std::size_t(index)], info, percent);
}

void FrameAnimation::clear()
{
    const std::size_t rows = static_cast<std::size_t>(canvasImage.height);
    std::memset(canvasImage.pixels, 0, canvasImage.stride() * rows);
    std::memset(canvasImage.alpha, 0,
                static_cast<std::size_t>(canvasImage.width + canvasImage.rowPad) * rows);
    savedColour.clear();
    savedAlpha.clear();
}

void FrameAnimation::draw(const ImageFrame &frame, const ImageInfo &info, std::int32_t percent)
{
    const ImageBuffer &image = frame.image;
    savedColour.clear();
    savedAlpha.clear();
    if (!image.hasPixels() || (image.bytesPerPixel == 1 && !image.palette))
        return;
    const FramePlacement place = PlaceFrame(frame, info, percent);
    const Rect covered = coveredRect(frame, info, percent, canvasImage);
    if (covered.isEmpty())
        return;
    if (frame.disposal == kDisposeToPrevious) {
        // Without room to keep what is under the frame, the frame simply stays (disposal 1).
        try {
            for (std::int32_t y = covered.top; y < covered.bottom; ++y) {
                const std::uint8_t *colour = canvasImage.row(y) + std::size_t(covered.left) * 3;
                savedColour.insert(savedColour.end(), colour, colour + covered.width() * 3);
                const std::uint8_t *alpha = alphaAt(canvasImage, covered.left, y);
                savedAlpha.insert(savedAlpha.end(), alpha, alpha + covered.width());
            }
        } catch (const std::bad_alloc &) {
            savedColour.clear();
            savedAlpha.clear();
        }
    }
    for (std::int32_t y = covered.top; y < covered.bottom; ++y) {
        const std::uint8_t *in = image.row(y - place.y);
        const std::uint8_t *inAlpha = image.alpha
                ? image.alpha + static_cast<std::size_t>(y - place.y) * (image.width + image.rowPad)
                : nullptr;
        std::uint8_t *out = canvasImage.row(y);
        std::uint8_t *outAlpha = alphaAt(canvasImage, 0, y);
        for (std::int32_t x = covered.left; x < covered.right; ++x) {
            const std::int32_t c = x - place.x;
            std::uint8_t *pixel = out + std::size_t(x) * 3;
            if (image.bytesPerPixel == 1) {
                if (image.transparent >= 0 && in[c] == std::uint8_t(image.transparent))
                    continue;
                const PaletteEntry &e = image.palette->entries[in[c]];
                pixel[0] = e.blue;
                pixel[1] = e.green;
                pixel[2] = e.red;
            } else {
                const std::uint8_t *source = in + std::size_t(c) * 3;
                if (inAlpha && inAlpha[c] == 0)
                    continue;
                if (!inAlpha && image.transparent != -1 && source[0] == BlueOf(image.transparent)
                    && source[1] == GreenOf(image.transparent)
                    && source[2] == RedOf(image.transparent))
                    continue;
                std::memcpy(pixel, source, 3);
            }
            outAlpha[x] = 255;
        }
    }
}

void FrameAnimation::dispose(const ImageFrame &frame, const ImageInfo &info, std::int32_t percent)
{
    const Rect covered = coveredRect(frame, info, percent, canvasImage);
    if (covered.isEmpty())
        return;
    const bool restore = frame.disposal == kDisposeToPrevious
            && savedAlpha.size() == std::size_t(covered.width()) * std::size_t(covered.height());
    if (frame.disposal != kDisposeToBackground && !restore)
        return;
    std::size_t at = 0;
    for (std::int32_t y = covered.top; y < covered.bottom; ++y) {
        std::uint8_t *colour = canvasImage.row(y) + std::size_t(covered.left) * 3;
        std::uint8_t *alpha = alphaAt(canvasImage, covered.left, y);
        const std::size_t w = std::size_t(covered.width());
        if (restore) {
            std::memcpy(colour, savedColour.data() + at * 3, w * 3);
            std::memcpy(alpha, savedAlpha.data() + at, w);
            at += w;
        } else {
            // The background browsers show: the window's own, through a clear canvas.
            std::memset(alpha, 0, w);
        }
    }
}
