#pragma once

#include "image/image_buffer.h"
#include "image/rect.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The small picture a camera stores beside a photo in the JPEG's EXIF block (often 160 x 120),
// which makes a cell's thumbnail without decoding the photo.

// The embedded thumbnail's JPEG bytes of a JPEG file held in memory; empty when the file has no
// EXIF block before its image data, or the block no thumbnail.
std::vector<std::uint8_t> FindExifThumbnail(const std::uint8_t *file, std::size_t size);

// Whether an embedded thumbnail of size thumb may stand for a picture of size picture (both
// upright) in a box: their shapes agree within 1 % (a thumbnail with bars added, or cut to
// another shape, does not), and it is at least as large as the picture fitted into the box.
bool EmbeddedThumbnailSuits(Size thumb, Size picture, Size box);

// A decoded embedded thumbnail, upright like the picture and at its own size, and the picture's
// own size.
struct EmbeddedThumbnail
{
    ImageBuffer image;
    Size picture;
};

// The embedded thumbnail of the picture file at path (a device or host path) when it suits box;
// none otherwise, also when anything about it cannot be read (the picture itself is then
// decoded). Throws only when memory runs short.
std::optional<EmbeddedThumbnail> DecodeEmbeddedThumbnail(const std::string &path, Size box);
