#include "codecs/bmp_rows.h"

#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t kPlaceDecode = 76;
constexpr std::uint32_t kStepBadBitCount = 12;

constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;

// The standard bit-field layouts. Files that state them decode with the fixed formulas, which
// are what files without bit fields have always produced.
constexpr std::uint32_t kMasks555[3] = { 0x7C00, 0x03E0, 0x001F };
constexpr std::uint32_t kMasks565[3] = { 0xF800, 0x07E0, 0x001F };
constexpr std::uint32_t kMasks888[3] = { 0x00FF0000, 0x0000FF00, 0x000000FF };

enum class RowKind {
    Packed,
    Index8,
    Rgb555,
    Rgb565,
    Masks16,
    Bgr24,
    Bgr32,
    Masks32
};

bool sameMasks(const std::uint32_t (&a)[3], const std::uint32_t (&b)[3])
{
    return std::equal(a, a + 3, b);
}

std::uint32_t littleEndian16(const std::uint8_t *p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8);
}

std::uint32_t littleEndian32(const std::uint8_t *p)
{
    return littleEndian16(p) | (littleEndian16(p + 2) << 16);
}

// 1, 2 and 4 bits per pixel: the leftmost pixel sits in the most significant bits of a byte.
void unpackIndices(const std::uint8_t *in, std::uint8_t *out, std::int32_t width, int bits)
{
    const unsigned valueMask = (1u << bits) - 1;
    for (std::int32_t x = 0; x < width; ++x) {
        const std::int64_t bit = static_cast<std::int64_t>(x) * bits;
        const int shift = 8 - bits - static_cast<int>(bit % 8);
        out[x] = static_cast<std::uint8_t>((in[bit / 8] >> shift) & valueMask);
    }
}

// 16-bit pixels in the two fixed layouts; each channel keeps the top five bits of its field.
void unpack16(const std::uint8_t *in, std::uint8_t *out, std::int32_t width, bool is565)
{
    const int greenShift = is565 ? 3 : 2;
    const int redShift = is565 ? 8 : 7;
    for (std::int32_t x = 0; x < width; ++x, in += 2, out += 3) {
        const std::uint32_t v = littleEndian16(in);
        out[0] = static_cast<std::uint8_t>(v << 3);
        out[1] = static_cast<std::uint8_t>((v >> greenShift) & 0xF8);
        out[2] = static_cast<std::uint8_t>((v >> redShift) & 0xF8);
    }
}

void unpackMasks(const std::uint8_t *in, std::uint8_t *out, std::int32_t width, int bytes,
                 const BmpBitField (&fields)[3])
{
    // 16-bit fields keep the widening by shifting of the fixed layouts, so that a file with
    // unusual masks looks like its standard twin; wider pixels scale each field exactly.
    const bool shifted = bytes == 2;
    for (std::int32_t x = 0; x < width; ++x, in += bytes, out += 3) {
        const std::uint32_t v = bytes == 2 ? littleEndian16(in) : littleEndian32(in);
        out[0] = fields[2].toByte(v, shifted);
        out[1] = fields[1].toByte(v, shifted);
        out[2] = fields[0].toByte(v, shifted);
    }
}

void unpack32(const std::uint8_t *in, std::uint8_t *out, std::int32_t width)
{
    for (std::int32_t x = 0; x < width; ++x, in += 4, out += 3)
        std::memcpy(out, in, 3);
}

class UncompressedRows : public BmpRowReader
{
public:
    UncompressedRows(const BmpCodec::State &state, RowKind rowKind)
        : kind(rowKind),
          width(state.width),
          bits(state.bits),
          stride(BmpRowStride(state.width, state.bits)),
          fields{ BmpBitField(state.masks[0]), BmpBitField(state.masks[1]),
                  BmpBitField(state.masks[2]) }
    { }

    void readRow(ImageStream &stream, std::uint8_t *row) override
    {
        const std::uint8_t *in = stream.read(stride);
        switch (kind) {
        case RowKind::Packed:
            return unpackIndices(in, row, width, bits);
        case RowKind::Index8:
            return void(std::memcpy(row, in, static_cast<std::size_t>(width)));
        case RowKind::Rgb555:
        case RowKind::Rgb565:
            return unpack16(in, row, width, kind == RowKind::Rgb565);
        case RowKind::Masks16:
            return unpackMasks(in, row, width, 2, fields);
        case RowKind::Bgr24:
            return void(std::memcpy(row, in, static_cast<std::size_t>(width) * 3));
        case RowKind::Bgr32:
            return unpack32(in, row, width);
        case RowKind::Masks32:
            return unpackMasks(in, row, width, 4, fields);
        }
    }

    void skipRow(ImageStream &stream) override { stream.skip(stride); }

private:
    RowKind kind;
    std::int32_t width;
    int bits;
    std::int64_t stride;
    BmpBitField fields[3];
};

// Run-length rows of 4- or 8-bit indices. A row is read up to its escape; pixels past the row's
// width are dropped, and pixels a row leaves out stay index 0.
class RunLengthRows : public BmpRowReader
{
public:
    RunLengthRows(std::int32_t rowWidth, bool nibbles) : width(rowWidth), fourBits(nibbles) { }

    // Rows come in zeroed the first time (the frame's store and the scratch row of a scaled
    // decode are both calloc'd, which the early end of picture relies on as well); the scratch
    // row handed in again needs clearing only as far as the last row stored. Clearing the whole
    // width would let a small file claiming rows of a billion pixels cost a billion bytes of
    // writing per row.
    void readRow(ImageStream &stream, std::uint8_t *row) override
    {
        const std::int64_t dirty = row == lastRow ? storedEnd : 0;
        std::memset(row, 0, static_cast<std::size_t>(dirty));
        lastRow = row;
        storedEnd = 0;
        decodeRow(stream, row);
    }

