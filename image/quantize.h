#pragma once

#include "image/palette.h"
#include "image/rect.h"

#include <cstdint>

// outputForm value that asks for one palette index per pixel; any other value asks for the chosen
// palette colours written back as 3-byte pixels in the source's byte order.
inline constexpr std::int32_t kQuantizeIndexOutput = 1;

// Reduces the area's 3-byte pixels to a palette of at most 256 colours and maps every pixel onto
// it.
//
// Only area's width and height are used; source points at the area's first pixel and each source
// row is (width + sourcePad) x 3 bytes. The palette is taken from givenPalette or computed for
// maxColours (2 to 256) colours: when the area holds no more distinct colours than that (the
// transparent colour aside), the palette is exactly those colours in order of first appearance
// and every pixel keeps its colour, without dithering; otherwise it comes from a median cut over
// a 5-6-5 colour histogram. The mapping goes to
// destination (which may equal source) with rows of width + destinationPad pixels of 1 or 3
// bytes, by nearest colour or, with dither, by Floyd-Steinberg diffusion with limited errors and
// serpentine rows; without a destination only the palette is built. blueFirst says whether the
// pixels are stored blue, green, red or red, green, blue.
//
// transparent is a colour (RgbValue) or -1. Its pixels keep a palette entry of their own, are
// written as that index (or unchanged, in colour form), and no other pixel maps onto that entry.
// transparentIndex, when given, brings in the transparent entry of a given palette and receives
// the transparent entry of the palette used (-1 when there is none). outPalette receives the
// palette used. Both are written before the mapping starts.
//
// Returns false when memory ran out; everything taken is freed, but the destination may be partly
// written. Nothing is thrown.
bool quantize(const Rect &area, const std::uint8_t *source, std::int32_t sourcePad,
              std::uint8_t *destination, std::int32_t destinationPad, std::int32_t outputForm,
              std::int32_t maxColours, bool dither, const ImagePalette *givenPalette,
              ImagePalette *outPalette, RgbValue transparent, std::int32_t *transparentIndex,
              bool blueFirst);
