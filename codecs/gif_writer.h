#pragma once

#include "codecs/lzw_encoder.h"
#include "image/pixel_span.h"

#include <cstdint>
#include <memory>
#include <string>

class SafeFile;

// Writes one picture as a single-image GIF89a file: header, logical screen, global colour table,
// a graphic control extension when there is a transparent index, one non-interlaced image and
// the trailer. 3-byte pictures are first reduced to at most colourCount colours by the palette
// quantizer; 1-byte pictures keep their own palette. The file is written beside the target under
// a temporary name and renamed over it only by the trailer, so a failure never harms an existing
// file. The writer can be reused; its LZW table is kept from file to file.
class GifWriter
{
public:
    GifWriter();
    ~GifWriter();
    GifWriter(const GifWriter &) = delete;
    GifWriter &operator=(const GifWriter &) = delete;

    // The common writer call: the picture at its own size. For 3-byte input transparentIndex
    // receives the entry of transparentColour (-1 when there is none).
    void write(const std::string &path, const PixelSpan &picture);

    // The stages of a file, in this order: open, screen, optionally controlExtension, image,
    // rows until the image is complete, trailer. Out of order they throw "Internal error.".
    void open(const std::string &path);
    void screen(std::int32_t width, std::int32_t height, std::int32_t backgroundIndex,
                const ImagePalette *palette);
    void controlExtension(std::int32_t disposal, bool userInput, std::int32_t delay,
                          std::int32_t transparentIndex);
    void image(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
               bool interlaced, const ImagePalette *localPalette);
    void row(const std::uint8_t *pixels, std::int32_t n);
    void trailer();

    std::int32_t colourCount = 256;
    std::int32_t dither = 0;
    const ImagePalette *givenPalette = nullptr;
    RgbValue transparentColour = kNoColour;
    std::int32_t transparentIndex = -1;

private:
    struct Source;
    Source prepareSource(const PixelSpan &picture);
    void writeBytes(const void *data, std::size_t size);
    void writeColourTable(const ImagePalette *palette, int bits);
    void abandon() noexcept;

    std::unique_ptr<SafeFile> file;
    unsigned stageFlags = 0;
    int tableBits = 0;
    int initialBits = 0;
    std::int64_t pixelsLeft = 0;
    LzwEncoder encoder;
};
