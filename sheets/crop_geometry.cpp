#include "sheets/crop_geometry.h"

#include <algorithm>

namespace {

// Zooms between these land on 100: the steps of 4/3 and 3/4 never hit it exactly.
constexpr std::int32_t kSnapLow = 96;
constexpr std::int32_t kSnapHigh = 104;

std::int32_t snapped(std::int32_t z)
{
    if (z >= kSnapLow && z <= kSnapHigh)
        return 100;
    return z & ~1;
}

// One axis of ApplyZoom.
std::int32_t zoomedOffset(std::int32_t offset, std::int32_t zoom, std::int32_t z,
                          std::int32_t displayed, std::int32_t client)
{
    if (displayed < client)
        return (client - displayed) / 2;
    // The client centre's picture point c = (client / 2 - offset) / zoom stays at client / 2:
    // the offset moves by (client / 2 - offset) * (zoom - z) / zoom.
    const double shift = double(client - 2 * offset) * double(zoom - z) / (2.0 * zoom);
    const std::int32_t moved = offset + static_cast<std::int32_t>(shift + 0.5);
    return std::clamp(moved, client - displayed, 0);
}

} // namespace

std::int32_t ZoomedLength(std::int32_t length, std::int32_t zoom)
{
    return static_cast<std::int32_t>(double(length) * zoom * 0.01 + 0.5);
}

PreviewPlacement FitPreview(Size client, Size picture)
{
    PreviewPlacement placement;
    if (picture.width <= 0 || picture.height <= 0 || client.width <= 0 || client.height <= 0)
        return placement;
    const double zx = double(client.width) * 100.0 / picture.width + 0.5;
    const double zy = double(client.height) * 100.0 / picture.height + 0.5;
    // A picture hundreds of times larger than the preview would fit at 0 percent; 1 keeps every
    // later division by the zoom defined.
    placement.zoom = std::max(static_cast<std::int32_t>(std::min(zx, zy)), 1);
    placement.displayed = { ZoomedLength(picture.width, placement.zoom),
                            ZoomedLength(picture.height, placement.zoom) };
    if (zx < zy)
        placement.offsetY = (client.height - placement.displayed.height) / 2;
    else
        placement.offsetX = (client.width - placement.displayed.width) / 2;
    return placement;
}

std::optional<std::int32_t> ZoomInStep(std::int32_t zoom)
{
    if (zoom >= kMaxCropZoom)
        return std::nullopt;
    return std::min(snapped(zoom * 100 / 75), kMaxCropZoom);
}

std::optional<std::int32_t> ZoomOutStep(std::int32_t zoom, Size displayed)
{
    if (zoom <= kMinCropZoom || displayed.width <= 1 || displayed.height <= 1)
        return std::nullopt;
    return std::max(snapped(zoom * 75 / 100), kMinCropZoom);
}

PreviewPlacement ApplyZoom(const PreviewPlacement &from, std::int32_t z, Size client, Size picture)
{
    PreviewPlacement to;
    to.zoom = z;
    to.displayed = { ZoomedLength(picture.width, z), ZoomedLength(picture.height, z) };
    to.offsetX = zoomedOffset(from.offsetX, from.zoom, z, to.displayed.width, client.width);
    to.offsetY = zoomedOffset(from.offsetY, from.zoom, z, to.displayed.height, client.height);
    return to;
}

std::int32_t PictureToScreen(std::int32_t picture, std::int32_t zoom, std::int32_t offset)
{
    return ZoomedLength(picture, zoom) + offset;
}

std::int32_t ScreenToPicture(std::int32_t screen, std::int32_t zoom, std::int32_t offset)
{
    return static_cast<std::int32_t>(double(screen - offset) * 100.0 / zoom + 0.5);
}

std::int32_t PannedOffset(std::int32_t offset, std::int32_t delta, std::int32_t displayed,
                          std::int32_t client)
{
    if (displayed <= client)
        return offset;
    return std::clamp(offset + delta, client - displayed, 0);
}

CropBox LimitCropBox(const CropBox &box, Size picture)
{
    const std::int32_t w = std::max(picture.width, 0);
    const std::int32_t h = std::max(picture.height, 0);
    CropBox out;
    out.x = std::clamp(box.x, 0, w);
    out.y = std::clamp(box.y, 0, h);
    out.width = std::clamp(box.width, 0, w - out.x);
    out.height = std::clamp(box.height, 0, h - out.y);
    return out;
}
