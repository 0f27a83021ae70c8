#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Whether an EXIF block (optionally led by "Exif\0\0") holds together: a TIFF header, and every
// directory the facts come from (the first one, the EXIF, GPS and interoperability ones) with its
// entries and their values inside the block. A block cut short there fails. The thumbnail's
// directory and the contents of values (maker notes included) are not looked into: the facts do
// not come from them.
bool ExifLayoutIntact(const unsigned char *data, std::size_t size);

// The contents of a JPEG file's EXIF segment (the APP1 segment led by "Exif\0\0"), as far as the
// file holds them: a segment the file ends inside comes back short. Empty for a file that is no
// JPEG, has no such segment before its image data, or cannot be read.
std::vector<unsigned char> ReadExifSegment(const std::string &hostPath);
