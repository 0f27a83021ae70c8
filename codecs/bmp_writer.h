#pragma once

#include "image/palette.h"

#include <cstdint>
#include <string>

// Writes a picture as an uncompressed BMP: 24 bits for 3-byte input; 1, 4 or 8 bits for 1-byte
// input by the palette's entry count. The file is written beside the target under a temporary
// name and renamed over it only when complete, so a failure never harms an existing file.
class BmpWriter
{
public:
    BmpWriter();

    // Input row y starts at pixels + y x (width + rowPad) x bytesPerPixel. The output is
    // width x scalePercent / 100 by height x scalePercent / 100. bgrOrder: 3-byte input is blue,
    // green, red (else red, green, blue). bottomUp: input row 0 is the bottom row.
    void write(const std::string &path, const std::uint8_t *pixels, std::int32_t width,
               std::int32_t height, std::int32_t rowPad, std::int32_t bytesPerPixel,
               std::int32_t scalePercent, const ImagePalette *palette, bool bgrOrder,
               bool bottomUp);

    // Pixels per inch written into the header; both start at the display's logical resolution.
    std::int32_t xResolution;
    std::int32_t yResolution;
    // A file already at the path is kept and the write fails with EEXIST (else it is replaced).
    bool keepExisting = false;
};

// The display's logical pixels per inch, the writers' default resolution: 96 until the program
// has probed the display and set it.
struct WriterResolution
{
    std::int32_t x = 96;
    std::int32_t y = 96;
};

WriterResolution DefaultWriterResolution();
void SetDefaultWriterResolution(WriterResolution resolution);
