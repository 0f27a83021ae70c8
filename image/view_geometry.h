#pragma once

#include "image/rect.h"

#include <cstdint>

// Fits an image of imageWidth x imageHeight into a box, keeping its shape. Without enlarging, an
// image that already fits keeps its size; otherwise the side that limits takes the box's size
// and the other is rounded up, at least 1 and at most the box.
Size fitSize(std::int32_t boxWidth, std::int32_t boxHeight, std::int32_t imageWidth,
             std::int32_t imageHeight, bool allowEnlarge);

// The size of an image of width x height shown at zoom percent and turned by orientation (0 to 7;
// odd values swap the sides). Below 100 percent sizes round up, with small fixed corrections at a
// few zoom values; results saturate at the largest 32-bit value rather than wrap.
Size zoomedSize(std::int32_t width, std::int32_t height, std::int32_t zoom, int orientation);

// Maps a rectangle of view coordinates (the picture zoomed and turned) back to the picture's own
// pixels, and the reverse. Both return normalised rectangles.
Rect viewToImageRect(const Rect &view, std::int32_t imageWidth, std::int32_t imageHeight,
                     std::int32_t zoom, int orientation);
Rect imageToViewRect(const Rect &image, std::int32_t imageWidth, std::int32_t imageHeight,
                     std::int32_t zoom, int orientation);
