// Every public BMP test picture: good files must decode to what independent decoders made of
// them; bad and questionable ones must decode or fail with the program's own exception.
#include "codecs/bmp_codec.h"
#include "codecs/bmp_rows.h"
#include "codecs/detecting_codec.h"
#include "codecs/mapped_file_stream.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/corpus_files.h"
#include "tests/support/sha256.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <gtest/gtest.h>
#include <iostream>
#include <optional>
#include <set>

namespace {

namespace fs = std::filesystem;

std::vector<CorpusFile> filesIn(const std::string &folder)
{
    return CorpusFilesIn(folder, ".bmp");
}

// Every *.bmp outside the BMP suite.
std::vector<CorpusFile> otherFiles()
{
    return CorpusFiles([](const std::string &relative) {
        return fs::path(relative).extension() == ".bmp" && relative.rfind("bmpsuite/", 0) != 0;
    });
}

// The file's header facts as the reader keeps them.
std::optional<BmpCodec::State> headerState(const std::string &path)
{
    try {
        MappedFileStream stream;
        stream.open(path);
        BmpCodec codec;
        ImageHeader header;
        codec.readHeader(stream, header);
        return codec.state();
    } catch (const CAlbExceptionBase &) {
        return std::nullopt;
    }
}

// Whether the run-length data uses a delta escape, which this reader ends the row at while the
// reference decoders move the pen: such files differ by design.
bool usesRunLengthDelta(const std::string &path, const BmpCodec::State &state)
{
    if (state.compression == 0 || (state.bits != 4 && state.bits != 8))
        return false;
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    for (std::size_t at = state.pixelOffset; at + 1 < bytes.size(); at += 2) {
        if (bytes[at] != 0)
            continue;
        const int escape = bytes[at + 1];
        if (escape == 1)
            return false;
        if (escape == 2)
            return true;
        if (escape > 2) {
            const std::size_t data = state.bits == 8 ? escape : (escape + 1) / 2;
            at += data + (data & 1);
        }
    }
    return false;
}

// Bits of red, green and blue that a file's pixels hold, when fewer than 8 or more than 8 make
// an exact comparison meaningless: this reader widens 16-bit fields by shifting (31 becomes 248)
// and scales wider ones, the references may do either. The fixed 16-bit layouts keep five bits of
// every channel, green of 5-6-5 included.
std::optional<std::array<int, 3>> significantBits(const BmpCodec::State &state)
{
    const bool fixed16 = state.bits == 16
            && (!state.hasMasks || (state.masks[0] == 0xF800 && state.masks[1] == 0x07E0)
                || (state.masks[0] == 0x7C00 && state.masks[1] == 0x03E0));
    if (fixed16)
        return std::array<int, 3>{ 5, 5, 5 };
    if (!state.hasMasks)
        return std::nullopt;
    return std::array<int, 3>{ BmpBitField(state.masks[0]).bits, BmpBitField(state.masks[1]).bits,
                               BmpBitField(state.masks[2]).bits };
}

// Compares the bits a field holds: the top ones of a narrow field, a wide one within rounding.
std::string compareSignificantBits(const std::string &relative, const std::array<int, 3> &bits,
                                   const std::vector<std::uint8_t> &ours)
{
    RgbPicture reference;
    if (!ReadPpm(ReferencePpmPath(relative), reference))
        return "no reference picture";
    if (reference.rgb.size() != ours.size())
        return "size differs";
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const int b = bits[i % 3];
        const int a = ours[i], r = reference.rgb[i];
        const bool same =
                b > 0 && b < 8 ? (a >> (8 - b)) == (r >> (8 - b)) : std::abs(a - r) <= (b > 8);
        if (!same)
            return "pixel " + std::to_string(i / 3) + " channel " + std::to_string(i % 3) + ": "
                    + std::to_string(a) + " against " + std::to_string(r);
    }
    return {};
}

// How far a picture is from the reference picture, to make a mismatch readable.
std::string difference(const std::string &relative, const std::vector<std::uint8_t> &ours)
{
    RgbPicture reference;
    if (!ReadPpm(ReferencePpmPath(relative), reference) || reference.rgb.size() != ours.size())
        return {};
    int largest = 0;
    std::size_t differing = 0, first = 0;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const int d = std::abs(int(ours[i]) - int(reference.rgb[i]));
        if (d > 0 && differing++ == 0)
            first = i;
        largest = std::max(largest, d);
    }
    return ": " + std::to_string(differing) + " samples differ, by up to " + std::to_string(largest)
            + ", first at pixel " + std::to_string(first / 3) + " channel "
            + std::to_string(first % 3);
}

struct Outcome
{
    bool decoded = false;
    std::string failure; // the exception's text when not decoded
    std::string mismatch; // when decoded and compared: why it differs from the reference
    bool compared = false;
};

