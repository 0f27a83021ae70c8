#include "image/view_geometry.h"

#include <algorithm>
#include <cstdint>
#include <utility>

Size fitSize(std::int32_t boxWidth, std::int32_t boxHeight, std::int32_t imageWidth,
             std::int32_t imageHeight, bool allowEnlarge)
{
    if (imageWidth <= 0 || imageHeight <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return { 0, 0 };
    double rw = static_cast<double>(boxWidth) / imageWidth;
    double rh = static_cast<double>(boxHeight) / imageHeight;
    if (rw >= 1 && rh >= 1 && !allowEnlarge)
        return { imageWidth, imageHeight };
    // 64-bit products: a 65,535-pixel box times a 65,535-pixel side overflows 32 bits.
    if (rw <= rh) {
        std::int64_t h =
                (imageWidth + static_cast<std::int64_t>(boxWidth) * imageHeight - 1) / imageWidth;
        return { boxWidth, static_cast<std::int32_t>(std::clamp<std::int64_t>(h, 1, boxHeight)) };
    }
    std::int64_t w =
            (imageHeight + static_cast<std::int64_t>(boxHeight) * imageWidth - 1) / imageHeight;
    return { static_cast<std::int32_t>(std::clamp<std::int64_t>(w, 1, boxWidth)), boxHeight };
}

namespace {

// Every product below is taken in 64 bits: a picture of up to 1 GiB at zoom 1200 has sides and
// coordinates whose products exceed 32 bits by far.
std::int32_t saturate(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// A few zoom values give a slightly larger size than plain rounding up: side / f more. The
// values and divisors are fixed so that every view sizes a zoomed picture the same way.
std::int64_t correctionDivisor(std::int32_t zoom)
{
    switch (zoom) {
    case 14:
    case 15:
        return 500;
    case 16:
    case 17:
        return 128;
    case 20:
    case 21:
        return 180;
    case 26:
    case 27:
    case 98:
        return 250;
    case 36:
    case 37:
        return 200;
    case 51:
    case 66:
    case 70:
        return 160;
    case 57:
    case 74:
    case 99:
        return 130;
    default:
        return 0;
    }
}

std::int64_t reducedSide(std::int64_t side, std::int32_t zoom)
{
    std::int64_t reduced = zoom == 12 || zoom == 13 ? side * (2 * zoom - 25) / 120 + side / 8
                                                    : (side * zoom + 99) / 100;
    reduced = std::max<std::int64_t>(reduced, 1);
    if (std::int64_t f = correctionDivisor(zoom))
        reduced += side / f;
    return reduced;
}

std::int32_t scaled(std::int64_t value, std::int64_t numerator, std::int64_t denominator)
{
    return denominator == 0 ? 0 : saturate(numerator * value / denominator);
}

} // namespace

Size zoomedSize(std::int32_t width, std::int32_t height, std::int32_t zoom, int orientation)
{
    std::int64_t w = width;
    std::int64_t h = height;
    if (zoom > 100) {
        w = (w * zoom + 50) / 100;
        h = (h * zoom + 50) / 100;
    } else if (zoom < 100) {
        w = reducedSide(w, zoom);
        h = reducedSide(h, zoom);
    }
    if (orientation % 2 != 0)
        std::swap(w, h);
    return { saturate(w), saturate(h) };
}

Rect viewToImageRect(const Rect &view, std::int32_t imageWidth, std::int32_t imageHeight,
                     std::int32_t zoom, int orientation)
{
    Size zoomed = zoomedSize(imageWidth, imageHeight, zoom, orientation);
    bool odd = orientation % 2 != 0;
    std::int64_t l = odd ? imageHeight : imageWidth;
    std::int64_t m = odd ? imageWidth : imageHeight;
    std::int64_t x0 = view.left, x1 = view.right, y0 = view.top, y1 = view.bottom;
    if (zoom != 100) {
        x0 = scaled(view.left, l, zoomed.width);
        x1 = scaled(view.right, l, zoomed.width);
        y0 = scaled(view.top, m, zoomed.height);
        y1 = scaled(view.bottom, m, zoomed.height);
    }
    if (orientation > 3) {
        x0 = l - x0;
        x1 = l - x1;
    }
    std::int64_t a = imageWidth, b = imageHeight;
    std::int64_t r[4];
    switch (orientation % 4) {
    case 0:
        r[0] = x0, r[1] = y0, r[2] = x1, r[3] = y1;
        break;
    case 1:
        r[0] = y0, r[1] = b - x0, r[2] = y1, r[3] = b - x1;
        break;
    case 2:
        r[0] = a - x0, r[1] = b - y0, r[2] = a - x1, r[3] = b - y1;
        break;
    default:
        r[0] = a - y0, r[1] = x0, r[2] = a - y1, r[3] = x1;
        break;
    }
    return Rect{ saturate(r[0]), saturate(r[1]), saturate(r[2]), saturate(r[3]) }.normalised();
}

Rect imageToViewRect(const Rect &image, std::int32_t imageWidth, std::int32_t imageHeight,
                     std::int32_t zoom, int orientation)
{
    Size zoomed = zoomedSize(imageWidth, imageHeight, zoom, 0);
    std::int64_t w0 = zoomed.width, h0 = zoomed.height;
    std::int64_t x0 = image.left, x1 = image.right, y0 = image.top, y1 = image.bottom;
    if (zoom != 100) {
        x0 = scaled(image.left, w0, imageWidth);
        x1 = scaled(image.right, w0, imageWidth);
        y0 = scaled(image.top, h0, imageHeight);
        y1 = scaled(image.bottom, h0, imageHeight);
    }
    std::int64_t r[4];
    switch (orientation % 4) {
    case 0:
        r[0] = x0, r[1] = y0, r[2] = x1, r[3] = y1;
        break;
    case 1:
        r[0] = h0 - y0, r[1] = x0, r[2] = h0 - y1, r[3] = x1;
        break;
    case 2:
        r[0] = w0 - x0, r[1] = h0 - y0, r[2] = w0 - x1, r[3] = h0 - y1;
        break;
    default:
        r[0] = y0, r[1] = w0 - x0, r[2] = y1, r[3] = w0 - x1;
        break;
    }
    if (orientation > 3) {
        std::int64_t k = orientation % 2 != 0 ? h0 : w0;
        r[0] = k - r[0];
        r[2] = k - r[2];
    }
    return Rect{ saturate(r[0]), saturate(r[1]), saturate(r[2]), saturate(r[3]) }.normalised();
}
