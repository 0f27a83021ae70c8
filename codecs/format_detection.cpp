#include "codecs/format_detection.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::int64_t kSniffLength = 1024;

bool startsWith(const std::uint8_t *bytes, std::int64_t n, std::int64_t at, const char *magic,
                std::int64_t length)
{
    return n >= at + length
            && std::memcmp(bytes + at, magic, static_cast<std::size_t>(length)) == 0;
}

std::uint32_t dwordAt(const std::uint8_t *bytes, std::int64_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8)
            | (static_cast<std::uint32_t>(bytes[at + 2]) << 16)
            | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

// A picture-file opcode at 522: after the 512-byte preamble and the 10-byte frame header.
bool looksLikePict(const std::uint8_t *b, std::int64_t n)
{
    return n > 540
            && (startsWith(b, n, 522, "\x00\x11\x02\xFF", 4)
                || startsWith(b, n, 522, "\x00\x11\x01", 3)
                || startsWith(b, n, 522, "\x11\x01\x01\x00", 4));
}

bool looksLikeEps(const std::uint8_t *b, std::int64_t n)
{
    if (n < 28)
        return false;
    std::uint32_t magic = dwordAt(b, 0);
    return (magic == 0xC6D3D0C5u || magic == 0xC5D0D3C6u) && dwordAt(b, 20) != 0
            && dwordAt(b, 24) != 0;
}

// An ISO base media file whose brands name a still-image HEIF profile: the file type box first,
// its major brand, then its compatible brands. AV1 pictures are AVIF whatever else they claim.
ImageFormat heifKind(const std::uint8_t *b, std::int64_t n)
{
    if (!startsWith(b, n, 4, "ftyp", 4))
        return ImageFormat::Unknown;
    const std::int64_t boxSize = (std::int64_t{ b[0] } << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
    const std::int64_t end = std::min(boxSize, n);
    static const char *const heic[] = { "heic", "heix", "heim", "heis",
                                        "hevc", "hevx", "mif1", "msf1" };
    bool heif = false;
    // Brands: the major one at 8, the compatible ones from 16 on (12 is the minor version).
    for (std::int64_t at = 8; at + 4 <= end; at += at == 8 ? 8 : 4) {
        if (startsWith(b, n, at, "avif", 4) || startsWith(b, n, at, "avis", 4))
            return ImageFormat::Avif;
        for (const char *brand : heic)
            heif = heif || startsWith(b, n, at, brand, 4);
    }
    return heif ? ImageFormat::Heif : ImageFormat::Unknown;
}

ImageFormat classify(const std::uint8_t *b, std::int64_t n)
{
    if (startsWith(b, n, 0, "BM", 2))
        return ImageFormat::Bmp;
    if (startsWith(b, n, 0, "II\x2A\x00", 4) || startsWith(b, n, 0, "MM\x00\x2A", 4))
        return ImageFormat::Tiff;
    if (startsWith(b, n, 0, "GIF8", 4))
        return ImageFormat::Gif;
    if (looksLikePict(b, n))
        return ImageFormat::Pict;
    if (startsWith(b, n, 0, "\xFF\xD8\xFF", 3))
        return ImageFormat::Jpeg;
    if (startsWith(b, n, 0, "\x89PNG", 4))
        return ImageFormat::Png;
    if (startsWith(b, n, 0, "RIFF", 4) && startsWith(b, n, 8, "WEBP", 4))
        return ImageFormat::Webp;
    if (ImageFormat heif = heifKind(b, n); heif != ImageFormat::Unknown)
        return heif;
    if (looksLikeEps(b, n))
        return ImageFormat::Eps;
    if (n >= 3 && b[0] == 0x0A && b[2] == 0x01)
        return ImageFormat::Pcx;
    if (n >= 2 && b[0] == 'P' && (b[1] == '2' || b[1] == '5'))
        return ImageFormat::Pgm;
    return ImageFormat::Unknown;
}

} // namespace

ImageFormat detectFormat(ImageStream &stream)
{
    if (stream.size() == 0)
        return ImageFormat::Unknown;
    std::int64_t remembered = stream.position();
    stream.rewind();
    std::int64_t n = kSniffLength;
    const std::uint8_t *bytes = stream.peek(n);
    stream.seek(remembered, ImageStream::Begin);
    return classify(bytes, n);
}
