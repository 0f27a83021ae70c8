#pragma once

#include "image/rect.h"

#include <cstdint>
#include <optional>

// The arithmetic of the views that show a picture zoomed and panned, free of any window: where
// the picture lies (PictureZoom), the image view's zoom steps and fitting, the crop preview's
// steps and fitting, the decode scale a zoom needs and the quarter turn that matches a picture to
// the screen's shape.
namespace ImageZoom {

inline constexpr std::int32_t kMinZoom = 5;
inline constexpr std::int32_t kMaxZoom = 1200;
inline constexpr std::int32_t kActualSize = 100;
// Zooming in stops once a side of the zoomed picture reaches this many pixels.
inline constexpr std::int32_t kLargestSide = 58000;

// Where a picture lies in a window: its zoom, the whole picture's size at that zoom (after any
// turn), and the window's top-left corner in that zoomed picture. Along an axis where the picture
// is smaller than the window the offset is negative: the picture starts -offset into the window.
// The owner decides how a zoom sizes the picture; the rules below only move it.
struct PictureZoom
{
    std::int32_t zoom = kActualSize;
    Size zoomed;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;

    bool operator==(const PictureZoom &) const = default;

    // Whether the picture is larger than a window of client in either direction (it pans).
    bool overflows(Size client) const;
    // The window rectangle the picture covers: in a direction where it is smaller than the
    // window, from -offset over the zoomed length; otherwise the whole window.
    Rect inWindow(Size client) const;
    // Pans by a step along each axis where the picture overflows, limited to the picture; true
    // when it moved.
    bool panBy(std::int32_t dx, std::int32_t dy, Size client);
    // Centres the picture: half of what overflows, or of the margin, either side.
    void centre(Size client);
    // Takes zoom z at which the picture is sized now; with keep, the picture point under the
    // anchor stays where it is (RelayoutOffset).
    void relayout(std::int32_t z, Size now, Size client, bool keep, double anchorX, double anchorY);
};

// The image view's next zoom in and out from zoom; the zoom itself when there is no further step.
std::int32_t ZoomInStep(std::int32_t zoom);
std::int32_t ZoomOutStep(std::int32_t zoom);

// How a picture is first fitted to the window (the two bits of the preferences).
enum class FitMode : std::int32_t {
    ShrinkToFill = 0, // shrink a picture larger than the window both ways until one side fits
    FitInside = 1, // every picture inside the window, small ones enlarged
    NoFit = 2, // 2 and 3
};
FitMode FitModeOf(std::uint32_t prefFlags);

// The zoom that fits a picture of zoomed size (taken at 100 percent) into client; the zoom 100
// when the mode leaves the picture as it is.
std::int32_t FitZoom(FitMode mode, Size zoomed, Size client);

// Quarter turns (0, 1 or 3) that match a full x full picture to a screen of screen's shape.
std::int32_t AutoRotation(Size full, Size screen, bool rotateLeft);

// The offset along one axis after the zoomed length went from oldLength to newLength in a window
// of client length. With keep, the picture point under anchor (a window position, usually the
// middle) stays where it is; the result is limited to the picture. A picture no longer than the
// window is centred (negative offset).
std::int32_t RelayoutOffset(std::int32_t offset, std::int32_t oldLength, std::int32_t newLength,
                            std::int32_t client, bool keep, double anchor);

// One axis of a pan by step: the offset moved and limited to the picture, unchanged when the
// picture is no longer than the window.
std::int32_t PannedOffset(std::int32_t offset, std::int32_t step, std::int32_t length,
                          std::int32_t client);

// The decode scale (100, 50, 25 or 13 percent) a picture of full size needs to be shown at
// zoomed size (after turning by rotation).
std::int32_t DecodePercent(Size full, Size zoomed, std::int32_t rotation);
// The next smaller decode scale to try after a failure: 50, 25, 13, 8.
std::int32_t SmallerDecodePercent(std::int32_t percent);

// The crop preview's rules. It sizes a picture by rounding to the nearest pixel, fits it by the
// axis that limits, and zooms by a third in and a quarter out about the window's centre.

// A length at a zoom percentage, rounded to the nearest pixel.
std::int32_t NearestZoomedLength(std::int32_t length, std::int32_t zoom);
// Fits a picture into client: the axis that limits decides the zoom, rounded to the nearest
// percent and then cut down; the picture starts at that axis's edge and is centred along the
// other. Without a picture or room, actual size.
PictureZoom FitPreview(Size client, Size picture);
// The next zoom in or out, or none at the limit (the caller beeps). Zooms that land near 100
// snap to it; others are even.
std::optional<std::int32_t> PreviewZoomInStep(std::int32_t zoom);
std::optional<std::int32_t> PreviewZoomOutStep(std::int32_t zoom, Size zoomed);
// The placement at zoom z: a picture smaller than the client is centred, a larger one keeps the
// point at the centre of the client in place, never uncovering the client.
PictureZoom PreviewZoomTo(const PictureZoom &from, std::int32_t z, Size client, Size picture);
// Window position along one axis of a picture coordinate, and the reverse (offset as in
// PictureZoom).
std::int32_t PictureToWindow(std::int32_t picture, std::int32_t zoom, std::int32_t offset);
std::int32_t WindowToPicture(std::int32_t window, std::int32_t zoom, std::int32_t offset);

} // namespace ImageZoom
