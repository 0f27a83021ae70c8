#pragma once

#include "image/image_buffer.h"
#include "image/orientation.h"
#include "image/rect.h"

#include <cstdint>
#include <optional>

// Where a frame is drawn from and to, beyond the view buffer itself.
struct RenderOptions
{
    std::optional<Rect> viewClip; // limits the view pixels written
    std::optional<Size> viewSize; // the whole picture's size in the view; none: held's size
    Orientation orientation = 0;
    std::int32_t frameX = 0; // the frame's position on the canvas
    std::int32_t frameY = 0;
    std::optional<Rect> sourceClip; // in canvas coordinates
    std::optional<Size> canvasSize; // none: the image's size
};

// Draws image into a 3-byte (blue, green, red) view buffer that holds the view rectangle held,
// its rows held.width() + rowPad pixels apart, top row first. Nearest-neighbour scaling from the
// canvas to the view size, turned by the orientation; view pixels whose source lies outside the
// frame or source clip repeat the nearest edge pixel. Transparent pixels leave the buffer as it
// is, and an alpha plane blends. Empty intersections draw nothing.
void renderImage(const ImageBuffer &image, const Rect &held, std::uint8_t *pixels,
                 std::int32_t rowPad, const RenderOptions &options = {});
