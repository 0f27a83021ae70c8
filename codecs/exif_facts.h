#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One fact a photo states about itself, as shown to people: "Camera make" / "Acme".
struct ExifFact
{
    std::string name;
    std::string value;

    bool operator==(const ExifFact &) const = default;
};

// The camera facts of a picture file's EXIF block, in this order and each only when present:
// camera make and model, date taken, exposure time, aperture, ISO speed, focal length, flash,
// orientation and GPS position. Empty when the file cannot be read, has no EXIF block, or its
// block is damaged (truncated, offsets past its end): a damaged block is never half shown.
std::vector<ExifFact> ReadExifFacts(const std::string &hostPath);

// The same from an EXIF block in memory (starting with "Exif\0\0" or at the TIFF header).
std::vector<ExifFact> ExifFactsFromBlock(const unsigned char *data, std::size_t size);

// The orientation tag (1 to 8) of an EXIF block in memory, as ExifFactsFromBlock takes blocks;
// 1 (as stored) when the block has no valid one or is damaged.
unsigned ExifOrientationFromBlock(const unsigned char *data, std::size_t size);
