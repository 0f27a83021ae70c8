#include "common/safe_file.h"

#include "common/alb_exception.h"
#include "tests/support/temp_dir.h"

#include <cerrno>
#include <gtest/gtest.h>

// A writer that must not replace anything still does not when another program makes the file
// while it writes: the other program's file stays, and nothing of the writer's is left.
TEST(SafeFile, KeepingExistingFilesHoldsUntilTheLastMoment)
{
    TempDir dir;
    const std::string path = dir.file("thumb.bmp");
    SafeFile file(path, path, SafeFile::Existing::Keep);
    file.write("new", 3);
    WriteBytes(path, { 'o', 't', 'h', 'e', 'r' });
    try {
        file.commit();
        ADD_FAILURE() << "replaced";
    } catch (const CAlbFileException &failure) {
        EXPECT_EQ(failure.errorNumber(), EEXIST);
    }
    EXPECT_EQ(ReadBytes(path), (std::vector<std::uint8_t>{ 'o', 't', 'h', 'e', 'r' }));
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "thumb.bmp" });
}
