#include "codecs/png_codec.h"

#include "codecs/exif_facts.h"
#include "codecs/picture_background.h"
#include "codecs/png_library.h"
#include "codecs/png_rows.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr std::uint32_t kStepNoReader = 4;

// The PNG format allows sides up to 2^31 - 1; the reader's own store limit is what refuses
// large pictures, so the library's smaller default limits are lifted.
constexpr png_uint_32 kLargestSide = 0x7FFFFFFF;

// The whole file in memory; the library takes it in pieces through readFromSource.
struct PngSource
{
    const std::uint8_t *data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
};

void readFromSource(png_structp png, png_bytep out, std::size_t length)
{
    auto *source = static_cast<PngSource *>(png_get_io_ptr(png));
    if (length > source->size - source->at)
        png_error(png, "the file ends early");
    std::memcpy(out, source->data + source->at, length);
    source->at += length;
}

int bytesOf(PngCodec::Output output)
{
    switch (output) {
    case PngCodec::Output::Colour:
        return 3;
    case PngCodec::Output::Alpha:
        return 4;
    default:
        return 1;
    }
}

std::uint8_t blendEntry(std::uint8_t c, std::uint8_t b, std::uint8_t a)
{
    return static_cast<std::uint8_t>((c * a + b * (255 - a) + 127) / 255);
}

} // namespace

struct PngCodec::Session
{
    PngLibrary library{ PngLibrary::Mode::Read };
    PngSource source;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    Output output = Output::Colour;
    ImagePalette palette; // indexed: the file's, transparency flattened; gray: a ramp
    RgbValue background = kDefaultPictureBackground;
    bool ignoreChecksums = false;
    int passes = 1;

    [[noreturn]] void fail(std::uint32_t place) const
    {
        if (library.memoryShort())
            ThrowAlb(Msg::NotEnoughMemory, Module::PngReader, place, kStepMemory);
        ThrowAlb(Msg::InvalidFormat, Module::PngReader, place, kStepInvalid);
    }

    void run(std::uint32_t place, void (*step)(void *))
    {
        if (!library.runGuarded(step, this))
            fail(place);
    }

    static Session &of(void *context) { return *static_cast<Session *>(context); }

    bool hasTransparency() const { return png_get_valid(library.png, library.info, PNG_INFO_tRNS); }

    bool isGray() const { return (colourType & PNG_COLOR_MASK_COLOR) == 0; }

    void chooseOutput();
    void makePalette();
    void fillHeader(ImageHeader &header) const;
    PngText textEntries() const;
    void readPictureFacts(ImageHeader &header) const;
};

PngText PngCodec::Session::textEntries() const
{
    png_textp entries = nullptr;
    int count = 0;
    png_get_text(library.png, library.info, &entries, &count);
    PngText found;
    for (int i = 0; i < count && entries; ++i) {
        const png_text &entry = entries[i];
        const std::size_t length = entry.compression == PNG_ITXT_COMPRESSION_NONE
                        || entry.compression == PNG_ITXT_COMPRESSION_zTXt
                ? entry.itxt_length
                : entry.text_length;
        found.push_back({ entry.key ? entry.key : "",
                          entry.text ? std::string(entry.text, length) : std::string() });
    }
    return found;
}

// The iCCP chunk's profile and the eXIf chunk's orientation, which the framework applies. The
// library has checked and inflated the profile when it read the chunk.
void PngCodec::Session::readPictureFacts(ImageHeader &header) const
{
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if (png_get_iCCP(library.png, library.info, &name, &compression, &profile, &length) && profile)
        header.colourProfile.assign(profile, profile + length);
    png_uint_32 exifLength = 0;
    png_bytep exif = nullptr;
    if (png_get_eXIf_1(library.png, library.info, &exifLength, &exif) && exif)
        header.orientation = OrientationFromExif(ExifOrientationFromBlock(exif, exifLength));
}

void PngCodec::Session::chooseOutput()
{
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        output = Output::Indexed;
    else if ((colourType & PNG_COLOR_MASK_ALPHA) != 0 || hasTransparency())
        output = Output::Alpha;
    else
        output = isGray() ? Output::Gray : Output::Colour;
}

