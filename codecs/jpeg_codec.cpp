#include "codecs/jpeg_codec.h"

#include "codecs/exif_facts.h"
#include "codecs/frame_selection.h"
#include "codecs/jpeg_errors.h"
#include "codecs/jpeg_scanlines.h"
#include "codecs/jpeg_source.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Places and steps of the reader's error locations.
constexpr std::uint32_t kPlaceLibrary = 42;
constexpr std::uint32_t kStepMemory = 1;
constexpr std::uint32_t kStepInvalid = 2;
constexpr std::uint32_t kPlaceFrame = 176;
constexpr std::uint32_t kStepNoDecompressor = 1;

// The library's own working memory (above all the coefficients a progressive file keeps for
// the whole picture) is held to the size of the largest picture store.
constexpr long kLibraryMemoryLimit = static_cast<long>(ImageBuffer::kMaxStoreBytes);

// Message code of a file with too many scans, past the end of the library's own table.
constexpr int kTooManyScans = JMSG_LASTMSGCODE + 1;

[[noreturn]] void throwLibraryError(int code)
{
    if (IsJpegMemoryCode(code))
        ThrowAlb(Msg::NotEnoughMemory, Module::JpegReader, kPlaceLibrary, kStepMemory);
    ThrowAlb(Msg::InvalidFormat, Module::JpegReader, kPlaceLibrary, kStepInvalid);
}

// The progress monitor: the library calls it at least once per scan while it takes in a file
// of several scans.
void stopEndlessScans(j_common_ptr cinfo)
{
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > JpegCodec::kMaxScans)
        FailJpeg(cinfo, kTooManyScans);
}

bool isGray(const jpeg_decompress_struct &cinfo)
{
    return cinfo.out_color_space == JCS_GRAYSCALE;
}

// Refuses what cannot become a picture: two components make neither a gray nor a colour one.
void checkDecodable(const jpeg_decompress_struct &cinfo)
{
    if (!isGray(cinfo) && cinfo.num_components < 3)
        throwLibraryError(JERR_BAD_J_COLORSPACE);
}

// A picture too large for a store is refused before anything is allocated for its frame: at the
// frame's header, so that reading the picture's header alone (its facts) still succeeds.
void checkStoreSize(const jpeg_decompress_struct &cinfo)
{
    const auto width = static_cast<std::int32_t>(cinfo.image_width);
    const std::uint64_t bytes = static_cast<std::uint64_t>(width + RowPadFor(width))
            * cinfo.image_height * (isGray(cinfo) ? 1u : 3u);
    if (bytes > ImageBuffer::kMaxStoreBytes)
        throwLibraryError(JERR_OUT_OF_MEMORY);
}

// Pixels per inch from the JFIF density: unit 1 is dots per inch, unit 2 dots per centimetre.
std::int32_t resolution(int unit, unsigned density)
{
    if (unit == 1)
        return static_cast<std::int32_t>(density);
    if (unit == 2)
        return static_cast<std::int32_t>(density * 2.54 + 0.5);
    return -1;
}

void fillHeader(const jpeg_decompress_struct &cinfo, ImageHeader &header)
{
    const bool gray = isGray(cinfo);
    header.format = static_cast<std::int32_t>(ImageFormat::Jpeg);
    header.width = static_cast<std::int32_t>(cinfo.image_width);
    header.height = static_cast<std::int32_t>(cinfo.image_height);
    header.bitsPerPixel = gray ? 8 : 24;
    header.grayscale = gray ? 1 : 0;
    header.frameCount = 1;
    header.background = -1;
    header.palette.count = 0;
    header.xResolution = resolution(cinfo.density_unit, cinfo.X_density);
    header.yResolution = resolution(cinfo.density_unit, cinfo.Y_density);
}

void fillGrayRamp(ImagePalette &palette)
{
    palette.version = ImagePalette::kVersion;
    palette.count = 256;
    for (int i = 0; i < 256; ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        palette.entries[i] = PaletteEntry{ level, level, level, 0 };
    }
}

