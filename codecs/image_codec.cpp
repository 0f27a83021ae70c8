#include "codecs/image_codec.h"

#include "codecs/mapped_file_stream.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "image/view_geometry.h"

#include <new>
#include <utility>

namespace {

// Places of the template operations in error locations.
constexpr std::uint32_t kPlaceReadInfoFromFile = 18;
constexpr std::uint32_t kPlaceDecodeFirstFromFile = 35;
constexpr std::uint32_t kPlaceDecodeFirst = 72;
constexpr std::uint32_t kPlaceDecodeFromFile = 104;

[[noreturn]] void throwInvalidParameter(std::uint32_t place)
{
    ThrowAlb(Msg::InvalidParameter, Module::CodecFramework, place, 1);
}

// Runs body and closes the codec afterwards, also when body throws.
template <typename Body>
void closingAfter(ImageCodec &codec, Body &&body)
{
    try {
        body();
    } catch (...) {
        codec.close();
        throw;
    }
    codec.close();
}

// Step of a file's location when the file changed under the reader.
constexpr std::uint32_t kStepFileChanged = 3;

// Runs body over the file at path, mapped. A file that shrank or failed while it was read is
// unreadable, whatever body made of the zeros that stood in for what was lost.
template <typename Body>
void readingFile(const std::string &path, std::uint32_t place, Body &&body)
{
    MappedFileStream stream;
    stream.open(path);
    try {
        body(stream);
    } catch (...) {
        if (stream.intact())
            throw;
    }
    if (!stream.intact())
        ThrowAlb(Msg::InvalidFormat, Module::CodecFramework, place, kStepFileChanged);
}

void checkHasFrames(const ImageHeader &header, std::uint32_t place)
{
    if (header.frameCount <= 0)
        ThrowAlb(Msg::NoImages, Module::CodecFramework, place, 2);
}

} // namespace

PictureTurn StoredTurn(const ImageHeader &stored)
{
    return PictureTurn(stored.orientation, { stored.width, stored.height });
}

void MakeHeaderUpright(ImageHeader &header)
{
    if (header.orientation % 2 != 0) {
        std::swap(header.width, header.height);
        std::swap(header.xResolution, header.yResolution);
    }
}

void FinishDecodedImage(ImageBuffer &image, const ImageHeader &stored)
{
    ConvertToSrgb(image, stored.colourProfile);
    TurnUpright(image, stored.orientation);
}

void AttachTarget(FrameHeader &header, ImageBuffer &image, const Rect &sourceRect)
{
    header.target = &image;
    header.sourceRect = sourceRect;
}

void ImageCodec::readStoredHeader(ImageStream &stream, ImageHeader &header)
{
    readHeader(stream, header);
    if (asStored) {
        header.orientation = 0;
        header.colourProfile.clear();
    }
}

void ImageCodec::readInfo(ImageStream &stream, ImageHeader &header)
{
    closingAfter(*this, [&] {
        readStoredHeader(stream, header);
        MakeHeaderUpright(header);
    });
}

void ImageCodec::readInfoFromFile(const std::string &path, ImageHeader *header)
{
    if (path.empty() || !header)
        throwInvalidParameter(kPlaceReadInfoFromFile);
    readingFile(path, kPlaceReadInfoFromFile,
                [&](ImageStream &stream) { readInfo(stream, *header); });
}

void ImageCodec::readFrameInfo(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index)
{
    closingAfter(*this, [&] {
        ImageHeader scratch;
        readStoredHeader(stream, scratch);
        readFrameHeader(stream, frameHeader, index);
        frameHeader.frameRect = StoredTurn(scratch).uprightRect(frameHeader.frameRect);
    });
}

void ImageCodec::decodeFirstFrame(ImageStream &stream, ImageBuffer &image, std::int32_t boxWidth,
                                  std::int32_t boxHeight)
{
    try {
        closingAfter(*this, [&] {
            ImageHeader header;
            readStoredHeader(stream, header);
            checkHasFrames(header, kPlaceDecodeFirst);
            FrameHeader frame;
            readFrameHeader(stream, frame, 0);
            // The box holds the upright picture; the reader fills the stored one at that scale,
            // which is turned afterwards, small.
            const PictureTurn turn = StoredTurn(header);
            pictureSize = turn.upright({ header.width, header.height });
            const Size upright =
                    turn.upright({ frame.frameRect.width(), frame.frameRect.height() });
            const Size fitted = turn.storedOf(
                    fitSize(boxWidth, boxHeight, upright.width, upright.height, false));
            image.create(fitted.width, fitted.height,
                         static_cast<std::uint8_t>(frame.bytesPerPixel), frame.withAlpha != 0);
            image.transparent = frame.transparentIndex;
            AttachTarget(frame, image, frame.frameRect);
            decodeFrame(stream, frame, 0, true);
            FinishDecodedImage(image, header);
        });
    } catch (...) {
        image.reset();
        throw;
    }
}

void ImageCodec::decodeFirstFrameFromFile(const std::string &path, ImageBuffer *image,
                                          std::int32_t boxWidth, std::int32_t boxHeight)
{
    if (path.empty() || !image || boxWidth <= 0 || boxHeight <= 0)
        throwInvalidParameter(kPlaceDecodeFirstFromFile);
    readingFile(path, kPlaceDecodeFirstFromFile, [&](ImageStream &stream) {
        decodeFirstFrame(stream, *image, boxWidth, boxHeight);
    });
}

void ImageCodec::decodeFrames(ImageStream &stream, ImageInfo &info, FrameArray &framesOut,
                              std::int32_t percent)
{
    decodeAllFrames(stream, info, framesOut, false, percent, nullptr, nullptr);
}

void ImageCodec::decodeFramesInRect(ImageStream &stream, ImageInfo &info, FrameArray &framesOut,
                                    const Size *size, const Rect *clip)
{
    decodeAllFrames(stream, info, framesOut, true, 0, size, clip);
}

void ImageCodec::decodeFramesFromFile(const std::string &path, ImageInfo *info,
                                      FrameArray *framesOut, const Size *size, const Rect *clip)
{
    if (path.empty() || !info || !framesOut)
        throwInvalidParameter(kPlaceDecodeFromFile);
    readingFile(path, kPlaceDecodeFromFile, [&](ImageStream &stream) {
        decodeFramesInRect(stream, *info, *framesOut, size, clip);
    });
}
