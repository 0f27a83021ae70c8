#pragma once

#include "image/image_buffer.h"

#include <cstdint>
#include <vector>

// An ICC profile as a file embeds it; empty means the pixels are sRGB already.
using ColourProfile = std::vector<std::uint8_t>;

// Whether the program was built with the colour management library; without it pictures keep
// the colours their files store.
bool ColourManagementAvailable();

// Converts the pixels of image (3 bytes) or its palette (1 byte) from profile to sRGB, in place.
// The transform of each profile is made once and kept for the next picture that embeds it; a
// profile that is sRGB in effect costs nothing more after its first use. A profile that cannot
// be read, or that describes other colours than the picture has (a CMYK profile on RGB pixels),
// leaves the picture as it is: a damaged profile does not make a picture unreadable. Alpha planes
// are not touched.
void ConvertToSrgb(ImageBuffer &image, const ColourProfile &profile);

// The profile of RGB pixels described by the ITU-T H.273 code points that HEIF and AVIF files
// give in place of an ICC profile: colour primaries and transfer characteristics. Empty for sRGB
// and its equivalents, and for code points not handled here (high dynamic range transfers among
// them), whose pixels are then taken as sRGB.
ColourProfile ProfileFromCodePoints(int primaries, int transfer);
