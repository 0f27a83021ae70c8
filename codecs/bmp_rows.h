#pragma once

#include "codecs/bmp_codec.h"
#include "codecs/image_stream.h"

#include <cstdint>
#include <memory>

// Reads the pixel rows of a BMP one after another in file order. A row comes out as width
// palette indices (1 to 8 bits) or width blue, green, red triples (16 to 32 bits).
class BmpRowReader
{
public:
    virtual ~BmpRowReader() = default;

    // Decodes the next file row into row, which has room for the frame's width in pixels.
    virtual void readRow(ImageStream &stream, std::uint8_t *row) = 0;
    // Consumes the next file row without storing it.
    virtual void skipRow(ImageStream &stream) = 0;
    // True once the picture has ended early: every later row is index 0 and nothing more is read.
    virtual bool pictureEnded() const { return false; }
};

// The reader for the file's bit count and compression. A bit count the format does not have
// throws 46024 (38001:76:12).
std::unique_ptr<BmpRowReader> CreateBmpRowReader(const BmpCodec::State &state);

// Bytes of one uncompressed file row: the pixel bits rounded up to a multiple of 4 bytes.
std::int64_t BmpRowStride(std::int32_t width, std::int32_t bits);

// One colour channel of a bit-field pixel: its mask, where the field starts and how wide it is.
struct BmpBitField
{
    explicit BmpBitField(std::uint32_t mask);

    // The field as an 8-bit value. shifted: the field's top bits (a 5-bit value v becomes v << 3,
    // as 16-bit pixels have always been widened); otherwise the field scaled so that its largest
    // value becomes 255.
    std::uint8_t toByte(std::uint32_t pixel, bool shifted) const;

    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};
