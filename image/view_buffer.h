#pragma once

#include "image/image_buffer.h"
#include "image/palette.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// A 3-byte (blue, green, red) off-screen store that views draw into and captures fill. Rows are
// width pixels of which the caller asked for at least its width, so they stay 4-byte aligned.
struct ViewBuffer
{
    ImageBuffer::Store store;
    std::uint8_t *pixels = nullptr;
    std::int32_t width = 0; // a multiple of 4
    std::int32_t height = 0; // may be less than asked when halving was allowed
    bool bottomUp = false; // the first stored row is the bottom one

    std::size_t stride() const { return static_cast<std::size_t>(width) * 3; }
};

// Allocates a view buffer of at least width x height, the width raised to a multiple of 4. When
// the store cannot be had and halveOnFailure is set, the height is halved (rounding up) and the
// allocation retried while the height stays above 3; callers then draw in bands of the height
// they got. byteLimit is the largest store attempted. None when nothing could be allocated.
std::optional<ViewBuffer> makeViewBuffer(std::int32_t width, std::int32_t height,
                                         bool halveOnFailure, bool bottomUp,
                                         std::size_t byteLimit = ImageBuffer::kMaxStoreBytes);

// Paints every pixel of the buffer's first rows rows (all of them when it has fewer), the row
// padding included, in colour.
void fillViewBuffer(ViewBuffer &buffer, RgbValue colour, std::int32_t rows);
