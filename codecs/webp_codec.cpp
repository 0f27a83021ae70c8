#include "codecs/webp_codec.h"

#include "codecs/exif_facts.h"
#include "codecs/frame_selection.h"
#include "codecs/interleaved_rows.h"
#include "codecs/picture_background.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <new>
#include <vector>
#include <webp/decode.h>
#include <webp/demux.h>

namespace {

[[noreturn]] void fail(std::uint32_t place, std::uint32_t step)
{
    ThrowAlb(step == WebpCodec::kStepInvalid ? Msg::InvalidFormat : Msg::NotEnoughMemory,
             Module::WebpReader, place, step);
}

struct DemuxDeleter
{
    void operator()(WebPDemuxer *demux) const { WebPDemuxDelete(demux); }
};

struct AnimDeleter
{
    void operator()(WebPAnimDecoder *decoder) const { WebPAnimDecoderDelete(decoder); }
};

// The contents of a metadata chunk ("ICCP", "EXIF"); empty when the file has none.
std::vector<std::uint8_t> chunk(WebPDemuxer *demux, const char *fourcc)
{
    WebPChunkIterator it;
    std::vector<std::uint8_t> bytes;
    if (WebPDemuxGetChunk(demux, fourcc, 1, &it)) {
        bytes.assign(it.chunk.bytes, it.chunk.bytes + it.chunk.size);
        WebPDemuxReleaseChunkIterator(&it);
    }
    return bytes;
}

// The library's decoding memory of the whole canvas (four bytes a pixel) is held to what a
// picture store may take.
bool fitsStore(std::uint32_t width, std::uint32_t height)
{
    return std::uint64_t{ width } * height * 4 <= ImageBuffer::kMaxStoreBytes;
}

// A frame the size of the target, so that its selection is one to one.
FrameSelection wholeTarget(const FrameHeader &frame)
{
    FrameHeader whole = frame;
    whole.frameRect = whole.sourceRect = Rect{ 0, 0, frame.target->width, frame.target->height };
    return FrameSelection(whole);
}

} // namespace

struct WebpCodec::Session
{
    WebPData data{};
    std::unique_ptr<WebPDemuxer, DemuxDeleter> demux;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t flags = 0;
    std::int32_t frameCount = 0;
    std::unique_ptr<WebPAnimDecoder, AnimDeleter> animation;
    std::int32_t nextFrame = 0; // of the animation decoder
    RgbValue background = kDefaultPictureBackground;

    bool animated() const { return (flags & ANIMATION_FLAG) != 0; }
};

WebpCodec::WebpCodec() = default;

WebpCodec::~WebpCodec() = default;

void WebpCodec::readHeader(ImageStream &stream, ImageHeader &header)
{
    close();
    missingData.clear();
    session = std::make_unique<Session>();
    Session &s = *session;
    stream.rewind();
    s.data = WebPData{ stream.data(), static_cast<std::size_t>(stream.size()) };
    s.demux.reset(WebPDemux(&s.data));
    if (!s.demux)
        fail(kPlaceHeader, kStepInvalid);
    s.width = WebPDemuxGetI(s.demux.get(), WEBP_FF_CANVAS_WIDTH);
    s.height = WebPDemuxGetI(s.demux.get(), WEBP_FF_CANVAS_HEIGHT);
    s.flags = WebPDemuxGetI(s.demux.get(), WEBP_FF_FORMAT_FLAGS);
    s.frameCount = static_cast<std::int32_t>(WebPDemuxGetI(s.demux.get(), WEBP_FF_FRAME_COUNT));
    if (s.width == 0 || s.height == 0 || s.frameCount <= 0)
        fail(kPlaceHeader, kStepInvalid);
    s.background = PictureBackground();

    header = ImageHeader{};
    header.format = static_cast<std::int32_t>(ImageFormat::Webp);
    header.width = static_cast<std::int32_t>(s.width);
    header.height = static_cast<std::int32_t>(s.height);
    header.bitsPerPixel = 24;
    header.frameCount = s.frameCount;
    header.background = -1;
    if (s.flags & ICCP_FLAG)
        header.colourProfile = chunk(s.demux.get(), "ICCP");
    if (s.flags & EXIF_FLAG) {
        const std::vector<std::uint8_t> exif = chunk(s.demux.get(), "EXIF");
        header.orientation =
                OrientationFromExif(ExifOrientationFromBlock(exif.data(), exif.size()));
    }
}

void WebpCodec::readFrameHeader(ImageStream &, FrameHeader &frameHeader, std::int32_t index)
{
    if (!session)
        ThrowAlb(Msg::ErrorUnknown, Module::WebpReader, kPlaceFrame, kStepNoReader);
    Session &s = *session;
    if (!fitsStore(s.width, s.height))
        fail(kPlaceFrame, kStepTooLarge);
    frameHeader.interlaced = 0;
    frameHeader.userInput = 0;
    frameHeader.delay = 0;
    frameHeader.disposal = 1; // each frame covers the whole canvas and stays until the next
    frameHeader.frameRect =
            Rect{ 0, 0, static_cast<std::int32_t>(s.width), static_cast<std::int32_t>(s.height) };
    frameHeader.transparentIndex = -1;
    frameHeader.bytesPerPixel = 3;
    frameHeader.withAlpha = 0;
    WebPIterator it;
    if (s.animated() && WebPDemuxGetFrame(s.demux.get(), index + 1, &it)) {
        // Milliseconds to hundredths of a second, as animated pictures count their delays.
        frameHeader.delay = (it.duration + 5) / 10;
        WebPDemuxReleaseIterator(&it);
    }
}

