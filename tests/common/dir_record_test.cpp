#include "common/dir_record.h"

#include "common/host_path.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// 2001-03-07 14:05:00 UTC and 123456789 ns, and the same instant as a file time.
constexpr std::time_t kKnownSeconds = 983973900;
constexpr long kKnownNanoseconds = 123456789;
constexpr FileTime kKnownFileTime = 126284475001234567ULL;
// One day later, for the access time, so that the two times cannot be mixed up.
constexpr std::time_t kDay = 86400;
constexpr FileTime kKnownAccessTime = kKnownFileTime + FileTime{ kDay } * 10000000;

// A folder with one file below the device root, made fresh for each test.
class ProbeFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("VISTREL_ROOT"))
            setenv("VISTREL_ROOT", fs::temp_directory_path().c_str(), 1);
        folderName = "probe_test_" + std::to_string(getpid());
        hostFolder = DeviceRoot() + "/" + folderName;
        fs::create_directories(hostFolder);
        hostFile = hostFolder + "/a.jpg";
        std::ofstream(hostFile) << std::string(5000, 'x');
        const timespec times[2] = { { kKnownSeconds + kDay, kKnownNanoseconds },
                                    { kKnownSeconds, kKnownNanoseconds } };
        ASSERT_EQ(utimensat(AT_FDCWD, hostFile.c_str(), times, 0), 0);
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(hostFile, fs::perms::owner_all, ignored);
        fs::remove_all(hostFolder, ignored);
    }

    std::string devicePath(const std::string &rest) const { return "\\" + folderName + rest; }

    std::string folderName;
    std::string hostFolder;
    std::string hostFile;
};

} // namespace

TEST(ProbeFileTimeTest, UnixConversion)
{
    EXPECT_EQ(FileTimeFromUnix(0), 116444736000000000ULL);
    EXPECT_EQ(FileTimeFromUnix(kKnownSeconds, kKnownNanoseconds), kKnownFileTime);
    EXPECT_EQ(FileTimeFromUnix(-11644473600), 0u);
    EXPECT_EQ(FileTimeFromUnix(-11644473601), 0u);
}

TEST(ProbeFileTimeTest, LocalDateInUtc)
{
    setenv("TZ", "UTC", 1);
    tzset();
    DateTime date = FileTimeToLocal(kKnownFileTime);
    EXPECT_EQ(FormatDate(date), "03/07/01 14:05");
    EXPECT_EQ(date.second, 0);
}

TEST_F(ProbeFileTest, RootIsAlwaysAFolder)
{
    DirectoryRecord record;
    record.sizeLow = 7;
    record.writeTime = 9;
    record.objectId = 3;
    ASSERT_TRUE(ProbeFile("\\", &record));
    EXPECT_EQ(record.attributes, FileAttribute::Directory);
    EXPECT_EQ(record.size(), 0u);
    EXPECT_EQ(record.creationTime | record.accessTime | record.writeTime, 0u);
    EXPECT_EQ(record.objectId, 0u);
    EXPECT_EQ(record.name, "\\");
}

TEST_F(ProbeFileTest, MissingPaths)
{
    DirectoryRecord record;
    record.name = "kept";
    EXPECT_FALSE(ProbeFile("", &record));
    EXPECT_FALSE(ProbeFile(devicePath("\\missing.jpg"), &record));
    EXPECT_FALSE(ProbeFile(hostFolder + "/missing.jpg", &record));
    EXPECT_EQ(record.name, "kept");
    EXPECT_FALSE(ProbeFile(devicePath("\\missing.jpg")));
}

TEST_F(ProbeFileTest, FileByDeviceAndHostPath)
{
    struct stat st
    { };

    ASSERT_EQ(stat(hostFile.c_str(), &st), 0);
    for (const std::string &path : { devicePath("\\a.jpg"), hostFile }) {
        SCOPED_TRACE(path);
        DirectoryRecord record;
        ASSERT_TRUE(ProbeFile(path, &record));
        EXPECT_EQ(record.name, "a.jpg");
        EXPECT_FALSE(record.isDirectory());
        EXPECT_EQ(record.attributes & FileAttribute::InRom, 0u);
        EXPECT_EQ(record.sizeHigh, 0u);
        EXPECT_EQ(record.sizeLow, 5000u);
        EXPECT_EQ(record.writeTime, kKnownFileTime);
        EXPECT_EQ(record.accessTime, kKnownAccessTime);
        EXPECT_NE(record.creationTime, 0u);
        EXPECT_EQ(record.objectId, st.st_ino);
    }
    EXPECT_TRUE(ProbeFile(devicePath("\\a.jpg")));

    // A ':' is part of a name here, not a drive's separator.
    fs::copy_file(hostFile, hostFolder + "/x:y.jpg");
    DirectoryRecord colon;
    ASSERT_TRUE(ProbeFile(devicePath("\\x:y.jpg"), &colon));
    EXPECT_EQ(colon.name, "x:y.jpg");
}

TEST_F(ProbeFileTest, FolderWithAndWithoutTrailingBackslash)
{
    for (const std::string &path : { devicePath(""), devicePath("\\"), hostFolder }) {
        SCOPED_TRACE(path);
        DirectoryRecord record;
        ASSERT_TRUE(ProbeFile(path, &record));
        EXPECT_TRUE(record.isDirectory());
        EXPECT_EQ(record.name, folderName);
    }
}

TEST_F(ProbeFileTest, ReadOnlyFollowsWritePermission)
{
    DirectoryRecord record;
    ASSERT_TRUE(FindFileRecord(devicePath("\\a.jpg"), record));
    EXPECT_FALSE(record.isReadOnly());
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser may write to any file";
    fs::permissions(hostFile, fs::perms::owner_read | fs::perms::group_read);
    ASSERT_TRUE(FindFileRecord(devicePath("\\a.jpg"), record));
    EXPECT_TRUE(record.isReadOnly());
}

TEST_F(ProbeFileTest, SizeAbove4GiBSplitsIntoHighAndLow)
{
    std::string big = hostFolder + "/big.bin";
    std::ofstream(big).close();
    std::error_code error;
    fs::resize_file(big, (std::uintmax_t{ 5 } << 30), error); // sparse: takes no space
    if (error)
        GTEST_SKIP() << "no sparse files here: " << error.message();
    DirectoryRecord record;
    ASSERT_TRUE(ProbeFile(devicePath("\\big.bin"), &record));
    EXPECT_EQ(record.sizeHigh, 1u);
    EXPECT_EQ(record.sizeLow, 0x40000000u);
    EXPECT_EQ(record.size(), std::uint64_t{ 5 } << 30);
}
