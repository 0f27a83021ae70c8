#include "image/view_buffer.h"

#include "common/alb_exception.h"

#include <algorithm>
#include <cstdint>

std::optional<ViewBuffer> makeViewBuffer(std::int32_t width, std::int32_t height,
                                         bool halveOnFailure, bool bottomUp, std::size_t byteLimit)
{
    if (width < 1 || height < 1 || width > INT32_MAX - 3)
        return std::nullopt;
    std::int32_t paddedWidth = width + RowPadFor(width);
    for (;;) {
        std::uint64_t bytes = std::uint64_t{ 3 } * static_cast<std::uint64_t>(paddedWidth)
                * static_cast<std::uint64_t>(height);
        if (bytes <= byteLimit) {
            try {
                ViewBuffer buffer;
                buffer.store = ImageBuffer::allocateStore(paddedWidth, height, 3);
                buffer.pixels = buffer.store.get();
                buffer.width = paddedWidth;
                buffer.height = height;
                buffer.bottomUp = bottomUp;
                return buffer;
            } catch (const CAlbException &) {
                // Out of memory for this height: fall through to halving.
            }
        }
        if (!halveOnFailure)
            return std::nullopt;
        height = (height + 1) / 2;
        if (height <= 3)
            return std::nullopt;
    }
}

void fillViewBuffer(ViewBuffer &buffer, RgbValue colour, std::int32_t rows)
{
    rows = std::min(rows, buffer.height);
    if (rows <= 0)
        return;
    // One row pixel by pixel, the others copied from it whole.
    const std::uint8_t pixel[3] = { BlueOf(colour), GreenOf(colour), RedOf(colour) };
    std::uint8_t *first = buffer.pixels;
    for (std::int32_t x = 0; x < buffer.width; ++x)
        std::copy_n(pixel, 3, first + static_cast<std::size_t>(x) * 3);
    for (std::int32_t y = 1; y < rows; ++y)
        std::copy_n(first, buffer.stride(), first + static_cast<std::size_t>(y) * buffer.stride());
}
