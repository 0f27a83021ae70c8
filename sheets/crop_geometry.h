#pragma once

#include "image/rect.h"

#include <cstdint>
#include <optional>

// The arithmetic of the crop preview: how a picture is fitted, zoomed and placed in the preview,
// and how stylus points and the crop edits map to picture pixels. No window is involved.

inline constexpr std::int32_t kMinCropZoom = 5;
inline constexpr std::int32_t kMaxCropZoom = 1200;

// A length at a zoom percentage, rounded to the nearest pixel.
std::int32_t ZoomedLength(std::int32_t length, std::int32_t zoom);

// Where the picture lies in the preview: its zoom, its size on screen and the client position of
// its top-left corner.
struct PreviewPlacement
{
    std::int32_t zoom = 100;
    Size displayed;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;

    bool operator==(const PreviewPlacement &) const = default;
};

// Fits a picture into a client area: the axis that limits decides the zoom, rounded to the
// nearest percent and then cut down, and the picture is centred along the other axis.
PreviewPlacement FitPreview(Size client, Size picture);

// The next zoom in or out, or none when the preview is at its limit (the caller beeps). Zooms
// that land near 100 snap to it; others are even.
std::optional<std::int32_t> ZoomInStep(std::int32_t zoom);
std::optional<std::int32_t> ZoomOutStep(std::int32_t zoom, Size displayed);

// The placement after changing to zoom z: a picture smaller than the client is centred, a larger
// one keeps the point at the centre of the client in place, never uncovering the client.
PreviewPlacement ApplyZoom(const PreviewPlacement &from, std::int32_t z, Size client, Size picture);

// Screen position along one axis of a picture coordinate, and the reverse.
std::int32_t PictureToScreen(std::int32_t picture, std::int32_t zoom, std::int32_t offset);
std::int32_t ScreenToPicture(std::int32_t screen, std::int32_t zoom, std::int32_t offset);

// The offset after moving the picture by delta along an axis: only a picture longer than the
// client moves, and it keeps covering the client.
std::int32_t PannedOffset(std::int32_t offset, std::int32_t delta, std::int32_t displayed,
                          std::int32_t client);

// The crop rectangle as the Crop page holds it.
struct CropBox
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    bool operator==(const CropBox &) const = default;

    bool isEmpty() const { return width == 0 || height == 0; }
};

// Limits a crop box to a picture: the corner inside the picture, the size to what is left of it.
CropBox LimitCropBox(const CropBox &box, Size picture);
