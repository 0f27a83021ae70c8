#pragma once

#include "codecs/gif_lzw_decoder.h"
#include "codecs/image_codec.h"

#include <cstdint>
#include <vector>

// Reader of GIF87a and GIF89a files. readHeader walks the mapped file once and notes where each
// image and its graphic control extension start, so that any frame can later be decoded by
// seeking straight to it. Frames decode row by row into 1-byte targets (palette indices), with
// interlaced rows and the selection rule for smaller targets.
class GifCodec : public ImageCodec
{
public:
    void readHeader(ImageStream &stream, ImageHeader &header) override;
    // Leaves frameHeader alone when index is not a frame of the file.
    void readFrameHeader(ImageStream &stream, FrameHeader &frameHeader,
                         std::int32_t index) override;
    // The fast flag makes no difference to this reader.
    void decodeFrame(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index,
                     bool fast) override;
    void close() override;

    // Per-file state, public for tests.
    struct State
    {
        std::int32_t screenWidth = 0;
        std::int32_t screenHeight = 0;
        std::int32_t globalCount = 0; // entries of the global colour table, 0 when absent
        PaletteEntry globalTable[ImagePalette::kMaxEntries] = {};
        std::uint8_t backgroundIndex = 0;
        // Bits of the global table as the screen descriptor states them, even without a table:
        // the minimum code size 0 stands for them.
        std::int32_t globalBits = 0;
        // Per frame: the offset of the block-size byte of its graphic control extension (0 for
        // none) and the offset of its left-position field.
        std::vector<std::int64_t> controlOffsets;
        std::vector<std::int64_t> descriptorOffsets;
        std::int32_t frameCount = 0;
    };

    const State &state() const { return gif; }

private:
    State gif;
    GifLzwDecoder lzw;
};
