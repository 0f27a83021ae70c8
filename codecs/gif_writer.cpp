#include "codecs/gif_writer.h"

#include "common/alb_exception.h"
#include "common/host_path.h"
#include "common/safe_file.h"
#include "common/string_ids.h"
#include "image/image_buffer.h"
#include "image/quantize.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr unsigned kStageOpen = 1;
constexpr unsigned kStageScreen = 2;
constexpr unsigned kStageImage = 4;
constexpr unsigned kAllStages = kStageOpen | kStageScreen | kStageImage;

constexpr std::uint32_t kPlaceOpen = 48;
constexpr std::uint32_t kPlaceScreen = 88;
constexpr std::uint32_t kStepStage = 1;

// Every size in the file is a 16-bit field.
constexpr std::int32_t kMaxSide = 0xFFFF;

[[noreturn]] void throwOutOfOrder()
{
    ThrowAlb(Msg::InternalError);
}

bool fitsField(std::int32_t value)
{
    return value >= 0 && value <= kMaxSide;
}

// The smallest table of 2^bits entries (1 to 8 bits) that holds count colours.
int tableBitsFor(int count)
{
    int bits = 1;
    while (bits < 8 && (1 << bits) < count)
        ++bits;
    return bits;
}

void put16(std::vector<std::uint8_t> &out, std::int32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

} // namespace

// The picture as rows of palette indices: the picture's own, or the colour reduction of it.
struct GifWriter::Source
{
    std::vector<std::uint8_t> reduced;
    const std::uint8_t *rows = nullptr;
    std::size_t stride = 0;
    ImagePalette palette;
};

GifWriter::GifWriter() = default;

GifWriter::~GifWriter() = default;

void GifWriter::write(const std::string &path, const PixelSpan &picture)
{
    if (!picture.pixels || picture.width <= 0 || picture.height <= 0
        || (picture.bytesPerPixel != 1 && picture.bytesPerPixel != 3)
        || picture.stride < static_cast<std::size_t>(picture.width) * picture.bytesPerPixel
        || (picture.bytesPerPixel == 1 && !picture.palette))
        ThrowAlb(Msg::InvalidParameter);
    // Refused before the colour reduction spends its time; open and screen would refuse the
    // same way.
    if (path.empty() || stageFlags != 0)
        ThrowAlb(Msg::InternalError, Module::GifWriter, kPlaceOpen, kStepStage);
    if (!fitsField(picture.width) || !fitsField(picture.height))
        ThrowAlb(Msg::InvalidParameter);
    try {
        const Source source = prepareSource(picture);
        open(path);
        screen(picture.width, picture.height, 0, &source.palette);
        if (transparentIndex >= 0 && transparentIndex < source.palette.count)
            controlExtension(0, false, 0, transparentIndex);
        image(0, 0, picture.width, picture.height, false, nullptr);
        for (std::int32_t y = 0; y < picture.height; ++y)
            row(source.rows + static_cast<std::size_t>(y) * source.stride, picture.width);
        trailer();
    } catch (const std::bad_alloc &) {
        abandon();
        ThrowAlb(Msg::NotEnoughMemory);
    } catch (...) {
        abandon();
        throw;
    }
}

GifWriter::Source GifWriter::prepareSource(const PixelSpan &picture)
{
    Source source;
    if (picture.bytesPerPixel == 1) {
        source.rows = picture.pixels;
        source.stride = picture.stride;
        source.palette = *picture.palette;
        return source;
    }
    const std::uint64_t count =
            static_cast<std::uint64_t>(picture.width) * static_cast<std::uint64_t>(picture.height);
    if (count > ImageBuffer::kMaxStoreBytes)
        ThrowAlb(Msg::NotEnoughMemory);
    source.reduced.resize(static_cast<std::size_t>(count));
    if (!quantize(Rect{ 0, 0, picture.width, picture.height }, picture.pixels, picture.rowPad(),
                  source.reduced.data(), 0, kQuantizeIndexOutput, colourCount, dither != 0,
                  givenPalette, &source.palette, transparentColour, &transparentIndex, true))
        ThrowAlb(Msg::NotEnoughMemory);
    source.rows = source.reduced.data();
    source.stride = static_cast<std::size_t>(picture.width);
    return source;
}

void GifWriter::open(const std::string &path)
{
    if (path.empty() || stageFlags != 0)
        ThrowAlb(Msg::InternalError, Module::GifWriter, kPlaceOpen, kStepStage);
    try {
        encoder.allocateTable();
    } catch (const std::bad_alloc &) {
        ThrowAlb(Msg::NotEnoughMemory);
    }
    file = std::make_unique<SafeFile>(HostPath(path), path);
    stageFlags = kStageOpen;
    pixelsLeft = 0;
}

