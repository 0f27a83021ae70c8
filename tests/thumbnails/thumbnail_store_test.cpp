// The desktop's shared thumbnail cache as the album reads and writes it: names, keys, modes,
// validity, failure notes, and the cache folder itself left alone.
#include "thumbnails/thumbnail_store.h"

#include "codecs/png_codec.h"
#include "codecs/png_writer.h"
#include "common/file_uri.h"
#include "common/md5.h"
#include "tests/support/temp_dir.h"
#include "tests/support/thumbnail_jpeg.h"
#include "thumbnails/thumbnail_maker.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using Origin = ThumbnailOrigin;

constexpr RgbValue kRed = MakeRgb(230, 20, 20);
constexpr RgbValue kGreen = MakeRgb(20, 230, 20);

// A cache in a fresh folder and a maker whose decodes are counted.
struct CacheFixture : ::testing::Test
{
    TempDir dir;
    std::string root = dir.file("cache/thumbnails");
    ThumbnailStore store{ root, "vistrel-test" };
    std::atomic<int> decodes{ 0 };
    ThumbnailMaker maker{ &store,
                          [this](const std::string &path, ImageBuffer &image, Size box,
                                 Size &picture) {
                              ++decodes;
                              DefaultPictureDecoder()(path, image, box, picture);
                          } };

    std::string photo(const std::string &name, Size size = { 300, 200 })
    {
        const std::string path = dir.file(name);
        // No embedded thumbnail: a thumbnail that does not match any shape.
        WriteJpegWithThumbnail(path, size, kRed, { 8, 1 }, kGreen);
        return path;
    }

    std::string cachedPath(const std::string &path, const char *flavour) const
    {
        return root + "/" + flavour + "/" + Md5Hex(FileUri(path)) + ".png";
    }
};

PngText keysOf(const std::string &path)
{
    PngCodec codec;
    ImageHeader header;
    codec.readInfoFromFile(path, &header);
    return codec.textEntries();
}

mode_t modeOf(const std::string &path)
{
    struct stat facts
    { };

    EXPECT_EQ(::stat(path.c_str(), &facts), 0) << path;
    return facts.st_mode & 07777;
}

void setModified(const std::string &path, std::int64_t seconds)
{
    fs::last_write_time(path,
                        fs::file_time_type::clock::from_sys(
                                std::chrono::sys_seconds(std::chrono::seconds(seconds))));
}

// A thumbnail as another program writes it: the keys given, nothing else.
void writeForeign(const std::string &path, const PngText &keys, Size size = { 128, 85 })
{
    fs::create_directories(fs::path(path).parent_path());
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size.width * size.height) * 3, 40);
    PngWriter writer;
    writer.text = &keys;
    WriteBytes(path, writer.encode(PixelSpan::Padded(pixels.data(), size.width, size.height, 0)));
}

