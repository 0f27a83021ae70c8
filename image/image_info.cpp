#include "image/image_info.h"

#include "common/string_ids.h"
#include "common/string_table.h"

std::int32_t ColourCountFor(std::int32_t bitsPerPixel, bool grayscale)
{
    if (grayscale)
        return kGrayscaleColourCount;
    if (bitsPerPixel < 0 || bitsPerPixel >= 32)
        return 0;
    return static_cast<std::int32_t>(std::uint32_t { 1 } << bitsPerPixel);
}

std::int32_t ShownColourCount(const ImageInfo &info, const ImagePalette *framePalette)
{
    if (info.colourCount <= 256) {
        const ImagePalette *palette = info.globalPalette ? info.globalPalette.get() : framePalette;
        if (palette)
            return palette->count;
    }
    return info.colourCount;
}

std::string ShownColourText(const ImageInfo &info, const ImagePalette *framePalette)
{
    std::int32_t count = ShownColourCount(info, framePalette);
    std::string word;
    if (count == kGrayscaleColourCount && LoadString(Msg::Grayscale, word))
        return word;
    return std::to_string(count);
}
