#pragma once

#include "image/display_info.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What the display says about itself, before the probe's rules turn it into DisplayInfo. A field
// the display does not report is 0 (or an empty text).
struct DisplayFacts
{
    // Bits of colour the display resolves; 0 when it does not say, and bitsPerPixel applies.
    std::int32_t colourResolution = 0;
    // Bits each pixel takes in the screen's memory.
    std::int32_t bitsPerPixel = 0;
    // Entries of the display's colour map; meaningful for 8 or fewer bits only.
    std::int32_t colourCount = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t dpiX = 0;
    std::int32_t dpiY = 0;
    // The maker's name of the device, as the system reports it.
    std::string oemInfo;
};

// Applies the probe's rules to the facts: colourBits is the colour resolution or else the bits per
// pixel; colourCount is the colour-map size up to 8 bits, 2 << colourBits from 9 to 31 bits and 0
// from 32 on; a 16-bit display of a device known to show only 12 bits (its maker's text contains
// "iPAQ H36" or "Jornada 54") counts 4096 colours. Size and dots per inch are taken as they are.
DisplayInfo ProbeDisplay(const DisplayFacts &facts);

// Reads the facts of the X server's first screen: the root window's depth (as the colour resolution)
// and the bits per pixel of that depth, the screen size in pixels, the logical dots per inch from
// the Xft.dpi resource (96 when it is not set), the colour-map size for depths of 8 or fewer, and the
// maker's text from the machine's product name (empty when unreadable). displayName empty means
// $DISPLAY. Nothing when no X server can be reached.
std::optional<DisplayFacts> ReadDisplayFacts(const std::string &displayName = {});

// The logical dots per inch that an X resource database text (the root window's RESOURCE_MANAGER)
// gives in its "Xft.dpi" entry, rounded to a whole number; 96 when there is no usable entry.
std::int32_t DpiFromResources(std::string_view resources);

// Where the start-up probe gets its facts; tests put a fixed record in its place.
using DisplayFactsSource = std::function<std::optional<DisplayFacts>()>;

// The start-up probe: reads the facts and sets the program's DisplayInfo from them. Without a
// display (nothing from the source) DisplayInfo keeps its true-colour defaults: a record of zeros
// would turn colour reduction on for every picture shown.
void ProbeAndSetDisplayInfo(const DisplayFactsSource &source = {});
