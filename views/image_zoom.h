#pragma once

#include "image/rect.h"

#include <cstdint>

// The arithmetic of the image view, free of any window: zoom steps, fitting a picture to the
// window, the offsets that keep a point of the picture in place, the decode scale a zoom needs
// and the quarter turn that matches a picture to the screen's shape.
namespace ImageZoom {

inline constexpr std::int32_t kMinZoom = 5;
inline constexpr std::int32_t kMaxZoom = 1200;
inline constexpr std::int32_t kActualSize = 100;
// Zooming in stops once a side of the zoomed picture reaches this many pixels.
inline constexpr std::int32_t kLargestSide = 58000;

// The next zoom in and out from zoom; the zoom itself when there is no further step.
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

} // namespace ImageZoom