void GifWriter::screen(std::int32_t width, std::int32_t height, std::int32_t backgroundIndex,
                       const ImagePalette *palette)
{
    if (stageFlags != kStageOpen)
        ThrowAlb(Msg::InternalError, Module::GifWriter, kPlaceScreen, kStepStage);
    if (!fitsField(width) || !fitsField(height))
        ThrowAlb(Msg::InvalidParameter);
    tableBits = tableBitsFor(palette ? palette->count : 0);
    const int sizeBits = tableBits - 1;
    std::vector<std::uint8_t> out = { 'G', 'I', 'F', '8', '9', 'a' };
    put16(out, width);
    put16(out, height);
    out.push_back(static_cast<std::uint8_t>(0x80 | (sizeBits << 4) | sizeBits));
    out.push_back(static_cast<std::uint8_t>(backgroundIndex));
    out.push_back(0); // no aspect ratio
    writeBytes(out.data(), out.size());
    writeColourTable(palette, tableBits);
    stageFlags |= kStageScreen;
}

// 2^bits entries of red, green and blue; entries past the palette's count are black.
void GifWriter::writeColourTable(const ImagePalette *palette, int bits)
{
    std::uint8_t table[3 * 256] = {};
    const int entries = 1 << bits;
    const int count = palette ? std::min<int>(palette->count, entries) : 0;
    for (int i = 0; i < count; ++i) {
        table[3 * i] = palette->entries[i].red;
        table[3 * i + 1] = palette->entries[i].green;
        table[3 * i + 2] = palette->entries[i].blue;
    }
    writeBytes(table, static_cast<std::size_t>(3 * entries));
}

// Extensions and images go between images, never inside one's data.
void GifWriter::controlExtension(std::int32_t disposal, bool userInput, std::int32_t delay,
                                 std::int32_t index)
{
    if ((stageFlags & (kStageOpen | kStageScreen)) != (kStageOpen | kStageScreen) || pixelsLeft > 0)
        throwOutOfOrder();
    const bool hasIndex = index >= 0 && index <= 255;
    const std::uint8_t packed = static_cast<std::uint8_t>(
            ((disposal & 7) << 2) | (userInput ? 2 : 0) | (hasIndex ? 1 : 0));
    std::vector<std::uint8_t> out = { 0x21, 0xF9, 0x04, packed };
    put16(out, delay);
    out.push_back(static_cast<std::uint8_t>(index));
    out.push_back(0);
    writeBytes(out.data(), out.size());
}

void GifWriter::image(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                      bool interlaced, const ImagePalette *localPalette)
{
    if ((stageFlags & (kStageOpen | kStageScreen)) != (kStageOpen | kStageScreen) || pixelsLeft > 0)
        throwOutOfOrder();
    if (!fitsField(left) || !fitsField(top) || !fitsField(width) || !fitsField(height))
        ThrowAlb(Msg::InvalidParameter);
    // Without a local table the low bits still state the global table's size.
    const int bits = localPalette ? tableBitsFor(localPalette->count) : tableBits;
    std::vector<std::uint8_t> out = { 0x2C };
    put16(out, left);
    put16(out, top);
    put16(out, width);
    put16(out, height);
    out.push_back(static_cast<std::uint8_t>((bits - 1) | (interlaced ? 0x40 : 0)
                                            | (localPalette ? 0x80 : 0)));
    writeBytes(out.data(), out.size());
    if (localPalette)
        writeColourTable(localPalette, bits);

    stageFlags |= kStageImage;
    pixelsLeft = static_cast<std::int64_t>(width) * height;
    initialBits = std::max(2, bits);
    const std::uint8_t codeSize = static_cast<std::uint8_t>(initialBits);
    writeBytes(&codeSize, 1);
    encoder.start(initialBits);
    // An image without pixels still needs its end code for the data to be complete.
    if (pixelsLeft == 0)
        encoder.finish();
    writeBytes(encoder.output().data(), encoder.output().size());
    encoder.output().clear();
}

void GifWriter::row(const std::uint8_t *pixels, std::int32_t n)
{
    if (stageFlags != kAllStages || n < 0 || n > pixelsLeft)
        throwOutOfOrder();
    if (n == 0)
        return;
    pixelsLeft -= n;
    encoder.encode(pixels, static_cast<std::size_t>(n));
    if (pixelsLeft == 0)
        encoder.finish();
    writeBytes(encoder.output().data(), encoder.output().size());
    encoder.output().clear();
}

// An image cut short would leave a file that looks complete but is not: the trailer waits for
// every pixel.
void GifWriter::trailer()
{
    if (!file || pixelsLeft > 0)
        throwOutOfOrder();
    const std::uint8_t terminator = ';';
    writeBytes(&terminator, 1);
    std::unique_ptr<SafeFile> done = std::move(file);
    stageFlags = 0;
    done->commit();
}

void GifWriter::writeBytes(const void *data, std::size_t size)
{
    if (size > 0)
        file->write(data, size);
}

void GifWriter::abandon() noexcept
{
    file.reset();
    stageFlags = 0;
    pixelsLeft = 0;
    encoder.output().clear();
}
