#include "codecs/jpeg_writer.h"

#include "codecs/bmp_writer.h"
#include "codecs/jpeg_destination.h"
#include "codecs/jpeg_errors.h"
#include "common/alb_exception.h"
#include "common/host_path.h"
#include "common/safe_file.h"
#include "common/string_ids.h"

#include <algorithm>
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
    J_COLOR_SPACE colourSpace = JCS_EXT_BGR;
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
    cinfo->in_color_space = s.colourSpace;
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

// The input of the row-writing step, and the row buffer of a palette picture.
struct RowSource
{
    j_compress_ptr cinfo = nullptr;
    const PixelSpan *picture = nullptr;
    std::uint8_t *row = nullptr;
};

// A palette picture's row as blue, green, red.
void expandRow(const PixelSpan &picture, std::int32_t y, std::uint8_t *out)
{
    const std::uint8_t *in = picture.row(y);
    for (std::int32_t x = 0; x < picture.width; ++x, out += 3) {
        const PaletteEntry &entry = picture.palette->entries[in[x]];
        out[0] = entry.blue;
        out[1] = entry.green;
        out[2] = entry.red;
    }
}

// Writes the scanlines top row first. Gray and blue, green, red rows go to the library as they
// stand (it only reads them); palette rows are looked up into the row buffer first.
void writeRows(void *context)
{
    const auto &s = *static_cast<const RowSource *>(context);
    const PixelSpan &picture = *s.picture;
    JSAMPROW rows[1];
    for (std::int32_t y = 0; y < picture.height; ++y) {
        if (s.row) {
            expandRow(picture, y, s.row);
            rows[0] = s.row;
        } else {
            rows[0] = const_cast<JSAMPROW>(picture.row(y));
        }
        jpeg_write_scanlines(s.cinfo, rows, 1);
    }
}

std::uint16_t density(std::int32_t pixelsPerInch)
{
    return static_cast<std::uint16_t>(std::clamp(pixelsPerInch, 1, kMaxDensity));
}

} // namespace

JpegWriter::JpegWriter()
    : xResolution(DefaultWriterResolution().x), yResolution(DefaultWriterResolution().y)
{ }

void JpegWriter::write(const std::string &path, const PixelSpan &picture)
{
    if (path.empty() || !picture.pixels || picture.width <= 0 || picture.height <= 0
        || (picture.bytesPerPixel != 1 && picture.bytesPerPixel != 3)
        || picture.stride < static_cast<std::size_t>(picture.width) * picture.bytesPerPixel)
        ThrowAlb(Msg::InvalidParameter);
    const bool gray = picture.bytesPerPixel == 1 && !picture.palette;

    SafeFile file(HostPath(path), path);
    Compressor compressor;
    compressor.run([](void *p) { jpeg_create_compress(static_cast<j_compress_ptr>(p)); },
                   &compressor.cinfo);
    AttachJpegDestination(&compressor.cinfo, *compressor.destination, file);
    Setup setup{ &compressor.cinfo,
                 picture.width,
                 picture.height,
                 gray ? 1 : 3,
                 gray ? JCS_GRAYSCALE : JCS_EXT_BGR,
                 quality > kMaxQuality ? kDefaultQuality : quality,
                 dctMethod,
                 density(xResolution),
                 density(yResolution) };
    compressor.run(setUp, &setup);

    // Allocated once the library has accepted the size, so that a refused size costs nothing.
    std::vector<std::uint8_t> row;
    if (picture.bytesPerPixel == 1 && !gray) {
        try {
            row.resize(static_cast<std::size_t>(picture.width) * 3);
        } catch (const std::bad_alloc &) {
            throwLibraryError(JERR_OUT_OF_MEMORY);
        }
    }
    RowSource source{ &compressor.cinfo, &picture, row.empty() ? nullptr : row.data() };
    compressor.run(writeRows, &source);
    compressor.run([](void *p) { jpeg_finish_compress(static_cast<j_compress_ptr>(p)); },
                   &compressor.cinfo);
    file.commit();
}
