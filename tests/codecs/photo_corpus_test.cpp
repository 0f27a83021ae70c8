// The WebP, HEIF and AVIF pictures kept with the tests, decoded whole through the reader the
// album uses, against the decoders their libraries ship (dwebp, heif-convert): what those decode
// must come out the same, alpha laid over the picture background; what they refuse must fail
// with the reader's own exception. A file cut short anywhere fails cleanly too.
#include "codecs/detecting_codec.h"
#include "codecs/image_description.h"
#include "codecs/picture_background.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/failure_location.h"
#include "tests/support/photo_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

struct Corpus
{
    const char *folder;
    const char *extension;
    const char *tool;
    std::uint32_t module;
};

// The largest difference of one channel between our decode and the reference.
int largestDifference(const std::vector<std::uint8_t> &ours,
                      const std::vector<std::uint8_t> &theirs)
{
    int largest = 0;
    for (std::size_t i = 0; i < ours.size(); ++i)
        largest = std::max(largest, std::abs(int{ ours[i] } - int{ theirs[i] }));
    return largest;
}

void checkCorpus(const Corpus &corpus)
{
    if (!HaveProgram(corpus.tool))
        GTEST_SKIP() << corpus.tool << " is not installed";
    TempDir scratch;
    const auto files = FilesWithExtension(TestFilesRoot() / corpus.folder, corpus.extension);
    ASSERT_FALSE(files.empty());
    int compared = 0;
    for (const auto &file : files) {
        SCOPED_TRACE(file.filename().string());
        RgbPicture reference;
        const bool referenced = ReferenceDecode(corpus.tool, file.string(), scratch.path().string(),
                                                PictureBackground(), reference);
        ImageInfo info;
        FrameArray frames;
        const FailureLocation failure = FailureOf([&] {
            DetectingCodec().decodeFramesFromFile(file.string(), &info, &frames, nullptr, nullptr);
        });
        if (!referenced) {
            EXPECT_EQ(failure.id, Msg::InvalidFormat);
            EXPECT_EQ(failure.module, corpus.module);
            continue;
        }
        ASSERT_EQ(failure, FailureLocation{});
        ASSERT_EQ(Size({ frames[0]->image.width, frames[0]->image.height }),
                  Size({ reference.width, reference.height }));
        // Colours the program converts from a profile are not the reference's. A lossless file
        // whose palette indices run past its palette decodes those pixels as transparent black;
        // the file states no alpha, so the program shows them black and opaque, where the
        // reference's alpha channel lays them over the background.
        const std::string name = file.filename().string();
        if (name.find("_p3") == std::string::npos && name != "bad_palette_index.webp") {
            EXPECT_LE(largestDifference(PackedRgb(frames[0]->image), reference.rgb), 1);
            ++compared;
        }
    }
    EXPECT_GT(compared, 0);
}

// Every length of a file's first kilobyte, and halves of the rest, must fail cleanly or decode.
void checkCutShort(const std::string &path, std::uint32_t module)
{
    const std::vector<std::uint8_t> whole = ReadBytes(path);
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n < std::min<std::size_t>(whole.size(), 1024); n += 7)
        lengths.push_back(n);
    for (std::size_t n = 1024; n < whole.size(); n = n * 3 / 2)
        lengths.push_back(n);
    for (std::size_t n : lengths) {
        MemoryImageStream stream(whole.data(), static_cast<std::int64_t>(n));
        ImageBuffer image;
        const FailureLocation failure =
                FailureOf([&] { DetectingCodec().decodeFirstFrame(stream, image, 40, 40); });
        if (failure.id == 0)
            continue;
        EXPECT_TRUE(failure.id == Msg::InvalidFormat || failure.id == Msg::UnsupportedFormat)
                << n << " bytes: " << failure;
        EXPECT_TRUE(failure.module == module || failure.module == Module::FormatDetection)
                << n << " bytes: " << failure;
    }
}

#ifdef VISTREL_HAVE_WEBP
TEST(PhotoCorpus, WebpMatchesDwebp)
{
    checkCorpus({ "webp", ".webp", "dwebp", Module::WebpReader });
}

TEST(PhotoCorpus, WebpCutShortFailsCleanly)
{
    checkCutShort((TestFilesRoot() / "webp" / "lossy_alpha3.webp").string(), Module::WebpReader);
    checkCutShort((TestFilesRoot() / "webp" / "lossless_vec_2_1.webp").string(),
                  Module::WebpReader);
}
#endif

#ifdef VISTREL_HAVE_HEIF
TEST(PhotoCorpus, HeifAndAvifMatchHeifConvert)
{
    checkCorpus({ "heif", "", "heif-convert", Module::HeifReader });
}

TEST(PhotoCorpus, HeifAndAvifCutShortFailCleanly)
{
    checkCutShort((TestFilesRoot() / "heif" / "quarters_alpha.heic").string(), Module::HeifReader);
    checkCutShort((TestFilesRoot() / "heif" / "quarters_turned.avif").string(), Module::HeifReader);
}

// The facts the information sheet and `vistrel-cli info` show: the format's name, the picture as
// it is shown (the turned file stands on end), true colour, one frame.
TEST(PhotoCorpus, HeifFacts)
{
    const struct
    {
        const char *file;
        const char *format;
        Size size;
    } rows[] = {
        { "quarters.heic", "HEIF", { 64, 48 } },
        { "quarters_alpha.avif", "AVIF", { 64, 48 } },
        { "quarters_turned.avif", "AVIF", { 48, 64 } },
    };

    for (const auto &row : rows) {
        ImageInfo info;
        LoadImageInfo((TestFilesRoot() / "heif" / row.file).string(), info);
        EXPECT_STREQ(FormatName(info.format), row.format);
        EXPECT_EQ(Size({ info.width, info.height }), row.size);
        EXPECT_EQ(ShownColourText(info, nullptr), "16777216");
        EXPECT_EQ(info.frameCount, 1);
    }
}
#endif

} // namespace
