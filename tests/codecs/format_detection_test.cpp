#include "codecs/format_detection.h"

#include "codecs/detecting_codec.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const std::string &text, std::size_t size = 0)
{
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    if (bytes.size() < size)
        bytes.resize(size, 0xAA);
    return bytes;
}

std::vector<std::uint8_t> withAt(std::vector<std::uint8_t> bytes, std::size_t at,
                                 const std::string &text)
{
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
}

TEST(FormatDetection, MagicNumbersInOrder)
{
    using std::string;
    std::vector<std::uint8_t> pictPreamble(600, 0);

    struct Case
    {
        const char *name;
        std::vector<std::uint8_t> bytes;
        ImageFormat expected;
    };

    const std::vector<Case> cases = {
        { "empty", {}, ImageFormat::Unknown },
        { "bmp", bytesOf("BM"), ImageFormat::Bmp },
        { "tiff le", bytesOf(string("II\x2A\0", 4)), ImageFormat::Tiff },
        { "tiff be", bytesOf(string("MM\0\x2A", 4)), ImageFormat::Tiff },
        { "gif", bytesOf("GIF89a"), ImageFormat::Gif },
        { "gif before pict",
          withAt(withAt(pictPreamble, 0, "GIF8"), 522, string("\0\x11\x02\xFF", 4)),
          ImageFormat::Gif },
        { "pict v2", withAt(pictPreamble, 522, string("\0\x11\x02\xFF", 4)), ImageFormat::Pict },
        { "pict v1", withAt(pictPreamble, 522, string("\0\x11\x01", 3)), ImageFormat::Pict },
        { "pict other", withAt(pictPreamble, 522, string("\x11\x01\x01\0", 4)), ImageFormat::Pict },
        { "pict too short", withAt(std::vector<std::uint8_t>(540, 0), 522, string("\0\x11\x01", 3)),
          ImageFormat::Unknown },
        { "pict before jpeg",
          withAt(withAt(pictPreamble, 0, "\xFF\xD8\xFF"), 522, string("\0\x11\x01", 3)),
          ImageFormat::Pict },
        { "jpeg", bytesOf("\xFF\xD8\xFF\xE0"), ImageFormat::Jpeg },
        { "png", bytesOf("\x89PNG\r\n"), ImageFormat::Png },
        { "webp", bytesOf(string("RIFF\x10\0\0\0WEBPVP8L", 16)), ImageFormat::Webp },
        { "riff of another kind", bytesOf(string("RIFF\x10\0\0\0WAVEfmt ", 16)),
          ImageFormat::Unknown },
        // An ISO media file's type box: size, "ftyp", major brand, minor version, compatible
        // brands within the box's size.
        { "heic",
          bytesOf(string("\0\0\0\x18"
                         "ftypheic\0\0\0\0mif1heic",
                         24)),
          ImageFormat::Heif },
        { "heif by a compatible brand",
          bytesOf(string("\0\0\0\x14"
                         "ftypisom\0\0\0\0mif1",
                         20)),
          ImageFormat::Heif },
        { "avif among heif brands",
          bytesOf(string("\0\0\0\x1C"
                         "ftypmif1\0\0\0\0mif1miafavif",
                         28)),
          ImageFormat::Avif },
        { "brand past the box",
          bytesOf(string("\0\0\0\x10"
                         "ftypisom\0\0\0\0avif",
                         20)),
          ImageFormat::Unknown },
        { "video",
          bytesOf(string("\0\0\0\x14"
                         "ftypisom\0\0\0\0mp41",
                         20)),
          ImageFormat::Unknown },
        { "eps",
          withAt(withAt(bytesOf(string("\xC5\xD0\xD3\xC6", 4), 32), 20, "\1\0\0\0"), 24,
                 "\2\0\0\0"),
          ImageFormat::Eps },
        { "eps without preview", bytesOf(string("\xC5\xD0\xD3\xC6", 4) + string(28, '\0')),
          ImageFormat::Unknown },
        { "pcx", bytesOf(string("\x0A\x05\x01", 3)), ImageFormat::Pcx },
        { "pgm", bytesOf("P5\n"), ImageFormat::Pgm },
        { "ascii pgm", bytesOf("P2\n"), ImageFormat::Pgm },
        { "ppm", bytesOf("P6\n"), ImageFormat::Unknown },
        { "text", bytesOf("hello"), ImageFormat::Unknown },
        { "one byte", bytesOf("B"), ImageFormat::Unknown },
    };
    for (const auto &c : cases) {
        MemoryImageStream stream(c.bytes.data(), static_cast<std::int64_t>(c.bytes.size()));
        if (!c.bytes.empty())
            stream.read(1);
        EXPECT_EQ(detectFormat(stream), c.expected) << c.name;
        EXPECT_EQ(stream.position(), c.bytes.empty() ? 0 : 1) << c.name << ": position kept";
    }
}

TEST(DetectingCodec, RecognisedButUnreadFormatsAreUnsupported)
{
    using namespace std::string_literals;
    for (const std::string &magic : { "\x0A\x05\x01"s, "II*\0"s, "P5 1 1 255\n"s, "??"s }) {
        auto bytes = bytesOf(magic, 64);
        MemoryImageStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        DetectingCodec codec;
        ImageHeader header;
        try {
            codec.readInfo(stream, header);
            FAIL() << magic;
        } catch (const CAlbException &e) {
            EXPECT_EQ(e.messageId, Msg::UnsupportedFormat);
            EXPECT_EQ(e.module, 38000u);
            EXPECT_EQ(e.place, 39u);
            EXPECT_EQ(e.step, 101u);
        }
    }
}

TEST(DetectingCodec, FramePrimitivesNeedADetectedCodec)
{
    DetectingCodec codec;
    MemoryImageStream stream(nullptr, 0);
    FrameHeader frame;
    for (int which = 0; which < 2; ++which) {
        try {
            if (which == 0)
                codec.readFrameHeader(stream, frame, 0);
            else
                codec.decodeFrame(stream, frame, 0, false);
            FAIL();
        } catch (const CAlbException &e) {
            EXPECT_EQ(e.messageId, Msg::InternalError);
            EXPECT_EQ(e.module, 38000u);
        }
    }
}

} // namespace
