#pragma once

#include "image/palette.h"
#include "image/rect.h"

#include <cstddef>
#include <cstdint>

// A picture's rows as someone else holds them: row y starts at pixels + y x stride, top row
// first. 3 bytes a pixel are blue, green, red; 1 byte is an index into palette (a JPEG writer
// takes 1 byte without a palette as gray). The span owns nothing: whoever made it keeps the
// memory alive while it is used. Writers, saves, captures and the clipboard take pictures so.
struct PixelSpan
{
    const std::uint8_t *pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Bytes from one row to the next, a whole number of pixels.
    std::size_t stride = 0;
    std::int32_t bytesPerPixel = 3;
    const ImagePalette *palette = nullptr;

    // Rows of width pixels followed by rowPad pixels of padding.
    static PixelSpan Padded(const std::uint8_t *pixels, std::int32_t width, std::int32_t height,
                            std::int32_t rowPad, std::int32_t bytesPerPixel = 3,
                            const ImagePalette *palette = nullptr);

    const std::uint8_t *row(std::int32_t y) const
    {
        return pixels + static_cast<std::size_t>(y) * stride;
    }

    // The pixels from the end of one row to the start of the next.
    std::int32_t rowPad() const;

    // The part inside rect cut to the picture, sharing these rows: they start further in, and the
    // rest of each row counts as padding. Width and height 0 when rect misses the picture.
    PixelSpan cropped(const Rect &rect) const;
};
