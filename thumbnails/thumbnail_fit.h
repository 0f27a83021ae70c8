#pragma once

#include "image/image_buffer.h"
#include "image/rect.h"

// A thumbnail fitted into box without enlarging: returned as it is when it fits, else shrunk with
// tent filtering into 3 bytes per pixel (an alpha plane along with it). A 1-byte picture with a
// transparent entry is shrunk by picking pixels instead, so that its transparent pixels stay
// transparent. Throws 46040 when memory runs short.
// The size is that of the picture (when known, else the thumbnail) fitted into the box, so that a
// thumbnail made from a thumbnail has the size one made from the picture has.
ImageBuffer FitThumbnail(ImageBuffer image, Size box, Size picture = {});
