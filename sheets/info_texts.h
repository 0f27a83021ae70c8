#pragma once

#include "common/dir_record.h"
#include "image/image_info.h"

#include <cstdint>
#include <string>
#include <string_view>

// The texts of the information pages, kept apart from the widgets so that the arithmetic can be
// checked on its own.

class ImageItem;

// What the Image and Size pages show of a picture, taken when the sheet opens so that the pages
// do not depend on the item staying in the album while the sheet is up. An item without a valid
// description has format 0, size 0 x 0, resolution -1 and 0 colours.
struct PictureFacts
{
    std::string fileName;
    std::uint32_t fileSize = 0;
    FileTime lastWriteTime = 0;
    std::int32_t format = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t xResolution = -1;
    std::int32_t yResolution = -1;
    std::string colours; // the Colors field's text
};

PictureFacts FactsOf(const ImageItem &item);

// Entry index of a "|"-separated list; "" past its end.
std::string ListEntry(std::string_view list, int index);

// "Unknown" and "N/A" from the string table.
std::string UnknownText();
std::string NotAvailableText();

// The Type field: "PNG" for PNG; the entry of formatNames ("BMP|GIF|JPEG") for GIF and JPEG;
// else the first.
std::string TypeText(std::int32_t format, std::string_view formatNames);

// The Colors field: "Grayscale", else the shown colour count as a count; "0" without a valid
// description.
std::string ColoursText(const ImageInfo &info, const ImagePalette *framePalette, bool valid);

// Counts (base 1000) and byte sizes (base 1024, " B" below a kilobyte).
std::string CountText(std::int64_t count);
std::string ByteSizeText(std::uint64_t bytes);

// A file time as the pages show dates; N/A for the time 0 (the root and times the host lacks).
std::string DateText(FileTime time);

// The four values of the Size page for a picture and its resolution in pixels per inch.
struct OutputSizeTexts
{
    bool known = false; // false: every value is N/A and the unit list is disabled
    std::string horizontal;
    std::string vertical;
    std::string width;
    std::string height;
};

OutputSizeTexts OutputSize(std::int32_t width, std::int32_t height, std::int32_t xdpi,
                           std::int32_t ydpi, bool inches);

// The captions of the Size page's groups for unit index 0 (centimetres) or 1 (inches).
std::string ResolutionCaption(int unit);
std::string OutputSizeCaption(int unit);

// A kernel version as the kernel gives it, "major.minor": 6.1 reads 6.1 and 6.10 reads 6.10, two
// different kernels, so a one-digit minor is never padded.
std::string VersionText(int major, int minor);

// The names of the handheld's processor type numbers and platform ids (Unknown for numbers not
// listed). A desktop host reports neither number: the System page shows the processor's own name
// and the distribution's name in their place, and reads Unknown through ProcessorTypeName when
// the processor gives no name.
std::string ProcessorTypeName(int type);
std::string PlatformName(int platformId, int minorVersion);
