#pragma once

#include "codecs/frame_selection.h"
#include "codecs/png_library.h"
#include "image/palette.h"

#include <cstddef>
#include <cstdint>

// The row loop of the PNG reader: a step for PngLibrary::runGuarded. It takes its context as
// void *, and neither it nor anything it calls holds an object with a destructor.
//
// The library hands out rows of outputBytes per pixel: 1 (index or gray level), 3 (blue, green,
// red) or 4 (blue, green, red, alpha). Target row r takes file row selection.frameRow(r) and
// target column x file column columns[x]; 4-byte pixels are laid over the background as they go
// in. With direct, rows of 1 or 3 bytes go straight into the target (the target's width is the
// file's). Otherwise rows pass through the scratch rows: one row for a picture that is not
// interlaced, one per distinct row the target takes for an interlaced one, whose later passes
// fill in what the earlier ones left. Reading a picture that is not interlaced stops after the
// last row the target takes.
struct PngRowRead
{
    png_structp png = nullptr;
    int passes = 1;
    std::int32_t fileHeight = 0;
    int outputBytes = 1;
    std::size_t outputRowBytes = 0;
    const FrameSelection *selection = nullptr;
    const std::int32_t *columns = nullptr; // target width entries, unless direct
    bool direct = false;
    std::uint8_t *scratch = nullptr;
    std::uint8_t *targetPixels = nullptr;
    std::size_t targetStride = 0;
    int targetBytes = 1;
    RgbValue background = 0;
};

void ReadPngRows(void *context);

// How many scratch rows ReadPngRows needs: 0 for direct reading of a picture that is not
// interlaced, 1 for other such pictures, the number of distinct file rows the target takes for
// an interlaced one.
std::int32_t PngScratchRows(const FrameSelection &selection, bool interlaced, bool direct);
