#include "codecs/capture_file.h"

#include "codecs/bmp_writer.h"
#include "codecs/gif_writer.h"
#include "codecs/jpeg_writer.h"
#include "codecs/png_writer.h"
#include "common/dir_record.h"
#include "common/path_names.h"

#include <cstdio>

namespace {

// Every writer takes the grab as it is: 3 bytes per pixel, blue first, top row first, full size.
constexpr std::int32_t kBytesPerPixel = 3;
constexpr std::int32_t kFullScale = 100;

template <typename Writer>
void writeWith(Writer &writer, const std::string &path, const CapturePixels &pixels)
{
    writer.write(path, pixels.top, pixels.w, pixels.h, pixels.pad, kBytesPerPixel, kFullScale,
                 nullptr, true, false);
}

} // namespace

PngPicture CapturePng(const CapturePixels &pixels)
{
    PngPicture picture;
    picture.pixels = pixels.top;
    picture.width = pixels.w;
    picture.height = pixels.h;
    picture.rowPad = pixels.pad;
    picture.bytesPerPixel = kBytesPerPixel;
    return picture;
}

std::string CaptureExtension(std::int32_t fileFormat)
{
    switch (fileFormat) {
    case CaptureFormat::Bmp:
        return ".bmp";
    case CaptureFormat::Jpeg:
        return ".jpg";
    case CaptureFormat::Gif:
        return ".gif";
    case CaptureFormat::Png:
        return ".png";
    default:
        return {};
    }
}

CaptureName FindCaptureName(std::string_view prefix, std::int32_t fileFormat,
                            const CaptureNameTaken &taken)
{
    const std::string extension = CaptureExtension(fileFormat);
    CaptureName result;
    char digits[16];
    for (std::int32_t i = 1; i <= kLastCaptureNumber; ++i) {
        std::snprintf(digits, sizeof digits, "%03d", static_cast<int>(i));
        result.name.assign(prefix).append(digits).append(extension);
        if (!taken(result.name))
            return result;
    }
    result.free = false;
    return result;
}

CaptureName FindCaptureNameIn(std::string_view folder, std::string_view prefix,
                              std::int32_t fileFormat)
{
    const std::string dir(folder);
    return FindCaptureName(prefix, fileFormat, [&dir](const std::string &name) {
        return ProbeFile(CaptureFilePath(dir, name));
    });
}

std::string NextCaptureName(std::string_view folder, std::string_view prefix,
                            std::int32_t fileFormat)
{
    return FindCaptureNameIn(folder, prefix, fileFormat).name;
}

std::string CaptureFilePath(std::string_view folder, std::string_view name)
{
    std::string path;
    if (!folder.empty() && folder.front() != '\\') {
        path.assign(folder);
        if (path.back() != '/')
            path += '/';
    } else {
        path = AddBackslash(folder);
    }
    return path.append(name);
}

std::string WriteCapture(const std::string &name, const CapturePixels &pixels,
                         const CaptureTarget &target)
{
    const std::string path = CaptureFilePath(target.folder, name);
    switch (target.fileFormat) {
    case CaptureFormat::Bmp: {
        BmpWriter writer;
        writer.xResolution = writer.yResolution = target.resolutionDpi;
        writeWith(writer, path, pixels);
        break;
    }
    case CaptureFormat::Gif: {
        GifWriter writer;
        writeWith(writer, path, pixels);
        break;
    }
    case CaptureFormat::Png: {
        PngWriter writer;
        writer.xResolution = writer.yResolution = target.resolutionDpi;
        writer.write(path, CapturePng(pixels));
        break;
    }
    default: {
        JpegWriter writer;
        writer.xResolution = writer.yResolution = target.resolutionDpi;
        writeWith(writer, path, pixels);
        break;
    }
    }
    return path;
}

CapturePixels CropPixels(const CapturePixels &pixels, const Rect &rect)
{
    const Rect part = rect.intersected(Rect{ 0, 0, pixels.w, pixels.h });
    if (part.isEmpty())
        return CapturePixels{ pixels.top, 0, 0, pixels.w + pixels.pad };
    const auto rowPixels = static_cast<std::size_t>(pixels.w + pixels.pad);
    const std::size_t offset =
            (static_cast<std::size_t>(part.top) * rowPixels + static_cast<std::size_t>(part.left))
            * kBytesPerPixel;
    return CapturePixels{ pixels.top + offset, part.width(), part.height(),
                          pixels.w + pixels.pad - part.width() };
}