    void skipRow(ImageStream &stream) override { decodeRow(stream, nullptr); }
    bool pictureEnded() const override { return ended; }

private:
    void decodeRow(ImageStream &stream, std::uint8_t *row);
    void absoluteRun(ImageStream &stream, std::uint8_t *row, std::int64_t &x, int count);

    // How many of count pixels starting at x fall inside the row (none when skipping).
    int storable(const std::uint8_t *row, std::int64_t x, int count) const
    {
        return row ? static_cast<int>(std::clamp<std::int64_t>(width - x, 0, count)) : 0;
    }

    void noteStored(std::int64_t end, int count)
    {
        if (count > 0)
            storedEnd = std::max(storedEnd, std::min<std::int64_t>(end, width));
    }

    std::int32_t width;
    bool fourBits;
    // The last row read, and how far it stored pixels.
    const std::uint8_t *lastRow = nullptr;
    std::int64_t storedEnd = 0;
    // Set by the end-of-picture escape: every later row is empty and nothing more is read.
    bool ended = false;
};

void RunLengthRows::decodeRow(ImageStream &stream, std::uint8_t *row)
{
    std::int64_t x = 0;
    while (!ended) {
        const std::uint8_t *pair = stream.read(2);
        const int count = pair[0];
        const std::uint8_t value = pair[1];
        if (count > 0) {
            const int stored = storable(row, x, count);
            for (int i = 0; i < stored; ++i)
                row[x + i] = fourBits ? ((i & 1) ? value & 0x0F : value >> 4) : value;
            x += count;
            noteStored(x, stored);
            continue;
        }
        switch (value) {
        case 0: // end of row
            return;
        case 1: // end of picture
            ended = true;
            return;
        case 2: // a delta would move the pen; it ends the row here, its offsets are skipped
            stream.skip(2);
            return;
        default:
            absoluteRun(stream, row, x, value);
        }
    }
}

void RunLengthRows::absoluteRun(ImageStream &stream, std::uint8_t *row, std::int64_t &x, int count)
{
    const int bytes = fourBits ? (count + 1) / 2 : count;
    const std::uint8_t *in = stream.read(bytes);
    const int stored = storable(row, x, count);
    for (int i = 0; i < stored; ++i) {
        const std::uint8_t b = in[fourBits ? i / 2 : i];
        row[x + i] = fourBits ? ((i & 1) ? b & 0x0F : b >> 4) : b;
    }
    x += count;
    noteStored(x, stored);
    // Absolute runs are padded to an even number of bytes.
    if (bytes & 1)
        stream.skip(1);
}

RowKind kind16(const BmpCodec::State &state)
{
    if (state.compression != kCompressionBitFields)
        return RowKind::Rgb555;
    if (!state.hasMasks)
        return state.is565 ? RowKind::Rgb565 : RowKind::Rgb555;
    if (sameMasks(state.masks, kMasks565))
        return RowKind::Rgb565;
    return sameMasks(state.masks, kMasks555) ? RowKind::Rgb555 : RowKind::Masks16;
}

RowKind kind32(const BmpCodec::State &state)
{
    const bool ownMasks = state.compression == kCompressionBitFields && state.hasMasks
            && !sameMasks(state.masks, kMasks888);
    return ownMasks ? RowKind::Masks32 : RowKind::Bgr32;
}

} // namespace

BmpBitField::BmpBitField(std::uint32_t fieldMask) : mask(fieldMask)
{
    if (mask == 0)
        return;
    shift = std::countr_zero(mask);
    bits = std::bit_width(mask >> shift);
}

std::uint8_t BmpBitField::toByte(std::uint32_t pixel, bool shifted) const
{
    if (bits == 0)
        return 0;
    const std::uint32_t value = (pixel & mask) >> shift;
    if (shifted)
        return static_cast<std::uint8_t>(bits <= 8 ? value << (8 - bits) : value >> (bits - 8));
    const std::uint64_t largest = mask >> shift;
    return static_cast<std::uint8_t>((value * std::uint64_t{ 255 } + largest / 2) / largest);
}

std::int64_t BmpRowStride(std::int32_t width, std::int32_t bits)
{
    const std::int64_t rowBits = static_cast<std::int64_t>(width) * bits;
    return (rowBits + 31) / 32 * 4;
}

std::unique_ptr<BmpRowReader> CreateBmpRowReader(const BmpCodec::State &state)
{
    const bool compressed = state.compression != kCompressionNone;
    switch (state.bits) {
    case 1:
    case 2:
        return std::make_unique<UncompressedRows>(state, RowKind::Packed);
    case 4:
        if (compressed)
            return std::make_unique<RunLengthRows>(state.width, true);
        return std::make_unique<UncompressedRows>(state, RowKind::Packed);
    case 8:
        if (compressed)
            return std::make_unique<RunLengthRows>(state.width, false);
        return std::make_unique<UncompressedRows>(state, RowKind::Index8);
    case 16:
        return std::make_unique<UncompressedRows>(state, kind16(state));
    case 24:
        return std::make_unique<UncompressedRows>(state, RowKind::Bgr24);
    case 32:
        return std::make_unique<UncompressedRows>(state, kind32(state));
    default:
        ThrowAlb(Msg::InvalidFormat, Module::BmpReader, kPlaceDecode, kStepBadBitCount);
    }
}
