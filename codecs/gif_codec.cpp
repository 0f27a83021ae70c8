#include "codecs/gif_codec.h"

#include "codecs/frame_selection.h"
#include "codecs/gif_frame_rows.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// Places and steps of the reader's error locations.
constexpr std::uint32_t kPlaceHeader = 33;
constexpr std::uint32_t kStepBadSignature = 1;
constexpr std::uint32_t kStepBlockBeforeImage = 31;
constexpr std::uint32_t kStepNoImage = 32;
constexpr std::uint32_t kPlaceDecode = 63;
constexpr std::uint32_t kStepBadMinimumCodeSize = 12;

constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;

constexpr std::int64_t kSignatureSize = 6;
// Block size, packed byte, delay (2 bytes), transparent index.
constexpr std::int64_t kControlSize = 5;
// Left, top, width, height and the packed byte.
constexpr std::int64_t kDescriptorSize = 9;
constexpr std::uint8_t kTableFlag = 0x80;
constexpr std::uint8_t kInterlacedFlag = 0x40;

// A frame without a graphic control extension stays this long, in hundredths of a second.
constexpr std::int32_t kDefaultDelay = 100;
constexpr RgbValue kWhite = 0xFFFFFF;

[[noreturn]] void throwInvalid(std::uint32_t place, std::uint32_t step)
{
    ThrowAlb(Msg::InvalidFormat, Module::GifReader, place, step);
}

std::int32_t tableEntries(std::uint8_t packed)
{
    return 1 << ((packed & 7) + 1);
}

// Reads count entries of red, green, blue into entries, and clears the rest so that an index
// beyond the table reads black.
void readTable(ImageStream &stream, std::int32_t count, PaletteEntry *entries)
{
    const std::uint8_t *table = stream.read(3 * static_cast<std::int64_t>(count));
    for (std::int32_t i = 0; i < count; ++i, table += 3)
        entries[i] = PaletteEntry{ table[0], table[1], table[2], 0 };
    std::fill(entries + count, entries + ImagePalette::kMaxEntries, PaletteEntry{});
}

// Walks the blocks that follow the global table in place, noting where each image and the
// graphic control extension that applies to it start. Any block between an extension and the
// image cancels the extension. Damage after the first image ends the walk quietly, so a file
// keeps the images found before it.
class PreScan
{
public:
    PreScan(ImageStream &stream, GifCodec::State &state) : gif(state)
    {
        base = stream.position();
        length = stream.remaining();
        bytes = stream.peek(length);
    }

    void run()
    {
        std::int64_t at = 0;
        while (at < length) {
            switch (bytes[at]) {
            case kTrailer:
                return;
            case kExtensionIntroducer:
                at = extension(at);
                break;
            case kImageSeparator:
                if (gif.frameCount == INT32_MAX)
                    return;
                at = image(at);
                break;
            default:
                if (gif.frameCount > 0)
                    return;
                throwInvalid(kPlaceHeader, kStepBlockBeforeImage);
            }
        }
    }

private:
    std::int64_t extension(std::int64_t at)
    {
        if (at + 1 >= length)
            return length;
        control = bytes[at + 1] == kGraphicControlLabel ? base + at + 2 : 0;
        return skipSubBlocks(at + 2);
    }

    std::int64_t image(std::int64_t at)
    {
        gif.controlOffsets.push_back(control);
        gif.descriptorOffsets.push_back(base + at + 1);
        ++gif.frameCount;
        control = 0;
        if (at + kDescriptorSize >= length)
            return length;
        const std::uint8_t packed = bytes[at + kDescriptorSize];
        at += 1 + kDescriptorSize;
        if (packed & kTableFlag)
            at += 3 * static_cast<std::int64_t>(tableEntries(packed));
        // The minimum code size, then the data sub-blocks.
        return skipSubBlocks(at + 1);
    }

    // The offset after the zero-length sub-block that ends a run of sub-blocks starting at at,
    // or the length when the data ends first.
    std::int64_t skipSubBlocks(std::int64_t at) const
    {
        while (at < length) {
            const std::uint8_t n = bytes[at];
            at += 1 + n;
            if (n == 0)
                return at;
        }
        return length;
    }

    GifCodec::State &gif;
    std::int64_t base = 0;
    std::int64_t length = 0;
    const std::uint8_t *bytes = nullptr;
    std::int64_t control = 0;
};

void fillHeader(const GifCodec::State &gif, ImageHeader &header)
{
    header.format = static_cast<std::int32_t>(ImageFormat::Gif);
    header.width = gif.screenWidth;
    header.height = gif.screenHeight;
    header.bitsPerPixel = 8;
    header.grayscale = 0;
    header.frameCount = gif.frameCount;
    header.palette.version = ImagePalette::kVersion;
    header.palette.count = static_cast<std::uint16_t>(gif.globalCount);
    std::copy(std::begin(gif.globalTable), std::end(gif.globalTable), header.palette.entries);
    if (gif.globalCount > 0 && gif.backgroundIndex < gif.globalCount) {
        const PaletteEntry &e = gif.globalTable[gif.backgroundIndex];
        header.background = MakeRgb(e.red, e.green, e.blue);
    } else {
        header.background = kWhite;
    }
}

