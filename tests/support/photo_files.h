#pragma once

#include "image/image_buffer.h"
#include "image/palette.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A width x height 3-byte picture of four flat quarters: red top left, green top right, blue
// bottom left, white bottom right. Sides that are multiples of 16 keep the quarters flat in a
// JPEG's blocks.
ImageBuffer QuarteredPicture(std::int32_t width, std::int32_t height);

// The colours of a picture's four corners: top left, top right, bottom left, bottom right.
using Corners = std::array<RgbValue, 4>;
Corners CornersOf(const ImageBuffer &image);

// Whether each corner is within tolerance of the expected colour on every channel.
bool CornersNear(const Corners &actual, const Corners &expected, int tolerance);

// A minimal EXIF block ("Exif\0\0", a little-endian TIFF header and one directory) holding the
// orientation tag.
std::vector<std::uint8_t> OrientationExif(unsigned orientation);

// A JPEG file of image at quality 95 and 72 dpi with one application segment (0xE1 for EXIF, 0xE2 for an
// ICC profile) right after its start marker.
std::vector<std::uint8_t> JpegWithSegment(const ImageBuffer &image, std::uint8_t marker,
                                          const std::vector<std::uint8_t> &contents,
                                          const std::string &scratchPath);

// The contents of an APP2 segment holding a whole ICC profile.
std::vector<std::uint8_t> IccSegment(const std::vector<std::uint8_t> &profile);

// An 8-bit RGB PNG file of image (3 bytes) with an iCCP chunk holding profile, when given.
std::vector<std::uint8_t> PngWithProfile(const ImageBuffer &image,
                                         const std::vector<std::uint8_t> &profile);

// A lossless WebP file of image, extended with an EXIF chunk and an ICC profile chunk when given.
std::vector<std::uint8_t> WebpWithChunks(const ImageBuffer &image,
                                         const std::vector<std::uint8_t> &exif,
                                         const std::vector<std::uint8_t> &iccProfile = {});

// Whether the shell finds a program.
bool HaveProgram(const std::string &name);

// One frame of an animated WebP file built by AnimatedWebp: a picture placed at an even offset
// on the canvas, shown for duration milliseconds, drawn over what is there (or replacing it).
struct WebpFrame
{
    const ImageBuffer *image = nullptr;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t duration = 100;
    bool blend = false;
};

// An animated WebP file of lossless frames on a width x height canvas.
std::vector<std::uint8_t> AnimatedWebp(std::int32_t width, std::int32_t height,
                                       const std::vector<WebpFrame> &frames);

// The reference decoders' idea of a picture file as red, green, blue rows: `dwebp -pam`,
// `heif-convert` or `avifdec` into a PNG read back, any alpha laid over background the way the
// program does. False when the tool is missing or refuses the file.
struct RgbPicture;
bool ReferenceDecode(const std::string &tool, const std::string &file,
                     const std::string &scratchDir, RgbValue background, RgbPicture &picture);
