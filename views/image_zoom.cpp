#include "views/image_zoom.h"

#include "app/app_settings.h"
#include "image/view_geometry.h"

#include <algorithm>
#include <cmath>

namespace ImageZoom {

namespace {

std::int32_t limited(std::int32_t zoom)
{
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

// The side lengths of a picture at percent, turned when rotation is odd.
Size scaledBy(Size full, std::int32_t percent, std::int32_t rotation)
{
    const std::int64_t w = std::int64_t{ full.width } * percent / 100;
    const std::int64_t h = std::int64_t{ full.height } * percent / 100;
    Size out{ static_cast<std::int32_t>(w), static_cast<std::int32_t>(h) };
    if (rotation % 2 != 0)
        std::swap(out.width, out.height);
    return out;
}

bool smallerEitherWay(Size a, Size b)
{
    return a.width < b.width || a.height < b.height;
}

} // namespace

std::int32_t ZoomInStep(std::int32_t z)
{
    if (z < 50)
        return z + 10 > 50 ? 75 : limited((z + 10) / 10 * 10);
    if (z < 100)
        return z + 25 > 100 ? 125 : limited((z + 25) / 25 * 25);
    const std::int32_t grown = z * 5 / 4;
    return limited((grown + 4) / 5 * 5);
}

std::int32_t ZoomOutStep(std::int32_t z)
{
    if (z <= 50) {
        const std::int32_t less = z - 10;
        return limited(less - less % 10);
    }
    if (z <= 100) {
        const std::int32_t less = (z - 25) / 25 * 25;
        return limited(less < 50 ? 40 : less);
    }
    const std::int32_t shrunk = z * 4 / 5;
    return limited(shrunk < 100 ? 100 : shrunk / 5 * 5);
}

FitMode FitModeOf(std::uint32_t prefFlags)
{
    switch ((prefFlags >> PrefFlag::FitModeShift) & 3) {
    case 0:
        return FitMode::ShrinkToFill;
    case 1:
        return FitMode::FitInside;
    default:
        return FitMode::NoFit;
    }
}

std::int32_t FitZoom(FitMode mode, Size zoomed, Size client)
{
    const std::int32_t cw = client.width, ch = client.height;
    const std::int64_t zw = zoomed.width, zh = zoomed.height;
    if (cw <= 0 || ch <= 0 || zw <= 0 || zh <= 0)
        return kActualSize;
    std::int64_t zoom = kActualSize;
    if (mode == FitMode::ShrinkToFill) {
        if (zw < cw || zh < ch)
            return kActualSize;
        zoom = double(zw) / cw <= double(zh) / ch ? cw * 100 / zw : ch * 100 / zh;
    } else if (mode == FitMode::FitInside) {
        const Size fitted = fitSize(cw, ch, zoomed.width, zoomed.height, true);
        if (fitted.width == cw)
            zoom = cw * 100 / zw;
        else if (fitted.height == ch)
            zoom = ch * 100 / zh;
    }
    // Enlarging stops at the largest zoom the commands know, so that Zoom In never falls back.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(zoom, kMinZoom, kMaxZoom));
}

std::int32_t AutoRotation(Size full, Size screen, bool rotateLeft)
{
    const bool turn = (screen.width < screen.height && full.height < full.width)
            || (screen.width > screen.height && full.width < full.height);
    if (!turn)
        return 0;
    return rotateLeft ? 3 : 1;
}

std::int32_t RelayoutOffset(std::int32_t offset, std::int32_t oldLength, std::int32_t newLength,
                            std::int32_t client, bool keep, double anchor)
{
    if (newLength <= client)
        return (newLength - client) / 2;
    std::int64_t moved = offset;
    if (keep && oldLength > 0) {
        const double ratio = double(newLength) / double(oldLength);
        moved = static_cast<std::int64_t>(std::trunc(ratio * (anchor + offset) - anchor));
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(moved, 0, newLength - client));
}

std::int32_t PannedOffset(std::int32_t offset, std::int32_t step, std::int32_t length,
                          std::int32_t client)
{
    if (length <= client)
        return offset;
    return static_cast<std::int32_t>(
            std::clamp<std::int64_t>(std::int64_t{ offset } + step, 0, length - client));
}

std::int32_t DecodePercent(Size full, Size zoomed, std::int32_t rotation)
{
    if (smallerEitherWay(scaledBy(full, 60, rotation), zoomed))
        return 100;
    if (smallerEitherWay(scaledBy(full, 30, rotation), zoomed))
        return 50;
    if (smallerEitherWay(scaledBy(full, 15, rotation), zoomed))
        return 25;
    return 13;
}

std::int32_t SmallerDecodePercent(std::int32_t percent)
{
    if (percent < 14)
        return 8;
    if (percent < 26)
        return 13;
    if (percent <= 50)
        return 25;
    return 50;
}

} // namespace ImageZoom
