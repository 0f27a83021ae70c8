#pragma once

#include "codecs/image_codec.h"

#include <memory>

// The reader the rest of the program uses: recognises the format by content, creates the
// matching codec and forwards the primitives to it. It holds no codec between operations.
class DetectingCodec : public ImageCodec
{
public:
    void readHeader(ImageStream &stream, ImageHeader &header) override;
    void readFrameHeader(ImageStream &stream, FrameHeader &frameHeader,
                         std::int32_t index) override;
    void decodeFrame(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index,
                     bool fast) override;
    void close() override;

private:
    std::unique_ptr<ImageCodec> codec;
};

// The codec that reads format, or none when the format is not one the program decodes.
std::unique_ptr<ImageCodec> CreateCodecFor(ImageFormat format);