// An indexed picture's palette with every entry laid over the background at its tRNS opacity,
// so that its pixels stay indices; a gray picture's ramp of all 256 levels.
void PngCodec::Session::makePalette()
{
    palette = ImagePalette{};
    if (output == Output::Gray) {
        palette.count = ImagePalette::kMaxEntries;
        for (int i = 0; i < ImagePalette::kMaxEntries; ++i) {
            const auto level = static_cast<std::uint8_t>(i);
            palette.entries[i] = PaletteEntry{ level, level, level, 0 };
        }
        return;
    }
    if (output != Output::Indexed)
        return;
    png_colorp entries = nullptr;
    int count = 0;
    png_get_PLTE(library.png, library.info, &entries, &count);
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    png_get_tRNS(library.png, library.info, &alphas, &alphaCount, nullptr);
    palette.count = static_cast<std::uint16_t>(count);
    for (int i = 0; i < count && i < ImagePalette::kMaxEntries; ++i) {
        const std::uint8_t a = i < alphaCount && alphas ? alphas[i] : 255;
        palette.entries[i] = PaletteEntry{ blendEntry(entries[i].red, RedOf(background), a),
                                           blendEntry(entries[i].green, GreenOf(background), a),
                                           blendEntry(entries[i].blue, BlueOf(background), a), 0 };
    }
}

