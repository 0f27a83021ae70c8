#include "tests/support/thumbnail_jpeg.h"

#include "codecs/jpeg_writer.h"
#include "image/image_buffer.h"
#include "tests/support/byte_writer.h"
#include "tests/support/temp_dir.h"

#include <cstdint>
#include <vector>

namespace {

std::vector<std::uint8_t> flatJpeg(const std::string &path, Size size, RgbValue colour)
{
    const std::size_t rowBytes = static_cast<std::size_t>(size.width) * 3;
    std::vector<std::uint8_t> pixels(rowBytes * static_cast<std::size_t>(size.height));
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = BlueOf(colour);
        pixels[i + 1] = GreenOf(colour);
        pixels[i + 2] = RedOf(colour);
    }
    JpegWriter writer;
    writer.quality = 90;
    writer.write(path, PixelSpan::Padded(pixels.data(), size.width, size.height, 0));
    return ReadBytes(path);
}

void putEntry(std::vector<std::uint8_t> &out, std::uint16_t tag, std::uint16_t type,
              std::uint32_t value)
{
    Put16(out, tag);
    Put16(out, type);
    Put32(out, 1);
    Put32(out, value);
}

// "Exif\0\0", a little-endian TIFF header, IFD0 (the orientation) and IFD1 (the thumbnail).
std::vector<std::uint8_t> exifBlock(const std::vector<std::uint8_t> &thumb, unsigned orientation)
{
    constexpr std::uint16_t kShort = 3, kLong = 4;
    std::vector<std::uint8_t> tiff = { 'I', 'I', 42, 0 };
    Put32(tiff, 8);
    const std::uint16_t ifd0Entries = orientation ? 1 : 0;
    const std::uint32_t ifd1 = 8 + 2 + 12u * ifd0Entries + 4;
    Put16(tiff, ifd0Entries);
    if (orientation)
        putEntry(tiff, 0x0112, kShort, orientation);
    Put32(tiff, ifd1);
    const std::uint32_t thumbAt = ifd1 + 2 + 12 * 3 + 4;
    Put16(tiff, 3);
    putEntry(tiff, 0x0103, kShort, 6); // compressed: JPEG
    putEntry(tiff, 0x0201, kLong, thumbAt);
    putEntry(tiff, 0x0202, kLong, static_cast<std::uint32_t>(thumb.size()));
    Put32(tiff, 0);
    tiff.insert(tiff.end(), thumb.begin(), thumb.end());
    std::vector<std::uint8_t> block = { 'E', 'x', 'i', 'f', 0, 0 };
    block.insert(block.end(), tiff.begin(), tiff.end());
    return block;
}

} // namespace

void WriteJpegWithThumbnail(const std::string &path, Size picture, RgbValue pictureColour,
                            Size thumb, RgbValue thumbColour, unsigned orientation)
{
    const std::vector<std::uint8_t> small = flatJpeg(path, thumb, thumbColour);
    std::vector<std::uint8_t> photo = flatJpeg(path, picture, pictureColour);
    const std::vector<std::uint8_t> block = exifBlock(small, orientation);
    const std::size_t length = block.size() + 2;
    std::vector<std::uint8_t> segment = { 0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8),
                                          static_cast<std::uint8_t>(length) };
    segment.insert(segment.end(), block.begin(), block.end());
    photo.insert(photo.begin() + 2, segment.begin(), segment.end());
    WriteBytes(path, photo);
}

RgbValue CentreColour(const ImageBuffer &image)
{
    const std::uint8_t *p = image.row(image.height / 2) + (image.width / 2) * 3;
    return MakeRgb(p[2], p[1], p[0]);
}