// A rectangle of a w x h picture in the same place of its scaled ow x oh version, at least one
// pixel each way.
Rect scaleRect(const Rect &r, std::int64_t w, std::int64_t h, std::int64_t ow, std::int64_t oh)
{
    auto down = [](std::int64_t v, std::int64_t to, std::int64_t from) {
        return static_cast<std::int32_t>(v * to / from);
    };
    auto up = [](std::int64_t v, std::int64_t to, std::int64_t from) {
        return static_cast<std::int32_t>((v * to + from - 1) / from);
    };
    Rect scaled{ down(r.left, ow, w), down(r.top, oh, h), up(r.right, ow, w), up(r.bottom, oh, h) };
    scaled.left = std::min(scaled.left, static_cast<std::int32_t>(ow) - 1);
    scaled.top = std::min(scaled.top, static_cast<std::int32_t>(oh) - 1);
    scaled.right = std::max(scaled.right, scaled.left + 1);
    scaled.bottom = std::max(scaled.bottom, scaled.top + 1);
    return scaled;
}

// The EXIF segment's orientation tag; 1 without one.
unsigned exifOrientation(const jpeg_decompress_struct &cinfo)
{
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6
            && std::memcmp(m->data, "Exif\0\0", 6) == 0)
            return ExifOrientationFromBlock(m->data, m->data_length);
    }
    return 1;
}

// Context of the step that gathers the ICC profile from its APP2 segments; the library hands
// over memory of its own allocation, freed by the caller.
struct IccRead
{
    j_decompress_ptr cinfo = nullptr;
    JOCTET *data = nullptr;
    unsigned int length = 0;
};

void readIccStep(void *context)
{
    auto &read = *static_cast<IccRead *>(context);
    // A profile whose segments do not fit together is no profile; the picture stays readable.
    if (!jpeg_read_icc_profile(read.cinfo, &read.data, &read.length)) {
        read.data = nullptr;
        read.length = 0;
    }
}

} // namespace

struct JpegCodec::Session
{
    jpeg_decompress_struct cinfo{};
    JpegErrorManager errors{};
    JpegSource source{};
    jpeg_progress_mgr progress{};

    Session() = default;
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    ~Session()
    {
        // A creation that failed before the library had its memory manager left nothing.
        if (cinfo.mem)
            jpeg_destroy_decompress(&cinfo);
    }

    // Runs a library step and turns its failure into the program's exception, thrown here,
    // after the jump, never through the library.
    void run(void (*step)(void *), void *context)
    {
        if (!RunGuarded(errors, step, context))
            throwLibraryError(errors.code);
    }

    void run(void (*step)(void *)) { run(step, &cinfo); }

    static j_decompress_ptr of(void *context) { return static_cast<j_decompress_ptr>(context); }
};

JpegCodec::JpegCodec() = default;

JpegCodec::~JpegCodec() = default;

void JpegCodec::readHeader(ImageStream &stream, ImageHeader &header)
{
    close();
    facts = DecodeFacts{};
    missingData.clear();
    session = std::make_unique<Session>();
    Session &s = *session;
    s.cinfo.err = InitJpegErrors(s.errors);
    s.run([](void *p) { jpeg_create_decompress(Session::of(p)); });
    s.cinfo.mem->max_memory_to_use = kLibraryMemoryLimit;
    s.progress.progress_monitor = stopEndlessScans;
    s.cinfo.progress = &s.progress;
    // The whole file goes to the library at once, from its first byte.
    stream.rewind();
    AttachJpegSource(&s.cinfo, s.source, stream.data(), static_cast<std::size_t>(stream.size()));
    s.run([](void *p) {
        j_decompress_ptr cinfo = Session::of(p);
        // The EXIF segment (the orientation) and the ICC profile's segments are kept.
        jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
        jpeg_save_markers(cinfo, JPEG_APP0 + 2, 0xFFFF);
        jpeg_read_header(cinfo, TRUE);
    });
    checkDecodable(s.cinfo);
    fillHeader(s.cinfo, header);
    header.orientation = OrientationFromExif(exifOrientation(s.cinfo));
    readColourProfile(header);
}

void JpegCodec::readColourProfile(ImageHeader &header)
{
    IccRead read{ &session->cinfo };
    session->run(readIccStep, &read);
    const std::unique_ptr<JOCTET, decltype(&std::free)> owned(read.data, &std::free);
    header.colourProfile.assign(read.data, read.data + read.length);
}

void JpegCodec::readFrameHeader(ImageStream &, FrameHeader &frameHeader, std::int32_t)
{
    if (!session)
        ThrowAlb(Msg::ErrorUnknown, Module::JpegReader, kPlaceFrame, kStepNoDecompressor);
    const jpeg_decompress_struct &cinfo = session->cinfo;
    checkStoreSize(cinfo);
    frameHeader.interlaced = 0;
    frameHeader.userInput = 0;
    frameHeader.delay = 0;
    frameHeader.disposal = 0;
    frameHeader.frameRect = Rect{ 0, 0, static_cast<std::int32_t>(cinfo.image_width),
                                  static_cast<std::int32_t>(cinfo.image_height) };
    frameHeader.transparentIndex = -1;
    frameHeader.bytesPerPixel = isGray(cinfo) ? 1 : 3;
    frameHeader.withAlpha = 0;
}

