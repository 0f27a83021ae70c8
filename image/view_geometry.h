#pragma once

#include "image/rect.h"

#include <cstdint>

// Fits an image of imageWidth x imageHeight into a box, keeping its shape. Without enlarging, an
// image that already fits keeps its size; otherwise the side that limits takes the box's size
// and the other is rounded up, at least 1 and at most the box.
Size fitSize(std::int32_t boxWidth, std::int32_t boxHeight, std::int32_t imageWidth,
             std::int32_t imageHeight, bool allowEnlarge);