TEST_F(CacheFixture, WrittenThumbnailFollowsTheDesktopLayoutAndServesTheSecondVisit)
{
    const std::string path = photo("a photo #1.jpg");
    const ThumbnailResult first = maker.make(path, { 96, 72 });
    EXPECT_EQ(first.origin, Origin::Decoded);
    EXPECT_EQ(first.image.width, 96);
    EXPECT_EQ(first.image.height, 64);

    const std::string cached = cachedPath(path, "normal");
    ASSERT_TRUE(fs::exists(cached));
    EXPECT_EQ(dir.names().size(), 2u); // the photo and the cache folder
    EXPECT_EQ(fs::directory_iterator(root + "/normal")->path().string(), cached); // no leftovers
    EXPECT_EQ(modeOf(cached), 0600u);
    EXPECT_EQ(modeOf(root), 0700u);
    EXPECT_EQ(modeOf(root + "/normal"), 0700u);
    const PngText keys = keysOf(cached);

    struct stat facts
    { };

    ASSERT_EQ(::stat(path.c_str(), &facts), 0);
    EXPECT_EQ(FindPngText(keys, "Thumb::URI"),
              "file://" + dir.path().string() + "/a%20photo%20%231.jpg");
    EXPECT_EQ(FindPngText(keys, "Thumb::MTime"), std::to_string(facts.st_mtim.tv_sec));
    EXPECT_EQ(FindPngText(keys, "Thumb::Size"), std::to_string(facts.st_size));
    EXPECT_EQ(FindPngText(keys, "Thumb::Image::Width"), "300");
    EXPECT_EQ(FindPngText(keys, "Thumb::Image::Height"), "200");
    EXPECT_EQ(FindPngText(keys, "Software"), "vistrel-test");
    ImageHeader header;
    PngCodec().readInfoFromFile(cached, &header);
    EXPECT_EQ(header.width, 128);
    EXPECT_EQ(header.height, 86);

    const ThumbnailResult second = maker.make(path, { 96, 72 });
    EXPECT_EQ(second.origin, Origin::Cache);
    EXPECT_EQ(second.image.width, 96);
    EXPECT_EQ(decodes.load(), 1);

    // The file changed: decoded again, and the new thumbnail replaces the old.
    setModified(path, 1'600'000'000);
    EXPECT_EQ(maker.make(path, { 96, 72 }).origin, Origin::Decoded);
    EXPECT_EQ(decodes.load(), 2);
    EXPECT_EQ(FindPngText(keysOf(cached), "Thumb::MTime"), "1600000000");
}

TEST_F(CacheFixture, ForeignThumbnailsCountOnlyWhenTheirKeysDescribeTheFile)
{
    struct Case
    {
        const char *what;
        std::function<PngText(const std::string &uri)> keys;
        bool used;
    };

    const std::string mtime = "1500000000";
    const Case cases[] = {
        { "URI and time only",
          [&](auto &uri) {
              return PngText{ { "Thumb::URI", uri }, { "Thumb::MTime", mtime } };
          },
          true },
        { "time with a fraction",
          [&](auto &uri) {
              return PngText{ { "Thumb::URI", uri }, { "Thumb::MTime", mtime + ".25" } };
          },
          true },
        { "size that matches",
          [&](auto &uri) {
              return PngText{ { "Thumb::URI", uri },
                              { "Thumb::MTime", mtime },
                              { "Thumb::Size", "@size" } };
          },
          true },
        { "other time",
          [&](auto &uri) {
              return PngText{ { "Thumb::URI", uri }, { "Thumb::MTime", "1500000001" } };
          },
          false },
        { "no time",
          [&](auto &uri) {
              return PngText{ { "Thumb::URI", uri } };
          },
          false },
        { "other size",
          [&](auto &uri) {
              return PngText{ { "Thumb::URI", uri },
                              { "Thumb::MTime", mtime },
                              { "Thumb::Size", "1" } };
          },
          false },
        { "other URI",
          [&](auto &) {
              return PngText{ { "Thumb::URI", std::string("file:///elsewhere.jpg") },
                              { "Thumb::MTime", mtime } };
          },
          false },
    };
    const std::string path = photo("p.jpg");
    setModified(path, 1'500'000'000);
    const std::string uri = FileUri(path);
    const std::string size = std::to_string(fs::file_size(path));
    for (const Case &c : cases) {
        PngText keys = c.keys(uri);
        for (PngTextEntry &entry : keys) {
            if (entry.text == "@size")
                entry.text = size;
        }
        fs::remove_all(root);
        // Only a larger flavour is there: it serves the small cell too.
        writeForeign(cachedPath(path, "large"), keys);
        decodes = 0;
        const ThumbnailResult made = maker.make(path, { 96, 72 });
        EXPECT_EQ(made.origin, c.used ? Origin::Cache : Origin::Decoded) << c.what;
        EXPECT_EQ(decodes.load(), c.used ? 0 : 1) << c.what;
    }
}

TEST_F(CacheFixture, UnreadablePictureIsNotedAndNotTriedAgainUntilItChanges)
{
    const std::string path = dir.file("broken.jpg");
    WriteBytes(path, { 0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F' });
    EXPECT_EQ(maker.make(path, { 96, 72 }).origin, Origin::Unreadable);
    const std::string note = root + "/fail/vistrel-test/" + Md5Hex(FileUri(path)) + ".png";
    ASSERT_TRUE(fs::exists(note));
    EXPECT_EQ(modeOf(note), 0600u);
    EXPECT_EQ(modeOf(root + "/fail/vistrel-test"), 0700u);
    EXPECT_EQ(FindPngText(keysOf(note), "Thumb::URI"), FileUri(path));

    EXPECT_EQ(maker.make(path, { 96, 72 }).origin, Origin::KnownFailure);
    EXPECT_EQ(decodes.load(), 1);
    // A note of another program is none of ours.
    EXPECT_FALSE(ThumbnailStore(root, "vistrel-other").failedBefore(*ExamineFile(path)));

    setModified(path, 1'400'000'000);
    EXPECT_EQ(maker.make(path, { 96, 72 }).origin, Origin::Unreadable);
    EXPECT_EQ(decodes.load(), 2);

    // A file that cannot be opened may become readable without changing: nothing is noted.
    fs::remove_all(root);
    EXPECT_EQ(maker.make(dir.file("gone.jpg"), { 96, 72 }).origin, Origin::Unreadable);
    EXPECT_FALSE(fs::exists(root));
}

TEST_F(CacheFixture, PicturesInsideTheCacheAreNeverThumbnailed)
{
    fs::create_directories(root + "/normal");
    const std::string inside = root + "/normal/0123.jpg";
    WriteJpegWithThumbnail(inside, { 300, 200 }, kRed, { 8, 1 }, kGreen);
    EXPECT_EQ(maker.make(inside, { 96, 72 }).origin, Origin::Decoded);
    EXPECT_EQ(fs::directory_iterator(root + "/normal")->path().string(), inside);
    EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 1);
    // Also when the cache is reached by a path with a trailing slash.
    ThumbnailStore slashed(root + "/", "vistrel-test");
    EXPECT_TRUE(slashed.holds(*ExamineFile(inside)));
    EXPECT_FALSE(slashed.holds(*ExamineFile(photo("beside.jpg"))));
}

TEST(ThumbnailStore, FlavourIsTheSmallestThatFillsTheBox)
{
    using F = ThumbnailStore::Flavour;
    const std::pair<Size, F> cases[] = {
        { { 64, 48 }, F::Normal },    { { 128, 96 }, F::Normal },  { { 96, 129 }, F::Large },
        { { 256, 192 }, F::Large },   { { 384, 288 }, F::XLarge }, { { 1024, 768 }, F::XXLarge },
        { { 3000, 10 }, F::XXLarge },
    };
    for (const auto &[box, flavour] : cases)
        EXPECT_EQ(ThumbnailStore::FlavourFor(box), flavour) << box.width << "x" << box.height;
}

} // namespace
