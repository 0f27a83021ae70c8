#include "app/command_line.h"

#include "common/host_path.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

struct Row
{
    const char *name;
    std::vector<std::string> parameters;
    int launchMode;
    const char *folder;
    const char *fileName;
};

} // namespace

TEST(CommandLineTest, OptionsAndValues)
{
    const Row rows[] = {
        { "empty", {}, 0, "", "" },
        { "folder", { "-t", "\\Pictures\\" }, 1, "\\Pictures", "" },
        { "folder slash and case", { "/T", "\\Pictures" }, 1, "\\Pictures", "" },
        { "root folder", { "-t", "\\" }, 1, "\\", "" },
        { "folder missing", { "-t" }, 0, "", "" },
        { "select", { "-i", "\\Pictures\\a.jpg" }, 2, "\\Pictures", "a.jpg" },
        { "full screen", { "/FS", "\\P\\Q\\b c.gif" }, 3, "\\P\\Q", "b c.gif" },
        { "file in the root", { "-i", "\\a.jpg" }, 2, "\\", "a.jpg" },
        { "no backslash", { "-fs", "a.jpg" }, 0, "", "" },
        { "empty name", { "-i", "\\Pictures\\" }, 0, "", "" },
        { "file missing", { "-fs" }, 0, "", "" },
        { "unknown option", { "-x", "\\Pictures" }, 0, "", "" },
        { "option name is whole", { "-ts", "\\Pictures" }, 0, "", "" },
        { "value without option", { "\\Pictures" }, 0, "", "" },
        { "last value wins", { "-t", "\\A", "\\B" }, 1, "\\B", "" },
        { "last option wins", { "-t", "\\A", "-i", "\\B\\c.bmp" }, 2, "\\B", "c.bmp" },
    };
    for (const Row &row : rows) {
        const CAlbCommandLineInfo info = ParseCommandLine(row.parameters);
        EXPECT_EQ(info.launchMode, row.launchMode) << row.name;
        EXPECT_EQ(info.folder, row.folder) << row.name;
        EXPECT_EQ(info.fileName, row.fileName) << row.name;
    }
}

// An absolute host path begins with the option character; one that exists is a value.
TEST(CommandLineTest, ExistingHostPathsAreValues)
{
    TempDir device;
    ScopedEnv env("VISTREL_ROOT", device.path().string());
    const std::string root = DeviceRoot();
    std::filesystem::create_directories(root + "/Trip");
    WriteBytes(root + "/Trip/x.jpg", { 1 });

    CAlbCommandLineInfo info = ParseCommandLine({ "-i", root + "/Trip/x.jpg" });
    EXPECT_EQ(info.launchMode, 2);
    EXPECT_EQ(info.folder, "\\Trip");
    EXPECT_EQ(info.fileName, "x.jpg");

    info = ParseCommandLine({ "-t", root + "/Trip/" });
    EXPECT_EQ(info.launchMode, 1);
    EXPECT_EQ(info.folder, "\\Trip");

    // Alone, as "Open With" passes it, a picture opens in Select View and a folder in Thumbnail
    // View.
    info = ParseCommandLine({ root + "/Trip/x.jpg" });
    EXPECT_EQ(info.launchMode, 2);
    EXPECT_EQ(info.folder, "\\Trip");
    EXPECT_EQ(info.fileName, "x.jpg");
    EXPECT_EQ(ParseCommandLine({ root + "/Trip" }).launchMode, 1);

    // A path that does not exist reads as an (unknown) option.
    info = ParseCommandLine({ "-t", root + "/Trip", root + "/NoSuchFolder" });
    EXPECT_EQ(info.launchMode, 0);

    // Outside the device root it cannot be shown and is passed over.
    TempDir outside;
    info = ParseCommandLine({ "-i", outside.file("") });
    EXPECT_EQ(info.launchMode, 0);
}

TEST(CommandLineTest, SplitsTextWithQuotes)
{
    const std::pair<const char *, std::vector<std::string>> rows[] = {
        { "", {} },
        { "   ", {} },
        { "-i \\a.jpg", { "-i", "\\a.jpg" } },
        { "  -t\t \\P  ", { "-t", "\\P" } },
        { "-i \"\\My Pictures\\a b.jpg\"", { "-i", "\\My Pictures\\a b.jpg" } },
        { "a\"b c\"d", { "ab cd" } },
        { "\"\" x", { "", "x" } },
        { "\"say \"\"hi\"\"\"", { "say \"hi\"" } },
        { "\"open end", { "open end" } },
    };
    for (const auto &[text, parameters] : rows)
        EXPECT_EQ(SplitCommandLine(text), parameters) << text;

    const CAlbCommandLineInfo info = ParseCommandLineText("/fs \"\\My Pictures\\a b.jpg\"");
    EXPECT_EQ(info.launchMode, 3);
    EXPECT_EQ(info.folder, "\\My Pictures");
    EXPECT_EQ(info.fileName, "a b.jpg");
}

TEST(CommandLineTest, JoinThenSplitGivesTheParametersBack)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        { "-i", "\\a.jpg" },
        { "-t", "\\My Pictures\\" },
        { "", "x", "" },
        { "tab\there", "quote\"inside", "\"", "\"\"", "a\"b c" },
        { " lead", "trail ", "\\\\server\\share" },
    };
    for (const auto &parameters : cases)
        EXPECT_EQ(SplitCommandLine(JoinCommandLine(parameters)), parameters)
                << JoinCommandLine(parameters);
    EXPECT_EQ(JoinCommandLine({ "-i", "\\a b.jpg" }), "-i \"\\a b.jpg\"");
}
