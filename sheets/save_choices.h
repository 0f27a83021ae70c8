#pragma once

#include "operations/save_picture.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ImageInfo;

// The choices of the Format and Location pages as plain values: the lists' entries and what they
// stand for, the options a picture starts with, and the destination's name.

// The resolution list of a current value: the table values with the value put in order (or
// appended past the table's end) and selected; a value <= 0 adds nothing and selects 96.
struct ResolutionChoices
{
    std::vector<std::int32_t> values;
    int selected = 0;
};

ResolutionChoices ResolutionEntries(std::int32_t current);

// A resolution as typed: digits (and the '#' and '*' the number check lets through, '+' first)
// whose leading number is not 0. None when the text is refused.
std::optional<std::int32_t> ParseResolution(std::string_view text);

// The colours value of list entry i: the JPEG quality, the GIF colour count or the BMP colours.
std::int32_t JpegQualityOfEntry(int entry);
std::int32_t GifColoursOfEntry(int entry);
std::int32_t BmpColoursOfEntry(int entry);
// The entries that show a colours value. A GIF count between two entries shows the larger,
// which is the limit the writer applies.
int JpegEntryOf(std::int32_t quality);
int GifEntryOf(std::int32_t colours);
int BmpEntryOf(std::int32_t colours);

inline constexpr int kDefaultQualityEntry = 2;

// The options a picture starts with: its own format, its colours mapped to what the format
// offers, its resolution (none for a GIF). Without valid facts the format is 0 (none chosen).
SaveOptions InitialSaveOptions(const ImageInfo &info, bool infoValid);

// ".jpg", ".gif", ".bmp" or ".png" for format 2, 3, 1 or 4; "" for any other.
std::string FormatExtension(std::int32_t format);

// The destination file's name: the picture's name (a name, not a path) without its last
// extension, then the appendage and the format's extension.
std::string DestinationName(std::string_view fileName, std::string_view appendage,
                            std::int32_t format);
