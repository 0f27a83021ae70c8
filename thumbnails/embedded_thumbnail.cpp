#include "thumbnails/embedded_thumbnail.h"

#include "codecs/jpeg_codec.h"
#include "codecs/mapped_file_stream.h"
#include "common/alb_exception.h"
#include "image/orientation.h"
#include "image/view_geometry.h"

#include <cmath>
#include <cstring>
#include <libexif/exif-data.h>
#include <memory>

namespace {

// Shapes that differ by more than this part are not the same shape.
constexpr double kShapeTolerance = 0.01;

struct DataDeleter
{
    void operator()(ExifData *data) const { exif_data_unref(data); }
};

// The EXIF segment's contents (from "Exif\0\0" on) among the segments before the image data;
// each segment is FF, its marker and a length that counts its own two bytes.
std::pair<const std::uint8_t *, std::size_t> exifSegment(const std::uint8_t *file, std::size_t size)
{
    if (size < 4 || file[0] != 0xFF || file[1] != 0xD8)
        return { nullptr, 0 };
    std::size_t at = 2;
    while (at + 4 <= size && file[at] == 0xFF) {
        const unsigned marker = file[at + 1];
        const std::size_t length = (std::size_t{ file[at + 2] } << 8) | file[at + 3];
        if (marker == 0xDA || marker == 0xD9 || length < 2 || at + 2 + length > size)
            break;
        const std::uint8_t *contents = file + at + 4;
        if (marker == 0xE1 && length >= 8 && std::memcmp(contents, "Exif\0\0", 6) == 0)
            return { contents, length - 2 };
        at += 2 + length;
    }
    return { nullptr, 0 };
}

bool sameShape(Size a, Size b)
{
    if (a.width <= 0 || a.height <= 0 || b.width <= 0 || b.height <= 0)
        return false;
    const double shapeA = double(a.width) / a.height;
    const double shapeB = double(b.width) / b.height;
    return std::abs(shapeA - shapeB) <= kShapeTolerance * shapeB;
}

// A JPEG's header: its size upright and the turn that makes it so.
std::optional<ImageHeader> headerOf(ImageStream &stream)
{
    try {
        ImageHeader header;
        JpegCodec().readInfo(stream, header);
        return header;
    } catch (const CAlbExceptionBase &) {
        return std::nullopt;
    }
}

std::optional<ImageBuffer> decodeWhole(const std::vector<std::uint8_t> &jpeg, Size size)
{
    MemoryImageStream stream(jpeg.data(), static_cast<std::int64_t>(jpeg.size()));
    ImageBuffer image;
    try {
        JpegCodec().decodeFirstFrame(stream, image, size.width, size.height);
    } catch (const CAlbException &failure) {
        if (failure.isMemoryClass())
            throw;
        return std::nullopt;
    } catch (const CAlbExceptionBase &) {
        return std::nullopt;
    }
    return image;
}

} // namespace

std::vector<std::uint8_t> FindExifThumbnail(const std::uint8_t *file, std::size_t size)
{
    const auto [block, blockSize] = exifSegment(file, size);
    if (!block || blockSize > 0xFFFF)
        return {};
    std::unique_ptr<ExifData, DataDeleter> data(exif_data_new());
    if (!data)
        return {};
    // Only the thumbnail is wanted: maker notes are left alone and nothing is made up.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_option(data.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_load_data(data.get(), block, static_cast<unsigned int>(blockSize));
    // The library copies the thumbnail only when it lies wholly inside the block.
    if (!data->data || data->size < 4 || data->data[0] != 0xFF || data->data[1] != 0xD8)
        return {};
    return std::vector<std::uint8_t>(data->data, data->data + data->size);
}

bool EmbeddedThumbnailSuits(Size thumb, Size picture, Size box)
{
    if (!sameShape(thumb, picture) || box.width <= 0 || box.height <= 0)
        return false;
    const Size fitted = fitSize(box.width, box.height, picture.width, picture.height, false);
    return thumb.width >= fitted.width && thumb.height >= fitted.height;
}

std::optional<EmbeddedThumbnail> DecodeEmbeddedThumbnail(const std::string &path, Size box)
{
    MappedFileStream file;
    try {
        file.open(path);
    } catch (const CAlbExceptionBase &) {
        return std::nullopt;
    }
    const std::vector<std::uint8_t> jpeg =
            FindExifThumbnail(file.data(), static_cast<std::size_t>(file.size()));
    if (jpeg.empty())
        return std::nullopt;
    const std::optional<ImageHeader> picture = headerOf(file);
    MemoryImageStream thumbStream(jpeg.data(), static_cast<std::int64_t>(jpeg.size()));
    const std::optional<ImageHeader> thumbHeader = headerOf(thumbStream);
    if (!picture || !thumbHeader || !file.intact())
        return std::nullopt;
    // The thumbnail is stored the way the photo is, and turned upright like it.
    const Size stored{ thumbHeader->width, thumbHeader->height };
    const Orientation turn = picture->orientation;
    const Size upright = PictureTurn(turn, stored).upright(stored);
    const Size pictureSize{ picture->width, picture->height };
    if (!EmbeddedThumbnailSuits(upright, pictureSize, box))
        return std::nullopt;
    std::optional<ImageBuffer> image = decodeWhole(jpeg, stored);
    if (!image)
        return std::nullopt;
    TurnUpright(*image, turn);
    return EmbeddedThumbnail{ std::move(*image), pictureSize };
}
