#include "tests/support/photo_files.h"

#include "codecs/jpeg_writer.h"
#include "tests/support/byte_writer.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#ifdef VISTREL_HAVE_WEBP
#  include <webp/encode.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <zlib.h>

namespace {

void putChunk(std::vector<std::uint8_t> &out, const char *fourcc, const std::uint8_t *data,
              std::size_t size)
{
    out.insert(out.end(), fourcc, fourcc + 4);
    Put32(out, static_cast<std::uint32_t>(size));
    out.insert(out.end(), data, data + size);
    if (size % 2 != 0)
        out.push_back(0);
}

} // namespace

ImageBuffer QuarteredPicture(std::int32_t width, std::int32_t height)
{
    ImageBuffer image;
    image.create(width, height, 3, false);
    const std::uint8_t quarters[4][3] = {
        { 0, 0, 255 }, { 0, 255, 0 }, { 255, 0, 0 }, { 255, 255, 255 }
    };
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            std::memcpy(image.row(y) + x * 3, quarters[(y >= height / 2) * 2 + (x >= width / 2)],
                        3);
    return image;
}

Corners CornersOf(const ImageBuffer &image)
{
    auto at = [&](std::int32_t x, std::int32_t y) {
        const std::uint8_t *p = image.row(y) + static_cast<std::size_t>(x) * image.bytesPerPixel;
        if (image.bytesPerPixel == 1) {
            const PaletteEntry &e = image.palette->entries[*p];
            return MakeRgb(e.red, e.green, e.blue);
        }
        return MakeRgb(p[2], p[1], p[0]);
    };
    const std::int32_t r = image.width - 1, b = image.height - 1;
    return { at(0, 0), at(r, 0), at(0, b), at(r, b) };
}

