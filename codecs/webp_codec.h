#pragma once

#include "codecs/image_codec.h"

#include <cstdint>
#include <memory>

// Reader of WebP files through libwebp: lossy and lossless, with or without alpha, still or
// animated. Every frame of an animation is the whole canvas as it stands once that frame is drawn
// (the library composes it), so a player only shows them one after another with their delays.
// Frames decode to blue, green, red; alpha is laid over PictureBackground(). The header carries
// the EXIF chunk's orientation and the ICCP chunk's profile, which the framework applies. A still
// picture without alpha is scaled by the library while it decodes, straight into the target;
// anything else is decoded whole and then picked by the selection rule.
//
// It refuses: files the demultiplexer or decoder rejects (46024), and frames of pictures whose
// store would exceed ImageBuffer::kMaxStoreBytes (46040, from readFrameHeader, so that the
// header alone still reads), with the location 38005:place:step:0.
class WebpCodec : public ImageCodec
{
public:
    static constexpr std::uint32_t kPlaceHeader = 10;
    static constexpr std::uint32_t kPlaceFrame = 20;
    static constexpr std::uint32_t kStepInvalid = 1;
    static constexpr std::uint32_t kStepMemory = 2;
    static constexpr std::uint32_t kStepTooLarge = 3;
    static constexpr std::uint32_t kStepNoReader = 4;

    WebpCodec();
    ~WebpCodec() override;

    void readHeader(ImageStream &stream, ImageHeader &header) override;
    void readFrameHeader(ImageStream &stream, FrameHeader &frameHeader,
                         std::int32_t index) override;
    void decodeFrame(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index,
                     bool fast) override;
    void close() override;

private:
    struct Session;
    void decodeStill(FrameHeader &frameHeader, bool fast);
    void decodeAnimated(FrameHeader &frameHeader, std::int32_t index);

    std::unique_ptr<Session> session; // the demultiplexed file, from readHeader to close
};
