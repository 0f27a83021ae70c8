#pragma once

#include "image/pixel_span.h"

#include <cstdint>
#include <string>

// Writes a picture as a sequential JFIF file through the JPEG library: 1-byte input without a
// palette as one gray component, everything else (palette or 3-byte input) as red, green and
// blue. Default Huffman tables, no progressive scans. The file is written beside the target
// under a temporary name and renamed over it only when complete, so a failure never harms an
// existing file.
class JpegWriter
{
public:
    JpegWriter();

    // Writes the picture at its own size.
    // Throws 46002 for bad arguments, the file exception when the file cannot be created,
    // 46040 when memory runs short and 46014 for any other failure, the library's refusals
    // (a side beyond 65,500 pixels) and failed writes included.
    void write(const std::string &path, const PixelSpan &picture);

    // The library's quality, 0 to 100; a value above 100 is written as 75.
    std::uint16_t quality = 75;
    // 0 slow integer, 1 fast integer, 2 floating point DCT; other values keep the library's.
    std::uint8_t dctMethod = 0;
    // The JFIF density in dots per inch; both start at the display's logical resolution.
    std::int32_t xResolution;
    std::int32_t yResolution;
};
