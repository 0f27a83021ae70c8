#include "codecs/bmp_writer.h"

#include "common/alb_exception.h"
#include "common/host_path.h"
#include "common/safe_file.h"
#include "common/string_ids.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

namespace {

WriterResolution defaultResolution;

constexpr double kInchesPerMetre = 39.370078740157474;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;

// Geometry and depth of the file being written.
struct Layout
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bits = 24;
    std::uint32_t entries = 0;
    std::uint32_t rowSize = 0;
    std::uint32_t dataOffset = 0;
    std::uint32_t fileSize = 0;
};

[[noreturn]] void throwInvalidParameter()
{
    ThrowAlb(Msg::InvalidParameter);
}

std::int32_t scaled(std::int32_t side, std::int32_t scalePercent)
{
    const std::int64_t value = static_cast<std::int64_t>(side) * scalePercent / 100;
    if (value <= 0 || value > INT32_MAX)
        throwInvalidParameter();
    return static_cast<std::int32_t>(value);
}

Layout planLayout(std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                  std::int32_t scalePercent, const ImagePalette *palette)
{
    Layout layout;
    layout.width = scaled(width, scalePercent);
    layout.height = scaled(height, scalePercent);
    if (bytesPerPixel == 1) {
        const int count = palette->count;
        layout.bits = count <= 2 ? 1 : count <= 16 ? 4 : 8;
        layout.entries = 1u << layout.bits;
    }
    const std::uint64_t rowBits = static_cast<std::uint64_t>(layout.width) * layout.bits;
    const std::uint64_t rowSize = (rowBits + 31) / 32 * 4;
    layout.dataOffset = kFileHeaderSize + kInfoHeaderSize + 4 * layout.entries;
    const std::uint64_t fileSize = layout.dataOffset + rowSize * layout.height;
    // The header states the file size in 32 bits; a larger picture cannot be written.
    if (fileSize > UINT32_MAX)
        throwInvalidParameter();
    layout.rowSize = static_cast<std::uint32_t>(rowSize);
    layout.fileSize = static_cast<std::uint32_t>(fileSize);
    return layout;
}

void put16(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

std::int32_t pixelsPerMetre(std::int32_t pixelsPerInch)
{
    return static_cast<std::int32_t>(pixelsPerInch * kInchesPerMetre + 0.5);
}

// File header, info header and colour table.
std::vector<std::uint8_t> headers(const Layout &layout, std::int32_t xResolution,
                                  std::int32_t yResolution, const ImagePalette *palette)
{
    std::vector<std::uint8_t> out;
    out.reserve(layout.dataOffset);
    out.push_back('B');
    out.push_back('M');
    put32(out, layout.fileSize);
    put32(out, 0); // two reserved words
    put32(out, layout.dataOffset);
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(layout.width));
    put32(out, static_cast<std::uint32_t>(layout.height)); // positive: bottom row first
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(layout.bits));
    put32(out, 0); // no compression
    put32(out, 0); // image size, implied
    put32(out, static_cast<std::uint32_t>(pixelsPerMetre(xResolution)));
    put32(out, static_cast<std::uint32_t>(pixelsPerMetre(yResolution)));
    put32(out, 0); // colours used: all of the table
    put32(out, 0); // important colours: all
    for (std::uint32_t i = 0; i < layout.entries; ++i) {
        const PaletteEntry &entry = palette->entries[i];
        out.insert(out.end(), { entry.blue, entry.green, entry.red, 0 });
    }
    return out;
}

// A row at its own width in the file's byte order is a plain copy; this is what every capture and
// every full-size save writes, so it skips the column table.
bool fillRowUnscaled(std::uint8_t *out, const std::uint8_t *in, const Layout &layout,
                     std::int32_t inputWidth, bool bgrOrder)
{
    if (layout.width != inputWidth || (layout.bits != 24 && layout.bits != 8)
        || (layout.bits == 24 && !bgrOrder))
        return false;
    const std::size_t bytes = static_cast<std::size_t>(layout.width) * (layout.bits / 8);
    std::memcpy(out, in, bytes);
    std::memset(out + bytes, 0, layout.rowSize - bytes);
    return true;
}

