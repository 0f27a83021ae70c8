#include "codecs/bmp_codec.h"

#include "codecs/bmp_rows.h"
#include "codecs/frame_selection.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

// Places and steps of the reader's error locations.
constexpr std::uint32_t kPlaceHeader = 137;
constexpr std::uint32_t kStepNotBmp = 1;
constexpr std::uint32_t kStepBadCoreHeader = 11;
constexpr std::uint32_t kStepBadInfoHeader = 12;
constexpr std::uint32_t kStepBadHeaderSize = 13;
constexpr std::uint32_t kPlaceDecode = 76;
constexpr std::uint32_t kStepNoRowBuffer = 11;

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kOs2InfoHeaderSize = 64;
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kV5HeaderSize = 124;
// Where the red, green and blue masks sit inside a 108- or 124-byte header.
constexpr std::int64_t kInnerMasksOffset = 40;

constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;
constexpr std::uint32_t kGreenMask565 = 0x07E0;

[[noreturn]] void throwInvalid(std::uint32_t step)
{
    ThrowAlb(Msg::InvalidFormat, Module::BmpReader, kPlaceHeader, step);
}

std::uint16_t word(const std::uint8_t *p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t dword(const std::uint8_t *p)
{
    return static_cast<std::uint32_t>(word(p)) | (static_cast<std::uint32_t>(word(p + 2)) << 16);
}

std::int32_t signedDword(const std::uint8_t *p)
{
    return static_cast<std::int32_t>(dword(p));
}

std::int32_t pixelsPerInch(std::int32_t pixelsPerMetre)
{
    return static_cast<std::int32_t>(pixelsPerMetre * 0.0254 + 0.5);
}

struct FreeBytes
{
    void operator()(std::uint8_t *bytes) const { std::free(bytes); }
};

// The reusable row of a frame that does not map one to one onto its target: a whole file row
// is decoded into it and the selected columns are picked out. It comes from calloc, so a row
// the header claims to be a billion pixels wide costs only the pages the file's data reaches.
struct RowScratch
{
    std::unique_ptr<std::uint8_t, FreeBytes> row;
    std::vector<std::int32_t> columns;
};

RowScratch makeRowScratch(std::int32_t frameWidth, int bytesPerPixel,
                          const FrameSelection &selection)
{
    const std::uint64_t bytes = static_cast<std::uint64_t>(frameWidth) * bytesPerPixel;
    if (bytes > ImageBuffer::kMaxStoreBytes)
        ThrowAlb(Msg::NotEnoughMemory, Module::BmpReader, kPlaceDecode, kStepNoRowBuffer);
    try {
        RowScratch scratch{ std::unique_ptr<std::uint8_t, FreeBytes>(static_cast<std::uint8_t *>(
                                    std::calloc(static_cast<std::size_t>(bytes), 1))),
                            selection.columnMap() };
        if (scratch.row)
            return scratch;
    } catch (const std::bad_alloc &) { }
    ThrowAlb(Msg::NotEnoughMemory, Module::BmpReader, kPlaceDecode, kStepNoRowBuffer);
}

void pickColumns(const RowScratch &scratch, int bytesPerPixel, std::uint8_t *out)
{
    const std::uint8_t *in = scratch.row.get();
    if (bytesPerPixel == 1) {
        for (std::int32_t column : scratch.columns)
            *out++ = in[column];
        return;
    }
    for (std::int32_t column : scratch.columns) {
        std::memcpy(out, in + static_cast<std::size_t>(column) * 3, 3);
        out += 3;
    }
}

// Serves the target rows from the file rows. Bottom-up files hold the frame's last row first,
// so target rows are served from the bottom up and the file is read in one pass either way; a
// target row that selects the frame row decoded just before is a copy of its neighbour.
void decodeRows(ImageStream &stream, BmpRowReader &reader, const BmpCodec::State &bmp,
                const FrameHeader &frame, const FrameSelection &selection)
{
    const int bytesPerPixel = frame.bytesPerPixel;
    const bool direct = selection.isDirect(bmp.width);
    RowScratch scratch =
            direct ? RowScratch{} : makeRowScratch(bmp.width, bytesPerPixel, selection);
    const std::size_t stride = frame.target->stride();
    const std::size_t rowBytes = static_cast<std::size_t>(selection.targetWidth())
            * static_cast<std::size_t>(bytesPerPixel);
    auto rowAt = [&](std::int32_t r) {
        return frame.target->pixels + static_cast<std::size_t>(r) * stride;
    };
    const std::int32_t step = bmp.topDown ? 1 : -1;
    const std::int32_t rows = selection.targetHeight();
    std::int32_t nextFileRow = bmp.topDown ? 0 : bmp.height - 1;
    std::int32_t lastDecoded = -1;
    for (std::int32_t i = 0; i < rows; ++i) {
        const std::int32_t r = bmp.topDown ? i : rows - 1 - i;
        const std::int32_t frameRow = selection.frameRow(r);
        assert(frameRow >= 0 && frameRow < bmp.height);
        std::uint8_t *out = rowAt(r);
        if (frameRow == lastDecoded) {
            std::memcpy(out, rowAt(r - step), rowBytes);
            continue;
        }
        // After an early end of picture every row not yet served is index 0, which the zeroed
        // target already holds; a file claiming millions of rows must not be walked row by row.
        for (; nextFileRow != frameRow && !reader.pictureEnded(); nextFileRow += step)
            reader.skipRow(stream);
        if (reader.pictureEnded())
            break;
        if (direct) {
            reader.readRow(stream, out);
        } else {
            reader.readRow(stream, scratch.row.get());
            pickColumns(scratch, bytesPerPixel, out);
        }
        nextFileRow += step;
        lastDecoded = frameRow;
    }
}

void readCoreHeader(ImageStream &stream, BmpCodec::State &bmp)
{
    const std::uint8_t *p = stream.read(kCoreHeaderSize);
    bmp.width = word(p + 4);
    bmp.height = word(p + 6);
    bmp.bits = word(p + 10);
    bmp.colourEntrySize = 3;
    bmp.coloursUsed = 0;
    if (word(p + 8) != 1 || bmp.width == 0 || bmp.height == 0 || bmp.bits == 0)
        throwInvalid(kStepBadCoreHeader);
}

void readInfoHeader(ImageStream &stream, std::uint32_t headerSize, BmpCodec::State &bmp)
{
    const std::uint8_t *p = stream.read(headerSize);
    const std::int32_t height = signedDword(p + 8);
    bmp.width = signedDword(p + 4);
    bmp.bits = word(p + 14);
    bmp.compression = dword(p + 16);
    bmp.coloursUsed = dword(p + 32);
    bmp.colourEntrySize = 4;
    // A negative width has no meaning, and a negative height is the only way to say top-down.
    if (word(p + 12) != 1 || bmp.width <= 0 || height == 0 || height == INT32_MIN || bmp.bits == 0)
        throwInvalid(kStepBadInfoHeader);
    bmp.topDown = height < 0;
    bmp.height = bmp.topDown ? -height : height;
    // Run-length pictures are always stored bottom-up: a top-down one is a broken file.
    if (bmp.topDown && bmp.compression != kCompressionNone && (bmp.bits == 4 || bmp.bits == 8))
        throwInvalid(kStepBadInfoHeader);

    const std::int32_t xPerMetre = signedDword(p + 24);
    const std::int32_t yPerMetre = signedDword(p + 28);
    if (xPerMetre != 0 && yPerMetre != 0) {
        bmp.xResolution = pixelsPerInch(xPerMetre);
        bmp.yResolution = pixelsPerInch(yPerMetre);
    }
    if ((bmp.bits == 16 || bmp.bits == 32) && bmp.compression == kCompressionBitFields) {
        // The short headers are followed by the masks; the long ones hold them.
        const std::uint8_t *masks =
                headerSize >= kV4HeaderSize ? p + kInnerMasksOffset : stream.read(12);
        for (int i = 0; i < 3; ++i)
            bmp.masks[i] = dword(masks + 4 * i);
        bmp.hasMasks = true;
        bmp.is565 = bmp.bits == 16 && bmp.masks[1] == kGreenMask565;
    }
}

void readColourTable(ImageStream &stream, const BmpCodec::State &bmp, ImagePalette &palette)
{
    const std::int32_t count = bmp.coloursUsed >= 1 && bmp.coloursUsed <= 256
            ? static_cast<std::int32_t>(bmp.coloursUsed)
            : 1 << bmp.bits;
    stream.seek(bmp.colourTableOffset, ImageStream::Begin);
    const std::uint8_t *table = stream.read(static_cast<std::int64_t>(count) * bmp.colourEntrySize);
    // Entries past the count stay black, so indices beyond the table read as black.
    std::fill(std::begin(palette.entries), std::end(palette.entries), PaletteEntry{});
    for (std::int32_t i = 0; i < count; ++i, table += bmp.colourEntrySize)
        palette.entries[i] = PaletteEntry{ table[2], table[1], table[0], 0 };
    palette.version = ImagePalette::kVersion;
    palette.count = static_cast<std::uint16_t>(count);
}

void fillHeader(ImageStream &stream, const BmpCodec::State &bmp, ImageHeader &header)
{
    header.format = static_cast<std::int32_t>(ImageFormat::Bmp);
    header.width = bmp.width;
    header.height = bmp.height;
    header.background = -1;
    header.bitsPerPixel = bmp.bits;
    header.frameCount = 1;
    header.xResolution = bmp.xResolution;
    header.yResolution = bmp.yResolution;
    header.grayscale = 0;
    header.palette.count = 0;
    if (bmp.bits <= 8) {
        const std::int64_t back = stream.position();
        readColourTable(stream, bmp, header.palette);
        stream.seek(back, ImageStream::Begin);
    }
}

} // namespace