// Fills palette with the frame's local table when its packed byte announces one (the stream
// stands at it), else with the global table.
void readFramePalette(ImageStream &stream, std::uint8_t packed, const GifCodec::State &gif,
                      ImagePalette &palette)
{
    palette.version = ImagePalette::kVersion;
    if (packed & kTableFlag) {
        const std::int32_t count = tableEntries(packed);
        readTable(stream, count, palette.entries);
        palette.count = static_cast<std::uint16_t>(count);
        return;
    }
    palette.count = static_cast<std::uint16_t>(gif.globalCount);
    std::copy(std::begin(gif.globalTable), std::end(gif.globalTable), palette.entries);
}

} // namespace

void GifCodec::readHeader(ImageStream &stream, ImageHeader &header)
{
    gif = State{};
    stream.rewind();
    const std::uint8_t *signature = stream.read(kSignatureSize);
    if (std::memcmp(signature, "GIF8", 4) != 0 || (signature[4] != '7' && signature[4] != '9')
        || signature[5] != 'a')
        throwInvalid(kPlaceHeader, kStepBadSignature);

    gif.screenWidth = stream.readWord();
    gif.screenHeight = stream.readWord();
    const std::uint8_t packed = stream.readByte();
    gif.backgroundIndex = stream.readByte();
    stream.skip(1); // pixel aspect ratio
    gif.globalBits = (packed & 7) + 1;
    if (packed & kTableFlag) {
        gif.globalCount = tableEntries(packed);
        readTable(stream, gif.globalCount, gif.globalTable);
    }
    PreScan(stream, gif).run();
    if (gif.frameCount == 0)
        throwInvalid(kPlaceHeader, kStepNoImage);
    fillHeader(gif, header);
}

void GifCodec::readFrameHeader(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index)
{
    if (index < 0 || index >= gif.frameCount)
        return;
    const auto i = static_cast<std::size_t>(index);
    if (gif.controlOffsets[i] != 0) {
        stream.seek(gif.controlOffsets[i], ImageStream::Begin);
        const std::uint8_t *b = stream.read(kControlSize);
        frameHeader.disposal = (b[1] >> 2) & 7;
        frameHeader.userInput = (b[1] >> 1) & 1;
        frameHeader.delay = b[2] + 256 * b[3];
        frameHeader.transparentIndex = (b[1] & 1) ? b[4] : -1;
    } else {
        frameHeader.transparentIndex = -1;
        frameHeader.disposal = 0;
        frameHeader.userInput = 0;
        frameHeader.delay = kDefaultDelay;
    }
    stream.seek(gif.descriptorOffsets[i], ImageStream::Begin);
    const std::int32_t left = stream.readWord();
    const std::int32_t top = stream.readWord();
    const std::int32_t width = stream.readWord();
    const std::int32_t height = stream.readWord();
    frameHeader.frameRect = Rect{ left, top, left + width, top + height };
    const std::uint8_t packed = stream.readByte();
    frameHeader.interlaced = (packed & kInterlacedFlag) ? 1 : 0;
    frameHeader.bytesPerPixel = 1;
    frameHeader.withAlpha = 0;
    if (ImagePalette *palette = frameHeader.targetPalette())
        readFramePalette(stream, packed, gif, *palette);
}

void GifCodec::decodeFrame(ImageStream &stream, FrameHeader &frameHeader, std::int32_t index, bool)
{
    if (index < 0 || index >= gif.frameCount || FrameSelection(frameHeader).isEmpty())
        return;
    stream.seek(gif.descriptorOffsets[static_cast<std::size_t>(index)] + kDescriptorSize - 1,
                ImageStream::Begin);
    const std::uint8_t packed = stream.readByte();
    if (ImagePalette *palette = frameHeader.targetPalette())
        readFramePalette(stream, packed, gif, *palette);
    else if (packed & kTableFlag)
        stream.skip(3 * static_cast<std::int64_t>(tableEntries(packed)));

    std::int32_t minimumCodeSize = stream.readByte();
    if (minimumCodeSize == 0)
        minimumCodeSize = gif.globalBits;
    // Wider first codes could not grow and would not fit the 4,096-entry table.
    if (minimumCodeSize > GifLzwDecoder::kMaxMinimumCodeSize)
        throwInvalid(kPlaceDecode, kStepBadMinimumCodeSize);
    lzw.start(minimumCodeSize);
    DecodeGifRows(stream, lzw, frameHeader, (packed & kInterlacedFlag) != 0);
}

void GifCodec::close()
{
    gif = State{};
}