// Decodes the first frame at full size and compares it with a usable reference.
Outcome decodeAndCompare(const std::string &relative)
{
    Outcome outcome;
    const std::string path = (TestDataRoot() / relative).string();
    FrameArray frames;
    try {
        DetectingCodec codec;
        ImageInfo info;
        codec.decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    } catch (const CAlbExceptionBase &e) {
        outcome.failure = e.what();
        return outcome;
    }
    outcome.decoded = true;
    const auto &index = ReferenceIndex();
    const auto row = index.find(relative);
    const std::optional<BmpCodec::State> state = headerState(path);
    if (row == index.end() || !row->second.decoded() || !state || usesRunLengthDelta(path, *state))
        return outcome;
    outcome.compared = true;
    const ImageBuffer &image = frames.at(0)->image;
    if (image.width != row->second.width || image.height != row->second.height) {
        outcome.mismatch =
                "size " + std::to_string(image.width) + "x" + std::to_string(image.height);
        return outcome;
    }
    const std::vector<std::uint8_t> ours = PackedRgb(image);
    if (const auto bits = significantBits(*state))
        outcome.mismatch = compareSignificantBits(relative, *bits, ours);
    else if (Sha256Hex(ours) != row->second.sha256)
        outcome.mismatch = "checksum differs" + difference(relative, ours);
    return outcome;
}

class BmpCorpusGood : public testing::TestWithParam<CorpusFile>
{ };

class BmpCorpusBad : public testing::TestWithParam<CorpusFile>
{ };

class BmpCorpusOther : public testing::TestWithParam<CorpusFile>
{ };

TEST_P(BmpCorpusGood, MatchesTheReference)
{
    const Outcome outcome = decodeAndCompare(GetParam().path);
    ASSERT_TRUE(outcome.decoded) << outcome.failure;
    EXPECT_TRUE(outcome.compared) << "no usable reference";
    EXPECT_EQ(outcome.mismatch, "");
}

TEST_P(BmpCorpusBad, FailsOrDecodesCleanly)
{
    // Decoding and failing with the program's exception are both acceptable; anything else
    // (another exception, a crash, a sanitizer report) is not.
    const Outcome outcome = decodeAndCompare(GetParam().path);
    if (!outcome.decoded) {
        EXPECT_NE(outcome.failure, "");
    }
}

// Questionable and extra files, and the BMP files of the other corpora: they decode or fail
// cleanly, and what decodes must match its reference, except where these files are unusual
// by design (reported, not failed).
TEST_P(BmpCorpusOther, DecodesOrFailsCleanly)
{
    // Files whose reference follows a convention this reader does not share.
    static const std::set<std::string> differByDesign = {
        // The pixel-data offset points into the colour table; this reader takes the offset as
        // the file states it, the reference decoder reads the bytes after the table.
        "pillow/mmap_error.bmp",
        // Their fallback references widen narrow fields through 16 bits (a 7-bit 127 becomes
        // 253); this reader scales them (255), as the suite's own renderings do, within 1.
        "bmpsuite/q/rgb32-7187.bmp",
        "bmpsuite/q/rgba32-61754.bmp",
    };
    const Outcome outcome = decodeAndCompare(GetParam().path);
    if (!outcome.decoded) {
        EXPECT_NE(outcome.failure, "");
        return;
    }
    if (outcome.mismatch.empty())
        return;
    if (differByDesign.count(GetParam().path))
        std::cout << "differs by design: " << GetParam().path << ": " << outcome.mismatch << "\n";
    else
        ADD_FAILURE() << outcome.mismatch;
}

TEST(BmpCorpus, BrokenFilesThatMustFail)
{
    if (TestDataRoot().empty())
        GTEST_SKIP() << "no test data";

    struct Case
    {
        const char *file;
        std::uint32_t id, place, step;
    };

    const Case cases[] = {
        { "badbitcount.bmp", Msg::InvalidFormat, 76, 12 },
        { "badheadersize.bmp", Msg::InvalidFormat, 137, 13 },
        { "badplanes.bmp", Msg::InvalidFormat, 137, 12 },
        { "badwidth.bmp", Msg::InvalidFormat, 137, 12 },
        { "rletopdown.bmp", Msg::InvalidFormat, 137, 12 },
        { "shortfile.bmp", Msg::PastFileEnd, 0, 0 },
        { "reallybig.bmp", Msg::PastFileEnd, 0, 0 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        ImageBuffer image;
        try {
            DetectingCodec().decodeFirstFrameFromFile(
                    (TestDataRoot() / "bmpsuite" / "b" / c.file).string(), &image, 160, 160);
            ADD_FAILURE() << "decoded";
        } catch (const CAlbException &e) {
            EXPECT_EQ(e.messageId, c.id);
            EXPECT_EQ(e.place, c.place);
            EXPECT_EQ(e.step, c.step);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(G, BmpCorpusGood, testing::ValuesIn(filesIn("bmpsuite/g")),
                         CorpusTestName);
INSTANTIATE_TEST_SUITE_P(B, BmpCorpusBad, testing::ValuesIn(filesIn("bmpsuite/b")),
                         CorpusTestName);
INSTANTIATE_TEST_SUITE_P(Q, BmpCorpusOther, testing::ValuesIn(filesIn("bmpsuite/q")),
                         CorpusTestName);
INSTANTIATE_TEST_SUITE_P(X, BmpCorpusOther, testing::ValuesIn(filesIn("bmpsuite/x")),
                         CorpusTestName);
INSTANTIATE_TEST_SUITE_P(Others, BmpCorpusOther, testing::ValuesIn(otherFiles()), CorpusTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BmpCorpusGood);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BmpCorpusBad);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BmpCorpusOther);

} // namespace
