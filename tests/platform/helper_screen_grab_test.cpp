// The grab handed over a pipe by a helper program: what is written is what is read, whatever the
// row padding; a stream that is cut short or malformed is a failure, never a picture; the helper
// is found beside the program or in its installed place.
#include "platform/helper_screen_grab.h"

#include "platform/capture_grab.h"
#include "platform/grab_stream.h"
#include "tests/support/temp_dir.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// w x h pixels, each byte a function of its place, so a lost or shifted row shows.
CaptureGrab PatternGrab(std::int32_t w, std::int32_t h)
{
    CaptureGrab grab = *CaptureGrab::Make(w, h);
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t i = 0; i < w * 3; ++i)
            grab.top[static_cast<std::size_t>(y) * grab.stride() + static_cast<std::size_t>(i)] =
                    static_cast<std::uint8_t>(y * 37 + i * 11);
    return grab;
}

// The pixels without their padding, row after row.
std::vector<std::uint8_t> Pixels(const CaptureGrab &grab)
{
    std::vector<std::uint8_t> out;
    for (std::int32_t y = 0; y < grab.h; ++y)
        out.insert(out.end(), grab.row(y), grab.row(y) + grab.w * 3);
    return out;
}

std::vector<std::uint8_t> Header(std::uint32_t outcome, std::int32_t w, std::int32_t h,
                                 const char *tag = "VGR1")
{
    std::vector<std::uint8_t> bytes(16);
    std::memcpy(bytes.data(), tag, 4);
    std::memcpy(bytes.data() + 4, &outcome, 4);
    std::memcpy(bytes.data() + 8, &w, 4);
    std::memcpy(bytes.data() + 12, &h, 4);
    return bytes;
}

class GrabStreamTest : public ::testing::Test
{
protected:
    std::vector<std::uint8_t> written(const GrabResult &result)
    {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        EXPECT_TRUE(WriteGrabStream(fd, result));
        ::close(fd);
        return ReadBytes(file);
    }

    GrabResult read(const std::vector<std::uint8_t> &bytes)
    {
        WriteBytes(file, bytes);
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        GrabResult result = ReadGrabStream(fd);
        ::close(fd);
        return result;
    }

    TempDir dir;
    std::string file = dir.file("stream");
};

TEST_F(GrabStreamTest, PicturesAndFailuresComeBackAsWritten)
{
    // Widths 1 to 5 cover every padding of a row.
    for (std::int32_t w = 1; w <= 5; ++w) {
        const GrabResult sent = PatternGrab(w, 3);
        const GrabResult got = read(written(sent));
        ASSERT_TRUE(std::holds_alternative<CaptureGrab>(got)) << "width " << w;
        const CaptureGrab &grab = std::get<CaptureGrab>(got);
        EXPECT_EQ(grab.w, w);
        EXPECT_EQ(grab.h, 3);
        EXPECT_EQ((grab.w + grab.pad) % 4, 0);
        EXPECT_EQ(Pixels(grab), Pixels(std::get<CaptureGrab>(sent))) << "width " << w;
    }
    for (GrabFailure failure :
         { GrabFailure::NoSurface, GrabFailure::NoStore, GrabFailure::CopyFailed }) {
        const GrabResult got = read(written(failure));
        ASSERT_TRUE(std::holds_alternative<GrabFailure>(got));
        EXPECT_EQ(std::get<GrabFailure>(got), failure);
    }
}

TEST_F(GrabStreamTest, ShortOrMalformedStreamsAreFailures)
{
    const std::vector<std::uint8_t> whole = written(PatternGrab(5, 3));
    auto cut = [&](std::size_t size) {
        return std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(size));
    };
    auto withTag = [&](const char *tag) {
        std::vector<std::uint8_t> bytes = whole;
        std::memcpy(bytes.data(), tag, 4);
        return bytes;
    };

    const struct
    {
        const char *name;
        std::vector<std::uint8_t> bytes;
        GrabFailure expected;
    } rows[] = {
        { "nothing: the helper died before writing", {}, GrabFailure::CopyFailed },
        { "half a header", cut(8), GrabFailure::CopyFailed },
        { "a header without rows", cut(16), GrabFailure::CopyFailed },
        { "the last byte missing", cut(whole.size() - 1), GrabFailure::CopyFailed },
        { "another tag", withTag("VGR2"), GrabFailure::CopyFailed },
        { "an outcome past the last failure", Header(9, 0, 0), GrabFailure::CopyFailed },
        { "no width", Header(0, 0, 3), GrabFailure::CopyFailed },
        { "a negative height", Header(0, 4, -3), GrabFailure::CopyFailed },
        { "more than any store holds", Header(0, 1 << 20, 1 << 20), GrabFailure::NoStore },
    };

    for (const auto &row : rows) {
        const GrabResult got = read(row.bytes);
        ASSERT_TRUE(std::holds_alternative<GrabFailure>(got)) << row.name;
        EXPECT_EQ(std::get<GrabFailure>(got), row.expected) << row.name;
    }
}

TEST_F(GrabStreamTest, TheHelpersOutputIsTheGrabAndAHelperThatCannotRunIsACopyFailure)
{
    const GrabResult sent = PatternGrab(7, 2);
    written(sent);
    HelperScreenGrabber helper("/bin/cat", { file });
    const GrabResult got = helper.grab();
    ASSERT_TRUE(std::holds_alternative<CaptureGrab>(got));
    EXPECT_EQ(Pixels(std::get<CaptureGrab>(got)), Pixels(std::get<CaptureGrab>(sent)));
    EXPECT_EQ(helper.startError(), 0);

    HelperScreenGrabber silent("/bin/sh", { "-c", "exit 3" });
    EXPECT_EQ(std::get<GrabFailure>(silent.grab()), GrabFailure::CopyFailed);
    EXPECT_EQ(silent.startError(), 0);

    HelperScreenGrabber missing(dir.file("no-such-helper"));
    EXPECT_EQ(std::get<GrabFailure>(missing.grab()), GrabFailure::CopyFailed);
    EXPECT_EQ(missing.startError(), ENOENT);

    // A helper that writes far more than a bad header promises is cut off, not waited for.
    HelperScreenGrabber endless("/bin/sh", { "-c", "printf XXXXXXXXXXXXXXXX; exec cat /dev/zero" });
    EXPECT_EQ(std::get<GrabFailure>(endless.grab()), GrabFailure::CopyFailed);
}

// An installed or moved program finds its helper relative to its own folder.
TEST(HelperProgramTest, HelperIsFoundBesideTheProgramElseInItsInstalledPlace)
{
    TempDir dir;
    const std::string program = dir.file("bin");
    std::filesystem::create_directories(program);
    const std::string installed = program + "/../libexec/vistrel/helper";
    const std::string beside = program + "/helper";
    EXPECT_EQ(HelperProgramBeside(program, "helper"), installed);

    WriteBytes(beside, { '#' });
    EXPECT_EQ(HelperProgramBeside(program, "helper"), beside);

    std::filesystem::create_directories(dir.file("libexec/vistrel"));
    WriteBytes(installed, { '#' });
    EXPECT_EQ(HelperProgramBeside(program, "helper"), installed);
}

} // namespace
