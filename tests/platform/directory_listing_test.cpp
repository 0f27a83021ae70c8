#include "platform/directory_listing.h"

#include "common/alb_exception.h"
#include "platform/listing_names.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> namesOf(const std::vector<DirectoryRecord> &records)
{
    std::vector<std::string> names;
    for (const auto &record : records)
        names.push_back(record.name);
    return names;
}

void touch(const TempDir &dir, const std::string &name, std::size_t size = 0)
{
    WriteBytes(dir.file(name), std::vector<std::uint8_t>(size, 'x'));
}

} // namespace

TEST(ListingOrderTest, NameLess)
{
    struct Row
    {
        const char *a;
        const char *b;
        bool less;
    };

    const Row rows[] = {
        { "ornsnap999.bmp", "ornsnap1000.bmp", true },
        { "ornsnap1000.bmp", "ornsnap999.bmp", false },
        { "apple", "Banana", true },
        { "Banana", "apple", false },
        { "a2b", "a10a", true },
        // Numbers longer than any integer type still compare by value.
        { "p99999999999999999999999", "p100000000000000000000000", true },
        // Equal by value and without regard to case: the bytes decide, one way only.
        { "x01", "x1", true },
        { "x1", "x01", false },
        { "A.jpg", "a.jpg", true },
        { "a.jpg", "A.jpg", false },
        { "same", "same", false },
        { "abc", "abcd", true },
        { "9", "a", true },
    };
    for (const Row &row : rows)
        EXPECT_EQ(ListingNameLess(row.a, row.b), row.less) << row.a << " < " << row.b;
}

TEST(ListingNamesTest, PatternMatching)
{
    struct Row
    {
        const char *name;
        const char *pattern;
        bool matches;
    };

    const Row rows[] = {
        { "noext", "*.*", true },
        { "noext", "*", true },
        { "A.JPG", "*.jpg", true },
        { "a.jpeg", "*.jpg", false },
        { "a.jpg.bak", "*.jpg", false },
        { "ornsnap001.bmp", "ornsnap???.bmp", true },
        { "ornsnap1000.bmp", "ornsnap???.bmp", false },
        // '?' stands for one character, not one byte.
        { "\xc3\xa9.jpg", "?.jpg", true },
        { "\xc3\xa9x.jpg", "?.jpg", false },
        { "aXbXc", "a*b*c", true },
        { "abcbd", "a*b?", true },
        { "abc", "a*d", false },
        { "", "*", true },
        { "", "?", false },
    };
    for (const Row &row : rows)
        EXPECT_EQ(NameMatchesPattern(row.name, row.pattern), row.matches)
                << row.name << " ~ " << row.pattern;
}

// The listing gives entries in listing order with their facts and device names, follows links,
// and leaves out hidden entries and what it cannot examine unless every entry is asked for.
TEST(ListDirectoryTest, EntriesOrderAndFacts)
{
    TempDir dir;
    for (const char *name : { "ornsnap1000.bmp", "ornsnap999.bmp", "B.jpg", "a.jpg", "x:y.gif",
                              "bad\xff.jpg", "back\\slash.jpg", ".hidden.jpg" })
        touch(dir, name, 3);
    std::filesystem::create_directory(dir.path() / "Sub");
    std::filesystem::create_symlink(dir.path() / "a.jpg", dir.path() / "link.jpg");
    std::filesystem::create_symlink(dir.path() / "gone", dir.path() / "dangling.jpg");

    auto records = ListDirectory(dir.path().string());
    EXPECT_EQ(namesOf(records),
              (std::vector<std::string>{ "a.jpg", "B.jpg", "back\uf05cslash.jpg", "bad\uf0ff.jpg",
                                         "link.jpg", "ornsnap999.bmp", "ornsnap1000.bmp", "Sub",
                                         "x:y.gif" }));
    for (const auto &record : records) {
        EXPECT_EQ(record.isDirectory(), record.name == "Sub") << record.name;
        if (!record.isDirectory()) {
            EXPECT_EQ(record.size(), 3u) << record.name;
            EXPECT_NE(record.writeTime, 0u) << record.name;
        }
    }
    EXPECT_EQ(records[0].objectId, records[4].objectId);

    const auto every = ListDirectory(dir.path().string(), "*", ListingScope::Every);
    EXPECT_EQ(namesOf(every).size(), records.size() + 2);
    EXPECT_EQ(every[0].name, ".hidden.jpg");
    EXPECT_EQ(every[5].name, "dangling.jpg");
    EXPECT_FALSE(every[5].isDirectory());

    EXPECT_EQ(namesOf(ListDirectory(dir.path().string() + "/", "ORNSNAP*.BMP")),
              (std::vector<std::string>{ "ornsnap999.bmp", "ornsnap1000.bmp" }));
    EXPECT_TRUE(ListDirectory(dir.path().string(), "*.png").empty());
}

TEST(ListDirectoryTest, DevicePathsAndFailures)
{
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "Pictures");
    touch(dir, "Pictures/a.jpg");
    ScopedEnv root("VISTREL_ROOT", dir.path().string());

    EXPECT_EQ(namesOf(ListDirectory("\\Pictures")), std::vector<std::string>{ "a.jpg" });
    EXPECT_EQ(namesOf(ListDirectory("\\")), std::vector<std::string>{ "Pictures" });

    // The error names the folder as the caller gave it, not the host path behind it.
    for (const char *missing : { "\\Missing", "\\Pictures\\a.jpg" }) {
        try {
            ListDirectory(missing);
            ADD_FAILURE() << missing << " listed";
        } catch (const CAlbFileException &e) {
            EXPECT_EQ(e.path(), missing);
            EXPECT_TRUE(e.errorNumber() == ENOENT || e.errorNumber() == ENOTDIR) << e.what();
        }
    }
}

TEST(ListSubfoldersTest, CountsAndNames)
{
    TempDir dir;
    touch(dir, "file.jpg");
    std::string folder = dir.path().string();
    std::vector<std::string> names = { "kept" };
    EXPECT_EQ(ListSubfolders(folder, &names, true), 0);
    EXPECT_EQ(ListSubfolders(folder, nullptr, false), 0);
    EXPECT_EQ(names, std::vector<std::string>{ "kept" });

    // A host name may hold the "|" that separates list entries elsewhere.
    for (const char *name : { "c10", "b", "A", "c9", "bad\xff", ".hidden", "a|b" })
        std::filesystem::create_directory(dir.path() / name);
    std::filesystem::create_directory_symlink(dir.path() / "b", dir.path() / "linked");
    std::filesystem::create_symlink(dir.path() / "file.jpg", dir.path() / "filelink");

    const std::vector<std::string> listed = { "kept",      "A",  "a|b", "b",
                                              "bad\uf0ff", "c9", "c10", "linked" };
    EXPECT_EQ(ListSubfolders(folder, &names, true), 7);
    EXPECT_EQ(names, listed);
    EXPECT_EQ(ListSubfolders(folder, nullptr, true), 7);
    EXPECT_EQ(ListSubfolders(folder, nullptr, false), 1);

    EXPECT_EQ(ListSubfolders(folder + "/missing", &names, true), -1);
    EXPECT_EQ(ListSubfolders(dir.file("file.jpg"), &names, false), -1);
    EXPECT_EQ(names, listed);
}
