#pragma once

#include "image/image_buffer.h"
#include "image/palette.h"
#include "image/rect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The colour count that marks a grayscale picture.
inline constexpr std::int32_t kGrayscaleColourCount = 257;

// The facts of a picture file, known before decoding.
class ImageInfo
{
public:
    ImageInfo() = default;
    virtual ~ImageInfo() = default;
    ImageInfo(ImageInfo &&) noexcept = default;
    ImageInfo &operator=(ImageInfo &&) noexcept = default;

    // Frees the global palette and returns to the initial values.
    void reset() { *this = ImageInfo(); }

    std::int32_t format = 0;
    std::int32_t xResolution = -1;
    std::int32_t yResolution = -1;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // 2 to the power of the file's bits per pixel (0 from 32 bits on); 257 = grayscale.
    std::int32_t colourCount = 0;
    RgbValue background = kNoColour;
    std::int32_t frameCount = 0;
    std::unique_ptr<ImagePalette> globalPalette;
};

// The colour count from bits per pixel and the grayscale mark.
std::int32_t ColourCountFor(std::int32_t bitsPerPixel, bool grayscale);

// The number of colours shown for a picture: the entry count of its palette (the global one,
// else framePalette) when it has at most 256 colours and such a palette exists, else colourCount.
std::int32_t ShownColourCount(const ImageInfo &info, const ImagePalette *framePalette);

// ShownColourCount as text: the number, or "Grayscale" for 257.
std::string ShownColourText(const ImageInfo &info, const ImagePalette *framePalette);

// One decoded frame: its timing and placement and its pixels.
class ImageFrame
{
public:
    ImageFrame() = default;
    virtual ~ImageFrame() = default;

    std::int16_t delay = 0;
    std::uint8_t disposal = 1;
    std::uint8_t interlaced = 0;
    std::uint8_t userInput = 0;
    Rect frameRect;
    Rect drawnRect;
    ImageBuffer image;
};

// Frames of one decoding, owned by whoever asked for it.
using FrameArray = std::vector<std::unique_ptr<ImageFrame>>;