bool CornersNear(const Corners &actual, const Corners &expected, int tolerance)
{
    for (std::size_t i = 0; i < actual.size(); ++i) {
        for (int shift : { 0, 8, 16 }) {
            const int a = (actual[i] >> shift) & 0xFF, e = (expected[i] >> shift) & 0xFF;
            if (std::abs(a - e) > tolerance)
                return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> OrientationExif(unsigned orientation)
{
    std::vector<std::uint8_t> exif = { 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0 };
    Put32(exif, 8); // the first directory, right after the TIFF header
    Put16(exif, 1); // one entry: orientation, a SHORT
    Put16(exif, 0x0112);
    Put16(exif, 3);
    Put32(exif, 1);
    Put16(exif, orientation);
    Put16(exif, 0);
    Put32(exif, 0); // no next directory
    return exif;
}

std::vector<std::uint8_t> JpegWithSegment(const ImageBuffer &image, std::uint8_t marker,
                                          const std::vector<std::uint8_t> &contents,
                                          const std::string &scratchPath)
{
    JpegWriter writer;
    writer.quality = 95;
    writer.xResolution = writer.yResolution = 72;
    writer.write(scratchPath, image.span());
    std::vector<std::uint8_t> plain = ReadBytes(scratchPath);
    std::vector<std::uint8_t> out(plain.begin(), plain.begin() + 2);
    out.push_back(0xFF);
    out.push_back(marker);
    const std::size_t length = contents.size() + 2;
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    out.insert(out.end(), contents.begin(), contents.end());
    out.insert(out.end(), plain.begin() + 2, plain.end());
    return out;
}

namespace {

void putBigEndian32(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    for (int shift : { 24, 16, 8, 0 })
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::vector<std::uint8_t> deflated(const std::vector<std::uint8_t> &data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> out(size);
    compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 6);
    out.resize(size);
    return out;
}

void putPngChunk(std::vector<std::uint8_t> &out, const char *type,
                 const std::vector<std::uint8_t> &data)
{
    putBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> checked(type, type + 4);
    checked.insert(checked.end(), data.begin(), data.end());
    out.insert(out.end(), checked.begin(), checked.end());
    putBigEndian32(out,
                   static_cast<std::uint32_t>(
                           crc32(0, checked.data(), static_cast<uInt>(checked.size()))));
}

} // namespace

std::vector<std::uint8_t> PngWithProfile(const ImageBuffer &image,
                                         const std::vector<std::uint8_t> &profile)
{
    std::vector<std::uint8_t> png = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    std::vector<std::uint8_t> header;
    putBigEndian32(header, static_cast<std::uint32_t>(image.width));
    putBigEndian32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), { 8, 2, 0, 0, 0 }); // 8-bit RGB, not interlaced
    putPngChunk(png, "IHDR", header);
    if (!profile.empty()) {
        std::vector<std::uint8_t> iccp = { 'p', 'r', 'o', 'f', 'i', 'l', 'e', 0, 0 };
        const std::vector<std::uint8_t> packed = deflated(profile);
        iccp.insert(iccp.end(), packed.begin(), packed.end());
        putPngChunk(png, "iCCP", iccp);
    }
    std::vector<std::uint8_t> rows;
    for (std::int32_t y = 0; y < image.height; ++y) {
        rows.push_back(0); // no filter
        for (std::int32_t x = 0; x < image.width; ++x) {
            const std::uint8_t *p = image.row(y) + x * 3;
            rows.insert(rows.end(), { p[2], p[1], p[0] });
        }
    }
    putPngChunk(png, "IDAT", deflated(rows));
    putPngChunk(png, "IEND", {});
    return png;
}

std::vector<std::uint8_t> IccSegment(const std::vector<std::uint8_t> &profile)
{
    // The signature, then this segment's number and the number of segments, both 1.
    std::vector<std::uint8_t> contents = { 'I', 'C', 'C', '_', 'P', 'R', 'O',
                                           'F', 'I', 'L', 'E', 0,   1,   1 };
    contents.insert(contents.end(), profile.begin(), profile.end());
    return contents;
}

#ifdef VISTREL_HAVE_WEBP
namespace {

// The VP8L chunk of a lossless encoding of image.
std::vector<std::uint8_t> losslessChunk(const ImageBuffer &image)
{
    std::uint8_t *encoded = nullptr;
    const std::size_t size = WebPEncodeLosslessBGR(image.pixels, image.width, image.height,
                                                   static_cast<int>(image.stride()), &encoded);
    // The simple file is the RIFF header and then this chunk.
    std::vector<std::uint8_t> chunk(encoded + 12, encoded + size);
    WebPFree(encoded);
    return chunk;
}

std::vector<std::uint8_t> riff(const std::vector<std::uint8_t> &body)
{
    std::vector<std::uint8_t> file = { 'R', 'I', 'F', 'F' };
    Put32(file, static_cast<std::uint32_t>(body.size() + 4));
    file.insert(file.end(), { 'W', 'E', 'B', 'P' });
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

std::vector<std::uint8_t> extendedHeader(std::uint8_t flags, std::int32_t width,
                                         std::int32_t height)
{
    std::vector<std::uint8_t> vp8x = { flags, 0, 0, 0 };
    PutLittleEndian(vp8x, static_cast<std::uint32_t>(width - 1), 3);
    PutLittleEndian(vp8x, static_cast<std::uint32_t>(height - 1), 3);
    std::vector<std::uint8_t> chunk;
    putChunk(chunk, "VP8X", vp8x.data(), vp8x.size());
    return chunk;
}

} // namespace

std::vector<std::uint8_t> AnimatedWebp(std::int32_t width, std::int32_t height,
                                       const std::vector<WebpFrame> &frames)
{
    std::vector<std::uint8_t> body = extendedHeader(0x02, width, height);
    const std::uint8_t anim[] = { 0, 0, 0, 0, 0, 0 }; // transparent background, endless loop
    putChunk(body, "ANIM", anim, sizeof anim);
    for (const WebpFrame &frame : frames) {
        std::vector<std::uint8_t> anmf;
        PutLittleEndian(anmf, static_cast<std::uint32_t>(frame.x / 2), 3);
        PutLittleEndian(anmf, static_cast<std::uint32_t>(frame.y / 2), 3);
        PutLittleEndian(anmf, static_cast<std::uint32_t>(frame.image->width - 1), 3);
        PutLittleEndian(anmf, static_cast<std::uint32_t>(frame.image->height - 1), 3);
        PutLittleEndian(anmf, static_cast<std::uint32_t>(frame.duration), 3);
        anmf.push_back(frame.blend ? 0 : 2);
        const std::vector<std::uint8_t> data = losslessChunk(*frame.image);
        anmf.insert(anmf.end(), data.begin(), data.end());
        putChunk(body, "ANMF", anmf.data(), anmf.size());
    }
    return riff(body);
}

std::vector<std::uint8_t> WebpWithChunks(const ImageBuffer &image,
                                         const std::vector<std::uint8_t> &exif,
                                         const std::vector<std::uint8_t> &iccProfile)
{
    const auto flags =
            static_cast<std::uint8_t>((iccProfile.empty() ? 0 : 0x20) | (exif.empty() ? 0 : 0x08));
    std::vector<std::uint8_t> body = extendedHeader(flags, image.width, image.height);
    if (!iccProfile.empty())
        putChunk(body, "ICCP", iccProfile.data(), iccProfile.size());
    const std::vector<std::uint8_t> data = losslessChunk(image);
    body.insert(body.end(), data.begin(), data.end());
    if (!exif.empty())
        putChunk(body, "EXIF", exif.data(), exif.size());
    return riff(body);
}
#endif

bool HaveProgram(const std::string &name)
{
    return RunCommand("command -v " + name + " >/dev/null 2>&1").status == 0;
}

namespace {

std::uint8_t over(int colour, int background, int alpha)
{
    return static_cast<std::uint8_t>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

// A binary PAM (P7) of RGB or RGB_ALPHA tuples, alpha laid over background.
bool readPam(const std::string &path, RgbValue background, RgbPicture &picture)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    const std::size_t end = text.find("ENDHDR\n");
    if (text.rfind("P7\n", 0) != 0 || end == std::string::npos)
        return false;
    int width = 0, height = 0, depth = 0;
    std::sscanf(text.c_str() + text.find("WIDTH"), "WIDTH %d", &width);
    std::sscanf(text.c_str() + text.find("HEIGHT"), "HEIGHT %d", &height);
    std::sscanf(text.c_str() + text.find("DEPTH"), "DEPTH %d", &depth);
    const std::size_t first = end + 7;
    if (width <= 0 || height <= 0 || (depth != 3 && depth != 4)
        || bytes.size() < first + static_cast<std::size_t>(width) * height * depth)
        return false;
    picture = RgbPicture{ width, height, {} };
    const std::uint8_t back[3] = { RedOf(background), GreenOf(background), BlueOf(background) };
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        const std::uint8_t *p = &bytes[first + i * depth];
        for (int c = 0; c < 3; ++c)
            picture.rgb.push_back(depth == 4 ? over(p[c], back[c], p[3]) : p[c]);
    }
    return true;
}

} // namespace

bool ReferenceDecode(const std::string &tool, const std::string &file,
                     const std::string &scratchDir, RgbValue background, RgbPicture &picture)
{
    if (!HaveProgram(tool))
        return false;
    const std::string pam = scratchDir + "/reference.pam";
    std::string command;
    if (tool == "dwebp")
        command = "dwebp -quiet -pam '" + file + "' -o '" + pam + "'";
    else if (tool == "heif-convert")
        command = "heif-convert '" + file + "' '" + scratchDir + "/reference.png'";
    else
        command = "avifdec '" + file + "' '" + scratchDir + "/reference.png'";
    if (tool != "dwebp")
        // PNG to PAM through the WebP tools' reader would need them too; Python's image library
        // is what the test data scripts use already.
        command += " && /usr/bin/python3 -c \"import sys; from PIL import Image; "
                   "i = Image.open(sys.argv[1]).convert('RGBA'); "
                   "open(sys.argv[2], 'wb').write(b'P7\\\\nWIDTH %d\\\\nHEIGHT %d\\\\nDEPTH 4\\\\n"
                   "MAXVAL 255\\\\nTUPLTYPE RGB_ALPHA\\\\nENDHDR\\\\n' % i.size + i.tobytes())\" '"
                + scratchDir + "/reference.png' '" + pam + "'";
    if (RunCommand(command + " >/dev/null 2>&1").status != 0)
        return false;
    return readPam(pam, background, picture);
}
