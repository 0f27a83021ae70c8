#pragma once

#include "codecs/image_codec.h"

#include <cstdint>
#include <memory>

// Reader of HEIF files (HEIC: HEVC-coded) and AVIF files (AV1-coded) through libheif and the
// decoders it was built with. Only the primary image is read, as one frame; the library applies
// the file's transformations (rotation, mirroring, cropping), so sizes are those of the picture
// as it is shown and the header's orientation stays 0. Pixels decode to blue, green, red at
// 8 bits (deeper samples are reduced by the library); alpha is laid over PictureBackground().
// The header carries the ICC profile, or for code points (nclx) one made from them, which the
// framework applies. A thumbnail decode uses a thumbnail the file carries when one is at least
// the target's size with the picture's shape.
//
// It refuses: files the library rejects (46024), files whose coding the library has no decoder
// for (46025), and frames of pictures whose store would exceed ImageBuffer::kMaxStoreBytes
// (46040, from readFrameHeader so that the header alone still reads), with the location
// 38006:place:step:0.
class HeifCodec : public ImageCodec
{
public:
    static constexpr std::uint32_t kPlaceHeader = 10;
    static constexpr std::uint32_t kPlaceFrame = 20;
    static constexpr std::uint32_t kStepInvalid = 1;
    static constexpr std::uint32_t kStepMemory = 2;
    static constexpr std::uint32_t kStepTooLarge = 3;
    static constexpr std::uint32_t kStepNoReader = 4;
    static constexpr std::uint32_t kStepNoDecoder = 5;

    // format: ImageFormat::Heif or ImageFormat::Avif, as the file's brands say.
    explicit HeifCodec(ImageFormat format);
    ~HeifCodec() override;

    void readHeader(ImageStream &stream, ImageHeader &header) override;
    void readFrameHeader(ImageStream &stream, FrameHeader &frameHeader,
                         std::int32_t index) override;
    void decodeFrame(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index,
                     bool fast) override;
    void close() override;

private:
    struct Session;

    ImageFormat format;
    std::unique_ptr<Session> session; // the parsed file, from readHeader to close
};
