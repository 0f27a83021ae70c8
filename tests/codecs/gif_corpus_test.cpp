// Every public GIF test picture: what an independent decoder read must decode to exactly its
// first frame's pixels; what it refused must fail with the program's own exception or decode
// without a memory fault (the sanitizer build watches for those).
#include "codecs/detecting_codec.h"
#include "codecs/mapped_file_stream.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/corpus_files.h"
#include "tests/support/sha256.h"
#include "tests/support/test_files.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>

namespace {

// Every *.gif of the test data whose reference decoder read it (decoded) or refused it.
std::vector<CorpusFile> gifFiles(bool decoded)
{
    return CorpusFiles([decoded](const std::string &relative) {
        if (!HasExtensionIgnoringCase(relative, { ".gif" }))
            return false;
        const auto row = ReferenceIndex().find(relative);
        const bool refDecoded = row != ReferenceIndex().end() && row->second.decoded();
        return refDecoded == decoded;
    });
}

// Packed red, green, blue rows of a 1-byte image through its palette; with indices set, each
// index as a grey (what the reference makes of a file without any colour table).
std::vector<std::uint8_t> packedRgb(const ImageBuffer &image, bool indices)
{
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(image.width) * image.height * 3);
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t *p = image.row(y);
        for (std::int32_t x = 0; x < image.width; ++x) {
            if (indices) {
                rgb.insert(rgb.end(), { p[x], p[x], p[x] });
                continue;
            }
            const PaletteEntry &e = image.palette->entries[p[x]];
            rgb.insert(rgb.end(), { e.red, e.green, e.blue });
        }
    }
    return rgb;
}

// Where the first difference from the reference picture is, to make a mismatch readable.
std::string firstDifference(const std::string &relative, const std::vector<std::uint8_t> &ours)
{
    RgbPicture reference;
    if (!ReadPpm(ReferencePpmPath(relative), reference) || reference.rgb.size() != ours.size())
        return {};
    std::size_t differing = 0, first = 0;
    for (std::size_t i = 0; i < ours.size(); ++i)
        if (ours[i] != reference.rgb[i] && differing++ == 0)
            first = i;
    return ": " + std::to_string(differing) + " samples differ, first at pixel "
            + std::to_string(first / 3);
}

class GifCorpusDecoded : public testing::TestWithParam<CorpusFile>
{ };

class GifCorpusRefused : public testing::TestWithParam<CorpusFile>
{ };

TEST_P(GifCorpusDecoded, FirstFrameMatchesTheReference)
{
    const std::string relative = GetParam().path;
    const ReferenceRow &reference = ReferenceIndex().at(relative);
    ImageInfo info;
    FrameArray frames;
    ASSERT_NO_THROW(DetectingCodec().decodeFramesFromFile((TestDataRoot() / relative).string(),
                                                          &info, &frames, nullptr, nullptr));
    EXPECT_EQ(info.format, static_cast<std::int32_t>(ImageFormat::Gif));
    // Two pictures glued together: the second one's signature is a block of no known kind after
    // the first image, where this reader ends its scan; the reference reads on.
    const bool glued = relative == "pillow/test_extents_transparency.gif";
    const std::string frameCount = reference.detail("frames");
    if (!frameCount.empty() && !glued) {
        EXPECT_EQ(std::to_string(info.frameCount), frameCount);
    }

    // The reference decodes the first frame's own rectangle, as the all-frames path does.
    const ImageBuffer &image = frames.at(0)->image;
    ASSERT_EQ(image.width, reference.width);
    ASSERT_EQ(image.height, reference.height);
    const bool noColourTable = reference.detail("palette") == "none";
    const std::vector<std::uint8_t> ours = packedRgb(image, noColourTable);
    EXPECT_EQ(Sha256Hex(ours), reference.sha256) << firstDifference(relative, ours);
}

TEST_P(GifCorpusRefused, FailsCleanlyOrDecodes)
{
    const std::string path = (TestDataRoot() / GetParam().path).string();
    // Either outcome is a correct answer; a crash or a sanitizer report is not.
    try {
        ImageInfo info;
        FrameArray frames;
        DetectingCodec().decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    } catch (const CAlbExceptionBase &) { }
    try {
        ImageBuffer thumbnail;
        DetectingCodec().decodeFirstFrameFromFile(path, &thumbnail, 57, 41);
    } catch (const CAlbExceptionBase &) { }
}

TEST(GifCorpus, BrokenFilesFailWithTheirMessage)
{
    if (TestDataRoot().empty())
        GTEST_SKIP() << "no test data";

    struct Case
    {
        const char *file;
        std::uint32_t id, place, step;
    };

    const Case cases[] = {
        { "wuffs/artificial-gif/no-frames.gif", Msg::InvalidFormat, 33, 32 },
        { "wuffs/hippopotamus.interlaced.truncated.gif", Msg::PastFileEnd, 0, 0 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        ImageInfo info;
        FrameArray frames;
        try {
            DetectingCodec().decodeFramesFromFile((TestDataRoot() / c.file).string(), &info,
                                                  &frames, nullptr, nullptr);
            ADD_FAILURE() << "decoded";
        } catch (const CAlbException &e) {
            EXPECT_EQ(e.messageId, c.id);
            EXPECT_EQ(e.module, c.place ? Module::GifReader : 0u);
            EXPECT_EQ(e.place, c.place);
            EXPECT_EQ(e.step, c.step);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Gif, GifCorpusDecoded, testing::ValuesIn(gifFiles(true)), CorpusTestName);
INSTANTIATE_TEST_SUITE_P(Gif, GifCorpusRefused, testing::ValuesIn(gifFiles(false)), CorpusTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GifCorpusDecoded);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GifCorpusRefused);

} // namespace
