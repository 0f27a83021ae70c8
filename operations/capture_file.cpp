#include "operations/capture_file.h"

#include "codecs/bmp_writer.h"
#include "codecs/gif_writer.h"
#include "codecs/jpeg_writer.h"
#include "codecs/png_writer.h"
#include "common/dir_record.h"
#include "common/path_names.h"

#include <cstdio>

namespace {

// Writes pixels with a writer that stores the resolution in both directions.
template <typename Writer>
void writeStating(const std::string &path, const PixelSpan &pixels, std::int32_t resolutionDpi)
{
    Writer writer;
    writer.xResolution = writer.yResolution = resolutionDpi;
    writer.write(path, pixels);
}

} // namespace

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

std::string WriteCapture(const std::string &name, const PixelSpan &pixels,
                         const CaptureTarget &target)
{
    const std::string path = CaptureFilePath(target.folder, name);
    switch (target.fileFormat) {
    case CaptureFormat::Bmp:
        writeStating<BmpWriter>(path, pixels, target.resolutionDpi);
        break;
    case CaptureFormat::Gif:
        GifWriter().write(path, pixels);
        break;
    case CaptureFormat::Png:
        writeStating<PngWriter>(path, pixels, target.resolutionDpi);
        break;
    default:
        writeStating<JpegWriter>(path, pixels, target.resolutionDpi);
        break;
    }
    return path;
}
