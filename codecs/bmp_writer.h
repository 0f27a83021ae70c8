#pragma once

#include "image/pixel_span.h"

#include <cstdint>
#include <string>

// Writes a picture as an uncompressed BMP: 24 bits for 3-byte input; 1, 4 or 8 bits for 1-byte
// input by the palette's entry count. The file is written beside the target under a temporary
// name and renamed over it only when complete, so a failure never harms an existing file.
class BmpWriter
{
public:
    BmpWriter();

    // Writes the picture at its own size. Throws 46002 for a picture without pixels or palette
    // or one whose file would pass 4 GB, 46040 when memory runs short and the file exception
    // when the file cannot be written.
    void write(const std::string &path, const PixelSpan &picture);

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
