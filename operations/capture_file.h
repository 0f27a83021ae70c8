#pragma once

#include "image/pixel_span.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The capture's file naming and writing, without windows: the album's capture and
// `vistrel-cli capture` share them. A capture is a screen picture as the grab holds it: blue,
// green, red bytes, rows top-down.

// captureFlags' file format values; any other value is written as JPEG.
namespace CaptureFormat {
inline constexpr std::int32_t Bmp = 0;
inline constexpr std::int32_t Jpeg = 1;
inline constexpr std::int32_t Gif = 2;
inline constexpr std::int32_t Png = 3;
} // namespace CaptureFormat

// The highest number a capture name is given; past it the search stops.
inline constexpr std::int32_t kLastCaptureNumber = 999998;

// ".bmp", ".jpg", ".gif" or ".png" for the formats 0, 1, 2 and 3; empty for any other value.
std::string CaptureExtension(std::int32_t fileFormat);

// The name a capture gets, and whether it is free. It is not free only when every number up to
// kLastCaptureNumber is taken: then it is the last candidate, which exists.
struct CaptureName
{
    std::string name;
    bool free = true;
};

// Whether a name (without folder) is taken.
using CaptureNameTaken = std::function<bool(const std::string &name)>;

// prefix + the first number from 1 up with at least three digits (001, 999, 1000) + the
// extension of fileFormat, for which taken says no.
CaptureName FindCaptureName(std::string_view prefix, std::int32_t fileFormat,
                            const CaptureNameTaken &taken);

// FindCaptureName with the names that exist in folder (a device or host path) taken.
CaptureName FindCaptureNameIn(std::string_view folder, std::string_view prefix,
                              std::int32_t fileFormat);

// The next free capture name in folder, without folder; the last candidate when none is free.
std::string NextCaptureName(std::string_view folder, std::string_view prefix,
                            std::int32_t fileFormat);

// folder joined with name: a device path ("\Pictures") with a backslash, a host path ("/tmp")
// with a slash.
std::string CaptureFilePath(std::string_view folder, std::string_view name);

// Where and how captures are written.
struct CaptureTarget
{
    std::string folder;
    std::int32_t fileFormat = CaptureFormat::Bmp;
    // Pixels per inch stored in BMP, JPEG and PNG files in both directions; GIF files store
    // none.
    std::int32_t resolutionDpi = 96;
};

// Writes pixels as folder + name in the target's format: BMP, JPEG (at the writer's default
// quality) and PNG (lossless) with the resolution, GIF reduced to 256 colours by the GIF writer
// (exactly the screen's colours when it shows no more than that). The writers go through a temporary file
// renamed over the target when complete, so an existing file of that name is replaced only by a
// complete new one and stays as it was when writing fails. Returns the full path written; throws
// whatever the writer throws.
std::string WriteCapture(const std::string &name, const PixelSpan &pixels,
                         const CaptureTarget &target);
