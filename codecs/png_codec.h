#pragma once

#include "codecs/image_codec.h"
#include "codecs/png_text.h"
#include "image/palette.h"

#include <cstdint>
#include <memory>

// Reader of PNG files through the PNG library: every colour type and bit depth, interlaced or
// not. Indexed pictures decode to 1 byte per pixel with their palette, gray ones without
// transparency to 1 byte per pixel with a gray ramp (depths below 8 scaled to the full range),
// everything else to blue, green, red. 16-bit samples keep their high byte. Transparency (an
// alpha channel, or the tRNS chunk's palette alphas or key colour) is flattened over
// PictureBackground() as the decode starts: a transparent picture shows that colour where it is
// clear. The resolution comes from the pHYs chunk when its unit is the metre. The header carries
// the iCCP chunk's colour profile and the eXIf chunk's orientation, which the framework applies;
// gamma and significant-bit facts are not applied.
//
// Scaled and clipped decodes read every row up to the last one the target needs and pick rows
// and columns by the selection rule; an interlaced picture keeps only the rows the target takes.
//
// It refuses: pictures whose full-size store would exceed ImageBuffer::kMaxStoreBytes (46040,
// before anything large is allocated), and any file the library rejects (46024; 46040 when it
// ran out of memory), each with the location 38004:place:step:0.
class PngCodec : public ImageCodec
{
public:
    // Places and steps of the reader's error locations.
    static constexpr std::uint32_t kPlaceHeader = 10;
    static constexpr std::uint32_t kPlaceRows = 20;
    static constexpr std::uint32_t kStepInvalid = 1;
    static constexpr std::uint32_t kStepMemory = 2;
    static constexpr std::uint32_t kStepTooLarge = 3;

    PngCodec();
    ~PngCodec() override;

    void readHeader(ImageStream &stream, ImageHeader &header) override;
    void readFrameHeader(ImageStream &stream, FrameHeader &frameHeader,
                         std::int32_t index) override;
    void decodeFrame(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index,
                     bool fast) override;
    void close() override;

    // The text entries of the last file whose header was read; kept after close.
    const PngText &textEntries() const { return text; }

    // For fuzzing only: chunk checksums and the zlib stream's check value are not verified, so
    // that mutated files reach the decoder instead of failing at their first changed byte.
    bool ignoreChecksums = false;

    // How the rows come out of the library before they reach the target.
    enum class Output {
        Indexed, // palette indices, 1 byte
        Gray, // gray levels, 1 byte
        Colour, // blue, green, red
        Alpha // blue, green, red, alpha: flattened into the target
    };

private:
    struct Session;
    void startRows();

    std::unique_ptr<Session> session; // the library's reader, from readHeader to close
    PngText text;
};
