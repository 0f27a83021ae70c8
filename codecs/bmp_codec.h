#pragma once

#include "codecs/image_codec.h"

#include <cstdint>

// Reader of BMP files: core (12-byte), 40-, 64-, 108- and 124-byte info headers; 1, 2, 4, 8,
// 16, 24 and 32 bits; run-length 4- and 8-bit rows; bit-field masks; bottom-up and top-down rows.
class BmpCodec : public ImageCodec
{
public:
    void readHeader(ImageStream &stream, ImageHeader &header) override;
    void readFrameHeader(ImageStream &stream, FrameHeader &frameHeader,
                         std::int32_t index) override;
    void decodeFrame(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index,
                     bool fast) override;
    void close() override;

    // Per-file state, public for the row readers and tests.
    struct State
    {
        std::uint32_t pixelOffset = 0;
        std::int32_t width = 0;
        std::int32_t height = 0; // rows, always positive
        bool topDown = false;    // negative height in the file
        std::uint32_t coloursUsed = 0;
        std::int64_t colourTableOffset = 0;
        std::int32_t colourEntrySize = 4;
        std::int32_t bits = 0;
        bool is565 = false;
        std::uint32_t compression = 0;
        std::uint32_t masks[3] = { 0, 0, 0 }; // red, green, blue bit fields when compression is 3
        bool hasMasks = false;
        std::int32_t xResolution = -1;
        std::int32_t yResolution = -1;
    };
    const State &state() const { return bmp; }

private:
    State bmp;
};
