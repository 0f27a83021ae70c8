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

// The crop preview's zooms between these land on 100: its steps of 4/3 and 3/4 never hit it.
constexpr std::int32_t kSnapLow = 96;
constexpr std::int32_t kSnapHigh = 104;

std::int32_t snapped(std::int32_t z)
{
    if (z >= kSnapLow && z <= kSnapHigh)
        return 100;
    return z & ~1;
}

// One axis of PreviewZoomTo, with position = -offset (the client position of the picture's
// first pixel).
std::int32_t previewPosition(std::int32_t position, std::int32_t zoom, std::int32_t z,
                             std::int32_t zoomed, std::int32_t client)
{
    if (zoomed < client)
        return (client - zoomed) / 2;
    // The client centre's picture point c = (client / 2 - position) / zoom stays at client / 2:
    // the position moves by (client / 2 - position) * (zoom - z) / zoom.
    const double shift = double(client - 2 * position) * double(zoom - z) / (2.0 * zoom);
    const std::int32_t moved = position + static_cast<std::int32_t>(shift + 0.5);
    return std::clamp(moved, client - zoomed, 0);
}

} // namespace

bool PictureZoom::overflows(Size client) const
{
    return zoomed.width > client.width || zoomed.height > client.height;
}

Rect PictureZoom::inWindow(Size client) const
{
    Rect r{ 0, 0, client.width, client.height };
    if (zoomed.width < client.width) {
        r.left = -offsetX;
        r.right = -offsetX + zoomed.width;
    }
    if (zoomed.height < client.height) {
        r.top = -offsetY;
        r.bottom = -offsetY + zoomed.height;
    }
    return r;
}

bool PictureZoom::panBy(std::int32_t dx, std::int32_t dy, Size client)
{
    const std::int32_t x = PannedOffset(offsetX, dx, zoomed.width, client.width);
    const std::int32_t y = PannedOffset(offsetY, dy, zoomed.height, client.height);
    const bool moved = x != offsetX || y != offsetY;
    offsetX = x;
    offsetY = y;
    return moved;
}

void PictureZoom::centre(Size client)
{
    offsetX = (zoomed.width - client.width) / 2;
    offsetY = (zoomed.height - client.height) / 2;
}

void PictureZoom::relayout(std::int32_t z, Size now, Size client, bool keep, double anchorX,
                           double anchorY)
{
    zoom = z;
    offsetX = RelayoutOffset(offsetX, zoomed.width, now.width, client.width, keep, anchorX);
    offsetY = RelayoutOffset(offsetY, zoomed.height, now.height, client.height, keep, anchorY);
    zoomed = now;
}

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

std::int32_t NearestZoomedLength(std::int32_t length, std::int32_t zoom)
{
    return static_cast<std::int32_t>(double(length) * zoom * 0.01 + 0.5);
}

PictureZoom FitPreview(Size client, Size picture)
{
    // Without a picture or room to fit it in, the picture stays at actual size.
    PictureZoom placement{ kActualSize, picture, 0, 0 };
    if (picture.width <= 0 || picture.height <= 0 || client.width <= 0 || client.height <= 0)
        return placement;
    const double zx = double(client.width) * 100.0 / picture.width + 0.5;
    const double zy = double(client.height) * 100.0 / picture.height + 0.5;
    // A picture hundreds of times larger than the preview would fit at 0 percent; 1 keeps every
    // later division by the zoom defined.
    placement.zoom = std::max(static_cast<std::int32_t>(std::min(zx, zy)), 1);
    placement.zoomed = { NearestZoomedLength(picture.width, placement.zoom),
                         NearestZoomedLength(picture.height, placement.zoom) };
    if (zx < zy)
        placement.offsetY = -((client.height - placement.zoomed.height) / 2);
    else
        placement.offsetX = -((client.width - placement.zoomed.width) / 2);
    return placement;
}

std::optional<std::int32_t> PreviewZoomInStep(std::int32_t zoom)
{
    if (zoom >= kMaxZoom)
        return std::nullopt;
    return std::min(snapped(zoom * 100 / 75), kMaxZoom);
}

std::optional<std::int32_t> PreviewZoomOutStep(std::int32_t zoom, Size zoomed)
{
    if (zoom <= kMinZoom || zoomed.width <= 1 || zoomed.height <= 1)
        return std::nullopt;
    return std::max(snapped(zoom * 75 / 100), kMinZoom);
}

PictureZoom PreviewZoomTo(const PictureZoom &from, std::int32_t z, Size client, Size picture)
{
    PictureZoom to;
    to.zoom = z;
    to.zoomed = { NearestZoomedLength(picture.width, z), NearestZoomedLength(picture.height, z) };
    to.offsetX = -previewPosition(-from.offsetX, from.zoom, z, to.zoomed.width, client.width);
    to.offsetY = -previewPosition(-from.offsetY, from.zoom, z, to.zoomed.height, client.height);
    return to;
}

std::int32_t PictureToWindow(std::int32_t picture, std::int32_t zoom, std::int32_t offset)
{
    return NearestZoomedLength(picture, zoom) - offset;
}

std::int32_t WindowToPicture(std::int32_t window, std::int32_t zoom, std::int32_t offset)
{
    return static_cast<std::int32_t>(double(window + offset) * 100.0 / zoom + 0.5);
}

} // namespace ImageZoom
