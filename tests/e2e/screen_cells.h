#pragma once

#include "tests/support/test_files.h"

#include <cstdint>
#include <string>
#include <vector>

// Reading a screenshot against what the program traced about its thumbnail cells.

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;
};

// A rectangle in root-window pixels.
struct ScreenRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// One "cell" trace line: a visible cell's picture area on the screen.
struct TracedCell
{
    int index = -1;
    std::string file;
    ScreenRect area;
};

// The cells traced before the last "thumbs-drawn" line of the trace file (since the one before
// it); empty until there is such a line.
std::vector<TracedCell> LatestDrawnCells(const std::string &tracePath);

// A width x height rectangle centred in area as the view centres pictures: any odd pixel left
// over goes to the right and bottom.
ScreenRect CentredIn(const ScreenRect &area, int width, int height);

bool Inside(const RgbPicture &shot, const ScreenRect &rect);
// Rounded mean of packed red, green, blue pixels.
Rgb MeanOf(const std::vector<std::uint8_t> &rgb);
Rgb MeanIn(const RgbPicture &shot, const ScreenRect &rect);
// Every channel within tolerance.
bool Near(const Rgb &a, const Rgb &b, int tolerance);
// The mean absolute channel difference between the screen in rect and packed rgb rows of the
// rectangle's size, rounded up.
int MeanPixelDifference(const RgbPicture &shot, const ScreenRect &rect,
                        const std::vector<std::uint8_t> &rgb);
// Whether every pixel of area outside excluded is colour.
bool AllOf(const RgbPicture &shot, const ScreenRect &area, const ScreenRect &excluded,
           const Rgb &colour);
// Whether box shows the no-picture icon: a white frame crossed out in red.
bool ShowsNoPictureIcon(const RgbPicture &shot, const ScreenRect &box);

std::string Describe(const Rgb &colour);
std::string Describe(const ScreenRect &rect);
