#include "codecs/jpeg_writer.h"

#include "codecs/bmp_writer.h"
#include "codecs/jpeg_destination.h"
#include "codecs/jpeg_errors.h"
#include "common/alb_exception.h"
#include "common/host_path.h"
#include "common/safe_file.h"
#include "common/string_ids.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <new>
#include <vector>

namespace {

// Place and step of the writer's memory error location.
constexpr std::uint32_t kPlaceLibrary = 42;
constexpr std::uint32_t kStepMemory = 1;

constexpr std::uint16_t kDefaultQuality = 75;
constexpr std::uint16_t kMaxQuality = 100;
constexpr int kDensityDotsPerInch = 1;
// JFIF densities are 16-bit and must not be zero.
constexpr std::int32_t kMaxDensity = 65535;

[[noreturn]] void throwLibraryError(int code)
{
    if (IsJpegMemoryCode(code))
        ThrowAlb(Msg::NotEnoughMemory, Module::JpegWriter, kPlaceLibrary, kStepMemory);
    ThrowAlb(Msg::AccessDenied);
}

std::int32_t scaled(std::int32_t side, std::int32_t scalePercent)
{
    const std::int64_t value = static_cast<std::int64_t>(side) * scalePercent / 100;
    if (value <= 0 || value > INT32_MAX)
        ThrowAlb(Msg::InvalidParameter);
    return static_cast<std::int32_t>(value);
}

// The compressor with its error manager and destination. Destroying it destroys the library's
// compressor, also when an exception leaves the write.
struct Compressor
{
    jpeg_compress_struct cinfo{};
    JpegErrorManager errors{};
    std::unique_ptr<JpegDestination> destination = std::make_unique<JpegDestination>();

    Compressor() { cinfo.err = InitJpegErrors(errors); }

    Compressor(const Compressor &) = delete;
    Compressor &operator=(const Compressor &) = delete;

    ~Compressor()
    {
        if (cinfo.mem)
            jpeg_destroy_compress(&cinfo);
    }