void JpegCodec::decodeFrame(ImageStream &, FrameHeader &frameHeader, std::int32_t, bool fast)
{
    if (!session)
        ThrowAlb(Msg::ErrorUnknown, Module::JpegReader, kPlaceFrame, kStepNoDecompressor);
    const FrameSelection requested(frameHeader);
    if (requested.isEmpty())
        return;
    jpeg_decompress_struct &cinfo = session->cinfo;
    assert(frameHeader.bytesPerPixel == (isGray(cinfo) ? 1 : 3));
    if (ImagePalette *palette = frameHeader.targetPalette(); palette && isGray(cinfo))
        fillGrayRamp(*palette);
    if (fast) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
        cinfo.do_block_smoothing = FALSE;
    }
    // The library can deliver blue, green, red itself, the order of our pixels.
    if (cinfo.out_color_space == JCS_RGB)
        cinfo.out_color_space = JCS_EXT_BGR;
    const FrameHeader scaled = scaleByDct(frameHeader, requested);
    session->run([](void *p) { jpeg_start_decompress(Session::of(p)); });
    facts.outputWidth = static_cast<std::int32_t>(cinfo.output_width);
    facts.outputHeight = static_cast<std::int32_t>(cinfo.output_height);
    readScanlines(scaled);
    facts.scanlinesRead = static_cast<std::int32_t>(cinfo.output_scanline);
    missingData = session->errors.missingData;
}

FrameHeader JpegCodec::scaleByDct(const FrameHeader &frame, const FrameSelection &requested)
{
    FrameHeader scaled = frame;
    const std::int32_t cw = requested.clipWidth(), ch = requested.clipHeight();
    const std::int32_t dw = requested.targetWidth(), dh = requested.targetHeight();
    if (dh >= ch || dw >= cw)
        return scaled;
    const std::int32_t k = std::min(cw / dw, ch / dh);
    if (k <= 1)
        return scaled;
    jpeg_decompress_struct &cinfo = session->cinfo;
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(k);
    session->run([](void *p) { jpeg_calc_output_dimensions(Session::of(p)); });
    facts.scaleDenom = k;
    // From here on the frame is the picture at the size the library decodes it.
    const Rect clip = frame.frameRect.intersected(frame.sourceRect);
    scaled.frameRect = Rect{ 0, 0, static_cast<std::int32_t>(cinfo.output_width),
                             static_cast<std::int32_t>(cinfo.output_height) };
    scaled.sourceRect = clip == frame.frameRect
            ? scaled.frameRect
            : scaleRect(clip, cinfo.image_width, cinfo.image_height, cinfo.output_width,
                        cinfo.output_height);
    return scaled;
}

void JpegCodec::readScanlines(const FrameHeader &frame)
{
    jpeg_decompress_struct &cinfo = session->cinfo;
    const FrameSelection selection(frame);
    const JpegRowTarget target{ frame.target->pixels, frame.target->stride() };
    const bool sameLayout = isGray(cinfo) || cinfo.out_color_space == JCS_EXT_BGR;
    facts.direct = sameLayout && selection.isDirect(static_cast<std::int32_t>(cinfo.output_width))
            && selection.clipTop() == 0 && selection.clipHeight() == selection.targetHeight()
            && selection.clipHeight() == static_cast<std::int32_t>(cinfo.output_height);
    if (facts.direct) {
        JpegDirectRead read{ &cinfo, target };
        session->run(ReadJpegRowsDirect, &read);
        return;
    }
    std::vector<std::uint8_t> scanline;
    std::vector<std::int32_t> columns;
    try {
        scanline.resize(static_cast<std::size_t>(cinfo.output_width)
                        * static_cast<std::size_t>(cinfo.output_components));
        columns = selection.columnMap();
    } catch (const std::bad_alloc &) {
        throwLibraryError(JERR_OUT_OF_MEMORY);
    }
    JpegSelectedRead read{ &cinfo, &selection, columns.data(), scanline.data(), target };
    session->run(ReadJpegRowsSelected, &read);
}

void JpegCodec::close()
{
    session.reset();
}
