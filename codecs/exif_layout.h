#pragma once

#include <cstddef>

// Whether an EXIF block (optionally led by "Exif\0\0") holds together: a TIFF header, and every
// directory the facts come from (the first one, the EXIF, GPS and interoperability ones) with its
// entries and their values inside the block. A block cut short there fails. The thumbnail's
// directory and the contents of values (maker notes included) are not looked into: the facts do
// not come from them.
bool ExifLayoutIntact(const unsigned char *data, std::size_t size);
