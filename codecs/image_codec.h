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
//
// The primitives see the picture as the file stores it. The template operations give it upright
// and in sRGB: sizes, rectangles and boxes are those of the upright picture, and each decoded
// frame is converted from the file's colour profile and then turned by its orientation, after
// any scaling, so a small decode stays cheap.
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

    // The size of the whole picture, upright, whose first frame decodeFirstFrame decoded last.
    // Kept after close.
    Size firstFramePictureSize() const { return pictureSize; }

    // Gives pictures as their files store them: not turned, colours not converted. For
    // comparisons with other decoders, which do neither.
    bool asStored = false;

protected:
    std::string missingData;

private:
    Size pictureSize;

    // readHeader, with the orientation and profile dropped when the picture is wanted as stored.
    void readStoredHeader(ImageStream &stream, ImageHeader &header);

    // How the frames of an all-frames decoding are sized and clipped.
    struct FrameTarget
    {
        const Rect *clip;
        bool inRect;
        std::int32_t percent;
        const Size *size;
        std::uint32_t place; // of the operation, in error locations
        std::uint64_t *held; // bytes of the frames' stores so far
    };

    void decodeOneFrame(ImageStream &stream, const ImageHeader &header, std::int32_t index,
                        const FrameTarget &target, ImageFrame &frame);
    void decodeAllFrames(ImageStream &stream, ImageInfo &info, FrameArray &framesOut, bool inRect,
                         std::int32_t percent, const Size *size, const Rect *clip);
};

// Makes image header's decoding target and sets sourceRect.
void AttachTarget(FrameHeader &header, ImageBuffer &image, const Rect &sourceRect);

// The turn that makes the picture of a header as its reader gave it (stored) upright.
PictureTurn StoredTurn(const ImageHeader &stored);

// Gives a stored header the upright picture's sides and resolutions.
void MakeHeaderUpright(ImageHeader &header);

// What every decoded frame goes through: its colours converted to sRGB by the header's profile,
// then turned upright. Throws 46040 when memory runs short.
void FinishDecodedImage(ImageBuffer &image, const ImageHeader &stored);
