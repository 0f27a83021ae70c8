#pragma once

#include "codecs/frame_selection.h"
#include "codecs/jpeg_errors.h"

#include <cstddef>
#include <cstdint>

// The scanline loops of the JPEG reader. Each is a step for RunGuarded: it takes its context as
// void *, and neither it nor anything it calls holds an object with a destructor.

// The target picture: row r starts at pixels + r x stride.
struct JpegRowTarget
{
    std::uint8_t *pixels = nullptr;
    std::size_t stride = 0;
};

// Context of ReadJpegRowsDirect: every scanline goes straight into the target row of the same
// number. Only for output the target can take as it is (gray, or blue, green, red) at the
// target's own size.
struct JpegDirectRead
{
    j_decompress_ptr cinfo = nullptr;
    JpegRowTarget target;
};

void ReadJpegRowsDirect(void *context);

// Context of ReadJpegRowsSelected: target row r takes the scanline selection.frameRow(r) and
// target column x the scanline's pixel columns[x], read through one scanline buffer. Scanlines
// nobody selects are read and dropped; reading stops after the last one needed. Output of more
// than three channels gives its first three as red, green and blue.
struct JpegSelectedRead
{
    j_decompress_ptr cinfo = nullptr;
    const FrameSelection *selection = nullptr;
    const std::int32_t *columns = nullptr;
    std::uint8_t *scanline = nullptr; // room for output_width x output_components bytes
    JpegRowTarget target;
};

void ReadJpegRowsSelected(void *context);
