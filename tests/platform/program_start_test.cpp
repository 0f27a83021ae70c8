#include "platform/program_start.h"

#include "tests/support/temp_dir.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>

namespace {

// Waits up to five seconds for a file that a started program writes.
bool appears(const std::string &path)
{
    for (int i = 0; i < 500; ++i) {
        if (std::filesystem::exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool hasChildren()
{
    return !(waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD);
}

class RecordingStarter final : public ProgramStarter
{
public:
    int start(const std::string &program, const std::vector<std::string> &args) override
    {
        calls.push_back({ program, args });
        return 0;
    }

    std::vector<std::pair<std::string, std::vector<std::string>>> calls;
};

} // namespace

TEST(ProgramStartTest, StartsAProgramWithItsArguments)
{
    TempDir dir;
    const std::string out = dir.file("out");
    const std::string script = "printf '%s' \"$1\" > \"$2.tmp\" && mv \"$2.tmp\" \"$2\"";
    ASSERT_EQ(StartProgram("sh", { "-c", script, "sh", "a b", out }), 0);
    ASSERT_TRUE(appears(out));
    const auto bytes = ReadBytes(out);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "a b");
}

// The start returns while the program still runs, and leaves no child behind to be reaped.
TEST(ProgramStartTest, DoesNotWaitAndLeavesNoChild)
{
    TempDir dir;
    const std::string go = dir.file("go");
    const std::string done = dir.file("done");
    const std::string script = "while [ ! -e \"$1\" ]; do sleep 0.02; done; : > \"$2\"";
    ASSERT_EQ(StartProgram("sh", { "-c", script, "sh", go, done }), 0);
    EXPECT_FALSE(std::filesystem::exists(done));
    EXPECT_FALSE(hasChildren());
    WriteBytes(go, {});
    EXPECT_TRUE(appears(done));
}

TEST(ProgramStartTest, MissingProgramGivesTheHostError)
{
    EXPECT_EQ(StartProgram("vistrel-no-such-program", {}), ENOENT);
    EXPECT_EQ(StartProgram("/nonexistent/folder/program", {}), ENOENT);
    EXPECT_FALSE(hasChildren());
}

TEST(ProgramStartTest, RecorderReplacesTheRealStarter)
{
    RecordingStarter recorder;
    EXPECT_EQ(SetProgramStarter(&recorder), nullptr);
    EXPECT_EQ(StartProgram("vistrel-no-such-program", { "x" }), 0);
    EXPECT_EQ(SetProgramStarter(nullptr), &recorder);
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].first, "vistrel-no-such-program");
    EXPECT_EQ(recorder.calls[0].second, std::vector<std::string>{ "x" });
    EXPECT_EQ(StartProgram("vistrel-no-such-program", {}), ENOENT);
}
