#include "operations/save_picture.h"

#include "codecs/bmp_writer.h"
#include "codecs/gif_writer.h"
#include "codecs/image_header.h"
#include "codecs/jpeg_writer.h"
#include "codecs/png_writer.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "image/quantize.h"
#include "image/resample.h"

#include <algorithm>
#include <memory>

namespace {

// The pixels a save works on: the picture itself, its crop (which shares the picture's rows), or
// a conversion of either. The stores hold whatever this save allocated, so leaving the scope
// frees them.
struct SaveSource
{
    PixelSpan span;
    std::int32_t transparent = -1;

    ImageBuffer::Store convertedStore;
    std::unique_ptr<ImagePalette> ownPalette;

    int paletteCount() const { return span.palette ? span.palette->count : 0; }

    // The pixels are now those of store, rows without padding.
    void take(ImageBuffer::Store store, std::int32_t bytesPerPixel, const ImagePalette *palette)
    {
        convertedStore = std::move(store);
        span = PixelSpan::Padded(convertedStore.get(), span.width, span.height, 0, bytesPerPixel,
                                 palette);
    }
};

// Cuts the source down to crop clamped to the picture.
void cropSource(SaveSource &source, const Rect &crop)
{
    source.span = source.span.cropped(crop);
    // Nothing of the picture is left to write: an empty file would be no picture at all.
    if (source.span.width <= 0)
        ThrowAlb(Msg::InvalidParameter);
}

// Turns a 1-byte source into 3-byte blue, green, red pixels. The transparent entry, unique since
// isolateTransparentColour, becomes the transparent colour.
void expandSource(SaveSource &source)
{
    const PixelSpan &from = source.span;
    if (!from.palette)
        ThrowAlb(Msg::InvalidParameter);
    ImageBuffer::Store store = ImageBuffer::allocateStore(from.width, from.height, 3);
    convertToTrueColour(from.pixels, from.width, from.height, from.rowPad(), 1, from.palette,
                        store.get(), 0);
    RgbValue key = kNoColour;
    if (source.transparent >= 0 && source.transparent < source.paletteCount()) {
        const PaletteEntry &e = from.palette->entries[source.transparent];
        key = MakeRgb(e.red, e.green, e.blue);
    }
    // The new store replaces any earlier conversion, which is freed here.
    source.take(std::move(store), 3, nullptr);
    source.transparent = key;
}

// Reduces a 3-byte source to at most colours palette entries with dithering, dropping any
// transparency.
void reduceSource(SaveSource &source, std::int32_t colours)
{
    const PixelSpan &from = source.span;
    ImageBuffer::Store store = ImageBuffer::allocateStore(from.width, from.height, 1);
    auto palette = std::make_unique<ImagePalette>();
    const Rect area{ 0, 0, from.width, from.height };
    if (!quantize(area, from.pixels, from.rowPad(), store.get(), 0, kQuantizeIndexOutput, colours,
                  true, nullptr, palette.get(), kNoColour, nullptr, true))
        ThrowAlb(Msg::NotEnoughMemory);
    source.ownPalette = std::move(palette);
    source.take(std::move(store), 1, source.ownPalette.get());
    source.transparent = -1;
}

// The resolution asked for; without one in both directions the writer keeps its default.
template <typename Writer>
void setResolution(Writer &writer, const SaveOptions &options)
{
    if (options.xResolution > 0 && options.yResolution > 0) {
        writer.xResolution = options.xResolution;
        writer.yResolution = options.yResolution;
    }
}

void saveBmp(SaveSource &source, const std::string &path, const SaveOptions &options)
{
    if (options.colours != kTrueColourCount) {
        const std::int32_t limit = options.colours < 3 ? 2 : options.colours <= 16 ? 16 : 256;
        if (source.span.bytesPerPixel == 1 && source.paletteCount() > limit)
            expandSource(source);
        if (source.span.bytesPerPixel == 3)
            reduceSource(source, limit);
    } else if (source.span.bytesPerPixel == 1) {
        expandSource(source);
    }
    BmpWriter writer;
    setResolution(writer, options);
    writer.write(path, source.span);
}

void saveGif(SaveSource &source, const std::string &path, const SaveOptions &options)
{
    GifWriter writer;
    writer.dither = 1;
    writer.colourCount = GifColourLimit(options.colours);
    if (source.span.bytesPerPixel == 1 && source.paletteCount() > writer.colourCount)
        expandSource(source);
    if (source.span.bytesPerPixel == 3)
        writer.transparentColour = source.transparent;
    else
        writer.transparentIndex = source.transparent;
    writer.write(path, source.span);
}

void saveJpeg(const SaveSource &source, const std::string &path, const SaveOptions &options)
{
    JpegWriter writer;
    // The writer stores 75 for anything above 100; a negative value would wrap into that range.
    writer.quality = static_cast<std::uint16_t>(std::max(options.colours, 0));
    setResolution(writer, options);
    writer.write(path, source.span);
}

// Lossless: a 1-byte picture stays indexed, with its transparent entry; colours are not asked.
void savePng(const SaveSource &source, const std::string &path, const SaveOptions &options)
{
    PngWriter writer;
    setResolution(writer, options);
    writer.transparentIndex = source.span.bytesPerPixel == 1 ? source.transparent : -1;
    writer.write(path, source.span);
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
    SaveSource source{ image.span(), image.transparent, {}, {} };
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
