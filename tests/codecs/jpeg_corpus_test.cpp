// Every public JPEG test picture, decoded at full size with the library's defaults: what the
// reference decoder (djpeg of the same library) decoded must come out identical; what it refused
// must fail with the reader's own exception.
#include "codecs/image_stream.h"
#include "codecs/jpeg_codec.h"
#include "codecs/mapped_file_stream.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/corpus_files.h"
#include "tests/support/sha256.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <set>

namespace {

std::vector<CorpusFile> corpusFiles()
{
    return CorpusFiles([](const std::string &relative) {
        return HasExtensionIgnoringCase(relative, { ".jpg", ".jpeg" });
    });
}

// The reference of a four-component file went through its writer's conversion, in which each of
// the first three channels is scaled by the fourth (c x k / 255, rounded). Ours takes the first
// three as they are, so each reference pixel must be ours scaled by one common k.
std::string compareFourComponents(const std::string &relative,
                                  const std::vector<std::uint8_t> &ours)
{
    RgbPicture reference;
    if (!ReadPpm(ReferencePpmPath(relative), reference))
        return "no reference picture";
    if (reference.rgb.size() != ours.size())
        return "size differs";
    for (std::size_t i = 0; i < ours.size(); i += 3) {
        bool found = false;
        for (int k = 0; k <= 255 && !found; ++k) {
            found = true;
            for (std::size_t c = 0; c < 3 && found; ++c)
                found = static_cast<int>(ours[i + c] * k / 255.0 + 0.5) == reference.rgb[i + c];
        }
        if (!found)
            return "pixel " + std::to_string(i / 3) + " is no scaling of ours";
    }
    return {};
}

struct Outcome
{
    bool decoded = false;
    std::uint32_t messageId = 0;
    std::string failure;
    ImageBuffer image;
};

// Decodes a file, or its bytes with end markers added when withEndMarker is set.
Outcome decode(const std::string &relative, bool withEndMarker)
{
    Outcome outcome;
    const std::string path = (TestDataRoot() / relative).string();
    try {
        JpegCodec codec;
        codec.asStored = true;
        ImageInfo info;
        FrameArray frames;
        if (withEndMarker) {
            std::vector<std::uint8_t> bytes = ReadBytes(path);
            // The reference's source gives an end marker each time it is asked for more.
            for (int i = 0; i < 16; ++i)
                bytes.insert(bytes.end(), { 0xFF, 0xD9 });
            MemoryImageStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
            codec.decodeFrames(stream, info, frames, 100);
        } else {
            MappedFileStream stream;
            stream.open(path);
            codec.decodeFrames(stream, info, frames, 100);
        }
        outcome.image = std::move(frames.at(0)->image);
        outcome.decoded = true;
    } catch (const CAlbException &e) {
        outcome.messageId = e.messageId;
        outcome.failure = e.what();
    } catch (const CAlbExceptionBase &e) {
        outcome.failure = e.what();
    }
    return outcome;
}

// What is wrong with a decoded picture compared with the reference, or "".
std::string mismatch(const ReferenceRow &row, const ImageBuffer &image)
{
    if (image.width != row.width || image.height != row.height)
        return "size " + std::to_string(image.width) + "x" + std::to_string(image.height);
    const std::vector<std::uint8_t> ours = PackedRgb(image);
    if (row.detail("components") == "4")
        return compareFourComponents(row.path, ours);
    return Sha256Hex(ours) == row.sha256 ? "" : "checksum differs";
}

// Files the reference refused that this reader decodes: the fault (a broken marker, a second
// frame header) lies after the picture's last scanline, and the reader stops reading there
// instead of looking for the end marker.
const std::set<std::string> faultAfterThePicture = {
    "jpeg-decoder/fuzz-afl-in/id_000182,src_000000,op_flip1,pos_503,+cov.jpg",
    "jpeg-decoder/fuzz-afl-in/id_000223,src_000000,op_flip2,pos_503,+cov.jpg",
    "jpeg-decoder/fuzz-afl-in/id_000831,sync_jpeg9,src_000903.jpg",
    "jpeg-decoder/fuzz-afl-in/id_000903,src_000177,op_havoc,rep_2.jpg",
    "jpeg-decoder/fuzz-afl-in/id_001427,src_000319,op_havoc,rep_1.jpg",
    "jpeg-decoder/fuzz-afl-in/id_001458,src_000531,op_flip4,pos_287.jpg",
    "jpeg-decoder/fuzz-afl-in/id_001655,src_001333,op_flip2,pos_455.jpg",
};

// Files whose header claims more pixels than a picture store may hold: refused as "Not enough
// memory." before the library gets to the fault the reference stopped at.
const std::set<std::string> tooLargeForAStore = {
    "jpeg-decoder/fuzz-afl-in/id_001411,src_000636,op_flip4,pos_165,+cov.jpg", // 61472 x 32800
};

class JpegCorpus : public testing::TestWithParam<CorpusFile>
{ };

TEST_P(JpegCorpus, MatchesTheReferenceOrFailsCleanly)
{
    const std::string &relative = GetParam().path;
    const Outcome outcome = decode(relative, false);
    const auto &index = ReferenceIndex();
    const auto found = index.find(relative);
    if (found == index.end()) {
        // No reference: decoding and failing with the program's exception are both fine.
        EXPECT_TRUE(outcome.decoded || outcome.messageId != 0) << outcome.failure;
        return;
    }
    const ReferenceRow &row = found->second;
    if (!row.decoded()) {
        if (faultAfterThePicture.count(relative)) {
            EXPECT_TRUE(outcome.decoded) << outcome.failure;
            return;
        }
        EXPECT_FALSE(outcome.decoded) << "the reference refused it";
        EXPECT_EQ(outcome.messageId,
                  tooLargeForAStore.count(relative) ? Msg::NotEnoughMemory : Msg::InvalidFormat)
                << outcome.failure;
        return;
    }
    if (outcome.decoded) {
        EXPECT_EQ(mismatch(row, outcome.image), "");
        return;
    }
    // The file ends early. The reference's source made up end markers where the data ran out
    // and showed what it had; this reader takes the missing part for an error. With those end
    // markers in the file, it must show the same picture.
    EXPECT_EQ(outcome.messageId, Msg::InvalidFormat) << outcome.failure;
    EXPECT_EQ(row.status, "ok-warn") << "the reference decoded it without a warning";
    const Outcome ended = decode(relative, true);
    ASSERT_TRUE(ended.decoded) << "with an end marker: " << ended.failure;
    EXPECT_EQ(mismatch(row, ended.image), "");
}

// The thumbnail path trades accuracy for speed: fast integer DCT and plain upsampling, which
// djpeg offers as well. Progressive files are left out: ours also turns block smoothing off,
// which djpeg cannot.
class JpegCorpusFast : public testing::TestWithParam<CorpusFile>
{ };

// Sequential files of 1 or 3 components that the reference decoded without a warning.
std::vector<CorpusFile> cleanSequentialFiles()
{
    std::vector<CorpusFile> files = corpusFiles();
    const auto &index = ReferenceIndex();
    std::erase_if(files, [&](const CorpusFile &file) {
        const auto found = index.find(file.path);
        return found == index.end() || found->second.status != "ok"
                || found->second.detail("components") == "4"
                || found->second.detail("sof").find("progressive") != std::string::npos;
    });
    return files;
}

TEST_P(JpegCorpusFast, DecodeMatchesDjpegWithTheSameSettings)
{
    if (std::system("command -v djpeg >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "djpeg is not installed";
    const std::string path = (TestDataRoot() / GetParam().path).string();
    TempDir dir;
    const std::string command = "djpeg -dct fast -nosmooth -rgb -outfile '" + dir.file("fast.ppm")
            + "' '" + path + "' 2>/dev/null";
    RgbPicture reference;
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(ReadPpm(dir.file("fast.ppm"), reference));
    ImageBuffer fast;
    JpegCodec codec;
    codec.asStored = true;
    codec.decodeFirstFrameFromFile(path, &fast, reference.width, reference.height);
    ASSERT_EQ(fast.width, reference.width);
    ASSERT_EQ(fast.height, reference.height);
    EXPECT_TRUE(PackedRgb(fast) == reference.rgb);
}

INSTANTIATE_TEST_SUITE_P(All, JpegCorpus, testing::ValuesIn(corpusFiles()), CorpusTestName);
INSTANTIATE_TEST_SUITE_P(Sequential, JpegCorpusFast, testing::ValuesIn(cleanSequentialFiles()),
                         CorpusTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(JpegCorpus);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(JpegCorpusFast);

} // namespace
