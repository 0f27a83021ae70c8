#include "codecs/mapped_file_stream.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::uint32_t messageOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const CAlbException &e) {
        return e.messageId;
    } catch (const CAlbFileException &) {
        return 1; // the file exception
    }
    return 0;
}

TEST(ImageStream, ReadsAndSeeksWithinBounds)
{
    const std::uint8_t bytes[] = { 1, 2, 3, 4, 5, 6 };
    MemoryImageStream s(bytes, 6);
    EXPECT_EQ(s.readWord(), 0x0201);
    EXPECT_EQ(s.readByte(), 3);
    s.skip(0);
    EXPECT_EQ(s.position(), 3);
    std::int64_t asked = 100;
    EXPECT_EQ(s.peek(asked), bytes + 3);
    EXPECT_EQ(asked, 3);
    s.seek(-2, ImageStream::End);
    EXPECT_EQ(s.readByte(), 5);
    s.seek(-1, ImageStream::Current);
    EXPECT_EQ(s.readByte(), 5);
    s.rewind();
    EXPECT_EQ(s.readDword(), 0x04030201u);
    s.seekToEnd();
    EXPECT_EQ(s.remaining(), 0);
}

TEST(ImageStream, PastTheEndThrows46023AndKeepsThePosition)
{
    const std::uint8_t bytes[] = { 1, 2, 3 };
    const std::function<void(MemoryImageStream &)> moves[] = {
        [](MemoryImageStream &s) { s.read(4); },
        [](MemoryImageStream &s) { s.readDword(); },
        [](MemoryImageStream &s) { s.read(-1); },
        [](MemoryImageStream &s) { s.seek(4, ImageStream::Begin); },
        [](MemoryImageStream &s) { s.seek(-4, ImageStream::End); },
        [](MemoryImageStream &s) { s.seek(INT64_MAX, ImageStream::Current); },
        [](MemoryImageStream &s) { s.seek(INT64_MIN, ImageStream::Current); },
        [](MemoryImageStream &s) { s.skip(3); },
    };
    for (const auto &move : moves) {
        MemoryImageStream s(bytes, 3);
        s.readByte();
        EXPECT_EQ(messageOf([&] { move(s); }), Msg::PastFileEnd);
        EXPECT_EQ(s.position(), 1);
    }
}

TEST(MappedFileStream, MapsARegularFile)
{
    TempDir dir;
    WriteBytes(dir.file("a.bmp"), { 'B', 'M', 7 });
    MappedFileStream s;
    s.open(dir.file("a.bmp"));
    EXPECT_EQ(s.size(), 3);
    EXPECT_EQ(s.name(), dir.file("a.bmp"));
    EXPECT_EQ(s.read(3)[2], 7);
    s.close();
    EXPECT_EQ(s.size(), 0);
}

TEST(MappedFileStream, OpensDevicePathsUnderTheDeviceRoot)
{
    TempDir dir;
    WriteBytes(dir.file("b.bmp"), { 'B', 'M' });
    ::setenv("VISTREL_ROOT", dir.path().c_str(), 1);
    MappedFileStream s;
    s.open("\\b.bmp");
    EXPECT_EQ(s.size(), 2);
}

TEST(MappedFileStream, RefusesWhatIsNotAReadablePicture)
{
    TempDir dir;
    WriteBytes(dir.file("empty.bmp"), {});
    ASSERT_EQ(::mkfifo(dir.file("fifo.bmp").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() / "folder.bmp");

    struct Case
    {
        std::string path;
        std::uint32_t expected;
    };

    const Case cases[] = {
        { "", Msg::InvalidParameter },
        { dir.file("missing.bmp"), 1 },
        { dir.file("folder.bmp"), 1 },
        { dir.file("fifo.bmp"), 1 }, // must not block waiting for a writer
        { "/dev/null", 1 },
        { dir.file("empty.bmp"), Msg::InvalidFormat },
    };
    for (const auto &c : cases) {
        MappedFileStream s;
        EXPECT_EQ(messageOf([&] { s.open(c.path); }), c.expected) << c.path;
    }
}

// Pages a file lost after it was mapped read as zeros instead of ending the process. (Files of
// up to 64 KiB are copied, not mapped.)
TEST(MappedFileStream, AFileThatShrinksUnderTheReaderReadsAsZerosAndIsNotIntact)
{
    TempDir dir;
    const std::string path = dir.file("shrinks.bmp");
    constexpr std::size_t kSize = 20 * 4096;
    WriteBytes(path, std::vector<std::uint8_t>(kSize, 0xAB));
    MappedFileStream s;
    s.open(path);
    EXPECT_TRUE(s.intact());
    ASSERT_EQ(::truncate(path.c_str(), 100), 0);
    const std::uint8_t *bytes = s.read(kSize);
    EXPECT_EQ(bytes[50], 0xAB);
    EXPECT_EQ(bytes[5000] | bytes[kSize - 1], 0);
    EXPECT_FALSE(s.intact());
    s.close();
    EXPECT_FALSE(s.intact());
    s.open(path);
    EXPECT_TRUE(s.intact());
}

TEST(MappedFileStream, FileExceptionNamesThePathAndTheHostError)
{
    try {
        MappedFileStream s;
        s.open("/nonexistent/x.bmp");
        FAIL();
    } catch (const CAlbFileException &e) {
        std::string text;
        e.GetMessageText(text, 256);
        EXPECT_EQ(text, "/nonexistent/x.bmp: No such file or directory.");
    }
}

} // namespace
