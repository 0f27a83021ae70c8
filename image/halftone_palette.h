#pragma once

#include "image/palette.h"

// The fixed 256-colour palette the views map pictures onto for a screen of 8 or fewer bits: black,
// white, grey steps, a few tints and 212 of the 216 colours of the 6 x 6 x 6 cube with levels 0,
// 51, 102, 153, 204 and 255. No colour occurs twice, so a colour's index is unambiguous. Entries
// have flags 0; the count is 256.
//
// Built afresh on each call: the table is small and callers keep no palette between draws.
ImagePalette HalftonePalette();
