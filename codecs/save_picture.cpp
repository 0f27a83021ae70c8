#include "codecs/save_picture.h"

#include "codecs/bmp_writer.h"
#include "codecs/gif_writer.h"
#include "codecs/image_header.h"
#include "codecs/jpeg_writer.h"
#include "codecs/png_writer.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "image/quantize.h"
#include "image/resample.h"

#include <cstring>
#include <memory>

namespace {

// The pixels a save works on: the picture itself, its crop, or a conversion of either. The
// stores hold whatever this save allocated, so leaving the scope frees them.
struct SaveSource
{
    const std::uint8_t *pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rowPad = 0;
    int bytesPerPixel = 0;
    const ImagePalette *palette = nullptr;
    std::int32_t transparent = -1;

    ImageBuffer::Store cropStore;
    ImageBuffer::Store convertedStore;
    std::unique_ptr<ImagePalette> ownPalette;

    std::size_t stride() const
    {
        return static_cast<std::size_t>(width + rowPad) * static_cast<std::size_t>(bytesPerPixel);
    }

    int paletteCount() const { return palette ? palette->count : 0; }
};

SaveSource sourceOf(const ImageBuffer &image)
{
    SaveSource source;
    source.pixels = image.pixels;
    source.width = image.width;
    source.height = image.height;
    source.rowPad = image.rowPad;
    source.bytesPerPixel = image.bytesPerPixel;
    source.palette = image.palette;
    source.transparent = image.transparent;
    return source;
}

// Cuts the source down to crop clamped to the picture. A crop that covers the whole picture
// leaves the source alone, so no copy is made.
void cropSource(SaveSource &source, const Rect &crop)
{
    const Rect clamped{ std::max(crop.left, 0), std::max(crop.top, 0),
                        std::min(crop.right, source.width), std::min(crop.bottom, source.height) };
    if (clamped == Rect{ 0, 0, source.width, source.height })
        return;
    // Nothing of the picture is left to write: an empty file would be no picture at all.
    if (clamped.isEmpty())
        ThrowAlb(Msg::InvalidParameter);
    const std::int32_t width = clamped.width();
    const std::int32_t height = clamped.height();
    source.cropStore = ImageBuffer::allocateStore(width, height, source.bytesPerPixel);
    std::uint8_t *to = source.cropStore.get();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * source.bytesPerPixel;
    for (std::int32_t y = clamped.top; y < clamped.bottom; ++y, to += rowBytes) {
        const std::uint8_t *from = source.pixels + static_cast<std::size_t>(y) * source.stride()
                + static_cast<std::size_t>(clamped.left) * source.bytesPerPixel;
        std::memcpy(to, from, rowBytes);
    }
    source.pixels = source.cropStore.get();
    source.width = width;
    source.height = height;
    source.rowPad = 0;
}

// Turns a 1-byte source into 3-byte blue, green, red pixels. The transparent entry, unique since
// isolateTransparentColour, becomes the transparent colour.
void expandSource(SaveSource &source)
{
    if (!source.palette)
        ThrowAlb(Msg::InvalidParameter);
    ImageBuffer::Store store = ImageBuffer::allocateStore(source.width, source.height, 3);
    convertToTrueColour(source.pixels, source.width, source.height, source.rowPad, 1,
                        source.palette, store.get(), 0);
    RgbValue key = kNoColour;
    if (source.transparent >= 0 && source.transparent < source.paletteCount()) {
        const PaletteEntry &e = source.palette->entries[source.transparent];
        key = MakeRgb(e.red, e.green, e.blue);
    }
    // The new store replaces any earlier conversion, which is freed here.
    source.convertedStore = std::move(store);
    source.pixels = source.convertedStore.get();
    source.rowPad = 0;
    source.bytesPerPixel = 3;
    source.palette = nullptr;
    source.transparent = key;
}

// Reduces a 3-byte source to at most colours palette entries with dithering, dropping any
// transparency.
void reduceSource(SaveSource &source, std::int32_t colours)
{
    ImageBuffer::Store store = ImageBuffer::allocateStore(source.width, source.height, 1);
    auto palette = std::make_unique<ImagePalette>();
    const Rect area{ 0, 0, source.width, source.height };
    if (!quantize(area, source.pixels, source.rowPad, store.get(), 0, kQuantizeIndexOutput, colours,
                  true, nullptr, palette.get(), kNoColour, nullptr, true))
        ThrowAlb(Msg::NotEnoughMemory);
    source.convertedStore = std::move(store);
    source.ownPalette = std::move(palette);
    source.pixels = source.convertedStore.get();
    source.rowPad = 0;
    source.bytesPerPixel = 1;
    source.palette = source.ownPalette.get();
    source.transparent = -1;
}

void saveBmp(SaveSource &source, const std::string &path, const SaveOptions &options)
{
    if (options.colours != kTrueColourCount) {
        const std::int32_t limit = options.colours < 3 ? 2 : options.colours <= 16 ? 16 : 256;
        if (source.bytesPerPixel == 1 && source.paletteCount() > limit)
            expandSource(source);
        if (source.bytesPerPixel == 3)
            reduceSource(source, limit);
    } else if (source.bytesPerPixel == 1) {
        expandSource(source);
    }
    BmpWriter writer;
    if (options.xResolution > 0 && options.yResolution > 0) {
        writer.xResolution = options.xResolution;
        writer.yResolution = options.yResolution;
    }
    writer.write(path, source.pixels, source.width, source.height, source.rowPad,
                 source.bytesPerPixel, 100, source.palette, true, false);
}

void saveGif(SaveSource &source, const std::string &path, const SaveOptions &options)
{
    GifWriter writer;
    writer.dither = 1;
    writer.colourCount = GifColourLimit(options.colours);
    if (source.bytesPerPixel == 1 && source.paletteCount() > writer.colourCount)
        expandSource(source);
    if (source.bytesPerPixel == 3)
        writer.transparentColour = source.transparent;
    else
        writer.transparentIndex = source.transparent;
    writer.write(path, source.pixels, source.width, source.height, source.rowPad,
                 source.bytesPerPixel, 100, source.palette, true, false);
}

void saveJpeg(const SaveSource &source, const std::string &path, const SaveOptions &options)
{
    JpegWriter writer;
    // The writer stores 75 for anything above 100; a negative value would wrap into that range.
    writer.quality = static_cast<std::uint16_t>(std::max(options.colours, 0));
    if (options.xResolution > 0 && options.yResolution > 0) {
        writer.xResolution = options.xResolution;
        writer.yResolution = options.yResolution;
    }
    writer.write(path, source.pixels, source.width, source.height, source.rowPad,
                 source.bytesPerPixel, 100, source.palette, true, false);
}

// Lossless: a 1-byte picture stays indexed, with its transparent entry; colours are not asked.
void savePng(const SaveSource &source, const std::string &path, const SaveOptions &options)
{
    PngWriter writer;
    if (options.xResolution > 0 && options.yResolution > 0) {
        writer.xResolution = options.xResolution;
        writer.yResolution = options.yResolution;
    }
    PngPicture picture;
    picture.pixels = source.pixels;
    picture.width = source.width;
    picture.height = source.height;
    picture.rowPad = source.rowPad;
    picture.bytesPerPixel = source.bytesPerPixel;
    picture.palette = source.palette;
    picture.transparentIndex = source.bytesPerPixel == 1 ? source.transparent : -1;
    writer.write(path, picture);
}

} // namespace

std::int32_t GifColourLimit(std::int32_t colours)
{
    std::int32_t limit = 2;
    while (limit < 256 && limit < colours)
        limit *= 2;
    return limit;
}

void SaveDecodedPicture(ImageBuffer &image, const std::string &path, const SaveOptions &options,
                        const Rect *crop)
{
    const auto format = static_cast<ImageFormat>(options.format);
    if (format != ImageFormat::Bmp && format != ImageFormat::Gif && format != ImageFormat::Jpeg
        && format != ImageFormat::Png)
        ThrowAlb(Msg::InvalidParameter);
    if (!image.hasPixels() || (image.bytesPerPixel != 1 && image.bytesPerPixel != 3))
        ThrowAlb(Msg::InvalidParameter);
    image.isolateTransparentColour();
    SaveSource source = sourceOf(image);
    if (crop)
        cropSource(source, *crop);
    if (format == ImageFormat::Bmp)
        saveBmp(source, path, options);
    else if (format == ImageFormat::Gif)
        saveGif(source, path, options);
    else if (format == ImageFormat::Png)
        savePng(source, path, options);
    else
        saveJpeg(source, path, options);
}
