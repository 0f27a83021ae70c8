#include "codecs/detecting_codec.h"

#include "codecs/bmp_codec.h"
#include "codecs/format_detection.h"
#include "codecs/gif_codec.h"
#include "codecs/jpeg_codec.h"
#include "codecs/png_codec.h"
#ifdef VISTREL_HAVE_WEBP
#  include "codecs/webp_codec.h"
#endif
#ifdef VISTREL_HAVE_HEIF
#  include "codecs/heif_codec.h"
#endif
#include "common/alb_exception.h"
#include "common/string_ids.h"

namespace {

constexpr std::uint32_t kPlaceDetect = 39;
constexpr std::uint32_t kStepDetect = 101;

} // namespace

std::unique_ptr<ImageCodec> CreateCodecFor(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Bmp:
        return std::make_unique<BmpCodec>();
    case ImageFormat::Jpeg:
        return std::make_unique<JpegCodec>();
    case ImageFormat::Gif:
        return std::make_unique<GifCodec>();
    case ImageFormat::Png:
        return std::make_unique<PngCodec>();
#ifdef VISTREL_HAVE_WEBP
    case ImageFormat::Webp:
        return std::make_unique<WebpCodec>();
#endif
#ifdef VISTREL_HAVE_HEIF
    case ImageFormat::Heif:
    case ImageFormat::Avif:
        return std::make_unique<HeifCodec>(format);
#endif
    default:
        return nullptr;
    }
}

void DetectingCodec::readHeader(ImageStream &stream, ImageHeader &header)
{
    missingData.clear();
    codec = CreateCodecFor(detectFormat(stream));
    if (!codec)
        ThrowAlb(Msg::UnsupportedFormat, Module::FormatDetection, kPlaceDetect, kStepDetect);
    codec->readHeader(stream, header);
}

void DetectingCodec::readFrameHeader(ImageStream &stream, FrameHeader &frameHeader,
                                     std::int32_t index)
{
    if (!codec)
        ThrowAlb(Msg::InternalError, Module::FormatDetection, kPlaceDetect, kStepDetect);
    codec->readFrameHeader(stream, frameHeader, index);
}

void DetectingCodec::decodeFrame(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index,
                                 bool fast)
{
    if (!codec)
        ThrowAlb(Msg::InternalError, Module::FormatDetection, kPlaceDetect, kStepDetect);
    codec->decodeFrame(stream, frameHeader, index, fast);
}

void DetectingCodec::close()
{
    if (codec) {
        codec->close();
        missingData = codec->missingDataNote();
    }
    codec.reset();
}
