#pragma once

#include "codecs/png_row_packing.h"
#include "codecs/png_text.h"
#include "image/pixel_span.h"

#include <cstdint>
#include <string>
#include <vector>

// Writes pictures as PNG through the PNG library, losslessly, at their own size: 3-byte input as
// 8-bit red, green, blue; 1-byte input as an indexed picture of 1, 2, 4 or 8 bits by the palette's
// count, its transparent entry (if any) marked clear. The resolution goes into the pHYs chunk.
// Compression is tuned for speed on screen pictures: every colour row takes the Paeth filter and
// zlib's run-length strategy does the rest (about the size that common tools' default settings
// give, in half their time); indexed rows are not filtered.
//
// Throws 46002 for bad arguments, 46040 (38024:42:1:0) when memory runs short, 46003
// (38024:42:2:0) when the library refuses what it was given, and the file exception when the file
// cannot be created or written.
class PngWriter
{
public:
    PngWriter();

    // Writes the file beside the target under a temporary name and renames it over the target
    // only when complete, so a failure never harms an existing file.
    void write(const std::string &path, const PixelSpan &picture);

    // The file's bytes, in memory (for the clipboard, for instance).
    std::vector<std::uint8_t> encode(const PixelSpan &picture);

    // Pixels per inch stored in the file; both start at the display's logical resolution.
    // A value below 1 in either leaves the pHYs chunk out.
    std::int32_t xResolution;
    std::int32_t yResolution;
    // The palette entry of a 1-byte picture that stands for transparent pixels, or -1.
    std::int32_t transparentIndex = -1;
    // Text entries written as uncompressed tEXt chunks before the pixel data (keywords of 1 to 79
    // Latin-1 characters); none when null.
    const PngText *text = nullptr;

    // How colour rows are packed (see PngPacking); indexed rows are packed alike either way.
    PngPacking packing = PngPacking::Small;

    // Where the writer's bytes go; put may throw, the writer passes the exception on.
    class Sink
    {
    public:
        virtual ~Sink() = default;
        virtual void put(const std::uint8_t *bytes, std::size_t count) = 0;
    };

    void encodeTo(Sink &sink, const PixelSpan &picture);
};