void fillRow(std::uint8_t *out, const std::uint8_t *in, const Layout &layout,
             const std::vector<std::int32_t> &columns, bool bgrOrder)
{
    std::memset(out, 0, layout.rowSize);
    for (std::int32_t x = 0; x < layout.width; ++x) {
        const std::size_t column = static_cast<std::size_t>(columns[static_cast<std::size_t>(x)]);
        if (layout.bits == 24) {
            const std::uint8_t *p = in + column * 3;
            std::uint8_t *q = out + static_cast<std::size_t>(x) * 3;
            q[0] = bgrOrder ? p[0] : p[2];
            q[1] = p[1];
            q[2] = bgrOrder ? p[2] : p[0];
        } else if (layout.bits == 8) {
            out[x] = in[column];
        } else if (layout.bits == 4) {
            out[x / 2] |= static_cast<std::uint8_t>((in[column] & 0x0F) << ((x & 1) ? 0 : 4));
        } else if (in[column] & 1) {
            out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
}

// Input column of every output column: the nearest one to the left, by a real quotient.
std::vector<std::int32_t> columnMap(std::int32_t width, std::int32_t outputWidth)
{
    std::vector<std::int32_t> columns(static_cast<std::size_t>(outputWidth));
    const double ratio = static_cast<double>(width) / outputWidth;
    for (std::int32_t x = 0; x < outputWidth; ++x)
        columns[static_cast<std::size_t>(x)] =
                std::min(static_cast<std::int32_t>(x * ratio), width - 1);
    return columns;
}

} // namespace

WriterResolution DefaultWriterResolution()
{
    return defaultResolution;
}

void SetDefaultWriterResolution(WriterResolution resolution)
{
    defaultResolution = resolution;
}

BmpWriter::BmpWriter()
    : xResolution(DefaultWriterResolution().x), yResolution(DefaultWriterResolution().y)
{ }

void BmpWriter::write(const std::string &path, const std::uint8_t *pixels, std::int32_t width,
                      std::int32_t height, std::int32_t rowPad, std::int32_t bytesPerPixel,
                      std::int32_t scalePercent, const ImagePalette *palette, bool bgrOrder,
                      bool bottomUp)
{
    if (path.empty() || !pixels || width <= 0 || height <= 0 || rowPad < 0
        || (bytesPerPixel != 1 && bytesPerPixel != 3) || (bytesPerPixel == 1 && !palette))
        throwInvalidParameter();
    const Layout layout = planLayout(width, height, bytesPerPixel, scalePercent, palette);
    std::vector<std::uint8_t> row;
    std::vector<std::int32_t> columns;
    try {
        row.resize(layout.rowSize);
        columns = columnMap(width, layout.width);
    } catch (const std::bad_alloc &) {
        ThrowAlb(Msg::NotEnoughMemory);
    }

    SafeFile file(HostPath(path), path,
                  keepExisting ? SafeFile::Existing::Keep : SafeFile::Existing::Replace);
    const std::vector<std::uint8_t> head = headers(layout, xResolution, yResolution, palette);
    file.write(head.data(), head.size());
    const std::size_t inputStride =
            static_cast<std::size_t>(width + rowPad) * static_cast<std::size_t>(bytesPerPixel);
    const double rowRatio = static_cast<double>(height) / layout.height;
    std::int32_t lastInputRow = -1;
    // The file holds the bottom row first; with bottom-up input that is output row 0.
    for (std::int32_t i = 0; i < layout.height; ++i) {
        const std::int32_t y = bottomUp ? i : layout.height - 1 - i;
        const std::int32_t inputRow = std::min(static_cast<std::int32_t>(y * rowRatio), height - 1);
        const std::uint8_t *input = pixels + static_cast<std::size_t>(inputRow) * inputStride;
        if (inputRow != lastInputRow
            && !fillRowUnscaled(row.data(), input, layout, width, bgrOrder))
            fillRow(row.data(), input, layout, columns, bgrOrder);
        lastInputRow = inputRow;
        file.write(row.data(), row.size());
    }
    file.commit();
}
