#pragma once

#include "image/palette.h"
#include "image/pixel_span.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// The in-memory picture. 1 byte per pixel (palette index) or 3 (blue, green, red), rows top row
// first, each stored row width + rowPad pixels with width + rowPad a multiple of 4, so rows of
// either depth start on 4-byte boundaries. Optional 8-bit alpha plane of the same geometry.
// Fields are public: codecs decode straight into pixels, views read them directly.
class ImageBuffer
{
public:
    // No store beyond this size is attempted: the host over-commits memory, so a huge allocation
    // that "succeeds" could still cost the process later.
    static constexpr std::size_t kMaxStoreBytes = std::size_t{ 1 } << 30;

    ImageBuffer() = default;
    virtual ~ImageBuffer();
    ImageBuffer(ImageBuffer &&other) noexcept;
    ImageBuffer &operator=(ImageBuffer &&other) noexcept;
    ImageBuffer(const ImageBuffer &) = delete;
    ImageBuffer &operator=(const ImageBuffer &) = delete;

    // Frees everything and returns to the empty state.
    void reset();

    // Allocates the stores for a picture of that size and depth (1 or 3). A size below 1 gives
    // an empty buffer. Throws 46040 when memory is short; a failed create leaves it empty.
    void create(std::int32_t width, std::int32_t height, std::uint8_t bytesPerPixel,
                bool withAlpha);

    // Turns a 1-byte image into a 3-byte image of the same size; nothing to do for an empty or
    // 3-byte image. Throws 46040 and keeps the 1-byte pixels when it cannot.
    void ensureTrueColour();

    // Gives the transparent palette entry a colour no other valid entry has, so that after
    // conversion to 3 bytes only formerly transparent pixels match the colour key.
    void isolateTransparentColour();

    // Bytes from one row to the next: (width + rowPad) x bytesPerPixel.
    std::size_t stride() const;

    std::uint8_t *row(std::int32_t y) { return pixels + static_cast<std::size_t>(y) * stride(); }

    const std::uint8_t *row(std::int32_t y) const
    {
        return pixels + static_cast<std::size_t>(y) * stride();
    }

    bool hasPixels() const { return pixelStore != nullptr; }

    // The pixels and palette as a span (the alpha plane and the transparent entry stay here).
    PixelSpan span() const;

    struct FreeStore
    {
        void operator()(std::uint8_t *p) const;
    };

    using Store = std::unique_ptr<std::uint8_t, FreeStore>;

    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rowPad = 0;
    std::uint8_t bytesPerPixel = 0;
    Store pixelStore;
    std::uint8_t *pixels = nullptr;
    Store alphaStore;
    std::uint8_t *alpha = nullptr;
    // 1-byte image: transparent index; 3-byte image: transparent RgbValue; -1 = none.
    std::int32_t transparent = -1;
    bool ownsPalette = true;
    ImagePalette *palette = nullptr;

    // Zero-filled store for rows of rowPixels pixels of bytesPerPixel bytes; throws 46040.
    static Store allocateStore(std::int32_t rowPixels, std::int32_t rows, int bytesPerPixel);

private:
    void freePalette();
};

// Padding that makes a row of width pixels a multiple of 4 pixels.
constexpr std::int32_t RowPadFor(std::int32_t width)
{
    return (4 - width % 4) % 4;
}
