#pragma once

#include "image/image_buffer.h"
#include "image/pixel_span.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <variant>

// A copy of the screen or a part of it: 3 bytes per pixel (blue, green, red), rows top-down, each
// row w + pad pixels with w + pad the width rounded up to a multiple of 4, so a row is a whole
// number of 4-byte words. The padding pixels are undefined. Releasing the grab is destroying it
// (or release()).
struct CaptureGrab
{
    ImageBuffer::Store store;
    std::uint8_t *top = nullptr;
    std::int32_t w = 0;
    std::int32_t h = 0;
    std::int32_t pad = 0;

    // A grab of w x h pixels for a source to fill; none when its store cannot be had (a size below
    // 1 included).
    static std::optional<CaptureGrab> Make(std::int32_t w, std::int32_t h);

    std::size_t stride() const { return static_cast<std::size_t>(w + pad) * 3; }

    std::uint8_t *row(std::int32_t y) { return top + static_cast<std::size_t>(y) * stride(); }

    const std::uint8_t *row(std::int32_t y) const
    {
        return top + static_cast<std::size_t>(y) * stride();
    }

    // The pixels as the writers and the clipboard take them.
    PixelSpan span() const { return PixelSpan{ top, w, h, stride(), 3, nullptr }; }

    void release() { *this = CaptureGrab{}; }
};

// Why a grab gave no picture.
enum class GrabFailure {
    NoSurface, // no X server reachable, or it offers no screen
    NoStore, // the 24-bit store could not be had
    CopyFailed, // the server refused to hand the screen's pixels over, or gave a form we cannot read
    NoArea, // the area asked for is no part of the screen (a monitor not listed, a rectangle outside)
};

using GrabResult = std::variant<CaptureGrab, GrabFailure>;
