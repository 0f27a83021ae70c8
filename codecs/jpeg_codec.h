#pragma once

#include "codecs/image_codec.h"

#include <cstdint>
#include <memory>

class FrameSelection;

// Reader of JPEG files through the JPEG library: baseline, extended, progressive and (as the
// library is built) arithmetic-coded 8-bit pictures with 1 (gray), 3 (YCbCr or RGB) or 4 (CMYK,
// YCCK) components. Gray pictures decode to 1 byte per pixel with a gray ramp; CMYK and other
// pictures of more than three components take their first three channels as red, green and
// blue. Small targets are reached with the library's DCT scaling first and the selection rule
// for the rest; decoding stops at the last scanline the target needs.
//
// It refuses: two-component pictures, frames of pictures whose full-size store would exceed
// ImageBuffer::kMaxStoreBytes (46040 from readFrameHeader, before anything large is allocated;
// the header alone reads), progressive files with more than kMaxScans scans, and truncated files
// (46024). Compressed data that ends early at a marker is made up as gray and noted in
// missingDataNote(). The header carries the EXIF orientation and the ICC profile (APP2), which
// the framework applies.
class JpegCodec : public ImageCodec
{
public:
    // More scans than this make a progressive file invalid: real files have a few dozen at most,
    // while every scan costs the decoder a pass over the whole picture.
    static constexpr int kMaxScans = 500;

    JpegCodec();
    ~JpegCodec() override;

    void readHeader(ImageStream &stream, ImageHeader &header) override;
    void readFrameHeader(ImageStream &stream, FrameHeader &frameHeader,
                         std::int32_t index) override;
    void decodeFrame(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index,
                     bool fast) override;
    void close() override;

    // What the last decodeFrame did: the scale denominator it asked for (1 = none), the size the
    // library decoded at, how many scanlines it produced and whether rows went straight into
    // the target. Kept after close, for tests and measurements.
    struct DecodeFacts
    {
        std::int32_t scaleDenom = 1;
        std::int32_t outputWidth = 0;
        std::int32_t outputHeight = 0;
        std::int32_t scanlinesRead = 0;
        bool direct = false;
    };

    const DecodeFacts &lastDecode() const { return facts; }

private:
    struct Session;
    // Asks the library for DCT scaling when the target is at most half the clip both ways and
    // returns the frame as the library will decode it, the clip scaled with it.
    FrameHeader scaleByDct(const FrameHeader &frame, const FrameSelection &requested);
    void readScanlines(const FrameHeader &frame);
    void readColourProfile(ImageHeader &header);

    std::unique_ptr<Session> session; // the decompressor, from readHeader to close
    DecodeFacts facts;
};
