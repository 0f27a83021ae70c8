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

Layout planLayout(const PixelSpan &picture)
{
    Layout layout;
    layout.width = picture.width;
    layout.height = picture.height;
    if (picture.bytesPerPixel == 1) {
        const int count = picture.palette->count;
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

// One row in the file's form: 24 and 8 bits are the input's bytes as they stand, 4 and 1 bits are
// packed from the indices, high bits first. The padding to 4 bytes is zero.
void fillRow(std::uint8_t *out, const std::uint8_t *in, const Layout &layout)
{
    if (layout.bits == 24 || layout.bits == 8) {
        const std::size_t bytes = static_cast<std::size_t>(layout.width) * (layout.bits / 8);
        std::memcpy(out, in, bytes);
        std::memset(out + bytes, 0, layout.rowSize - bytes);
        return;
    }
    std::memset(out, 0, layout.rowSize);
    for (std::int32_t x = 0; x < layout.width; ++x) {
        if (layout.bits == 4)
            out[x / 2] |= static_cast<std::uint8_t>((in[x] & 0x0F) << ((x & 1) ? 0 : 4));
        else if (in[x] & 1)
            out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
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

void BmpWriter::write(const std::string &path, const PixelSpan &picture)
{
    if (path.empty() || !picture.pixels || picture.width <= 0 || picture.height <= 0
        || (picture.bytesPerPixel != 1 && picture.bytesPerPixel != 3)
        || picture.stride < static_cast<std::size_t>(picture.width) * picture.bytesPerPixel
        || (picture.bytesPerPixel == 1 && !picture.palette))
        throwInvalidParameter();
    const Layout layout = planLayout(picture);
    std::vector<std::uint8_t> row;
    try {
        row.resize(layout.rowSize);
    } catch (const std::bad_alloc &) {
        ThrowAlb(Msg::NotEnoughMemory);
    }

    SafeFile file(HostPath(path), path,
                  keepExisting ? SafeFile::Existing::Keep : SafeFile::Existing::Replace);
    const std::vector<std::uint8_t> head =
            headers(layout, xResolution, yResolution, picture.palette);
    file.write(head.data(), head.size());
    // The file holds the bottom row first.
    for (std::int32_t y = layout.height - 1; y >= 0; --y) {
        fillRow(row.data(), picture.row(y), layout);
        file.write(row.data(), row.size());
    }
    file.commit();
}