void BmpCodec::readHeader(ImageStream &stream, ImageHeader &header)
{
    bmp = State{};
    stream.rewind();
    const std::uint8_t *fileHeader = stream.read(kFileHeaderSize);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        throwInvalid(kStepNotBmp);
    bmp.pixelOffset = dword(fileHeader + 10);

    const std::uint32_t headerSize = stream.readDword();
    stream.seek(-4, ImageStream::Current);
    switch (headerSize) {
    case kCoreHeaderSize:
        readCoreHeader(stream, bmp);
        break;
    case kInfoHeaderSize:
    case kOs2InfoHeaderSize:
    case kV4HeaderSize:
    case kV5HeaderSize:
        readInfoHeader(stream, headerSize, bmp);
        break;
    default:
        throwInvalid(kStepBadHeaderSize);
    }
    if (bmp.bits <= 8)
        bmp.colourTableOffset = stream.position();
    fillHeader(stream, bmp, header);
}

void BmpCodec::readFrameHeader(ImageStream &, FrameHeader &frameHeader, std::int32_t)
{
    frameHeader.interlaced = 0;
    frameHeader.userInput = 0;
    frameHeader.delay = 0;
    frameHeader.disposal = 0;
    frameHeader.frameRect = Rect{ 0, 0, bmp.width, bmp.height };
    frameHeader.transparentIndex = -1;
    frameHeader.bytesPerPixel = bmp.bits < 9 ? 1 : 3;
    frameHeader.withAlpha = 0;
}

void BmpCodec::decodeFrame(ImageStream &stream, FrameHeader &frameHeader, std::int32_t, bool)
{
    if (ImagePalette *palette = frameHeader.targetPalette(); palette && bmp.bits <= 8)
        readColourTable(stream, bmp, *palette);
    stream.seek(bmp.pixelOffset, ImageStream::Begin);
    const std::unique_ptr<BmpRowReader> reader = CreateBmpRowReader(bmp);
    const FrameSelection selection(frameHeader);
    if (selection.isEmpty())
        return;
    assert(frameHeader.bytesPerPixel == (bmp.bits < 9 ? 1 : 3));
    decodeRows(stream, *reader, bmp, frameHeader, selection);
}

void BmpCodec::close()
{
    bmp = State{};
}
