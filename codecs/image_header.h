#pragma once

#include "image/colour_profile.h"
#include "image/image_buffer.h"
#include "image/orientation.h"
#include "image/palette.h"
#include "image/rect.h"

#include <cstdint>

enum class ImageFormat : std::int32_t {
    Unknown = 0,
    Bmp = 1,
    Jpeg = 2,
    Gif = 3,
    Png = 4,
    Tiff = 5,
    Eps = 6,
    Pict = 7,
    Pcx = 8,
    Pgm = 9,
    Webp = 10,
    Heif = 11,
    Avif = 12,
};

// The facts a codec reads from a file's header.
struct ImageHeader
{
    std::int32_t format = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t background = 0;
    std::int32_t bitsPerPixel = 0;
    std::int32_t frameCount = 0;
    std::int32_t reserved = 1;
    std::int32_t xResolution = -1;
    std::int32_t yResolution = -1;
    std::int32_t grayscale = 0;
    ImagePalette palette; // the file's global colour table; count 0 when there is none
    // How the stored picture is turned to stand upright (its EXIF orientation). A reader gives
    // sizes, rectangles and pixels as stored; the codec framework turns them.
    Orientation orientation = 0;
    // The embedded colour profile (empty: sRGB); the framework converts the pixels with it.
    ColourProfile colourProfile;
};

// One frame's facts (readFrameHeader) and its decoding target (filled by the framework).
struct FrameHeader
{
    std::int32_t interlaced = 0;
    std::int32_t userInput = 0;
    std::int32_t delay = 0;
    std::int32_t disposal = 0;
    Rect frameRect;
    std::int32_t transparentIndex = -1;
    std::int32_t bytesPerPixel = 0;
    std::int32_t withAlpha = 0;

    // The part of the picture (in its coordinates) decoded into target, scaled to the target's
    // size; without a target nothing is decoded.
    Rect sourceRect;
    ImageBuffer *target = nullptr;

    // Where the reader puts a 1-byte picture's colours; none without a target or its palette.
    ImagePalette *targetPalette() const { return target ? target->palette : nullptr; }
};