    // Runs a library step and throws the program's exception after the jump when it fails.
    void run(void (*step)(void *), void *context)
    {
        if (!RunGuarded(errors, step, context))
            throwLibraryError(errors.code);
    }
};

// What the set-up step gives the library: picture, colour space, density, quality and DCT.
struct Setup
{
    j_compress_ptr cinfo = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    int components = 3;
    int quality = kDefaultQuality;
    int dctMethod = 0;
    std::uint16_t xDensity = 0;
    std::uint16_t yDensity = 0;
};

void setUp(void *context)
{
    const auto &s = *static_cast<const Setup *>(context);
    j_compress_ptr cinfo = s.cinfo;
    cinfo->image_width = static_cast<JDIMENSION>(s.width);
    cinfo->image_height = static_cast<JDIMENSION>(s.height);
    cinfo->input_components = s.components;
    cinfo->in_color_space = s.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(cinfo);
    cinfo->density_unit = kDensityDotsPerInch;
    cinfo->X_density = s.xDensity;
    cinfo->Y_density = s.yDensity;
    jpeg_set_quality(cinfo, s.quality, FALSE);
    switch (s.dctMethod) {
    case 0:
        cinfo->dct_method = JDCT_ISLOW;
        break;
    case 1:
        cinfo->dct_method = JDCT_IFAST;
        break;
    case 2:
        cinfo->dct_method = JDCT_FLOAT;
        break;
    default:
        break;
    }
    jpeg_start_compress(cinfo, TRUE);
}

// The input and the row buffer of the row-writing step.
struct RowSource
{
    j_compress_ptr cinfo = nullptr;
    const std::uint8_t *pixels = nullptr;
    std::size_t stride = 0;
    std::int32_t height = 0;
    int bytesPerPixel = 3;
    const ImagePalette *palette = nullptr;
    bool bgrOrder = true;
    bool bottomUp = false;
    const std::int32_t *columns = nullptr;
    std::uint8_t *row = nullptr;
};

void fillRow(const RowSource &s, const std::uint8_t *in)
{
    std::uint8_t *out = s.row;
    const std::int32_t *end = s.columns + s.cinfo->image_width;
    for (const std::int32_t *column = s.columns; column != end; ++column) {
        if (s.bytesPerPixel == 1 && !s.palette) {
            *out++ = in[*column];
        } else if (s.bytesPerPixel == 1) {
            const PaletteEntry &entry = s.palette->entries[in[*column]];
            *out++ = entry.red;
            *out++ = entry.green;
            *out++ = entry.blue;
        } else {
            const std::uint8_t *p = in + static_cast<std::size_t>(*column) * 3;
            *out++ = s.bgrOrder ? p[2] : p[0];
            *out++ = p[1];
            *out++ = s.bgrOrder ? p[0] : p[2];
        }
    }
}

// Writes the scanlines top row first. Output row y takes input row y x height / output height;
// bottom-up input is walked from its last row. A row that takes the same input row as the one
// before it is written again from the buffer.
void writeRows(void *context)
{
    const auto &s = *static_cast<const RowSource *>(context);
    const JDIMENSION outputHeight = s.cinfo->image_height;
    const double ratio = static_cast<double>(s.height) / outputHeight;
    JSAMPROW rows[1] = { s.row };
    std::int32_t lastInputRow = -1;
    for (JDIMENSION i = 0; i < outputHeight; ++i) {
        const JDIMENSION y = s.bottomUp ? outputHeight - 1 - i : i;
        const std::int32_t inputRow = std::min(static_cast<std::int32_t>(y * ratio), s.height - 1);
        if (inputRow != lastInputRow)
            fillRow(s, s.pixels + static_cast<std::size_t>(inputRow) * s.stride);
        lastInputRow = inputRow;
        jpeg_write_scanlines(s.cinfo, rows, 1);
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

std::uint16_t density(std::int32_t pixelsPerInch)
{
    return static_cast<std::uint16_t>(std::clamp(pixelsPerInch, 1, kMaxDensity));
}

} // namespace

JpegWriter::JpegWriter()
    : xResolution(DefaultWriterResolution().x), yResolution(DefaultWriterResolution().y)
{ }

void JpegWriter::write(const std::string &path, const std::uint8_t *pixels, std::int32_t width,
                       std::int32_t height, std::int32_t rowPad, std::int32_t bytesPerPixel,
                       std::int32_t scalePercent, const ImagePalette *palette, bool bgrOrder,
                       bool bottomUp)
{
    if (path.empty() || !pixels || width <= 0 || height <= 0 || rowPad < 0
        || (bytesPerPixel != 1 && bytesPerPixel != 3))
        ThrowAlb(Msg::InvalidParameter);
    const std::int32_t outputWidth = scaled(width, scalePercent);
    const std::int32_t outputHeight = scaled(height, scalePercent);
    const int components = bytesPerPixel == 1 && !palette ? 1 : 3;

    SafeFile file(HostPath(path), path);
    Compressor compressor;
    compressor.run([](void *p) { jpeg_create_compress(static_cast<j_compress_ptr>(p)); },
                   &compressor.cinfo);
    AttachJpegDestination(&compressor.cinfo, *compressor.destination, file);
    Setup setup{ &compressor.cinfo,
                 outputWidth,
                 outputHeight,
                 components,
                 quality > kMaxQuality ? kDefaultQuality : quality,
                 dctMethod,
                 density(xResolution),
                 density(yResolution) };
    compressor.run(setUp, &setup);

    // Allocated once the library has accepted the size, so that a refused size costs nothing.
    std::vector<std::uint8_t> row;
    std::vector<std::int32_t> columns;
    try {
        row.resize(static_cast<std::size_t>(outputWidth) * static_cast<std::size_t>(components));
        columns = columnMap(width, outputWidth);
    } catch (const std::bad_alloc &) {
        throwLibraryError(JERR_OUT_OF_MEMORY);
    }
    RowSource source{ &compressor.cinfo,
                      pixels,
                      static_cast<std::size_t>(width + rowPad)
                              * static_cast<std::size_t>(bytesPerPixel),
                      height,
                      bytesPerPixel,
                      palette,
                      bgrOrder,
                      bottomUp,
                      columns.data(),
                      row.data() };
    compressor.run(writeRows, &source);
    compressor.run([](void *p) { jpeg_finish_compress(static_cast<j_compress_ptr>(p)); },
                   &compressor.cinfo);
    file.commit();
}
