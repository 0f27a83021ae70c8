#pragma once

#include "image/palette.h"
#include "image/rect.h"

#include <string>

// Writes a JPEG photo of one flat colour whose EXIF block carries a thumbnail of another flat
// colour (a JPEG of size thumb) and, unless orientation is 0, the orientation tag, the way
// cameras store them: IFD0 with the tag, IFD1 pointing at the thumbnail's bytes.
void WriteJpegWithThumbnail(const std::string &path, Size picture, RgbValue pictureColour,
                            Size thumb, RgbValue thumbColour, unsigned orientation = 0);

// The colour of the pixel at the centre of a 3-byte (blue, green, red) picture.
class ImageBuffer;
RgbValue CentreColour(const ImageBuffer &image);
