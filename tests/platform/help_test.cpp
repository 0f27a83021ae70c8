#include "platform/help.h"

#include "tests/platform/scoped_env.h"
#include "tests/support/help_recorder.h"
#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace {

const char *const kTopics[] = { "Main_Contents",   "New-Folder",     "Capture-Settings",
                                "Image-Info",      "Options",        "Crop",
                                "About-Orn-Album", "Thumbnail-View", "Select-View" };

} // namespace

TEST(HelpTest, TopicOfEachContext)
{
    const struct
    {
        std::uint32_t context;
        const char *topic;
    } rows[] = {
        { 0, "Main_Contents" },
        { 101, "Main_Contents" },
        { 102, "New-Folder" },
        { 104, "Main_Contents" },
        { 105, "Capture-Settings" },
        { 106, "Main_Contents" },
        { 107, "Capture-Settings" },
        { 108, "Capture-Settings" },
        { 111, "Main_Contents" },
        { 112, "Image-Info" },
        { 115, "Image-Info" },
        { 116, "Options" },
        { 206, "Crop" },
        { 30003, "About-Orn-Album" },
        { 30101, "Thumbnail-View" },
        { 30102, "Select-View" },
        { 30103, "Main_Contents" },
        { 0xFFFFFFFFu, "Main_Contents" },
    };

    for (const auto &row : rows)
        EXPECT_EQ(HelpTopic(row.context), row.topic) << row.context;
}

TEST(HelpTest, HelpFileOfTheBuildTree)
{
    ScopedEnv env("VISTREL_HELP_FILE", std::nullopt);
    const std::string file = HelpFilePath();
    EXPECT_EQ(file.substr(file.size() - 21), "/res/vistrel_(en).htm");
}

// The URL names the file, escaped where a URL needs it, and the context's topic.
TEST(HelpTest, EnvironmentOverridesTheFileAndIsEscapedForTheUrl)
{
    ScopedEnv env("VISTREL_HELP_FILE", "/opt/my help/#1/h.htm");
    EXPECT_EQ(HelpFilePath(), "/opt/my help/#1/h.htm");
    EXPECT_EQ(HelpUrl(0), "file:/opt/my%20help/%231/h.htm#Main_Contents");
    EXPECT_EQ(HelpUrl(107), "file:/opt/my%20help/%231/h.htm#Capture-Settings");
}

TEST(HelpTest, ShowHelpOpensTheTopicsUrl)
{
    ScopedEnv env("VISTREL_HELP_FILE", "/opt/help/h.htm");
    HelpRecorder recorder;
    ShowHelp(116);
    EXPECT_EQ(recorder.urls, std::vector<std::string>{ "file:/opt/help/h.htm#Options" });
}

// Every topic the program can ask for has its anchor in the shipped help file.
TEST(HelpTest, HelpFileHoldsEveryTopic)
{
    ScopedEnv env("VISTREL_HELP_FILE", std::nullopt);
    const auto bytes = ReadBytes(HelpFilePath());
    const std::string html(bytes.begin(), bytes.end());
    ASSERT_FALSE(html.empty());
    for (const char *topic : kTopics)
        EXPECT_NE(html.find(std::string("id=\"") + topic + "\""), std::string::npos) << topic;
}

// An installed or moved program finds the help file relative to its own folder.
TEST(HelpTest, HelpFileIsFoundBesideTheProgram)
{
    TempDir dir;
    const std::string top = dir.path().string();
    const std::string program = top + "/bin";
    std::filesystem::create_directories(program);
    const std::string installed = program + "/../share/vistrel/vistrel_(en).htm";
    const std::string built = program + "/../res/vistrel_(en).htm";
    EXPECT_EQ(HelpFileBeside(program), installed);

    std::filesystem::create_directories(top + "/res");
    WriteBytes(built, { '<' });
    EXPECT_EQ(HelpFileBeside(program), built);

    std::filesystem::create_directories(top + "/share/vistrel");
    WriteBytes(installed, { '<' });
    EXPECT_EQ(HelpFileBeside(program), installed);
}
