#pragma once

#include "image/quantize_histogram.h"

// Chooses at most wanted colours (1 to 256) for the counted pixels by median cut and stores them
// as entries 0, 1, ... of palette, setting its count. Returns the number of colours: never more
// than the number of non-empty cells, and 0 when nothing was counted.
int MedianCut(const ColourHistogram &histogram, int wanted, AxisPalette &palette);
