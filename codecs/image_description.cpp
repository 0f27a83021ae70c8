#include "codecs/image_description.h"

#include "codecs/detecting_codec.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <algorithm>
#include <memory>

void DescribeImage(const ImageHeader &header, ImageInfo &info, bool fileFacts)
{
    info.reset();
    if (header.frameCount <= 0)
        ThrowAlb(Msg::NoImages);
    info.format = header.format;
    info.width = header.width;
    info.height = header.height;
    info.background = header.background;
    info.frameCount = header.frameCount;
    info.colourCount = ColourCountFor(header.bitsPerPixel, header.grayscale != 0);
    if (!fileFacts)
        return;
    info.xResolution = header.xResolution;
    info.yResolution = header.yResolution;
    if (header.palette.count > 0) {
        info.globalPalette = std::make_unique<ImagePalette>();
        info.globalPalette->count = header.palette.count;
        std::copy_n(header.palette.entries, std::min<int>(header.palette.count, 256),
                    info.globalPalette->entries);
    }
}

void LoadImageInfo(const std::string &path, ImageInfo &info)
{
    ImageHeader header;
    DetectingCodec codec;
    codec.readInfoFromFile(path, &header);
    DescribeImage(header, info, true);
}

const char *FormatName(std::int32_t format)
{
    switch (static_cast<ImageFormat>(format)) {
    case ImageFormat::Bmp:
        return "BMP";
    case ImageFormat::Jpeg:
        return "JPEG";
    case ImageFormat::Gif:
        return "GIF";
    case ImageFormat::Png:
        return "PNG";
    case ImageFormat::Webp:
        return "WEBP";
    case ImageFormat::Heif:
        return "HEIF";
    case ImageFormat::Avif:
        return "AVIF";
    default:
        return "";
    }
}
