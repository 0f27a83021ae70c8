#include "codecs/heif_codec.h"

#include "codecs/frame_selection.h"
#include "codecs/interleaved_rows.h"
#include "codecs/picture_background.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <cmath>
#include <libheif/heif.h>
#include <new>
#include <vector>

namespace {

// The library's own limit on pixels, as the square of a side: a picture store of three bytes a
// pixel is reached long before.
constexpr int kLargestSide = 1 << 14;

struct ContextDeleter
{
    void operator()(heif_context *context) const { heif_context_free(context); }
};

struct HandleDeleter
{
    void operator()(heif_image_handle *handle) const { heif_image_handle_release(handle); }
};

struct ImageDeleter
{
    void operator()(heif_image *image) const { heif_image_release(image); }
};

struct OptionsDeleter
{
    void operator()(heif_decoding_options *options) const { heif_decoding_options_free(options); }
};

using Handle = std::unique_ptr<heif_image_handle, HandleDeleter>;

// Loads the decoders the library keeps as plug-ins, once for the process.
void initialiseLibrary()
{
    static const bool initialised = [] {
        heif_init(nullptr);
        return true;
    }();
    (void)initialised;
}

[[noreturn]] void failWith(const heif_error &error, std::uint32_t place)
{
    switch (error.code) {
    case heif_error_Memory_allocation_error:
        ThrowAlb(Msg::NotEnoughMemory, Module::HeifReader, place, HeifCodec::kStepMemory);
    case heif_error_Unsupported_feature:
        ThrowAlb(Msg::UnsupportedFormat, Module::HeifReader, place, HeifCodec::kStepNoDecoder);
    default:
        ThrowAlb(Msg::InvalidFormat, Module::HeifReader, place, HeifCodec::kStepInvalid);
    }
}

void check(const heif_error &error, std::uint32_t place)
{
    if (error.code != heif_error_Ok)
        failWith(error, place);
}

ColourProfile profileOf(const heif_image_handle *handle)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type == heif_color_profile_type_prof || type == heif_color_profile_type_rICC) {
        ColourProfile bytes(heif_image_handle_get_raw_color_profile_size(handle));
        if (!bytes.empty()
            && heif_image_handle_get_raw_color_profile(handle, bytes.data()).code == heif_error_Ok)
            return bytes;
        return {};
    }
    heif_color_profile_nclx *nclx = nullptr;
    if (type != heif_color_profile_type_nclx
        || heif_image_handle_get_nclx_color_profile(handle, &nclx).code != heif_error_Ok || !nclx)
        return {};
    ColourProfile made =
            ProfileFromCodePoints(nclx->color_primaries, nclx->transfer_characteristics);
    heif_nclx_color_profile_free(nclx);
    return made;
}

// A thumbnail of the handle at least width x height with the picture's shape (within 2 %), the
// smallest such; none when the file has none that will do.
Handle thumbnailFor(heif_image_handle *handle, std::int32_t width, std::int32_t height)
{
    const int count = heif_image_handle_get_number_of_thumbnails(handle);
    if (count <= 0)
        return {};
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    heif_image_handle_get_list_of_thumbnail_IDs(handle, ids.data(), count);
    const double shape = static_cast<double>(heif_image_handle_get_width(handle))
            / heif_image_handle_get_height(handle);
    Handle best;
    for (heif_item_id id : ids) {
        heif_image_handle *found = nullptr;
        if (heif_image_handle_get_thumbnail(handle, id, &found).code != heif_error_Ok || !found)
            continue;
        Handle thumb(found);
        const int w = heif_image_handle_get_width(found), h = heif_image_handle_get_height(found);
        const bool fits = w >= width && h >= height && h > 0
                && std::fabs(static_cast<double>(w) / h - shape) <= 0.02 * shape;
        if (fits && (!best || w < heif_image_handle_get_width(best.get())))
            best = std::move(thumb);
    }
    return best;
}

} // namespace

struct HeifCodec::Session
{
    std::unique_ptr<heif_context, ContextDeleter> context;
    Handle primary;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool alpha = false;
    RgbValue background = kDefaultPictureBackground;
};

HeifCodec::HeifCodec(ImageFormat fileFormat) : format(fileFormat) { }

HeifCodec::~HeifCodec() = default;

