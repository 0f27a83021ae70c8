#pragma once

#include "codecs/image_header.h"
#include "codecs/image_stream.h"
#include "image/image_buffer.h"
#include "image/image_info.h"
#include "image/rect.h"

#include <cstdint>
#include <string>

// The abstract picture reader: template operations written once over four per-format
// primitives. Every template operation is a complete open-decode-release cycle: it ends with
// close(), also when it throws.
class ImageCodec
{
public:
    virtual ~ImageCodec() = default;

    void readInfo(ImageStream &stream, ImageHeader &header);
    void readInfoFromFile(const std::string &path, ImageHeader *header);
    void readFrameInfo(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index);

    // Decodes frame 0 fitted into the box without enlarging (the fast path of thumbnails).
    void decodeFirstFrame(ImageStream &stream, ImageBuffer &image, std::int32_t boxWidth,
                          std::int32_t boxHeight);
    void decodeFirstFrameFromFile(const std::string &path, ImageBuffer *image,
                                  std::int32_t boxWidth, std::int32_t boxHeight);

    // Decodes every frame at percent of its size.
    void decodeFrames(ImageStream &stream, ImageInfo &info, FrameArray &framesOut,
                      std::int32_t percent);
    // Decodes every frame clipped to clip (when given) and scaled so that the whole picture
    // would be size (when given).
    void decodeFramesInRect(ImageStream &stream, ImageInfo &info, FrameArray &framesOut,
                            const Size *size, const Rect *clip);
    void decodeFramesFromFile(const std::string &path, ImageInfo *info, FrameArray *framesOut,
                              const Size *size, const Rect *clip);

    // Per-format primitives.
    virtual void readHeader(ImageStream &stream, ImageHeader &header) = 0;
    virtual void readFrameHeader(ImageStream &stream, FrameHeader &frameHeader,
                                 std::int32_t index) = 0;
    virtual void decodeFrame(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index,
                             bool fast) = 0;
    virtual void close() = 0;

    // What the last decoding had to make up because the file's data ended early, in the decoding
    // library's words; empty when it made up nothing. A viewer may show such a picture, but a
    // conversion must not pass it off as the file's. Kept after close.
    const std::string &missingDataNote() const { return missingData; }

    // The size of the whole picture whose first frame decodeFirstFrame decoded last. Kept after
    // close.
    Size firstFramePictureSize() const { return pictureSize; }

protected:
    std::string missingData;

private:
    Size pictureSize;

    // How the frames of an all-frames decoding are sized and clipped.
    struct FrameTarget
    {
        const Rect *clip;
        bool inRect;
        std::int32_t percent;
        const Size *size;
    };

    void decodeOneFrame(ImageStream &stream, const ImageHeader &header, std::int32_t index,
                        const FrameTarget &target, ImageFrame &frame);
    void decodeAllFrames(ImageStream &stream, ImageInfo &info, FrameArray &framesOut, bool inRect,
                         std::int32_t percent, const Size *size, const Rect *clip);
};

// Points the target fields of header at image and sets sourceRect.
void AttachTarget(FrameHeader &header, ImageBuffer &image, const Rect &sourceRect);
