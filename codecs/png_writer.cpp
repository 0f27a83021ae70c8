#include "codecs/png_writer.h"

#include "codecs/bmp_writer.h"
#include "codecs/png_library.h"
#include "common/alb_exception.h"
#include "common/host_path.h"
#include "common/safe_file.h"
#include "common/string_ids.h"

#include <algorithm>
#include <exception>
#include <vector>
#include <zlib.h>

namespace {

// Place and steps of the writer's error locations.
constexpr std::uint32_t kPlaceLibrary = 42;
constexpr std::uint32_t kStepMemory = 1;
constexpr std::uint32_t kStepRefused = 2;

// Measured on 1920 x 1080 screen pictures and photos: zlib's run-length strategy after the Paeth
// filter writes files about as small as level 2 with adaptive filtering (what common capture
// tools use) in half the time; the compression level means little to that strategy.
constexpr int kLevel = 1;

// Everything the library's steps need, with nothing that has a destructor.
struct Encoding
{
    PngLibrary *library = nullptr;
    const PixelSpan *picture = nullptr;
    PngWriter::Sink *sink = nullptr;
    std::int32_t transparentIndex = -1;
    std::exception_ptr sinkFailure;
    png_uint_32 xPerMetre = 0;
    png_uint_32 yPerMetre = 0;
    png_text *text = nullptr;
    int textCount = 0;
    // The rows packed ahead, or none: then the library packs them.
    const std::vector<std::uint8_t> *packed = nullptr;
};

// The sink's exception is kept, and the library is given up once it is out of the handler.
void writeToSink(png_structp png, png_bytep bytes, std::size_t count)
{
    auto *encoding = static_cast<Encoding *>(png_get_io_ptr(png));
    bool failed = false;
    try {
        encoding->sink->put(bytes, count);
    } catch (...) {
        encoding->sinkFailure = std::current_exception();
        failed = true;
    }
    if (failed)
        png_error(png, "the file could not be written");
}

void flushNothing(png_structp) { }

int paletteDepth(int count)
{
    return count <= 2 ? 1 : count <= 4 ? 2 : count <= 16 ? 4 : 8;
}

void writeIndexedHeader(png_structp png, png_infop info, const PixelSpan &picture,
                        std::int32_t transparentIndex)
{
    const int count = std::clamp<int>(picture.palette->count, 1, ImagePalette::kMaxEntries);
    png_color entries[ImagePalette::kMaxEntries];
    for (int i = 0; i < count; ++i)
        entries[i] = png_color{ picture.palette->entries[i].red, picture.palette->entries[i].green,
                                picture.palette->entries[i].blue };
    const int depth = paletteDepth(count);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), depth, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, entries, count);
    if (transparentIndex >= 0 && transparentIndex < count) {
        // Every entry up to the transparent one is listed; those before it stay opaque.
        png_byte alphas[ImagePalette::kMaxEntries];
        std::fill_n(alphas, transparentIndex, png_byte{ 255 });
        alphas[transparentIndex] = 0;
        png_set_tRNS(png, info, alphas, transparentIndex + 1, nullptr);
    }
    // Indices past the palette are written as they are; readers show them black.
    png_set_check_for_invalid_index(png, -1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
}

void writeHeader(void *context)
{
    auto &encoding = *static_cast<Encoding *>(context);
    png_structp png = encoding.library->png;
    png_infop info = encoding.library->info;
    const PixelSpan &picture = *encoding.picture;
    png_set_write_fn(png, &encoding, writeToSink, flushNothing);
    // The format allows sides up to 2^31 - 1; the library's default limits are lower.
    png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_set_compression_level(png, kLevel);
    png_set_compression_strategy(png, Z_RLE);
    if (picture.bytesPerPixel == 1) {
        writeIndexedHeader(png, info, picture, encoding.transparentIndex);
    } else {
        png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                     static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_PAETH);
        png_set_bgr(png);
    }
    if (encoding.xPerMetre > 0 && encoding.yPerMetre > 0)
        png_set_pHYs(png, info, encoding.xPerMetre, encoding.yPerMetre, PNG_RESOLUTION_METER);
    if (encoding.textCount > 0)
        png_set_text(png, info, encoding.text, encoding.textCount);
    png_write_info(png, info);
    // The rows hold one index per byte; the library packs them to the file's depth, which it
    // knows only once the header is written.
    if (picture.bytesPerPixel == 1)
        png_set_packing(png);
}

// Rows packed ahead go into IDAT chunks of their own; the end chunk follows, as the library's
// own end would need rows it packed itself.
void writePackedRows(png_structp png, const std::vector<std::uint8_t> &packed)
{
    constexpr std::size_t kChunkBytes = std::size_t{ 1 } << 20;
    static constexpr png_byte kData[5] = "IDAT";
    static constexpr png_byte kEnd[5] = "IEND";
    for (std::size_t done = 0; done < packed.size(); done += kChunkBytes)
        png_write_chunk(png, kData, packed.data() + done,
                        std::min(kChunkBytes, packed.size() - done));
    png_write_chunk(png, kEnd, nullptr, 0);
}