void HeifCodec::readHeader(ImageStream &stream, ImageHeader &header)
{
    close();
    missingData.clear();
    initialiseLibrary();
    session = std::make_unique<Session>();
    Session &s = *session;
    s.context.reset(heif_context_alloc());
    if (!s.context)
        ThrowAlb(Msg::NotEnoughMemory, Module::HeifReader, kPlaceHeader, kStepMemory);
    heif_context_set_maximum_image_size_limit(s.context.get(), kLargestSide);
    stream.rewind();
    check(heif_context_read_from_memory_without_copy(
                  s.context.get(), stream.data(), static_cast<std::size_t>(stream.size()), nullptr),
          kPlaceHeader);
    heif_image_handle *primary = nullptr;
    check(heif_context_get_primary_image_handle(s.context.get(), &primary), kPlaceHeader);
    s.primary.reset(primary);
    s.width = heif_image_handle_get_width(primary);
    s.height = heif_image_handle_get_height(primary);
    if (s.width <= 0 || s.height <= 0)
        ThrowAlb(Msg::InvalidFormat, Module::HeifReader, kPlaceHeader, kStepInvalid);
    s.alpha = heif_image_handle_has_alpha_channel(primary) != 0;
    s.background = PictureBackground();

    header = ImageHeader{};
    header.format = static_cast<std::int32_t>(format);
    header.width = s.width;
    header.height = s.height;
    header.bitsPerPixel = 24;
    header.frameCount = 1;
    header.background = -1;
    header.colourProfile = profileOf(primary);
}

void HeifCodec::readFrameHeader(ImageStream &, FrameHeader &frameHeader, std::int32_t)
{
    if (!session)
        ThrowAlb(Msg::ErrorUnknown, Module::HeifReader, kPlaceFrame, kStepNoReader);
    const Session &s = *session;
    // The library's decoded picture has four bytes a pixel at most.
    if (static_cast<std::uint64_t>(s.width) * static_cast<std::uint64_t>(s.height) * 4
        > ImageBuffer::kMaxStoreBytes)
        ThrowAlb(Msg::NotEnoughMemory, Module::HeifReader, kPlaceFrame, kStepTooLarge);
    frameHeader.interlaced = 0;
    frameHeader.userInput = 0;
    frameHeader.delay = 0;
    frameHeader.disposal = 0;
    frameHeader.frameRect = Rect{ 0, 0, s.width, s.height };
    frameHeader.transparentIndex = -1;
    frameHeader.bytesPerPixel = 3;
    frameHeader.withAlpha = 0;
}

void HeifCodec::decodeFrame(ImageStream &, FrameHeader &frameHeader, std::int32_t, bool fast)
{
    if (!session)
        ThrowAlb(Msg::ErrorUnknown, Module::HeifReader, kPlaceFrame, kStepNoReader);
    Session &s = *session;
    if (FrameSelection(frameHeader).isEmpty())
        return;
    // Thumbnails are decoded one per worker thread: the library's own threads would only compete.
    heif_context_set_max_decoding_threads(s.context.get(), fast ? 0 : 4);
    Handle thumbnail;
    if (fast && frameHeader.sourceRect == frameHeader.frameRect)
        thumbnail = thumbnailFor(s.primary.get(), frameHeader.target->width,
                                 frameHeader.target->height);
    const heif_image_handle *source = thumbnail ? thumbnail.get() : s.primary.get();

    std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
    if (!options)
        ThrowAlb(Msg::NotEnoughMemory, Module::HeifReader, kPlaceFrame, kStepMemory);
    options->convert_hdr_to_8bit = 1;
    heif_image *decoded = nullptr;
    check(heif_decode_image(source, &decoded, heif_colorspace_RGB,
                            s.alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                            options.get()),
          kPlaceFrame);
    const std::unique_ptr<heif_image, ImageDeleter> image(decoded);
    int stride = 0;
    const std::uint8_t *plane =
            heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    // What was decoded must be the picture the header described (or a thumbnail of its shape).
    FrameHeader frame = frameHeader;
    if (thumbnail) {
        frame.frameRect = frame.sourceRect = Rect{ 0, 0, width, height };
    } else if (width != s.width || height != s.height) {
        ThrowAlb(Msg::InvalidFormat, Module::HeifReader, kPlaceFrame, kStepInvalid);
    }
    if (!plane || stride <= 0)
        ThrowAlb(Msg::InvalidFormat, Module::HeifReader, kPlaceFrame, kStepInvalid);
    const InterleavedPixels pixels{ plane, static_cast<std::size_t>(stride), s.alpha ? 4 : 3,
                                    true };
    try {
        CopyIntoTarget(pixels, FrameSelection(frame), *frameHeader.target, s.background);
    } catch (const std::bad_alloc &) {
        ThrowAlb(Msg::NotEnoughMemory, Module::HeifReader, kPlaceFrame, kStepMemory);
    }
}

void HeifCodec::close()
{
    session.reset();
}
