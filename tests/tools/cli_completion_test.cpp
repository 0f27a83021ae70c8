// vistrel-cli's completion for bash, sourced in bash: what it offers (COMPREPLY) as the user
// presses Tab at the end of a few command lines.
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The words offered for the command line words (the last one being completed), sorted and
// separated by "|", with the folder as the current directory.
std::string offered(const TempDir &dir, const std::vector<std::string> &words)
{
    std::string command = "cd '" + dir.path().string()
            + "' && bash -c 'source \"$0\"; "
              "COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _vistrel_cli; "
              "printf \"%s\\n\" \"${COMPREPLY[@]}\" | sort | paste -sd \"|\"' "
              "'" VISTREL_COMPLETION_FILE "'";
    for (const std::string &word : words)
        command += " '" + word + "'";
    return RunCommand(command).out;
}

TEST(CliCompletion, OffersCommandsOptionsTheirValuesAndNames)
{
    TempDir dir;
    WriteBytes(dir.file("a b.jpg"), { 'x' });
    WriteBytes(dir.file("c.png"), { 'x' });
    std::filesystem::create_directory(dir.path() / "d");

    struct Row
    {
        std::vector<std::string> words;
        const char *expected;
    };

    const Row rows[] = {
        { { "vistrel-cli", "c" }, "capture|convert\n" },
        { { "vistrel-cli", "convert", "in.bmp", "--" },
          "--colors|--crop|--dpi|--format|--help|--quality\n" },
        { { "vistrel-cli", "capture", "--n" }, "--no-file\n" },
        { { "vistrel-cli", "capture", "--area", "" }, "monitor|screen|window\n" },
        { { "vistrel-cli", "convert", "a", "--format", "=", "p" }, "png\n" },
        { { "vistrel-cli", "convert", "--quality", "" }, "45|60|75|80|90\n" },
        { { "vistrel-cli", "convert", "--colors", "1" }, "128|16|16777216\n" },
        { { "vistrel-cli", "convert", "" }, "a b.jpg|c.png|d\n" },
        { { "vistrel-cli", "thumbs", "" }, "d\n" },
        { { "vistrel-cli", "capture", "--folder", "" }, "d\n" },
        { { "vistrel-cli", "capture", "--dpi", "" }, "\n" },
        { { "vistrel-cli", "info", "--", "--" }, "\n" },
    };
    for (const Row &row : rows) {
        std::string line;
        for (const std::string &word : row.words)
            line += word + " ";
        EXPECT_EQ(offered(dir, row.words), row.expected) << line;
    }
}

} // namespace