void PngCodec::Session::fillHeader(ImageHeader &header) const
{
    header.format = static_cast<std::int32_t>(ImageFormat::Png);
    header.width = static_cast<std::int32_t>(width);
    header.height = static_cast<std::int32_t>(height);
    header.background = -1;
    header.frameCount = 1;
    header.grayscale = isGray() ? 1 : 0;
    header.bitsPerPixel = output == Output::Indexed || isGray() ? std::min(bitDepth, 8) : 24;
    header.palette = ImagePalette{};
    if (output == Output::Indexed)
        header.palette = palette;
    header.xResolution = header.yResolution = -1;
    png_uint_32 x = 0, y = 0;
    int unit = PNG_RESOLUTION_UNKNOWN;
    if (png_get_pHYs(library.png, library.info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER
        && x > 0 && y > 0) {
        header.xResolution = PngPixelsPerInch(x);
        header.yResolution = PngPixelsPerInch(y);
    }
}

PngCodec::PngCodec() = default;

PngCodec::~PngCodec() = default;

void PngCodec::readHeader(ImageStream &stream, ImageHeader &header)
{
    close();
    text.clear();
    session = std::make_unique<Session>();
    Session &s = *session;
    if (!s.library.created())
        ThrowAlb(Msg::NotEnoughMemory, Module::PngReader, kPlaceHeader, kStepMemory);
    stream.rewind();
    s.source = PngSource{ stream.data(), static_cast<std::size_t>(stream.size()), 0 };
    s.background = PictureBackground();
    s.ignoreChecksums = ignoreChecksums;
    s.run(kPlaceHeader, [](void *context) {
        Session &state = Session::of(context);
        png_structp png = state.library.png;
        png_set_read_fn(png, &state.source, readFromSource);
        png_set_user_limits(png, kLargestSide, kLargestSide);
        if (state.ignoreChecksums) {
            png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
            png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
        }
        png_read_info(png, state.library.info);
        png_get_IHDR(png, state.library.info, &state.width, &state.height, &state.bitDepth,
                     &state.colourType, &state.interlace, nullptr, nullptr);
    });
    s.chooseOutput();
    const int bytes = s.output == Output::Indexed || s.output == Output::Gray ? 1 : 3;
    const auto width = static_cast<std::int32_t>(s.width);
    const std::uint64_t storeBytes =
            (static_cast<std::uint64_t>(width) + RowPadFor(width)) * s.height * bytes;
    if (storeBytes > ImageBuffer::kMaxStoreBytes)
        ThrowAlb(Msg::NotEnoughMemory, Module::PngReader, kPlaceHeader, kStepTooLarge);
    s.makePalette();
    s.fillHeader(header);
    s.readPictureFacts(header);
    text = s.textEntries();
}

void PngCodec::readFrameHeader(ImageStream &, FrameHeader &frameHeader, std::int32_t)
{
    if (!session)
        ThrowAlb(Msg::ErrorUnknown, Module::PngReader, kPlaceRows, kStepNoReader);
    frameHeader.interlaced = session->interlace != PNG_INTERLACE_NONE ? 1 : 0;
    frameHeader.userInput = 0;
    frameHeader.delay = 0;
    frameHeader.disposal = 0;
    frameHeader.frameRect = Rect{ 0, 0, static_cast<std::int32_t>(session->width),
                                  static_cast<std::int32_t>(session->height) };
    frameHeader.transparentIndex = -1;
    frameHeader.bytesPerPixel = bytesOf(session->output) == 1 ? 1 : 3;
    frameHeader.withAlpha = 0;
}

// Asks the library for rows as the output needs them.
void PngCodec::startRows()
{
    session->run(kPlaceRows, [](void *context) {
        Session &s = Session::of(context);
        png_structp png = s.library.png;
        if (s.output == Output::Indexed)
            png_set_packing(png);
        if (s.output == Output::Gray && s.bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        if (s.output == Output::Alpha) {
            png_set_expand(png);
            png_set_gray_to_rgb(png);
        }
        if (s.output == Output::Colour || s.output == Output::Alpha)
            png_set_bgr(png);
        png_set_strip_16(png);
        s.passes = png_set_interlace_handling(png);
        png_read_update_info(png, s.library.info);
        if (png_get_rowbytes(png, s.library.info)
            != static_cast<std::size_t>(s.width) * bytesOf(s.output))
            png_error(png, "unexpected row layout");
    });
}

void PngCodec::decodeFrame(ImageStream &, FrameHeader &frameHeader, std::int32_t, bool)
{
    if (!session)
        ThrowAlb(Msg::ErrorUnknown, Module::PngReader, kPlaceRows, kStepNoReader);
    Session &s = *session;
    const FrameSelection selection(frameHeader);
    if (selection.isEmpty())
        return;
    assert(frameHeader.bytesPerPixel == (bytesOf(s.output) == 1 ? 1 : 3));
    if (ImagePalette *palette = frameHeader.targetPalette();
        palette && frameHeader.bytesPerPixel == 1)
        *palette = s.palette;
    startRows();

    PngRowRead read;
    read.png = s.library.png;
    read.passes = s.passes;
    read.fileHeight = static_cast<std::int32_t>(s.height);
    read.outputBytes = bytesOf(s.output);
    read.outputRowBytes = static_cast<std::size_t>(s.width) * read.outputBytes;
    read.selection = &selection;
    read.direct = s.passes == 1 && s.output != Output::Alpha
            && selection.isDirect(static_cast<std::int32_t>(s.width));
    read.targetPixels = frameHeader.target->pixels;
    read.targetBytes = frameHeader.bytesPerPixel;
    read.targetStride = frameHeader.target->stride();
    read.background = s.background;

    const std::int32_t scratchRows = PngScratchRows(selection, s.passes > 1, read.direct);
    if (static_cast<std::uint64_t>(scratchRows) * read.outputRowBytes > ImageBuffer::kMaxStoreBytes)
        ThrowAlb(Msg::NotEnoughMemory, Module::PngReader, kPlaceRows, kStepTooLarge);
    std::vector<std::uint8_t> scratch;
    std::vector<std::int32_t> columns;
    try {
        scratch.resize(static_cast<std::size_t>(scratchRows) * read.outputRowBytes);
        if (!read.direct)
            columns = selection.columnMap();
    } catch (const std::bad_alloc &) {
        ThrowAlb(Msg::NotEnoughMemory, Module::PngReader, kPlaceRows, kStepMemory);
    }
    read.scratch = scratch.data();
    read.columns = columns.data();
    if (!s.library.runGuarded(ReadPngRows, &read))
        s.fail(kPlaceRows);
}

void PngCodec::close()
{
    session.reset();
}
