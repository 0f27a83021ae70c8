// Text entries of PNG files: written by the writer, read back by the reader.
#include "codecs/png_codec.h"
#include "codecs/png_writer.h"
#include "common/alb_exception.h"

#include <gtest/gtest.h>

namespace {

// A one-pixel PNG with the text entries.
std::vector<std::uint8_t> greyPixel(const PngText *text)
{
    static const std::uint8_t pixels[4] = { 10, 20, 30, 0 };
    PngWriter writer;
    writer.text = text;
    return writer.encode(PixelSpan::Padded(pixels, 1, 1, 0));
}

TEST(PngText, EntriesRoundTripInOrderWithTheirBytes)
{
    const PngText written = {
        { "Thumb::URI", "file:///a%20b/c.png" },
        { "Thumb::MTime", "1700000000" },
        { "Software", "" },
        { "Comment", "two\nlines and \xe9" },
    };
    const std::vector<std::uint8_t> bytes = greyPixel(&written);
    MemoryImageStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    PngCodec codec;
    ImageHeader header;
    codec.readInfo(stream, header);
    ASSERT_EQ(codec.textEntries().size(), written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(codec.textEntries()[i].key, written[i].key);
        EXPECT_EQ(codec.textEntries()[i].text, written[i].text);
    }
    EXPECT_EQ(FindPngText(codec.textEntries(), "Thumb::MTime"), "1700000000");
    EXPECT_EQ(FindPngText(codec.textEntries(), "Thumb::Size"), std::nullopt);
}

TEST(PngText, KeywordsThePngLayoutForbidsAreRefused)
{
    for (const std::string &key :
         { std::string(), std::string(80, 'k'), std::string(" lead"), std::string("trail ") }) {
        const PngText text = { { key, "x" } };
        EXPECT_THROW(greyPixel(&text), CAlbException) << '"' << key << '"';
    }
}

} // namespace