void writeRows(void *context)
{
    auto &encoding = *static_cast<Encoding *>(context);
    if (encoding.packed) {
        writePackedRows(encoding.library->png, *encoding.packed);
        return;
    }
    const PixelSpan &picture = *encoding.picture;
    for (std::int32_t y = 0; y < picture.height; ++y)
        png_write_row(encoding.library->png, picture.row(y));
    png_write_end(encoding.library->png, nullptr);
}

bool validKeyword(const std::string &key)
{
    return !key.empty() && key.size() <= 79 && key.front() != ' ' && key.back() != ' ';
}

void checkPicture(const PixelSpan &picture, const PngText *text)
{
    const bool indexed = picture.bytesPerPixel == 1;
    if (!picture.pixels || picture.width <= 0 || picture.height <= 0
        || (!indexed && picture.bytesPerPixel != 3) || (indexed && !picture.palette)
        || picture.stride < static_cast<std::size_t>(picture.width) * picture.bytesPerPixel)
        ThrowAlb(Msg::InvalidParameter);
    if (text) {
        for (const PngTextEntry &entry : *text) {
            if (!validKeyword(entry.key))
                ThrowAlb(Msg::InvalidParameter);
        }
    }
}

// The library's view of the entries; it copies them when they are set, so the strings need only
// outlive the encoding.
std::vector<png_text> libraryText(const PngText *text)
{
    std::vector<png_text> entries;
    if (!text)
        return entries;
    for (const PngTextEntry &entry : *text) {
        png_text chunk{};
        chunk.compression = PNG_TEXT_COMPRESSION_NONE;
        chunk.key = const_cast<char *>(entry.key.c_str());
        chunk.text = const_cast<char *>(entry.text.c_str());
        chunk.text_length = entry.text.size();
        entries.push_back(chunk);
    }
    return entries;
}

class FileSink : public PngWriter::Sink
{
public:
    explicit FileSink(SafeFile &target) : file(target) { }

    void put(const std::uint8_t *bytes, std::size_t count) override { file.write(bytes, count); }

private:
    SafeFile &file;
};

class MemorySink : public PngWriter::Sink
{
public:
    void put(const std::uint8_t *bytes, std::size_t count) override
    {
        data.insert(data.end(), bytes, bytes + count);
    }

    std::vector<std::uint8_t> data;
};

} // namespace

PngWriter::PngWriter()
    : xResolution(DefaultWriterResolution().x), yResolution(DefaultWriterResolution().y)
{ }

void PngWriter::encodeTo(Sink &sink, const PixelSpan &picture)
{
    checkPicture(picture, text);
    PngLibrary library(PngLibrary::Mode::Write);
    if (!library.created())
        ThrowAlb(Msg::NotEnoughMemory, Module::PngWriter, kPlaceLibrary, kStepMemory);
    Encoding encoding;
    encoding.library = &library;
    encoding.picture = &picture;
    encoding.sink = &sink;
    encoding.transparentIndex = transparentIndex;
    if (xResolution > 0 && yResolution > 0) {
        encoding.xPerMetre = PngPixelsPerMetre(xResolution);
        encoding.yPerMetre = PngPixelsPerMetre(yResolution);
    }
    std::vector<png_text> entries = libraryText(text);
    encoding.text = entries.data();
    encoding.textCount = static_cast<int>(entries.size());
    std::vector<std::uint8_t> packed;
    if (packing != PngPacking::Small && picture.bytesPerPixel == 3) {
        try {
            packed = PackPngRows(picture, packing);
        } catch (const std::bad_alloc &) {
            ThrowAlb(Msg::NotEnoughMemory, Module::PngWriter, kPlaceLibrary, kStepMemory);
        }
        encoding.packed = &packed;
    }
    if (library.runGuarded(writeHeader, &encoding) && library.runGuarded(writeRows, &encoding))
        return;
    if (encoding.sinkFailure)
        std::rethrow_exception(encoding.sinkFailure);
    if (library.memoryShort())
        ThrowAlb(Msg::NotEnoughMemory, Module::PngWriter, kPlaceLibrary, kStepMemory);
    ThrowAlb(Msg::InternalError, Module::PngWriter, kPlaceLibrary, kStepRefused);
}

void PngWriter::write(const std::string &path, const PixelSpan &picture)
{
    if (path.empty())
        ThrowAlb(Msg::InvalidParameter);
    checkPicture(picture, text);
    SafeFile file(HostPath(path), path);
    FileSink sink(file);
    encodeTo(sink, picture);
    file.commit();
}

std::vector<std::uint8_t> PngWriter::encode(const PixelSpan &picture)
{
    MemorySink sink;
    try {
        encodeTo(sink, picture);
    } catch (const std::bad_alloc &) {
        ThrowAlb(Msg::NotEnoughMemory, Module::PngWriter, kPlaceLibrary, kStepMemory);
    }
    return std::move(sink.data);
}
