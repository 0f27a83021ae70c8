#pragma once

#include "codecs/exif_facts.h"

#include <cstddef>
#include <string>
#include <vector>

// Writes a width x height JPEG at 72 dpi with the known EXIF tags of tests/data/make_exif_jpeg.py;
// false when Pillow could not make it.
bool WriteExifJpeg(const std::string &path, int width, int height);

// The facts the program reads from such a file, in order.
const std::vector<ExifFact> &KnownExifFacts();

// Rewrites a JPEG so that its EXIF segment keeps only the first keep bytes of its contents (the
// segment's length adjusted, everything after it intact); false when it has no EXIF segment.
bool TruncateExifSegment(const std::string &path, std::size_t keep);
