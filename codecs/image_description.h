#pragma once

#include "codecs/image_header.h"
#include "image/image_info.h"

#include <string>

// Fills info from a codec's header: the facts every caller needs and, with fileFacts, the
// resolutions and a copy of the global colour table (what the album keeps for its items).
// A header without frames throws 46130.
void DescribeImage(const ImageHeader &header, ImageInfo &info, bool fileFacts);

// Reads the facts of a picture file through the format-detecting reader.
void LoadImageInfo(const std::string &path, ImageInfo &info);

// "BMP", "JPEG", "GIF", "PNG", "WEBP", "HEIF" or "AVIF" for the formats the program reads; ""
// otherwise.
const char *FormatName(std::int32_t format);
