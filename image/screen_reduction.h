#pragma once

#include "image/palette.h"
#include "image/rect.h"

#include <cstdint>

// How a view buffer's colours are adapted to the screen before it is copied there; the values are
// the positions in the "Color optimization:" list and are stored in the settings.
enum class ColourOptimization : std::int32_t {
    // Chosen from the screen's facts in CurrentDisplayInfo().
    Automatic = 0,
    None = 1,
    // Every byte posterised to 32 levels (5 bits) with error diffusion.
    Bits16 = 2,
    // Every byte posterised to 16 levels (4 bits) with error diffusion.
    Bits12 = 3,
    // Mapped onto the halftone palette with Floyd-Steinberg dithering.
    Bits8 = 4,
};

// The 16-level table: 17 x ((v + 9) div 17). Note that 8 maps to 17, not to the nearer 0.
std::uint8_t Level16(std::uint8_t value);
// The 32-level table: levels 8k, each used from its start value up to the next one's, so runs
// alternate between 7 and 9 values; 10 maps to 8, 11 to 16 and 244 to 255 to 248.
std::uint8_t Level32(std::uint8_t value);

// Adapts the colours of a 3-byte view buffer (blue, green, red, rows top down, each row
// width + rowPad pixels) to what the screen can show, in place. Only area's width and height are
// used. mode is a stored colour optimisation value (0 to 7; 5 to 7 act as the halftone mode).
//
// The level modes diffuse each byte position's error in its own serpentine pass over the row,
// 7 ahead and 5, 3, 1 to the row below (behind, below, ahead), dividing with truncation and no
// error limit. The halftone mode goes through quantize(); palette, when given, receives the
// halftone palette. With useKey, pixels whose bytes equal key (an RgbValue) keep their bytes; in
// the level modes that is judged byte by byte against the pixel's current bytes.
//
// Does nothing for mode None, for Automatic on a screen of more than 16 bits, for an empty area,
// missing pixels or a negative rowPad, and when the error rows cannot be allocated. Nothing is
// reported: a buffer shown unreduced is still a correct picture.
void reduceForScreen(const Rect &area, std::uint8_t *pixels, std::int32_t rowPad, std::int32_t mode,
                     RgbValue key, bool useKey, ImagePalette *palette);
