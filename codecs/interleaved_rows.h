#pragma once

#include "codecs/frame_selection.h"
#include "image/image_buffer.h"
#include "image/palette.h"

#include <cstddef>
#include <cstdint>

// A whole frame decoded by a library into its own memory: rows of 3 or 4 bytes per pixel, colour
// in blue, green, red order or red first, and alpha last when there are 4.
struct InterleavedPixels
{
    const std::uint8_t *data = nullptr;
    std::size_t stride = 0;
    int channels = 3;
    bool redFirst = false;
};

// Fills the 3-byte target of selection (the frame header's target picture) from the frame's
// pixels: target row r and column x take the frame pixel the selection picks. Alpha is laid over
// background, so the target is opaque.
void CopyIntoTarget(const InterleavedPixels &frame, const FrameSelection &selection,
                    ImageBuffer &target, RgbValue background);
