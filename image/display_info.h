#pragma once

#include <cstdint>

// The facts of the screen the program runs on, probed once at start-up and read-only afterwards.
// Until the probe has run, the record describes a true-colour screen of unknown size at 96
// logical pixels per inch, so that nothing reduces colours on a host that never probes.
struct DisplayInfo
{
    // Colour resolution in bits per pixel.
    std::int32_t colourBits = 24;
    // Number of display colours: the palette size on a screen of 8 or fewer bits, 2 << colourBits
    // from 9 to 31 bits (so a 16-bit screen counts more than 4,096), exactly 4,096 on a device
    // known to show only 12 bits, 0 from 32 bits on.
    std::int32_t colourCount = std::int32_t{ 2 } << 24;
    // Display size in pixels; 0 where the platform does not say.
    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;
    // Logical pixels per inch.
    std::int32_t dpiX = 96;
    std::int32_t dpiY = 96;

    bool operator==(const DisplayInfo &) const = default;
};

// The one record of the screen's facts. The display probe sets it at start-up; tests set it to
// the screen they want to pretend to run on.
const DisplayInfo &CurrentDisplayInfo();
void SetDisplayInfo(const DisplayInfo &info);
