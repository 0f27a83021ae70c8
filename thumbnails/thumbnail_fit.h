#pragma once

#include "image/image_buffer.h"
#include "image/rect.h"

// A thumbnail fitted into box without enlarging: returned as it is when it fits, else shrunk with
// tent filtering into 3 bytes per pixel (an alpha plane along with it). A 1-byte picture with a
// transparent entry is shrunk by picking pixels instead, so that its transparent pixels stay
// transparent. Throws 46040 when memory runs short.
ImageBuffer FitThumbnail(ImageBuffer image, Size box);
