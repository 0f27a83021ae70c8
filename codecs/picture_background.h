#pragma once

#include "image/palette.h"

// The colour that the transparent and partly transparent parts of a picture are laid over when
// a reader flattens them into opaque pixels: the album's picture background. Readers take it at
// the start of each decode; it may be changed from any thread.
inline constexpr RgbValue kDefaultPictureBackground = 0x999999;

RgbValue PictureBackground();
void SetPictureBackground(RgbValue colour);