void WebpCodec::decodeFrame(ImageStream &, FrameHeader &frameHeader, std::int32_t index, bool fast)
{
    if (!session)
        ThrowAlb(Msg::ErrorUnknown, Module::WebpReader, kPlaceFrame, kStepNoReader);
    if (FrameSelection(frameHeader).isEmpty())
        return;
    try {
        if (session->animated())
            decodeAnimated(frameHeader, index);
        else
            decodeStill(frameHeader, fast);
    } catch (const std::bad_alloc &) {
        fail(kPlaceFrame, kStepMemory);
    }
}

// A still picture: the library decodes it scaled to the target when the whole picture is asked
// for, else whole, and the selection picks the clip from it.
void WebpCodec::decodeStill(FrameHeader &frameHeader, bool fast)
{
    Session &s = *session;
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        fail(kPlaceFrame, kStepInvalid);
    if (WebPGetFeatures(s.data.bytes, s.data.size, &config.input) != VP8_STATUS_OK)
        fail(kPlaceFrame, kStepInvalid);
    const bool alpha = config.input.has_alpha != 0;
    const bool whole = frameHeader.sourceRect == frameHeader.frameRect;
    ImageBuffer &target = *frameHeader.target;
    const std::int32_t width = whole ? target.width : static_cast<std::int32_t>(s.width);
    const std::int32_t height = whole ? target.height : static_cast<std::int32_t>(s.height);
    // The library's own second thread filters and emits rows while the first parses: a single
    // picture comes a fifth sooner, and pictures decoded side by side lose nothing by it.
    config.options.use_threads = 1;
    config.options.no_fancy_upsampling = fast ? 1 : 0;
    config.options.bypass_filtering = fast ? 1 : 0;
    if (width != static_cast<std::int32_t>(s.width)
        || height != static_cast<std::int32_t>(s.height)) {
        config.options.use_scaling = 1;
        config.options.scaled_width = width;
        config.options.scaled_height = height;
    }
    std::vector<std::uint8_t> scratch;
    WebPRGBABuffer &out = config.output.u.RGBA;
    config.output.is_external_memory = 1;
    if (whole && !alpha) {
        // Straight into the target, whose rows the library fills at their own stride.
        config.output.colorspace = MODE_BGR;
        out.rgba = target.pixels;
        out.stride = static_cast<int>(target.stride());
        out.size = target.stride() * static_cast<std::size_t>(height);
    } else {
        config.output.colorspace = MODE_BGRA;
        scratch.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        out.rgba = scratch.data();
        out.stride = width * 4;
        out.size = scratch.size();
    }
    const VP8StatusCode status = WebPDecode(s.data.bytes, s.data.size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status == VP8_STATUS_OUT_OF_MEMORY)
        fail(kPlaceFrame, kStepMemory);
    if (status != VP8_STATUS_OK)
        fail(kPlaceFrame, kStepInvalid);
    if (scratch.empty())
        return;
    const InterleavedPixels pixels{ scratch.data(), static_cast<std::size_t>(width) * 4, 4, false };
    CopyIntoTarget(pixels, whole ? wholeTarget(frameHeader) : FrameSelection(frameHeader), target,
                   s.background);
}

// An animation: the library composes the canvas frame after frame; a frame before the one it is
// at starts it again.
void WebpCodec::decodeAnimated(FrameHeader &frameHeader, std::int32_t index)
{
    Session &s = *session;
    if (!s.animation) {
        WebPAnimDecoderOptions options;
        if (!WebPAnimDecoderOptionsInit(&options))
            fail(kPlaceFrame, kStepInvalid);
        options.color_mode = MODE_BGRA;
        options.use_threads = 0;
        s.animation.reset(WebPAnimDecoderNew(&s.data, &options));
        if (!s.animation)
            fail(kPlaceFrame, kStepInvalid);
    }
    if (index < s.nextFrame) {
        WebPAnimDecoderReset(s.animation.get());
        s.nextFrame = 0;
    }
    std::uint8_t *canvas = nullptr;
    int timestamp = 0;
    while (s.nextFrame <= index) {
        if (!WebPAnimDecoderGetNext(s.animation.get(), &canvas, &timestamp))
            fail(kPlaceFrame, kStepInvalid);
        ++s.nextFrame;
    }
    const InterleavedPixels pixels{ canvas, static_cast<std::size_t>(s.width) * 4, 4, false };
    CopyIntoTarget(pixels, FrameSelection(frameHeader), *frameHeader.target, s.background);
}

void WebpCodec::close()
{
    session.reset();
}
