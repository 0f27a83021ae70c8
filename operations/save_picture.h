#pragma once

#include "image/image_buffer.h"
#include "image/rect.h"

#include <cstdint>
#include <string>

// The colours value that asks for a 24-bit BMP.
inline constexpr std::int32_t kTrueColourCount = 16777216;

// How a picture is saved: what the Format page keeps.
struct SaveOptions
{
    // ImageFormat code: 1 BMP, 2 JPEG, 3 GIF, 4 PNG.
    std::int32_t format = 1;
    // Pixels per inch to store; a value <= 0 in either keeps the writer's default for both.
    std::int32_t xResolution = 0;
    std::int32_t yResolution = 0;
    // BMP: 2, 16, 256 or kTrueColourCount; GIF: a power of two from 2 to 256; JPEG: the quality;
    // PNG: not used (every picture is written with its own colours).
    std::int32_t colours = kTrueColourCount;
};

// Saves a decoded picture: its transparent entry is made unique, the crop rectangle (picture
// pixels, right and bottom exclusive; none = the whole picture) is cut to the picture, the pixels
// are converted to what the format and colours need, and the writer writes the file. image keeps
// its pixels; only its transparent palette entry may change. Every intermediate buffer is freed,
// also when something throws. Throws 46002 for an unknown format or a crop outside the picture,
// 46040 when memory runs short, and whatever the writer throws.
void SaveDecodedPicture(ImageBuffer &image, const std::string &path, const SaveOptions &options,
                        const Rect *crop);

// The GIF writer's colour limit for a colours value: the smallest power of two from 2 to 256
// that is at least colours.
std::int32_t GifColourLimit(std::int32_t colours);
