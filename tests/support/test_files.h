#pragma once

#include "image/image_buffer.h"
#include "image/rect.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// The public test pictures with their reference decodes, or an empty path when they are not
// present on this machine (tests then skip).
std::filesystem::path TestDataRoot();

// The small files kept with the tests (tests/data).
std::filesystem::path TestFilesRoot();

// A file of the PNG suite kept with the tests (tests/data/pngsuite), by name.
std::string PngSuiteFile(const std::string &name);

// One row of the reference index (_ref/index.tsv): what an independent decoder made of a file.
struct ReferenceRow
{
    std::string path; // relative to the test data root
    std::string status; // ok, ok-warn, ok-fallback or refused
    std::string decoder;
    std::int32_t width = -1;
    std::int32_t height = -1;
    std::string sha256; // of the first frame as packed RGB rows, top row first
    std::string details;

    bool decoded() const { return status.rfind("ok", 0) == 0; }

    // A "key=value" field of details, or "" when absent.
    std::string detail(const std::string &key) const;
};

// The reference index keyed by path; empty when the test data is missing.
const std::map<std::string, ReferenceRow> &ReferenceIndex();

// The reference decode kept beside the index for a file (its binary PPM), if there is one.
std::filesystem::path ReferencePpmPath(const std::string &relativePath);

struct RgbPicture
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgb; // red, green, blue, top row first, no padding
};

// Reads a binary (P6, 8-bit) PPM. False when the file is missing or not such a PPM.
bool ReadPpm(const std::filesystem::path &path, RgbPicture &picture);

// Files under folder (not below it) whose name ends with extension, ignoring case, sorted.
std::vector<std::filesystem::path> FilesWithExtension(const std::filesystem::path &folder,
                                                      const std::string &extension);

// Packed red, green, blue rows of image, top row first, indices looked up in its palette.
std::vector<std::uint8_t> PackedRgb(const ImageBuffer &image);

// Packed red, green, blue rows of the first frame of the picture file at a host path, read back
// with our own reader.
std::vector<std::uint8_t> FileRgb(const std::string &path);

// The size of a picture file at a device path, read back with our own reader.
Size PictureSize(const std::string &devicePath);
