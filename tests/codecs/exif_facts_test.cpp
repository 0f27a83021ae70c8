// A photo's EXIF facts: read as written, and nothing at all from a block that is cut short or
// malformed, or from a file without one.
#include "codecs/exif_facts.h"

#include "codecs/exif_layout.h"
#include "codecs/jpeg_writer.h"
#include "tests/support/byte_writer.h"
#include "tests/support/exif_jpeg.h"
#include "tests/support/temp_dir.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// A little-endian TIFF block with one directory of the given entries (tag, type, count, value).
Bytes tiffBlock(const std::vector<std::array<std::uint32_t, 4>> &entries, std::size_t extra = 0)
{
    Bytes block = { 'I', 'I', 42, 0, 8, 0, 0, 0 };
    PutLittleEndian(block, static_cast<std::uint32_t>(entries.size()), 2);
    for (const auto &[tag, type, count, value] : entries) {
        PutLittleEndian(block, tag, 2);
        PutLittleEndian(block, type, 2);
        PutLittleEndian(block, count, 4);
        PutLittleEndian(block, value, 4);
    }
    PutLittleEndian(block, 0, 4);
    block.resize(block.size() + extra);
    return block;
}

TEST(ExifFacts, ReadsTheKnownTagsOfAPhoto)
{
    TempDir dir;
    const std::string photo = dir.file("photo.jpg");
    ASSERT_TRUE(WriteExifJpeg(photo, 64, 48));
    EXPECT_EQ(ReadExifFacts(photo), KnownExifFacts());
}

TEST(ExifFacts, EveryCutOfTheBlockReadsAsNothing)
{
    TempDir dir;
    const std::string whole = dir.file("whole.jpg");
    ASSERT_TRUE(WriteExifJpeg(whole, 16, 16));
    const Bytes original = ReadBytes(whole);
    // The segment's length is the two bytes after FF E1.
    std::size_t segment = 0;
    for (std::size_t i = 2; i + 3 < original.size() && !segment; ++i)
        segment = original[i] == 0xFF && original[i + 1] == 0xE1 ? i : 0;
    ASSERT_NE(segment, 0u);
    const std::size_t contents = ((original[segment + 2] << 8) | original[segment + 3]) - 2u;

    const std::string cut = dir.file("cut.jpg");
    for (std::size_t keep = 0; keep < contents; ++keep) {
        WriteBytes(cut, original);
        ASSERT_TRUE(TruncateExifSegment(cut, keep));
        EXPECT_TRUE(ReadExifFacts(cut).empty()) << "kept " << keep << " of " << contents;
    }
}

TEST(ExifFacts, FilesWithoutABlockHaveNoFacts)
{
    TempDir dir;
    const std::string plain = dir.file("plain.jpg");
    std::vector<std::uint8_t> pixels(8 * 8 * 3, 0x40);
    JpegWriter writer;
    writer.write(plain, PixelSpan::Padded(pixels.data(), 8, 8, 0));
    WriteBytes(dir.file("text.jpg"), { 'n', 'o', 't', ' ', 'a', ' ', 'p', 'h', 'o', 't', 'o' });

    for (const std::string &file : { plain, dir.file("text.jpg"), dir.file("missing.jpg") })
        EXPECT_TRUE(ReadExifFacts(file).empty()) << file;
}

TEST(ExifFacts, LayoutCheckRefusesBlocksThatPointOutside)
{
    constexpr std::uint32_t kAscii = 2, kLong = 4, kRational = 5;
    constexpr std::uint32_t kMake = 0x010F, kExif = 0x8769, kExposure = 0x829A;
    const Bytes make = tiffBlock({ { kMake, kAscii, 5, 26 } }, 5);
    Bytes exifHeader = { 'E', 'x', 'i', 'f', 0, 0 };
    exifHeader.insert(exifHeader.end(), make.begin(), make.end());
    Bytes bigEndian = make;
    bigEndian[0] = bigEndian[1] = 'M';

    struct Row
    {
        const char *label;
        Bytes block;
        bool intact;
    } rows[] = {
        { "value inside", make, true },
        { "led by the EXIF header", exifHeader, true },
        { "value one byte past the end", tiffBlock({ { kMake, kAscii, 5, 26 } }, 4), false },
        { "small value held in the entry", tiffBlock({ { kMake, kAscii, 4, 0 } }), true },
        { "sub-directory past the end", tiffBlock({ { kExif, kLong, 1, 4000 } }), false },
        { "sub-directory pointing at itself", tiffBlock({ { kExif, kLong, 1, 8 } }), false },
        { "rational count overflowing", tiffBlock({ { kExposure, kRational, 0x40000000, 8 } }),
          false },
        { "big-endian mark over little-endian numbers", bigEndian, false },
        { "too short for a header", Bytes{ 'I', 'I', 42, 0 }, false },
        { "empty", Bytes{}, false },
    };

    for (const Row &row : rows)
        EXPECT_EQ(ExifLayoutIntact(row.block.data(), row.block.size()), row.intact) << row.label;
}

} // namespace
